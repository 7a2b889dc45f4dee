#pragma once

#include "board/CardTableView.h"

class PlainListViewController;

// The table of a plain list's items: items move by drag within the list only, and a card's
// menu marks it done and archives or restores it.
class PlainListTableView final : public CardTableView
{
    Q_OBJECT

public:
    PlainListTableView(PlainListViewController* controller, QWidget* parent = nullptr);

    PlainListViewController* controller() const { return m_controller; }

    void addCardMenuItems(QMenu* menu, ListItem* item) override;

protected:
    bool acceptsDragFrom(const QObject* source) const override { return source == this; }
    bool acceptDrop(const QMimeData* data, int row, CardTableView* sourceView) override;

private:
    PlainListViewController* m_controller;
};
