#pragma once

#include <QObject>
#include <QPoint>
#include <QString>

class DelaySelectionTextField;
class KanbanColumn;
class KanbanColumnListViewController;
class KanbanColumnTableView;
class KanbanColumnView;
class KanbanViewController;
class QFont;
class QMenu;

// The cell of one board column: its title (renamed in place, undoably) above its card table,
// its selection, its context menu and the start of a column drag. The item is a child of its
// view and lives as long as the view.
class KanbanColumnViewItem final : public QObject
{
    Q_OBJECT

public:
    static constexpr int width = 280;
    static constexpr int largestTitleFontSize = 22;
    static constexpr int smallestTitleFontSize = 11;
    // The width the title may take: the cell less the title's margins.
    static constexpr int titleWidth = width - 2 * 12;

    KanbanColumnViewItem(KanbanViewController* board, QWidget* parentWidget);
    ~KanbanColumnViewItem() override;

    KanbanViewController* kanbanViewController() const { return m_board; }
    KanbanColumnView* view() const { return m_view; }
    DelaySelectionTextField* columnTitle() const { return m_columnTitle; }
    KanbanColumnTableView* tableView() const;
    KanbanColumnListViewController* listViewController() const { return m_listViewController; }

    KanbanColumn* columnObject() const { return m_columnObject; }
    // Hands the column to the card list (which fetches its cards) and shows its title. The
    // board sets the card list's search term, tag filter and host first.
    void setColumnObject(KanbanColumn* column);
    // The cell leaves the board: it no longer shows its column (its card list is no longer
    // the column's) and ends any editing.
    void detach();

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    // Columns on a background picture get white titles with a shadow.
    void setOnPicture(bool onPicture);

    // Renames the column, undoably ("Change Column Title"); the same title changes nothing.
    void changeColumnTitleWithNewTitle(const QString& title);
    // Starts editing the title in place.
    void beginRenaming();
    // Shows the column's title again (after a rename or its undo).
    void refreshTitle();
    int titleFontSize() const;
    // The largest size from 22 points down to 11 at which the title is narrower than `width`;
    // 11 when even that is too wide.
    static int fittedTitleFontSize(const QString& title, const QFont& font, int width);

    // Input on the column (outside its cards).
    void mouseDown(Qt::KeyboardModifiers modifiers);
    void rightMouseDown(Qt::KeyboardModifiers modifiers, const QPoint& globalPosition);
    void startDrag(const QPoint& pressPosition);
    // Fills the column's context menu: the card list's column items, renaming and "Add from
    // List".
    void populateContextMenu(QMenu* menu);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyTitleColours();

    KanbanViewController* m_board;
    KanbanColumnView* m_view;
    DelaySelectionTextField* m_columnTitle;
    KanbanColumnListViewController* m_listViewController;
    const QObject* m_tableViewport = nullptr; // the card table's viewport, watched for events
    KanbanColumn* m_columnObject = nullptr;
    bool m_selected = false;
    bool m_onPicture = false;
};
