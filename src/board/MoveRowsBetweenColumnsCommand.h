#pragma once

#include <QList>
#include <QUndoCommand>

class KanbanColumn;
class ListItem;

// "Move N Rows" from one column to another: the cards go to the destination's display indexes
// and leave the source's display list; undo puts them back at their source indexes. A column
// deleted and brought back in between is followed to its rebuilt self, with its cards.
class MoveRowsBetweenColumnsCommand final : public QUndoCommand
{
public:
    MoveRowsBetweenColumnsCommand(KanbanColumn* source, const QList<int>& sourceIndexes,
                                  KanbanColumn* destination, const QList<int>& destinationIndexes,
                                  const QList<ListItem*>& items);

    void redo() override;
    void undo() override;

private:
    // What the step works on now.
    struct Parties
    {
        KanbanColumn* source;
        KanbanColumn* destination;
        QList<ListItem*> items;
    };
    Parties liveParties() const;
    bool canRun(const Parties& parties, bool needsSource) const;

    KanbanColumn* m_source;
    QList<int> m_sourceIndexes;
    KanbanColumn* m_destination;
    QList<int> m_destinationIndexes;
    QList<ListItem*> m_items;
};
