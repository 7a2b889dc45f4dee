#include "Tag.h"

#include "Kanban.h"
#include "ListItem.h"
#include "store/ObjectContext.h"

void Tag::setName(const QString& name)
{
    if (m_name == name && m_name.isNull() == name.isNull())
        return;
    m_name = name;
    markChanged();
}

void Tag::setKanban(Kanban* kanban)
{
    Relationships::setOwner(Kanban::tagsLink, this, kanban);
}

void Tag::unlinkRelationships()
{
    DisplayItem::unlinkRelationships();
    const QSet<ListItem*> items = m_items;
    for (ListItem* item : items) {
        QList<Tag*> tags = item->tags();
        tags.removeAll(this);
        item->setTags(tags);
    }
    setKanban(nullptr);
}

void Tag::willSave()
{
    if (m_items.isEmpty() && !isDeleted())
        context()->deleteObject(this);
}
