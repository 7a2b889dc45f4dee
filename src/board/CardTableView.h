#pragma once

#include "widgets/EditResponder.h"

#include <QListView>
#include <QTimer>
#include <QVariantAnimation>

#include <memory>

class ListItem;
class ListViewController;
class ListItemCellView;
class QMenu;
class QMimeData;

// A table of cards, a board column's or a plain list's: cards painted by the card cell and laid
// out from its cached heights, the card editor opened by a click into a card's text or tags (or
// Return), an overlay scroll bar that keeps the card width fixed, dragging cards with the gap
// they would land in marked while hovering, and keyboard focus drawn around the current card.
//
// Subclasses say which drags they take and what a drop does, and fill the card menus.
class CardTableView : public QListView, public EditResponder
{
    Q_OBJECT

public:
    CardTableView(ListViewController* controller, QWidget* parent = nullptr);

    ListViewController* listViewController() const { return m_listController; }
    ListItemCellView* cellView() const;

    // Opens the card editor on the card, with the caret at the end of its notes or in its tags.
    void openEditorFor(ListItem* item, bool tags = false);
    // Ends the editing of a card, keeping what was typed.
    void closeOpenEditor();
    // The card the keyboard works on: the one being edited, else the current selected card.
    ListItem* currentCard() const;
    // Makes the card current and selected, scrolled into view.
    void selectCard(ListItem* item);
    // Opens the due-date picker of the card, anchored to its due date.
    void openDatePickerFor(ListItem* item);
    // The row a drop would go above while a drag hovers, or -1.
    int dropRow() const { return m_dropRow; }
    // Whether the keyboard is in this table (in it, or in its card editor).
    bool hasFocusWithin() const { return m_focusWithin; }

    // The payload of a drag of these rows (card rows only); records the dragged cards in the
    // controller. startDrag runs it before the drag starts.
    std::unique_ptr<QMimeData> prepareDrag(const QList<int>& rows);
    // A drop of a card drag at a point of the viewport; false when it is refused.
    bool dropCards(const QMimeData* data, const QPoint& point, CardTableView* sourceView);

    // The context menu of a card.
    virtual void addCardMenuItems(QMenu* menu, ListItem* item) = 0;

    // Measures the cards in view that only have estimated heights; true when an estimate was
    // off (the rows then need laying out again). Never lays anything out itself.
    bool measureVisibleCards();

    // Measures the cards that will be in view, then lays the rows out, so that a card is
    // painted at its measured height from its first frame on.
    void doItemsLayout() override;

    bool handlesEditAction(EditAction action) const override;
    bool canPerformEditAction(EditAction action) const override;
    void performEditAction(EditAction action) override;

Q_SIGNALS:
    // The keyboard came into the table (or its editor) or left it.
    void focusWithinChanged(bool inside);

protected:
    // Whether a drag from this source (another table, or null from outside) may drop here.
    virtual bool acceptsDragFrom(const QObject* source) const = 0;
    // Takes a validated drop of a card drag above the table row; false refuses it.
    virtual bool acceptDrop(const QMimeData* data, int row, CardTableView* sourceView) = 0;
    // The menu of the table outside its cards.
    virtual void addMenuItemsOutsideCards(QMenu*) {}

    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
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
    void paintFocusRing(QPainter* painter);
    void followFocus(QWidget* now);

    // Rounds of one layout before the rest is left to the event loop.
    static constexpr int maximumLayoutRounds = 8;

    ListViewController* m_listController;
    bool m_layingOut = false;
    bool m_layoutAgain = false;
    bool m_focusWithin = false;
    int m_dropRow = -1;
    int m_autoScrollDelta = 0;
    QTimer m_autoScroll;
    QVariantAnimation* m_gapAnimation = nullptr;
    QPoint m_pressPosition;
    QPersistentModelIndex m_pressedIndex;
};
