#pragma once

#include <QtGlobal>

class SqliteDatabase;

// One write transaction, begun at construction (taking the write lock at once), rolled back at
// destruction unless committed.
class SqliteTransaction final
{
public:
    explicit SqliteTransaction(SqliteDatabase& database);
    ~SqliteTransaction();
    Q_DISABLE_COPY_MOVE(SqliteTransaction)

    // False when BEGIN failed; the database's error message tells why.
    bool isActive() const { return m_active; }
    bool commit();
    void rollback();

private:
    SqliteDatabase& m_database;
    bool m_active = false;
};
