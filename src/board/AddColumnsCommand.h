#pragma once

#include <QJsonArray>
#include <QList>
#include <QPointer>
#include <QUndoCommand>

class Kanban;
class KanbanColumn;
class KanbanViewController;

// "New Column" or "Paste Column": columns just added to the board at some indexes (the push
// finds them there). Undo takes them out again, kept as exchange dictionaries as they are by
// then; redo rebuilds them (with their cards and identities) at the same indexes.
class AddColumnsCommand final : public QUndoCommand
{
public:
    AddColumnsCommand(const QString& text, KanbanViewController* board, const QList<int>& indexes,
                      const QList<KanbanColumn*>& columns);

    void redo() override;
    void undo() override;

    static QString newColumnName();
    static QString pasteColumnName();

private:
    bool boardIsShown() const;

    QPointer<KanbanViewController> m_board;
    Kanban* m_kanban; // the store keeps deleted objects; a deleted board is left alone
    QList<int> m_indexes;
    QList<KanbanColumn*> m_columns; // as added, or as rebuilt by the last redo
    QJsonArray m_dictionaries;
    bool m_added = true; // the first redo finds the columns added
};
