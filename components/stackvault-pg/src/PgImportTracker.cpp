#include "PgImportTracker.h"

#include "Diagnostics.h"
#include "PgChangeWatch.h"
#include "PgDiscStore.h"
#include "PgFileSpans.h"
#include "PgTransaction.h"

#include <algorithm>
#include <atomic>

namespace {
// Advisory lock keys: (space, key) pairs of two 32-bit numbers.
constexpr int kSlotSpace = 1095516994;  // key 0: the import slot
constexpr int kOwnerSpace = 1095516995; // key: an owner id

// Handles are numbers unique in the process, so a handle of one engine
// instance is never mistaken for one of another.
std::atomic<uintptr_t> g_nextHandle{1};
} // namespace

HRESULT PgImportTracker::TakeOwnerId(int64_t* ownerId, bool* workLeft)
{
    static const std::string sql =
        std::string("WITH taken AS MATERIALIZED (SELECT nextval('owner_ids') AS id)"
                    " SELECT id, pg_advisory_lock($1, id::int), ") +
        PgChangeWatch::WriterMarkSql("id::text") +
        ", (EXISTS (SELECT 1 FROM imports) OR EXISTS (SELECT 1 FROM discs WHERE owner IS NOT NULL))::int FROM taken";
    PgResult taken;
    const HRESULT hr = m_db.Query(sql.c_str(), PgParams().Int(kOwnerSpace), taken, "owner id");
    if (FAILED(hr)) return hr;
    *ownerId = taken.Int64(0, 0);
    *workLeft = taken.Int64(0, 3) != 0;
    return S_OK;
}

HRESULT PgImportTracker::IsGone(int64_t ownerId, bool* gone)
{
    int64_t free = 0;
    HRESULT hr = m_db.Number("SELECT pg_try_advisory_lock($1, $2::bigint::int)::int", PgParams().Int(kOwnerSpace).Int(ownerId),
                             &free, "owner check");
    if (SUCCEEDED(hr) && free)
        hr = m_db.Run("SELECT pg_advisory_unlock($1, $2::bigint::int)", PgParams().Int(kOwnerSpace).Int(ownerId), "owner check");
    *gone = free != 0;
    return hr;
}

HRESULT PgImportTracker::RecoverAbandoned(int64_t ownerId)
{
    PgResult owners;
    HRESULT hr = m_db.Query("SELECT DISTINCT owner FROM imports UNION SELECT DISTINCT owner FROM discs"
                            " WHERE owner IS NOT NULL",
                            {}, owners, "owners");
    for (int i = 0; SUCCEEDED(hr) && i < owners.Rows(); ++i) {
        const int64_t owner = owners.Int64(i, 0);
        bool gone = false;
        if (owner == ownerId || FAILED(hr = IsGone(owner, &gone)) || !gone) continue;
        PgTransaction transaction(m_db);
        hr = transaction.Started();
        PgResult work;
        if (SUCCEEDED(hr))
            hr = m_db.Query("SELECT id, 0 FROM discs WHERE owner = $1 UNION ALL SELECT id, 1 FROM imports WHERE owner = $1",
                            PgParams().Int(owner), work, "abandoned work");
        for (int row = 0; SUCCEEDED(hr) && row < work.Rows(); ++row) {
            if (work.Int64(row, 1) == 0) {
                hr = PgDiscStore::Delete(m_db, static_cast<LONG>(work.Int64(row, 0)));
                if (hr == E_INVALIDARG) hr = S_OK; // already gone
            } else {
                hr = RemoveImport(work.Int64(row, 0));
            }
        }
        hr = transaction.Finish(hr);
        if (SUCCEEDED(hr)) DumpMsg("StackvaultPg", "removed the unfinished work of a client that is gone");
    }
    return hr;
}

// The import's discs and its row (inside a transaction on the instance's connection).
HRESULT PgImportTracker::RemoveImport(int64_t importId)
{
    PgResult discs;
    HRESULT hr = m_db.Query("SELECT id FROM discs WHERE import_id = $1", PgParams().Int(importId), discs, "import discs");
    for (int i = 0; SUCCEEDED(hr) && i < discs.Rows(); ++i) {
        hr = PgDiscStore::Delete(m_db, static_cast<LONG>(discs.Int64(i, 0)));
        if (hr == E_INVALIDARG) hr = S_OK;
    }
    if (SUCCEEDED(hr)) hr = m_db.Run("DELETE FROM disc_replacements WHERE import_id = $1", PgParams().Int(importId), "import");
    if (SUCCEEDED(hr)) hr = m_db.Run("DELETE FROM imports WHERE id = $1", PgParams().Int(importId), "import");
    return hr;
}

