#pragma once

// The kinds of rows in a card table, with the identifiers the rows are known by.
enum class CardRowKind
{
    Spacer,  // row 0: an empty row above the first card
    Card,    // "listItemCell"
    Header,  // "listItemHeaderCell": the row between active and archived cards
    AddCard, // "addItemCell": the row that adds a card at the end of a column
};
