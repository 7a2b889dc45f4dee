#include "ImportExportOutlineModel.h"

#include "model/DisplayItem.h"
#include "model/Entity.h"

#include <QIcon>
#include <QJsonObject>

#include <algorithm>
#include <optional>

namespace {

constexpr auto titleKey = QLatin1StringView("title");
constexpr auto exportKey = QLatin1StringView("export");
constexpr auto childrenKey = QLatin1StringView("children");

// The entities that have rows; anything else inside a folder travels with it unseen.
bool hasRow(Entity entity)
{
    return entity == Entity::Folder || entity == Entity::Kanban || entity == Entity::List;
}

std::optional<Entity> rowEntity(const QString& name)
{
    const std::optional<Entity> entity = entityFromName(name);
    return entity && hasRow(*entity) ? entity : std::nullopt;
}

// The document's booleans: true, or the number 1.
bool isTrue(const QJsonValue& value)
{
    return value.isBool() ? value.toBool() : (value.isDouble() && value.toDouble() == 1);
}

QIcon iconFor(Entity entity)
{
    static const QIcon folder(QStringLiteral(":/images/Folder-icon.svg"));
    static const QIcon board(QStringLiteral(":/images/Kanban-icon.svg"));
    static const QIcon list(QStringLiteral(":/images/list-icon.svg"));
    switch (entity) {
    case Entity::Folder:
        return folder;
    case Entity::List:
        return list;
    default:
        return board;
    }
}

} // namespace

struct ImportExportOutlineModel::Node
{
    Entity entity = Entity::Folder;
    QString title;
    DisplayItem* item = nullptr; // export mode
    bool own = false;            // the state of a row that has no choosable rows below it
    bool follower = false;       // a list in a folder: goes with the folder
    Qt::CheckState state = Qt::Unchecked;
    Node* parent = nullptr;
    int row = 0;
    Nodes children;
};

ImportExportOutlineModel::ImportExportOutlineModel(QObject* parent)
    : QAbstractItemModel(parent)
{}

ImportExportOutlineModel::~ImportExportOutlineModel() = default;

void ImportExportOutlineModel::setItems(const QList<DisplayItem*>& items)
{
    const auto build = [](const auto& self, const QList<DisplayItem*>& from, Node* parent,
                          Nodes& into) -> void {
        for (DisplayItem* item : from) {
            if (!item || item->isDeleted() || !hasRow(item->entity()))
                continue;
            auto node = std::make_unique<Node>();
            node->entity = item->entity();
            node->title = item->title();
            node->item = item;
            node->own = item->isExported();
            node->follower = node->entity == Entity::List && parent;
            node->parent = parent;
            node->row = int(into.size());
            if (node->entity == Entity::Folder)
                self(self, item->children(), node.get(), node->children);
            into.push_back(std::move(node));
        }
    };
    beginResetModel();
    m_importMode = false;
    m_entries = {};
    m_nodes.clear();
    build(build, items, nullptr, m_nodes);
    updateStates(false);
    writeExportFlags();
    endResetModel();
}

void ImportExportOutlineModel::setEntries(const QJsonArray& entries)
{
    const auto build = [](const auto& self, const QJsonArray& from, Node* parent,
                          Nodes& into) -> void {
        for (const QJsonValue& element : from) {
            const QJsonObject entry = element.toObject();
            for (auto member = entry.begin(); member != entry.end(); ++member) {
                const std::optional<Entity> entity = rowEntity(member.key());
                if (!entity || !member.value().isObject())
                    continue;
                const QJsonObject attributes = member.value().toObject();
                auto node = std::make_unique<Node>();
                node->entity = *entity;
                const QJsonValue title = attributes.value(titleKey);
                node->title = title.isString() ? title.toString() : QString(noTitleText);
                node->own = isTrue(attributes.value(exportKey));
                node->follower = node->entity == Entity::List && parent;
                node->parent = parent;
                node->row = int(into.size());
                if (node->entity == Entity::Folder)
                    self(self, attributes.value(childrenKey).toArray(), node.get(), node->children);
                into.push_back(std::move(node));
            }
        }
    };
    beginResetModel();
    m_importMode = true;
    m_exportFlagsChanged = false;
    m_entries = entries;
    m_nodes.clear();
    build(build, entries, nullptr, m_nodes);
    updateStates(false);
    endResetModel();
}

