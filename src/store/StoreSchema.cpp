#include "StoreSchema.h"

#include "SqliteDatabase.h"
#include "SqliteStatement.h"
#include "model/AttachmentDigest.h"
#include "model/RichText.h"
#include "model/StoredObject.h"

#include <QtEndian>

#include <cstring>

QList<StoreSchema::Step> StoreSchema::laterSteps()
{
    return {keepBytesApart};
}

bool StoreSchema::keepBytesApart(SqliteDatabase& database)
{
    if (!database.exec(R"(
CREATE TABLE attachment (
    digest BLOB PRIMARY KEY NOT NULL,
    bytes BLOB NOT NULL
);
ALTER TABLE list_item ADD COLUMN attachments BLOB;
)"))
        return false;
    // Numbers first: rows are rewritten one at a time, never under a running SELECT.
    std::vector<qint64> numbers;
    {
        SqliteStatement rows(database, "SELECT number FROM list_item WHERE notes IS NOT NULL");
        while (rows.next())
            numbers.push_back(rows.columnInt64(0));
        if (rows.failed() || !rows.isValid())
            return false;
    }
    SqliteStatement read(database, "SELECT notes FROM list_item WHERE number = ?");
    SqliteStatement update(database,
                           "UPDATE list_item SET notes = ?, attachments = ? WHERE number = ?");
    SqliteStatement insert(database, insertAttachment);
    for (const qint64 number : numbers) {
        read.bindInt64(0, number);
        if (!read.next())
            return false;
        const std::optional<RichText> notes = RichText::decode(read.columnBlob(0));
        read.reset();
        // Notes that cannot be read stay as they are, for the loader to report.
        if (!notes)
            continue;
        QList<RichText::BytesApart> apart;
        const QByteArray encoded = notes->encodeApart(&apart);
        if (apart.isEmpty())
            continue;
        QList<QByteArray> digests;
        for (const RichText::BytesApart& bytes : std::as_const(apart)) {
            insert.bindBlob(0, bytes.digest);
            insert.bindBlob(1, bytes.bytes);
            if (!insert.execute())
                return false;
            digests.append(bytes.digest);
        }
        update.bindBlob(0, encoded);
        update.bindBlob(1, encodeDigests(digests));
        update.bindInt64(2, number);
        if (!update.execute())
            return false;
    }
    return true;
}

bool StoreSchema::createFirstVersion(SqliteDatabase& database)
{
    return database.exec(R"(
CREATE TABLE metadata (
    key TEXT PRIMARY KEY NOT NULL,
    value TEXT NOT NULL
) WITHOUT ROWID;
CREATE TABLE display_item (
    number INTEGER PRIMARY KEY,
    entity TEXT NOT NULL,
    title TEXT,
    colour INTEGER NOT NULL DEFAULT 0,
    bg_image TEXT,
    export INTEGER,
    children BLOB,
    list_items BLOB,
    columns BLOB,
    tags BLOB
);
CREATE TABLE kanban_column (
    number INTEGER PRIMARY KEY,
    title TEXT,
    items BLOB
);
CREATE TABLE list_item (
    number INTEGER PRIMARY KEY,
    title TEXT,
    notes BLOB,
    date_added INTEGER,
    due_date INTEGER,
    done_date INTEGER,
    done INTEGER,
    archived INTEGER,
    priority INTEGER,
    notes_expanded INTEGER,
    time_worked REAL,
    tags BLOB
);
)");
}

const char* const StoreSchema::selectDisplayItems =
    "SELECT number, entity, title, colour, bg_image, export, children, list_items, columns, tags "
    "FROM display_item ORDER BY number";
const char* const StoreSchema::replaceDisplayItem =
    "INSERT OR REPLACE INTO display_item (number, entity, title, colour, bg_image, export, "
    "children, list_items, columns, tags) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
const char* const StoreSchema::deleteDisplayItem = "DELETE FROM display_item WHERE number = ?";

const char* const StoreSchema::selectColumns =
    "SELECT number, title, items FROM kanban_column ORDER BY number";
const char* const StoreSchema::replaceColumn =
    "INSERT OR REPLACE INTO kanban_column (number, title, items) VALUES (?, ?, ?)";
const char* const StoreSchema::deleteColumn = "DELETE FROM kanban_column WHERE number = ?";

const char* StoreSchema::selectCards(int version)
{
    if (version < bytesApartVersion)
        return "SELECT number, title, notes, date_added, due_date, done_date, done, archived, "
               "priority, notes_expanded, time_worked, tags FROM list_item ORDER BY number";
    return "SELECT number, title, notes, date_added, due_date, done_date, done, archived, "
           "priority, notes_expanded, time_worked, tags, attachments FROM list_item "
           "ORDER BY number";
}

const char* StoreSchema::replaceCard(int version)
{
    if (version < bytesApartVersion)
        return "INSERT OR REPLACE INTO list_item (number, title, notes, date_added, due_date, "
               "done_date, done, archived, priority, notes_expanded, time_worked, tags) "
               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
    return "INSERT OR REPLACE INTO list_item (number, title, notes, date_added, due_date, "
           "done_date, done, archived, priority, notes_expanded, time_worked, tags, "
           "attachments) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
}

const char* const StoreSchema::deleteCard = "DELETE FROM list_item WHERE number = ?";

const char* const StoreSchema::selectAttachmentDigests = "SELECT digest FROM attachment";
const char* const StoreSchema::selectAttachments = "SELECT digest, bytes FROM attachment";
const char* const StoreSchema::selectAttachmentBytes =
    "SELECT bytes FROM attachment WHERE digest = ?";
const char* const StoreSchema::insertAttachment =
    "INSERT OR IGNORE INTO attachment (digest, bytes) VALUES (?, ?)";
const char* const StoreSchema::deleteAttachment = "DELETE FROM attachment WHERE digest = ?";
const char* const StoreSchema::findDigestInNotes =
    "SELECT 1 FROM list_item WHERE instr(notes, ?) > 0 LIMIT 1";

QByteArray StoreSchema::encodeDigests(const QList<QByteArray>& digests)
{
    QByteArray field;
    for (const QByteArray& digest : digests)
        field.append(digest);
    return field.isEmpty() ? QByteArray() : field;
}

bool StoreSchema::decodeDigests(std::span<const std::byte> bytes, QList<QByteArray>& out)
{
    const size_t count = bytes.size() / AttachmentDigest::size;
    for (size_t i = 0; i < count; ++i)
        out.append(
            QByteArray(reinterpret_cast<const char*>(bytes.data()) + i * AttachmentDigest::size,
                       AttachmentDigest::size));
    return bytes.size() % AttachmentDigest::size == 0;
}
const char* const StoreSchema::selectIdentifier =
    "SELECT value FROM metadata WHERE key = 'identifier'";
const char* const StoreSchema::insertIdentifier =
    "INSERT OR REPLACE INTO metadata (key, value) VALUES ('identifier', ?)";

bool StoreSchema::decodeMembers(std::span<const std::byte> bytes, std::vector<qint64>& out)
{
    const size_t count = bytes.size() / sizeof(qint64);
    const size_t first = out.size();
    out.resize(first + count);
    for (size_t i = 0; i < count; ++i) {
        qint64 number;
        std::memcpy(&number, bytes.data() + i * sizeof(qint64), sizeof(qint64));
        out[first + i] = qFromLittleEndian(number);
    }
    return bytes.size() % sizeof(qint64) == 0;
}

qint64 StoreSchema::memberNumber(const StoredObject* object)
{
    return object->objectNumber();
}

void StoreSchema::storeNumber(std::byte* p, qint64 number)
{
    qToLittleEndian(number, p);
}
