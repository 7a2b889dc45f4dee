#include "SqliteStore.h"

#include "ObjectContext.h"
#include "SqliteTransaction.h"
#include "StoreLoader.h"
#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "model/Tag.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUuid>
#include <QtEndian>

#include <cstring>
#include <sqlite3.h>

namespace {

// Long enough to ride out a checkpoint by a reader, short enough never to freeze the interface.
constexpr int busyTimeoutMilliseconds = 20;
constexpr int readOnlyBusyTimeoutMilliseconds = 2000;

// What opening found before anything was changed.
struct Recognition
{
    enum Kind
    {
        Missing,  // no file: create one
        Empty,    // an SQLite database without tables: ours to set up
        Existing, // a Pinwheels store of `version`
        Refused,  // `reason` says why
    };
    Kind kind = Missing;
    int version = 0;
    QString reason;
};

Recognition refused(const QString& reason)
{
    return {Recognition::Refused, 0, reason};
}

QString walPath(const QString& path)
{
    return path + QStringLiteral("-wal");
}

// Reads the 100-byte SQLite header directly, so that a file that is not a database, or a
// visibly truncated one, is never handed to SQLite (which treats some of them as empty).
Recognition checkHeader(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(QStringLiteral("it cannot be read (%1).").arg(file.errorString()));
    const qint64 size = file.size();
    if (size == 0)
        return {Recognition::Empty, 0, {}};
    const QByteArray header = file.read(100);
    static const char magic[] = "SQLite format 3"; // with its terminating NUL: 16 bytes
    if (header.size() < 100 || std::memcmp(header.constData(), magic, sizeof magic) != 0)
        return refused(QStringLiteral("it is not a Pinwheels store (not an SQLite database)."));
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    qint64 pageSize = qFromBigEndian<quint16>(bytes + 16);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0)
        return refused(QStringLiteral("it is damaged (its header is not valid)."));
    const quint32 pageCount = qFromBigEndian<quint32>(bytes + 28);
    const bool pageCountValid =
        qFromBigEndian<quint32>(bytes + 24) == qFromBigEndian<quint32>(bytes + 92);
    // With a journal beside it the file may be legitimately short until the journal is copied.
    const bool journalled = QFileInfo(walPath(path)).size() > 0;
    if (size < pageSize || (pageCountValid && !journalled && pageCount * pageSize > size))
        return refused(QStringLiteral("it is damaged (the file is truncated)."));
    return {Recognition::Existing, 0, {}};
}

// Asks SQLite, on a read-only connection that can change neither the file nor its journal.
Recognition inspect(const QString& path, int currentVersion)
{
    if (!QFileInfo::exists(path))
        return {};
    Recognition header = checkHeader(path);
    if (header.kind == Recognition::Refused)
        return header;
    SqliteDatabase database;
    if (!database.open(path, SQLITE_OPEN_READONLY))
        return refused(QStringLiteral("it cannot be opened (%1).").arg(database.errorMessage()));
    qint64 tables = 0;
    qint64 applicationId = 0;
    qint64 version = 0;
    if (!database.queryInteger("SELECT count(*) FROM sqlite_schema", &tables) ||
        !database.queryInteger("PRAGMA application_id", &applicationId) ||
        !database.queryInteger("PRAGMA user_version", &version)) {
        if (database.errorCode() == SQLITE_NOTADB)
            return refused(QStringLiteral("it is not a Pinwheels store (not an SQLite database)."));
        return refused(QStringLiteral("it is damaged (%1).").arg(database.errorMessage()));
    }
    if (tables == 0 && applicationId == 0 && version == 0)
        return {Recognition::Empty, 0, {}};
    if (applicationId != StoreSchema::applicationId)
        return refused(QStringLiteral(
            "it is not a Pinwheels store (it is an SQLite database of another program)."));
    if (version > currentVersion)
        return refused(QStringLiteral("it was written by a newer version of Pinwheels (store "
                                      "version %1; this version reads up to %2).")
                           .arg(version)
                           .arg(currentVersion));
    if (version < StoreSchema::firstVersion)
        return refused(QStringLiteral("it is damaged (it has no store version)."));
    return {Recognition::Existing, int(version), {}};
}

