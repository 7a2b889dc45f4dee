#pragma once

// What a card list shows, read from the user defaults under "listViewMode" at every use. Any
// other stored value behaves like Available.
enum class ListViewMode
{
    Available = 0, // active cards only
    Mixed = 1,     // active cards, a header row, then archived cards
    Archived = 2,  // archived cards only
};
