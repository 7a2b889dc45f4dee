#pragma once

#include "KanbanColumnHost.h"
#include "widgets/EditResponder.h"

#include <QJsonArray>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

class KanbanCollectionViewFlowLayout;
class KanbanColumnAddColumnView;
class KanbanColumnListViewController;
class KanbanColumnViewItem;
class ListItem;
class QLabel;
class QMenu;
class QMimeData;
class QPropertyAnimation;
class QScrollArea;
class QWheelEvent;
class Tag;
class ViewWithBackground;

// The board view: one board as a horizontal row of column cells and a trailing add-column cell,
// and every operation on its columns: adding, deleting (undoable), moving by drag (undoable),
// copying, cutting and pasting; column selection; the board's search term and tag filter, which
// every column's card list applies; the archive bar of the archived-cards view; due colours that
// follow the clock; and the window title of the board.
//
// `columns` is a working copy of the board's columns: every change is made there and then
// written back whole to the board. Showing a board clears the undo history, so undo never
// reaches from one board into another.
class KanbanViewController final : public QWidget, public KanbanColumnHost, public EditResponder
{
    Q_OBJECT

public:
    static constexpr int widthOfAddButton = 28;
    static constexpr int dueCheckIntervalMilliseconds = 60 * 1000;

    explicit KanbanViewController(QWidget* parent = nullptr);
    ~KanbanViewController() override;

    // The board shown (null: nothing). Setting it shows the board and clears the undo history.
    Kanban* kanban() const override { return m_kanban; }
    // Whether this view shows that board, still alive: what board-wide undo steps require.
    bool isShowing(const Kanban* kanban) const;
    void setKanban(Kanban* kanban);
    // Shows a board with a tag filter, reloading once.
    void showKanban(Kanban* kanban, const std::optional<QList<Tag*>>& tagFilter);
    const QList<KanbanColumn*>& columns() const { return m_columns; }

    // Narrowing every column: setting either reloads every column.
    QString searchTerm() const { return m_searchTerm; }
    void setSearchTerm(const QString& term);
    // None: no filter. Tags deleted since they were chosen leave the filter after the save
    // that deleted them; without tags left, so does the filter.
    const std::optional<QList<Tag*>>& tagFilter() const { return m_tagFilter; }
    void setTagFilter(const std::optional<QList<Tag*>>& filter);

    // "<folder> - … - <title> (Board)" (WindowTitle), kept up to date after every save.
    QString windowTitleText() const { return m_windowTitleText; }
    void updateWindowTitle();

    // Whether some card of the board is done and not archived (the clean-done button).
    bool hasDoneButNotArchivedCards() const;
    // Archives the done cards of every column (in the working view only); undoable as
    // "Archive Done Cards".
    void archiveDoneItems();
    // Its two halves: the cards archived per column, and making them active again.
    QList<QList<ListItem*>> archiveDoneItemsWithoutUndo();
    void restoreArchivedItemsWithoutUndo(const QList<QList<ListItem*>>& items);

    // Adding columns ("new column", ready for typing its title), undoable as "New Column".
    KanbanColumn* addColumn();
    void addColumnWithItem(KanbanColumn* column, bool after) override;
    KanbanColumn* addColumnAtIndex(int index);

    // Deleting columns: undoable as "Delete Column".
    void deleteColumnsWithIndexes(const QList<int>& indexes);
    void deleteSelectedColumns();
    void deleteSelectedColumns(KanbanColumn* column) override;
    // Moving columns: the dragged indexes go before the column at `target` (the column count:
    // to the end); undoable as "Move Column".
    void moveColumnsWithDip(const QList<int>& draggedIndexes, int target);

    // The clipboard: "Kanban.ColumnData", a CBOR array of the columns' exchange dictionaries.
    void copySelectedColumnsToPasteboard();
    void cut();
    // Pastes columns ("Paste Column"), or cards into the column at the highest selected index
    // (or the first).
    void paste();
    void pasteColumns() override;
    bool canPaste() const;

    // Attaches cards rebuilt from exchange dictionaries to the board's tags, and saves.
    void cleanUpTagsInItems(const QList<ListItem*>& items);

    // Column selection. Selecting columns clears the card selection of every column.
    QList<int> selectedColumnIndexes() const;
    int numberOfSelectedColumns() const override;
    void setSelectedColumnIndexes(const QList<int>& indexes);
    void selectWithColumn(KanbanColumn* column);
    void clearColumnSelection();
    void deselectItemsInAllColumnsOtherThanWithColumn(KanbanColumn* column) override;
    KanbanColumnListViewController* neighbourColumnList(KanbanColumn* column, int step) override;
    // Moves the selected columns one place left or right (step -1 or 1); undoable.
    void moveSelectedColumnsBy(int step);
    // A click on a column: it alone is selected, or with Shift it joins the selection.
    void selectColumnByClick(KanbanColumn* column, bool extend);
    // Before a column's menu: an unselected column becomes the selection, or with Shift joins it.
    void selectColumnForMenu(KanbanColumn* column, bool extend);
    // The context menu of a column (a popup that deletes itself when closed).
    QMenu* showContextMenuForColumn(KanbanColumn* column, const QPoint& globalPosition);
    // Whether Delete applies to columns (a column is selected).
    bool canDeleteColumns() const { return numberOfSelectedColumns() > 0; }
    // The column's card list that has selected cards: what Cut, Copy and Delete act on while
    // the board has the focus and no column is selected.
    KanbanColumnListViewController* listWithSelectedCards() const;

