#include "ColorCountButtonCell.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

namespace {

constexpr qreal horizontalPadding = 6.0;
constexpr qreal verticalPadding = 1.0;

// Every digit gets a cell as wide as the widest digit, so that counts line up and do not
// jiggle when they change, whatever figures the system font has.
qreal digitCellWidth(const QFontMetricsF& metrics)
{
    qreal widest = 0;
    for (char16_t digit = u'0'; digit <= u'9'; ++digit)
        widest = std::max(widest, metrics.horizontalAdvance(QChar(digit)));
    return widest;
}

qreal textWidth(const QString& text, const QFontMetricsF& metrics)
{
    const qreal cell = digitCellWidth(metrics);
    qreal width = 0;
    for (const QChar c : text)
        width += c.isDigit() ? cell : metrics.horizontalAdvance(c);
    return width;
}

} // namespace

QColor ColorCountButtonCell::colourForCounts(int overdueCards, int dueSoonCards)
{
    if (overdueCards >= 1)
        return QColor::fromRgb(overdueColour);
    if (dueSoonCards >= 1)
        return QColor::fromRgb(dueSoonColour);
    return QColor::fromRgb(normalColour);
}

QFont ColorCountButtonCell::badgeFont(const QFont& rowFont)
{
    QFont font = rowFont;
    font.setBold(true);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(std::max(7.0, font.pointSizeF() - 1.0));
    else if (font.pixelSize() > 0)
        font.setPixelSize(std::max(9, font.pixelSize() - 1));
    return font;
}

QSize ColorCountButtonCell::sizeForText(const QString& text, const QFont& rowFont)
{
    const QFontMetricsF metrics(badgeFont(rowFont));
    const qreal height = std::ceil(metrics.ascent() + metrics.descent() + 2 * verticalPadding);
    const qreal width = std::ceil(textWidth(text, metrics) + 2 * horizontalPadding);
    return QSize(int(std::max(width, height)), int(height));
}

void ColorCountButtonCell::draw(QPainter* painter, const QRect& rect, const QString& text,
                                const QFont& rowFont, bool highlighted) const
{
    const QFont font = badgeFont(rowFont);
    const QFontMetricsF metrics(font);
    const QSize size = sizeForText(text, rowFont);
    QRect pill(QPoint(0, 0), size);
    pill.moveCenter(rect.center());

    // The pill is drawn into its own layer so that the digits can be punched out of it.
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QImage layer(size * ratio, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(m_backgroundColour);
        const qreal radius = size.height() / 2.0;
        p.drawRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), radius, radius);
        p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        p.setFont(font);
        p.setPen(Qt::black);
        drawDigits(&p, QRectF(QPointF(0, 0), QSizeF(size)), text, metrics);
    }
    painter->drawImage(pill.topLeft(), layer);
    if (highlighted) {
        painter->save();
        painter->setFont(font);
        painter->setPen(Qt::white);
        drawDigits(painter, QRectF(pill), text, metrics);
        painter->restore();
    }
}

void ColorCountButtonCell::drawDigits(QPainter* painter, const QRectF& pill, const QString& text,
                                      const QFontMetricsF& metrics)
{
    const qreal cell = digitCellWidth(metrics);
    qreal x = pill.center().x() - textWidth(text, metrics) / 2;
    const qreal baseline = pill.center().y() + (metrics.ascent() - metrics.descent()) / 2;
    for (const QChar c : text) {
        const qreal advance = c.isDigit() ? cell : metrics.horizontalAdvance(c);
        painter->drawText(QPointF(x + (advance - metrics.horizontalAdvance(c)) / 2, baseline),
                          QString(c));
        x += advance;
    }
}
