#pragma once

class QAction;

// A menu item that shows how far a selection has a property: on for all of it, mixed for part
// of it, off for none. Qt's menus know only checked and unchecked: a mixed item is unchecked
// and shows a dash where the check mark would be.
class MenuItemState final
{
public:
    enum State
    {
        Off,
        On,
        Mixed,
    };

    MenuItemState() = delete;

    static void apply(QAction* action, State state);
    static State of(const QAction* action);
};
