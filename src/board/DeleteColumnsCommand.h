#pragma once

#include <QJsonArray>
#include <QList>
#include <QPointer>
#include <QUndoCommand>

class Kanban;
class KanbanColumn;
class KanbanViewController;

// "Delete Column": the columns at some indexes of the board leave it and the store. They are
// kept as exchange dictionaries; undo rebuilds them (new objects, equal in content) at the same
// indexes.
class DeleteColumnsCommand final : public QUndoCommand
{
public:
    DeleteColumnsCommand(KanbanViewController* board, const QList<int>& indexes);

    void redo() override;
    void undo() override;

    static QString actionName();

private:
    bool boardIsShown() const;

    QPointer<KanbanViewController> m_board;
    Kanban* m_kanban; // the store keeps deleted objects; a deleted board is left alone
    QList<int> m_indexes;
    QJsonArray m_dictionaries;
    QList<KanbanColumn*> m_restored; // the columns the last undo rebuilt
};
