#include "SourceOutlineModel.h"

#include "ColorCountButtonCell.h"
#include "appearance/Palette.h"
#include "model/DisplayItem.h"
#include "model/Kanban.h"
#include "model/List.h"
#include "model/Root.h"

#include <QDebug>
#include <QMimeData>

#include <algorithm>

SourceOutlineModel::SourceOutlineModel(QObject* parent)
    : QAbstractItemModel(parent)
    , m_folderIcon(QStringLiteral(":/images/Folder-icon.svg"))
    , m_kanbanIcon(QStringLiteral(":/images/Kanban-icon.svg"))
    , m_listIcon(QStringLiteral(":/images/list-icon.svg"))
{}

SourceOutlineModel::~SourceOutlineModel()
{
    for (DisplayItem* item : std::as_const(m_observed))
        item->removeObserver(this);
}

void SourceOutlineModel::setRootObject(Root* root)
{
    beginResetModel();
    for (DisplayItem* item : std::as_const(m_observed))
        item->removeObserver(this);
    m_observed.clear();
    m_rows.clear();
    m_parents.clear();
    m_badges.clear();
    m_draggedItems.clear();
    m_root = root;
    if (m_root)
        adopt(nullptr, m_root);
    endResetModel();
}

bool SourceOutlineModel::hasRows(const DisplayItem* item)
{
    // Boards keep their tags among their children; they never unfold. Tags have no rows.
    return !item->isKindOf(Entity::Kanban) && !item->isKindOf(Entity::Tag);
}

// Takes `child` (and its subtree) into the rows as the view will see them.
void SourceOutlineModel::adopt(DisplayItem* parent, DisplayItem* child)
{
    if (parent)
        m_parents.insert(child, parent);
    if (!hasRows(child))
        return;
    child->addObserver(this);
    m_observed.insert(child);
    const QList<DisplayItem*>& children = child->children();
    m_rows.insert(child, children);
    for (DisplayItem* grandchild : children)
        adopt(child, grandchild);
}

void SourceOutlineModel::forget(DisplayItem* item)
{
    m_parents.remove(item);
    m_badges.remove(item);
    const auto rows = m_rows.find(item);
    if (rows == m_rows.end())
        return;
    const QList<DisplayItem*> children = *rows;
    m_rows.erase(rows);
    item->removeObserver(this);
    m_observed.remove(item);
    for (DisplayItem* child : children)
        forget(child);
}

void SourceOutlineModel::displayItemChanged(DisplayItem* item, const KeyChange& change)
{
    // The after-change announcement of `children` carries everything needed: the rows are
    // brought in line with the new children by the smallest steps, whatever kind of change
    // it was (an insertion, a removal or a whole new list).
    if (change.prior || change.key != u"children" || !m_rows.contains(item))
        return;
    syncChildren(item);
}

// Rows live in a hash that moves its entries when others come and go, so each step looks its
// list up again rather than holding on to a reference.
void SourceOutlineModel::syncChildren(DisplayItem* owner)
{
    const QList<DisplayItem*> wanted = owner->children();
    if (m_rows.value(owner) == wanted)
        return;
    for (qsizetype i = m_rows.value(owner).size() - 1; i >= 0; --i) {
        DisplayItem* shown = m_rows.value(owner).at(i);
        if (wanted.contains(shown))
            continue;
        beginRemoveRows(indexOfShown(owner), int(i), int(i));
        m_rows[owner].removeAt(i);
        forget(shown);
        endRemoveRows();
    }
    for (qsizetype j = 0; j < wanted.size(); ++j) {
        DisplayItem* item = wanted[j];
        const QList<DisplayItem*> rows = m_rows.value(owner);
        if (j < rows.size() && rows[j] == item)
            continue;
        if (const qsizetype k = rows.indexOf(item, j); k >= 0) {
            const QModelIndex parent = indexOfShown(owner);
            beginMoveRows(parent, int(k), int(k), parent, int(j));
            m_rows[owner].move(k, j);
            endMoveRows();
            continue;
        }
        // Still shown under another node whose change has not been told yet: take it out there.
        if (DisplayItem* shownParent = m_parents.value(item); shownParent && shownParent != owner) {
            const int row = int(m_rows.value(shownParent).indexOf(item));
            beginRemoveRows(indexOfShown(shownParent), row, row);
            m_rows[shownParent].removeAt(row);
            forget(item);
            endRemoveRows();
        }
        beginInsertRows(indexOfShown(owner), int(j), int(j));
        m_rows[owner].insert(j, item);
        adopt(owner, item);
        endInsertRows();
    }
}

