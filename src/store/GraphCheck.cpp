#include "GraphCheck.h"

#include "ObjectContext.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "model/Tag.h"

#include <QHash>
#include <QSet>

namespace {

class Checker
{
public:
    explicit Checker(const ObjectContext& context)
        : m_context(context)
    {}

    QStringList run()
    {
        checkRoots();
        checkCycles();
        for (DisplayItem* item : m_context.fetch<DisplayItem>())
            checkOwnership(item, item->children(), &DisplayItem::parent, u"children");
        for (List* list : m_context.fetch<List>())
            checkOwnership(list, list->item(), &ListItem::list, u"list items");
        for (Kanban* board : m_context.fetch<Kanban>()) {
            checkOwnership(board, board->column(), &KanbanColumn::kanban, u"columns");
            checkOwnership(board, board->tags(), &Tag::kanban, u"tags");
        }
        for (KanbanColumn* column : m_context.fetch<KanbanColumn>())
            checkOwnership(column, column->item(), &ListItem::column, u"column items");
        checkInverses();
        checkTags();
        checkReachable();
        return m_problems;
    }

private:
    void report(const QString& problem) { m_problems.append(problem); }

    void checkRoots()
    {
        const QList<Root*> roots = m_context.fetch<Root>();
        if (roots.isEmpty()) {
            report(QStringLiteral("There is no Root."));
            return;
        }
        m_root = roots.first();
        for (qsizetype i = 1; i < roots.size(); ++i)
            report(QStringLiteral("%1 is a second Root.").arg(GraphCheck::describe(roots[i])));
        for (Root* root : roots) {
            if (root->parent())
                report(QStringLiteral("%1 has a parent, %2.")
                           .arg(GraphCheck::describe(root), GraphCheck::describe(root->parent())));
        }
    }

    void checkCycles()
    {
        const QList<DisplayItem*> items = m_context.fetch<DisplayItem>();
        QSet<const DisplayItem*> reported;
        for (const DisplayItem* item : items) {
            // With one parent each, a walk longer than the number of items has gone round.
            qsizetype steps = 0;
            const DisplayItem* p = item->parent();
            for (; p && p != item && steps <= items.size(); p = p->parent())
                ++steps;
            if (p && !reported.contains(item)) {
                reported.insert(item);
                report(QStringLiteral("%1 is its own ancestor (a cycle in the sidebar tree).")
                           .arg(GraphCheck::describe(item)));
            }
        }
    }

    // Every member of an ordered relationship names its owner back, is alive, and is listed
    // by one owner only.
    template <class Owner, class Member, class Inverse>
    void checkOwnership(const Owner* owner, const QList<Member*>& members,
                        Inverse* (Member::*inverse)() const, QStringView relation)
    {
        QHash<const StoredObject*, const StoredObject*>& listed = m_listedBy[relation.toString()];
        for (const Member* member : members) {
            if (!member) {
                report(QStringLiteral("%1 lists a missing object among its %2.")
                           .arg(GraphCheck::describe(owner), relation));
                continue;
            }
            if (member->isDeleted())
                report(
                    QStringLiteral("%1 lists the deleted %2 among its %3.")
                        .arg(GraphCheck::describe(owner), GraphCheck::describe(member), relation));
            if (const StoredObject* first = listed.value(member)) {
                report(QStringLiteral("%1 is among the %2 of both %3 and %4.")
                           .arg(GraphCheck::describe(member), relation, GraphCheck::describe(first),
                                GraphCheck::describe(owner)));
                continue;
            }
            listed.insert(member, owner);
            const StoredObject* back = (member->*inverse)();
            if (back != owner)
                report(QStringLiteral("%1 is among the %2 of %3 but names %4 as its owner.")
                           .arg(GraphCheck::describe(member), relation, GraphCheck::describe(owner),
                                GraphCheck::describe(back)));
        }
    }

    // And the other way round: an object that names an owner is listed by that owner.
    template <class Member, class Inverse>
    void checkNamedOwner(const Member* member, Inverse* owner, QStringView relation)
    {
        if (!owner)
            return;
        if (owner->isDeleted())
            report(QStringLiteral("%1 names the deleted %2 as its owner.")
                       .arg(GraphCheck::describe(member), GraphCheck::describe(owner)));
        if (m_listedBy[relation.toString()].value(member) != owner)
            report(QStringLiteral("%1 names %2 as its owner, which does not list it.")
                       .arg(GraphCheck::describe(member), GraphCheck::describe(owner)));
    }

