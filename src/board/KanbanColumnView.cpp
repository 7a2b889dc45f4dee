#include "KanbanColumnView.h"

#include "KanbanColumnViewItem.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr qreal cornerRadius = 8.0;
}

KanbanColumnView::KanbanColumnView(KanbanColumnViewItem* item, QWidget* parent)
    : QWidget(parent)
    , m_item(item)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setFocusPolicy(Qt::NoFocus);
}

void KanbanColumnView::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
}

void KanbanColumnView::setFocusMarked(bool marked)
{
    if (m_focusMarked == marked)
        return;
    m_focusMarked = marked;
    update();
}

QColor KanbanColumnView::backgroundColour() const
{
    return m_selected ? QColor(0, 0, 0, 128) : QColor(Qt::transparent);
}

void KanbanColumnView::paintEvent(QPaintEvent*)
{
    if (!m_selected && !m_focusMarked)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    if (m_selected)
        painter.fillPath(path, backgroundColour());
    if (m_focusMarked) {
        QPainterPath outline;
        outline.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), cornerRadius, cornerRadius);
        painter.strokePath(outline, QPen(palette().color(QPalette::Highlight), 2.0));
    }
}

void KanbanColumnView::mousePressEvent(QMouseEvent* event)
{
    m_pressed = false;
    const bool menuClick =
        event->button() == Qt::RightButton ||
        (event->button() == Qt::LeftButton && event->modifiers().testFlag(Qt::ControlModifier));
    if (menuClick) {
        m_item->rightMouseDown(event->modifiers(), event->globalPosition().toPoint());
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_item->mouseDown(event->modifiers());
    m_pressed = true;
    m_pressPosition = event->position().toPoint();
    event->accept();
}

void KanbanColumnView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - m_pressPosition).manhattanLength() <
        QApplication::startDragDistance())
        return;
    m_pressed = false;
    m_item->startDrag(m_pressPosition);
}

void KanbanColumnView::mouseReleaseEvent(QMouseEvent* event)
{
    m_pressed = false;
    event->accept();
}

void KanbanColumnView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second click of a double click on the column selects it again.
    mousePressEvent(event);
}

void KanbanColumnView::contextMenuEvent(QContextMenuEvent* event)
{
    // Right clicks open the menu on press; this is the menu key and similar requests.
    if (event->reason() != QContextMenuEvent::Mouse)
        m_item->rightMouseDown(event->modifiers(), event->globalPos());
    event->accept();
}
