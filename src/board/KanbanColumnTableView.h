#pragma once

#include "widgets/EditResponder.h"

#include <QListView>
#include <QTimer>
#include <QVariantAnimation>

#include <memory>

class ListItem;
class QMenu;
class QMimeData;

class KanbanColumnListViewController;
class ListItemCellView;

// The table of one column's cards. It takes the Edit menu's commands for the selected cards,
// opens the card editor on a click into a card's text or tags, drags cards (the gap they would
// land in is marked while hovering) and takes drops of cards.
class KanbanColumnTableView final : public QListView, public EditResponder
{
    Q_OBJECT

public:
    KanbanColumnTableView(KanbanColumnListViewController* controller, QWidget* parent = nullptr);

    KanbanColumnListViewController* controller() const { return m_controller; }
    ListItemCellView* cellView() const;

    // Ends the editing of a card, keeping what was typed.
    void closeOpenEditor();
    // The row a drop would go above while a drag hovers, or -1.
    int dropRow() const { return m_dropRow; }

    bool handlesEditAction(EditAction action) const override;
    bool canPerformEditAction(EditAction action) const override;
    void performEditAction(EditAction action) override;

    // The payload of a drag of these rows (card rows only); records the dragged cards in the
    // controller. startDrag runs it before the drag starts.
    std::unique_ptr<QMimeData> prepareDrag(const QList<int>& rows);
    // A drop of a card drag at a point of the viewport; false when it is refused.
    bool dropCards(const QMimeData* data, const QPoint& point, KanbanColumnTableView* sourceView);

    // The context menu of a card: adding above and below, deleting; none in the archive view.
    void addCardMenuItems(QMenu* menu, ListItem* item);

    // Measures the cards in view that only have estimated heights; true when an estimate was
    // off (the rows then need laying out again). Never lays anything out itself.
    bool measureVisibleCards();

    // Measures the cards that will be in view, then lays the rows out, so that a card is
    // painted at its measured height from its first frame on.
    void doItemsLayout() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int dropRowAt(const QPoint& point) const;
    void setDropRow(int row);
    void autoScrollStep();
    void setHoveredRow(int row);

    // Rounds of one layout before the rest is left to the event loop.
    static constexpr int maximumLayoutRounds = 8;

    KanbanColumnListViewController* m_controller;
    bool m_layingOut = false;
    bool m_layoutAgain = false;
    int m_dropRow = -1;
    int m_autoScrollDelta = 0;
    QTimer m_autoScroll;
    QVariantAnimation* m_gapAnimation = nullptr;
    QPoint m_pressPosition;
    QPersistentModelIndex m_pressedIndex;
};
