#include "ImportTracker.h"

#include "Diagnostics.h"
#include "ProcessOwner.h"

#include <QHash>
#include <atomic>
#include <mutex>
#include <set>
#include <sqlite3.h>

namespace {
// Handles are numbers unique in the process, so a handle of one engine
// instance is never mistaken for one of another.
std::atomic<uintptr_t> g_nextHandle{1};

std::mutex g_abandonedMutex;
std::set<int64_t> g_abandoned; // imports of this process given up (ImportTracker::Abandon)

bool IsAbandoned(int64_t importId)
{
    std::lock_guard<std::mutex> lock(g_abandonedMutex);
    return g_abandoned.count(importId) != 0;
}

constexpr const char* kFinishSteps[] = {
    "INSERT OR IGNORE INTO disc_paths(path_id, disc_id) SELECT p.path_id, d.id FROM import_paths p"
    " JOIN discs d ON d.import_id = p.import_id WHERE p.import_id = ?1",
    "UPDATE discs SET import_id = NULL, owner = NULL WHERE import_id = ?1",
    "DELETE FROM import_paths WHERE import_id = ?1",
    "DELETE FROM name_index_progress WHERE import_id = ?1",
    "DELETE FROM imports WHERE id = ?1",
};

constexpr const char* kUndoSteps[] = {
    "DELETE FROM paths WHERE id IN (SELECT path_id FROM import_paths WHERE import_id = ?1)"
    " AND NOT EXISTS (SELECT 1 FROM disc_paths WHERE path_id = paths.id)"
    " AND NOT EXISTS (SELECT 1 FROM import_paths o WHERE o.path_id = paths.id AND o.import_id <> ?1)",
    "DELETE FROM import_paths WHERE import_id = ?1",
    "DELETE FROM name_index_progress WHERE import_id = ?1",
    "DELETE FROM imports WHERE id = ?1",
};

constexpr char kImportOwners[] = "SELECT id, owner FROM imports";
constexpr char kOwnedDiscs[] = "SELECT id, owner FROM discs WHERE owner IS NOT NULL AND import_id IS NULL";

// Asks about each owner once per pass.
class LivenessCache {
public:
    bool IsDead(const QByteArray& owner)
    {
        auto found = m_alive.constFind(owner);
        if (found == m_alive.constEnd()) found = m_alive.insert(owner, ProcessOwner::IsAlive(owner));
        return !*found;
    }

private:
    QHash<QByteArray, bool> m_alive;
};
} // namespace

HRESULT ImportTracker::ClaimSlot(const QByteArray& owner, int64_t* importId, QByteArray* holder)
{
    HRESULT hr = RecoverAbandoned();
    if (FAILED(hr)) return hr;
    {
        auto held = m_db.Statement("SELECT owner FROM imports LIMIT 1");
        if (!held) return E_FAIL;
        const int rc = held->Step();
        if (rc == SQLITE_ROW) {
            *holder = held->Utf8(0);
            return S_FALSE;
        }
        if (rc != SQLITE_DONE) return m_db.Failure(rc, "import slot");
    }
    auto insert = m_db.Statement("INSERT INTO imports(owner) VALUES(?)");
    if (!insert) return E_FAIL;
    insert->BindUtf8(1, owner);
    const int rc = insert->Run();
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "open import");
    *importId = m_db.LastInsertId();
    return S_OK;
}

HRESULT ImportTracker::DeadOwners(const char* sql, std::vector<int64_t>& ids)
{
    LivenessCache liveness;
    auto query = m_db.Statement(sql);
    if (!query) return E_FAIL;
    int rc;
    while ((rc = query->Step()) == SQLITE_ROW)
        if (liveness.IsDead(query->Utf8(1))) ids.push_back(query->Int64(0));
    return rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "abandoned work");
}

HRESULT ImportTracker::AbandonedImports(std::vector<int64_t>& ids)
{
    const HRESULT hr = DeadOwners(kImportOwners, ids);
    auto query = m_db.Statement("SELECT id FROM imports");
    if (FAILED(hr) || !query) return FAILED(hr) ? hr : E_FAIL;
    int rc;
    while ((rc = query->Step()) == SQLITE_ROW)
        if (IsAbandoned(query->Int64(0))) ids.push_back(query->Int64(0));
    return rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "abandoned work");
}

HRESULT ImportTracker::RecoverAbandoned()
{
    std::vector<int64_t> importIds, discIds;
    HRESULT hr = AbandonedImports(importIds);
    for (size_t i = 0; SUCCEEDED(hr) && i < importIds.size(); ++i) {
        hr = Undo(importIds[i]);
        DumpMsg("Stackvault", "undid the unfinished import %lld", static_cast<long long>(importIds[i]));
    }
    if (SUCCEEDED(hr)) hr = DeadOwners(kOwnedDiscs, discIds);
    for (size_t i = 0; SUCCEEDED(hr) && i < discIds.size(); ++i) {
        hr = m_discs.Delete(static_cast<LONG>(discIds[i]));
        if (hr == E_INVALIDARG) hr = S_OK; // already gone
        DumpMsg("Stackvault", "removed disc %lld, left unfinished", static_cast<long long>(discIds[i]));
    }
    return hr;
}

