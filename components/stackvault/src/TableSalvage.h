// Copies one table of a damaged library (a read-only connection) into the
// same table of the new one, row by row in rowid order. When a page cannot
// be read the scan stops there and resumes at the first rowid it can reach
// again, so a damaged page costs only the rows it held. A row the new
// table refuses (a value lost with a damaged page breaks its constraints)
// is skipped and counted. Reading and writing go through separate
// connections: SQLite gives up a write transaction on a connection whose
// read met a damaged page.
#pragma once
#include "hresult.h"

#include <cstdint>
#include <string>

class SqliteConnection;

class TableSalvage {
public:
    TableSalvage(SqliteConnection& source, SqliteConnection& target, const char* table)
        : m_source(source), m_target(target), m_table(table)
    {
    }

    // Copies what can be read; fails only when the new library cannot be
    // written. A table that cannot be read at all copies nothing.
    HRESULT Run();
    // For a table without rowids: copies in one pass, as far as it can be read.
    HRESULT RunOnce();
    int64_t Copied() const { return m_copied; }
    int64_t Refused() const { return m_refused; }
    // Stretches of rows passed over because their pages were unreadable.
    int Gaps() const { return m_gaps; }

private:
    bool Prepare(const char* key);
    // The first rowid >= from: SQLITE_ROW with *rowid, SQLITE_DONE when
    // there is none, or SQLite's error.
    int Probe(int64_t from, int64_t* rowid);
    // The smallest start after `from` from which the table can be read
    // again; false when no such start exists.
    bool NextReadable(int64_t from, int64_t* start);
    HRESULT CopyFrom(int64_t start, int64_t* next, int* rc);
    HRESULT CopyRow(const class SqliteStatement& row);

    SqliteConnection& m_source;
    SqliteConnection& m_target;
    std::string m_table;
    int m_columns = 0;
    std::string m_scanSql, m_probeSql, m_insertSql;
    int64_t m_copied = 0;
    int64_t m_refused = 0;
    int m_gaps = 0;
};
