#pragma once

#include <QColor>
#include <QFont>
#include <QSize>
#include <QString>

class QPainter;
class QRect;

// Draws and measures a card's due-date pill without a widget, so that the due-date button and
// a card delegate paint the same thing. An empty title stands for "no due date" and draws the
// calendar picture instead of a pill.
class DueDatePill final
{
public:
    static constexpr int height = 17;
    static constexpr int extraWidth = 8; // beyond the title's own width

    static QFont font();
    static QSize sizeFor(const QString& title);
    static QSize calendarImageSize();
    static void paint(QPainter* painter, const QRect& rect, const QString& title,
                      const QColor& background, bool pressed);
};
