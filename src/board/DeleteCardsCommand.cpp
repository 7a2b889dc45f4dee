#include "DeleteCardsCommand.h"

#include "CardPasteboard.h"
#include "KanbanColumnListViewController.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"

#include <QCoreApplication>

DeleteCardsCommand::DeleteCardsCommand(KanbanColumn* column, const QList<ListItem*>& items,
                                       const QList<int>& indexes)
    : m_column(column)
    , m_items(items)
    , m_indexes(indexes)
    , m_dictionaries(CardPasteboard::dictionariesOf(items))
{
    setText(QCoreApplication::translate("KanbanColumnListViewController", "Delete Card"));
}

void DeleteCardsCommand::redo()
{
    if (auto* controller = KanbanColumnListViewController::controllerForCommand(this, m_column))
        controller->deleteItemsWithoutUndo(m_items);
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
