#include "MoveRowsCommand.h"

#include "KanbanColumnListViewController.h"
#include "model/KanbanColumn.h"

#include <QCoreApplication>

MoveRowsCommand::MoveRowsCommand(KanbanColumn* column, const QList<int>& draggedIndexes, int target)
    : m_column(column)
    , m_draggedIndexes(draggedIndexes)
    , m_target(target)
{
    setText(actionName(draggedIndexes.size()));
}

QString MoveRowsCommand::actionName(qsizetype count)
{
    return QStringLiteral("Move ") + QString::number(count) + QStringLiteral(" Rows");
}

void MoveRowsCommand::redo()
{
    if (auto* controller = KanbanColumnListViewController::controllerForCommand(this, m_column))
        controller->moveWithinColumnWithoutUndo(m_draggedIndexes, m_target);
}

void MoveRowsCommand::undo()
{
    if (auto* controller = KanbanColumnListViewController::controllerForCommand(this, m_column))
        controller->moveBackWithinColumnWithoutUndo(m_draggedIndexes, m_target);
}
