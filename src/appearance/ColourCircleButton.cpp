#include "ColourCircleButton.h"

#include "Palette.h"

#include <QPainter>

ColourCircleButton::ColourCircleButton(int tag, QWidget* parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::TabFocus);
    setTag(tag);
}

void ColourCircleButton::setTag(int tag)
{
    m_tag = tag;
    m_colour = Palette::colour(tag);
    m_strokeColour = darkerColorForColor(m_colour);
    setAccessibleName(tr("Colour %1").arg(tag + 1));
    update();
}

void ColourCircleButton::setState(int state)
{
    m_state = state;
    update();
}

QColor ColourCircleButton::darkerColorForColor(const QColor& colour)
{
    QColor darker = Palette::darkerColour(colour);
    darker.setAlphaF(1.0f);
    return darker;
}

QSize ColourCircleButton::sizeHint() const
{
    return QSize(int(outerRingSize) + 4, int(outerRingSize) + 4);
}

void ColourCircleButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    if (m_state == 1 || hasFocus()) {
        painter.setPen(
            QPen(hasFocus() ? palette().color(QPalette::Highlight) : outerStrokeColour(), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, outerRingSize / 2 - 1, outerRingSize / 2 - 1);
    }
    if (m_colour.isValid() && m_strokeColour.isValid()) {
        painter.setPen(QPen(m_strokeColour, 1.0));
        painter.setBrush(m_colour);
        painter.drawEllipse(centre, innerRingSize / 2, innerRingSize / 2);
    }
}
