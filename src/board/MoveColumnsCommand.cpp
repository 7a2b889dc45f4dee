#include "MoveColumnsCommand.h"

#include "KanbanViewController.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "store/ObjectContext.h"

#include <QCoreApplication>

MoveColumnsCommand::MoveColumnsCommand(KanbanViewController* board,
                                       const QList<int>& draggedIndexes, int target)
    : m_board(board)
    , m_kanban(board->kanban())
    , m_draggedIndexes(draggedIndexes)
    , m_target(target)
{
    setText(actionName());
}

QString MoveColumnsCommand::actionName()
{
    return QCoreApplication::translate("KanbanViewController", "Move Column");
}

bool MoveColumnsCommand::boardIsShown() const
{
    return m_board && m_board->isShowing(ObjectContext::live(m_kanban));
}

QList<KanbanColumn*> MoveColumnsCommand::movedColumns() const
{
    QList<KanbanColumn*> columns;
    for (KanbanColumn* column : m_moved)
        columns.append(ObjectContext::live(column));
    return columns;
}

void MoveColumnsCommand::redo()
{
    // Undo and redo move the same columns, or nothing when they are no longer where expected.
    QList<KanbanColumn*> moved;
    if (boardIsShown())
        moved = m_board->moveColumnsWithoutUndo(m_draggedIndexes, m_target, false, movedColumns());
    if (moved.isEmpty())
        setObsolete(true);
    else
        m_moved = moved;
}

void MoveColumnsCommand::undo()
{
    if (!boardIsShown() ||
        m_board->moveColumnsWithoutUndo(m_draggedIndexes, m_target, true, movedColumns()).isEmpty())
        setObsolete(true);
}
