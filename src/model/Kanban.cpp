#include "Kanban.h"

#include "Clock.h"
#include "DueSoonDefinition.h"
#include "KanbanColumn.h"
#include "ListItem.h"
#include "Tag.h"
#include "store/Defaults.h"

const Relationships::Link<Kanban, KanbanColumn> Kanban::columnLink{u"column", &Kanban::m_column,
                                                                   &KanbanColumn::m_kanban};
const Relationships::Link<Kanban, Tag> Kanban::tagsLink{u"tags", &Kanban::m_tags, &Tag::m_kanban};

void Kanban::setColumn(const QList<KanbanColumn*>& columns)
{
    Relationships::setAll(columnLink, this, columns);
}

void Kanban::insertColumn(KanbanColumn* column, qsizetype index)
{
    Relationships::insert(columnLink, this, column, index);
}

void Kanban::removeColumn(KanbanColumn* column)
{
    Relationships::remove(columnLink, this, column);
}

void Kanban::setTags(const QList<Tag*>& tags)
{
    Relationships::setAll(tagsLink, this, tags);
}

void Kanban::addTag(Tag* tag)
{
    Relationships::setOwner(tagsLink, tag, this);
}

QList<StoredObject*> Kanban::cascadedObjects() const
{
    QList<StoredObject*> objects = DisplayItem::cascadedObjects();
    objects.append(QList<StoredObject*>(m_column.cbegin(), m_column.cend()));
    objects.append(QList<StoredObject*>(m_tags.cbegin(), m_tags.cend()));
    return objects;
}

void Kanban::unlinkRelationships()
{
    DisplayItem::unlinkRelationships();
    setColumn({});
    setTags({});
}

template <class Predicate>
int Kanban::countCards(Predicate predicate) const
{
    int count = 0;
    for (const KanbanColumn* column : m_column) {
        for (const ListItem* card : column->item()) {
            if (predicate(*card))
                ++count;
        }
    }
    return count;
}

int Kanban::numberOfItemsWithTag(const Tag* tag) const
{
    return countCards([tag](const ListItem& card) {
        return card.archived() == false && card.tags().contains(tag);
    });
}

int Kanban::numberOfArchived() const
{
    return countCards([](const ListItem& card) { return card.archived() == true; });
}

int Kanban::numberOfNonArchived() const
{
    return countCards([](const ListItem& card) { return card.archived() == false; });
}

int Kanban::numberOfDone() const
{
    return countCards(
        [](const ListItem& card) { return card.done() == true && card.archived() == false; });
}

int Kanban::numberOfNotDone() const
{
    return countCards([](const ListItem& card) { return !card.isDone(); });
}

int Kanban::numberOfOverdueCards() const
{
    const QDateTime now = Clock::now();
    return countCards([&now](const ListItem& card) {
        return !card.isDone() && card.dueDate().isValid() && card.dueDate() < now;
    });
}

int Kanban::numberOfDueSoonCards() const
{
    const int definition = Defaults::standard().integer(Defaults::dueSoonDefinition);
    return countCards([definition](const ListItem& card) {
        return !card.isDone() && card.dueDate().isValid() && isDueSoon(card.dueDate(), definition);
    });
}
