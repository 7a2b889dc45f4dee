#include "CardEditor.h"

#include "CardGeometry.h"
#include "DateDisplayButton.h"
#include "DueDateColour.h"
#include "DueDatePill.h"
#include "DueDateTextField.h"
#include "ListItemCellView.h"
#include "TagEntry.h"
#include "TypingCommand.h"
#include "appearance/CardPalette.h"
#include "board/CardTableModel.h"
#include "board/CardTableView.h"
#include "board/KanbanColumnListViewController.h"
#include "board/ListViewController.h"
#include "model/ListItem.h"
#include "notes/NotesDocument.h"
#include "notes/NotesTextView.h"
#include "store/AppDelegate.h"
#include "tags/TagsTextField.h"

#include <QAbstractItemView>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QGraphicsOpacityEffect>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextBlock>
#include <QToolButton>
#include <QUndoStack>

namespace {
QToolButton* makeImageButton(QWidget* parent, const QString& accessibleName)
{
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(CardGeometry::controlSize, CardGeometry::controlSize));
    button->setAccessibleName(accessibleName);
    button->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
    return button;
}

bool isDescendant(const QWidget* widget, const QWidget* ancestor)
{
    for (; widget; widget = widget->parentWidget()) {
        if (widget == ancestor)
            return true;
    }
    return false;
}
} // namespace

CardEditor::CardEditor(ListItemCellView* cellView, QWidget* parent)
    : QWidget(parent)
    , m_cellView(cellView)
    , m_check(new QCheckBox(this))
    , m_doneDate(new DueDateTextField(this))
    , m_expand(makeImageButton(this, tr("Show All Notes")))
    , m_flag(makeImageButton(this, tr("Priority")))
    , m_notes(new NotesTextView(this))
    , m_tags(new TagsTextField(this))
    , m_date(new DateDisplayButton(this))
    , m_notesOpacity(new QGraphicsOpacityEffect(this))
    , m_tagsOpacity(new QGraphicsOpacityEffect(this))
{
    setPalette(CardPalette::palette());
    setAutoFillBackground(false);
    m_check->setFocusPolicy(Qt::NoFocus);
    m_check->setAccessibleName(tr("Done"));
    QFont small = font();
    small.setPixelSize(11);
    m_doneDate->setFont(small);
    m_doneDate->setForegroundRole(QPalette::PlaceholderText);
    m_tags->setFrame(false);
    m_tags->setFont(small);
    m_date->setFocusPolicy(Qt::NoFocus);
    m_notes->setGraphicsEffect(m_notesOpacity);
    m_tags->setGraphicsEffect(m_tagsOpacity);
    setFocusProxy(m_notes);

    connect(m_check, &QCheckBox::clicked, this, [this] {
        if (m_item && m_cellView->listViewController())
            m_cellView->listViewController()->flipDoneStateOfItem(m_item);
        refresh();
    });
    connect(m_flag, &QToolButton::clicked, this, [this] {
        m_cellView->toggleFlag(m_item);
        refresh();
    });
    connect(m_expand, &QToolButton::clicked, this, &CardEditor::noteButtonTapped);
    connect(m_date, &QAbstractButton::clicked, this,
            [this] { m_cellView->openDatePicker(m_item, this, m_date->geometry()); });
    // Where a change was is told before the document is laid out again; the change is taken
    // once it is.
    connect(m_notes->document(), &QTextDocument::contentsChange, this,
            [this](int position, int removed, int) {
                // An edit away from where the last keystroke left the caret starts a new burst.
                if (!m_updatingText &&
                    (position > m_burstCaret || position + removed < m_burstCaret))
                    endBurst();
            });
    connect(m_notes->document(), &QTextDocument::contentsChanged, this, &CardEditor::textDidChange);
    // A new width wraps the text again: the row takes the height of the new layout.
    connect(m_notes->document()->documentLayout(),
            &QAbstractTextDocumentLayout::documentSizeChanged, this, &CardEditor::updateCellHeight);
    connect(m_notes, &NotesTextView::commandFinished, this, &CardEditor::commandDidFinish);
    // In a board column, Cut, Copy and Paste with no text selected act on the column's cards.
    if (auto* column =
            qobject_cast<KanbanColumnListViewController*>(m_cellView->listViewController()))
        m_notes->setCardEditResponder(column->tableView());
    m_notes->setCardMenuItems([this](QMenu* menu) {
        ListViewController* controller = m_cellView->listViewController();
        if (CardTableView* view = controller ? controller->tableView() : nullptr; view && m_item)
            view->addCardMenuItems(menu, m_item);
    });
    m_autosave.setSingleShot(true);
    m_autosave.setInterval(autosaveDelay);
    connect(&m_autosave, &QTimer::timeout, this, [] {
        if (AppDelegate* delegate = AppDelegate::shared())
            delegate->save();
    });
    // Undo, redo or any other step ends the burst of typing.
    if (QUndoStack* stack = AppDelegate::sharedUndoStack()) {
        connect(stack, &QUndoStack::indexChanged, this, [this] {
            if (!m_pushing)
                endBurst();
        });
    }
    connect(m_notes, &QTextEdit::cursorPositionChanged, this, &CardEditor::selectionDidChange);
    connect(m_tags, &TagsTextField::editingFinished, this, &CardEditor::tagsEditingFinished);
    connect(qApp, &QApplication::focusChanged, this, &CardEditor::focusChanged);
    connect(m_cellView, &ListItemCellView::tagsChanged, this, [this] {
        if (m_item && !m_tags->lineEdit()->hasFocus())
            m_tags->setTokens(TagEntry::namesOf(m_item));
        m_tags->update();
    });

    m_tags->setCompletionSource([this] {
        QStringList names = m_item ? TagEntry::completions(m_item, QString()) : QStringList();
        for (const QString& token : m_tags->tokens())
            names.removeAll(token.trimmed());
        return names;
    });
    m_tags->setTokenColour([this](const QString& name) {
        return m_item ? TagEntry::tokenColour(m_item, name) : std::nullopt;
    });
}

