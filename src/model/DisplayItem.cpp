#include "DisplayItem.h"

#include "DisplayItemObserver.h"

const Relationships::Link<DisplayItem, DisplayItem> DisplayItem::childrenLink{
    u"children", &DisplayItem::m_children, &DisplayItem::m_parent};

void DisplayItem::setChildren(const QList<DisplayItem*>& children)
{
    QList<DisplayItem*> acceptable = children;
    acceptable.removeIf([this](const DisplayItem* child) { return isSelfOrAncestor(child); });
    Relationships::setAll(childrenLink, this, acceptable);
}

void DisplayItem::insertChild(DisplayItem* child, qsizetype index)
{
    if (!isSelfOrAncestor(child))
        Relationships::insert(childrenLink, this, child, index);
}

void DisplayItem::removeChild(DisplayItem* child)
{
    Relationships::remove(childrenLink, this, child);
}

void DisplayItem::setParent(DisplayItem* parent)
{
    if (!parent || !parent->isSelfOrAncestor(this))
        Relationships::setOwner(childrenLink, this, parent);
}

bool DisplayItem::isSelfOrAncestor(const DisplayItem* item) const
{
    if (item && item->entity() == Entity::Root)
        return true; // the root is every node's ancestor, and never anyone's child
    for (const DisplayItem* node = this; node; node = node->m_parent) {
        if (node == item)
            return true;
    }
    return false;
}

void DisplayItem::setTitle(const QString& title)
{
    if (m_title == title && m_title.isNull() == title.isNull())
        return;
    m_title = title;
    markChanged();
}

void DisplayItem::setColour(qint16 colour)
{
    if (m_colour == colour)
        return;
    m_colour = colour;
    markChanged();
}

void DisplayItem::setBgImage(const QString& name)
{
    if (m_bgImage == name && m_bgImage.isNull() == name.isNull())
        return;
    m_bgImage = name;
    markChanged();
}

void DisplayItem::setExportFlag(std::optional<bool> value)
{
    if (m_export == value)
        return;
    m_export = value;
    markChanged();
}

QList<StoredObject*> DisplayItem::cascadedObjects() const
{
    return {m_children.cbegin(), m_children.cend()};
}

void DisplayItem::unlinkRelationships()
{
    setParent(nullptr);
    setChildren({});
}

void DisplayItem::addObserver(DisplayItemObserver* observer)
{
    if (!m_observers.contains(observer))
        m_observers.append(observer);
}

void DisplayItem::removeObserver(DisplayItemObserver* observer)
{
    m_observers.removeAll(observer);
}

void DisplayItem::relationshipWillChange(const RelationshipChange& change)
{
    announce(change, true);
}

void DisplayItem::relationshipDidChange(const RelationshipChange& change)
{
    announce(change, false);
}

void DisplayItem::announce(const RelationshipChange& change, bool prior)
{
    if (change.key != u"children" || m_observers.isEmpty())
        return;
    const KeyChange announcements[] = {
        {u"childrenArray", change.kind, change.indexes, prior},
        {u"isLeaf", RelationshipChange::Kind::Setting, {}, prior},
        {u"children", change.kind, change.indexes, prior},
    };
    // Observers may come and go while they are told.
    const QList<DisplayItemObserver*> observers = m_observers;
    for (const KeyChange& announcement : announcements) {
        for (DisplayItemObserver* observer : observers)
            observer->displayItemChanged(this, announcement);
    }
}
