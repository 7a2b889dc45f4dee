#pragma once

#include <QString>

class DisplayItem;

// The window title for a board or list: its title with " (Board)" or " (List)" (nothing for an
// absent title), each folder above it but the root put in front with " - ", so that a board
// Plan in a folder Work reads "Work - Plan (Board)". Empty for anything else.
class WindowTitle final
{
public:
    static QString forItem(const DisplayItem* item);
};
