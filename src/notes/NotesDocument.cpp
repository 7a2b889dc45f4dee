#include "NotesDocument.h"

#include "model/NoteFormat.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <optional>

namespace {
QSvgRenderer& boxImage(bool checked)
{
    static QSvgRenderer checkedImage(QStringLiteral(":/images/Checked.svg"));
    static QSvgRenderer uncheckedImage(QStringLiteral(":/images/Unchecked.svg"));
    return checked ? checkedImage : uncheckedImage;
}
constexpr qreal boxSize = 18.0;

// The characters a QTextCursor turns into a new block when inserting text.
bool breaksLine(QChar c)
{
    return c == u'\r' || c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1);
}

// The format of the line's first character: its first fragment's, or for an empty line its
// line feed's, which a QTextDocument keeps as the next block's character format.
std::optional<QTextCharFormat> firstCharacterFormat(const QTextBlock& block)
{
    if (const auto it = block.begin(); !it.atEnd())
        return it.fragment().charFormat();
    if (const QTextBlock next = block.next(); next.isValid())
        return next.charFormat();
    return std::nullopt;
}
} // namespace

void NotesDocument::setRichText(QTextDocument* document, const RichText& text)
{
    const bool undoable = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    const RichText::Attributes first = text.attributesAt(0);
    cursor.setBlockFormat(NoteFormat::blockFormat(first));
    cursor.setBlockCharFormat(NoteFormat::charFormat(first));
    insertRichText(cursor, text);
    cursor.endEditBlock();
    document->setUndoRedoEnabled(undoable);
}

RichText NotesDocument::withLineFeeds(const RichText& text)
{
    const QString& plain = text.text();
    if (std::none_of(plain.cbegin(), plain.cend(), breaksLine))
        return text;
    QString result;
    result.reserve(plain.size());
    QList<RichText::Run> runs;
    for (const RichText::Run& run : text.runs()) {
        const qsizetype start = result.size();
        for (qsizetype i = run.location; i < run.location + run.length; ++i) {
            const QChar c = plain.at(i);
            if (c == u'\r' && i + 1 < plain.size() && plain.at(i + 1) == u'\n')
                continue; // the line feed that follows ends the line
            result.append(breaksLine(c) ? QChar(u'\n') : c);
        }
        if (result.size() > start)
            runs.append({start, result.size() - start, run.attributes});
    }
    return RichText::fromRuns(result, runs).value_or(RichText(result));
}

void NotesDocument::insertRichText(QTextCursor& cursor, const RichText& richText)
{
    const RichText text = withLineFeeds(richText);
    const QString& plain = text.text();
    for (const RichText::Run& run : text.runs()) {
        const QTextCharFormat format = NoteFormat::charFormat(run.attributes);
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
                cursor.insertBlock(NoteFormat::blockFormat(text.attributesAt(lineFeed + 1)),
                                   format);
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
            runs.append({text.size(), 1, NoteFormat::attributes(block.charFormat())});
            text.append(u'\n');
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString part = fragment.text();
            runs.append({text.size(), part.size(), NoteFormat::attributes(fragment.charFormat())});
            text.append(part);
        }
    }
    return RichText::fromRuns(text, runs).value_or(RichText(text));
}

void NotesDocument::prepare(QTextDocument* document, qreal width)
{
    document->setDocumentMargin(0);
    document->setTextWidth(std::max<qreal>(1.0, width - 2 * NoteFormat::notePadding));
}

qreal NotesDocument::heightRequiredToFitContent(QTextDocument* document)
{
    const qreal used = document->documentLayout()->documentSize().height();
    return std::max<qreal>(30.0, used + 2 * NoteFormat::verticalInset);
}

qreal NotesDocument::heightOfFirstLine(QTextDocument* document)
{
    if (document->blockCount() < 2)
        return heightRequiredToFitContent(document);
    const QRectF first = document->documentLayout()->blockBoundingRect(document->begin());
    return first.bottom() + 2 * NoteFormat::verticalInset;
}

RichText NotesDocument::firstLine(const RichText& text)
{
    const RichText lines = withLineFeeds(text);
    const qsizetype lineFeed = lines.text().indexOf(u'\n');
    return lineFeed < 0 ? lines : lines.mid(0, lineFeed);
}

bool NotesDocument::isChecklistBlock(const QTextBlock& block)
{
    const std::optional<QTextCharFormat> format = firstCharacterFormat(block);
    return format && format->hasProperty(NoteFormat::checklistProperty) &&
           !format->hasProperty(NoteFormat::styleNameProperty);
}

bool NotesDocument::isChecked(const QTextBlock& block)
{
    const std::optional<QTextCharFormat> format = firstCharacterFormat(block);
    return format && format->boolProperty(NoteFormat::checklistProperty);
}

void NotesDocument::restyleLine(const QTextBlock& block, NoteStyle::Kind kind)
{
    // Collected first: restyling splits and merges the fragments being walked.
    struct Part
    {
        int from;
        int to;
        QTextCharFormat format;
    };
    QList<Part> parts;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        parts.append(
            {fragment.position(), fragment.position() + fragment.length(), fragment.charFormat()});
    }
    if (const QTextBlock next = block.next(); next.isValid())
        parts.append({next.position() - 1, next.position(), next.charFormat()});

    QTextCursor cursor(block);
    cursor.beginEditBlock();
    cursor.setBlockFormat(NoteFormat::blockFormat(NoteStyle::attributes(kind)));
    for (const Part& part : std::as_const(parts)) {
        cursor.setPosition(part.from);
        cursor.setPosition(part.to, QTextCursor::KeepAnchor);
        cursor.setCharFormat(
            NoteFormat::charFormat(NoteStyle::restyled(NoteFormat::attributes(part.format), kind)));
    }
    cursor.endEditBlock();
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
    return {NoteFormat::checklistIndent - boxSize - 3.0, lineTop + (lineHeight - boxSize) / 2.0,
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
