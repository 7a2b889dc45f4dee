#include "AddCardsCommand.h"

#include "ListViewController.h"
#include "model/KanbanColumn.h"
#include "store/ObjectContext.h"

#include <QCoreApplication>

#include <utility>

AddCardsCommand::AddCardsCommand(const QString& text, KanbanColumn* column,
                                 const QList<ListItem*>& items)
    : m_column(column)
    , m_items(items)
{
    setText(text);
}

QString AddCardsCommand::newCardName()
{
    return QCoreApplication::translate("KanbanColumnListViewController", "New Card");
}

QString AddCardsCommand::pasteCardName()
{
    return QCoreApplication::translate("KanbanColumnListViewController", "Paste Card");
}

void AddCardsCommand::redo()
{
    if (std::exchange(m_added, false))
        return;
    m_items = m_removed.putBack();
    if (m_items.isEmpty()) {
        setObsolete(true);
        return;
    }
    if (ListViewController* controller = ListViewController::controllerShowing(m_items.first()))
        controller->selectItems(m_items);
}

void AddCardsCommand::undo()
{
    if (!m_removed.take(m_column, m_items))
        setObsolete(true);
}
