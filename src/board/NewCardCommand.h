#pragma once

#include <QUndoCommand>

class KanbanColumn;
class ListItem;

// "New Card": an "untitled" card at a display index of a column (-1: at the end). Undo deletes
// the card; redo adds a fresh one at the same place.
class NewCardCommand final : public QUndoCommand
{
public:
    NewCardCommand(KanbanColumn* column, int index);

    void redo() override;
    void undo() override;

    ListItem* item() const { return m_item; }

private:
    KanbanColumn* m_column; // the store keeps deleted objects; a deleted column is left alone
    int m_index;
    ListItem* m_item = nullptr;
};
