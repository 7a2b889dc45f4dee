#pragma once

#include "DisplayItem.h"

#include <QSet>

class Kanban;
class ListItem;

// A named, coloured tag that belongs to one board.
class Tag final : public DisplayItem
{
public:
    static constexpr Entity staticEntity = Entity::Tag;
    Entity entity() const override { return staticEntity; }

    QString name() const { return m_name; }
    void setName(const QString& name);
    QString title() const override { return m_name; }

    // The cards carrying this tag; the inverse of ListItem::tags, kept in step by it.
    const QSet<ListItem*>& items() const { return m_items; }

    Kanban* kanban() const { return m_kanban; }
    void setKanban(Kanban* kanban);

    // A tag that no card carries any more disappears at the next save.
    void willSave() override;

private:
    friend class ObjectContext;
    friend class Kanban;
    friend class ListItem;
    Tag() = default;

    void unlinkRelationships() override;

    QString m_name;
    QSet<ListItem*> m_items;
    Kanban* m_kanban = nullptr;
};
