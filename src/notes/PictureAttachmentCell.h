#pragma once

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSizeF>
#include <QTextObjectInterface>

class QTextDocument;

// Draws the picture attachments of notes inline, no wider than the text. Each picture is
// decoded once for each width it is shown at, straight to that size, and kept in a cache
// shared by every card. A picture that would take more than maximumDecodedBytes decoded (a
// decompression bomb, say), or that cannot be read, is drawn as a placeholder; its bytes are
// kept as they are.
class PictureAttachmentCell final : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    static constexpr qint64 maximumDecodedBytes = 64 * 1024 * 1024;
    static constexpr QSizeF placeholderSize{120.0, 90.0};

    // The one cell, shared by every document; the notes' attachment handler hands it pictures.
    static PictureAttachmentCell* instance();

    QSizeF intrinsicSize(QTextDocument* document, int position, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int position,
                    const QTextFormat& format) override;

    // The size the picture's header gives, or an invalid size when it has none or the picture
    // is too large to decode.
    QSize pictureSize(const QByteArray& bytes);
    // The picture decoded at `size` (device pixels); null when it cannot be.
    QImage picture(const QByteArray& bytes, const QSize& size);
    // How many pictures were decoded (for tests).
    int decodeCount() const { return m_decodes; }

private:
    explicit PictureAttachmentCell(QObject* parent);
    // The size shown in a text `width` wide.
    QSizeF shownSize(const QByteArray& bytes, qreal width);

    struct Header
    {
        QSize size; // invalid when unreadable or too large
    };
    QHash<QByteArray, Header> m_headers; // by digest
    QCache<QString, QImage> m_pictures;  // by digest and size; cost in kB
    int m_decodes = 0;
};
