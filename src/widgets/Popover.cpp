#include "Popover.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

void Popover::showBelow(QWidget* popup, QWidget* anchor)
{
    popup->adjustSize();
    const QRect anchorRect(anchor->mapToGlobal(QPoint(0, 0)), anchor->size());
    QPoint position(anchorRect.center().x() - popup->width() / 2, anchorRect.bottom() + 4);
    if (const QScreen* screen = anchor->screen()) {
        const QRect available = screen->availableGeometry();
        if (position.y() + popup->height() > available.bottom())
            position.setY(anchorRect.top() - 4 - popup->height());
        position.setX(std::clamp(position.x(), available.left(),
                                 std::max(available.left(), available.right() - popup->width())));
        position.setY(std::max(position.y(), available.top()));
    }
    popup->move(position);
    popup->show();
}
