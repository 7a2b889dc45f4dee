#pragma once

#include "CardRowKind.h"
#include "ListViewMode.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class CardTableModel;
class CardTableView;
class ListItem;
class ListItemCellView;
class QMenu;
class StoredObject;
class Tag;

// The display logic every card list shares, a board column's and a plain list's: which cards
// are shown for the show-archived mode, the search term and the tag filter, in which order, how
// table rows map to cards, the done toggle and archiving of single cards, and row heights.
//
// Rows: row 0 is an empty spacer; then, by mode, the active cards (mode 0), the active cards, a
// header row and the archived cards (mode 1), or the archived cards only (mode 2). A column adds
// an add-card row at the end except in mode 2.
class ListViewController : public QObject
{
    Q_OBJECT

public:
    explicit ListViewController(QObject* parent = nullptr);
    ~ListViewController() override;

    // The mode is read from the user defaults at every use.
    static ListViewMode listViewMode();

    // The display list: the cards shown, active ones first. Absent until the first fetch.
    const QList<ListItem*>& listItems() const { return m_listItems; }
    bool hasListItems() const { return m_hasListItems; }
    // Stores, sorts and reloads the table.
    void setListItems(const QList<ListItem*>& items);

    QString searchTerm() const { return m_searchTerm; }
    void setSearchTerm(const QString& term);
    // None: no filter. An empty list passes no card at all.
    const std::optional<QList<Tag*>>& tagFilter() const { return m_tagFilter; }
    void setTagFilter(const std::optional<QList<Tag*>>& filter) { m_tagFilter = filter; }
    // Whether the display list may leave out cards of the column or list.
    bool isNarrowed() const { return m_tagFilter.has_value() || !m_searchTerm.isEmpty(); }

    // Index of the first archived card in the display list, or -1.
    int indexArchivesBegin() const;
    int numberOfRows() const;
    CardRowKind rowKind(int row) const;
    ListItem* itemAtRow(int row) const; // null for rows that show no card
    int indexFromTableWithRow(int row) const;
    int tableRowFromIndex(int index) const;
    int tableRowForItem(const ListItem* item) const; // -1 when the card has no row
    // Every row at once (the mode read once): its kind and card.
    QList<std::pair<CardRowKind, ListItem*>> rows() const;
    virtual bool hasAddCardRow() const { return false; }

    // Stable sort by archived, active cards first.
    void sortList();
    // Rebuilds the display list from the stored cards, the tag filter and the search term, and
    // reloads the table.
    void fetchListItems();
    void reloadListAndTable() { fetchListItems(); }
    // After a change made on the stored cards (by an undo step): the display list again from
    // them, keeping the cards shown that still belong here, and the table following with the
    // fewest row changes.
    void followStoredItems();
    // Every controller showing the column or list follows its stored cards.
    static void storedItemsChanged(const StoredObject* container);
    // Whether the card passes the tag filter and the search term.
    bool passesFilterAndSearch(const ListItem* item) const;

    // Marks a card done (done date now, notes struck through) or not done (restored from the
    // archive too); undoable as "Mark as Done".
    void flipDoneStateOfItem(ListItem* item);
    static void applyRemoveStrikeThroughForItem(ListItem* item);
    // Archives or restores one card and saves.
    void flipArchiveStateOfItem(ListItem* item);
    // Archives the done cards of the display list (only in mode 0) and returns them.
    virtual QList<ListItem*> archiveDoneItems();
    // Archives a done card or restores an archived one; undoable as "Archive Card" or
    // "Restore Card". A card that is not done stays out of the archive.
    static void archiveOrRestoreItem(ListItem* item);
    // The card menu items that toggle done and archive or restore the card.
    void addDoneMenuItem(QMenu* menu, ListItem* item);
    void addArchiveMenuItem(QMenu* menu, ListItem* item);

    // Drops (shared by columns and lists). `row` is a table row; the drop is "above" it.
    int validateDropRow(int row) const; // -1 refuses the drop
    // A drag out of this table started with these display indexes (empty: no drag).
    void setDraggedItemIndexes(const QList<int>& indexes) { m_draggedItemIndexes = indexes; }
    const QList<int>& draggedItemIndexes() const { return m_draggedItemIndexes; }

    int heightForItem(ListItem* item);
    int heightOfRow(int row);
    // The card's row changed height (its notes changed, or it was expanded or collapsed).
    void updateHeightFor(ListItem* item, bool animated = false);
    void selectRowFor(ListItem* item);
    // Selects the rows of those cards that have one (none: clears the selection); the
    // keyboard goes on from the first of them.
    void selectItems(const QList<ListItem*>& items);
    QList<int> selectedRows() const;
    QList<ListItem*> selectedItems() const;
    void clearSelection();
    // Collapses the notes of previously selected cards whose notes are empty.
    void collapseNotesAreaForEmptyNotes();
    // Due colours follow the clock: repaint the visible cards that have a due date.
    void checkForDueItems();

    CardTableView* tableView() const;
    CardTableModel* tableModel() const { return m_model; }
    ListItemCellView* cellView() const { return m_cellView; }

    // The controller showing this card's column or list, if one is alive.
    static ListViewController* controllerShowing(const ListItem* item);
    // Every controller alive, oldest first.
    static const QList<ListViewController*>& liveControllers();
    // The column or list whose cards this controller shows.
    virtual StoredObject* container() const = 0;

    // Makes the change of one "Mark as Done" step; `archiveAgain` re-archives a card marked
    // done again by an undo. Returns whether a not-done change restored the card.
    static bool flipDoneStateOfItemWithoutUndo(ListItem* item, bool archiveAgain);
    // Repaints the card's row (and re-measures it).
    void refreshItem(const ListItem* item);

Q_SIGNALS:
    void listItemsChanged();

protected:
    // The stored cards of the container in stored order, and writing them back.
    virtual QList<ListItem*> storedItems() const = 0;
    virtual void setStoredItems(const QList<ListItem*>& items) = 0;
    // Writes the display list back as the stored cards, keeping the cards the display list
    // leaves out (hidden by a search or tag filter) in the container.
    void writeBackListItems();

    void setTableView(CardTableView* view);
    // Ends the editing of a card, keeping what was typed; before its row goes, so that the
    // keyboard focus stays in the table.
    void closeOpenEditor();
    // The table follows the display list (rows inserted, removed, moved as needed).
    void syncTable();
    QList<ListItem*>& mutableListItems()
    {
        m_archivesBeginKnown = false;
        return m_listItems;
    }
    void setHasListItems(bool has) { m_hasListItems = has; }
    static void save();

private:
    void selectionChanged();

    QList<ListItem*> m_listItems;
    mutable int m_indexArchivesBegin = -1;
    mutable bool m_archivesBeginKnown = false;
    bool m_hasListItems = false;
    QString m_searchTerm;
    std::optional<QList<Tag*>> m_tagFilter;
    QPointer<CardTableView> m_tableView;
    CardTableModel* m_model = nullptr;      // child of this controller
    ListItemCellView* m_cellView = nullptr; // child of this controller
    QList<ListItem*> m_previouslySelected;
    QList<int> m_draggedItemIndexes;
};