QModelIndex ImportExportOutlineModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    const Nodes& nodes = parent.isValid() ? nodeAt(parent)->children : m_nodes;
    if (size_t(row) >= nodes.size())
        return {};
    return createIndex(row, 0, nodes[size_t(row)].get());
}

QModelIndex ImportExportOutlineModel::parent(const QModelIndex& index) const
{
    const Node* node = nodeAt(index);
    return node ? indexOf(node->parent) : QModelIndex();
}

int ImportExportOutlineModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    return int(parent.isValid() ? nodeAt(parent)->children.size() : m_nodes.size());
}

int ImportExportOutlineModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant ImportExportOutlineModel::data(const QModelIndex& index, int role) const
{
    const Node* node = nodeAt(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return node->title;
    case Qt::DecorationRole:
        return iconFor(node->entity);
    case Qt::CheckStateRole:
        return node->state;
    case Qt::ToolTipRole:
        if (node->follower)
            return tr("A list goes with the folder it is in.");
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags ImportExportOutlineModel::flags(const QModelIndex& index) const
{
    const Node* node = nodeAt(index);
    if (!node)
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!node->follower)
        flags |= Qt::ItemIsUserCheckable;
    if (node->children.empty())
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}

bool ImportExportOutlineModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !isCheckable(index))
        return false;
    Q_EMIT checkRequested(index, value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::CheckState ImportExportOutlineModel::checkState(const QModelIndex& index) const
{
    const Node* node = nodeAt(index);
    return node ? node->state : Qt::Unchecked;
}

bool ImportExportOutlineModel::isCheckable(const QModelIndex& index) const
{
    const Node* node = nodeAt(index);
    return node && !node->follower;
}

DisplayItem* ImportExportOutlineModel::itemAt(const QModelIndex& index) const
{
    const Node* node = nodeAt(index);
    return node ? node->item : nullptr;
}

QList<QModelIndex> ImportExportOutlineModel::allIndexes() const
{
    QList<QModelIndex> indexes;
    const auto collect = [&](const auto& self, const Nodes& nodes) -> void {
        for (const auto& node : nodes) {
            indexes.append(indexOf(node.get()));
            self(self, node->children);
        }
    };
    collect(collect, m_nodes);
    return indexes;
}

void ImportExportOutlineModel::setChecked(const QModelIndex& index, bool checked)
{
    Node* node = nodeAt(index);
    if (!node || node->follower)
        return;
    const auto give = [checked](const auto& self, Node& to) -> void {
        to.own = checked;
        for (const auto& child : to.children)
            self(self, *child);
    };
    give(give, *node);
    updateStates();
    writeExportFlags();
}

void ImportExportOutlineModel::setAllChecked(bool checked)
{
    const auto give = [checked](const auto& self, const Nodes& nodes) -> void {
        for (const auto& node : nodes) {
            node->own = checked;
            self(self, node->children);
        }
    };
    give(give, m_nodes);
    updateStates();
    writeExportFlags();
}

int ImportExportOutlineModel::checkedRowCount() const
{
    int count = 0;
    const auto walk = [&](const auto& self, const Nodes& nodes) -> void {
        for (const auto& node : nodes) {
            count += !node->follower && node->state == Qt::Checked;
            self(self, node->children);
        }
    };
    walk(walk, m_nodes);
    return count;
}

int ImportExportOutlineModel::uncheckedRowCount() const
{
    int count = 0;
    const auto walk = [&](const auto& self, const Nodes& nodes) -> void {
        for (const auto& node : nodes) {
            count += !node->follower && node->state != Qt::Checked;
            self(self, node->children);
        }
    };
    walk(walk, m_nodes);
    return count;
}

bool ImportExportOutlineModel::hasChosenRows() const
{
    return std::any_of(m_nodes.cbegin(), m_nodes.cend(),
                       [](const auto& node) { return node->state != Qt::Unchecked; });
}

bool ImportExportOutlineModel::isEverythingChosen() const
{
    return !m_nodes.empty() && std::all_of(m_nodes.cbegin(), m_nodes.cend(), [](const auto& node) {
        return node->state == Qt::Checked;
    });
}

QJsonArray ImportExportOutlineModel::entries() const
{
    return rebuild(m_entries, m_nodes, false);
}

QJsonArray ImportExportOutlineModel::chosenEntries() const
{
    return rebuild(m_entries, m_nodes, true);
}

ImportExportOutlineModel::Node* ImportExportOutlineModel::nodeAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<Node*>(index.internalPointer());
}

