#include "CardPalette.h"

#include <QGuiApplication>

QPalette CardPalette::palette()
{
    const QPalette window = QGuiApplication::palette();
    // From a light button and window colour Qt derives the shades check boxes are drawn with.
    QPalette card(QColor(0xef, 0xef, 0xef), QColor(0xfa, 0xfa, 0xfa));
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        card.setColor(group, QPalette::Base, Qt::white);
        card.setColor(group, QPalette::Text, QColor(0x1e, 0x1e, 0x1e));
        card.setColor(group, QPalette::WindowText, QColor(0x1e, 0x1e, 0x1e));
        card.setColor(group, QPalette::ButtonText, QColor(0x1e, 0x1e, 0x1e));
        // Dark enough to read on the card's translucent white over a dark board.
        card.setColor(group, QPalette::PlaceholderText, QColor(0x59, 0x59, 0x59));
        card.setColor(group, QPalette::Highlight, window.color(group, QPalette::Highlight));
        card.setColor(group, QPalette::HighlightedText,
                      window.color(group, QPalette::HighlightedText));
    }
    card.setColor(QPalette::Disabled, QPalette::Text, QColor(0x8a, 0x8a, 0x8a));
    card.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x8a, 0x8a, 0x8a));
    return card;
}
