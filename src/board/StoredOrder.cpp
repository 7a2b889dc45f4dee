#include "StoredOrder.h"

#include <QHash>
#include <QSet>

QList<ListItem*> StoredOrder::merge(const QList<ListItem*>& stored, const QList<ListItem*>& display)
{
    const QSet<ListItem*> shown(display.cbegin(), display.cend());
    QList<ListItem*> leading;
    QHash<ListItem*, QList<ListItem*>> followers; // shown card → hidden cards after it
    ListItem* previousShown = nullptr;
    for (ListItem* item : stored) {
        if (shown.contains(item))
            previousShown = item;
        else if (previousShown)
            followers[previousShown].append(item);
        else
            leading.append(item);
    }
    if (leading.isEmpty() && followers.isEmpty())
        return display;

    QList<ListItem*> merged;
    merged.reserve(stored.size() + display.size());
    merged.append(leading);
    for (ListItem* item : display) {
        merged.append(item);
        const auto it = followers.constFind(item);
        if (it != followers.cend())
            merged.append(*it);
    }
    return merged;
}
