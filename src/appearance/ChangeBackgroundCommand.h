#pragma once

#include <QString>
#include <QUndoCommand>

class DisplayItem;

// "Change Background": sets the picture behind a board or list, saves and posts
// "BackgroundChanged".
class ChangeBackgroundCommand final : public QUndoCommand
{
public:
    ChangeBackgroundCommand(DisplayItem* item, const QString& bgImage);

    void redo() override;
    void undo() override;

    static QString actionName();

private:
    bool apply(const QString& bgImage);

    DisplayItem* m_item; // the store keeps deleted objects; a deleted item is left alone
    QString m_oldBgImage;
    QString m_newBgImage;
};
