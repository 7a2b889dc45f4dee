#pragma once

#include "CardTableView.h"

class KanbanColumnListViewController;

// The table of one column's cards. It takes the Edit menu's commands for the selected cards,
// takes drops of cards from any column, and moves the keyboard to the next or previous column
// with the Left and Right keys.
class KanbanColumnTableView final : public CardTableView
{
    Q_OBJECT

public:
    KanbanColumnTableView(KanbanColumnListViewController* controller, QWidget* parent = nullptr);

    KanbanColumnListViewController* controller() const { return m_controller; }

    bool canPerformEditAction(EditAction action) const override;
    void performEditAction(EditAction action) override;

    // The context menu of a card: adding above and below, done, archiving, deleting; in the
    // archive view only restoring.
    void addCardMenuItems(QMenu* menu, ListItem* item) override;

protected:
    bool acceptsDragFrom(const QObject*) const override { return true; }
    bool acceptDrop(const QMimeData* data, int row, CardTableView* sourceView) override;
    void addMenuItemsOutsideCards(QMenu* menu) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    KanbanColumnListViewController* m_controller;
};
