#pragma once

#include <QJsonArray>
#include <QList>

class KanbanColumn;
class ListItem;

// Cards an undo step took out of a column, kept as exchange dictionaries with their places in
// the column's stored cards (shown or hidden by a search or tag filter), so that they can be put
// back exactly where they stood: the same content and identities (as new objects, their
// successors), tags reattached to the board.
class RemovedCards final
{
public:
    // Takes those of the cards that are in the column (or in what stands for it now) out of it:
    // deleted from the store, except a list's card, which only leaves the board. False when
    // none of them is there.
    bool take(KanbanColumn* column, const QList<ListItem*>& items);
    // Builds the cards taken again at their places; empty when they cannot be rebuilt.
    QList<ListItem*> putBack();

private:
    KanbanColumn* m_column = nullptr; // the store keeps deleted objects; followed when rebuilt
    QList<int> m_indexes;             // ascending, in the column's stored cards
    QJsonArray m_dictionaries;        // in the order of m_indexes
};
