#pragma once

#include <QDateTime>
#include <QUndoCommand>

class ListItem;

// "Change Due Date": sets a card's due date (invalid: none); undo puts the old one back. Both
// ways tell the rest of the application that due counts may have changed.
class ChangeDueDateCommand final : public QUndoCommand
{
public:
    ChangeDueDateCommand(ListItem* item, const QDateTime& newDate);

    void redo() override { apply(m_newDate); }
    void undo() override { apply(m_oldDate); }

    // Makes the change without undo: sets, saves, repaints the card, posts the notification.
    static void setDueDate(ListItem* item, const QDateTime& date);

private:
    void apply(const QDateTime& date);

    ListItem* m_item; // the store keeps deleted objects; a rebuilt card is followed
    QDateTime m_oldDate;
    QDateTime m_newDate;
};
