#include "StoreLoader.h"

#include "ObjectContext.h"
#include "SqliteDatabase.h"
#include "SqliteStatement.h"
#include "StoreSchema.h"
#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "model/Tag.h"

#include <utility>

namespace {

// Anomaly lists stay readable even for a badly damaged file.
constexpr qsizetype maximumAnomalies = 1000;

QDateTime dateAt(const SqliteStatement& row, int field)
{
    if (row.columnIsNull(field))
        return {};
    return QDateTime::fromMSecsSinceEpoch(row.columnInt64(field), Qt::UTC);
}

std::optional<bool> boolAt(const SqliteStatement& row, int field)
{
    if (row.columnIsNull(field))
        return std::nullopt;
    return row.columnInt64(field) != 0;
}

std::optional<qint16> int16At(const SqliteStatement& row, int field)
{
    if (row.columnIsNull(field))
        return std::nullopt;
    return qint16(row.columnInt64(field));
}

std::optional<double> doubleAt(const SqliteStatement& row, int field)
{
    if (row.columnIsNull(field))
        return std::nullopt;
    return row.columnDouble(field);
}

} // namespace

StoreLoader::StoreLoader(SqliteDatabase& database, ObjectContext& context, int version)
    : m_database(database)
    , m_context(context)
    , m_version(version)
{}

bool StoreLoader::load(QString* error)
{
    m_anomalies.clear();
    m_objectsRead = 0;
    if (!readDisplayItems(error) || !readColumns(error) || !readCards(error))
        return false;
    checkRoots();
    // The sidebar tree first, so that the cycle check sees every parent already in place.
    for (const PendingLink& pending : m_links) {
        if (pending.relation == Relation::Children)
            link(pending);
    }
    for (const PendingLink& pending : m_links) {
        if (pending.relation != Relation::Children)
            link(pending);
    }
    m_links.clear();
    m_numbers.clear();
    m_seenInLink.clear();
    m_seenFarInLink.clear();
    if (m_anomalies.size() >= maximumAnomalies)
        m_anomalies.append(QStringLiteral("Further anomalies were not listed."));
    return true;
}

bool StoreLoader::finishReading(const SqliteStatement& statement, QString* error) const
{
    if (!statement.failed())
        return true;
    if (error)
        *error = m_database.errorMessage();
    return false;
}

bool StoreLoader::readDisplayItems(QString* error)
{
    SqliteStatement row(m_database, StoreSchema::selectDisplayItems);
    while (row.next()) {
        const qint64 number = row.columnInt64(StoreSchema::DisplayItemNumber);
        const QString entityText = row.columnText(StoreSchema::DisplayItemEntity);
        const std::optional<Entity> entity = entityFromName(entityText);
        if (!entity || !entityIsKindOf(*entity, Entity::DisplayItem) ||
            *entity == Entity::DisplayItem) {
            note(QStringLiteral("Row p%1 of display_item names the unknown kind \"%2\"; it was "
                                "skipped.")
                     .arg(number)
                     .arg(entityText));
            continue;
        }
        auto* item = static_cast<DisplayItem*>(materialize(*entity, number, "display_item"));
        if (!item)
            continue;
        const QString title = row.columnText(StoreSchema::DisplayItemTitle);
        if (*entity == Entity::Tag)
            static_cast<Tag*>(item)->setName(title);
        else
            item->setTitle(title);
        item->setColour(qint16(row.columnInt64(StoreSchema::DisplayItemColour)));
        item->setBgImage(row.columnText(StoreSchema::DisplayItemBgImage));
        item->setExportFlag(boolAt(row, StoreSchema::DisplayItemExport));
        keepLink(item, Relation::Children, row.columnBytes(StoreSchema::DisplayItemChildren));
        keepLink(item, Relation::ListItems, row.columnBytes(StoreSchema::DisplayItemListItems));
        keepLink(item, Relation::Columns, row.columnBytes(StoreSchema::DisplayItemColumns));
        keepLink(item, Relation::BoardTags, row.columnBytes(StoreSchema::DisplayItemTags));
    }
    return finishReading(row, error);
}

bool StoreLoader::readColumns(QString* error)
{
    SqliteStatement row(m_database, StoreSchema::selectColumns);
    while (row.next()) {
        auto* column = static_cast<KanbanColumn*>(materialize(
            Entity::KanbanColumn, row.columnInt64(StoreSchema::ColumnNumber), "kanban_column"));
        if (!column)
            continue;
        column->setTitle(row.columnText(StoreSchema::ColumnTitle));
        keepLink(column, Relation::ColumnItems, row.columnBytes(StoreSchema::ColumnItems));
    }
    return finishReading(row, error);
}

