#include "ObjectContext.h"

#include "NotificationCenter.h"
#include "PersistentStore.h"
#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "model/Tag.h"

#include <QRegularExpression>
#include <QSet>
#include <QUuid>

#include <algorithm>
#include <utility>

namespace {
constexpr auto uriScheme = QLatin1String("x-pinwheels://");
}

ObjectContext::ObjectContext()
    : m_identifier(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper())
{}

ObjectContext::ObjectContext(std::unique_ptr<PersistentStore> store)
    : m_store(std::move(store))
    , m_identifier(m_store->identifier())
{}

ObjectContext::~ObjectContext() = default;

bool ObjectContext::load(QString* error)
{
    m_loading = true;
    const bool loaded = !m_store || m_store->load(*this, error);
    m_loading = false;
    return loaded;
}

StoredObject* ObjectContext::create(Entity entity, qint64 number)
{
    std::unique_ptr<StoredObject> object;
    switch (entity) {
    case Entity::Folder:
        object.reset(new Folder);
        break;
    case Entity::Root:
        object.reset(new Root);
        break;
    case Entity::List:
        object.reset(new List);
        break;
    case Entity::Kanban:
        object.reset(new Kanban);
        break;
    case Entity::Tag:
        object.reset(new Tag);
        break;
    case Entity::KanbanColumn:
        object.reset(new KanbanColumn);
        break;
    case Entity::ListItem:
        object.reset(new ListItem);
        break;
    case Entity::DisplayItem:
        qFatal("ObjectContext: DisplayItem is abstract");
    }
    StoredObject* raw = object.get();
    raw->m_context = this;
    raw->m_number = number;
    m_objects.push_back(std::move(object));
    if (size_t(number) < m_byNumber.size()) {
        m_byNumber[size_t(number)] = raw;
    } else if (number <= 2 * qint64(m_objects.size()) + 1024) {
        m_byNumber.resize(std::max<size_t>(number + 1, m_byNumber.size() * 2), nullptr);
        m_byNumber[size_t(number)] = raw;
    } else {
        m_byFarNumber.insert(number, raw);
    }
    m_byEntity[size_t(entity)].push_back(raw);
    m_nextNumber = std::max(m_nextNumber, number + 1);
    return raw;
}

StoredObject* ObjectContext::insertObject(Entity entity)
{
    StoredObject* object = create(entity, m_nextNumber);
    object->m_state = StoredObject::State::Inserted;
    m_changed.push_back(object);
    return object;
}

StoredObject* ObjectContext::insertObject(Entity entity, QStringView formerUri)
{
    // The newest holder of the number: a deleted object whose identity is still its own.
    StoredObject* former = objectForUriEvenIfDeleted(formerUri);
    if (!former || !former->isDeleted() || former->entity() != entity)
        return insertObject(entity);
    StoredObject* object = create(entity, former->m_number);
    object->m_state = StoredObject::State::Inserted;
    // The stored row is the new object's now: the deletion still pending for it must not run.
    object->m_persisted = std::exchange(former->m_persisted, false);
    m_changed.push_back(object);
    m_rebuilt.insert(former, object);
    return object;
}

StoredObject* ObjectContext::materialize(Entity entity, qint64 number)
{
    if (!m_loading || number <= 0 || entity == Entity::DisplayItem || objectWithNumber(number))
        return nullptr;
    StoredObject* object = create(entity, number);
    object->m_persisted = true;
    return object;
}

void ObjectContext::noteChanged(StoredObject* object)
{
    if (!m_loading)
        markForRewrite(object);
}

void ObjectContext::markForRewrite(StoredObject* object)
{
    if (object->m_state != StoredObject::State::Unchanged)
        return;
    object->m_state = StoredObject::State::Updated;
    m_changed.push_back(object);
}

void ObjectContext::collectCascade(StoredObject* object, QList<StoredObject*>& doomed,
                                   QSet<StoredObject*>& seen) const
{
    if (!object || object->isDeleted() || seen.contains(object))
        return;
    seen.insert(object);
    doomed.append(object);
    for (StoredObject* owned : object->cascadedObjects())
        collectCascade(owned, doomed, seen);
}

void ObjectContext::deleteObject(StoredObject* object)
{
    QList<StoredObject*> doomed;
    QSet<StoredObject*> seen;
    collectCascade(object, doomed, seen);
    m_hasDeletions = m_hasDeletions || !doomed.isEmpty();
    // Owners come before what they own, so each list is emptied once rather than one by one.
    for (StoredObject* o : std::as_const(doomed))
        o->unlinkRelationships();
    for (StoredObject* o : std::as_const(doomed)) {
        if (o->m_state == StoredObject::State::Unchanged)
            m_changed.push_back(o);
        o->m_state = StoredObject::State::Deleted;
    }
}

