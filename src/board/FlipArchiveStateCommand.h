#pragma once

#include <QUndoCommand>

class ListItem;

// "Archive Card" or "Restore Card": archives an active card or restores an archived one, in its
// column or list; undo flips it back.
class FlipArchiveStateCommand final : public QUndoCommand
{
public:
    explicit FlipArchiveStateCommand(ListItem* item);

    void redo() override { flip(); }
    void undo() override { flip(); }

    static QString actionName(bool archiving);

private:
    void flip();

    ListItem* m_item; // the store keeps deleted objects; a rebuilt card is followed
};
