#pragma once

#include <QPalette>

// Cards are drawn light with dark text whatever the window's palette: they sit on pictures and
// on dark boards alike, and the note styles, tags and due-date pills are made for a light card.
// Highlight colours still come from the window's palette.
class CardPalette final
{
public:
    static QPalette palette();
};
