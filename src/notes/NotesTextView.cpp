#include "NotesTextView.h"

#include "NotesDocument.h"
#include "PictureAttachmentCell.h"
#include "interchange/JSONReader.h"
#include "interchange/JSONWriter.h"
#include "model/NoteFormat.h"
#include "store/AppDelegate.h"

#include <QCborValue>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QJsonObject>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QUndoStack>

NotesTextView::NotesTextView(QWidget* parent)
    : QTextEdit(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    const int padding = int(NoteFormat::notePadding);
    const int inset = int(NoteFormat::verticalInset);
    setViewportMargins(padding, inset, padding, inset);
    document()->setDocumentMargin(0);
    document()->setUndoRedoEnabled(false);
    PictureAttachmentCell::enable(document());
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    setStyleSheet(QStringLiteral("NotesTextView { background: transparent; }"));
    setCurrentCharFormat(NoteFormat::charFormat(NoteStyle::attributes(NoteStyle::Body)));
    viewport()->setMouseTracking(true);
    connect(document(), &QTextDocument::contentsChanged, this,
            &NotesTextView::addAndRemoveChecklistButtons);
    connect(this, &QTextEdit::cursorPositionChanged, this,
            &NotesTextView::keepAttachmentsOutOfTyping);
}

void NotesTextView::keepAttachmentsOutOfTyping()
{
    QTextCharFormat typing = currentCharFormat();
    if (textCursor().hasSelection() || !typing.hasProperty(NoteFormat::attachmentTypeProperty))
        return;
    typing.clearProperty(NoteFormat::attachmentTypeProperty);
    typing.clearProperty(NoteFormat::attachmentContentsProperty);
    typing.clearProperty(QTextFormat::ObjectType);
    setCurrentCharFormat(typing);
}

void NotesTextView::setRichText(const RichText& text)
{
    NotesDocument::setRichText(document(), text);
    document()->setDocumentMargin(0);
    if (!text.isEmpty())
        return;
    if (m_isFirstResponder)
        startWithTitle();
    else
        setCurrentCharFormat(NoteFormat::charFormat(NoteStyle::attributes(NoteStyle::Body)));
}

void NotesTextView::startWithTitle()
{
    const auto title = NoteStyle::attributes(NoteStyle::Title);
    QTextCursor cursor(document());
    cursor.setBlockFormat(NoteFormat::blockFormat(title));
    cursor.setBlockCharFormat(NoteFormat::charFormat(title));
    setCurrentCharFormat(NoteFormat::charFormat(title));
}

RichText NotesTextView::richText() const
{
    return NotesDocument::richText(document());
}

qreal NotesTextView::heightRequiredToFitContent() const
{
    return NotesDocument::heightRequiredToFitContent(document());
}

qreal NotesTextView::heightRequiredForFirstLineOfText() const
{
    return NotesDocument::rowNotesHeight(document(), false, document()->blockCount() > 1);
}

QMimeData* NotesTextView::createMimeDataFromSelection() const
{
    // Plain text for everyone else; HTML would lose what the styles mean.
    const QTextCursor cursor = textCursor();
    const RichText selected =
        richText().mid(cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart());
    auto* data = new QMimeData;
    QString plain = selected.text();
    plain.remove(RichText::attachmentCharacter);
    data->setText(plain);
    data->setData(
        corklineAttributedString(),
        QCborValue::fromJsonValue(JSONWriter::dictionaryRepresentation(selected)).toCbor());
    return data;
}

bool NotesTextView::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasFormat(corklineAttributedString()) ||
           QTextEdit::canInsertFromMimeData(source);
}

void NotesTextView::insertFromMimeData(const QMimeData* source)
{
    if (source->hasFormat(corklineAttributedString())) {
        const QCborValue value = QCborValue::fromCbor(source->data(corklineAttributedString()));
        const auto text = value.isMap()
                              ? JSONReader::attributedStringFromDict(value.toJsonValue().toObject())
                              : std::nullopt;
        if (text) {
            QTextCursor cursor = textCursor();
            cursor.beginEditBlock();
            cursor.removeSelectedText();
            NotesDocument::insertRichText(cursor, *text);
            cursor.endEditBlock();
            setTextCursor(cursor);
            return;
        }
    }
    // Anything else arrives as plain text in the style being typed.
    QTextEdit::insertFromMimeData(source);
}

