#pragma once

#include "model/DisplayItemObserver.h"

#include <QAbstractItemModel>
#include <QColor>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QSet>

#include <optional>

class DisplayItem;
class Root;

// The sidebar tree as an item model: the root's folders, boards and lists (the root itself is
// not shown; a board never unfolds). The model keeps the children each shown node had when
// the view last heard of them and follows every announced change of `children` with the
// matching row insertions, removals and moves, so the view never polls the graph and keeps
// its selection and expansion across moves. Titles and badges are refreshed by reloadData().
class SourceOutlineModel final : public QAbstractItemModel, private DisplayItemObserver
{
    Q_OBJECT

public:
    // The drag type of sidebar rows and what every dragged row writes under it.
    static constexpr auto dragType = "sourceItem.displayObject";
    static constexpr auto dragPayload = "allTypes";

    enum Role
    {
        BadgeTextRole = Qt::UserRole + 1, // the count as text; invalid when the row has none
        BadgeColourRole,                  // QColor of the badge
        ItemColourRole,                   // QColor of the item's palette colour
    };

    // Where a validated drop goes: into `target` (the root for the top level) at `index`
    // (-1 for the end).
    struct DropTarget
    {
        DisplayItem* target = nullptr;
        qsizetype index = -1;
    };

    explicit SourceOutlineModel(QObject* parent = nullptr);
    ~SourceOutlineModel() override;

    void setRootObject(Root* root);
    Root* rootObject() const { return m_root; }

    DisplayItem* itemForIndex(const QModelIndex& index) const;
    QModelIndex indexForItem(const DisplayItem* item) const;

    // Brings the rows in line with the graph and recomputes titles, icons and badges.
    void reloadData();

    // The nodes of the sidebar drag in progress, remembered when it starts (mimeData()).
    const QList<DisplayItem*>& draggedItems() const { return m_draggedItems; }
    void clearDraggedItems() { m_draggedItems.clear(); }
    // The drop rules; nothing when the drop is refused.
    std::optional<DropTarget> validateDrop(const QMimeData* data, int row,
                                           const QModelIndex& parent) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

Q_SIGNALS:
    // `items` were dropped into `target`.
    void itemsDropped(DisplayItem* target, const QList<DisplayItem*>& items);

private:
    struct Badge
    {
        QString text;
        QColor colour;
    };

    void displayItemChanged(DisplayItem* item, const KeyChange& change) override;
    static bool hasRows(const DisplayItem* item);
    void adopt(DisplayItem* parent, DisplayItem* child);
    void forget(DisplayItem* item);
    void syncChildren(DisplayItem* owner);
    void syncSubtree(DisplayItem* owner);
    void emitDataChangedBelow(DisplayItem* owner);
    QModelIndex indexOfShown(DisplayItem* item) const;
    const Badge* badgeFor(const DisplayItem* item) const;
    QList<qsizetype> treePath(const DisplayItem* item) const;

    Root* m_root = nullptr;
    // The children of each shown node with rows, and the parent of each shown node, as the
    // view knows them.
    QHash<const DisplayItem*, QList<DisplayItem*>> m_rows;
    QHash<const DisplayItem*, DisplayItem*> m_parents;
    QSet<DisplayItem*> m_observed;
    mutable QList<DisplayItem*> m_draggedItems;
    mutable QHash<const DisplayItem*, std::optional<Badge>> m_badges;
    QIcon m_folderIcon;
    QIcon m_kanbanIcon;
    QIcon m_listIcon;
};
