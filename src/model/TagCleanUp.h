#pragma once

#include <QList>

class Kanban;
class ListItem;

// Attaches cards rebuilt from exchange dictionaries (pasted, or restored by undo) to the tags of
// their board: a card tag whose name equals a board tag's name exactly (letter case counts) is
// replaced by that board tag and deleted; any other card tag joins the board, so later tags of
// the same name match it. Saving is the caller's.
class TagCleanUp final
{
public:
    TagCleanUp() = delete;

    static void cleanUpTagsInItems(Kanban* board, const QList<ListItem*>& items);
};