void NotesTextView::focusInEvent(QFocusEvent* event)
{
    QTextEdit::focusInEvent(event);
    m_isFirstResponder = true;
    // The first line typed into an empty card is its heading.
    if (document()->isEmpty())
        startWithTitle();
    Q_EMIT editingStarted();
}

void NotesTextView::focusOutEvent(QFocusEvent* event)
{
    QTextEdit::focusOutEvent(event);
    // A popup (completion, context menu) takes the keyboard only for a moment.
    if (event->reason() == Qt::PopupFocusReason)
        return;
    m_isFirstResponder = false;
    Q_EMIT editingEnded();
}

void NotesTextView::keyPressEvent(QKeyEvent* event)
{
    const bool undo = event->matches(QKeySequence::Undo);
    if (undo || event->matches(QKeySequence::Redo)) {
        if (QUndoStack* stack = AppDelegate::sharedUndoStack())
            undo ? stack->undo() : stack->redo();
        event->accept();
        return;
    }
    // Shift+Return would put a line separator into the text, outside the line rules.
    if (event->matches(QKeySequence::InsertParagraphSeparator) ||
        event->matches(QKeySequence::InsertLineSeparator)) {
        insertNewline();
        event->accept();
        return;
    }
    if (!event->text().isEmpty())
        keepAttachmentsOutOfTyping();
    QTextEdit::keyPressEvent(event);
}

void NotesTextView::insertNewline()
{
    QTextCursor cursor = textCursor();
    const QTextCharFormat typing = currentCharFormat();
    const QTextBlock line = cursor.block();
    const bool inChecklist =
        typing.hasProperty(NoteFormat::checklistProperty) || NotesDocument::isChecklistBlock(line);
    const auto body = NoteStyle::attributes(NoteStyle::Body);
    cursor.beginEditBlock();
    if (inChecklist && line.text().isEmpty()) {
        // An empty checklist line leaves the checklist.
        NotesDocument::restyleLine(line, NoteStyle::Body);
        setCurrentCharFormat(NoteFormat::charFormat(body));
    } else if (inChecklist) {
        const auto checklist = NoteStyle::attributes(NoteStyle::Checklist);
        // At the very end the new line gets a line feed of its own to carry its box.
        const int caret = cursor.position();
        if (caret == document()->characterCount() - 1) {
            cursor.insertBlock(NoteFormat::blockFormat(checklist),
                               NoteFormat::charFormat(checklist));
            cursor.setPosition(caret);
        }
        // The line feed belongs to the line it ends; the new line starts unticked.
        cursor.insertBlock(NoteFormat::blockFormat(checklist), typing);
        NotesDocument::restyleLine(cursor.block(), NoteStyle::Checklist);
        setTextCursor(cursor);
        setCurrentCharFormat(NoteFormat::charFormat(checklist));
    } else if (typing.hasProperty(NoteFormat::styleNameProperty) &&
               typing.stringProperty(NoteFormat::styleNameProperty) !=
                   NoteStyle::styleName(NoteStyle::Body)) {
        // A heading is followed by body text.
        cursor.insertBlock(NoteFormat::blockFormat(body), typing);
        setTextCursor(cursor);
        setCurrentCharFormat(NoteFormat::charFormat(body));
    } else {
        cursor.insertBlock(cursor.blockFormat(), typing);
        setTextCursor(cursor);
    }
    cursor.endEditBlock();
}

QMenu* NotesTextView::createCardMenu()
{
    auto* menu = new QMenu(this);
    if (m_cardMenuItems) {
        m_cardMenuItems(menu);
        if (!menu->isEmpty())
            menu->addSeparator();
    }
    QAction* checklist =
        menu->addAction(tr("Make Checklist"), this, &NotesTextView::formatSelectionAsChecklist);
    checklist->setObjectName(QStringLiteral("makeChecklist"));
    checklist->setEnabled(m_isFirstResponder);
    MenuItemState::apply(checklist, menuState(NoteStyle::Checklist));
    menu->addSeparator();
    if (QUndoStack* stack = AppDelegate::sharedUndoStack()) {
        QAction* undo = stack->createUndoAction(menu);
        undo->setShortcut(QKeySequence::Undo);
        menu->addAction(undo);
        QAction* redo = stack->createRedoAction(menu);
        redo->setShortcut(QKeySequence::Redo);
        menu->addAction(redo);
        menu->addSeparator();
    }
    const bool selected = textCursor().hasSelection();
    const auto add = [this, menu](const QString& text, QKeySequence::StandardKey key,
                                  void (QTextEdit::*slot)(), bool enabled) {
        QAction* action = menu->addAction(text, this, slot);
        action->setShortcut(key);
        action->setEnabled(enabled);
    };
    add(tr("Cu&t"), QKeySequence::Cut, &QTextEdit::cut, selected && !isReadOnly());
    add(tr("&Copy"), QKeySequence::Copy, &QTextEdit::copy, selected);
    add(tr("&Paste"), QKeySequence::Paste, &QTextEdit::paste, canPaste());
    add(tr("Select &All"), QKeySequence::SelectAll, &QTextEdit::selectAll, !document()->isEmpty());
    return menu;
}

