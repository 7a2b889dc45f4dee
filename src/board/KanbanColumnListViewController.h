#pragma once

#include "ListViewController.h"

#include <QJsonArray>

class Kanban;
class KanbanColumn;
class KanbanColumnHost;
class KanbanColumnTableView;
class QMenu;

// The card list of one board column: a vertical table of cards with an add-card row, and every
// change of its cards: adding, deleting, copying, cutting, pasting and dragging within and
// between columns, each undoable under its action name where it should be.
//
// Cards a search term or tag filter hides stay in the column whenever the display list is
// written back: each hidden card stays right after the shown card it followed (hidden cards at
// the top stay at the top), and a card added or pasted among the shown cards is stored directly
// above the shown card that follows it on screen, or at the very end when it is the last one.
class KanbanColumnListViewController final : public ListViewController
{
    Q_OBJECT

public:
    // The table is made a child of parentWidget; the controller lives as long as the table.
    explicit KanbanColumnListViewController(QWidget* parentWidget = nullptr);
    ~KanbanColumnListViewController() override;

    KanbanColumn* column() const { return m_column; }
    // Shows the column's cards (fetches the display list). Set the search term, tag filter and
    // host first.
    void setColumn(KanbanColumn* column);
    KanbanColumnHost* kanbanViewController() const { return m_host; }
    void setKanbanViewController(KanbanColumnHost* host) { m_host = host; }
    KanbanColumnTableView* columnTableView() const { return m_view; }
    Kanban* kanban() const;

    bool hasAddCardRow() const override;
    StoredObject* container() const override;
    static KanbanColumnListViewController* controllerFor(const KanbanColumn* column);

    // Adding a card: at the end, or at a display index. Undoable as "New Card". A new card
    // records when it was added and is no priority card.
    void addNewItem();
    void addCardAbove(ListItem* item);
    void addCardBelow(ListItem* item);
    // Adds an "untitled" card at the display index (-1: at the end) and opens it for typing.
    ListItem* addCardAtIndex(int index);

    // Deleting cards: undoable as "Delete Card", whatever their number.
    void deleteCurrentSelectedItems();
    void deleteItems(const QList<ListItem*>& items);

    // The clipboard: "Kanban.CardData", a CBOR array of the cards' exchange dictionaries.
    void copySelectedCardsToPasteboard();
    void cut();
    // Pastes copied cards after the selected row (or the last card), undoable as "Paste Card";
    // passes columns on to the board. Returns the pasted cards.
    QList<ListItem*> paste();
    bool canPaste() const;

    // Moves the dragged cards of this column to the drop row; undoable as "Move N Rows".
    bool moveRowsWithinColumn(const QList<int>& draggedIndexes, int row);
    // Moves cards of another column here; undoable as "Move N Rows". The source controller
    // removes its rows.
    bool moveRowsFromSourceColumn(KanbanColumnListViewController* source,
                                  const QList<ListItem*>& items, int row);
    // Resolves the URIs of a card drag and moves the cards here; false refuses the drop.
    bool acceptDrop(KanbanColumnListViewController* source, const QStringList& uris, int row);

    // The keyboard: the table of the next or previous column takes it, on the card at the
    // same place (or the column itself when it has no cards).
    void moveKeyboardToNeighbourColumn(int step);
    // Moves the selected cards one place up or down (step -1 or 1) in this column, or to the
    // next or previous column, where they stay selected; undoable as "Move N Rows".
    void moveSelectedCardsBy(int step);
    void moveSelectedCardsToNeighbourColumn(int step);

    // The cards that have rows, in row order.
    QList<ListItem*> selectableItems() const;

    // The column menu items of this list.
    void addListBefore();
    void addListAfter();
    void deleteList();
    // Adds the column's context menu items ("Add Column Before", "Add Column After", the
    // "deleteList" item) to the menu.
    void addColumnMenuItems(QMenu* menu);

    // The changes the undoable actions make first; their steps keep the stored cards.
    ListItem* addCardWithoutUndo(int index);
    void moveWithinColumnWithoutUndo(const QList<int>& from, int target);
    void insertItemsWithoutUndo(const QList<ListItem*>& items, const QList<int>& indexes);

protected:
    QList<ListItem*> storedItems() const override;
    void setStoredItems(const QList<ListItem*>& items) override;

private:
    void openCardForTyping(ListItem* item);
    int pasteAnchorRow() const;

    KanbanColumnTableView* m_view = nullptr; // owns this controller
    KanbanColumn* m_column = nullptr;
    KanbanColumnHost* m_host = nullptr;
};
