#pragma once

#include <QList>
#include <QPointer>
#include <QUndoCommand>

class Kanban;
class KanbanViewController;
class ListItem;

// "Archive Done Cards": archives the done cards of every column of the board shown; undo
// makes exactly those cards active again (or the cards rebuilt for them), redo archives whatever
// is done by then. Both act only while the board view shows the board the step was made on.
class ArchiveDoneCardsCommand final : public QUndoCommand
{
public:
    explicit ArchiveDoneCardsCommand(KanbanViewController* board);

    void redo() override;
    void undo() override;

    static QString actionName();

private:
    bool boardIsShown() const;

    QPointer<KanbanViewController> m_board;
    Kanban* m_kanban; // the store keeps deleted objects; a deleted board is left alone
    QList<QList<ListItem*>> m_archived; // per column, in display order
    bool m_first = true;
};
