#include "StoreTestSupport.h"

#include "model/EntityDescription.h"
#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "model/Tag.h"
#include "store/ObjectContext.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStore.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTimeZone>

#include <sqlite3.h>

namespace {

RichText richNotes()
{
    using A = RichText::Attributes;
    RichText notes(QStringLiteral("Plan the launch\n"), A{QStringLiteral("title"), {}, 0, {}});
    notes.append(RichText(QStringLiteral("Body line with ünïcödé and 😀\n"),
                          A{QStringLiteral("body"), {}, 0, {}}));
    notes.append(RichText(QStringLiteral("Done step\n"), A{QStringLiteral("body"), true, 1, {}}));
    notes.append(RichText(QStringLiteral("Open step\n"), A{QStringLiteral("body"), false, 0, {}}));
    const RichText::Attachment link{RichText::Attachment::linkFileType(),
                                    QByteArray::fromHex("a3635552")};
    notes.append(
        RichText(QString(RichText::attachmentCharacter), A{QStringLiteral("body"), {}, 0, link}));
    const RichText::Attachment image{QStringLiteral("image/png"), QByteArray("\x89PNG\0\1", 6)};
    notes.append(RichText(QString(RichText::attachmentCharacter), A{{}, {}, 0, image}));
    return notes;
}

QDateTime utc(const char* text)
{
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODateWithMs);
}

QString numbers(const QList<StoredObject*>& objects)
{
    QStringList parts;
    for (const StoredObject* object : objects)
        parts.append(QString::number(object->objectNumber()));
    return parts.join(u',');
}

} // namespace

void StoreTestSupport::buildSample(ObjectContext& context)
{
    auto* root = context.insert<Root>();
    root->setTitle(QStringLiteral("Root"));

    auto* work = context.insert<Folder>();
    work->setTitle(QStringLiteral("Work"));
    work->setColour(-3);
    work->setBgImage(QStringLiteral("wlbackground02"));
    work->setExportFlag(true);
    auto* empty = context.insert<Folder>();
    empty->setTitle(QStringLiteral(""));
    empty->setBgImage(QStringLiteral(""));
    empty->setExportFlag(false);
    auto* untitled = context.insert<Folder>();
    root->setChildren({untitled, work});
    work->insertChild(empty);

    auto* board = context.insert<Kanban>();
    board->setTitle(QStringLiteral("Launch"));
    board->setColour(6);
    work->insertChild(board, 0);
    auto* list = context.insert<List>();
    list->setTitle(QStringLiteral("Errands"));
    root->insertChild(list);

    QList<KanbanColumn*> columns;
    for (const char* title : {"To do", "Doing", ""}) {
        auto* column = context.insert<KanbanColumn>();
        column->setTitle(QString::fromUtf8(title));
        columns.prepend(column);
    }
    board->setColumn(columns);

    QList<Tag*> tags;
    for (const char* name : {"urgent", "later", ""}) {
        auto* tag = context.insert<Tag>();
        tag->setName(QString::fromUtf8(name));
        tag->setColour(qint16(tags.size() + 1));
        tags.append(tag);
    }
    board->setTags({tags[2], tags[0], tags[1]});

    auto* full = context.insert<ListItem>();
    full->setTitle(QStringLiteral("Everything set"));
    full->setAttributedNotes(richNotes());
    full->setDateAdded(utc("2024-03-01T10:20:30.123Z"));
    full->setDueDate(utc("2024-03-05T17:00:00.999+02:00"));
    full->setDoneDate(utc("1969-12-31T23:59:59.001Z"));
    full->setDone(true);
    full->setArchived(true);
    full->setPriority(1);
    full->setNotesExpanded(true);
    full->setTimeWorked(12.25);
    full->setTags({tags[1], tags[0]});

    auto* absent = context.insert<ListItem>();
    absent->setDone(std::nullopt);
    absent->setArchived(std::nullopt);
    absent->setTags({tags[2]});

    auto* zero = context.insert<ListItem>();
    zero->setTitle(QStringLiteral(""));
    zero->setAttributedNotes(RichText());
    zero->setPriority(0);
    zero->setNotesExpanded(false);
    zero->setTimeWorked(0.0);
    zero->setDueDate(QDateTime(QDate(2030, 1, 2), QTime(3, 4, 5, 6), QTimeZone("Asia/Tokyo")));
    zero->setTags({tags[0], tags[1], tags[2]});

    auto* both = context.insert<ListItem>();
    both->setTitle(QStringLiteral("On a list and a board"));
    both->setAttributedNotes(RichText(QStringLiteral("plain")));

    columns[0]->setItem({zero, full});
    columns[0]->insertItem(absent, 1);
    columns[1]->insertItem(both);
    list->setItem({both});
    auto* errand = context.insert<ListItem>();
    errand->setTitle(QStringLiteral("Buy milk"));
    list->insertItem(errand, 0);
}

