#include "RemovedCards.h"

#include "CardPasteboard.h"
#include "ExchangeRebuilder.h"
#include "ListViewController.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/TagCleanUp.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"

#include <QWidget> // AppDelegate.h holds a QPointer<QWidget>

#include <algorithm>

bool RemovedCards::take(KanbanColumn* column, const QList<ListItem*>& items)
{
    column = ObjectContext::live(column);
    ObjectContext* objects = AppDelegate::sharedContext();
    if (!column || !objects)
        return false;
    QList<std::pair<int, ListItem*>> placed;
    for (ListItem* remembered : items) {
        ListItem* item = ObjectContext::live(remembered);
        const int index = item ? int(column->item().indexOf(item)) : -1;
        if (index >= 0)
            placed.append({index, item});
    }
    if (placed.isEmpty())
        return false;
    std::sort(placed.begin(), placed.end());
    QList<ListItem*> taken;
    m_indexes.clear();
    for (const auto& [index, item] : std::as_const(placed)) {
        m_indexes.append(index);
        taken.append(item);
    }
    m_column = column;
    m_dictionaries = CardPasteboard::dictionariesOf(taken);
    // The rows go before the cards: an editor open on one of them ends first.
    QList<ListItem*> remaining = column->item();
    for (ListItem* item : std::as_const(taken))
        remaining.removeOne(item);
    column->setItem(remaining);
    ListViewController::storedItemsChanged(column);
    for (ListItem* item : std::as_const(taken)) {
        // A list's item sent to the board only leaves the board, as when its column goes.
        if (!item->list())
            objects->deleteObject(item);
    }
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
    return true;
}

QList<ListItem*> RemovedCards::putBack()
{
    KanbanColumn* column = ObjectContext::live(m_column);
    if (!column || m_dictionaries.isEmpty())
        return {};
    QString error;
    const auto objects =
        ExchangeRebuilder::rebuild(m_dictionaries, ExchangeRebuilder::Purpose::Undo, &error);
    const QList<ListItem*> items =
        objects ? ExchangeRebuilder::only<ListItem>(*objects) : QList<ListItem*>();
    if (items.size() != m_dictionaries.size()) {
        qWarning("RemovedCards: the cards cannot be rebuilt: %s", qUtf8Printable(error));
        return {};
    }
    TagCleanUp::cleanUpTagsInItems(column->kanban(), items);
    QList<ListItem*> stored = column->item();
    for (qsizetype k = 0; k < items.size(); ++k) {
        stored.removeOne(items.at(k));
        stored.insert(std::clamp<qsizetype>(m_indexes.at(k), 0, stored.size()), items.at(k));
    }
    column->setItem(stored);
    ListViewController::storedItemsChanged(column);
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
    return items;
}
