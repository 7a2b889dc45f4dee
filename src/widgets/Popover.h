#pragma once

class QWidget;

// Places popovers (Qt::Popup widgets) against the control they belong to.
class Popover final
{
public:
    Popover() = delete;

    // Shows the popup centred under the anchor, or above it when the screen has no room
    // below, and always on the screen.
    static void showBelow(QWidget* popup, QWidget* anchor);
};
