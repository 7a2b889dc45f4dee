#include "EntityDescription.h"

#include "Folder.h"
#include "Kanban.h"
#include "KanbanColumn.h"
#include "List.h"
#include "ListItem.h"
#include "Root.h"
#include "Tag.h"

#include <map>

namespace {

QVariant stringValue(const QString& s)
{
    return s.isNull() ? QVariant() : QVariant(s);
}

QVariant dateValue(const QDateTime& d)
{
    return d.isValid() ? QVariant(d) : QVariant();
}

QString stringFrom(const QVariant& v)
{
    return v.isValid() ? v.toString() : QString();
}

template <class T>
QVariant optionalValue(const std::optional<T>& value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}

template <class T>
std::optional<T> optionalFrom(const QVariant& value)
{
    if (!value.isValid())
        return std::nullopt;
    return value.value<T>();
}

template <class Member>
QList<StoredObject*> membersOf(const QList<Member*>& members)
{
    return {members.cbegin(), members.cend()};
}

template <class Member>
QList<Member*> membersFrom(const QList<StoredObject*>& objects)
{
    QList<Member*> members;
    for (StoredObject* object : objects) {
        if (object && object->isKindOf(Member::staticEntity))
            members.append(static_cast<Member*>(object));
    }
    return members;
}

template <class T>
T& as(StoredObject& o)
{
    return static_cast<T&>(o);
}

template <class T>
const T& as(const StoredObject& o)
{
    return static_cast<const T&>(o);
}

QList<AttributeDescription> displayItemAttributes(bool titled)
{
    QList<AttributeDescription> attributes;
    if (titled) {
        attributes.append(
            {QStringLiteral("title"), AttributeType::String,
             [](const StoredObject& o) { return stringValue(as<DisplayItem>(o).title()); },
             [](StoredObject& o, const QVariant& v) {
                 as<DisplayItem>(o).setTitle(stringFrom(v));
             }});
    } else {
        attributes.append(
            {QStringLiteral("name"), AttributeType::String,
             [](const StoredObject& o) { return stringValue(as<Tag>(o).name()); },
             [](StoredObject& o, const QVariant& v) { as<Tag>(o).setName(stringFrom(v)); }});
    }
    attributes.append(
        {QStringLiteral("colour"), AttributeType::Integer16,
         [](const StoredObject& o) { return QVariant::fromValue(as<DisplayItem>(o).colour()); },
         [](StoredObject& o, const QVariant& v) {
             as<DisplayItem>(o).setColour(v.isValid() ? v.value<qint16>() : 0);
         }});
    attributes.append(
        {QStringLiteral("bgImage"), AttributeType::String,
         [](const StoredObject& o) { return stringValue(as<DisplayItem>(o).bgImage()); },
         [](StoredObject& o, const QVariant& v) { as<DisplayItem>(o).setBgImage(stringFrom(v)); }});
    attributes.append(
        {QStringLiteral("export"), AttributeType::Boolean,
         [](const StoredObject& o) { return optionalValue(as<DisplayItem>(o).exportFlag()); },
         [](StoredObject& o, const QVariant& v) {
             as<DisplayItem>(o).setExportFlag(optionalFrom<bool>(v));
         }});
    return attributes;
}

RelationshipDescription childrenRelationship()
{
    return {QStringLiteral("children"), Entity::DisplayItem,
            [](const StoredObject& o) { return membersOf(as<DisplayItem>(o).children()); },
            [](StoredObject& o, const QList<StoredObject*>& m) {
                as<DisplayItem>(o).setChildren(membersFrom<DisplayItem>(m));
            }};
}

QList<AttributeDescription> listItemAttributes()
{
    using A = AttributeType;
    return {
        {QStringLiteral("title"), A::String,
         [](const StoredObject& o) { return stringValue(as<ListItem>(o).title()); },
         [](StoredObject& o, const QVariant& v) { as<ListItem>(o).setTitle(stringFrom(v)); }},
        {QStringLiteral("attributedNotes"), A::RichText,
         [](const StoredObject& o) { return optionalValue(as<ListItem>(o).attributedNotes()); },
         [](StoredObject& o, const QVariant& v) {
             as<ListItem>(o).setAttributedNotes(optionalFrom<RichText>(v));
         }},
        {QStringLiteral("dateAdded"), A::Date,
         [](const StoredObject& o) { return dateValue(as<ListItem>(o).dateAdded()); },
         [](StoredObject& o, const QVariant& v) { as<ListItem>(o).setDateAdded(v.toDateTime()); }},
        {QStringLiteral("dueDate"), A::Date,
         [](const StoredObject& o) { return dateValue(as<ListItem>(o).dueDate()); },
         [](StoredObject& o, const QVariant& v) { as<ListItem>(o).setDueDate(v.toDateTime()); }},
        {QStringLiteral("doneDate"), A::Date,
         [](const StoredObject& o) { return dateValue(as<ListItem>(o).doneDate()); },
         [](StoredObject& o, const QVariant& v) { as<ListItem>(o).setDoneDate(v.toDateTime()); }},
        {QStringLiteral("done"), A::Boolean,
         [](const StoredObject& o) { return optionalValue(as<ListItem>(o).done()); },
         [](StoredObject& o, const QVariant& v) {
             as<ListItem>(o).setDone(optionalFrom<bool>(v));
         }},
        {QStringLiteral("archived"), A::Boolean,
         [](const StoredObject& o) { return optionalValue(as<ListItem>(o).archived()); },
         [](StoredObject& o, const QVariant& v) {
             as<ListItem>(o).setArchived(optionalFrom<bool>(v));
         }},
        {QStringLiteral("priority"), A::Integer16,
         [](const StoredObject& o) { return optionalValue(as<ListItem>(o).priority()); },
         [](StoredObject& o, const QVariant& v) {
             as<ListItem>(o).setPriority(optionalFrom<qint16>(v));
         }},
        {QStringLiteral("notesExpanded"), A::Boolean,
         [](const StoredObject& o) { return optionalValue(as<ListItem>(o).notesExpanded()); },
         [](StoredObject& o, const QVariant& v) {
             as<ListItem>(o).setNotesExpanded(optionalFrom<bool>(v));
         }},
        {QStringLiteral("timeWorked"), A::Double,
         [](const StoredObject& o) { return optionalValue(as<ListItem>(o).timeWorked()); },
         [](StoredObject& o, const QVariant& v) {
             as<ListItem>(o).setTimeWorked(optionalFrom<double>(v));
         }},
    };
}

std::map<Entity, EntityDescription> makeDescriptions()
{
    std::map<Entity, EntityDescription> all;
    const QList<AttributeDescription> titled = displayItemAttributes(true);
    all[Entity::Folder] = {Entity::Folder, titled, {childrenRelationship()}};
    all[Entity::Root] = {Entity::Root, titled, {childrenRelationship()}};
    all[Entity::List] = {Entity::List,
                         titled,
                         {childrenRelationship(),
                          {QStringLiteral("item"), Entity::ListItem,
                           [](const StoredObject& o) { return membersOf(as<List>(o).item()); },
                           [](StoredObject& o, const QList<StoredObject*>& m) {
                               as<List>(o).setItem(membersFrom<ListItem>(m));
                           }}}};
    all[Entity::Kanban] = {
        Entity::Kanban,
        titled,
        {childrenRelationship(),
         {QStringLiteral("column"), Entity::KanbanColumn,
          [](const StoredObject& o) { return membersOf(as<Kanban>(o).column()); },
          [](StoredObject& o, const QList<StoredObject*>& m) {
              as<Kanban>(o).setColumn(membersFrom<KanbanColumn>(m));
          }},
         {QStringLiteral("tags"), Entity::Tag,
          [](const StoredObject& o) { return membersOf(as<Kanban>(o).tags()); },
          [](StoredObject& o, const QList<StoredObject*>& m) {
              as<Kanban>(o).setTags(membersFrom<Tag>(m));
          }}}};
    all[Entity::Tag] = {Entity::Tag, displayItemAttributes(false), {}};
    all[Entity::KanbanColumn] = {
        Entity::KanbanColumn,
        {{QStringLiteral("title"), AttributeType::String,
          [](const StoredObject& o) { return stringValue(as<KanbanColumn>(o).title()); },
          [](StoredObject& o, const QVariant& v) { as<KanbanColumn>(o).setTitle(stringFrom(v)); }}},
        {{QStringLiteral("item"), Entity::ListItem,
          [](const StoredObject& o) { return membersOf(as<KanbanColumn>(o).item()); },
          [](StoredObject& o, const QList<StoredObject*>& m) {
              as<KanbanColumn>(o).setItem(membersFrom<ListItem>(m));
          }}}};
    all[Entity::ListItem] = {
        Entity::ListItem,
        listItemAttributes(),
        {{QStringLiteral("tags"), Entity::Tag,
          [](const StoredObject& o) { return membersOf(as<ListItem>(o).tags()); },
          [](StoredObject& o, const QList<StoredObject*>& m) {
              as<ListItem>(o).setTags(membersFrom<Tag>(m));
          }}}};
    return all;
}

} // namespace

const EntityDescription& EntityDescription::of(Entity entity)
{
    static const std::map<Entity, EntityDescription> descriptions = makeDescriptions();
    static const EntityDescription none{Entity::DisplayItem, {}, {}};
    const auto it = descriptions.find(entity);
    return it == descriptions.end() ? none : it->second;
}

const AttributeDescription* EntityDescription::attribute(QStringView name) const
{
    for (const AttributeDescription& a : attributes) {
        if (a.name == name)
            return &a;
    }
    return nullptr;
}

const RelationshipDescription* EntityDescription::relationship(QStringView name) const
{
    for (const RelationshipDescription& r : relationships) {
        if (r.name == name)
            return &r;
    }
    return nullptr;
}