bool copyFile(const QString& source, const QString& target, QString* error)
{
    QFile in(source);
    QSaveFile out(target); // synced to disk before it takes its name
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) {
        *error = in.isOpen() ? out.errorString() : in.errorString();
        return false;
    }
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        if (out.write(chunk) != chunk.size()) {
            *error = out.errorString();
            return false;
        }
    }
    if (in.error() != QFileDevice::NoError) {
        *error = in.errorString();
        return false;
    }
    if (!out.commit()) {
        *error = out.errorString();
        return false;
    }
    return true;
}

// Copies the file and its journal beside it, under a name no earlier backup has taken.
bool copyBeside(const QString& path, const QString& label, QString* error, QString* copy = nullptr)
{
    const QString base = path + u'.' + label + QStringLiteral(".backup");
    QString target = base;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo::exists(walPath(target)); ++n)
        target = base + QString::number(n);
    QString reason;
    if (!copyFile(path, target, &reason) || (QFileInfo(walPath(path)).size() > 0 &&
                                             !copyFile(walPath(path), walPath(target), &reason))) {
        *error = QStringLiteral("the backup copy %1 could not be made (%2).")
                     .arg(QDir::toNativeSeparators(target), reason);
        return false;
    }
    if (copy)
        *copy = target;
    return true;
}

bool queryText(SqliteDatabase& database, const char* sql, QString* value)
{
    SqliteStatement statement(database, sql);
    if (!statement.isValid() || !statement.next())
        return false;
    *value = statement.columnText(0);
    return true;
}

bool setVersion(SqliteDatabase& database, int version)
{
    return database.exec(
        QByteArray("PRAGMA user_version = " + QByteArray::number(version)).constData());
}

