#include "TagTokenPainter.h"

#include "appearance/Palette.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <cmath>

QColor TagTokenPainter::fillColour(std::optional<int> paletteIndex)
{
    return paletteIndex ? Palette::colour(*paletteIndex) : Palette::colourFromHex(0xE2E2E2);
}

QColor TagTokenPainter::textColour()
{
    // Dark enough on every palette colour, all of which are light.
    return Palette::colourFromHex(0x262626);
}

QSize TagTokenPainter::sizeFor(const QString& name, const QFont& font)
{
    const QFontMetricsF metrics(font);
    return {int(std::ceil(metrics.horizontalAdvance(name))) + 2 * horizontalPadding,
            int(std::ceil(metrics.height())) + 2 * verticalPadding};
}

void TagTokenPainter::paint(QPainter* painter, const QRect& rect, const QString& name,
                            std::optional<int> paletteIndex, const QFont& font, bool selected)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF pillRect = QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = pillRect.height() / 2.0;
    QPainterPath pill;
    pill.addRoundedRect(pillRect, radius, radius);
    const QColor fill = fillColour(paletteIndex);
    painter->fillPath(pill, fill);
    if (selected)
        painter->strokePath(pill, QPen(QGuiApplication::palette().color(QPalette::Highlight), 2));
    else
        painter->strokePath(pill, QPen(Palette::darkerColour(fill).lighter(115), 1));

    painter->setFont(font);
    painter->setPen(textColour());
    const QRect textRect = rect.adjusted(horizontalPadding, 0, -horizontalPadding, 0);
    const QString shown = QFontMetrics(font).elidedText(name, Qt::ElideRight, textRect.width());
    painter->drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, shown);
    painter->restore();
}
