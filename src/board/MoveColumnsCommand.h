#pragma once

#include <QList>
#include <QPointer>
#include <QUndoCommand>

class Kanban;
class KanbanColumn;
class KanbanViewController;

// "Move Column": the dragged columns move so that they stand, in their order, just before the
// column that was at the target index (the end when it is the column count); undo puts them
// back at their indexes.
class MoveColumnsCommand final : public QUndoCommand
{
public:
    MoveColumnsCommand(KanbanViewController* board, const QList<int>& draggedIndexes, int target);

    void redo() override;
    void undo() override;

    static QString actionName();

private:
    bool boardIsShown() const;
    QList<KanbanColumn*> movedColumns() const;

    QPointer<KanbanViewController> m_board;
    Kanban* m_kanban; // the store keeps deleted objects; a deleted board is left alone
    QList<int> m_draggedIndexes;
    int m_target;
    QList<KanbanColumn*> m_moved; // the columns this command moves, in their order
};
