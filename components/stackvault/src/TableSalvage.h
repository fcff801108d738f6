// Copies one table of a damaged library (attached as "old") into the same
// table of the new one, row by row in rowid order. When a page cannot be
// read the scan stops there and resumes at the first rowid it can reach
// again, so a damaged page costs only the rows it held. A row that cannot
// be copied (its overflow pages are damaged, or it breaks a constraint of
// the table) is skipped and counted.
#pragma once
#include "hresult.h"

#include <cstdint>
#include <string>

class SqliteConnection;

class TableSalvage {
public:
    TableSalvage(SqliteConnection& db, const char* table) : m_db(db), m_table(table) {}

    // Copies what can be read; fails only when the new library cannot be
    // written or the table cannot be read at all.
    HRESULT Run();
    int64_t Copied() const { return m_copied; }
    int64_t Refused() const { return m_refused; }
    // Stretches of rowids passed over because their pages were unreadable.
    int Gaps() const { return m_gaps; }

private:
    // The first rowid >= from in the old table: SQLITE_ROW with *rowid,
    // SQLITE_DONE when there is none, or SQLite's error.
    int Probe(int64_t from, int64_t* rowid);
    // The smallest start at or after `from` from which the old table can
    // be read again; false when no such start exists.
    bool NextReadable(int64_t from, int64_t* start);
    HRESULT CopyFrom(int64_t start, int64_t* next, int* rc);
    HRESULT CopyRow(int64_t rowid);
    std::string ColumnList() const;

    SqliteConnection& m_db;
    std::string m_table;
    std::string m_scanSql, m_probeSql, m_copySql;
    int64_t m_copied = 0;
    int64_t m_refused = 0;
    int m_gaps = 0;
};
