#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <span>

struct sqlite3_stmt;
class SqliteDatabase;

// Owns one prepared statement. Bind, then step through the rows with next() or run it to the
// end with execute(); reset() makes it ready for the next use with fresh bindings.
// Parameter and column indexes count from 0.
class SqliteStatement final
{
public:
    SqliteStatement() = default;
    SqliteStatement(SqliteDatabase& database, const char* sql);
    ~SqliteStatement();
    Q_DISABLE_COPY_MOVE(SqliteStatement)

    bool prepare(SqliteDatabase& database, const char* sql);
    bool isValid() const { return m_statement != nullptr; }

    void bindNull(int index);
    void bindInt64(int index, qint64 value);
    void bindDouble(int index, double value);
    // A null string binds SQL NULL; an empty one binds ''.
    void bindText(int index, const QString& text);
    // A null array binds SQL NULL. The bytes are copied.
    void bindBlob(int index, const QByteArray& bytes);
    void bindBlob(int index, std::span<const std::byte> bytes);
    template <class T>
    void bindOptional(int index, const std::optional<T>& value)
    {
        if (!value)
            bindNull(index);
        else if constexpr (std::is_floating_point_v<T>)
            bindDouble(index, *value);
        else
            bindInt64(index, qint64(*value));
    }

    // Steps once: true with a row to read, false at the end or on an error (see failed()).
    bool next();
    // Steps to the end and resets; true unless SQLite reported an error.
    bool execute();
    bool failed() const { return m_failed; }
    void reset();

    int columnCount() const;
    int columnType(int index) const; // SQLITE_INTEGER, SQLITE_TEXT, …
    bool columnIsNull(int index) const;
    qint64 columnInt64(int index) const;
    double columnDouble(int index) const;
    QString columnText(int index) const;    // null for SQL NULL
    QByteArray columnBlob(int index) const; // null for SQL NULL
    // Valid until the next step or reset; no copy.
    std::span<const std::byte> columnBytes(int index) const;

private:
    sqlite3_stmt* m_statement = nullptr;
    bool m_failed = false;
};
