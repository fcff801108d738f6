#include "TableSalvage.h"

#include "SqliteConnection.h"

#include <limits>
#include <sqlite3.h>

namespace {
constexpr int64_t kFirstRowid = std::numeric_limits<int64_t>::min();
constexpr int64_t kLastRowid = std::numeric_limits<int64_t>::max();

bool IsReadable(int rc) { return rc == SQLITE_ROW || rc == SQLITE_DONE; }
bool IsDamage(int rc) { return (rc & 0xFF) == SQLITE_CORRUPT || (rc & 0xFF) == SQLITE_NOTADB; }

// a + b without passing the last rowid.
int64_t SaturatedAdd(int64_t a, uint64_t b)
{
    return static_cast<uint64_t>(kLastRowid - a) < b ? kLastRowid : static_cast<int64_t>(static_cast<uint64_t>(a) + b);
}
} // namespace

std::string TableSalvage::ColumnList() const
{
    std::string columns;
    auto query = m_db.Statement("SELECT name FROM pragma_table_info(?1, 'main') ORDER BY cid");
    if (!query) return columns;
    query->BindUtf8(1, QByteArray::fromStdString(m_table));
    while (query->Step() == SQLITE_ROW) columns += (columns.empty() ? "" : ", ") + query->Utf8(0).toStdString();
    return columns;
}

HRESULT TableSalvage::Run()
{
    const std::string columns = ColumnList();
    if (columns.empty()) return E_FAIL;
    m_scanSql = "SELECT rowid FROM old." + m_table + " WHERE rowid >= ?1 ORDER BY rowid";
    m_probeSql = m_scanSql + " LIMIT 1";
    m_copySql = "INSERT OR IGNORE INTO main." + m_table + "(" + columns + ") SELECT " + columns + " FROM old." +
                m_table + " WHERE rowid = ?1";
    if (!m_db.Statement(m_scanSql.c_str())) return ++m_gaps, S_OK; // no such table in the damaged library
    int64_t start = kFirstRowid;
    for (;;) {
        int64_t next = start;
        int rc = SQLITE_DONE;
        const HRESULT hr = CopyFrom(start, &next, &rc);
        if (FAILED(hr)) return hr;
        if (IsReadable(rc)) return S_OK;
        ++m_gaps;
        if (!NextReadable(next, &start)) return S_OK;
    }
}

HRESULT TableSalvage::CopyFrom(int64_t start, int64_t* next, int* rc)
{
    auto scan = m_db.Statement(m_scanSql.c_str());
    if (!scan) return E_FAIL;
    scan->Bind(1, start);
    while ((*rc = scan->Step()) == SQLITE_ROW) {
        const int64_t rowid = scan->Int64(0);
        const HRESULT hr = CopyRow(rowid);
        if (FAILED(hr)) return hr;
        if (rowid == kLastRowid) return *rc = SQLITE_DONE, S_OK;
        *next = rowid + 1;
    }
    return S_OK;
}

HRESULT TableSalvage::CopyRow(int64_t rowid)
{
    auto copy = m_db.Statement(m_copySql.c_str());
    if (!copy) return E_FAIL;
    copy->Bind(1, rowid);
    const int rc = copy->Run();
    if (rc == SQLITE_DONE && m_db.Changes() == 1) ++m_copied;
    else if (rc == SQLITE_DONE || IsDamage(rc)) ++m_refused;
    else return m_db.Failure(rc, "salvage row");
    return S_OK;
}

int TableSalvage::Probe(int64_t from, int64_t* rowid)
{
    auto probe = m_db.Statement(m_probeSql.c_str());
    if (!probe) return SQLITE_ERROR;
    probe->Bind(1, from);
    const int rc = probe->Step();
    if (rc == SQLITE_ROW) *rowid = probe->Int64(0);
    return rc;
}

// Gallops forward until a start can be read again, then halves the last
// stretch down to the smallest such start (the first rowid behind the
// damaged pages).
bool TableSalvage::NextReadable(int64_t from, int64_t* start)
{
    int64_t unreadable = from;
    int64_t readable = from;
    int64_t rowid = 0;
    for (uint64_t step = 1;; step *= 2) {
        if (unreadable == kLastRowid) return false;
        readable = SaturatedAdd(unreadable, step);
        if (IsReadable(Probe(readable, &rowid))) break;
        unreadable = readable;
    }
    auto distance = [&] { return static_cast<uint64_t>(readable) - static_cast<uint64_t>(unreadable); };
    while (distance() > 1) {
        const int64_t middle = static_cast<int64_t>(static_cast<uint64_t>(unreadable) + distance() / 2);
        (IsReadable(Probe(middle, &rowid)) ? readable : unreadable) = middle;
    }
    *start = readable;
    return Probe(readable, &rowid) == SQLITE_ROW;
}
