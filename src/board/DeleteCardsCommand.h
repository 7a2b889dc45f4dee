#pragma once

#include <QJsonArray>
#include <QList>
#include <QUndoCommand>

class KanbanColumn;
class ListItem;

// "Delete Card": deletes cards of a column from the store (a list's item sent to the board
// only leaves the board); undo rebuilds them from their exchange dictionaries at their display
// indexes (as new objects, tags reattached to the board; a list's item comes back itself);
// redo deletes the rebuilt cards.
class DeleteCardsCommand final : public QUndoCommand
{
public:
    DeleteCardsCommand(KanbanColumn* column, const QList<ListItem*>& items,
                       const QList<int>& indexes);

    void redo() override;
    void undo() override;

private:
    KanbanColumn* m_column;
    QList<ListItem*> m_items; // the cards as they are now: deleted, or rebuilt by undo
    QList<int> m_indexes;
    QJsonArray m_dictionaries;
};
