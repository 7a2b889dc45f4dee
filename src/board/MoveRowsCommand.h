#pragma once

#include <QList>
#include <QUndoCommand>

class KanbanColumn;
class ListItem;

// "Move N Rows": cards just moved within a column or between columns (the push finds them
// moved). It keeps each column's stored cards from before and after the move, hidden ones
// included, so that undo and redo give every card its exact place again, whatever the search
// term or tag filter shows meanwhile. Columns and cards rebuilt by other steps are followed.
class MoveRowsCommand final : public QUndoCommand
{
public:
    struct ColumnCards
    {
        KanbanColumn* column;
        QList<ListItem*> before;
        QList<ListItem*> after;
    };

    MoveRowsCommand(const QList<ColumnCards>& columns, const QList<ListItem*>& moved);

    void redo() override;
    void undo() override;

    static QString actionName(qsizetype count);

private:
    bool apply(bool after);

    QList<ColumnCards> m_columns;
    QList<ListItem*> m_moved;
    bool m_done = true; // the first redo finds the cards moved
};
