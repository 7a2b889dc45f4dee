#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUndoCommand>

class AppDelegate;
class DisplayItem;

// "Delete Item": deletes sidebar nodes with everything in them. Undo rebuilds them from their
// exchange dictionaries (new objects with the identities of the deleted ones) as the last
// children of their former parents; redo deletes the rebuilt nodes again.
class DeleteItemsCommand final : public QUndoCommand
{
public:
    static constexpr auto actionName = "Delete Item";

    // `items` must not contain one another.
    DeleteItemsCommand(AppDelegate* appDelegate, const QList<DisplayItem*>& items);

    void redo() override;
    void undo() override;

    // The nodes as they are now: the ones to delete, or after undo the rebuilt ones.
    const QList<DisplayItem*>& items() const { return m_items; }

    // The whole entry of a node and its subtree, whatever their export marks (which the
    // entry keeps as they were).
    static QJsonObject dictionaryOfSubtree(DisplayItem& item);

private:
    void deleteDisplayItemsWithoutUndo();
    void restoreDisplayItemsWithoutUndo();
    DisplayItem* resolveParent(DisplayItem* parent) const;

    AppDelegate* m_appDelegate;
    QList<DisplayItem*> m_items;
    QList<QJsonObject> m_dictionaries;
    // The parent of each deleted node, in the order of the nodes.
    QList<DisplayItem*> m_deletedItemParents;
};
