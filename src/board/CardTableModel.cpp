#include "CardTableModel.h"

#include "ListViewController.h"

CardTableModel::CardTableModel(ListViewController* controller)
    : QAbstractListModel(controller)
    , m_controller(controller)
{}

int CardTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant CardTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row& row = m_rows.at(index.row());
    switch (role) {
    case RowKindRole:
        return int(row.kind);
    case ItemRole:
        return QVariant::fromValue(quintptr(row.item));
    case Qt::AccessibleTextRole:
    case Qt::DisplayRole:
        if (row.kind == CardRowKind::Header)
            return tr("Archived");
        if (row.kind == CardRowKind::AddCard)
            return tr("Add Card");
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags CardTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    if (kindAt(index.row()) == CardRowKind::Card)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled |
               Qt::ItemIsEditable;
    return Qt::ItemIsEnabled;
}

CardRowKind CardTableModel::kindAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).kind : CardRowKind::Spacer;
}

ListItem* CardTableModel::itemAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).item : nullptr;
}

ListItem* CardTableModel::itemFor(const QModelIndex& index)
{
    return reinterpret_cast<ListItem*>(index.data(ItemRole).value<quintptr>());
}

QModelIndex CardTableModel::indexForItem(const ListItem* item) const
{
    if (!item)
        return {};
    const int row = m_controller->tableRowForItem(item);
    // The controller may be ahead of the rows during a change.
    if (row < 0 || row >= m_rows.size() || m_rows.at(row).item != item)
        return {};
    return index(row);
}

QList<CardTableModel::Row> CardTableModel::rowsOfController() const
{
    QList<Row> rows;
    const auto wanted = m_controller->rows();
    rows.reserve(wanted.size());
    for (const auto& [kind, item] : wanted)
        rows.append({kind, item});
    return rows;
}

void CardTableModel::sync()
{
    const QList<Row> wanted = rowsOfController();
    qsizetype head = 0;
    while (head < m_rows.size() && head < wanted.size() && m_rows.at(head) == wanted.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < m_rows.size() - head && tail < wanted.size() - head &&
           m_rows.at(m_rows.size() - 1 - tail) == wanted.at(wanted.size() - 1 - tail))
        ++tail;
    const qsizetype removed = m_rows.size() - head - tail;
    const qsizetype inserted = wanted.size() - head - tail;
    if (removed > 0) {
        beginRemoveRows({}, int(head), int(head + removed - 1));
        m_rows.remove(head, removed);
        endRemoveRows();
    }
    if (inserted > 0) {
        beginInsertRows({}, int(head), int(head + inserted - 1));
        m_rows.insert(head, inserted, Row{});
        std::copy(wanted.cbegin() + head, wanted.cbegin() + head + inserted, m_rows.begin() + head);
        endInsertRows();
    }
}

void CardTableModel::reset()
{
    beginResetModel();
    m_rows = rowsOfController();
    endResetModel();
}

void CardTableModel::itemChanged(const ListItem* item)
{
    const QModelIndex index = indexForItem(item);
    if (index.isValid())
        Q_EMIT dataChanged(index, index);
}
