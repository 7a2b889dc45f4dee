#pragma once

#include <QString>

#include <cstdint>

struct sqlite3;

// Owns one SQLite connection. Every call reports failure by its result; errorMessage() then
// tells why, as SQLite put it.
class SqliteDatabase final
{
public:
    SqliteDatabase() = default;
    ~SqliteDatabase();
    Q_DISABLE_COPY_MOVE(SqliteDatabase)

    // `flags` are SQLite's open flags (SQLITE_OPEN_READONLY, SQLITE_OPEN_READWRITE, …).
    bool open(const QString& path, int flags);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }

    // Runs one or more statements that return no rows worth keeping.
    bool exec(const char* sql);
    // The first column of the first row of a single statement, e.g. a PRAGMA's value.
    bool queryInteger(const char* sql, qint64* value);

    QString errorMessage() const;
    int errorCode() const;
    // Rows inserted, updated or deleted by this connection since it opened.
    qint64 totalChanges() const;

private:
    sqlite3* m_db = nullptr;
    QString m_openError; // SQLite has no handle to ask once an open failed
};