void NotesTextView::contextMenuEvent(QContextMenuEvent* event)
{
    // Delete Card may take the editor, and the menu with it, while the menu runs.
    const QPointer<QMenu> menu(createCardMenu());
    menu->exec(event->globalPos());
    delete menu.data();
}

template <class Change>
void NotesTextView::runCommand(const QString& actionName, Change change)
{
    if (m_runningCommand) {
        change();
        return;
    }
    m_runningCommand = true;
    change();
    m_runningCommand = false;
    Q_EMIT commandFinished(actionName);
}

QList<NoteLines::Range> NotesTextView::getLinesInSelection() const
{
    const QTextCursor cursor = textCursor();
    return NoteLines::linesInSelection(
        NotesDocument::plainText(document()),
        {{cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()}});
}

bool NotesTextView::cursorIsAtEndOfBlankLine() const
{
    const QTextBlock last = document()->lastBlock();
    return textCursor().selectionStart() == document()->characterCount() - 1 && last.length() == 1;
}

bool NotesTextView::addExtralineIfCursorAtEnd()
{
    const int end = document()->characterCount() - 1;
    if (end == 0 || !cursorIsAtEndOfBlankLine())
        return false;
    runCommand(tr("Style Change"), [&] {
        QTextCursor cursor(document());
        cursor.movePosition(QTextCursor::End);
        const RichText::Attributes none;
        cursor.insertBlock(NoteFormat::blockFormat(none), NoteFormat::charFormat(none));
        // The caret stays where it was, at the start of the line that is now a real one.
        cursor.setPosition(end);
        setTextCursor(cursor);
    });
    return true;
}

void NotesTextView::formatSelectionAsChecklist()
{
    runCommand(tr("Style Change"), [this] {
        // The empty last line shows no box, whatever is being typed there: it becomes a real
        // line, which then shows one.
        addExtralineIfCursorAtEnd();
        formatWithLines(getLinesInSelection(), NoteStyle::Checklist);
    });
}

void NotesTextView::formatWithLines(const QList<NoteLines::Range>& lines, NoteStyle::Kind kind)
{
    if (lines.isEmpty())
        return;
    runCommand(tr("Style Change"), [&] {
        if (cursorIsAtEndOfBlankLine()) {
            // No character to restyle: the style is the one typed next.
            const bool off = kind == NoteStyle::Checklist &&
                             currentCharFormat().hasProperty(NoteFormat::checklistProperty) &&
                             !currentCharFormat().hasProperty(NoteFormat::styleNameProperty);
            setTypingStyle(off ? NoteStyle::Body : kind);
            return;
        }
        const QTextCursor remembered = textCursor();
        const qsizetype start = lines.first().location;
        RichText span = NotesDocument::richText(document(), int(start), int(lines.last().end()));
        QList<NoteLines::Range> inSpan;
        for (const NoteLines::Range& line : lines)
            inSpan.append({line.location - start, line.length});
        const bool switchedOff = NoteStyle::formatWithLines(span, inSpan, kind);
        NotesDocument::applyFormats(document(), int(start), span);
        setTextCursor(remembered);
        setTypingStyle(switchedOff ? NoteStyle::Body : kind);
        addAndRemoveChecklistButtons();
    });
}

void NotesTextView::setTypingStyle(NoteStyle::Kind kind)
{
    RichText::Attributes typing =
        NoteStyle::restyled(NoteFormat::attributes(currentCharFormat()), kind);
    typing.attachment.reset();
    QTextCursor cursor = textCursor();
    // With a selection the restyled characters themselves give what replaces them.
    if (!cursor.hasSelection())
        setCurrentCharFormat(NoteFormat::charFormat(typing));
    if (cursorIsAtEndOfBlankLine()) {
        cursor.setBlockFormat(NoteFormat::blockFormat(typing));
        // The first line's own character format is no line feed of another line.
        if (cursor.block() == document()->begin())
            cursor.setBlockCharFormat(NoteFormat::charFormat(typing));
    }
}