QStringList StoreTestSupport::differences(const ObjectContext& expected,
                                          const ObjectContext& actual)
{
    QStringList found;
    const QList<StoredObject*> all = expected.fetch(Entity::DisplayItem) +
                                     expected.fetch(Entity::KanbanColumn) +
                                     expected.fetch(Entity::ListItem);
    const qsizetype actualCount = actual.fetch(Entity::DisplayItem).size() +
                                  actual.fetch(Entity::KanbanColumn).size() +
                                  actual.fetch(Entity::ListItem).size();
    if (actualCount != all.size())
        found.append(QStringLiteral("%1 objects instead of %2").arg(actualCount).arg(all.size()));
    for (const StoredObject* object : all) {
        const qint64 number = object->objectNumber();
        const StoredObject* other = actual.objectWithNumber(number);
        const QString name = entityName(object->entity()) + QStringLiteral(" p%1").arg(number);
        if (!other || other->isDeleted() || other->entity() != object->entity()) {
            found.append(name + QStringLiteral(" is missing"));
            continue;
        }
        const EntityDescription& description = EntityDescription::of(object->entity());
        for (const AttributeDescription& attribute : description.attributes) {
            const QVariant want = attribute.get(*object);
            const QVariant got = attribute.get(*other);
            if (want != got || want.isValid() != got.isValid() ||
                (want.typeId() == QMetaType::QString &&
                 want.toString().isNull() != got.toString().isNull()))
                found.append(QStringLiteral("%1.%2: %3 instead of %4")
                                 .arg(name, attribute.name, got.toString(), want.toString()));
        }
        for (const RelationshipDescription& relationship : description.relationships) {
            const QString want = numbers(relationship.get(*object));
            const QString got = numbers(relationship.get(*other));
            if (want != got)
                found.append(QStringLiteral("%1.%2: [%3] instead of [%4]")
                                 .arg(name, relationship.name, got, want));
        }
    }
    return found;
}

std::unique_ptr<ObjectContext> StoreTestSupport::open(const QString& path, QString* error)
{
    QString reason;
    std::unique_ptr<SqliteStore> store = SqliteStore::open(path, &reason);
    if (!store) {
        if (error)
            *error = reason;
        return nullptr;
    }
    auto context = std::make_unique<ObjectContext>(std::move(store));
    if (!context->load(&reason)) {
        if (error)
            *error = reason;
        return nullptr;
    }
    return context;
}

SqliteStore* StoreTestSupport::storeOf(const ObjectContext& context)
{
    return static_cast<SqliteStore*>(context.store());
}

QByteArray StoreTestSupport::checksum(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

bool StoreTestSupport::execute(const QString& path, const char* sql, QString* error)
{
    SqliteDatabase database;
    if (!database.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) || !database.exec(sql)) {
        if (error)
            *error = database.errorMessage();
        return false;
    }
    return true;
}

qint64 StoreTestSupport::queryInteger(const QString& path, const char* sql)
{
    SqliteDatabase database;
    qint64 value = -1;
    if (!database.open(path, SQLITE_OPEN_READONLY) || !database.queryInteger(sql, &value))
        return -1;
    return value;
}
