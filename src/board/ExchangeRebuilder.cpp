#include "ExchangeRebuilder.h"

#include "interchange/JSONReader.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"

#include <QWidget>

namespace {
// Puts each list's own card back where the reader built a copy of it.
void takeBackListItems(ObjectContext& context, const QHash<QString, StoredObject*>& built,
                       QList<StoredObject*>& objects)
{
    for (auto it = built.cbegin(); it != built.cend(); ++it) {
        if (it.value()->entity() != Entity::ListItem)
            continue;
        auto* copy = static_cast<ListItem*>(it.value());
        StoredObject* found = context.objectForUri(it.key());
        if (!found || found == copy || found->entity() != Entity::ListItem)
            continue;
        auto* original = static_cast<ListItem*>(found);
        if (!original->list() || original->column())
            continue;
        if (KanbanColumn* column = copy->column()) {
            QList<ListItem*> items = column->item();
            items.replace(items.indexOf(copy), original);
            column->setItem(items);
        }
        if (const qsizetype at = objects.indexOf(copy); at >= 0)
            objects.replace(at, original);
        context.deleteObject(copy);
    }
}
} // namespace

std::optional<QList<StoredObject*>> ExchangeRebuilder::rebuild(const QJsonArray& dictionaries,
                                                               Purpose purpose, QString* error)
{
    ObjectContext* context = AppDelegate::sharedContext();
    JSONReader& reader = JSONReader::shared();
    reader.setContext(context);
    reader.clearImportedObjects();
    std::optional<QList<StoredObject*>> objects =
        reader.makeObjectsFromArrayOfDictionaryObjects(dictionaries, error);
    if (!objects || !context)
        return objects;
    const QHash<QString, StoredObject*> built = reader.importedObjects();
    reader.clearImportedObjects();
    takeBackListItems(*context, built, *objects);
    if (purpose == Purpose::Undo)
        context->noteRebuilt(built);
    return objects;
}