CardEditor::~CardEditor()
{
    if (m_cellView->editingItem() == m_item)
        m_cellView->setEditingItem(nullptr);
}

void CardEditor::setItem(ListItem* item)
{
    if (item != m_item) {
        endBurst();
        m_item = item;
        m_cellView->setEditingItem(item);
    }
    refresh();
}

void CardEditor::detach()
{
    m_finished = true;
    endBurst();
}

void CardEditor::refresh()
{
    if (!m_item)
        return;
    refreshNotes();
    refreshControls();
}

void CardEditor::refreshNotes()
{
    // While a command of the editor runs (a long paste goes on over several events), the
    // editor's text is newer than the card's: it is stored when the command is done.
    if (m_notes->isRunningCommand())
        return;
    // Loading is no edit: only notes the editor does not already hold are loaded.
    const RichText text =
        NotesDocument::withLineFeeds(m_item->attributedNotes().value_or(RichText()));
    const RichText shown = m_notes->richText();
    if (shown == text)
        return;
    m_updatingText = true;
    QTextCursor cursor = m_notes->textCursor();
    const int anchor = cursor.anchor();
    const int position = cursor.position();
    // The same characters in other styles (a style change or a tick undone) take their formats
    // in place: only the lines that changed are laid out again.
    if (shown.text() == text.text())
        NotesDocument::applyChangedFormats(m_notes->document(), shown, text);
    else
        m_notes->setRichText(text);
    if (m_notes->hasFocus()) {
        const int end = m_notes->document()->characterCount() - 1;
        cursor.setPosition(std::min(anchor, end));
        cursor.setPosition(std::min(position, end), QTextCursor::KeepAnchor);
        m_notes->setTextCursor(cursor);
    }
    m_notes->addAndRemoveChecklistButtons();
    m_updatingText = false;
    updateCellHeight();
}

