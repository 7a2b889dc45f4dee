#pragma once

#include <QColor>
#include <QFont>
#include <QSize>
#include <QString>

class QFontMetricsF;
class QPainter;
class QRect;
class QRectF;

// The count badge of a sidebar row: a pill whose corner radius is half its height, filled with
// `backgroundColour`, with the digits cut out of it so that the row shows through them. On a
// highlighted row the digits are filled white instead.
class ColorCountButtonCell final
{
public:
    // The fixed badge colours of boards and lists.
    static constexpr QRgb overdueColour = 0xDF6969;
    static constexpr QRgb dueSoonColour = 0xF6A623;
    static constexpr QRgb normalColour = 0x797979;

    // The colour a board's badge takes: overdue wins over due soon.
    static QColor colourForCounts(int overdueCards, int dueSoonCards);

    QColor backgroundColour() const { return m_backgroundColour; }
    void setBackgroundColour(const QColor& colour) { m_backgroundColour = colour; }

    // Bold, slightly smaller than the row's font.
    static QFont badgeFont(const QFont& rowFont);
    // The pill that holds `text` set in badgeFont(rowFont).
    static QSize sizeForText(const QString& text, const QFont& rowFont);
    // Draws the pill centred in `rect` (which sizeForText() should fit).
    void draw(QPainter* painter, const QRect& rect, const QString& text, const QFont& rowFont,
              bool highlighted) const;

private:
    static void drawDigits(QPainter* painter, const QRectF& pill, const QString& text,
                           const QFontMetricsF& metrics);

    QColor m_backgroundColour{normalColour};
};
