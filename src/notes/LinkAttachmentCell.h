#pragma once

#include <QByteArray>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

// How a link attachment looks in a card: a 260 × 40 box with a grey rounded border, an icon by
// the link's scheme, the title and a subtitle (the host of a web link, the size of a file, or
// "File is missing"). Contents that do not decode draw only the border.
class LinkAttachmentCell final
{
public:
    LinkAttachmentCell() = delete;

    static constexpr int width = 260;
    static constexpr int height = 40;
    static QSizeF cellSize() { return {qreal(width), qreal(height)}; }

    enum class Icon
    {
        None,
        AtSymbol,    // a web link
        Mail,        // a mail message or address
        FileIcon,    // the desktop's icon of the file
        Picture,     // an image file shows itself
        MissingFile, // a file that cannot be found
    };
    // What the box shows for the contents.
    struct Face
    {
        Icon icon = Icon::None;
        QString title;
        QString subtitle;
        QString filePath;
        friend bool operator==(const Face&, const Face&) = default;
    };
    static Face faceFor(const QByteArray& contents);

    // Whether the file's name says it is a picture (its MIME type is under "image/").
    static bool isPictureFile(const QString& path);

    static QFont attachmentTitleFont();
    static QFont attachmentSubtitleFont();

    static void drawWithFrame(QPainter* painter, const QRectF& frame, const QByteArray& contents);

private:
    static void drawIcon(QPainter* painter, const QRectF& frame, const Face& face);
};