HRESULT PgImportTracker::TryOpen(const QString& address, int64_t ownerId, const QByteArray& token,
                                 std::unique_ptr<PgImportSession>& session, QByteArray* holder)
{
    auto opening = std::make_unique<PgImportSession>();
    HRESULT hr = opening->db.Open(address);
    int64_t claimed = 0;
    if (SUCCEEDED(hr))
        hr = opening->db.Number("SELECT pg_try_advisory_lock($1, 0)::int", PgParams().Int(kSlotSpace), &claimed, "import slot");
    if (SUCCEEDED(hr) && claimed) hr = PgChangeWatch::MarkWriter(opening->db, ownerId);
    if (SUCCEEDED(hr) && !claimed) {
        PgResult rows;
        hr = m_db.Query("SELECT holder FROM imports ORDER BY id DESC LIMIT 1", {}, rows, "slot holder");
        if (SUCCEEDED(hr)) *holder = rows.Rows() > 0 ? rows.Utf8(0, 0) : QByteArray("?");
        return FAILED(hr) ? hr : S_FALSE;
    }
    if (SUCCEEDED(hr)) hr = RecoverAbandoned(ownerId);
    if (SUCCEEDED(hr)) hr = m_db.Number("SELECT nextval('import_ids')", {}, &opening->importId, "import id");
    if (SUCCEEDED(hr))
        hr = m_db.Run("INSERT INTO imports(id, owner, holder) VALUES($1, $2, $3)",
                      PgParams().Int(opening->importId).Int(ownerId).Utf8(token), "open import");
    if (SUCCEEDED(hr)) hr = opening->db.Run("BEGIN", {}, "begin import");
    if (SUCCEEDED(hr)) session = std::move(opening);
    return hr;
}

HRESULT PgImportTracker::ClaimDisc(PgImportSession& session, LONG discId)
{
    if (session.discs.count(discId)) return S_OK;
    const PgResult result = m_db.Exec("UPDATE discs SET import_id = $1 WHERE id = $2 AND (import_id IS NULL OR import_id = $1)",
                                      PgParams().Int(session.importId).Int(discId));
    if (!result.Ok()) return m_db.Failure(result, "claim disc");
    if (PgConnection::Changed(result) > 0) {
        session.discs.insert(discId);
        return S_OK;
    }
    int64_t exists = 0;
    const HRESULT hr = m_db.Number("SELECT count(*) FROM discs WHERE id = $1", PgParams().Int(discId), &exists, "disc");
    DumpMsg("StackvaultPg", "rows for disc %d refused: %s", discId, exists ? "another import writes it" : "no such disc");
    return FAILED(hr) ? hr : exists ? E_ACCESSDENIED : E_INVALIDARG;
}

