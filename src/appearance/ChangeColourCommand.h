#pragma once

#include <QString>
#include <QUndoCommand>

class DisplayItem;

// "Change Colour" of a board, list or folder, or "Change Tag Colour" of a tag: sets the palette
// index and saves; a tag's cards are told to repaint its token.
class ChangeColourCommand final : public QUndoCommand
{
public:
    ChangeColourCommand(DisplayItem* item, qint16 colour);

    void redo() override;
    void undo() override;

    static QString actionName();
    static QString tagActionName();

private:
    bool apply(qint16 colour);

    DisplayItem* m_item; // the store keeps deleted objects; a deleted item is left alone
    qint16 m_oldColour;
    qint16 m_newColour;
};
