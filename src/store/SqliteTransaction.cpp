#include "SqliteTransaction.h"

#include "SqliteDatabase.h"

#include <sqlite3.h>

SqliteTransaction::SqliteTransaction(SqliteDatabase& database)
    : m_database(database)
    // IMMEDIATE: a competing writer makes BEGIN fail rather than a later statement.
    , m_active(database.exec("BEGIN IMMEDIATE"))
{}

SqliteTransaction::~SqliteTransaction()
{
    rollback();
}

bool SqliteTransaction::commit()
{
    if (!m_active)
        return false;
    if (!m_database.exec("COMMIT")) {
        // A failed COMMIT may leave the transaction open (SQLITE_BUSY); the destructor or a
        // later rollback() ends it.
        return false;
    }
    m_active = false;
    return true;
}

void SqliteTransaction::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    // SQLite may already have rolled back on its own after some errors.
    if (sqlite3_get_autocommit(m_database.handle()) == 0)
        m_database.exec("ROLLBACK");
}
