#pragma once

#include "Relationships.h"
#include "StoredObject.h"

#include <QString>

class Kanban;
class ListItem;

// A column of one board, holding its cards top to bottom.
class KanbanColumn final : public StoredObject
{
public:
    static constexpr Entity staticEntity = Entity::KanbanColumn;
    Entity entity() const override { return staticEntity; }

    QString title() const { return m_title; }
    void setTitle(const QString& title);

    const QList<ListItem*>& item() const { return m_item; }
    void setItem(const QList<ListItem*>& items);
    void insertItem(ListItem* item, qsizetype index = -1);
    void removeItem(ListItem* item);

    Kanban* kanban() const { return m_kanban; }
    void setKanban(Kanban* kanban);

private:
    friend class ObjectContext;
    friend class Kanban;
    friend class ListItem;
    KanbanColumn() = default;

    // Cards that are also items of a list stay with the list.
    QList<StoredObject*> cascadedObjects() const override;
    void unlinkRelationships() override;

    static const Relationships::Link<KanbanColumn, ListItem> itemLink;

    QString m_title;
    QList<ListItem*> m_item;
    Kanban* m_kanban = nullptr;
};
