#include "SqliteStatement.h"

#include "SqliteDatabase.h"

#include <sqlite3.h>

SqliteStatement::SqliteStatement(SqliteDatabase& database, const char* sql)
{
    prepare(database, sql);
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

bool SqliteStatement::prepare(SqliteDatabase& database, const char* sql)
{
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
    m_failed = false;
    if (!database.isOpen())
        return false;
    // Statements of a store live as long as its connection: let SQLite plan them for reuse.
    if (sqlite3_prepare_v3(database.handle(), sql, -1, SQLITE_PREPARE_PERSISTENT, &m_statement,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        return false;
    }
    return true;
}

void SqliteStatement::bindNull(int index)
{
    sqlite3_bind_null(m_statement, index + 1);
}

void SqliteStatement::bindInt64(int index, qint64 value)
{
    sqlite3_bind_int64(m_statement, index + 1, value);
}

void SqliteStatement::bindDouble(int index, double value)
{
    sqlite3_bind_double(m_statement, index + 1, value);
}

void SqliteStatement::bindText(int index, const QString& text)
{
    if (text.isNull()) {
        bindNull(index);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text64(m_statement, index + 1, utf8.constData(), sqlite3_uint64(utf8.size()),
                        SQLITE_TRANSIENT, SQLITE_UTF8);
}

void SqliteStatement::bindBlob(int index, const QByteArray& bytes)
{
    if (bytes.isNull()) {
        bindNull(index);
        return;
    }
    // A null data pointer would bind NULL; an empty blob stays an empty blob.
    sqlite3_bind_blob64(m_statement, index + 1, bytes.isEmpty() ? "" : bytes.constData(),
                        sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::bindBlob(int index, std::span<const std::byte> bytes)
{
    sqlite3_bind_blob64(m_statement, index + 1, bytes.empty() ? "" : (const void*)bytes.data(),
                        sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
}

bool SqliteStatement::next()
{
    if (!m_statement) {
        m_failed = true;
        return false;
    }
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    m_failed = rc != SQLITE_DONE;
    return false;
}

bool SqliteStatement::execute()
{
    while (next()) {
    }
    const bool ok = !m_failed;
    // sqlite3_reset leaves the connection's error message as the failed step set it.
    reset();
    return ok;
}

void SqliteStatement::reset()
{
    if (!m_statement)
        return;
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    m_failed = false;
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

int SqliteStatement::columnType(int index) const
{
    return sqlite3_column_type(m_statement, index);
}

bool SqliteStatement::columnIsNull(int index) const
{
    return sqlite3_column_type(m_statement, index) == SQLITE_NULL;
}

qint64 SqliteStatement::columnInt64(int index) const
{
    return sqlite3_column_int64(m_statement, index);
}

double SqliteStatement::columnDouble(int index) const
{
    return sqlite3_column_double(m_statement, index);
}

QString SqliteStatement::columnText(int index) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, index));
    if (!text)
        return {};
    return QString::fromUtf8(text, sqlite3_column_bytes(m_statement, index));
}

QByteArray SqliteStatement::columnBlob(int index) const
{
    const void* data = sqlite3_column_blob(m_statement, index);
    const int size = sqlite3_column_bytes(m_statement, index);
    if (!data)
        return size == 0 && sqlite3_column_type(m_statement, index) != SQLITE_NULL ? QByteArray("")
                                                                                   : QByteArray();
    return QByteArray(static_cast<const char*>(data), size);
}

std::span<const std::byte> SqliteStatement::columnBytes(int index) const
{
    const void* data = sqlite3_column_blob(m_statement, index);
    const int size = sqlite3_column_bytes(m_statement, index);
    if (!data || size <= 0)
        return {};
    return {static_cast<const std::byte*>(data), size_t(size)};
}
