#include "NotesDocument.h"

#include "NoteStyle.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace {
QSvgRenderer& boxImage(bool checked)
{
    static QSvgRenderer checkedImage(QStringLiteral(":/images/Checked.svg"));
    static QSvgRenderer uncheckedImage(QStringLiteral(":/images/Unchecked.svg"));
    return checked ? checkedImage : uncheckedImage;
}
constexpr qreal boxSize = 18.0;
} // namespace

void NotesDocument::setRichText(QTextDocument* document, const RichText& text)
{
    document->clear();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    const RichText::Attributes first = text.attributesAt(0);
    cursor.setBlockFormat(NoteStyle::blockFormat(first));
    cursor.setBlockCharFormat(NoteStyle::charFormat(first));
    insertRichText(cursor, text);
    cursor.endEditBlock();
}

void NotesDocument::insertRichText(QTextCursor& cursor, const RichText& text)
{
    const QString& plain = text.text();
    for (const RichText::Run& run : text.runs()) {
        const QTextCharFormat format = NoteStyle::charFormat(run.attributes);
        qsizetype start = run.location;
        const qsizetype end = run.location + run.length;
        while (start < end) {
            const qsizetype lineFeed = plain.indexOf(u'\n', start);
            const bool endsLine = lineFeed >= 0 && lineFeed < end;
            const qsizetype stop = endsLine ? lineFeed : end;
            if (stop > start)
                cursor.insertText(plain.mid(start, stop - start), format);
            if (endsLine) {
                // The line feed takes the run's format; the new line the style at its start.
                cursor.insertBlock(NoteStyle::blockFormat(text.attributesAt(lineFeed + 1)), format);
                start = lineFeed + 1;
            } else {
                start = stop;
            }
        }
    }
}

RichText NotesDocument::richText(const QTextDocument* document)
{
    QString text;
    QList<RichText::Run> runs;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block != document->begin()) {
            // The line feed before a block carries the format the block reports as its own.
            runs.append({text.size(), 1, NoteStyle::attributes(block.charFormat())});
            text.append(u'\n');
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString part = fragment.text();
            runs.append({text.size(), part.size(), NoteStyle::attributes(fragment.charFormat())});
            text.append(part);
        }
    }
    return RichText::fromRuns(text, runs).value_or(RichText(text));
}

void NotesDocument::prepare(QTextDocument* document, qreal width)
{
    document->setDocumentMargin(0);
    document->setTextWidth(std::max<qreal>(1.0, width - 2 * NoteStyle::notePadding));
}

qreal NotesDocument::heightRequiredToFitContent(QTextDocument* document)
{
    const qreal used = document->documentLayout()->documentSize().height();
    return std::max<qreal>(30.0, used + 2 * NoteStyle::verticalInset);
}

qreal NotesDocument::heightOfFirstLine(QTextDocument* document)
{
    if (document->blockCount() < 2)
        return heightRequiredToFitContent(document);
    const QRectF first = document->documentLayout()->blockBoundingRect(document->begin());
    return first.bottom() + 2 * NoteStyle::verticalInset;
}

RichText NotesDocument::firstLine(const RichText& text)
{
    const qsizetype lineFeed = text.text().indexOf(u'\n');
    return lineFeed < 0 ? text : text.mid(0, lineFeed);
}

bool NotesDocument::isChecklistBlock(const QTextBlock& block)
{
    // A checklist line is one whose first character carries the checklist state.
    const auto it = block.begin();
    const QTextCharFormat format = it.atEnd() ? block.charFormat() : it.fragment().charFormat();
    return format.hasProperty(NoteStyle::checklistProperty) &&
           !format.hasProperty(NoteStyle::styleNameProperty);
}

bool NotesDocument::isChecked(const QTextBlock& block)
{
    const auto it = block.begin();
    const QTextCharFormat format = it.atEnd() ? block.charFormat() : it.fragment().charFormat();
    return format.boolProperty(NoteStyle::checklistProperty);
}

QRectF NotesDocument::checkBoxRect(QTextDocument* document, const QTextBlock& block)
{
    const QRectF blockRect = document->documentLayout()->blockBoundingRect(block);
    qreal lineTop = blockRect.top() + block.blockFormat().topMargin();
    qreal lineHeight = boxSize;
    if (const QTextLayout* layout = block.layout(); layout && layout->lineCount() > 0) {
        lineTop = blockRect.top() + layout->lineAt(0).y();
        lineHeight = layout->lineAt(0).height();
    }
    // In the indent, left of the text, centred on the first line.
    return {NoteStyle::checklistIndent - boxSize - 3.0, lineTop + (lineHeight - boxSize) / 2.0,
            boxSize, boxSize};
}

void NotesDocument::paintCheckBoxes(QPainter* painter, QTextDocument* document, qreal maxY)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (!isChecklistBlock(block))
            continue;
        const QRectF box = checkBoxRect(document, block);
        if (box.top() >= maxY)
            break;
        boxImage(isChecked(block)).render(painter, box);
    }
}
