#pragma once

#include <QList>

class ListItem;

// The stored order of a column's (or list's) cards after its display list changed, when the
// display list may leave cards out (a search term or tag filter hides them). No stored card is
// lost: a card the display list leaves out stays right after the shown card it followed, and
// hidden cards before the first shown card stay at the top. Shown cards take the display order;
// a card new to the stored list comes directly above the shown card that follows it on screen,
// or at the very end when nothing follows it.
class StoredOrder final
{
public:
    StoredOrder() = delete;

    static QList<ListItem*> merge(const QList<ListItem*>& stored, const QList<ListItem*>& display);
};
