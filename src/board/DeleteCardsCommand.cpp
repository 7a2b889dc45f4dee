#include "DeleteCardsCommand.h"

#include "ListViewController.h"

#include <QCoreApplication>

DeleteCardsCommand::DeleteCardsCommand(KanbanColumn* column, const QList<ListItem*>& items)
    : m_column(column)
    , m_items(items)
{
    setText(actionName());
}

QString DeleteCardsCommand::actionName()
{
    return QCoreApplication::translate("KanbanColumnListViewController", "Delete Card");
}

void DeleteCardsCommand::redo()
{
    if (!m_removed.take(m_column, m_items))
        setObsolete(true);
}

void DeleteCardsCommand::undo()
{
    m_items = m_removed.putBack();
    if (m_items.isEmpty()) {
        setObsolete(true);
        return;
    }
    if (ListViewController* controller = ListViewController::controllerShowing(m_items.first()))
        controller->selectItems(m_items);
}
