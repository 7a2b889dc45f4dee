#include "LinkAttachmentCell.h"

#include "interchange/ExchangeFormat.h"

#include <QApplication>
#include <QCache>
#include <QDateTime>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

#include <algorithm>

namespace {
QSvgRenderer& image(const QString& name)
{
    static QHash<QString, QSvgRenderer*> images;
    QSvgRenderer*& renderer = images[name];
    if (!renderer)
        renderer = new QSvgRenderer(QStringLiteral(":/images/%1.svg").arg(name), qApp);
    return *renderer;
}

// A small picture of an image file, read at the icon's size once per version of the file.
QImage thumbnail(const QString& path, const QSize& size)
{
    static QCache<QString, QImage> thumbnails(64);
    const QFileInfo file(path);
    const QString key = path + QString::number(file.lastModified().toMSecsSinceEpoch()) +
                        QString::number(file.size());
    if (const QImage* cached = thumbnails.object(key))
        return *cached;
    QImageReader reader(path);
    const QSize full = reader.size();
    if (full.isValid())
        reader.setScaledSize(full.scaled(size, Qt::KeepAspectRatio));
    auto* picture = new QImage(reader.read());
    const QImage result = *picture;
    thumbnails.insert(key, picture);
    return result;
}
} // namespace

bool LinkAttachmentCell::isPictureFile(const QString& path)
{
    // By name, as the desktop decides how to open it; a missing file is judged by its name too.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    const auto isImage = [](const QString& name) { return name.startsWith(u"image/"); };
    const QStringList ancestors = type.allAncestors();
    if (isImage(type.name()) || std::any_of(ancestors.cbegin(), ancestors.cend(), isImage))
        return true;
    // Without a MIME database (a bare system) the formats Qt reads still count.
    return (!type.isValid() || type.isDefault()) &&
           QImageReader::supportedImageFormats().contains(
               QFileInfo(path).suffix().toLower().toLatin1());
}

QFont LinkAttachmentCell::attachmentTitleFont()
{
    QFont font = QApplication::font();
    font.setPixelSize(13);
    font.setWeight(QFont::Medium);
    return font;
}

QFont LinkAttachmentCell::attachmentSubtitleFont()
{
    QFont font = QApplication::font();
    font.setPixelSize(11);
    return font;
}

LinkAttachmentCell::Face LinkAttachmentCell::faceFor(const QByteArray& contents)
{
    const auto link = ExchangeFormat::decodeLink(contents);
    if (!link || !link->url)
        return {};
    const QUrl& url = *link->url;
    const QString scheme = url.scheme().toLower();
    Face face;
    face.title = link->title.value_or(QString());
    if (scheme == u"http" || scheme == u"https" || scheme == u"ftp" || scheme == u"ssh") {
        face.icon = Icon::AtSymbol;
        face.subtitle = url.host();
    } else if (scheme == u"message" || scheme == u"mailto") {
        face.icon = Icon::Mail;
    } else if (scheme == u"file") {
        const QFileInfo file(url.toLocalFile());
        face.filePath = file.filePath();
        if (!url.isLocalFile() || !file.exists()) {
            face.icon = Icon::MissingFile;
            face.subtitle = QObject::tr("File is missing");
        } else {
            face.icon = isPictureFile(file.filePath()) ? Icon::Picture : Icon::FileIcon;
            face.subtitle = QLocale(QLocale::English, QLocale::UnitedKingdom)
                                .formattedDataSize(file.size(), 1, QLocale::DataSizeSIFormat);
        }
    } else {
        face.title.clear();
    }
    return face;
}

void LinkAttachmentCell::drawWithFrame(QPainter* painter, const QRectF& frame,
                                       const QByteArray& contents)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QPainterPath border;
    border.addRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), 4.0, 4.0);
    painter->strokePath(border, QPen(QColor(0x99, 0x99, 0x99), 1.0));
    const Face face = faceFor(contents);
    if (face.icon == Icon::None) {
        painter->restore();
        return;
    }
    drawIcon(painter, frame, face);
    const qreal x = frame.x() + 40;
    const qreal y = frame.y();
    const bool withSubtitle = !face.subtitle.isEmpty();
    // Without a subtitle the title sits in the middle of the box.
    const qreal textWidth = std::max<qreal>(0.0, frame.width() - 48);
    const QRectF titleBox(x, withSubtitle ? y + 3 : y + 10, textWidth, 20);
    painter->setFont(attachmentTitleFont());
    painter->setPen(QColor::fromRgbF(0.1f, 0.1f, 0.1f));
    painter->drawText(titleBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      QFontMetrics(painter->font())
                          .elidedText(face.title, Qt::ElideMiddle, int(titleBox.width())));
    if (withSubtitle) {
        painter->setFont(attachmentSubtitleFont());
        painter->setPen(QColor(0x80, 0x80, 0x80));
        const QRectF subtitleBox(x, y + 20, textWidth, 16);
        painter->drawText(subtitleBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          QFontMetrics(painter->font())
                              .elidedText(face.subtitle, Qt::ElideRight, int(textWidth)));
    }
    painter->restore();
}

void LinkAttachmentCell::drawIcon(QPainter* painter, const QRectF& frame, const Face& face)
{
    const QPointF origin = frame.topLeft();
    const QRectF fileBox(origin + QPointF(4, 4), QSizeF(32, 32));
    switch (face.icon) {
    case Icon::AtSymbol:
        image(QStringLiteral("atSymbol"))
            .render(painter, QRectF(origin + QPointF(9, 9), QSizeF(21, 22)));
        break;
    case Icon::Mail:
        image(QStringLiteral("Mail"))
            .render(painter, QRectF(origin + QPointF(4, 8), QSizeF(32, 24)));
        break;
    case Icon::MissingFile:
        image(QStringLiteral("missing-file-icon")).render(painter, fileBox);
        break;
    case Icon::Picture: {
        const QImage picture = thumbnail(face.filePath, fileBox.size().toSize());
        if (!picture.isNull()) {
            QRectF target(QPointF(), QSizeF(picture.size()));
            target.moveCenter(fileBox.center());
            painter->drawImage(target, picture);
            break;
        }
        [[fallthrough]]; // an image that does not read shows the file's icon
    }
    case Icon::FileIcon: {
        const QIcon icon = QFileIconProvider().icon(QFileInfo(face.filePath));
        icon.paint(painter, fileBox.toRect());
        break;
    }
    case Icon::None:
        break;
    }
}
