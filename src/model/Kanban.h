#pragma once

#include "DisplayItem.h"

class KanbanColumn;
class ListItem;
class Tag;

// A board: ordered columns of cards, and the tags its cards may carry.
class Kanban final : public DisplayItem
{
public:
    static constexpr Entity staticEntity = Entity::Kanban;
    Entity entity() const override { return staticEntity; }

    const QList<KanbanColumn*>& column() const { return m_column; }
    void setColumn(const QList<KanbanColumn*>& columns);
    void insertColumn(KanbanColumn* column, qsizetype index = -1);
    void removeColumn(KanbanColumn* column);

    const QList<Tag*>& tags() const { return m_tags; }
    void setTags(const QList<Tag*>& tags);
    void addTag(Tag* tag);

    // A board never unfolds in the sidebar.
    bool isItemExpandable() const override { return false; }

    // Counts over every card of every column, recomputed at each call. A card whose archived
    // flag is absent counts as neither archived nor non-archived.
    int numberOfItemsWithTag(const Tag* tag) const;
    int numberOfArchived() const;
    int numberOfNonArchived() const;
    int numberOfDone() const;
    int numberOfNotDone() const;
    int numberOfOverdueCards() const;
    int numberOfDueSoonCards() const;

private:
    friend class ObjectContext;
    friend class KanbanColumn;
    friend class Tag;
    Kanban() = default;

    QList<StoredObject*> cascadedObjects() const override;
    void unlinkRelationships() override;

    static const Relationships::Link<Kanban, KanbanColumn> columnLink;
    static const Relationships::Link<Kanban, Tag> tagsLink;
    template <class Predicate>
    int countCards(Predicate predicate) const;

    QList<KanbanColumn*> m_column;
    QList<Tag*> m_tags;
};
