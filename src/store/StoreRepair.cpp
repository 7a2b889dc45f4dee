#include "StoreRepair.h"

#include "DataUpgrades.h"
#include "GraphCheck.h"
#include "ObjectContext.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "model/Tag.h"

#include <algorithm>

namespace {

QString named(const StoredObject* object, const QString& title)
{
    return QStringLiteral("%1 \"%2\"").arg(GraphCheck::describe(object), title);
}

// The children of every further Root move to the first one, which is the one shown.
void mergeRoots(const QList<Root*>& roots, DataChanges& changes)
{
    for (qsizetype i = 1; i < roots.size(); ++i) {
        for (DisplayItem* child : roots[i]->children())
            changes.attachNode(
                child, roots[0],
                QStringLiteral("%1 was moved from the second Root %2 to the top "
                               "of the sidebar.")
                    .arg(named(child, child->title()), GraphCheck::describe(roots[i])));
        changes.deleteEmpty(
            roots[i],
            QStringLiteral("The second Root %1 was removed.").arg(GraphCheck::describe(roots[i])));
    }
}

void attachDetachedNodes(ObjectContext& context, Root* root, DataChanges& changes)
{
    for (DisplayItem* node : context.fetch<DisplayItem>()) {
        if (node->parent() || node->entity() == Entity::Root || node->entity() == Entity::Tag)
            continue;
        changes.attachNode(node, root,
                           QStringLiteral("%1 was cut off from the sidebar; it was put at its "
                                          "top level.")
                               .arg(named(node, node->title())));
    }
}

void recoverDetachedColumns(ObjectContext& context, DataChanges& changes)
{
    for (KanbanColumn* column : context.fetch<KanbanColumn>()) {
        if (column->kanban())
            continue;
        changes.recoverColumn(column,
                              QStringLiteral("%1 belonged to no board; it was put on board \"%2\".")
                                  .arg(named(column, column->title()),
                                       QLatin1String(DataChanges::recoveredBoardTitle)));
    }
}

// A tag belongs to the board its cards are on.
void attachDetachedTags(ObjectContext& context, DataChanges& changes)
{
    for (Tag* tag : context.fetch<Tag>()) {
        if (tag->kanban())
            continue;
        if (tag->items().isEmpty()) {
            changes.deleteEmpty(tag, QStringLiteral("%1 belonged to no board and no card carried "
                                                    "it; it was removed.")
                                         .arg(named(tag, tag->name())));
            continue;
        }
        // The carrying cards in the store's order, so that the choice does not vary.
        QList<ListItem*> cards = tag->items().values();
        std::sort(cards.begin(), cards.end(), [](const ListItem* a, const ListItem* b) {
            return a->objectNumber() < b->objectNumber();
        });
        for (const ListItem* card : std::as_const(cards)) {
            Kanban* board = card->column() ? card->column()->kanban() : nullptr;
            if (!board)
                continue;
            changes.attachTag(tag, board,
                              QStringLiteral("%1 belonged to no board; it now belongs to board "
                                             "\"%2\", which has a card that carries it.")
                                  .arg(named(tag, tag->name()), board->title()));
            break;
        }
    }
}

} // namespace

void StoreRepair::planStructure(ObjectContext& context, DataChanges& changes)
{
    const QList<Root*> roots = context.fetch<Root>();
    if (roots.isEmpty())
        return; // the next start of the application makes one
    mergeRoots(roots, changes);
    attachDetachedNodes(context, roots.first(), changes);
    recoverDetachedColumns(context, changes);
    attachDetachedTags(context, changes);
}

DataChanges StoreRepair::plan(ObjectContext& context)
{
    DataChanges changes(context);
    planStructure(context, changes);
    if (!context.fetch<Root>({}, 1).isEmpty())
        DataUpgrades::attachOrphanedListItems(context, DataUpgrades::Orphans::Detached, changes);
    return changes;
}

QStringList StoreRepair::repair(ObjectContext& context)
{
    QStringList done;
    const auto run = [&done](DataChanges&& changes) {
        changes.apply();
        done += changes.descriptions();
    };
    // The tree and the tags first, so that an orphan finds its tag's board; then the orphans;
    // then the tags again, which follow cards that were recovered.
    for (int pass = 0; pass < 3 && !plan(context).isEmpty(); ++pass) {
        DataChanges structure(context);
        planStructure(context, structure);
        run(std::move(structure));
        if (!context.fetch<Root>({}, 1).isEmpty())
            run(DataUpgrades::attachOrphanedListItems(context, DataUpgrades::Orphans::Detached));
    }
    return done;
}
