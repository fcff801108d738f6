#include "NameBlocks.h"

#include "NameBlockFormat.h"
#include "SqliteStatement.h"

#include <QByteArray>
#include <sqlite3.h>
#include <string>

namespace {

// The rows of AddImported: as EntryWriter's index statement selects them.
constexpr char kImportedRowsSql[] =
    "SELECT f.id, f.disc_id, f.path_id, f.name FROM files f WHERE f.id BETWEEN ?2 AND ?3"
    " AND f.disc_id IN (SELECT id FROM discs WHERE import_id = ?1)"
    " AND f.id > coalesce((SELECT last_id FROM name_index_progress WHERE import_id = ?1 AND kind = 0), 0)"
    " ORDER BY f.id";

constexpr char kAllRowsSql[] = "SELECT f.id, f.disc_id, f.path_id, f.name FROM files f"
                               " WHERE f.disc_id IN (SELECT id FROM discs WHERE import_id IS NULL) ORDER BY f.id";

constexpr char kInsertSql[] = "INSERT INTO file_name_blocks(first_id, last_id, disc_id, entries) VALUES(?1, ?2, ?3, ?4)";

// The block being packed.
struct PendingBlock {
    int64_t discId = 0;
    int64_t firstId = 0;
    int entries = 0;
    NameBlockFormat::Entry last; // the entry appended last (its name unused)
    std::string bytes;

    bool Takes(int64_t disc) const
    {
        return entries == 0 ||
               (disc == discId && entries < NameBlocks::kMostEntries && bytes.size() < NameBlocks::kMostBytes);
    }
    void Add(int64_t id, int64_t disc, int64_t pathId, std::string_view name)
    {
        if (entries == 0) {
            discId = disc;
            firstId = id;
            last = NameBlockFormat::Entry{id, 0, {}};
        }
        NameBlockFormat::Append(bytes, last, id, pathId, name);
        last.id = id;
        last.pathId = pathId;
        ++entries;
    }
};

} // namespace

HRESULT NameBlocks::AddImported(int64_t importId, int64_t first, int64_t last)
{
    auto rows = m_db.Statement(kImportedRowsSql);
    if (!rows) return E_FAIL;
    rows->Bind(1, importId);
    rows->Bind(2, first);
    rows->Bind(3, last);
    return AddRows(*rows);
}

HRESULT NameBlocks::AddAll()
{
    auto rows = m_db.Statement(kAllRowsSql);
    return rows ? AddRows(*rows) : E_FAIL;
}

HRESULT NameBlocks::AddRows(SqliteStatement& rows)
{
    auto insert = m_db.Statement(kInsertSql);
    if (!insert) return E_FAIL;
    PendingBlock block;
    auto store = [&] {
        insert->Rewind();
        insert->Bind(1, block.firstId);
        insert->Bind(2, block.last.id);
        insert->Bind(3, block.discId);
        insert->BindBlob(4, QByteArray::fromRawData(block.bytes.data(), qsizetype(block.bytes.size())));
        const int rc = insert->Step();
        block.entries = 0;
        block.bytes.clear();
        return rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "store name block");
    };
    int rc = SQLITE_DONE;
    while ((rc = rows.Step()) == SQLITE_ROW) {
        const int64_t disc = rows.Int64(1);
        if (!block.Takes(disc)) {
            const HRESULT hr = store();
            if (FAILED(hr)) return hr;
        }
        block.Add(rows.Int64(0), disc, rows.Int64(2), rows.TextView(3));
    }
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "name block rows");
    return block.entries > 0 ? store() : S_OK;
}
