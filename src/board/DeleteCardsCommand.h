#pragma once

#include "RemovedCards.h"

#include <QList>
#include <QUndoCommand>

class KanbanColumn;
class ListItem;

// "Delete Card": deletes cards of a column from the store (a list's item sent to the board
// only leaves the board); undo rebuilds them from their exchange dictionaries at their places
// among the column's stored cards (shown or hidden), with their identities, tags reattached to
// the board (a list's item comes back itself); redo deletes the rebuilt cards.
class DeleteCardsCommand final : public QUndoCommand
{
public:
    DeleteCardsCommand(KanbanColumn* column, const QList<ListItem*>& items);

    void redo() override;
    void undo() override;

    static QString actionName();

private:
    KanbanColumn* m_column;
    QList<ListItem*> m_items; // the cards as they are now: deleted, or rebuilt by undo
    RemovedCards m_removed;
};
