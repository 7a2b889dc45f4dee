#pragma once

#include <QUndoCommand>

class ListItem;

// "Mark as Done": toggles a card's done state; undo toggles it back. A card that a not-done
// change restored from the archive is archived again when that change is undone.
class MarkAsDoneCommand final : public QUndoCommand
{
public:
    explicit MarkAsDoneCommand(ListItem* item);

    void redo() override { toggle(); }
    void undo() override { toggle(); }

private:
    void toggle();

    ListItem* m_item; // the store keeps deleted objects; a rebuilt card is followed
    bool m_restoredFromArchive = false;
};
