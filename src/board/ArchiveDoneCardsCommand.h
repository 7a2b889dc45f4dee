#pragma once

#include <QList>
#include <QPointer>
#include <QUndoCommand>

class KanbanViewController;
class ListItem;

// "Archive Done Cards": archives the done cards of every column of the board shown; undo
// makes exactly those cards active again, redo archives whatever is done by then.
class ArchiveDoneCardsCommand final : public QUndoCommand
{
public:
    explicit ArchiveDoneCardsCommand(KanbanViewController* board);

    void redo() override;
    void undo() override;

    static QString actionName();

private:
    QPointer<KanbanViewController> m_board;
    QList<QList<ListItem*>> m_archived; // per column, in display order
};
