#include "StoreSchema.h"

#include "SqliteDatabase.h"
#include "model/StoredObject.h"

#include <QtEndian>

#include <cstring>

QList<StoreSchema::Step> StoreSchema::laterSteps()
{
    return {};
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

const char* const StoreSchema::selectCards =
    "SELECT number, title, notes, date_added, due_date, done_date, done, archived, priority, "
    "notes_expanded, time_worked, tags FROM list_item ORDER BY number";
const char* const StoreSchema::replaceCard =
    "INSERT OR REPLACE INTO list_item (number, title, notes, date_added, due_date, done_date, "
    "done, archived, priority, notes_expanded, time_worked, tags) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
const char* const StoreSchema::deleteCard = "DELETE FROM list_item WHERE number = ?";

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
