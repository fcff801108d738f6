#include "NameBlocks.h"

#include "ILibraryEngine.h"
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

constexpr char kFinishedBlocksSql[] =
    "SELECT first_id, last_id, disc_id, entries FROM file_name_blocks"
    " WHERE disc_id IN (SELECT id FROM discs WHERE import_id IS NULL) ORDER BY first_id";

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

HRESULT NameBlocks::Check(QString* finding)
{
    auto rows = m_db.Statement(kAllRowsSql);
    auto blocks = m_db.Statement(kFinishedBlocksSql);
    if (!rows || !blocks) return E_FAIL;
    return Compare(*rows, *blocks, finding);
}

HRESULT NameBlocks::Compare(SqliteStatement& rows, SqliteStatement& blocks, QString* finding)
{
    auto damaged = [&](const QString& what) {
        *finding = what;
        return LIBRARY_E_DAMAGED;
    };
    int rowRc = rows.Step(), blockRc = SQLITE_DONE;
    while ((blockRc = blocks.Step()) == SQLITE_ROW) {
        const int64_t firstId = blocks.Int64(0), lastId = blocks.Int64(1), discId = blocks.Int64(2);
        const QByteArray entries = blocks.Blob(3);
        NameBlockFormat::Reader reader(firstId, std::string_view(entries.constData(), size_t(entries.size())));
        NameBlockFormat::Entry entry;
        int64_t last = -1;
        for (; reader.Next(entry); rowRc = rows.Step(), last = entry.id) {
            const bool same = rowRc == SQLITE_ROW && rows.Int64(0) == entry.id && rows.Int64(1) == discId &&
                              rows.Int64(2) == entry.pathId && rows.TextView(3) == entry.name;
            if (!same) return damaged(QStringLiteral("the block of names from file %1 differs from file %2's row")
                                          .arg(firstId)
                                          .arg(entry.id));
        }
        if (reader.Damaged() || last != lastId)
            return damaged(QStringLiteral("the block of names from file %1 is damaged").arg(firstId));
    }
    if (blockRc != SQLITE_DONE) return m_db.Failure(blockRc, "name block check");
    if (rowRc == SQLITE_ROW)
        return damaged(QStringLiteral("file %1 is in no block of names").arg(rows.Int64(0)));
    return rowRc == SQLITE_DONE ? S_OK : m_db.Failure(rowRc, "name block check");
}
