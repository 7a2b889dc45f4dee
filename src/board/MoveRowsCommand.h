#pragma once

#include <QList>
#include <QUndoCommand>

class KanbanColumn;
class ListItem;

// "Move N Rows" within one column: the cards at the dragged display indexes move so that they
// start at the target index; undo puts them back at their indexes.
class MoveRowsCommand final : public QUndoCommand
{
public:
    MoveRowsCommand(KanbanColumn* column, const QList<int>& draggedIndexes, int target);

    void redo() override;
    void undo() override;

    static QString actionName(qsizetype count);

private:
    KanbanColumn* m_column;
    QList<int> m_draggedIndexes;
    int m_target;
};
