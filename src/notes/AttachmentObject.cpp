#include "AttachmentObject.h"

#include "LinkAttachmentCell.h"
#include "PictureAttachmentCell.h"
#include "model/NoteFormat.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace {
QByteArray contentsOf(const QTextFormat& format)
{
    return format.property(NoteFormat::attachmentContentsProperty).toByteArray();
}

bool isLink(const QTextFormat& format)
{
    return format.stringProperty(NoteFormat::attachmentTypeProperty) ==
           RichText::Attachment::linkFileType();
}
} // namespace

AttachmentObject::AttachmentObject(QObject* parent)
    : QObject(parent)
{}

void AttachmentObject::install(QTextDocument* document)
{
    static AttachmentObject* handler = new AttachmentObject(QCoreApplication::instance());
    document->documentLayout()->registerHandler(NoteFormat::attachmentObjectType, handler);
}

QSizeF AttachmentObject::intrinsicSize(QTextDocument* document, int position,
                                       const QTextFormat& format)
{
    // A link box narrower than its 260 would be cut off by a narrow card.
    if (isLink(format)) {
        QSizeF size = LinkAttachmentCell::cellSize();
        if (document->textWidth() > 0)
            size.setWidth(std::min(size.width(), document->textWidth()));
        return size;
    }
    return PictureAttachmentCell::instance()->intrinsicSize(document, position, format);
}

void AttachmentObject::drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document,
                                  int position, const QTextFormat& format)
{
    if (isLink(format))
        LinkAttachmentCell::drawWithFrame(painter, rect, contentsOf(format));
    else
        PictureAttachmentCell::instance()->drawObject(painter, rect, document, position, format);
}

std::optional<int> AttachmentObject::attachmentAt(QTextDocument* document, const QPointF& point)
{
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    const int hit = layout->hitTest(point, Qt::FuzzyHit);
    if (hit < 0)
        return std::nullopt;
    // The hit is the caret position nearest the point: the object lies before or after it.
    for (const int position : {hit, hit - 1}) {
        if (position < 0 || document->characterAt(position) != RichText::attachmentCharacter)
            continue;
        QTextCursor cursor(document);
        cursor.setPosition(position + 1);
        const QTextCharFormat format = cursor.charFormat();
        if (!format.hasProperty(NoteFormat::attachmentTypeProperty))
            continue;
        const QTextBlock block = document->findBlock(position);
        const QTextLine line = block.layout()->lineForTextPosition(position - block.position());
        if (!line.isValid())
            continue;
        const QPointF origin = layout->blockBoundingRect(block).topLeft();
        QTextObjectInterface* handler = layout->handlerForObject(NoteFormat::attachmentObjectType);
        if (!handler)
            return std::nullopt;
        const QSizeF size = handler->intrinsicSize(document, position, format);
        // Objects stand on the line's baseline.
        const QRectF rect(origin.x() + line.cursorToX(position - block.position()),
                          origin.y() + line.y() + line.ascent() - size.height(), size.width(),
                          size.height());
        if (rect.contains(point))
            return position;
    }
    return std::nullopt;
}
