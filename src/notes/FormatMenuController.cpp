#include "FormatMenuController.h"

#include "NotesTextView.h"
#include "widgets/MenuItemState.h"
#include "widgets/SymbolicIconEngine.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

FormatMenuController::FormatMenuController(QWidget* window)
    : QObject(window)
    , m_window(window)
    , m_menu(new QMenu(tr("F&ormat"), window))
    , m_styleMenu(new QMenu(window))
    , m_styleButton(
          new QAction(SymbolicIconEngine::icon(QStringLiteral(":/images/toolbar-style.svg")),
                      tr("Style"), this))
    , m_checklistButton(
          new QAction(SymbolicIconEngine::icon(QStringLiteral(":/images/toolbar-checklist.svg")),
                      tr("Checklist"), this))
{
    addStyle(tr("&Title"), QStringLiteral("formatAsTitle"), QKeySequence(Qt::CTRL | Qt::Key_1),
             NoteStyle::Title);
    addStyle(tr("&Header"), QStringLiteral("formatAsHeader"), QKeySequence(Qt::CTRL | Qt::Key_2),
             NoteStyle::Header);
    addStyle(tr("&Body"), QStringLiteral("formatAsBody"), QKeySequence(Qt::CTRL | Qt::Key_3),
             NoteStyle::Body);
    m_menu->addSeparator();
    addStyle(tr("&Checklist"), QStringLiteral("formatAsChecklist"),
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L), NoteStyle::Checklist);
    // The style control offers the same items as the menu, with the same states.
    for (const NoteStyle::Kind kind : {NoteStyle::Title, NoteStyle::Header, NoteStyle::Body})
        m_styleMenu->addAction(m_styles[kind]);
    m_styleButton->setMenu(m_styleMenu);
    m_styleButton->setObjectName(QStringLiteral("styleButton"));
    m_checklistButton->setObjectName(QStringLiteral("checklistButton"));
    m_checklistButton->setCheckable(true);
    connect(m_checklistButton, &QAction::triggered, this, [this] { format(NoteStyle::Checklist); });
    connect(m_menu, &QMenu::aboutToShow, this, &FormatMenuController::updateStates);
    connect(m_styleMenu, &QMenu::aboutToShow, this, &FormatMenuController::updateStates);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { focusChanged(now); });
    updateStates();
}

QAction* FormatMenuController::addStyle(const QString& text, const QString& identifier,
                                        const QKeySequence& key, NoteStyle::Kind kind)
{
    QAction* action = m_menu->addAction(text);
    action->setObjectName(identifier);
    action->setShortcut(key);
    connect(action, &QAction::triggered, this, [this, kind] { format(kind); });
    m_styles[kind] = action;
    return action;
}

QAction* FormatMenuController::action(NoteStyle::Kind kind) const
{
    return m_styles[kind];
}

NotesTextView* FormatMenuController::editor() const
{
    if (!m_editor || !m_editor->isEditing() || m_editor->window() != m_window)
        return nullptr;
    return m_editor;
}

void FormatMenuController::focusChanged(QWidget* now)
{
    // A popup (a menu, the style control's list) borrows the keyboard from the editor.
    if (QApplication::activePopupWidget())
        return;
    follow(qobject_cast<NotesTextView*>(now));
}

void FormatMenuController::follow(NotesTextView* editor)
{
    if (editor != m_editor) {
        if (m_editor)
            disconnect(m_editor, nullptr, this, nullptr);
        m_editor = editor;
        if (editor) {
            // The states follow the selection and the text (a tick moves no caret).
            connect(editor, &QTextEdit::cursorPositionChanged, this,
                    &FormatMenuController::updateStates);
            connect(editor, &QTextEdit::selectionChanged, this,
                    &FormatMenuController::updateStates);
            connect(editor, &QTextEdit::textChanged, this, &FormatMenuController::updateStates);
            connect(editor, &NotesTextView::editingEnded, this,
                    &FormatMenuController::updateStates);
        }
    }
    updateStates();
}

void FormatMenuController::updateStates()
{
    NotesTextView* notes = editor();
    const QSet<NoteStyle::Kind> kinds = notes ? notes->kindsInSelection() : QSet<NoteStyle::Kind>();
    for (const NoteStyle::Kind kind :
         {NoteStyle::Title, NoteStyle::Header, NoteStyle::Body, NoteStyle::Checklist}) {
        m_styles[kind]->setEnabled(notes);
        MenuItemState::apply(m_styles[kind], NotesTextView::menuState(kinds, kind));
    }
    m_styleButton->setEnabled(notes);
    m_checklistButton->setEnabled(notes);
    const MenuItemState::State checklist = MenuItemState::of(m_styles[NoteStyle::Checklist]);
    m_checklistButton->setChecked(checklist == MenuItemState::On);
    // A toolbar button knows no mixed state: its picture shows it.
    m_checklistButton->setIcon(SymbolicIconEngine::icon(
        checklist == MenuItemState::Mixed ? QStringLiteral(":/images/toolbar-checklist-mixed.svg")
                                          : QStringLiteral(":/images/toolbar-checklist.svg")));
}

void FormatMenuController::format(NoteStyle::Kind kind)
{
    NotesTextView* notes = editor();
    if (!notes)
        return;
    switch (kind) {
    case NoteStyle::Title:
        notes->formatSelectionAsTitle();
        break;
    case NoteStyle::Header:
        notes->formatSelectionAsHeader();
        break;
    case NoteStyle::Body:
        notes->formatSelectionAsBody();
        break;
    case NoteStyle::Checklist:
        notes->formatSelectionAsChecklist();
        break;
    }
    updateStates();
}
