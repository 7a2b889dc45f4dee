#include "NotesDocument.h"

#include "AttachmentObject.h"
#include "model/NoteFormat.h"

#include <QAbstractTextDocumentLayout>
#include <QHash>
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
// The characters a QTextCursor turns into a new block when inserting text.
bool breaksLine(QChar c)
{
    return c == u'\r' || c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1);
}

// Only the attachment character carries an attachment: text typed or pasted beside one may
// have taken its format, and must not turn into copies of it.
void appendFragment(QList<RichText::Run>& runs, QString& text, QStringView part,
                    const RichText::Attributes& attributes)
{
    if (!attributes.attachment) {
        runs.append({text.size(), part.size(), attributes});
        text.append(part);
        return;
    }
    RichText::Attributes plain = attributes;
    plain.attachment.reset();
    for (const QChar c : part) {
        runs.append({text.size(), 1, c == RichText::attachmentCharacter ? attributes : plain});
        text.append(c);
    }
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
    AttachmentObject::install(document);
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
    AttachmentObject::install(cursor.document());
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
    return richText(document, 0, document->characterCount() - 1);
}

RichText NotesDocument::richText(const QTextDocument* document, int from, int to)
{
    from = std::clamp(from, 0, document->characterCount() - 1);
    to = std::clamp(to, from, document->characterCount() - 1);
    // A card of thousands of lines has a handful of formats: each is read once.
    QHash<int, RichText::Attributes> attributesOfFormat;
    const QList<QTextFormat> formats = document->allFormats();
    const auto attributesOf = [&](int formatIndex) -> const RichText::Attributes& {
        auto it = attributesOfFormat.find(formatIndex);
        if (it == attributesOfFormat.end())
            it = attributesOfFormat.insert(
                formatIndex, NoteFormat::attributes(formats.at(formatIndex).toCharFormat()));
        return *it;
    };
    QString text;
    text.reserve(to - from);
    QList<RichText::Run> runs;
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (block.position() > from) {
            // The line feed before a block carries the format the block reports as its own.
            runs.append({text.size(), 1, attributesOf(block.charFormatIndex())});
            text.append(u'\n');
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(from, fragment.position());
            const int stop = std::min(to, fragment.position() + fragment.length());
            if (start >= stop)
                continue;
            const QString fragmentText = fragment.text();
            appendFragment(runs, text,
                           QStringView(fragmentText).mid(start - fragment.position(), stop - start),
                           attributesOf(fragment.charFormatIndex()));
        }
    }
    return RichText::fromRuns(text, runs).value_or(RichText(text));
}

QString NotesDocument::plainText(const QTextDocument* document)
{
    QString text = document->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

void NotesDocument::applyFormats(QTextDocument* document, int position, const RichText& formats)
{
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const RichText::Run& run : formats.runs()) {
        cursor.setPosition(position + int(run.location));
        cursor.setPosition(position + int(run.location + run.length), QTextCursor::KeepAnchor);
        cursor.setCharFormat(NoteFormat::charFormat(run.attributes));
    }
    // Each line takes the paragraph format of the style at its start, set once for each stretch
    // of lines alike. The empty last line has no character: its format is the typing's.
    const int end = position + int(formats.length());
    QTextBlock block = document->findBlock(position);
    while (block.isValid() && block.position() <= end) {
        const std::optional<QTextCharFormat> first = firstCharacterFormat(block);
        if (!first)
            break;
        const QTextBlockFormat format = NoteFormat::blockFormat(NoteFormat::attributes(*first));
        QTextBlock last = block;
        for (QTextBlock next = block.next(); next.isValid() && next.position() <= end;
             next = next.next()) {
            const std::optional<QTextCharFormat> nextFirst = firstCharacterFormat(next);
            if (!nextFirst || NoteFormat::blockFormat(NoteFormat::attributes(*nextFirst)) != format)
                break;
            last = next;
        }
        if (block.blockFormat() != format || last != block) {
            cursor.setPosition(block.position());
            cursor.setPosition(last.position(), QTextCursor::KeepAnchor);
            cursor.setBlockFormat(format);
        }
        block = last.next();
    }
    cursor.endEditBlock();
}

