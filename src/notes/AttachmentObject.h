#pragma once

#include <QObject>
#include <QTextObjectInterface>

#include <optional>

class QTextDocument;

// Lays out and draws the attachment characters of a card's notes: a link as its 260 × 40 box,
// a picture through the shared picture cell. One handler serves every document.
class AttachmentObject final : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    // Makes the document's layout draw attachments (the layout forgets nothing on clear()).
    static void install(QTextDocument* document);

    QSizeF intrinsicSize(QTextDocument* document, int position, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int position,
                    const QTextFormat& format) override;

    // The position of the attachment character drawn under a point (document coordinates).
    static std::optional<int> attachmentAt(QTextDocument* document, const QPointF& point);

private:
    explicit AttachmentObject(QObject* parent);
};
