#pragma once

#include <QList>
#include <QUndoCommand>

class List;
class ListItem;

// "Move N Rows" within a plain list: the list's items take the order after the move; undo gives
// them the order from before it. The moved items are selected either way.
class MoveListItemsCommand final : public QUndoCommand
{
public:
    MoveListItemsCommand(List* list, const QList<ListItem*>& before, const QList<ListItem*>& after,
                         const QList<ListItem*>& moved);

    void redo() override;
    void undo() override;

private:
    void apply(const QList<ListItem*>& order);

    List* m_list; // the store keeps deleted objects; a rebuilt list is followed
    QList<ListItem*> m_before;
    QList<ListItem*> m_after;
    QList<ListItem*> m_moved;
};
