#pragma once

#include <QColor>
#include <QList>

// The seven colours that tags and sidebar items are painted with, and the colour helpers built
// on them. A colour is chosen by its palette index (the stored `colour` attribute).
class Palette final
{
public:
    static constexpr int count = 7;

    // The colour at index; an index outside 0…6 gives colour 0, so a bad stored value still
    // draws.
    static QColor colour(int index);
    static const QList<QColor>& colours();

    // A colour from 0xRRGGBB and an alpha in 0…1.
    static QColor colourFromHex(int rgb, qreal alpha = 1.0);
    // Each of red, green and blue lowered by 0.2 (clamped at 0); alpha kept.
    static QColor darkerColour(const QColor& colour);

    // Behind a card's notes, its lower row and an empty due-date button: white at alpha 0.8.
    static QColor cardBackgroundColour();
};