    // The cells.
    KanbanColumnViewItem* itemAt(int index) const;
    KanbanColumnViewItem* itemForColumn(const KanbanColumn* column) const;
    KanbanColumnAddColumnView* addColumnView() const { return m_addColumnView; }
    KanbanCollectionViewFlowLayout* collectionViewLayout() const { return m_layout; }
    QWidget* columnCollectionView() const { return m_collectionView; }
    QScrollArea* scrollView() const { return m_scrollView; }
    // The board's background picture, behind the columns.
    ViewWithBackground* backgroundView() const { return m_background; }
    // Sets every cell up again: each column fetches its cards anew.
    void reloadData();
    void columnTitleChanged(KanbanColumn* column);
    bool scrollHorizontally(QWheelEvent* event);
    // Cells on a background picture draw their titles and the add button for it.
    void setOnPicture(bool onPicture);

    // The show-archived mode: the archive bar shows only in the archived-cards view.
    QWidget* archiveBar() const { return m_archiveBar; }
    bool isArchiveBarShown() const { return m_archiveBarShown; }
    void viewModeChanged();
    void showHideArchiveBarWithReloadTable(bool reload);
    // Due dates of the visible cards take their colour for the current time.
    void checkForDueItems();

    // Dragging columns. A drag of the add-column cell (index columns().size()) is refused.
    bool beginColumnDrag(const QList<int>& indexes);
    const QList<int>& draggingIndexes() const { return m_draggingIndexes; }
    std::unique_ptr<QMimeData> columnDragData(const QList<int>& indexes) const;
    // The drop index for a point of the collection view: before a column, or the end.
    int dropIndexAt(const QPoint& point) const;
    void updateColumnDropPreview(int index);
    // Drops the dragged columns before `index`; false when no drag is under way.
    bool dropColumns(int index);
    void endColumnDrag();
    void startColumnDrag(KanbanColumn* column, const QPoint& hotSpot);

    // The parts of the undoable operations that make the change. An undo or redo step whose
    // columns are no longer where it expects them (`expected`, when given) changes nothing and
    // answers false or nothing.
    QJsonArray deleteColumnsWithoutUndo(const QList<int>& indexes,
                                        const QList<KanbanColumn*>& expected = {});
    // Returns the rebuilt columns.
    QList<KanbanColumn*> restoreColumnsWithoutUndo(const QJsonArray& dictionaries,
                                                   const QList<int>& indexes);
    // Returns the moved columns.
    QList<KanbanColumn*> moveColumnsWithoutUndo(const QList<int>& draggedIndexes, int target,
                                                bool reverse,
                                                const QList<KanbanColumn*>& expected = {});

    // EditResponder: Cut, Copy, Paste, Delete and Select All on columns, or on the selected
    // cards when no column is selected.
    bool handlesEditAction(EditAction action) const override;
    bool canPerformEditAction(EditAction action) const override;
    void performEditAction(EditAction action) override;

Q_SIGNALS:
    void windowTitleTextChanged(const QString& title);
    // The column selection changed: the Edit commands may apply differently.
    void columnSelectionChanged();
    void tagFilterChanged(bool active);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool filterHoldsDeletedTags() const;
    void dropDeletedTagsFromFilter();
    void buildArchiveBar();
    void placeArchiveBar(bool animated);
    KanbanColumnViewItem* makeItem(KanbanColumn* column);
    void configureItem(KanbanColumnViewItem* item, KanbanColumn* column);
    // Brings the cells in line with `columns`: new columns get cells, cells of columns that
    // left go, the rest keep their cells (and cards) in the new order.
    void arrangeItems(bool animated);
    void retireItem(KanbanColumnViewItem* item);
    void writeBack();
    void scrollToItems(const QList<int>& indexes);
    void selectIndexesByUser(const QList<int>& indexes);
    void setColumnSelection(const QList<int>& indexes, bool clearCards);
    void handleDragEvent(QEvent* event);
    void setCardDropsEnabled(bool enabled);
    void autoScrollDuringDrag();
    void moveSelectionBy(int step, bool extend);
    static void save();

    Kanban* m_kanban = nullptr;
    QList<KanbanColumn*> m_columns;
    QList<KanbanColumnViewItem*> m_items; // parallel to m_columns
    QString m_searchTerm;
    std::optional<QList<Tag*>> m_tagFilter;
    QString m_windowTitleText;
    bool m_onPicture = false;

    QWidget* m_archiveBar = nullptr;
    QLabel* m_archiveLabel = nullptr;
    QPropertyAnimation* m_archiveBarAnimation = nullptr;
    bool m_archiveBarShown = false;
    ViewWithBackground* m_background = nullptr;
    QScrollArea* m_scrollView = nullptr;
    QWidget* m_collectionView = nullptr;
    KanbanCollectionViewFlowLayout* m_layout = nullptr; // owned by m_collectionView
    KanbanColumnAddColumnView* m_addColumnView = nullptr;
    QTimer m_dueTimer;

    QList<int> m_draggingIndexes;
    QList<QPointer<QWidget>> m_cardDropTargets; // card tables that refuse drops during the drag
    QTimer m_dragAutoScroll;
    int m_dragAutoScrollStep = 0;
    int m_anchorIndex = -1; // where keyboard selection extends from
};
