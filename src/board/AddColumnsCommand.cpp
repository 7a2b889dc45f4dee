#include "AddColumnsCommand.h"

#include "KanbanViewController.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "store/ObjectContext.h"

#include <QCoreApplication>

#include <utility>

AddColumnsCommand::AddColumnsCommand(const QString& text, KanbanViewController* board,
                                     const QList<int>& indexes, const QList<KanbanColumn*>& columns)
    : m_board(board)
    , m_kanban(board->kanban())
    , m_indexes(indexes)
    , m_columns(columns)
{
    setText(text);
}

QString AddColumnsCommand::newColumnName()
{
    return QCoreApplication::translate("KanbanViewController", "New Column");
}

QString AddColumnsCommand::pasteColumnName()
{
    return QCoreApplication::translate("KanbanViewController", "Paste Column");
}

bool AddColumnsCommand::boardIsShown() const
{
    return m_board && m_board->isShowing(ObjectContext::live(m_kanban));
}

void AddColumnsCommand::redo()
{
    if (std::exchange(m_added, false))
        return;
    m_columns.clear();
    if (boardIsShown())
        m_columns = m_board->restoreColumnsWithoutUndo(m_dictionaries, m_indexes);
    if (m_columns.isEmpty())
        setObsolete(true);
}

void AddColumnsCommand::undo()
{
    // The very columns added (or rebuilt), where they were added, or nothing.
    QList<KanbanColumn*> expected;
    for (KanbanColumn* column : std::as_const(m_columns))
        expected.append(ObjectContext::live(column));
    if (boardIsShown() && !expected.contains(nullptr))
        m_dictionaries = m_board->deleteColumnsWithoutUndo(m_indexes, expected);
    else
        m_dictionaries = {};
    if (m_dictionaries.isEmpty())
        setObsolete(true);
}
