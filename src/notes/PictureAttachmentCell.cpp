#include "PictureAttachmentCell.h"

#include "model/AttachmentDigest.h"
#include "model/NoteFormat.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QTextDocument>

namespace {

constexpr int cacheKilobytes = 256 * 1024;

QByteArray contentsOf(const QTextFormat& format)
{
    return format.property(NoteFormat::attachmentContentsProperty).toByteArray();
}

QString cacheKey(const QByteArray& digest, const QSize& size)
{
    return QString::fromLatin1(digest.toHex()) + u'@' + QString::number(size.width()) + u'x' +
           QString::number(size.height());
}

void paintPlaceholder(QPainter* painter, const QRectF& rect)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF box = rect.adjusted(1, 1, -1, -1);
    QPainterPath frame;
    frame.addRoundedRect(box, 4.0, 4.0);
    painter->fillPath(frame, QColor(0, 0, 0, 18));
    painter->setPen(QPen(QColor(0, 0, 0, 90), 1.0));
    painter->drawPath(frame);
    // A hill under a sun: a picture that is not shown.
    const QPointF c = box.center();
    QPainterPath hill;
    hill.moveTo(c.x() - 22, c.y() + 14);
    hill.lineTo(c.x() - 6, c.y() - 4);
    hill.lineTo(c.x() + 4, c.y() + 6);
    hill.lineTo(c.x() + 12, c.y() - 2);
    hill.lineTo(c.x() + 22, c.y() + 14);
    hill.closeSubpath();
    painter->drawPath(hill);
    painter->drawEllipse(QPointF(c.x() + 12, c.y() - 12), 4, 4);
    painter->restore();
}

} // namespace

PictureAttachmentCell::PictureAttachmentCell(QObject* parent)
    : QObject(parent)
    , m_pictures(cacheKilobytes)
{}

PictureAttachmentCell* PictureAttachmentCell::instance()
{
    static PictureAttachmentCell* cell = new PictureAttachmentCell(QCoreApplication::instance());
    return cell;
}

QSize PictureAttachmentCell::pictureSize(const QByteArray& bytes)
{
    const QByteArray digest = AttachmentDigest::of(bytes);
    auto it = m_headers.find(digest);
    if (it == m_headers.end()) {
        QBuffer buffer;
        buffer.setData(bytes);
        QImageReader reader(&buffer);
        reader.setAutoTransform(true);
        QSize size = reader.size();
        if (reader.transformation() & QImageIOHandler::TransformationRotate90)
            size.transpose();
        // Four bytes a pixel decoded: the header tells before anything is decoded.
        if (size.isEmpty() || qint64(size.width()) * size.height() * 4 > maximumDecodedBytes)
            size = QSize();
        it = m_headers.insert(digest, {size});
    }
    return it->size;
}

QImage PictureAttachmentCell::picture(const QByteArray& bytes, const QSize& size)
{
    if (!pictureSize(bytes).isValid() || size.isEmpty())
        return {};
    const QString key = cacheKey(AttachmentDigest::of(bytes), size);
    if (const QImage* cached = m_pictures.object(key))
        return *cached;
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    // A header that lies about the size still cannot make the decoder take more.
    reader.setAllocationLimit(int(maximumDecodedBytes / (1024 * 1024)));
    if (!(reader.transformation() & QImageIOHandler::TransformationRotate90))
        reader.setScaledSize(size);
    ++m_decodes;
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_pictures.insert(key, new QImage(image), std::max<qsizetype>(1, image.sizeInBytes() / 1024));
    return image;
}

QSizeF PictureAttachmentCell::shownSize(const QByteArray& bytes, qreal width)
{
    const QSize natural = pictureSize(bytes);
    const qreal available = std::max<qreal>(1.0, width);
    if (!natural.isValid())
        return {std::min(placeholderSize.width(), available), placeholderSize.height()};
    if (natural.width() <= available)
        return natural;
    return {available, std::max<qreal>(1.0, natural.height() * available / natural.width())};
}

QSizeF PictureAttachmentCell::intrinsicSize(QTextDocument* document, int, const QTextFormat& format)
{
    return shownSize(contentsOf(format), document->textWidth());
}

void PictureAttachmentCell::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                                       const QTextFormat& format)
{
    const QByteArray bytes = contentsOf(format);
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QSize pixels = (rect.size() * ratio).toSize();
    const QImage image = picture(bytes, pixels);
    if (image.isNull()) {
        paintPlaceholder(painter, rect);
        return;
    }
    painter->drawImage(rect, image);
}
