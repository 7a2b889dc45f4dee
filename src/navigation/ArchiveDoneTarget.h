#pragma once

// The board view as the toolbar's archive-done button sees it. The board view that plugs into
// the right pane (MainTabViewController::setKanbanView) implements it.
class ArchiveDoneTarget
{
public:
    virtual ~ArchiveDoneTarget() = default;
    // Whether any card of the board shown is done and not yet archived.
    virtual bool hasDoneButNotArchivedCards() const = 0;
    // Archives the done cards of the board shown.
    virtual void archiveDoneItems() = 0;
};