void CardEditor::refreshControls()
{
    hideShowNoteButton();
    m_expand->setIcon(QIcon(m_item->notesExpanded().value_or(false)
                                ? QStringLiteral(":/images/UpArrow.svg")
                                : QStringLiteral(":/images/DownArrow.svg")));
    m_notes->setNotesExpanded(m_item->notesExpanded().value_or(false));
    m_flag->setIcon(QIcon(m_item->isPriority() ? QStringLiteral(":/images/flag-filled.svg")
                                               : QStringLiteral(":/images/flag.svg")));
    const bool done = m_item->isDone();
    m_check->setChecked(done);
    m_notesOpacity->setOpacity(done ? 0.3 : 1.0);
    m_tagsOpacity->setOpacity(done ? 0.3 : 1.0);
    m_doneDate->setVisible(done);
    m_doneDate->setDateValue(m_item->doneDate().isValid() ? std::optional(m_item->doneDate())
                                                          : std::nullopt);
    m_date->setDateValue(m_item->dueDate().isValid() ? std::optional(m_item->dueDate())
                                                     : std::nullopt);
    m_date->setBackgroundColour(dueDateColour(*m_item));
    if (!m_tags->lineEdit()->hasFocus())
        m_tags->setTokens(TagEntry::namesOf(m_item));
    layoutChildren();
}

void CardEditor::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Escape ends editing; the card stays selected in its table.
    if (!m_finished)
        finishEditing();
}

void CardEditor::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

void CardEditor::layoutChildren()
{
    const CardGeometry g(rect(), height() - CardGeometry::fixedHeight);
    m_check->setGeometry(g.checkBox);
    m_doneDate->setGeometry(g.doneDate);
    m_expand->setGeometry(g.expandButton);
    m_flag->setGeometry(g.flag);
    m_notes->setGeometry(g.notes);
    const int tagsHeight = std::min(g.tags.height(), m_tags->heightForWidth(g.tags.width()));
    m_tags->setGeometry(g.tags.left(), g.tags.top() + (g.tags.height() - tagsHeight) / 2,
                        g.tags.width(), tagsHeight);
    m_date->setGeometry(g.dueDatePill(m_date->sizeHint()));
}

void CardEditor::storeNotes()
{
    pushNotes(QString());
}

void CardEditor::pushNotes(const QString& actionName)
{
    if (!m_item || m_item->isDeleted())
        return;
    const RichText text = m_notes->richText();
    const std::optional<RichText> before = m_item->attributedNotes();
    // A card that never had notes keeps none until something is typed, and imported notes
    // keep their own line ends until then.
    if (text == NotesDocument::withLineFeeds(before.value_or(RichText())))
        return;
    m_item->setAttributedNotes(text);
    QUndoStack* stack = AppDelegate::sharedUndoStack();
    if (!stack)
        return;
    m_pushing = true;
    if (actionName.isEmpty()) {
        if (m_burst == 0)
            m_burst = TypingCommand::newBurst();
        stack->push(new TypingCommand(m_item, before, text, m_burst));
    } else {
        stack->push(new ChangeNotesCommand(m_item, before, text, actionName, true));
    }
    m_pushing = false;
}

void CardEditor::commandDidFinish(const QString& actionName)
{
    if (!m_item)
        return;
    endBurst();
    pushNotes(actionName);
    m_autosave.stop();
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
    hideShowNoteButton();
    updateCellHeight();
}

void CardEditor::endBurst()
{
    m_burst = 0;
}

void CardEditor::textDidChange()
{
    // A command of the editor is stored once done, as one step of its own name.
    if (m_updatingText || !m_item || m_notes->isRunningCommand())
        return;
    storeNotes();
    m_burstCaret = m_notes->textCursor().position();
    m_autosave.start();
    hideShowNoteButton();
    updateCellHeight();
}

