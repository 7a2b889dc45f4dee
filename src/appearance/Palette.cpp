#include "Palette.h"

#include <algorithm>

QColor Palette::colour(int index)
{
    const QList<QColor>& all = colours();
    return all.at(index >= 0 && index < count ? index : 0);
}

const QList<QColor>& Palette::colours()
{
    static const QList<QColor> palette = {
        colourFromHex(0xFF9591), colourFromHex(0xFFBF88), colourFromHex(0xFFE488),
        colourFromHex(0x9DEB86), colourFromHex(0x88DBFA), colourFromHex(0xDAC1F5),
        colourFromHex(0xCFCBCB),
    };
    return palette;
}

QColor Palette::colourFromHex(int rgb, qreal alpha)
{
    return QColor::fromRgbF(float((rgb >> 16) & 0xFF) / 255.0f, float((rgb >> 8) & 0xFF) / 255.0f,
                            float(rgb & 0xFF) / 255.0f, float(alpha));
}

QColor Palette::darkerColour(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    const auto lower = [](float component) { return std::max(0.0f, component - 0.2f); };
    return QColor::fromRgbF(lower(rgb.redF()), lower(rgb.greenF()), lower(rgb.blueF()),
                            rgb.alphaF());
}

QColor Palette::cardBackgroundColour()
{
    return QColor::fromRgbF(1.0f, 1.0f, 1.0f, 0.8f);
}
