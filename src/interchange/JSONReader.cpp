#include "JSONReader.h"

#include "JsonTextWriter.h"
#include "model/EntityDescription.h"
#include "model/Folder.h"
#include "model/Root.h"
#include "store/ObjectContext.h"

#include <QLocale>

namespace {

constexpr qsizetype progressInterval = 1024;

bool canLiveInSidebar(Entity entity)
{
    return entity == Entity::Folder || entity == Entity::Kanban || entity == Entity::List;
}

} // namespace

JSONReader::JSONReader(ObjectContext* context)
    : m_context(context)
{}

JSONReader& JSONReader::shared()
{
    static JSONReader reader;
    return reader;
}

void JSONReader::setContext(ObjectContext* context)
{
    if (context == m_context)
        return;
    m_context = context;
    m_importedObjects.clear();
}

std::optional<QList<StoredObject*>>
JSONReader::makeObjectsFromArrayOfDictionaryObjects(const QJsonArray& entries, QString* error,
                                                    Identities identities)
{
    // Every source, file or in-memory payload, goes through the same parser and checks; the
    // payloads of paste and undo are small, so the round through text costs little.
    JsonTextWriter writer;
    writer.value(entries);
    return makeObjectsFromJson(writer.toByteArray(), error, identities);
}

std::optional<QList<StoredObject*>>
JSONReader::makeObjectsFromJson(QByteArrayView json, QString* error, Identities identities)
{
    if (!m_context) {
        if (error)
            *error = QStringLiteral("The reader has no object context.");
        return std::nullopt;
    }
    ExchangeDocument::Options options;
    options.knownObjects = &m_importedObjects;
    const auto document = ExchangeDocument::parse(json, error, options);
    if (!document)
        return std::nullopt;
    return makeObjects(*document, {}, identities);
}

QList<StoredObject*> JSONReader::makeObjects(const ExchangeDocument& document,
                                             const Progress& progress, Identities identities)
{
    if (!m_context) {
        qWarning("JSONReader: no object context to build into");
        return {};
    }
    const std::vector<ExchangeDocument::Node>& nodes = document.nodes();
    std::vector<StoredObject*> objects(nodes.size(), nullptr);
    const qsizetype total = document.newObjectCount();
    qsizetype built = 0;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const ExchangeDocument::Node& node = nodes[i];
        if (node.existing) {
            objects[i] = node.existing;
            continue;
        }
        StoredObject* object = identities == Identities::OfDeleted && !node.identity.isNull()
                                   ? m_context->insertObject(node.entity, node.identity)
                                   : m_context->insertObject(node.entity);
        objects[i] = object;
        if (!node.identity.isNull())
            m_importedObjects.insert(node.identity, object);
        for (const auto& [attribute, value] : node.attributes)
            attribute->set(*object, value);
        if (progress && ++built % progressInterval == 0)
            progress(built, total);
    }
    // Relationships once every object exists, so later mentions find their objects.
    QList<StoredObject*> members;
    for (size_t i = 0; i < nodes.size(); ++i) {
        for (const auto& [relationship, indexes] : nodes[i].relationships) {
            members.clear();
            members.reserve(indexes.size());
            for (qsizetype index : indexes)
                members.append(objects[size_t(index)]);
            relationship->set(*objects[i], members);
        }
    }
    if (progress)
        progress(total, total);
    QList<StoredObject*> result;
    result.reserve(qsizetype(document.topLevel().size()));
    for (const ExchangeDocument::TopLevelObject& top : document.topLevel())
        result.append(objects[size_t(top.node)]);
    return result;
}

std::optional<RichText> JSONReader::attributedStringFromDict(const QJsonObject& dictionary,
                                                             QString* error)
{
    JsonTextWriter writer;
    writer.value(dictionary);
    return ExchangeDocument::parseRichText(writer.toByteArray(), error);
}

StoredObject* JSONReader::insertNewObjectWithEntityName(QStringView name)
{
    const std::optional<Entity> entity = entityFromName(name);
    if (!m_context || !entity || *entity == Entity::DisplayItem || *entity == Entity::Root)
        return nullptr;
    return m_context->insertObject(*entity);
}

Folder* JSONReader::importDocument(const ExchangeDocument& document, QString* error,
                                   const Progress& progress)
{
    const auto refuse = [error](const QString& message) -> Folder* {
        if (error)
            *error = message;
        return nullptr;
    };
    if (!m_context)
        return refuse(QStringLiteral("The reader has no object context."));
    if (!canImportAtTopLevel(document, error))
        return nullptr;
    const QList<Root*> roots = m_context->fetch<Root>({}, 1);
    if (roots.isEmpty())
        return refuse(QStringLiteral("The store has no root folder to import into."));

    clearImportedObjects();
    const QList<StoredObject*> objects = makeObjects(document, progress);
    clearImportedObjects();

    auto* folder = m_context->insert<Folder>();
    folder->setTitle(importFolderTitle(QDateTime::currentDateTime()));
    folder->setParent(roots.first());
    for (StoredObject* object : objects) {
        // An object the document itself placed in a folder stays there.
        auto* item = static_cast<DisplayItem*>(object);
        if (!item->parent())
            item->setParent(folder);
    }
    return folder;
}

Folder* JSONReader::importDocument(QByteArrayView json, QString* error)
{
    const auto document = ExchangeDocument::parse(json, error);
    return document ? importDocument(*document, error) : nullptr;
}

bool JSONReader::canImportAtTopLevel(const ExchangeDocument& document, QString* error)
{
    if (document.topLevel().empty()) {
        if (error)
            *error = QStringLiteral("The document holds no folders, boards or lists.");
        return false;
    }
    for (const ExchangeDocument::TopLevelObject& top : document.topLevel()) {
        const ExchangeDocument::Node& node = document.nodes()[size_t(top.node)];
        if (canLiveInSidebar(node.entity))
            continue;
        if (error)
            *error = QStringLiteral("[%1].%2: a %2 cannot be imported at the top level; "
                                    "only folders, boards and lists can")
                         .arg(top.entryIndex)
                         .arg(entityName(node.entity));
        return false;
    }
    return true;
}

QString JSONReader::importFolderTitle(const QDateTime& when)
{
    return QStringLiteral("Imported - ") + QLocale::system().toString(when, QLocale::ShortFormat);
}
