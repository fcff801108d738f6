// One transaction on a connection: rolled back unless finished with success.
#pragma once
#include "PgConnection.h"

class PgTransaction {
public:
    explicit PgTransaction(PgConnection& db) : m_db(db), m_begin(db.Run("BEGIN", {}, "begin")) {}
    ~PgTransaction()
    {
        if (SUCCEEDED(m_begin) && !m_done) m_db.Run("ROLLBACK", {}, "rollback");
    }
    PgTransaction(const PgTransaction&) = delete;
    PgTransaction& operator=(const PgTransaction&) = delete;

    HRESULT Started() const { return m_begin; }
    // Commits when hr succeeded (else rolls back); returns the outcome.
    HRESULT Finish(HRESULT hr)
    {
        m_done = true;
        if (FAILED(hr)) {
            m_db.Run("ROLLBACK", {}, "rollback");
            return hr;
        }
        const HRESULT committed = m_db.Run("COMMIT", {}, "commit");
        return FAILED(committed) ? committed : hr;
    }

private:
    PgConnection& m_db;
    HRESULT m_begin;
    bool m_done = false;
};
