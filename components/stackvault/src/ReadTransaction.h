// Many small reads in one read transaction: outside a transaction every
// statement takes and drops the file locks and checks the file on its own,
// which costs more than reading a row by its id. Does nothing when a
// transaction is already open on the connection; ends when it goes.
#pragma once
#include "SqliteConnection.h"

#include <sqlite3.h>

class ReadTransaction {
public:
    explicit ReadTransaction(SqliteConnection& db)
        : m_db(db), m_began(sqlite3_get_autocommit(db.Handle()) != 0 && db.Execute("BEGIN") == SQLITE_OK)
    {
    }
    ~ReadTransaction()
    {
        if (m_began) m_db.Execute("COMMIT");
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    SqliteConnection& m_db;
    bool m_began;
};
