#pragma once

#include "board/ListViewController.h"

class List;
class PlainListTableView;

// The items of a plain list as one table of cards, with the changes a list makes to its items:
// adding an item at the top, moving items by drag, and archiving its done items, each undoable.
// A list has no search term and no tag filter, so its display list always holds all of its
// items, active ones first.
//
// The changes are made on the stored list and work whether or not the list is on screen (an
// undo step may run after another item is shown); a controller showing the list follows them.
class PlainListViewController final : public ListViewController
{
    Q_OBJECT

public:
    // The table is made a child of parentWidget; the controller lives as long as the table.
    explicit PlainListViewController(QWidget* parentWidget = nullptr);
    ~PlainListViewController() override;

    List* list() const { return m_list; }
    // Shows the list's items (fetches the display list) with nothing selected.
    void setList(List* list);
    PlainListTableView* listTableView() const { return m_view; }
    StoredObject* container() const override;
    static PlainListViewController* controllerFor(const List* list);

    // The number of done items that are not archived yet.
    int numberOfDoneNotArchived() const;

    // Adds an item at the top: its title is the text ("New Item" when empty), and its notes
    // show the text as one title line. Undoable as "New Card".
    ListItem* addItemWithTitle(const QString& text);
    // Moves the dragged items so that they start where the drop row says; undoable as
    // "Move N Rows". False when no drag of this table is under way.
    bool moveDraggedItems(int row);
    // Moves the selected items one place up or down (step -1 or 1), never across the header
    // of the archived items; undoable as "Move N Rows".
    void moveSelectedItemsBy(int step);
    // Archives the done items of the list; undoable as "Archive Done Cards".
    void archiveDoneItemsUndoably();

    // The parts of the undoable actions that make the change, on the stored list.
    // The order the list shows its items in: stored order, active items first.
    static QList<ListItem*> displayOrder(const List* list);
    static ListItem* addItemWithoutUndo(List* list, const QString& title);
    static void removeItemWithoutUndo(List* list, ListItem* item);
    // Gives the list this order of items (those still alive) and selects `selected`.
    static void setOrderWithoutUndo(List* list, const QList<ListItem*>& order,
                                    const QList<ListItem*>& selected);
    // Archives the done, not archived items (only in the working view) and returns them.
    static QList<ListItem*> archiveDoneItemsWithoutUndo(List* list);
    static void restoreArchivedItemsWithoutUndo(List* list, const QList<ListItem*>& items);

    // The display list follows the stored items again; the table changes only where they did.
    void listChangedInStore(const QList<ListItem*>& selected = {});

protected:
    QList<ListItem*> storedItems() const override;
    void setStoredItems(const QList<ListItem*>& items) override;

private:
    static void changed(List* list, const QList<ListItem*>& selected = {});

    PlainListTableView* m_view = nullptr; // owns this controller
    List* m_list = nullptr;
};
