#pragma once

#include "Relationships.h"
#include "StoredObject.h"

#include <QList>
#include <QString>

#include <optional>

class DisplayItemObserver;

// Everything that appears in the sidebar: folders, boards, lists and (never shown) tags.
class DisplayItem : public StoredObject
{
public:
    static constexpr Entity staticEntity = Entity::DisplayItem;

    // Ordered children in display order. Only folders (and the root) are given children.
    const QList<DisplayItem*>& children() const { return m_children; }
    void setChildren(const QList<DisplayItem*>& children);
    void insertChild(DisplayItem* child, qsizetype index = -1);
    void removeChild(DisplayItem* child);
    DisplayItem* parent() const { return m_parent; }
    // Leaves the old parent and becomes the new parent's last child.
    void setParent(DisplayItem* parent);
    // Whether `item` is this node or one of its ancestors (the Root counts as everyone's).
    // Such an item is never made a child (it would cut its subtree off the tree): the setters
    // above leave it out.
    bool isSelfOrAncestor(const DisplayItem* item) const;

    // A copy of `children`; setting it replaces `children` in one announced change.
    QList<DisplayItem*> childrenArray() const { return m_children; }
    void setChildrenArray(const QList<DisplayItem*>& children) { setChildren(children); }
    bool isLeaf() const { return m_children.isEmpty(); }
    virtual bool isItemExpandable() const { return !m_children.isEmpty(); }

    // Folders, lists and boards have a title; a tag answers its name.
    virtual QString title() const { return m_title; }
    void setTitle(const QString& title);

    qint16 colour() const { return m_colour; }
    void setColour(qint16 colour);
    QString bgImage() const { return m_bgImage; } // null when absent
    void setBgImage(const QString& name);
    // Check state in the import/export selection; absent counts as unchecked.
    std::optional<bool> exportFlag() const { return m_export; }
    bool isExported() const { return m_export.value_or(false); }
    void setExportFlag(std::optional<bool> value);

    void addObserver(DisplayItemObserver* observer);
    void removeObserver(DisplayItemObserver* observer);

protected:
    DisplayItem() = default;

    QList<StoredObject*> cascadedObjects() const override;
    void unlinkRelationships() override;
    void relationshipWillChange(const RelationshipChange& change) override;
    void relationshipDidChange(const RelationshipChange& change) override;

private:
    static const Relationships::Link<DisplayItem, DisplayItem> childrenLink;
    void announce(const RelationshipChange& change, bool prior);

    QList<DisplayItem*> m_children;
    DisplayItem* m_parent = nullptr;
    QString m_title;
    QString m_bgImage;
    std::optional<bool> m_export;
    qint16 m_colour = 0;
    QList<DisplayItemObserver*> m_observers;
};