QSet<NoteStyle::Kind> NotesTextView::kindsInSelection() const
{
    // The lines of getLinesInSelection(), read from the document's lines without copying text.
    const QTextCursor cursor = textCursor();
    QSet<NoteStyle::Kind> kinds;
    for (QTextBlock block = document()->findBlock(cursor.selectionStart()); block.isValid();
         block = block.next()) {
        // The empty last line counts with the style being typed.
        kinds.insert(NoteStyle::kindOf(
            NotesDocument::lineStart(block).value_or(NoteFormat::attributes(currentCharFormat()))));
        if (!block.next().isValid() || block.next().position() >= cursor.selectionEnd())
            break;
    }
    return kinds;
}

MenuItemState::State NotesTextView::menuState(const QSet<NoteStyle::Kind>& kinds,
                                              NoteStyle::Kind kind)
{
    if (!kinds.contains(kind))
        return MenuItemState::Off;
    return kinds.size() == 1 ? MenuItemState::On : MenuItemState::Mixed;
}

void NotesTextView::setNotesExpanded(bool expanded)
{
    if (expanded == m_notesExpanded)
        return;
    m_notesExpanded = expanded;
    addAndRemoveChecklistButtons();
}

void NotesTextView::addAndRemoveChecklistButtons()
{
    m_checkButtons = NotesDocument::checkBoxes(document(), m_notesExpanded ? -1 : 1);
    viewport()->update();
}

void NotesTextView::checkUncheckLine(int line)
{
    runCommand(tr("Toggle Checklist"), [&] {
        const QTextBlock block = document()->findBlockByNumber(line);
        if (!block.isValid())
            return;
        const int from = block.position();
        const int to = block.next().isValid() ? block.next().position() : from + block.length() - 1;
        RichText text = NotesDocument::richText(document(), from, to);
        const std::optional<bool> checked = NoteStyle::checkUncheckLine(text, 0);
        if (!checked)
            return;
        NotesDocument::applyFormats(document(), from, text);
        if (const QTextCursor cursor = textCursor();
            cursor.block() == block && !cursor.hasSelection()) {
            QTextCharFormat typing = currentCharFormat();
            typing.setProperty(NoteFormat::checklistProperty, *checked);
            setCurrentCharFormat(typing);
        }
        addAndRemoveChecklistButtons();
    });
}

QPointF NotesTextView::documentPosition(const QPoint& viewportPosition) const
{
    return QPointF(viewportPosition) +
           QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

std::optional<int> NotesTextView::checkButtonAt(const QPoint& viewportPosition) const
{
    const QPointF point = documentPosition(viewportPosition);
    for (const NotesDocument::CheckBox& box : m_checkButtons) {
        if (box.rect.contains(point))
            return box.line;
    }
    return std::nullopt;
}

void NotesTextView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (const std::optional<int> line = checkButtonAt(event->position().toPoint())) {
            checkUncheckLine(*line);
            event->accept();
            return;
        }
    }
    QTextEdit::mousePressEvent(event);
}

void NotesTextView::mouseMoveEvent(QMouseEvent* event)
{
    QTextEdit::mouseMoveEvent(event);
    const bool overBox = checkButtonAt(event->position().toPoint()).has_value();
    viewport()->setCursor(overBox ? Qt::ArrowCursor : Qt::IBeamCursor);
}

void NotesTextView::paintEvent(QPaintEvent* event)
{
    QTextEdit::paintEvent(event);
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    const QRectF exposed = QRectF(event->rect()).translated(documentPosition(QPoint()));
    for (const NotesDocument::CheckBox& box : std::as_const(m_checkButtons)) {
        if (box.rect.intersects(exposed))
            NotesDocument::paintCheckBox(&painter, box);
    }
}

void NotesTextView::resizeEvent(QResizeEvent* event)
{
    QTextEdit::resizeEvent(event);
    // A collapsed card shows its first line: keep the text at its top.
    verticalScrollBar()->setValue(0);
    addAndRemoveChecklistButtons();
}