bool StoreLoader::readCards(QString* error)
{
    SqliteStatement row(m_database, StoreSchema::selectCards(m_version));
    const bool bytesApart = m_version >= StoreSchema::bytesApartVersion;
    while (row.next()) {
        auto* card = static_cast<ListItem*>(
            materialize(Entity::ListItem, row.columnInt64(StoreSchema::CardNumber), "list_item"));
        if (!card)
            continue;
        card->setTitle(row.columnText(StoreSchema::CardTitle));
        // Kept encoded: notes are decoded when first shown.
        QList<QByteArray> digests;
        if (bytesApart &&
            !StoreSchema::decodeDigests(row.columnBytes(StoreSchema::CardAttachments), digests)) {
            note(QStringLiteral("%1: the list of its attachments is damaged; its whole entries "
                                "were kept.")
                     .arg(describe(card)));
            m_context.markForRewrite(card);
        }
        card->setEncodedNotes(row.columnBlob(StoreSchema::CardNotes), digests);
        if (!digests.isEmpty())
            m_cardDigests.insert(card->objectNumber(), digests);
        card->setDateAdded(dateAt(row, StoreSchema::CardDateAdded));
        card->setDueDate(dateAt(row, StoreSchema::CardDueDate));
        card->setDoneDate(dateAt(row, StoreSchema::CardDoneDate));
        card->setDone(boolAt(row, StoreSchema::CardDone));
        card->setArchived(boolAt(row, StoreSchema::CardArchived));
        card->setPriority(int16At(row, StoreSchema::CardPriority));
        card->setNotesExpanded(boolAt(row, StoreSchema::CardNotesExpanded));
        card->setTimeWorked(doubleAt(row, StoreSchema::CardTimeWorked));
        keepLink(card, Relation::CardTags, row.columnBytes(StoreSchema::CardTags));
    }
    return finishReading(row, error);
}

StoredObject* StoreLoader::materialize(Entity entity, qint64 number, const char* table)
{
    if (number <= 0) {
        note(QStringLiteral("Row p%1 of %2 has a number out of range; it was skipped.")
                 .arg(number)
                 .arg(QLatin1String(table)));
        return nullptr;
    }
    if (StoredObject* taken = m_context.objectWithNumber(number)) {
        note(QStringLiteral("Row p%1 of %2 has the number of %3; it was skipped.")
                 .arg(number)
                 .arg(QLatin1String(table), describe(taken)));
        return nullptr;
    }
    StoredObject* object = m_context.materialize(entity, number);
    m_objectsRead += object ? 1 : 0;
    return object;
}

void StoreLoader::keepLink(StoredObject* owner, Relation relation, std::span<const std::byte> blob)
{
    if (blob.empty())
        return;
    const Entity ownerEntity = owner->entity();
    const bool applies = relation == Relation::Children ||
                         (relation == Relation::ListItems && ownerEntity == Entity::List) ||
                         ((relation == Relation::Columns || relation == Relation::BoardTags) &&
                          ownerEntity == Entity::Kanban) ||
                         relation == Relation::ColumnItems || relation == Relation::CardTags;
    if (!applies) {
        note(QStringLiteral("%1 has %2, which its kind does not have; they were skipped.")
                 .arg(describe(owner), relationName(relation)));
        m_context.markForRewrite(owner);
        return;
    }
    const size_t first = m_numbers.size();
    if (!StoreSchema::decodeMembers(blob, m_numbers)) {
        note(QStringLiteral("%1: the list of its %2 is damaged; its whole entries were kept.")
                 .arg(describe(owner), relationName(relation)));
        m_context.markForRewrite(owner);
    }
    const size_t count = m_numbers.size() - first;
    if (count > 0)
        m_links.push_back({owner, relation, quint32(first), quint32(count)});
}

void StoreLoader::checkRoots()
{
    const QList<Root*> roots = m_context.fetch<Root>();
    for (qsizetype i = 1; i < roots.size(); ++i)
        note(QStringLiteral("%1 is a second Root (the first is %2).")
                 .arg(describe(roots[i]), describe(roots[0])));
}

template <class Member>
QList<Member*> StoreLoader::acceptedMembers(const PendingLink& pending)
{
    ++m_linkStamp;
    QList<Member*> members;
    members.reserve(pending.count);
    for (quint32 i = 0; i < pending.count; ++i) {
        if (StoredObject* member = acceptedMember(pending, m_numbers[pending.first + i]))
            members.append(static_cast<Member*>(member));
    }
    return members;
}

