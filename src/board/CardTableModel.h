#pragma once

#include "CardRowKind.h"

#include <QAbstractListModel>
#include <QList>

class ListItem;
class ListViewController;

// The rows of a card table as an item model. It keeps its own copy of the rows, so that every
// change of the controller's display list reaches the view as the smallest insertion, removal
// or reset (sync), and views never see a half-changed list.
class CardTableModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role
    {
        RowKindRole = Qt::UserRole + 1, // CardRowKind as int
        ItemRole,                       // the ListItem* as quintptr; 0 for rows without a card
    };

    explicit CardTableModel(ListViewController* controller);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    CardRowKind kindAt(int row) const;
    ListItem* itemAt(int row) const;
    static ListItem* itemFor(const QModelIndex& index);
    QModelIndex indexForItem(const ListItem* item) const;

    // Brings the rows in line with the controller: the rows that differ between the common
    // start and the common end are removed and inserted again.
    void sync();
    void reset();
    // The card's row is to be repainted (and re-measured when its height changed).
    void itemChanged(const ListItem* item);

private:
    struct Row
    {
        CardRowKind kind = CardRowKind::Spacer;
        ListItem* item = nullptr;
        friend bool operator==(const Row&, const Row&) = default;
    };
    QList<Row> rowsOfController() const;

    ListViewController* m_controller;
    QList<Row> m_rows;
};
