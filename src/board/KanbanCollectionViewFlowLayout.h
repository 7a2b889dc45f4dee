#pragma once

#include <QHash>
#include <QLayout>
#include <QList>
#include <QPointer>

class QPropertyAnimation;

// The board's cells in one horizontal row: each as wide as its widget's fixed width and as tall
// as the row, `gap` apart, with `gap` before the first and after the last.
//
// While columns are dragged (`dragging`), the row previews the drop: every cell moves left by
// `previewShift` for each dragged column before it, and right by `previewShift` when it stands
// at or after the proposed drop index, which opens a gap there. Changes of the preview, and the
// change after animateNextLayout(), glide instead of jumping.
class KanbanCollectionViewFlowLayout final : public QLayout
{
    Q_OBJECT

public:
    static constexpr int gap = 26;
    static constexpr int previewShift = 292;
    static constexpr int animationMilliseconds = 250;

    explicit KanbanCollectionViewFlowLayout(QWidget* parent = nullptr);
    ~KanbanCollectionViewFlowLayout() override;

    // The cells, left to right; widgets not yet in the layout join it, widgets left out leave.
    void setWidgets(const QList<QWidget*>& widgets);
    QWidget* widgetAt(int index) const;

    bool dragging() const { return m_dragging; }
    int proposedDropIndex() const { return m_proposedDropIndex; }
    const QList<int>& draggingIndexes() const { return m_draggingIndexes; }
    // Starts or updates the preview of a drop before the item at proposedDropIndex.
    void setDragPreview(const QList<int>& draggingIndexes, int proposedDropIndex);
    // Ends the preview; the cells glide back.
    void endDragPreview();
    void animateNextLayout() { m_animateNext = true; }

    // Where the item at index goes in a row laid out in `area`, with the preview applied.
    QRect frameForItem(int index, const QRect& area) const;
    // The x of the item's left edge without any preview.
    int restingLeft(int index) const;
    int widthOfItem(int index) const;

    // QLayout
    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return int(m_items.size()); }
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override { return {}; }
    void setGeometry(const QRect& rect) override;

private:
    void place(QWidget* widget, const QRect& frame, bool animated);
    int rowWidth() const;

    QList<QLayoutItem*> m_items;
    QHash<QWidget*, QPointer<QPropertyAnimation>> m_animations;
    bool m_dragging = false;
    int m_proposedDropIndex = -1;
    QList<int> m_draggingIndexes;
    bool m_animateNext = false;
};
