#pragma once

class Kanban;
class KanbanColumn;
class KanbanColumnListViewController;

// What a column's card list needs of the board that shows it. The board controller implements
// it; a column shown on its own (as in tests) has no host, and these calls are then skipped.
class KanbanColumnHost
{
public:
    virtual ~KanbanColumnHost() = default;

    virtual Kanban* kanban() const = 0;
    // Clears the card selection of every column but this one.
    virtual void deselectItemsInAllColumnsOtherThanWithColumn(KanbanColumn* column) = 0;
    // A new column just before or after this one.
    virtual void addColumnWithItem(KanbanColumn* column, bool after) = 0;
    // Deletes the selected columns (this one when none is selected).
    virtual void deleteSelectedColumns(KanbanColumn* column) = 0;
    virtual int numberOfSelectedColumns() const = 0;
    // Pastes copied columns; the card list passes paste on when the clipboard holds no cards.
    virtual void pasteColumns() = 0;
    // The card list of the column `step` places after this one (before it when negative);
    // none past either end.
    virtual KanbanColumnListViewController* neighbourColumnList(KanbanColumn*, int)
    {
        return nullptr;
    }
};
