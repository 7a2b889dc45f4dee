#include "SqliteDatabase.h"

#include "SqliteStatement.h"

#include <QFile>

#include <sqlite3.h>

SqliteDatabase::~SqliteDatabase()
{
    close();
}

bool SqliteDatabase::open(const QString& path, int flags)
{
    close();
    m_openError.clear();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                   flags | SQLITE_OPEN_EXRESCODE, nullptr);
    if (rc != SQLITE_OK) {
        m_openError =
            db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db);
        return false;
    }
    m_db = db;
    return true;
}

void SqliteDatabase::close()
{
    if (!m_db)
        return;
    // Statements must be finalized first; close_v2 defers the close until they are.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool SqliteDatabase::exec(const char* sql)
{
    return m_db && sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool SqliteDatabase::queryInteger(const char* sql, qint64* value)
{
    SqliteStatement statement(*this, sql);
    if (!statement.isValid() || !statement.next())
        return false;
    *value = statement.columnInt64(0);
    return true;
}

QString SqliteDatabase::errorMessage() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : m_openError;
}

int SqliteDatabase::errorCode() const
{
    return m_db ? sqlite3_extended_errcode(m_db) : SQLITE_CANTOPEN;
}

qint64 SqliteDatabase::totalChanges() const
{
    return m_db ? sqlite3_total_changes64(m_db) : 0;
}
