#include "DeleteColumnsCommand.h"

#include "KanbanViewController.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "store/ObjectContext.h"

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
    return m_board && m_board->isShowing(ObjectContext::live(m_kanban));
}

void DeleteColumnsCommand::redo()
{
    if (!boardIsShown()) {
        setObsolete(true);
        return;
    }
    // A redo deletes the very columns its undo brought back, or nothing.
    QList<KanbanColumn*> expected;
    for (KanbanColumn* column : std::as_const(m_restored))
        expected.append(ObjectContext::live(column));
    const QJsonArray dictionaries = m_board->deleteColumnsWithoutUndo(m_indexes, expected);
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
