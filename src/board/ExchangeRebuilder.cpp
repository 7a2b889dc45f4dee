#include "ExchangeRebuilder.h"

#include "interchange/JSONReader.h"
#include "model/KanbanColumn.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"

#include <QWidget> // AppDelegate.h holds a QPointer<QWidget>

namespace {
// The card still alive that a built copy stands for, when the copy is to take a place the card
// has lost: a column (the copy is in a rebuilt column, or is a card to be put into one), or, for
// undo, a list. A paste takes back only a list's card that left its board.
ListItem* originalToTakeBack(ObjectContext& context, const QString& uri, const ListItem* copy,
                             bool topLevel, ExchangeRebuilder::Purpose purpose)
{
    StoredObject* found = context.objectForUri(uri);
    if (!found || found == copy || found->entity() != Entity::ListItem)
        return nullptr;
    auto* original = static_cast<ListItem*>(found);
    const bool forColumn = (topLevel || copy->column()) && !original->column();
    if (purpose == ExchangeRebuilder::Purpose::Paste)
        return forColumn && original->list() ? original : nullptr;
    const bool forList = copy->list() && !original->list();
    return forColumn || forList ? original : nullptr;
}

void takeBackLiveItems(ObjectContext& context, const QHash<QString, StoredObject*>& built,
                       QList<StoredObject*>& objects, ExchangeRebuilder::Purpose purpose)
{
    for (auto it = built.cbegin(); it != built.cend(); ++it) {
        if (it.value()->entity() != Entity::ListItem)
            continue;
        auto* copy = static_cast<ListItem*>(it.value());
        const qsizetype at = objects.indexOf(copy);
        ListItem* original = originalToTakeBack(context, it.key(), copy, at >= 0, purpose);
        if (!original)
            continue;
        if (KanbanColumn* column = copy->column()) {
            QList<ListItem*> items = column->item();
            items.replace(items.indexOf(copy), original);
            column->setItem(items);
        }
        if (List* list = copy->list()) {
            QList<ListItem*> items = list->item();
            items.replace(items.indexOf(copy), original);
            list->setItem(items);
        }
        if (at >= 0)
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
    std::optional<QList<StoredObject*>> objects = reader.makeObjectsFromArrayOfDictionaryObjects(
        dictionaries, error,
        purpose == Purpose::Undo ? JSONReader::Identities::OfDeleted : JSONReader::Identities::New);
    if (!objects || !context)
        return objects;
    const QHash<QString, StoredObject*> built = reader.importedObjects();
    reader.clearImportedObjects();
    takeBackLiveItems(*context, built, *objects, purpose);
    if (purpose == Purpose::Undo)
        context->noteRebuilt(built);
    return objects;
}