void StoreLoader::link(const PendingLink& pending)
{
    StoredObject* owner = pending.owner;
    switch (pending.relation) {
    case Relation::Children:
        static_cast<DisplayItem*>(owner)->setChildren(acceptedMembers<DisplayItem>(pending));
        break;
    case Relation::ListItems:
        static_cast<List*>(owner)->setItem(acceptedMembers<ListItem>(pending));
        break;
    case Relation::Columns:
        static_cast<Kanban*>(owner)->setColumn(acceptedMembers<KanbanColumn>(pending));
        break;
    case Relation::BoardTags:
        static_cast<Kanban*>(owner)->setTags(acceptedMembers<Tag>(pending));
        break;
    case Relation::ColumnItems:
        static_cast<KanbanColumn*>(owner)->setItem(acceptedMembers<ListItem>(pending));
        break;
    case Relation::CardTags:
        static_cast<ListItem*>(owner)->setTags(acceptedMembers<Tag>(pending));
        break;
    }
}

StoredObject* StoreLoader::acceptedMember(const PendingLink& pending, qint64 number)
{
    // Messages are made only for links that are skipped: loading must stay fast.
    const auto skip = [this, &pending](const QString& what) -> StoredObject* {
        note(QStringLiteral("%1: its %2 name %3; the link was skipped.")
                 .arg(describe(pending.owner), relationName(pending.relation), what));
        // Left in the row, a number not in the store could name a new object one day.
        m_context.markForRewrite(pending.owner);
        return nullptr;
    };
    StoredObject* member = m_context.objectWithNumber(number);
    if (!member)
        return skip(QStringLiteral("p%1, which is not in the store").arg(number));
    const Entity wanted = destination(pending.relation);
    if (!member->isKindOf(wanted))
        return skip(
            QStringLiteral("%1, which is not a %2").arg(describe(member), entityName(wanted)));
    if (listedTwice(number))
        return skip(QStringLiteral("%1 a second time").arg(describe(member)));

    // Objects whose inverse is to-one may have only one owner: the first to claim one keeps it.
    const StoredObject* owner = nullptr;
    switch (pending.relation) {
    case Relation::Children:
        if (member->entity() == Entity::Root)
            return skip(QStringLiteral("%1, and a Root has no parent").arg(describe(member)));
        if (wouldMakeCycle(pending.owner, member))
            return skip(QStringLiteral("%1, which would make a cycle").arg(describe(member)));
        owner = static_cast<DisplayItem*>(member)->parent();
        break;
    case Relation::ListItems:
        owner = static_cast<ListItem*>(member)->list();
        break;
    case Relation::Columns:
        owner = static_cast<KanbanColumn*>(member)->kanban();
        break;
    case Relation::BoardTags:
        owner = static_cast<Tag*>(member)->kanban();
        break;
    case Relation::ColumnItems:
        owner = static_cast<ListItem*>(member)->column();
        break;
    case Relation::CardTags:
        break;
    }
    if (owner)
        return skip(QStringLiteral("%1, which already belongs to %2")
                        .arg(describe(member), describe(owner)));
    return member;
}

bool StoreLoader::listedTwice(qint64 number)
{
    quint32* stamp = nullptr;
    if (number <= 2 * m_objectsRead + 1024) {
        if (m_seenInLink.size() <= size_t(number))
            m_seenInLink.resize(size_t(number) + 1, 0);
        stamp = &m_seenInLink[size_t(number)];
    } else {
        stamp = &m_seenFarInLink[number];
    }
    return std::exchange(*stamp, m_linkStamp) == m_linkStamp;
}

bool StoreLoader::wouldMakeCycle(const StoredObject* owner, const StoredObject* child) const
{
    // The tree built so far has no cycle, so this walk ends.
    for (const DisplayItem* item = static_cast<const DisplayItem*>(owner); item;
         item = item->parent()) {
        if (item == child)
            return true;
    }
    return false;
}

void StoreLoader::note(const QString& anomaly)
{
    if (m_anomalies.size() < maximumAnomalies)
        m_anomalies.append(anomaly);
}

Entity StoreLoader::destination(Relation relation)
{
    switch (relation) {
    case Relation::Children:
        return Entity::DisplayItem;
    case Relation::ListItems:
    case Relation::ColumnItems:
        return Entity::ListItem;
    case Relation::Columns:
        return Entity::KanbanColumn;
    case Relation::BoardTags:
    case Relation::CardTags:
        return Entity::Tag;
    }
    return Entity::DisplayItem;
}

QString StoreLoader::relationName(Relation relation)
{
    switch (relation) {
    case Relation::Children:
        return QStringLiteral("children");
    case Relation::ListItems:
    case Relation::ColumnItems:
        return QStringLiteral("items");
    case Relation::Columns:
        return QStringLiteral("columns");
    case Relation::BoardTags:
    case Relation::CardTags:
        return QStringLiteral("tags");
    }
    return {};
}

QString StoreLoader::describe(const StoredObject* object)
{
    return entityName(object->entity()) + QStringLiteral(" p") +
           QString::number(object->objectNumber());
}