HRESULT ImportTracker::Claim(const ImportSession& session, const ParsedBatch& batch)
{
    std::set<LONG> discIds;
    for (const EntryRow& row : batch.entries) discIds.insert(row.discId);
    for (LONG discId : discIds) {
        const HRESULT hr = ClaimDisc(session, discId);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT ImportTracker::ClaimDisc(const ImportSession& session, LONG discId)
{
    // Every batch claims its disc: once claimed, a read tells so, and the
    // batch's commit writes no page of the discs.
    {
        auto claimed = m_db.Statement("SELECT 1 FROM discs WHERE id = ?2 AND import_id = ?1");
        if (!claimed) return E_FAIL;
        claimed->Bind(1, session.importId);
        claimed->Bind(2, discId);
        const int rc = claimed->Step();
        if (rc == SQLITE_ROW) return S_OK;
        if (rc != SQLITE_DONE) return m_db.Failure(rc, "claimed disc");
    }
    HRESULT hr = Run("UPDATE discs SET import_id = ?1 WHERE id = ?2 AND (import_id IS NULL OR import_id = ?1)",
                     session.importId, discId);
    if (FAILED(hr) || m_db.Changes() > 0) return hr;
    LONG labelId = 0;
    hr = m_discs.LabelId(discId, &labelId);
    DumpMsg("Stackvault", "rows for disc %d refused: %s", discId,
            hr == E_INVALIDARG ? "no such disc" : "another import writes it");
    return hr == E_INVALIDARG ? E_INVALIDARG : E_ACCESSDENIED;
}

HRESULT ImportTracker::ReferencePaths(const ImportSession& session, const std::vector<LONG>& pathIds)
{
    for (LONG pathId : pathIds) {
        const HRESULT hr = Run("INSERT OR IGNORE INTO import_paths(import_id, path_id) VALUES(?1, ?2)",
                               session.importId, pathId);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT ImportTracker::ReferencePath(const ImportSession& session, std::u16string_view text)
{
    auto insert = m_db.Statement("INSERT OR IGNORE INTO import_paths(import_id, path_id)"
                                 " SELECT ?1, id FROM paths WHERE text = ?2");
    if (!insert) return E_FAIL;
    insert->Bind(1, session.importId);
    insert->BindText(2, text);
    const int rc = insert->Run();
    return rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "reference path");
}

HRESULT ImportTracker::Finish(const ImportSession& session, const std::vector<LONG>& addedDiscs)
{
    for (LONG discId : addedDiscs) {
        const HRESULT hr = m_discs.Release(discId);
        if (FAILED(hr)) return hr;
    }
    for (const char* step : kFinishSteps) {
        const HRESULT hr = Run(step, session.importId);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT ImportTracker::Undo(int64_t importId)
{
    std::vector<LONG> discIds;
    {
        auto query = m_db.Statement("SELECT id FROM discs WHERE import_id = ?");
        if (!query) return E_FAIL;
        query->Bind(1, importId);
        int rc;
        while ((rc = query->Step()) == SQLITE_ROW) discIds.push_back(static_cast<LONG>(query->Int64(0)));
        if (rc != SQLITE_DONE) return m_db.Failure(rc, "import discs");
    }
    for (LONG discId : discIds) {
        const HRESULT hr = m_discs.Delete(discId);
        if (FAILED(hr) && hr != E_INVALIDARG) return hr;
    }
    for (const char* step : kUndoSteps) {
        const HRESULT hr = Run(step, importId);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

void ImportTracker::Abandon(int64_t importId)
{
    std::lock_guard<std::mutex> lock(g_abandonedMutex);
    g_abandoned.insert(importId);
}

HRESULT ImportTracker::Run(const char* sql, int64_t first, int64_t second)
{
    auto statement = m_db.Statement(sql);
    if (!statement) return E_FAIL;
    statement->Bind(1, first);
    statement->Bind(2, second); // statements with one parameter ignore it
    const int rc = statement->Run();
    return rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "import step");
}

LibraryImportHandle ImportTracker::AddSession(int64_t importId)
{
    auto handle = reinterpret_cast<LibraryImportHandle>(g_nextHandle.fetch_add(1));
    auto session = std::make_unique<ImportSession>();
    session->importId = importId;
    session->layout = EntryWriter::LayoutOf(m_db);
    if (m_sessions.empty()) {
        if (!m_checkpointer) m_checkpointer = std::make_unique<LogCheckpointer>(m_db);
        m_checkpointer->Attach();
    }
    std::lock_guard<std::mutex> lock(m_sessionsMutex);
    m_sessions.emplace(handle, std::move(session));
    return handle;
}

ImportSession* ImportTracker::Session(LibraryImportHandle handle)
{
    const auto found = m_sessions.find(handle);
    return found == m_sessions.end() ? nullptr : found->second.get();
}

void ImportTracker::RemoveSession(LibraryImportHandle handle)
{
    std::unique_ptr<ImportSession> removed; // ended outside the lock, with the session's threads
    {
        std::lock_guard<std::mutex> lock(m_sessionsMutex);
        const auto found = m_sessions.find(handle);
        if (found != m_sessions.end()) {
            removed = std::move(found->second);
            m_sessions.erase(found);
        }
    }
    removed.reset();
    if (m_sessions.empty() && m_checkpointer) m_checkpointer->Detach();
}

void ImportTracker::StopCheckpoints() { m_checkpointer.reset(); }

void ImportTracker::ForgetPaths()
{
    for (auto& [handle, session] : m_sessions) session->paths.Forget();
}

ImportPathMemory::Recall ImportTracker::KnownPath(LibraryImportHandle handle, const std::u16string& text) const
{
    std::lock_guard<std::mutex> lock(m_sessionsMutex);
    const auto found = m_sessions.find(handle);
    return found == m_sessions.end() ? ImportPathMemory::Recall{} : found->second->paths.Known(text);
}

std::vector<LibraryImportHandle> ImportTracker::Handles() const
{
    std::vector<LibraryImportHandle> handles;
    for (const auto& entry : m_sessions) handles.push_back(entry.first);
    return handles;
}
