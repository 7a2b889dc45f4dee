#include "KanbanColumn.h"

#include "Kanban.h"
#include "ListItem.h"

const Relationships::Link<KanbanColumn, ListItem> KanbanColumn::itemLink{
    u"item", &KanbanColumn::m_item, &ListItem::m_column};

void KanbanColumn::setTitle(const QString& title)
{
    if (m_title == title && m_title.isNull() == title.isNull())
        return;
    m_title = title;
    markChanged();
}

void KanbanColumn::setItem(const QList<ListItem*>& items)
{
    Relationships::setAll(itemLink, this, items);
}

void KanbanColumn::insertItem(ListItem* item, qsizetype index)
{
    Relationships::insert(itemLink, this, item, index);
}

void KanbanColumn::removeItem(ListItem* item)
{
    Relationships::remove(itemLink, this, item);
}

QList<StoredObject*> KanbanColumn::cascadedObjects() const
{
    QList<StoredObject*> objects;
    for (ListItem* item : m_item) {
        if (!item->list())
            objects.append(item);
    }
    return objects;
}

void KanbanColumn::unlinkRelationships()
{
    setKanban(nullptr);
    setItem({});
}

void KanbanColumn::setKanban(Kanban* kanban)
{
    Relationships::setOwner(Kanban::columnLink, this, kanban);
}
