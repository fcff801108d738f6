// A write transaction taken at its start (BEGIN IMMEDIATE), so that waiting
// for another writer happens there under the busy timeout and never as a
// failed upgrade later. Rolled back unless committed. One that changed rows
// raises the library's change count with them; one that changed nothing (a
// clean-up with nothing to clean) leaves it, so that no backup falls due.
#pragma once
#include "LibraryChanges.h"
#include "SqliteConnection.h"

#include <sqlite3.h>

class WriteTransaction {
public:
    explicit WriteTransaction(SqliteConnection& db)
        : m_db(db), m_beginResult(db.Execute("BEGIN IMMEDIATE")), m_changesBefore(sqlite3_total_changes64(db.Handle()))
    {
    }
    ~WriteTransaction()
    {
        if (m_beginResult == SQLITE_OK && !m_done) m_db.Execute("ROLLBACK");
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    // S_OK when the transaction could be started.
    HRESULT Started() const { return m_beginResult == SQLITE_OK ? S_OK : m_db.Failure(m_beginResult, "begin"); }
    // Commits when hr succeeded (else rolls back); returns the outcome.
    HRESULT Finish(HRESULT hr)
    {
        m_done = true;
        if (FAILED(hr)) {
            m_db.Execute("ROLLBACK");
            return hr;
        }
        int rc = sqlite3_total_changes64(m_db.Handle()) == m_changesBefore ? SQLITE_OK : LibraryChanges::Note(m_db);
        if (rc == SQLITE_OK) rc = m_db.Execute("COMMIT");
        if (rc == SQLITE_OK) return hr;
        m_db.Execute("ROLLBACK");
        return m_db.Failure(rc, "commit");
    }

private:
    SqliteConnection& m_db;
    int m_beginResult;
    sqlite3_int64 m_changesBefore;
    bool m_done = false;
};
