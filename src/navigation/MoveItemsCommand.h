#pragma once

#include <QList>
#include <QUndoCommand>

class AppDelegate;
class DisplayItem;

// "Move Item": sidebar nodes become the last children of a folder (or of the root); undo puts
// each back where it was. Nodes a later deletion rebuilt are followed to their new selves.
class MoveItemsCommand final : public QUndoCommand
{
public:
    static constexpr auto actionName = "Move Item";

    // `items` must not contain one another nor the target.
    MoveItemsCommand(AppDelegate* appDelegate, const QList<DisplayItem*>& items,
                     DisplayItem* target);

    void redo() override;
    void undo() override;

private:
    DisplayItem* live(DisplayItem* item) const;

    AppDelegate* m_appDelegate;
    QList<DisplayItem*> m_items;
    DisplayItem* m_target;
    QList<DisplayItem*> m_parents; // where each node was, in the order of the nodes
    QList<qsizetype> m_indexes;
};
