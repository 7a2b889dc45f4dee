#include "DeleteColumnsCommand.h"

#include "KanbanViewController.h"
#include "model/Kanban.h"

#include <QCoreApplication>

DeleteColumnsCommand::DeleteColumnsCommand(KanbanViewController* board, const QList<int>& indexes)
    : m_board(board)
    , m_kanban(board->kanban())
    , m_indexes(indexes)
{
    setText(actionName());
}

QString DeleteColumnsCommand::actionName()
{
    return QCoreApplication::translate("KanbanViewController", "Delete Column");
}

bool DeleteColumnsCommand::boardIsShown() const
{
    return m_board && m_kanban && !m_kanban->isDeleted() && m_board->kanban() == m_kanban;
}

void DeleteColumnsCommand::redo()
{
    if (!boardIsShown()) {
        setObsolete(true);
        return;
    }
    // A redo deletes the very columns its undo brought back, or nothing.
    const QJsonArray dictionaries = m_board->deleteColumnsWithoutUndo(m_indexes, m_restored);
    if (dictionaries.isEmpty()) {
        setObsolete(true);
        return;
    }
    m_dictionaries = dictionaries;
}

void DeleteColumnsCommand::undo()
{
    m_restored.clear();
    if (boardIsShown())
        m_restored = m_board->restoreColumnsWithoutUndo(m_dictionaries, m_indexes);
    if (m_restored.isEmpty())
        setObsolete(true);
}