void NotesDocument::applyChangedFormats(QTextDocument* document, const RichText& shown,
                                        const RichText& wanted)
{
    const QList<RichText::Run>& a = shown.runs();
    const QList<RichText::Run>& b = wanted.runs();
    // Both texts' runs are merged: they match up to the first difference and from the last.
    qsizetype first = 0;
    while (first < a.size() && first < b.size() && a[first] == b[first])
        ++first;
    if (first == a.size() && first == b.size())
        return;
    qsizetype lastA = a.size();
    qsizetype lastB = b.size();
    while (lastA > first && lastB > first && a[lastA - 1] == b[lastB - 1]) {
        --lastA;
        --lastB;
    }
    const QString& text = wanted.text();
    const qsizetype from = std::min(first < a.size() ? a[first].location : text.size(),
                                    first < b.size() ? b[first].location : text.size());
    qsizetype to = std::max(lastA > 0 ? a[lastA - 1].location + a[lastA - 1].length : 0,
                            lastB > 0 ? b[lastB - 1].location + b[lastB - 1].length : 0);
    // Whole lines, so that each takes the paragraph format of its style.
    const qsizetype lineStart = from > 0 ? text.lastIndexOf(u'\n', from - 1) + 1 : 0;
    const qsizetype feed = to > 0 ? text.indexOf(u'\n', to - 1) : text.indexOf(u'\n');
    to = feed < 0 ? text.size() : feed + 1;
    applyFormats(document, int(lineStart), wanted.mid(lineStart, to - lineStart));
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

qreal NotesDocument::rowNotesHeight(QTextDocument* document, bool expanded, bool multiLine)
{
    if (expanded || !multiLine)
        return heightRequiredToFitContent(document);
    // The first line alone, with no minimum, whether or not the document holds the rest.
    const QRectF first = document->documentLayout()->blockBoundingRect(document->begin());
    return first.bottom() + 2 * NoteFormat::verticalInset;
}

bool NotesDocument::hasMoreLines(const RichText& text)
{
    const QString& plain = text.text();
    return std::any_of(plain.cbegin(), plain.cend(),
                       [](QChar c) { return c == u'\n' || breaksLine(c); });
}

RichText NotesDocument::firstLine(const RichText& text)
{
    const RichText lines = withLineFeeds(text);
    const qsizetype lineFeed = lines.text().indexOf(u'\n');
    return lineFeed < 0 ? lines : lines.mid(0, lineFeed);
}

std::optional<RichText::Attributes> NotesDocument::lineStart(const QTextBlock& block)
{
    const std::optional<QTextCharFormat> format = firstCharacterFormat(block);
    if (!format)
        return std::nullopt;
    return NoteFormat::attributes(*format);
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
    QTextDocument* document = const_cast<QTextDocument*>(block.document());
    const int from = block.position();
    const int to = block.next().isValid() ? block.next().position() : from + block.length() - 1;
    RichText line = richText(document, from, to);
    line.changeAttributes(0, line.length(), [kind](RichText::Attributes& attributes) {
        attributes = NoteStyle::restyled(attributes, kind);
    });
    QTextCursor cursor(block);
    cursor.beginEditBlock();
    // An empty last line has no character: its paragraph format is all there is to set.
    cursor.setBlockFormat(NoteFormat::blockFormat(NoteStyle::attributes(kind)));
    applyFormats(document, from, line);
    cursor.endEditBlock();
}

QRectF NotesDocument::checkBoxRect(QTextDocument* document, const QTextBlock& block)
{
    const QRectF blockRect = document->documentLayout()->blockBoundingRect(block);
    qreal lineTop = blockRect.top();
    if (const QTextLayout* layout = block.layout(); layout && layout->lineCount() > 0)
        lineTop += layout->lineAt(0).y();
    // 11 from the editor's left edge, 2 above the first line, in the checklist indent.
    return {checkBoxLeft - NoteFormat::notePadding, lineTop - 2.0, checkBoxSize, checkBoxSize};
}

QList<NotesDocument::CheckBox> NotesDocument::checkBoxes(QTextDocument* document, int lineLimit)
{
    QList<CheckBox> boxes;
    for (QTextBlock block = document->begin();
         block.isValid() && (lineLimit < 0 || block.blockNumber() < lineLimit);
         block = block.next()) {
        if (isChecklistBlock(block))
            boxes.append({block.blockNumber(), checkBoxRect(document, block), isChecked(block)});
    }
    return boxes;
}

std::optional<int> NotesDocument::checkBoxAt(QTextDocument* document, const QPointF& point)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (!isChecklistBlock(block))
            continue;
        const QRectF box = checkBoxRect(document, block);
        if (box.contains(point))
            return block.blockNumber();
        if (box.top() > point.y())
            break;
    }
    return std::nullopt;
}

void NotesDocument::paintCheckBox(QPainter* painter, const CheckBox& box)
{
    boxImage(box.checked).render(painter, box.rect);
}

void NotesDocument::paintCheckBoxes(QPainter* painter, QTextDocument* document, qreal maxY)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (!isChecklistBlock(block))
            continue;
        const QRectF box = checkBoxRect(document, block);
        if (box.top() >= maxY)
            break;
        paintCheckBox(painter, {block.blockNumber(), box, isChecked(block)});
    }
}