QList<StoredObject*> ObjectContext::fetch(Entity entity,
                                          const std::function<bool(const StoredObject&)>& condition,
                                          qsizetype limit) const
{
    QList<StoredObject*> result;
    for (size_t e = 0; e < m_byEntity.size(); ++e) {
        if (!entityIsKindOf(Entity(e), entity))
            continue;
        for (StoredObject* object : m_byEntity[e]) {
            if (limit >= 0 && result.size() >= limit)
                return result;
            if (!object->isDeleted() && (!condition || condition(*object)))
                result.append(object);
        }
    }
    return result;
}

ChangeSet ObjectContext::pendingChanges() const
{
    ChangeSet changes;
    for (StoredObject* object : m_changed) {
        switch (object->m_state) {
        case StoredObject::State::Inserted:
            changes.inserted.append(object);
            break;
        case StoredObject::State::Updated:
            (object->m_persisted ? changes.updated : changes.inserted).append(object);
            break;
        case StoredObject::State::Deleted:
            if (object->m_persisted)
                changes.deleted.append(object);
            break;
        case StoredObject::State::Unchanged:
            break;
        }
    }
    return changes;
}

bool ObjectContext::hasChanges() const
{
    return !pendingChanges().isEmpty();
}

bool ObjectContext::save(QString* error)
{
    if (!hasChanges())
        return true;
    for (Tag* tag : fetch<Tag>())
        tag->willSave();
    const ChangeSet changes = pendingChanges();
    if (m_store && !m_store->write(changes, error))
        return false;
    for (StoredObject* object : m_changed) {
        if (object->m_state == StoredObject::State::Deleted) {
            object->m_persisted = false;
        } else {
            object->m_state = StoredObject::State::Unchanged;
            object->m_persisted = true;
        }
    }
    m_changed.clear();
    forgetDeleted();
    NotificationCenter::defaultCenter().post(didSaveNotification, this);
    return true;
}

void ObjectContext::forgetDeleted()
{
    if (!m_hasDeletions)
        return;
    m_hasDeletions = false;
    for (auto& objects : m_byEntity)
        std::erase_if(objects, [](const StoredObject* o) { return o->isDeleted(); });
}

QString ObjectContext::uriFor(const StoredObject* object) const
{
    if (!object)
        return {};
    return uriScheme + m_identifier + u'/' + entityName(object->entity()) + QStringLiteral("/p") +
           QString::number(object->objectNumber());
}

StoredObject* ObjectContext::objectForUri(QStringView uri) const
{
    StoredObject* object = objectForUriEvenIfDeleted(uri);
    return object && !object->isDeleted() ? object : nullptr;
}

StoredObject* ObjectContext::objectForUriEvenIfDeleted(QStringView uri) const
{
    if (!uri.startsWith(uriScheme))
        return nullptr;
    const QList<QStringView> parts = uri.mid(uriScheme.size()).split(u'/');
    if (parts.size() != 3 || parts[0] != m_identifier || !parts[2].startsWith(u'p'))
        return nullptr;
    bool ok = false;
    const qint64 number = parts[2].mid(1).toLongLong(&ok);
    StoredObject* object = ok ? objectWithNumber(number) : nullptr;
    if (!object || entityName(object->entity()) != parts[1])
        return nullptr;
    return object;
}

void ObjectContext::noteRebuilt(const QHash<QString, StoredObject*>& rebuilt)
{
    for (auto it = rebuilt.cbegin(); it != rebuilt.cend(); ++it) {
        StoredObject* original = objectForUriEvenIfDeleted(it.key());
        StoredObject* successor = it.value();
        // A live original was not replaced: the built object is a copy of it.
        if (original && successor && original != successor && original->isDeleted() &&
            original->entity() == successor->entity())
            m_rebuilt.insert(original, successor);
    }
}

StoredObject* ObjectContext::liveSuccessor(StoredObject* object) const
{
    // Each successor is newer than what it replaces, so the chain ends.
    while (object && object->isDeleted())
        object = m_rebuilt.value(object, nullptr);
    return object;
}

StoredObject* ObjectContext::objectWithNumber(qint64 number) const
{
    if (number <= 0)
        return nullptr;
    if (size_t(number) < m_byNumber.size() && m_byNumber[size_t(number)])
        return m_byNumber[size_t(number)];
    // The dense table may have grown past a number that was far when it came.
    return m_byFarNumber.value(number, nullptr);
}

std::optional<QByteArray> ObjectContext::attachmentBytes(const QByteArray& digest) const
{
    return m_store ? m_store->attachmentBytes(digest) : std::nullopt;
}
