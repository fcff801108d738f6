#include "NameBlocks.h"

#include "ILibraryEngine.h"
#include "NameBlockFormat.h"
#include "SqliteStatement.h"

#include <QByteArray>
#include <algorithm>
#include <span>
#include <sqlite3.h>

namespace {

constexpr char kAllRowsSql[] = "SELECT f.id, f.disc_id, f.path_id, f.name FROM files f"
                               " WHERE f.disc_id IN (SELECT id FROM discs WHERE import_id IS NULL) ORDER BY f.id";

// The rows ConvertNext packs: the files with ids ?1..?2 of the discs whose blocks are missing.
constexpr char kMissingRowsSql[] = "SELECT f.id, f.disc_id, f.path_id, f.name FROM files f WHERE f.id BETWEEN ?1 AND ?2"
                                   " AND f.disc_id IN (SELECT disc_id FROM name_blocks_missing) ORDER BY f.id";

constexpr char kFinishedBlocksSql[] =
    "SELECT first_id, last_id, disc_id, entries FROM file_name_blocks"
    " WHERE disc_id IN (SELECT id FROM discs WHERE import_id IS NULL) ORDER BY first_id";

constexpr char kInsertSql[] = "INSERT INTO file_name_blocks(first_id, last_id, disc_id, entries) VALUES(?1, ?2, ?3, ?4)";

} // namespace

bool NameBlocks::Takes(int64_t discId) const
{
    const Block& block = m_packed.back();
    return block.discId == discId && block.entries < kMostEntries && block.bytes.size() < kMostBytes;
}

void NameBlocks::Pack(int64_t id, int64_t discId, int64_t pathId, std::string_view name)
{
    if (!m_packed.empty() && id <= m_packed.back().lastId) m_outOfOrder = true;
    if (m_packed.empty() || !Takes(discId)) m_packed.push_back(Block{discId, id, id, 0, 0, {}});
    Block& block = m_packed.back();
    NameBlockFormat::Append(block.bytes, {block.lastId, block.lastPathId, {}}, id, pathId, name);
    block.lastId = id;
    block.lastPathId = pathId;
    ++block.entries;
}

HRESULT NameBlocks::Store() { return StoreFirst(m_packed.size()); }

HRESULT NameBlocks::StoreFirst(size_t count)
{
    if (m_outOfOrder) return m_db.Failure(SQLITE_INTERNAL, "name blocks out of id order");
    auto insert = m_db.Statement(kInsertSql);
    if (!insert) return E_FAIL;
    for (const Block& block : std::span(m_packed).first(count)) {
        insert->Rewind();
        insert->Bind(1, block.firstId);
        insert->Bind(2, block.lastId);
        insert->Bind(3, block.discId);
        insert->BindBlob(4, QByteArray::fromRawData(block.bytes.data(), qsizetype(block.bytes.size())));
        const int rc = insert->Step();
        if (rc != SQLITE_DONE) return m_db.Failure(rc, "store name block");
    }
    m_packed.erase(m_packed.begin(), m_packed.begin() + std::ptrdiff_t(count));
    return S_OK;
}

HRESULT NameBlocks::AddAll()
{
    auto rows = m_db.Statement(kAllRowsSql);
    return rows ? PackAll(*rows) : E_FAIL;
}

HRESULT NameBlocks::ConvertNext(bool* finished)
{
    *finished = true;
    auto next = m_db.Statement("SELECT next_id, last_id FROM name_blocks_next");
    if (!next) return E_FAIL;
    int rc = next->Step();
    if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "name blocks to make");
    const int64_t first = next->Int64(0), last = std::min(next->Int64(1), first + kConvertIds - 1);
    const bool done = first > next->Int64(1);
    next->Reset();
    if (done) {
        rc = m_db.Execute("DROP TABLE name_blocks_missing; DROP TABLE name_blocks_next");
        return rc == SQLITE_OK ? S_OK : m_db.Failure(rc, "name blocks made");
    }
    *finished = false;
    auto rows = m_db.Statement(kMissingRowsSql);
    auto step = m_db.Statement("UPDATE name_blocks_next SET next_id = ?1");
    if (!rows || !step) return E_FAIL;
    rows->Bind(1, first);
    rows->Bind(2, last);
    HRESULT hr = PackAll(*rows);
    step->Bind(1, last + 1);
    if (SUCCEEDED(hr) && (rc = step->Run()) != SQLITE_DONE) hr = m_db.Failure(rc, "name blocks made");
    return hr;
}

HRESULT NameBlocks::PackAll(SqliteStatement& rows)
{
    int rc = SQLITE_DONE;
    while ((rc = rows.Step()) == SQLITE_ROW) {
        Pack(rows.Int64(0), rows.Int64(1), rows.Int64(2), rows.TextView(3));
        const HRESULT hr = m_packed.size() > 1 ? StoreFirst(m_packed.size() - 1) : S_OK; // all but the one filling
        if (FAILED(hr)) return hr;
    }
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "name block rows");
    return Store();
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
            if (!same)
                return damaged(QStringLiteral("the block of names from file %1 differs from file %2's row")
                                   .arg(firstId)
                                   .arg(entry.id));
        }
        if (reader.Damaged() || last != lastId)
            return damaged(QStringLiteral("the block of names from file %1 is damaged").arg(firstId));
    }
    if (blockRc != SQLITE_DONE) return m_db.Failure(blockRc, "name block check");
    if (rowRc == SQLITE_ROW) return damaged(QStringLiteral("file %1 is in no block of names").arg(rows.Int64(0)));
    return rowRc == SQLITE_DONE ? S_OK : m_db.Failure(rowRc, "name block check");
}
