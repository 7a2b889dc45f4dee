#include "DeleteCardsCommand.h"

#include "CardPasteboard.h"
#include "KanbanColumnListViewController.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "store/ObjectContext.h"

#include <QCoreApplication>

DeleteCardsCommand::DeleteCardsCommand(KanbanColumn* column, const QList<ListItem*>& items,
                                       const QList<int>& indexes)
    : m_column(column)
    , m_items(items)
    , m_indexes(indexes)
{
    setText(QCoreApplication::translate("KanbanColumnListViewController", "Delete Card"));
}

void DeleteCardsCommand::redo()
{
    auto* controller = KanbanColumnListViewController::controllerForCommand(this, m_column);
    if (!controller)
        return;
    QList<ListItem*> items;
    for (ListItem* item : std::as_const(m_items)) {
        if (ListItem* live = ObjectContext::live(item))
            items.append(live);
    }
    if (items.isEmpty()) {
        setObsolete(true);
        return;
    }
    // Taken anew each time, so that the next undo names the cards it rebuilds for.
    m_dictionaries = CardPasteboard::dictionariesOf(items);
    controller->deleteItemsWithoutUndo(items);
}

void DeleteCardsCommand::undo()
{
    auto* controller = KanbanColumnListViewController::controllerForCommand(this, m_column);
    if (!controller)
        return;
    m_items = controller->restoreItemsWithoutUndo(m_dictionaries, m_indexes);
    if (m_items.isEmpty())
        setObsolete(true);
}