QModelIndex ImportExportOutlineModel::indexOf(const Node* node) const
{
    return node ? createIndex(node->row, 0, const_cast<Node*>(node)) : QModelIndex();
}

void ImportExportOutlineModel::updateStates(bool notify)
{
    QList<const Node*> changed;
    const auto update = [&changed](const auto& self, Node& node) -> void {
        const Qt::CheckState before = node.state;
        bool choosable = false;
        bool allOn = true;
        bool allOff = true;
        for (const auto& child : node.children) {
            if (child->follower)
                continue;
            self(self, *child);
            choosable = true;
            allOn = allOn && child->state == Qt::Checked;
            allOff = allOff && child->state == Qt::Unchecked;
        }
        if (choosable)
            node.state = allOn ? Qt::Checked : allOff ? Qt::Unchecked : Qt::PartiallyChecked;
        else
            node.state = node.own ? Qt::Checked : Qt::Unchecked;
        for (const auto& child : node.children) {
            if (!child->follower)
                continue;
            const Qt::CheckState was = child->state;
            child->state = node.state == Qt::Unchecked ? Qt::Unchecked : Qt::Checked;
            child->own = child->state == Qt::Checked;
            if (child->state != was)
                changed.append(child.get());
        }
        if (node.state != before)
            changed.append(&node);
    };
    for (const auto& node : m_nodes)
        update(update, *node);
    if (!notify)
        return;
    for (const Node* node : changed) {
        const QModelIndex index = indexOf(node);
        Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    }
}

void ImportExportOutlineModel::writeExportFlags()
{
    m_exportFlagsChanged = false;
    if (m_importMode)
        return;
    const auto write = [this](const auto& self, const Nodes& nodes) -> void {
        for (const auto& node : nodes) {
            // Mixed folders are flagged too: the writer then writes them, and leaves out
            // whatever inside them is not flagged.
            const bool flag = node->state != Qt::Unchecked;
            if (node->item && node->item->isExported() != flag) {
                node->item->setExportFlag(flag);
                m_exportFlagsChanged = true;
            }
            self(self, node->children);
        }
    };
    write(write, m_nodes);
}

QJsonArray ImportExportOutlineModel::rebuild(const QJsonArray& entries, const Nodes& nodes,
                                             bool onlyChosen) const
{
    // Walks the entries in the order the rows were made from them.
    QJsonArray result;
    size_t next = 0;
    for (const QJsonValue& element : entries) {
        const QJsonObject entry = element.toObject();
        QJsonObject kept;
        for (auto member = entry.begin(); member != entry.end(); ++member) {
            const std::optional<Entity> entity = rowEntity(member.key());
            if (!entity || !member.value().isObject() || next >= nodes.size()) {
                kept.insert(member.key(), member.value());
                continue;
            }
            const Node& node = *nodes[next++];
            if (onlyChosen && node.state == Qt::Unchecked)
                continue;
            QJsonObject attributes = member.value().toObject();
            attributes.insert(exportKey, node.state != Qt::Unchecked);
            if (node.entity == Entity::Folder)
                attributes.insert(childrenKey, rebuild(attributes.value(childrenKey).toArray(),
                                                       node.children, onlyChosen));
            kept.insert(member.key(), attributes);
        }
        if (!kept.isEmpty())
            result.append(kept);
    }
    return result;
}
