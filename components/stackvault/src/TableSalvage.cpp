#include "TableSalvage.h"

#include "SqliteConnection.h"

#include <limits>
#include <sqlite3.h>

namespace {
constexpr int64_t kFirstRowid = std::numeric_limits<int64_t>::min();
constexpr int64_t kLastRowid = std::numeric_limits<int64_t>::max();

bool IsReadable(int rc) { return rc == SQLITE_ROW || rc == SQLITE_DONE; }
bool IsRefusal(int rc) { return (rc & 0xFF) == SQLITE_CONSTRAINT || (rc & 0xFF) == SQLITE_MISMATCH; }

// a + b without passing the last rowid. The distance to the last rowid is
// taken in unsigned arithmetic: from the first rowid it exceeds int64_t.
int64_t SaturatedAdd(int64_t a, uint64_t b)
{
    const uint64_t room = static_cast<uint64_t>(kLastRowid) - static_cast<uint64_t>(a);
    return room < b ? kLastRowid : static_cast<int64_t>(static_cast<uint64_t>(a) + b);
}
} // namespace

// The statements for the table's columns as the new library has them;
// `key` selects rows by rowid ("rowid") or takes them as stored ("0").
bool TableSalvage::Prepare(const char* key)
{
    std::string columns, placeholders;
    auto query = m_target.Statement("SELECT name FROM pragma_table_info(?1) ORDER BY cid");
    if (!query) return false;
    query->BindUtf8(1, QByteArray::fromStdString(m_table));
    for (m_columns = 0; query->Step() == SQLITE_ROW; ++m_columns) {
        columns += (m_columns ? ", " : "") + query->Utf8(0).toStdString();
        placeholders += m_columns ? ", ?" : "?";
    }
    const bool byRowid = std::string(key) == "rowid";
    m_scanSql = std::string("SELECT ") + key + ", " + columns + " FROM " + m_table +
                (byRowid ? " WHERE rowid >= ?1 ORDER BY rowid" : "");
    m_probeSql = "SELECT rowid FROM " + m_table + " WHERE rowid >= ?1 ORDER BY rowid LIMIT 1";
    m_insertSql = "INSERT OR IGNORE INTO " + m_table + "(" + columns + ") VALUES(" + placeholders + ")";
    // A table the damaged library cannot even name is skipped whole.
    if (m_columns > 0 && m_source.Statement(m_scanSql.c_str())) return true;
    ++m_gaps;
    return false;
}

HRESULT TableSalvage::Run()
{
    if (!Prepare("rowid")) return S_OK;
    int64_t start = kFirstRowid;
    for (;;) {
        int64_t next = start;
        int rc = SQLITE_DONE;
        const HRESULT hr = CopyFrom(start, &next, &rc);
        if (FAILED(hr) || IsReadable(rc)) return hr;
        if (next != start) { // rows were copied: try again right behind the last one
            start = next;
            continue;
        }
        ++m_gaps;
        if (!NextReadable(next, &start)) return S_OK;
    }
}

HRESULT TableSalvage::RunOnce()
{
    if (!Prepare("0")) return S_OK;
    int64_t next = 0;
    int rc = SQLITE_DONE;
    const HRESULT hr = CopyFrom(0, &next, &rc);
    if (!IsReadable(rc)) ++m_gaps;
    return hr;
}

HRESULT TableSalvage::CopyFrom(int64_t start, int64_t* next, int* rc)
{
    auto scan = m_source.Statement(m_scanSql.c_str());
    if (!scan) return *rc = SQLITE_ERROR, S_OK;
    scan->Bind(1, start);
    while ((*rc = scan->Step()) == SQLITE_ROW) {
        const HRESULT hr = CopyRow(*scan);
        if (FAILED(hr)) return hr;
        const int64_t rowid = scan->Int64(0);
        if (rowid == kLastRowid) return *rc = SQLITE_DONE, S_OK;
        *next = rowid + 1;
    }
    return S_OK;
}

HRESULT TableSalvage::CopyRow(const SqliteStatement& row)
{
    auto insert = m_target.Statement(m_insertSql.c_str());
    if (!insert) return E_FAIL;
    for (int column = 0; column < m_columns; ++column) insert->BindColumn(column + 1, row, column + 1);
    const int rc = insert->Run();
    if (rc == SQLITE_DONE && m_target.Changes() == 1) ++m_copied;
    else if (rc == SQLITE_DONE || IsRefusal(rc)) ++m_refused;
    else return m_target.Failure(rc, "salvage row");
    return S_OK;
}

int TableSalvage::Probe(int64_t from, int64_t* rowid)
{
    auto probe = m_source.Statement(m_probeSql.c_str());
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
