#include "KanbanCollectionViewFlowLayout.h"

#include <QPropertyAnimation>
#include <QWidget>

#include <algorithm>

KanbanCollectionViewFlowLayout::KanbanCollectionViewFlowLayout(QWidget* parent)
    : QLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
}

KanbanCollectionViewFlowLayout::~KanbanCollectionViewFlowLayout()
{
    qDeleteAll(m_items);
}

void KanbanCollectionViewFlowLayout::setWidgets(const QList<QWidget*>& widgets)
{
    QList<QLayoutItem*> ordered;
    ordered.reserve(widgets.size());
    for (QWidget* widget : widgets) {
        const auto found = std::find_if(m_items.begin(), m_items.end(),
                                        [widget](QLayoutItem* i) { return i->widget() == widget; });
        if (found != m_items.end()) {
            ordered.append(*found);
            m_items.erase(found);
        } else {
            addChildWidget(widget);
            ordered.append(new QWidgetItem(widget));
        }
    }
    for (QLayoutItem* leaving : std::as_const(m_items)) {
        if (QPointer<QPropertyAnimation> animation = m_animations.take(leaving->widget()))
            animation->stop();
        delete leaving;
    }
    m_items = ordered;
    invalidate();
}

QWidget* KanbanCollectionViewFlowLayout::widgetAt(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index)->widget() : nullptr;
}

void KanbanCollectionViewFlowLayout::setDragPreview(const QList<int>& draggingIndexes,
                                                    int proposedDropIndex)
{
    if (m_dragging && m_draggingIndexes == draggingIndexes &&
        m_proposedDropIndex == proposedDropIndex)
        return;
    m_dragging = true;
    m_draggingIndexes = draggingIndexes;
    m_proposedDropIndex = proposedDropIndex;
    animateNextLayout();
    invalidate();
}

void KanbanCollectionViewFlowLayout::endDragPreview()
{
    if (!m_dragging)
        return;
    m_dragging = false;
    m_draggingIndexes.clear();
    m_proposedDropIndex = -1;
    animateNextLayout();
    invalidate();
}

int KanbanCollectionViewFlowLayout::widthOfItem(int index) const
{
    const QWidget* widget = widgetAt(index);
    return widget ? widget->minimumWidth() : 0;
}

int KanbanCollectionViewFlowLayout::restingLeft(int index) const
{
    int x = gap;
    for (int i = 0; i < index && i < m_items.size(); ++i)
        x += widthOfItem(i) + gap;
    return x;
}

QRect KanbanCollectionViewFlowLayout::frameForItem(int index, const QRect& area) const
{
    int x = area.x() + restingLeft(index);
    if (m_dragging) {
        for (int dragged : m_draggingIndexes) {
            if (dragged < index)
                x -= previewShift;
        }
        if (m_proposedDropIndex >= 0 && m_proposedDropIndex <= index)
            x += previewShift;
    }
    return {x, area.y(), widthOfItem(index), area.height()};
}

int KanbanCollectionViewFlowLayout::rowWidth() const
{
    return restingLeft(int(m_items.size()));
}

void KanbanCollectionViewFlowLayout::addItem(QLayoutItem* item)
{
    m_items.append(item);
    invalidate();
}

QLayoutItem* KanbanCollectionViewFlowLayout::itemAt(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

QLayoutItem* KanbanCollectionViewFlowLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem* item = m_items.takeAt(index);
    invalidate();
    return item;
}

QSize KanbanCollectionViewFlowLayout::sizeHint() const
{
    return minimumSize();
}

QSize KanbanCollectionViewFlowLayout::minimumSize() const
{
    // Only the width counts: the cells take whatever height the board has.
    return {rowWidth(), 1};
}

void KanbanCollectionViewFlowLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    const bool animated = m_animateNext && parentWidget() && parentWidget()->isVisible();
    m_animateNext = false;
    for (int i = 0; i < m_items.size(); ++i) {
        if (QWidget* widget = m_items.at(i)->widget())
            place(widget, frameForItem(i, rect), animated);
    }
}

void KanbanCollectionViewFlowLayout::place(QWidget* widget, const QRect& frame, bool animated)
{
    QPointer<QPropertyAnimation> running = m_animations.value(widget);
    // A cell placed for the first time appears where it belongs.
    const bool placedBefore = widget->testAttribute(Qt::WA_Moved);
    if (!animated || !placedBefore || !widget->isVisible()) {
        // A cell already gliding glides on to its new place.
        if (running && running->state() == QAbstractAnimation::Running)
            running->setEndValue(frame);
        else
            widget->setGeometry(frame);
        return;
    }
    if (!running) {
        running = new QPropertyAnimation(widget, "geometry", widget);
        running->setDuration(animationMilliseconds);
        running->setEasingCurve(QEasingCurve::OutCubic);
        m_animations.insert(widget, running);
    }
    running->stop();
    if (widget->geometry() == frame)
        return;
    running->setStartValue(widget->geometry());
    running->setEndValue(frame);
    running->start();
}