bool createStore(SqliteDatabase& database)
{
    SqliteTransaction transaction(database);
    if (!transaction.isActive() || !StoreSchema::createFirstVersion(database) ||
        !database.exec(
            QByteArray("PRAGMA application_id = " + QByteArray::number(StoreSchema::applicationId))
                .constData()) ||
        !setVersion(database, StoreSchema::firstVersion))
        return false;
    SqliteStatement insert(database, StoreSchema::insertIdentifier);
    insert.bindText(0, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
    return insert.execute() && transaction.commit();
}

bool migrate(SqliteDatabase& database, int from, const QList<StoreSchema::Step>& laterSteps)
{
    for (int version = from; version < StoreSchema::firstVersion + laterSteps.size(); ++version) {
        SqliteTransaction transaction(database);
        if (!transaction.isActive() || !laterSteps[version - StoreSchema::firstVersion](database) ||
            !setVersion(database, version + 1) || !transaction.commit())
            return false;
    }
    return true;
}

QString refusal(const QString& path, const QString& reason)
{
    return QStringLiteral("The store %1 cannot be used: %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

qint64 milliseconds(const QDateTime& date)
{
    return date.toMSecsSinceEpoch();
}

} // namespace

SqliteStore::SqliteStore(const QString& path)
    : m_path(path)
{}

SqliteStore::~SqliteStore() = default;

std::unique_ptr<SqliteStore> SqliteStore::open(const QString& path, QString* error)
{
    return open(path, StoreSchema::laterSteps(), error);
}

std::unique_ptr<SqliteStore>
SqliteStore::open(const QString& path, const QList<StoreSchema::Step>& laterSteps, QString* error)
{
    const int currentVersion = StoreSchema::firstVersion + int(laterSteps.size());
    const auto fail = [&](const QString& reason) -> std::unique_ptr<SqliteStore> {
        if (error)
            *error = refusal(path, reason);
        return nullptr;
    };
    const Recognition recognition = inspect(path, currentVersion);
    if (recognition.kind == Recognition::Refused)
        return fail(recognition.reason);

    std::unique_ptr<SqliteStore> store(new SqliteStore(path));
    SqliteDatabase& database = store->m_database;
    if (!database.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX))
        return fail(QStringLiteral("it cannot be opened (%1).").arg(database.errorMessage()));
    if (sqlite3_db_readonly(database.handle(), "main") == 1)
        return fail(QStringLiteral("it cannot be written."));
    sqlite3_busy_timeout(database.handle(), busyTimeoutMilliseconds);

    // The backup is made before any setting that writes to the file.
    if (recognition.kind == Recognition::Existing && recognition.version < currentVersion) {
        QString reason;
        if (!copyBeside(path, QStringLiteral("v%1").arg(recognition.version), &reason))
            return fail(reason);
    }
    QString journalMode;
    if (!queryText(database, "PRAGMA journal_mode = WAL", &journalMode) ||
        journalMode.compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        return fail(
            QStringLiteral("its journal cannot be set up (%1).").arg(database.errorMessage()));
    if (!database.exec("PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON") ||
        sqlite3_wal_autocheckpoint(database.handle(), 0) != SQLITE_OK)
        return fail(QStringLiteral("it cannot be set up (%1).").arg(database.errorMessage()));

    int version = recognition.version;
    if (recognition.kind != Recognition::Existing) {
        if (!createStore(database))
            return fail(QStringLiteral("it cannot be created (%1).").arg(database.errorMessage()));
        version = StoreSchema::firstVersion;
    }
    if (version < currentVersion && !migrate(database, version, laterSteps))
        return fail(QStringLiteral("it cannot be brought from version %1 to %2 (%3).")
                        .arg(version)
                        .arg(currentVersion)
                        .arg(database.errorMessage()));
    store->m_version = currentVersion;
    store->m_bytesApart = currentVersion >= StoreSchema::bytesApartVersion;

    if (!store->readIdentifier())
        return fail(QStringLiteral("it is damaged (it has no valid identifier)."));
    if (!store->prepareStatements())
        return fail(QStringLiteral("it is damaged (%1).").arg(database.errorMessage()));
    return store;
}

std::unique_ptr<SqliteStore> SqliteStore::openReadOnly(const QString& path, QString* error)
{
    const int currentVersion = StoreSchema::firstVersion + int(StoreSchema::laterSteps().size());
    const auto fail = [&](const QString& reason) -> std::unique_ptr<SqliteStore> {
        if (error)
            *error = refusal(path, reason);
        return nullptr;
    };
    const Recognition recognition = inspect(path, currentVersion);
    if (recognition.kind == Recognition::Refused)
        return fail(recognition.reason);
    if (recognition.kind != Recognition::Existing)
        return fail(QStringLiteral("it has not been created yet."));
    if (recognition.version < currentVersion)
        return fail(QStringLiteral("it is of an earlier version, brought up to date only when it "
                                   "is opened for writing."));

    std::unique_ptr<SqliteStore> store(new SqliteStore(path));
    store->m_readOnly = true;
    store->m_version = currentVersion;
    store->m_bytesApart = currentVersion >= StoreSchema::bytesApartVersion;
    SqliteDatabase& database = store->m_database;
    if (!database.open(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX))
        return fail(QStringLiteral("it cannot be opened (%1).").arg(database.errorMessage()));
    // A reader waits only while the writer recovers the journal, which is short.
    sqlite3_busy_timeout(database.handle(), readOnlyBusyTimeoutMilliseconds);
    if (!store->readIdentifier())
        return fail(QStringLiteral("it is damaged (it has no valid identifier)."));
    return store;
}

bool SqliteStore::readIdentifier()
{
    return queryText(m_database, StoreSchema::selectIdentifier, &m_identifier) &&
           !QUuid::fromString(m_identifier).isNull();
}

bool SqliteStore::prepareStatements()
{
    const bool prepared =
        m_replaceDisplayItem.prepare(m_database, StoreSchema::replaceDisplayItem) &&
        m_replaceColumn.prepare(m_database, StoreSchema::replaceColumn) &&
        m_replaceCard.prepare(m_database, StoreSchema::replaceCard(m_version)) &&
        m_deleteDisplayItem.prepare(m_database, StoreSchema::deleteDisplayItem) &&
        m_deleteColumn.prepare(m_database, StoreSchema::deleteColumn) &&
        m_deleteCard.prepare(m_database, StoreSchema::deleteCard);
    return prepared &&
           (!m_bytesApart ||
            (m_insertAttachment.prepare(m_database, StoreSchema::insertAttachment) &&
             m_deleteAttachment.prepare(m_database, StoreSchema::deleteAttachment) &&
             m_selectAttachmentBytes.prepare(m_database, StoreSchema::selectAttachmentBytes)));
}

bool SqliteStore::load(ObjectContext& context, QString* error)
{
    // One read transaction: the three tables are read as one consistent state.
    if (!m_database.exec("BEGIN")) {
        if (error)
            *error = m_database.errorMessage();
        return false;
    }
    StoreLoader loader(m_database, context, m_version);
    bool loaded = loader.load(error);
    if (loaded && m_bytesApart && !readAttachmentDigests(loader.cardDigests(), loader)) {
        loaded = false;
        if (error)
            *error = m_database.errorMessage();
    }
    m_database.exec("COMMIT");
    m_anomalies = loader.anomalies();
    if (loaded && m_bytesApart && !m_readOnly)
        removeUnnamedAttachments();
    return loaded;
}

bool SqliteStore::readAttachmentDigests(const QHash<qint64, QList<QByteArray>>& cardDigests,
                                        StoreLoader& loader)
{
    m_cardDigests = cardDigests;
    m_uses.clear();
    m_stored.clear();
    m_snapshotBytes.clear();
    // A snapshot reads the bytes with the graph: the writer may remove them later.
    SqliteStatement row(m_database, m_readOnly ? StoreSchema::selectAttachments
                                               : StoreSchema::selectAttachmentDigests);
    while (row.next()) {
        const QByteArray digest = row.columnBlob(0);
        m_stored.insert(digest);
        if (m_readOnly)
            m_snapshotBytes.insert(digest, row.columnBlob(1));
    }
    if (row.failed() || !row.isValid())
        return false;
    for (auto it = m_cardDigests.cbegin(); it != m_cardDigests.cend(); ++it) {
        for (const QByteArray& digest : it.value()) {
            ++m_uses[digest];
            if (!m_stored.contains(digest))
                loader.note(QStringLiteral("ListItem p%1: its notes name attachment bytes (%2) "
                                           "that are not in the store; the attachment is shown "
                                           "as missing.")
                                .arg(it.key())
                                .arg(QString::fromLatin1(digest.toHex().left(16))));
        }
    }
    return true;
}

void SqliteStore::removeUnnamedAttachments()
{
    QList<QByteArray> unnamed;
    for (const QByteArray& digest : std::as_const(m_stored)) {
        if (!m_uses.contains(digest))
            unnamed.append(digest);
    }
    if (unnamed.isEmpty())
        return;
    SqliteTransaction transaction(m_database);
    SqliteStatement named(m_database, StoreSchema::findDigestInNotes);
    if (!transaction.isActive() || !named.isValid())
        return;
    QList<QByteArray> removed;
    for (const QByteArray& digest : std::as_const(unnamed)) {
        // Notes that hold the digest keep their bytes, even if their card's list lost it.
        named.bindBlob(0, digest);
        const bool stillNamed = named.next();
        named.reset();
        if (named.failed())
            return;
        if (stillNamed)
            continue;
        m_deleteAttachment.bindBlob(0, digest);
        if (!m_deleteAttachment.execute())
            return;
        removed.append(digest);
    }
    if (!transaction.commit())
        return;
    for (const QByteArray& digest : std::as_const(removed))
        m_stored.remove(digest);
}

std::optional<QByteArray> SqliteStore::attachmentBytes(const QByteArray& digest)
{
    if (m_readOnly) {
        const auto it = m_snapshotBytes.constFind(digest);
        return it == m_snapshotBytes.cend() ? std::nullopt : std::optional<QByteArray>(*it);
    }
    if (!m_bytesApart || !m_stored.contains(digest))
        return std::nullopt;
    m_selectAttachmentBytes.bindBlob(0, digest);
    std::optional<QByteArray> bytes;
    if (m_selectAttachmentBytes.next())
        bytes = m_selectAttachmentBytes.columnBlob(0);
    m_selectAttachmentBytes.reset();
    return bytes;
}

bool SqliteStore::write(const ChangeSet& changes, QString* error)
{
    const auto fail = [this, error] {
        if (error)
            *error = m_database.errorMessage();
        return false;
    };
    if (m_readOnly) {
        if (error)
            *error = QStringLiteral("the store is open for reading only.");
        return false;
    }
    const qint64 before = m_database.totalChanges();
    SqliteTransaction transaction(m_database);
    if (!transaction.isActive())
        return fail();
    AttachmentChanges attachments;
    for (const QList<StoredObject*>* objects : {&changes.inserted, &changes.updated}) {
        for (const StoredObject* object : *objects) {
            if (m_bytesApart && object->entity() == Entity::ListItem &&
                !writeCardAttachments(static_cast<const ListItem*>(object), attachments))
                return fail();
            if (!writeObject(object))
                return fail();
        }
    }
    for (const StoredObject* object : changes.deleted) {
        if (!deleteRow(object))
            return fail();
        if (object->entity() == Entity::ListItem)
            attachments.cardDigests.insert(object->objectNumber(), {});
    }
    if (m_bytesApart && !removeUnusedAttachments(attachments))
        return fail();
    if (!transaction.commit())
        return fail();
    takeOver(attachments);
    m_lastWriteRowCount = m_database.totalChanges() - before;
    return true;
}

bool SqliteStore::writeCardAttachments(const ListItem* card, AttachmentChanges& changes)
{
    QList<QByteArray> digests;
    for (const RichText::BytesApart& apart : card->notesBytesApart()) {
        digests.append(apart.digest);
        // Null bytes belong to notes as loaded: the table has them, or lost them long ago.
        if (apart.bytes.isNull() || m_stored.contains(apart.digest) ||
            changes.inserted.contains(apart.digest))
            continue;
        m_insertAttachment.bindBlob(0, apart.digest);
        m_insertAttachment.bindBlob(1, apart.bytes);
        if (!m_insertAttachment.execute())
            return false;
        changes.inserted.insert(apart.digest);
    }
    changes.cardDigests.insert(card->objectNumber(), digests);
    return true;
}

bool SqliteStore::removeUnusedAttachments(AttachmentChanges& changes)
{
    QHash<QByteArray, int> delta;
    for (auto it = changes.cardDigests.cbegin(); it != changes.cardDigests.cend(); ++it) {
        for (const QByteArray& digest : m_cardDigests.value(it.key()))
            --delta[digest];
        for (const QByteArray& digest : it.value())
            ++delta[digest];
    }
    for (auto it = delta.cbegin(); it != delta.cend(); ++it) {
        const QByteArray& digest = it.key();
        if (m_uses.value(digest) + it.value() > 0 ||
            (!m_stored.contains(digest) && !changes.inserted.contains(digest)))
            continue;
        m_deleteAttachment.bindBlob(0, digest);
        if (!m_deleteAttachment.execute())
            return false;
        changes.removed.insert(digest);
    }
    return true;
}

void SqliteStore::takeOver(const AttachmentChanges& changes)
{
    for (auto it = changes.cardDigests.cbegin(); it != changes.cardDigests.cend(); ++it) {
        for (const QByteArray& digest : m_cardDigests.value(it.key())) {
            if (--m_uses[digest] <= 0)
                m_uses.remove(digest);
        }
        for (const QByteArray& digest : it.value())
            ++m_uses[digest];
        if (it.value().isEmpty())
            m_cardDigests.remove(it.key());
        else
            m_cardDigests.insert(it.key(), it.value());
    }
    m_stored.unite(changes.inserted);
    m_stored.subtract(changes.removed);
}

namespace {

template <class T>
void bindMembers(SqliteStatement& statement, int index, const QList<T*>& members,
                 std::vector<std::byte>& buffer)
{
    if (members.isEmpty()) {
        statement.bindNull(index);
        return;
    }
    StoreSchema::encodeMembers(members, buffer);
    statement.bindBlob(index, buffer);
}

void bindDate(SqliteStatement& statement, int index, const QDateTime& date)
{
    if (date.isValid())
        statement.bindInt64(index, milliseconds(date));
    else
        statement.bindNull(index);
}

} // namespace

bool SqliteStore::writeObject(const StoredObject* object)
{
    switch (object->entity()) {
    case Entity::Folder:
    case Entity::Root:
    case Entity::List:
    case Entity::Kanban:
    case Entity::Tag: {
        const auto* item = static_cast<const DisplayItem*>(object);
        SqliteStatement& s = m_replaceDisplayItem;
        s.bindInt64(StoreSchema::DisplayItemNumber, item->objectNumber());
        s.bindText(StoreSchema::DisplayItemEntity, entityName(item->entity()));
        // A tag's title is its name.
        s.bindText(StoreSchema::DisplayItemTitle, item->title());
        s.bindInt64(StoreSchema::DisplayItemColour, item->colour());
        s.bindText(StoreSchema::DisplayItemBgImage, item->bgImage());
        s.bindOptional(StoreSchema::DisplayItemExport, item->exportFlag());
        bindMembers(s, StoreSchema::DisplayItemChildren, item->children(), m_buffer);
        if (item->entity() == Entity::List)
            bindMembers(s, StoreSchema::DisplayItemListItems,
                        static_cast<const List*>(item)->item(), m_buffer);
        if (item->entity() == Entity::Kanban) {
            const auto* board = static_cast<const Kanban*>(item);
            bindMembers(s, StoreSchema::DisplayItemColumns, board->column(), m_buffer);
            bindMembers(s, StoreSchema::DisplayItemTags, board->tags(), m_buffer);
        }
        return s.execute();
    }
    case Entity::KanbanColumn: {
        const auto* column = static_cast<const KanbanColumn*>(object);
        SqliteStatement& s = m_replaceColumn;
        s.bindInt64(StoreSchema::ColumnNumber, column->objectNumber());
        s.bindText(StoreSchema::ColumnTitle, column->title());
        bindMembers(s, StoreSchema::ColumnItems, column->item(), m_buffer);
        return s.execute();
    }
    case Entity::ListItem: {
        const auto* card = static_cast<const ListItem*>(object);
        SqliteStatement& s = m_replaceCard;
        s.bindInt64(StoreSchema::CardNumber, card->objectNumber());
        s.bindText(StoreSchema::CardTitle, card->title());
        s.bindBlob(StoreSchema::CardNotes, card->encodedNotes(m_bytesApart));
        bindDate(s, StoreSchema::CardDateAdded, card->dateAdded());
        bindDate(s, StoreSchema::CardDueDate, card->dueDate());
        bindDate(s, StoreSchema::CardDoneDate, card->doneDate());
        s.bindOptional(StoreSchema::CardDone, card->done());
        s.bindOptional(StoreSchema::CardArchived, card->archived());
        s.bindOptional(StoreSchema::CardPriority, card->priority());
        s.bindOptional(StoreSchema::CardNotesExpanded, card->notesExpanded());
        s.bindOptional(StoreSchema::CardTimeWorked, card->timeWorked());
        bindMembers(s, StoreSchema::CardTags, card->tags(), m_buffer);
        if (m_bytesApart) {
            QList<QByteArray> digests;
            for (const RichText::BytesApart& apart : card->notesBytesApart())
                digests.append(apart.digest);
            s.bindBlob(StoreSchema::CardAttachments, StoreSchema::encodeDigests(digests));
        }
        return s.execute();
    }
    case Entity::DisplayItem:
        break;
    }
    return false;
}

bool SqliteStore::deleteRow(const StoredObject* object)
{
    SqliteStatement* statement = nullptr;
    switch (object->entity()) {
    case Entity::KanbanColumn:
        statement = &m_deleteColumn;
        break;
    case Entity::ListItem:
        statement = &m_deleteCard;
        break;
    default:
        statement = &m_deleteDisplayItem;
        break;
    }
    statement->bindInt64(0, object->objectNumber());
    return statement->execute();
}

bool SqliteStore::backUp(const QString& label, QString* copy, QString* error)
{
    if (m_readOnly) {
        if (error)
            *error = QStringLiteral("the store is open for reading only.");
        return false;
    }
    QString reason;
    if (copyBeside(m_path, label, &reason, copy))
        return true;
    if (error)
        *error = reason;
    return false;
}

bool SqliteStore::checkpoint()
{
    return sqlite3_wal_checkpoint_v2(m_database.handle(), nullptr, SQLITE_CHECKPOINT_TRUNCATE,
                                     nullptr, nullptr) == SQLITE_OK;
}

bool SqliteStore::integrityCheck(QStringList* problems)
{
    SqliteStatement check(m_database, "PRAGMA integrity_check");
    QStringList lines;
    while (check.next())
        lines.append(check.columnText(0));
    if (check.failed() || !check.isValid())
        lines.append(m_database.errorMessage());
    const bool ok = lines == QStringList{QStringLiteral("ok")};
    if (problems)
        *problems = ok ? QStringList() : lines;
    return ok;
}