void SourceOutlineModel::syncSubtree(DisplayItem* owner)
{
    syncChildren(owner);
    const QList<DisplayItem*> children = m_rows.value(owner);
    for (DisplayItem* child : children) {
        if (m_rows.contains(child))
            syncSubtree(child);
    }
}

void SourceOutlineModel::reloadData()
{
    if (!m_root)
        return;
    m_badges.clear();
    syncSubtree(m_root);
    emitDataChangedBelow(m_root);
}

void SourceOutlineModel::emitDataChangedBelow(DisplayItem* owner)
{
    const QList<DisplayItem*> rows = m_rows.value(owner);
    if (rows.isEmpty())
        return;
    const QModelIndex parent = indexOfShown(owner);
    Q_EMIT dataChanged(index(0, 0, parent), index(int(rows.size()) - 1, 0, parent));
    for (DisplayItem* child : rows) {
        if (m_rows.contains(child))
            emitDataChangedBelow(child);
    }
}

DisplayItem* SourceOutlineModel::itemForIndex(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<DisplayItem*>(index.internalPointer());
}

QModelIndex SourceOutlineModel::indexForItem(const DisplayItem* item) const
{
    if (!item || item == m_root || !m_parents.contains(item))
        return {};
    return indexOfShown(const_cast<DisplayItem*>(item));
}

QModelIndex SourceOutlineModel::indexOfShown(DisplayItem* item) const
{
    if (!item || item == m_root)
        return {};
    DisplayItem* parent = m_parents.value(item);
    if (!parent)
        return {};
    const qsizetype row = m_rows.value(parent).indexOf(item);
    return row < 0 ? QModelIndex() : createIndex(int(row), 0, item);
}

QModelIndex SourceOutlineModel::index(int row, int column, const QModelIndex& parent) const
{
    const DisplayItem* owner = parent.isValid() ? itemForIndex(parent) : m_root;
    if (!owner || column != 0 || row < 0)
        return {};
    const auto rows = m_rows.constFind(owner);
    if (rows == m_rows.constEnd() || row >= rows->size())
        return {};
    return createIndex(row, 0, rows->at(row));
}

QModelIndex SourceOutlineModel::parent(const QModelIndex& child) const
{
    DisplayItem* item = itemForIndex(child);
    return item ? indexOfShown(m_parents.value(item)) : QModelIndex();
}

int SourceOutlineModel::rowCount(const QModelIndex& parent) const
{
    const DisplayItem* owner = parent.isValid() ? itemForIndex(parent) : m_root;
    return owner ? int(m_rows.value(owner).size()) : 0;
}

int SourceOutlineModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool SourceOutlineModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

QVariant SourceOutlineModel::data(const QModelIndex& index, int role) const
{
    const DisplayItem* item = itemForIndex(index);
    if (!item)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::ToolTipRole:
        return item->title();
    case Qt::DecorationRole:
        if (item->isKindOf(Entity::Kanban))
            return m_kanbanIcon;
        if (item->isKindOf(Entity::List))
            return m_listIcon;
        return m_folderIcon;
    case BadgeTextRole:
        if (const Badge* badge = badgeFor(item))
            return badge->text;
        return {};
    case BadgeColourRole:
        if (const Badge* badge = badgeFor(item))
            return badge->colour;
        return {};
    case ItemColourRole:
        return Palette::colour(item->colour());
    default:
        return {};
    }
}

// Counts walk every card, so they are worked out once per reload rather than at each paint.
const SourceOutlineModel::Badge* SourceOutlineModel::badgeFor(const DisplayItem* item) const
{
    auto cached = m_badges.find(item);
    if (cached == m_badges.end()) {
        std::optional<Badge> badge;
        if (item->isKindOf(Entity::Kanban)) {
            const auto* kanban = static_cast<const Kanban*>(item);
            badge = Badge{QString::number(kanban->numberOfNotDone()),
                          ColorCountButtonCell::colourForCounts(kanban->numberOfOverdueCards(),
                                                                kanban->numberOfDueSoonCards())};
        } else if (item->isKindOf(Entity::List)) {
            badge = Badge{QString::number(static_cast<const List*>(item)->numberOfNonArchived()),
                          QColor::fromRgb(ColorCountButtonCell::normalColour)};
        }
        cached = m_badges.insert(item, badge);
    }
    return cached->has_value() ? &**cached : nullptr;
}

