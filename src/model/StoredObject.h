#pragma once

#include "Entity.h"

#include <QList>
#include <QStringView>

class ObjectContext;

// One change of a to-many relationship, as announced to the owner before and after it happens.
struct RelationshipChange
{
    enum class Kind
    {
        Setting,
        Insertion,
        Removal
    };
    QStringView key;
    Kind kind = Kind::Setting;
    QList<qsizetype> indexes; // positions of an insertion or removal; empty for Setting
};

// Base of every object kept by the object context. Objects are created, owned and deleted
// only by their context; everyone else holds plain pointers, which stay valid (if deleted,
// the object answers isDeleted()) for the life of the context.
class StoredObject
{
public:
    virtual ~StoredObject() = default;
    Q_DISABLE_COPY_MOVE(StoredObject)

    virtual Entity entity() const = 0;
    bool isKindOf(Entity ancestor) const { return entityIsKindOf(entity(), ancestor); }

    ObjectContext* context() const { return m_context; }
    // The permanent identity within its store, given when the object is inserted.
    qint64 objectNumber() const { return m_number; }
    bool isDeleted() const { return m_state == State::Deleted; }
    bool isInserted() const { return m_state == State::Inserted; }
    bool isUpdated() const { return m_state == State::Updated; }

    // Called before the object is written; a Tag without cards deletes itself here.
    virtual void willSave() {}

protected:
    StoredObject() = default;

    // Every setter calls this after a real change, so the next save writes the object.
    void markChanged();

    // Hooks around relationship changes; DisplayItem announces them to its observers.
    virtual void relationshipWillChange(const RelationshipChange&) {}
    virtual void relationshipDidChange(const RelationshipChange&) {}

    // What deleting this object deletes too, and how it leaves every relationship.
    virtual QList<StoredObject*> cascadedObjects() const { return {}; }
    virtual void unlinkRelationships() {}

    // Lets relationship helpers reach the protected hooks of both ends.
    friend class Relationships;

private:
    friend class ObjectContext;
    enum class State : quint8
    {
        Unchanged,
        Inserted,
        Updated,
        Deleted
    };

    ObjectContext* m_context = nullptr;
    qint64 m_number = 0;
    State m_state = State::Unchanged;
    bool m_persisted = false; // has a row in the store
};