    void checkInverses()
    {
        for (DisplayItem* item : m_context.fetch<DisplayItem>())
            checkNamedOwner(item, item->parent(), u"children");
        for (KanbanColumn* column : m_context.fetch<KanbanColumn>())
            checkNamedOwner(column, column->kanban(), u"columns");
        for (Tag* tag : m_context.fetch<Tag>())
            checkNamedOwner(tag, tag->kanban(), u"tags");
        for (ListItem* card : m_context.fetch<ListItem>()) {
            // A card may be on a list and a board at once; each owner lists it separately.
            checkNamedOwner(card, card->list(), u"list items");
            checkNamedOwner(card, card->column(), u"column items");
        }
    }

    void checkTags()
    {
        for (ListItem* card : m_context.fetch<ListItem>()) {
            for (const Tag* tag : card->tags()) {
                if (tag->isDeleted())
                    report(QStringLiteral("%1 carries the deleted %2.")
                               .arg(GraphCheck::describe(card), GraphCheck::describe(tag)));
                if (!tag->items().contains(card))
                    report(QStringLiteral("%1 carries %2, whose items leave it out.")
                               .arg(GraphCheck::describe(card), GraphCheck::describe(tag)));
            }
        }
        for (Tag* tag : m_context.fetch<Tag>()) {
            for (const ListItem* card : tag->items()) {
                if (!card->tags().contains(tag))
                    report(QStringLiteral("%1 lists %2 among its items, which does not carry it.")
                               .arg(GraphCheck::describe(tag), GraphCheck::describe(card)));
            }
        }
    }

    // Everything hangs from the Root through the ordered relationships.
    void checkReachable()
    {
        QSet<const StoredObject*> reached;
        QList<const StoredObject*> queue;
        const auto visit = [&](const StoredObject* object) {
            if (object && !reached.contains(object)) {
                reached.insert(object);
                queue.append(object);
            }
        };
        visit(m_root);
        for (qsizetype i = 0; i < queue.size(); ++i) {
            const StoredObject* object = queue[i];
            if (object->isKindOf(Entity::DisplayItem)) {
                for (const DisplayItem* child : static_cast<const DisplayItem*>(object)->children())
                    visit(child);
            }
            if (object->entity() == Entity::List) {
                for (const ListItem* item : static_cast<const List*>(object)->item())
                    visit(item);
            } else if (object->entity() == Entity::Kanban) {
                const auto* board = static_cast<const Kanban*>(object);
                for (const KanbanColumn* column : board->column())
                    visit(column);
                for (const Tag* tag : board->tags())
                    visit(tag);
            } else if (object->entity() == Entity::KanbanColumn) {
                for (const ListItem* card : static_cast<const KanbanColumn*>(object)->item())
                    visit(card);
            }
        }
        for (const StoredObject* object : m_context.fetch(Entity::DisplayItem)) {
            if (object->entity() != Entity::Root && !reached.contains(object))
                report(QStringLiteral("%1 is detached: it cannot be reached from the Root.")
                           .arg(GraphCheck::describe(object)));
        }
        for (Entity entity : {Entity::KanbanColumn, Entity::ListItem}) {
            for (const StoredObject* object : m_context.fetch(entity)) {
                if (!reached.contains(object))
                    report(QStringLiteral("%1 is detached: it cannot be reached from the Root.")
                               .arg(GraphCheck::describe(object)));
            }
        }
    }

    const ObjectContext& m_context;
    const Root* m_root = nullptr;
    QHash<QString, QHash<const StoredObject*, const StoredObject*>> m_listedBy;
    QStringList m_problems;
};

} // namespace

QStringList GraphCheck::check(const ObjectContext& context, const QStringList& storeAnomalies)
{
    QStringList problems = Checker(context).run();
    for (const QString& anomaly : storeAnomalies)
        problems.append(QStringLiteral("Store: ") + anomaly);
    return problems;
}

QString GraphCheck::describe(const StoredObject* object)
{
    if (!object)
        return QStringLiteral("nothing");
    return entityName(object->entity()) + QStringLiteral(" p") +
           QString::number(object->objectNumber());
}
