#pragma once

#include <QMenu>

class KanbanColumn;
class List;
class ListItem;

// "Add from List": the lists in the folder of the column's board, each a submenu with
// "New Item…" and the list's items. Choosing an item puts it on the column as well (it stays in
// its list); "New Item…" makes a "New Item" at the top of the list and puts it on the column.
class AddItemToKanbanMenu final : public QMenu
{
    Q_OBJECT

public:
    explicit AddItemToKanbanMenu(QWidget* parent = nullptr);

    KanbanColumn* kanbanColumn() const { return m_kanbanColumn; }
    // Rebuilds the menu for the column.
    void setKanbanColumn(KanbanColumn* column);
    // Whether the menu offers anything to add (a list in the board's folder).
    bool hasLists() const { return m_hasLists; }

    ListItem* addNewListItemInList(List* list);
    void queueListItemToColumn(ListItem* item);

Q_SIGNALS:
    // A card joined the column (and possibly left another column).
    void columnChanged(KanbanColumn* column);

private:
    void populateMenu();

    KanbanColumn* m_kanbanColumn = nullptr;
    bool m_hasLists = false;
};
