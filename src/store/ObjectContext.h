#pragma once

#include "model/Entity.h"
#include "model/StoredObject.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class PersistentStore;

// What a save writes: new objects, changed objects and objects that left the store.
struct ChangeSet
{
    QList<StoredObject*> inserted;
    QList<StoredObject*> updated;
    QList<StoredObject*> deleted;
    bool isEmpty() const { return inserted.isEmpty() && updated.isEmpty() && deleted.isEmpty(); }
};

// The one store context: it owns every object, gives each a permanent identity, fetches,
// tracks changes and saves them to its store (or keeps everything in memory without one).
class ObjectContext final
{
public:
    static constexpr auto didSaveNotification = "ObjectContextDidSave";

    ObjectContext(); // in memory only
    // Call load() before anything else.
    explicit ObjectContext(std::unique_ptr<PersistentStore> store);
    ~ObjectContext();
    Q_DISABLE_COPY_MOVE(ObjectContext)

    bool load(QString* error);

    template <class T>
    T* insert()
    {
        return static_cast<T*>(insertObject(T::staticEntity));
    }
    StoredObject* insertObject(Entity entity);
    // A new object that takes over the identity of the deleted object `formerUri` names, and
    // becomes its successor (liveSuccessor), so that whatever named the deleted object (drag
    // payloads, the sidebar's expanded folders) names the new one. A fresh identity when the
    // URI names no deleted object of this entity, or one whose identity another object took.
    StoredObject* insertObject(Entity entity, QStringView formerUri);

    // Deletes the object with what it owns: a folder its subtree, a board its columns, their
    // cards and its tags, a column its cards, a list its items that are on no board.
    void deleteObject(StoredObject* object);

    // Live objects of the entity and its sub-entities, in order of insertion.
    QList<StoredObject*> fetch(Entity entity,
                               const std::function<bool(const StoredObject&)>& condition = {},
                               qsizetype limit = -1) const;
    template <class T>
    QList<T*> fetch(const std::function<bool(const T&)>& condition = {}, qsizetype limit = -1) const
    {
        QList<T*> result;
        const auto matches = [&condition](const StoredObject& o) {
            return !condition || condition(static_cast<const T&>(o));
        };
        for (StoredObject* object : fetch(T::staticEntity, matches, limit))
            result.append(static_cast<T*>(object));
        return result;
    }

    bool hasChanges() const;
    // Writes every change since the last save in one transaction and posts
    // didSaveNotification. On failure nothing is written, every change stays pending and
    // `error` tells why.
    bool save(QString* error = nullptr);

    // Permanent identities: "x-pinwheels://<store identifier>/<Entity>/p<number>".
    QString storeIdentifier() const { return m_identifier; }
    QString uriFor(const StoredObject* object) const;
    StoredObject* objectForUri(QStringView uri) const;
    StoredObject* objectWithNumber(qint64 number) const;

    // Undo brings deleted objects back as new ones rebuilt from their exchange dictionaries.
    // Older undo steps still hold the deleted object; they find what stands for it now here:
    // the object itself while it lives, its rebuilt successor, or null.
    // `rebuilt` is a reader's identity map ("objectIDURI" -> object built for it): each object
    // built for a deleted object of this context becomes that object's successor.
    void noteRebuilt(const QHash<QString, StoredObject*>& rebuilt);
    StoredObject* liveSuccessor(StoredObject* object) const;
    // The same, typed: how every undo step finds the objects it remembers.
    template <class T>
    static T* live(T* object)
    {
        if (!object || !object->context())
            return object && !object->isDeleted() ? object : nullptr;
        return static_cast<T*>(object->context()->liveSuccessor(object));
    }
    // Those of the objects that live on, in order, each as what stands for it now.
    template <class T>
    static QList<T*> live(const QList<T*>& objects)
    {
        QList<T*> alive;
        for (T* object : objects) {
            if (T* now = live(object))
                alive.append(now);
        }
        return alive;
    }

    PersistentStore* store() const { return m_store.get(); }
    // Bytes that stored notes name by digest (see RichText::encodeApart).
    std::optional<QByteArray> attachmentBytes(const QByteArray& digest) const;

    // While loading, the store builds the graph through this; nothing counts as a change.
    // Returns null for a number already taken.
    StoredObject* materialize(Entity entity, qint64 number);
    // Marks an object whose stored row differs from the object the store built from it (a
    // damaged link was left out), so that the next save writes the repaired row.
    void markForRewrite(StoredObject* object);

private:
    friend class StoredObject;

    void noteChanged(StoredObject* object);
    StoredObject* create(Entity entity, qint64 number);
    void collectCascade(StoredObject* object, QList<StoredObject*>& doomed,
                        QSet<StoredObject*>& seen) const;
    ChangeSet pendingChanges() const;
    void forgetDeleted();
    StoredObject* objectForUriEvenIfDeleted(QStringView uri) const;

    std::unique_ptr<PersistentStore> m_store;
    QString m_identifier;
    std::vector<std::unique_ptr<StoredObject>> m_objects; // every object, deleted ones too
    // Numbers are dense in a healthy store; far-off ones (any number a store may hold) are
    // kept aside, so that no table grows to the size of a number.
    std::vector<StoredObject*> m_byNumber; // index: object number
    QHash<qint64, StoredObject*> m_byFarNumber;
    std::array<std::vector<StoredObject*>, 8> m_byEntity; // live objects per entity
    std::vector<StoredObject*> m_changed;                 // objects whose state is not Unchanged
    QHash<const StoredObject*, StoredObject*> m_rebuilt;  // deleted object -> its successor
    qint64 m_nextNumber = 1;
    bool m_loading = false;
    bool m_hasDeletions = false; // deleted objects still sit in m_byEntity
};
