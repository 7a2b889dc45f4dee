#pragma once

#include <QRect>

// Where the parts of a card lie within its row, shared by the painted card and the editor so
// that opening the editor moves nothing. A card row is its notes' height plus 78 pixels: the
// margins around the card, the top bar (done box, done date, expand button, flag) and the
// bottom bar (tags, due date).
class CardGeometry final
{
public:
    static constexpr int fixedHeight = 78;
    static constexpr int horizontalMargin = 6; // between the row and the card
    static constexpr int verticalMargin = 4;
    static constexpr int topBarHeight = 26;
    static constexpr int bottomBarHeight = 34;
    static constexpr int innerPadding = 8;
    static constexpr int controlSize = 18;
    static constexpr qreal cornerRadius = 10.0;

    // rowRect: the whole row; notesHeight: the height the notes take.
    CardGeometry(const QRect& rowRect, int notesHeight);

    QRect card;
    QRect checkBox;
    QRect doneDate;     // text right of the box
    QRect flag;         // at the right end of the top bar
    QRect expandButton; // left of the flag
    QRect notes;        // full width of the card; the text is inset by the note padding
    QRect bottomBar;
    QRect tags;        // left part of the bottom bar
    QRect dueDateArea; // right part of the bottom bar; the pill is right-aligned in it

    QRect dueDatePill(const QSize& pillSize) const;
};