void CardEditor::updateCellHeight()
{
    // Until the editor has its width the text is not wrapped: the row keeps its painted height.
    if (!m_item || m_notes->document()->textWidth() <= 0)
        return;
    // The editor's own layout gives the height: typing lays out this one card once.
    const bool collapsed = !m_item->notesExpanded().value_or(false);
    const qreal notesHeight = collapsed ? m_notes->heightRequiredForFirstLineOfText()
                                        : m_notes->heightRequiredToFitContent();
    m_cellView->setNotesHeightFromEditor(m_item, int(std::ceil(notesHeight)));
}

void CardEditor::hideShowNoteButton()
{
    const QString text = m_notes->toPlainText();
    // Empty cards show the button to make room for typing; one-line notes need none.
    m_expand->setVisible(text.contains(QChar::ParagraphSeparator) || text.contains(u'\n') ||
                         text.isEmpty());
}

void CardEditor::noteButtonTapped()
{
    if (!m_item)
        return;
    const bool expanded = !m_item->notesExpanded().value_or(false);
    m_item->setNotesExpanded(expanded);
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
    if (!expanded) {
        // Keep the caret on the line that stays visible.
        const QTextBlock first = m_notes->document()->begin();
        const int firstLineEnd = first.position() + first.length() - 1;
        QTextCursor cursor = m_notes->textCursor();
        if (first.next().isValid() && cursor.selectionStart() > firstLineEnd) {
            cursor.setPosition(firstLineEnd);
            m_notes->setTextCursor(cursor);
        }
    }
    refreshControls();
    updateCellHeight();
}

void CardEditor::selectionDidChange()
{
    const int position = m_notes->textCursor().selectionStart();
    const int previous = m_previousCursor;
    m_previousCursor = position;
    if (!m_item || m_updatingText || m_item->notesExpanded().value_or(false) ||
        !m_notes->isEditing() || position == previous)
        return;
    const QTextBlock first = m_notes->document()->begin();
    // The caret went past the first line of collapsed notes: show them all. This may come in
    // the middle of an edit, before the card has the new text: nothing is loaded here.
    if (first.next().isValid() && position > first.position() + first.length() - 1) {
        m_item->setNotesExpanded(true);
        refreshControls();
        updateCellHeight();
    }
}

void CardEditor::tagsEditingFinished()
{
    if (!m_item || m_item->isDeleted())
        return;
    TagEntry::setTagsFromNames(m_item, m_tags->tokens());
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
    if (ListViewController* controller = m_cellView->listViewController())
        controller->refreshItem(m_item);
    m_tags->setTokens(TagEntry::namesOf(m_item));
}

void CardEditor::focusNotesAt(const QPoint& point)
{
    m_notes->setFocus(Qt::MouseFocusReason);
    const QPoint inViewport = m_notes->viewport()->mapFrom(this, point);
    m_notes->placeCaretAt(inViewport);
}

void CardEditor::focusNotesAtEnd()
{
    m_notes->setFocus(Qt::OtherFocusReason);
    m_notes->moveCursor(QTextCursor::End);
}

void CardEditor::focusTags()
{
    m_tags->setFocus(Qt::MouseFocusReason);
}

void CardEditor::focusChanged(QWidget*, QWidget* now)
{
    // A popup (tag completion, date picker, menu) borrows the keyboard; editing goes on.
    if (m_finished || QApplication::activePopupWidget() || isDescendant(now, this))
        return;
    // An editor its view is letting go of (another card became current) ends no more.
    auto* view =
        parentWidget() ? qobject_cast<QAbstractItemView*>(parentWidget()->parentWidget()) : nullptr;
    ListViewController* controller = m_cellView->listViewController();
    if (!view || !controller || !m_item ||
        view->indexWidget(controller->tableModel()->indexForItem(m_item)) != this) {
        m_finished = true;
        return;
    }
    if (now && now->window() != window())
        return;
    finishEditing();
}

void CardEditor::finishEditing()
{
    m_finished = true;
    endBurst();
    if (m_tags->lineEdit()->text().trimmed().size() > 0)
        tagsEditingFinished();
    storeNotes();
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
    Q_EMIT m_cellView->commitData(this);
    Q_EMIT m_cellView->closeEditor(this, QAbstractItemDelegate::NoHint);
}
