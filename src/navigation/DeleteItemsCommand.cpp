#include "DeleteItemsCommand.h"

#include "board/ExchangeRebuilder.h"
#include "interchange/JSONWriter.h"
#include "model/DisplayItem.h"
#include "model/Root.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"

#include <QDebug>
#include <QHash>
#include <QJsonArray>
#include <QWidget>

#include <optional>

namespace {

using ExportMarks = QHash<QString, std::optional<bool>>;

void markSubtree(DisplayItem& item, ExportMarks& marks)
{
    if (item.isKindOf(Entity::Folder) || item.isKindOf(Entity::Kanban)) {
        marks.insert(item.context()->uriFor(&item), item.exportFlag());
        item.setExportFlag(true);
    }
    for (DisplayItem* child : item.children())
        markSubtree(*child, marks);
}

QJsonValue withMarks(const QJsonValue& value, const ExportMarks& marks);

QJsonObject entryWithMarks(const QJsonObject& entry, const ExportMarks& marks)
{
    QJsonObject result;
    for (auto it = entry.begin(); it != entry.end(); ++it) {
        QJsonObject attributes = it.value().toObject();
        for (auto member = attributes.begin(); member != attributes.end(); ++member) {
            if (member.value().isArray())
                member.value() = withMarks(member.value(), marks);
        }
        const auto mark =
            marks.constFind(attributes.value(QStringLiteral("objectIDURI")).toString());
        if (mark != marks.constEnd())
            attributes.insert(QStringLiteral("export"), mark->has_value()
                                                            ? QJsonValue(**mark)
                                                            : QJsonValue(QJsonValue::Null));
        result.insert(it.key(), attributes);
    }
    return result;
}

QJsonValue withMarks(const QJsonValue& value, const ExportMarks& marks)
{
    QJsonArray array;
    for (const QJsonValue& member : value.toArray())
        array.append(member.isObject() ? QJsonValue(entryWithMarks(member.toObject(), marks))
                                       : member);
    return array;
}

} // namespace

DeleteItemsCommand::DeleteItemsCommand(AppDelegate* appDelegate, const QList<DisplayItem*>& items)
    : QUndoCommand(QString::fromLatin1(actionName))
    , m_appDelegate(appDelegate)
    , m_items(items)
{}

void DeleteItemsCommand::redo()
{
    deleteDisplayItemsWithoutUndo();
}

void DeleteItemsCommand::undo()
{
    restoreDisplayItemsWithoutUndo();
}

QJsonObject DeleteItemsCommand::dictionaryOfSubtree(DisplayItem& item)
{
    // The writer leaves out boards and folders not marked for export; a deleted node must come
    // back whole, so the subtree is marked for the writer and the marks put back afterwards.
    ExportMarks marks;
    markSubtree(item, marks);
    const QJsonObject entry = JSONWriter::dictionaryFromObject(item);
    ObjectContext* context = item.context();
    for (auto it = marks.cbegin(); it != marks.cend(); ++it) {
        if (StoredObject* object = context->objectForUri(it.key()))
            static_cast<DisplayItem*>(object)->setExportFlag(it.value());
    }
    return entryWithMarks(entry, marks);
}

void DeleteItemsCommand::deleteDisplayItemsWithoutUndo()
{
    m_dictionaries.clear();
    m_deletedItemParents.clear();
    ObjectContext* context = m_appDelegate->managedObjectContext();
    for (DisplayItem* remembered : std::as_const(m_items)) {
        DisplayItem* item = ObjectContext::live(remembered);
        if (!item)
            continue;
        m_deletedItemParents.append(item->parent());
        m_dictionaries.append(dictionaryOfSubtree(*item));
        context->deleteObject(item);
    }
    m_items.clear();
    m_appDelegate->save();
}

void DeleteItemsCommand::restoreDisplayItemsWithoutUndo()
{
    QJsonArray entries;
    for (const QJsonObject& dictionary : std::as_const(m_dictionaries))
        entries.append(dictionary);
    QString error;
    // Steps that remember a node of this subtree find its rebuilt self from now on; a list's
    // items that stayed on a board come back themselves.
    const auto rebuilt =
        ExchangeRebuilder::rebuild(entries, ExchangeRebuilder::Purpose::Undo, &error);
    if (!rebuilt) {
        qWarning() << "The deleted items could not be rebuilt:" << error;
        return;
    }
    m_items.clear();
    for (qsizetype i = 0; i < rebuilt->size(); ++i) {
        auto* item = static_cast<DisplayItem*>(rebuilt->at(i));
        if (DisplayItem* parent = resolveParent(m_deletedItemParents.value(i)))
            parent->insertChild(item);
        m_items.append(item);
    }
    m_dictionaries.clear();
    m_deletedItemParents.clear();
    m_appDelegate->save();
}

// The remembered parent, or what replaced it when it was itself deleted and brought back by
// another step; the root when neither is left.
DisplayItem* DeleteItemsCommand::resolveParent(DisplayItem* parent) const
{
    if (DisplayItem* live = ObjectContext::live(parent))
        return live;
    const QList<Root*> roots = m_appDelegate->managedObjectContext()->fetch<Root>({}, 1);
    return roots.value(0);
}