HRESULT PgImportTracker::Finish(PgImportSession& session, const std::vector<LONG>& addedDiscs)
{
    PgConnection& db = session.db;
    const PgParams import = PgParams().Int(session.importId);
    HRESULT hr = session.fileSpans.Store(db);
    if (SUCCEEDED(hr)) hr = DropDeletedDiscs(session);
    if (SUCCEEDED(hr)) hr = PgEntryWriter::StoreGrams(db, PgEntryKind::Files, session.grams[0]);
    if (SUCCEEDED(hr)) hr = PgEntryWriter::StoreGrams(db, PgEntryKind::Folders, session.grams[1]);
    // Each path once; a link the disc already has is left alone (only the
    // import that claims a disc adds its links, so none appears meanwhile).
    std::vector<LONG> paths = session.paths;
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    if (SUCCEEDED(hr) && !paths.empty())
        hr = db.Run("INSERT INTO disc_paths(path_id, disc_id) SELECT p, d.id FROM unnest($1::int[]) p, discs d"
                    " WHERE d.import_id = $2"
                    " AND NOT EXISTS (SELECT 1 FROM disc_paths o WHERE o.path_id = p AND o.disc_id = d.id)",
                    PgParams().Ints(paths).Int(session.importId), "disc paths");
    // Paths of discs deleted during the import have no disc left to use them.
    if (SUCCEEDED(hr) && !paths.empty())
        hr = db.Run("DELETE FROM paths WHERE id = ANY($1::int[])"
                    " AND NOT EXISTS (SELECT 1 FROM disc_paths dp WHERE dp.path_id = paths.id)",
                    PgParams().Ints(paths), "unused paths");
    if (SUCCEEDED(hr) && !addedDiscs.empty())
        hr = db.Run("UPDATE discs SET owner = NULL WHERE id = ANY($1::int[]) AND import_id IS NULL",
                    PgParams().Ints(addedDiscs), "added discs");
    // The discs this import replaces go in the transaction that shows the new ones.
    PgResult replaced;
    if (SUCCEEDED(hr))
        hr = db.Query("SELECT r.old_disc_id FROM disc_replacements r WHERE r.import_id = $1"
                      " AND EXISTS (SELECT 1 FROM discs n WHERE n.id = r.new_disc_id)"
                      " AND EXISTS (SELECT 1 FROM discs o WHERE o.id = r.old_disc_id)",
                      import, replaced, "replacements");
    for (int i = 0; SUCCEEDED(hr) && i < replaced.Rows(); ++i)
        hr = PgDiscStore::Delete(db, static_cast<LONG>(replaced.Int64(i, 0)));
    for (const char* step : {"DELETE FROM disc_replacements WHERE import_id = $1",
                             "UPDATE discs SET import_id = NULL, owner = NULL WHERE import_id = $1",
                             "DELETE FROM imports WHERE id = $1"}) {
        if (SUCCEEDED(hr)) hr = db.Run(step, import, "close import");
    }
    if (SUCCEEDED(hr)) hr = db.Run("COMMIT", {}, "commit import");
    if (SUCCEEDED(hr)) db.Close(); // frees the slot
    return hr;
}

HRESULT PgImportTracker::DropDeletedDiscs(PgImportSession& session)
{
    if (session.discs.empty()) return S_OK;
    const std::vector<LONG> claimed(session.discs.begin(), session.discs.end());
    // The discs still there stay locked until the commit: a delete started
    // now waits for it, then sees the rows and removes them with the disc.
    PgResult present;
    HRESULT hr = session.db.Query("SELECT id FROM discs WHERE id = ANY($1::int[]) FOR UPDATE", PgParams().Ints(claimed),
                                  present, "claimed discs");
    if (FAILED(hr) || present.Rows() == static_cast<int>(claimed.size())) return hr;
    std::set<LONG> gone = session.discs;
    for (int i = 0; i < present.Rows(); ++i) gone.erase(static_cast<LONG>(present.Int64(i, 0)));
    const std::vector<LONG> goneIds(gone.begin(), gone.end());
    for (PgGramTallies& tallies : session.grams)
        for (const LONG disc : goneIds) tallies.erase(disc);
    std::vector<std::string> steps = PgFileSpans::DeleteFilesSql("ANY($1::int[])");
    steps.emplace_back("DELETE FROM folders WHERE disc_id = ANY($1::int[])");
    for (const std::string& sql : steps)
        if (SUCCEEDED(hr)) hr = session.db.Run(sql.c_str(), PgParams().Ints(goneIds), "rows of deleted discs");
    return hr;
}

HRESULT PgImportTracker::Undo(PgImportSession& session)
{
    session.db.Close(); // the server drops the transaction and frees the slot
    PgTransaction transaction(m_db);
    HRESULT hr = transaction.Started();
    if (SUCCEEDED(hr)) hr = RemoveImport(session.importId);
    return transaction.Finish(hr);
}

LibraryImportHandle PgImportTracker::Add(std::unique_ptr<PgImportSession> session)
{
    auto handle = reinterpret_cast<LibraryImportHandle>(g_nextHandle.fetch_add(1));
    m_sessions.emplace(handle, std::move(session));
    return handle;
}

PgImportSession* PgImportTracker::Session(LibraryImportHandle handle)
{
    const auto found = m_sessions.find(handle);
    return found == m_sessions.end() ? nullptr : found->second.get();
}

void PgImportTracker::Remove(LibraryImportHandle handle) { m_sessions.erase(handle); }

std::vector<LibraryImportHandle> PgImportTracker::Handles() const
{
    std::vector<LibraryImportHandle> handles;
    for (const auto& entry : m_sessions) handles.push_back(entry.first);
    return handles;
}
