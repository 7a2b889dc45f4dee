#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <chrono>

class DateDisplayButton;
class DueDateTextField;
class ListItem;
class ListItemCellView;
class NotesTextView;
class QCheckBox;
class QGraphicsOpacityEffect;
class QToolButton;
class TagsTextField;

// The editing surface of the one card being edited, laid over its painted row: the notes
// editor, the tag field, the due-date button, the done box, the expand button and the flag.
// Every notes edit goes into the card at once, as a "Typing" step on the window's undo stack
// (one per burst of typing); the store is saved shortly after the last keystroke and when
// editing ends, which is when the keyboard leaves the card.
class CardEditor final : public QWidget
{
    Q_OBJECT

public:
    CardEditor(ListItemCellView* cellView, QWidget* parent);
    ~CardEditor() override;

    // How long after the last keystroke the typing is saved.
    static constexpr std::chrono::milliseconds autosaveDelay{500};

    ListItem* item() const { return m_item; }
    // Shows the card; for the card already shown only what changed is refreshed.
    void setItem(ListItem* item);
    void refresh();
    // Puts what the editor holds into the card, when it differs, as a typing step.
    void storeNotes();
    // The view no longer owns this editor: it ends nothing any more.
    void detach();

    // Puts the caret where the point (in this widget) is, or at the end of the text.
    void focusNotesAt(const QPoint& point);
    void focusNotesAtEnd();
    void focusTags();

    NotesTextView* notesTextView() const { return m_notes; }
    TagsTextField* tokenFieldForTags() const { return m_tags; }
    DateDisplayButton* showDateButton() const { return m_date; }
    QCheckBox* checkButton() const { return m_check; }
    QToolButton* flagButton() const { return m_flag; }
    QToolButton* noteButton() const { return m_expand; }
    DueDateTextField* doneDateField() const { return m_doneDate; }

    // The expand button: expands or collapses the notes; collapsing keeps the caret on the
    // first line.
    void noteButtonTapped();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutChildren();
    void refreshNotes();
    void refreshControls();
    void textDidChange();
    // Puts the notes into the card as a typing step, or with a name as a step of that name.
    void pushNotes(const QString& actionName);
    void commandDidFinish(const QString& actionName);
    void endBurst();
    void selectionDidChange();
    void updateCellHeight();
    void hideShowNoteButton();
    void tagsEditingFinished();
    void focusChanged(QWidget* old, QWidget* now);
    void finishEditing();

    ListItemCellView* m_cellView;
    ListItem* m_item = nullptr;
    QCheckBox* m_check = nullptr;
    DueDateTextField* m_doneDate = nullptr;
    QToolButton* m_expand = nullptr;
    QToolButton* m_flag = nullptr;
    NotesTextView* m_notes = nullptr;
    TagsTextField* m_tags = nullptr;
    DateDisplayButton* m_date = nullptr;
    QGraphicsOpacityEffect* m_notesOpacity = nullptr;
    QGraphicsOpacityEffect* m_tagsOpacity = nullptr;
    QTimer m_autosave;
    int m_previousCursor = 0;
    int m_burst = 0;        // the typing step later keystrokes join; 0: the next one starts one
    int m_burstCaret = -1;  // where the last keystroke left the caret
    bool m_pushing = false; // a typing step is going onto the stack
    bool m_updatingText = false;
    bool m_finished = false;
};
