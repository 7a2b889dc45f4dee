#pragma once

#include "Entity.h"

#include <QList>
#include <QString>
#include <QVariant>

class StoredObject;

enum class AttributeType
{
    String,
    Integer16,
    Double,
    Boolean,
    Date,
    RichText
};

// Generic access to one attribute. Values travel as QVariant: QString, qint16, double, bool,
// QDateTime (UTC or local) or RichText; an invalid QVariant stands for an absent value.
struct AttributeDescription
{
    QString name;
    AttributeType type;
    QVariant (*get)(const StoredObject&);
    void (*set)(StoredObject&, const QVariant&);
};

// Generic access to one ordered to-many relationship, the only kind that the store and the
// exchange document carry; the inverse ends follow from it.
struct RelationshipDescription
{
    QString name;
    Entity destination;
    QList<StoredObject*> (*get)(const StoredObject&);
    // Members that are not of the destination entity are left out.
    void (*set)(StoredObject&, const QList<StoredObject*>&);
};

// The attributes and relationships of one concrete entity, in the order of the data model.
struct EntityDescription
{
    Entity entity;
    QList<AttributeDescription> attributes;
    QList<RelationshipDescription> relationships;

    static const EntityDescription& of(Entity entity);
    const AttributeDescription* attribute(QStringView name) const;
    const RelationshipDescription* relationship(QStringView name) const;
};