bool SourceOutlineModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    DisplayItem* item = itemForIndex(index);
    if (!item || role != Qt::EditRole || item->isKindOf(Entity::Tag))
        return false;
    // Any text is a title, an empty one included.
    item->setTitle(value.toString());
    Q_EMIT dataChanged(index, index);
    return true;
}

Qt::ItemFlags SourceOutlineModel::flags(const QModelIndex& index) const
{
    const DisplayItem* item = itemForIndex(index);
    if (!item)
        return Qt::ItemIsDropEnabled; // the top level
    Qt::ItemFlags flags =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
    if (item->isKindOf(Entity::Folder) || item->isKindOf(Entity::Kanban))
        flags |= Qt::ItemIsDropEnabled;
    return flags;
}

QStringList SourceOutlineModel::mimeTypes() const
{
    return {QString::fromLatin1(dragType)};
}

// The position of a node in a walk of the tree, to put dragged nodes in row order.
QList<qsizetype> SourceOutlineModel::treePath(const DisplayItem* item) const
{
    QList<qsizetype> path;
    for (const DisplayItem* node = item; node && node != m_root; node = m_parents.value(node))
        path.prepend(m_rows.value(m_parents.value(node)).indexOf(node));
    return path;
}

QMimeData* SourceOutlineModel::mimeData(const QModelIndexList& indexes) const
{
    QList<DisplayItem*> items;
    for (const QModelIndex& index : indexes) {
        DisplayItem* item = itemForIndex(index);
        if (item && !items.contains(item))
            items.append(item);
    }
    if (items.isEmpty())
        return nullptr;
    std::sort(items.begin(), items.end(), [this](const DisplayItem* a, const DisplayItem* b) {
        return treePath(a) < treePath(b);
    });
    m_draggedItems = items;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(dragType), QByteArray(dragPayload));
    return data;
}

std::optional<SourceOutlineModel::DropTarget>
SourceOutlineModel::validateDrop(const QMimeData* data, int row, const QModelIndex& parent) const
{
    // Cards and anything else from outside the sidebar are refused.
    if (!data || !m_root || data->formats().isEmpty() ||
        data->formats().first() != QLatin1String(dragType))
        return std::nullopt;
    if (m_draggedItems.isEmpty())
        return std::nullopt;
    DisplayItem* proposed = parent.isValid() ? itemForIndex(parent) : nullptr;
    if (proposed && m_draggedItems.contains(proposed)) {
        qDebug() << "return NSDragOperation.None";
        return std::nullopt;
    }
    DropTarget drop{proposed, row};
    if (!proposed) {
        drop.target = m_root;
    } else if (proposed->isKindOf(Entity::Kanban)) {
        // Onto a board: into the board's folder, just before the board.
        DisplayItem* folder = proposed->parent();
        if (!folder)
            return std::nullopt;
        drop = DropTarget{folder, folder->children().indexOf(proposed)};
    } else if (!proposed->isKindOf(Entity::Folder)) {
        return std::nullopt;
    }
    // Lists live in folders, never at the top level (also when they get there over a board).
    if (drop.target == m_root &&
        std::any_of(m_draggedItems.cbegin(), m_draggedItems.cend(),
                    [](const DisplayItem* item) { return item->isKindOf(Entity::List); }))
        return std::nullopt;
    // A node dropped into its own subtree would cut that subtree off the tree.
    for (const DisplayItem* item : std::as_const(m_draggedItems)) {
        if (drop.target->isSelfOrAncestor(item))
            return std::nullopt;
    }
    return drop;
}

bool SourceOutlineModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                         const QModelIndex& parent) const
{
    return action == Qt::MoveAction && validateDrop(data, row, parent).has_value();
}

bool SourceOutlineModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                      int column, const QModelIndex& parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    const DropTarget drop = *validateDrop(data, row, parent);
    QList<DisplayItem*> children = drop.target->childrenArray();
    qsizetype index = drop.index;
    // Each node goes in at the same index, so several nodes end up in reverse order.
    for (DisplayItem* item : std::as_const(m_draggedItems)) {
        const qsizetype k = children.indexOf(item);
        if (k >= 0) {
            children.removeAt(k);
            if (k < index)
                --index;
        }
        if (index < 0 || children.isEmpty() || index > children.size())
            children.append(item);
        else
            children.insert(index, item);
    }
    const QList<DisplayItem*> dropped = std::exchange(m_draggedItems, {});
    drop.target->setChildrenArray(children);
    Q_EMIT itemsDropped(drop.target, dropped);
    return true;
}
