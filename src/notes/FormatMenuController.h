#pragma once

#include "model/NoteStyle.h"

#include <QObject>
#include <QPointer>

class NotesTextView;
class QAction;
class QMenu;
class QWidget;

// The window's Format menu and the toolbar's style and checklist controls: they act on the card
// whose notes are being edited in the window, show how far its selected lines have each style
// (on, mixed or off), and are disabled while no card's notes are being edited.
class FormatMenuController final : public QObject
{
    Q_OBJECT

public:
    explicit FormatMenuController(QWidget* window);

    QMenu* menu() const { return m_menu; }
    // The menu items: Title, Header and Body, and Checklist.
    QAction* action(NoteStyle::Kind kind) const;
    // The toolbar's controls: the style control opens the three styles; the checklist button
    // toggles the checklist.
    QAction* styleButton() const { return m_styleButton; }
    QAction* checklistButton() const { return m_checklistButton; }

    // The notes editor the commands act on, if one is being edited in the window.
    NotesTextView* editor() const;
    void updateStates();

private:
    QAction* addStyle(const QString& text, const QString& identifier, const QKeySequence& key,
                      NoteStyle::Kind kind);
    void focusChanged(QWidget* now);
    void follow(NotesTextView* editor);
    void format(NoteStyle::Kind kind);

    QWidget* m_window;
    QMenu* m_menu;
    QMenu* m_styleMenu;
    QAction* m_styles[4] = {};
    QAction* m_styleButton;
    QAction* m_checklistButton;
    QPointer<NotesTextView> m_editor;
};
