#include "List.h"

#include "ListItem.h"

#include <algorithm>

const Relationships::Link<List, ListItem> List::itemLink{u"item", &List::m_item, &ListItem::m_list};

void List::setItem(const QList<ListItem*>& items)
{
    Relationships::setAll(itemLink, this, items);
}

void List::insertItem(ListItem* item, qsizetype index)
{
    Relationships::insert(itemLink, this, item, index);
}

void List::removeItem(ListItem* item)
{
    Relationships::remove(itemLink, this, item);
}

QList<StoredObject*> List::cascadedObjects() const
{
    QList<StoredObject*> objects = DisplayItem::cascadedObjects();
    for (ListItem* item : m_item) {
        if (!item->column())
            objects.append(item);
    }
    return objects;
}

void List::unlinkRelationships()
{
    DisplayItem::unlinkRelationships();
    setItem({});
}

int List::numberOfNonArchived() const
{
    return int(std::count_if(m_item.cbegin(), m_item.cend(), [](const ListItem* item) {
        return item->archived() == false && !item->column();
    }));
}
