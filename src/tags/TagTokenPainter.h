#pragma once

#include <QColor>
#include <QFont>
#include <QSize>
#include <QString>

#include <optional>

class QPainter;
class QRect;

// Draws and measures one tag token: a pill filled with the tag's palette colour (grey for a
// name without a tag colour) and the name in dark text. The token field and the card delegate
// both paint tokens with it.
class TagTokenPainter final
{
public:
    static constexpr int horizontalPadding = 7;
    static constexpr int verticalPadding = 2;

    static QColor fillColour(std::optional<int> paletteIndex);
    static QColor textColour();
    static QSize sizeFor(const QString& name, const QFont& font);
    // A name wider than rect is elided. A selected token gets a ring in the highlight colour.
    static void paint(QPainter* painter, const QRect& rect, const QString& name,
                      std::optional<int> paletteIndex, const QFont& font, bool selected = false);
};
