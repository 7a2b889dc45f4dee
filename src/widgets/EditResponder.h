#pragma once

// The standard editing commands of the Edit menu.
enum class EditAction
{
    Cut,
    Copy,
    Paste,
    Delete,
    SelectAll
};

// A widget (or one of its ancestors) that takes the Edit menu's commands while it has the
// focus. The main window asks the focus widget and then each of its ancestors in turn, the
// way a responder chain works, and the first one that answers takes the command.
class EditResponder
{
public:
    virtual ~EditResponder() = default;
    // Whether this responder handles the action at all (false passes it up the chain).
    virtual bool handlesEditAction(EditAction action) const = 0;
    // Whether the action can run now (the menu item is enabled).
    virtual bool canPerformEditAction(EditAction action) const = 0;
    virtual void performEditAction(EditAction action) = 0;
};
