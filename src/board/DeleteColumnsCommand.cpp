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
    return m_board && m_board->isShowing(m_kanban);
}

void DeleteColumnsCommand::redo()
{
    if (!boardIsShown()) {
        setObsolete(true);
        return;
    }
    // A redo deletes the very columns its undo brought back, or nothing.
    const QList<KanbanColumn*> before = m_board->columns();
    const QJsonArray dictionaries = m_board->deleteColumnsWithoutUndo(m_indexes, m_restored);
    if (dictionaries.isEmpty()) {
        setObsolete(true);
        return;
    }
    m_dictionaries = dictionaries;
    m_deleted.clear();
    for (KanbanColumn* column : before) {
        if (column->isDeleted())
            m_deleted.append(column);
    }
}

void DeleteColumnsCommand::undo()
{
    m_restored.clear();
    if (boardIsShown())
        m_restored = m_board->restoreColumnsWithoutUndo(m_dictionaries, m_indexes);
    if (m_restored.isEmpty()) {
        setObsolete(true);
        return;
    }
    // Steps below this one still name the deleted columns.
    if (ObjectContext* context = m_kanban->context();
        context && m_deleted.size() == m_restored.size()) {
        for (qsizetype i = 0; i < m_deleted.size(); ++i)
            context->noteRebuilt(m_deleted.at(i), m_restored.at(i));
    }
}
