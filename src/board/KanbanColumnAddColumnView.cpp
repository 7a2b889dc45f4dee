#include "KanbanColumnAddColumnView.h"

#include "KanbanViewController.h"

#include <QPainter>
#include <QPainterPath>

namespace {
// The button stands level with the column titles.
constexpr int buttonTop = 12;
} // namespace

KanbanColumnAddColumnView::KanbanColumnAddColumnView(KanbanViewController* board, QWidget* parent)
    : QAbstractButton(parent)
    , m_kanbanViewController(board)
{
    setFixedWidth(KanbanViewController::widthOfAddButton);
    setFocusPolicy(Qt::TabFocus);
    setToolTip(tr("Add Column"));
    setAccessibleName(tr("Add Column"));
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::clicked, this, &KanbanColumnAddColumnView::addColumn);
}

void KanbanColumnAddColumnView::addColumn()
{
    if (m_kanbanViewController)
        m_kanbanViewController->addColumn();
}

QRect KanbanColumnAddColumnView::roundButtonBackground() const
{
    const int side = 2 * cornerRadius;
    return {(width() - side) / 2, buttonTop, side, side};
}

void KanbanColumnAddColumnView::setOnPicture(bool onPicture)
{
    m_onPicture = onPicture;
    update();
}

QSize KanbanColumnAddColumnView::sizeHint() const
{
    return {KanbanViewController::widthOfAddButton, buttonTop + 2 * cornerRadius};
}

bool KanbanColumnAddColumnView::hitButton(const QPoint& pos) const
{
    return roundButtonBackground().contains(pos);
}

void KanbanColumnAddColumnView::enterEvent(QEnterEvent* event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void KanbanColumnAddColumnView::leaveEvent(QEvent* event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void KanbanColumnAddColumnView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle = QRectF(roundButtonBackground()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPalette& colours = palette();
    QColor fill;
    QColor sign;
    if (m_onPicture) {
        fill = QColor(255, 255, 255, isDown() ? 140 : (m_hovered ? 110 : 80));
        sign = Qt::white;
    } else {
        fill = colours.color(QPalette::Button);
        if (isDown())
            fill = fill.darker(115);
        else if (m_hovered)
            fill = fill.darker(106);
        sign = colours.color(QPalette::ButtonText);
    }
    QPainterPath path;
    path.addRoundedRect(circle, cornerRadius, cornerRadius);
    painter.fillPath(path, fill);
    if (!m_onPicture) {
        painter.setPen(QPen(colours.color(QPalette::Mid), 1.0));
        painter.drawPath(path);
    }
    if (hasFocus()) {
        painter.setPen(QPen(colours.color(QPalette::Highlight), 2.0));
        painter.drawEllipse(circle.adjusted(-1.5, -1.5, 1.5, 1.5));
    }
    painter.setPen(QPen(sign, 2.0, Qt::SolidLine, Qt::RoundCap));
    const QPointF centre = circle.center();
    const qreal arm = 5.5;
    painter.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
    painter.drawLine(centre - QPointF(0, arm), centre + QPointF(0, arm));
}
