#include "NotesTextView.h"

#include "NotesDocument.h"
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
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QUndoStack>

#include <memory>

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
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    setStyleSheet(QStringLiteral("NotesTextView { background: transparent; }"));
    setCurrentCharFormat(NoteFormat::charFormat(NoteStyle::attributes(NoteStyle::Body)));
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
    return NotesDocument::heightOfFirstLine(document());
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

QMenu* NotesTextView::createTextMenu(const QPoint& position)
{
    QMenu* menu = createStandardContextMenu(position);
    QUndoStack* stack = AppDelegate::sharedUndoStack();
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        const bool undo = action->objectName() == QStringLiteral("edit-undo");
        if (!undo && action->objectName() != QStringLiteral("edit-redo"))
            continue;
        if (stack) {
            QAction* own = undo ? stack->createUndoAction(menu) : stack->createRedoAction(menu);
            own->setShortcut(undo ? QKeySequence::Undo : QKeySequence::Redo);
            menu->insertAction(action, own);
        }
        menu->removeAction(action);
        delete action;
    }
    return menu;
}

void NotesTextView::contextMenuEvent(QContextMenuEvent* event)
{
    const QPoint scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const std::unique_ptr<QMenu> menu(createTextMenu(event->pos() + scrolled));
    menu->exec(event->globalPos());
}

void NotesTextView::paintEvent(QPaintEvent* event)
{
    QTextEdit::paintEvent(event);
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    NotesDocument::paintCheckBoxes(&painter, document(),
                                   viewport()->height() + verticalScrollBar()->value());
}

void NotesTextView::resizeEvent(QResizeEvent* event)
{
    QTextEdit::resizeEvent(event);
    // A collapsed card shows its first line: keep the text at its top.
    verticalScrollBar()->setValue(0);
}
