#include "BackgroundImage.h"

#include "store/AppDelegate.h"
#include "store/DataFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeDatabase>

QString BackgroundImage::imageNameFromIndex(int number, bool thumb)
{
    QString name = QStringLiteral("wlbackground%1").arg(number, 2, 10, QLatin1Char('0'));
    if (thumb)
        name += QStringLiteral("thumb");
    return name;
}

QString BackgroundImage::resourcePath(const QString& name)
{
    return QStringLiteral(":/backgrounds/") + name + QStringLiteral(".jpg");
}

bool BackgroundImage::isBuiltIn(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && QFile::exists(resourcePath(name));
}

QString BackgroundImage::effectiveName(const QString& bgImage)
{
    return bgImage.isEmpty() ? QString::fromLatin1(defaultName) : bgImage;
}

QString BackgroundImage::picturesDirectory()
{
    AppDelegate* delegate = AppDelegate::shared();
    const QString folder =
        delegate ? delegate->applicationDocumentsDirectory() : DataFolder::standardPath();
    return QDir(folder).filePath(QString::fromLatin1(picturesFolderName));
}

QCache<QString, QImage>& BackgroundImage::cache()
{
    // About eight full-size pictures; the cost is in kilobytes.
    static QCache<QString, QImage> pictures(8 * largestSide * (largestSide * 10 / 16) * 4 / 1024);
    return pictures;
}

void BackgroundImage::clearCache()
{
    cache().clear();
}

QImage BackgroundImage::read(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    // Decoding straight to the smaller size keeps a huge photo from filling the memory.
    if (size.isValid() && std::max(size.width(), size.height()) > largestSide)
        reader.setScaledSize(size.scaled(largestSide, largestSide, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (!image.isNull() && image.format() != QImage::Format_RGB32 &&
        image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                              : QImage::Format_RGB32);
    return image;
}

QImage BackgroundImage::load(const QString& name)
{
    if (name.isEmpty())
        return {};
    QString path;
    QString key;
    if (isBuiltIn(name)) {
        path = resourcePath(name);
        key = name;
    } else {
        // Only a plain file name reaches into the pictures directory.
        if (name.contains(QLatin1Char('/')) || name == QLatin1String("..") ||
            name == QLatin1String("."))
            return {};
        path = QDir(picturesDirectory()).filePath(name);
        const QFileInfo file(path);
        if (!file.isFile())
            return {};
        key = path + QLatin1Char('@') + QString::number(file.lastModified().toMSecsSinceEpoch()) +
              QLatin1Char(':') + QString::number(file.size());
    }
    if (const QImage* cached = cache().object(key))
        return *cached;
    QImage image = read(path);
    if (image.isNull())
        return {};
    cache().insert(key, new QImage(image), int(image.sizeInBytes() / 1024) + 1);
    return image;
}

bool BackgroundImage::isPicture(const QString& path)
{
    // What the bytes are decides, not the name: a text file called .png is no picture.
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead() || reader.size().isEmpty())
        return false;
    const QMimeType type = QMimeDatabase().mimeTypeForData(reader.device());
    return !type.isValid() || type.isDefault() || type.name().startsWith(QLatin1String("image/"));
}

std::optional<QString> BackgroundImage::importCustomPicture(const QString& path, QString* error)
{
    const auto failed = [error](const QString& reason) -> std::optional<QString> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    const QFileInfo chosen(path);
    if (!chosen.isFile() || !isPicture(path))
        return failed(QCoreApplication::translate("BackgroundImage",
                                                  "“%1” is not a picture that can be shown.")
                          .arg(chosen.fileName()));
    const QString folder = picturesDirectory();
    if (!QDir().mkpath(folder)) {
        qWarning().noquote() << "Something happend during copy " << folder;
        return failed(
            QCoreApplication::translate("BackgroundImage", "The folder “%1” could not be created.")
                .arg(QDir::toNativeSeparators(folder)));
    }
    const QString destination = QDir(folder).filePath(chosen.fileName());
    if (QFileInfo(destination) == chosen)
        return chosen.fileName(); // chosen from the pictures directory itself
    // Copied beside the destination first, so a failed copy leaves the earlier picture.
    const QString partial = destination + QStringLiteral(".part");
    QFile::remove(partial);
    QFile source(path);
    if (!source.copy(partial)) {
        qWarning().noquote() << "Something happend during copy " << source.errorString();
        return failed(QCoreApplication::translate("BackgroundImage", "The picture could not be "
                                                                     "copied: %1")
                          .arg(source.errorString()));
    }
    if (QFile::exists(destination)) {
        qInfo("file already exists");
        QFile::remove(destination);
    }
    if (!QFile::rename(partial, destination)) {
        QFile::remove(partial);
        qWarning().noquote() << "Something happend during copy " << destination;
        return failed(QCoreApplication::translate("BackgroundImage",
                                                  "The picture could not be copied to “%1”.")
                          .arg(QDir::toNativeSeparators(destination)));
    }
    return chosen.fileName();
}
