#pragma once

#include "DisplayItem.h"

class ListItem;

// A simple list of items in the sidebar.
class List final : public DisplayItem
{
public:
    static constexpr Entity staticEntity = Entity::List;
    Entity entity() const override { return staticEntity; }

    const QList<ListItem*>& item() const { return m_item; }
    void setItem(const QList<ListItem*>& items);
    void insertItem(ListItem* item, qsizetype index = -1);
    void removeItem(ListItem* item);

    // Items that are not archived (flag present and false) and were not sent to a board.
    int numberOfNonArchived() const;

private:
    friend class ObjectContext;
    friend class ListItem;
    List() = default;

    // Items also placed on a board stay there when the list goes.
    QList<StoredObject*> cascadedObjects() const override;
    void unlinkRelationships() override;

    static const Relationships::Link<List, ListItem> itemLink;

    QList<ListItem*> m_item;
};
