#pragma once

#include <QPoint>
#include <QWidget>

class KanbanColumnViewItem;

// The view of a column cell: the column's title above its card table. It paints the selection
// behind the column, and turns clicks on the column (outside its cards) into column selection,
// its context menu and column drags, which its item carries out.
class KanbanColumnView final : public QWidget
{
    Q_OBJECT

public:
    KanbanColumnView(KanbanColumnViewItem* item, QWidget* parent);

    KanbanColumnViewItem* item() const { return m_item; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    // While the keyboard is in the column's cards, an outline marks the column.
    bool isFocusMarked() const { return m_focusMarked; }
    void setFocusMarked(bool marked);
    // The colour behind the column: black at half opacity when selected, clear otherwise.
    QColor backgroundColour() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    KanbanColumnViewItem* m_item; // a child of this view
    bool m_selected = false;
    bool m_focusMarked = false;
    QPoint m_pressPosition;
    bool m_pressed = false;
};
