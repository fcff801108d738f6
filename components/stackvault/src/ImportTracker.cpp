#include "ImportTracker.h"

#include "Diagnostics.h"
#include "ProcessOwner.h"

#include <QHash>
#include <atomic>
#include <sqlite3.h>

namespace {
// Handles are numbers unique in the process, so a handle of one engine
// instance is never mistaken for one of another.
std::atomic<uintptr_t> g_nextHandle{1};

constexpr const char* kFinishSteps[] = {
    "INSERT OR IGNORE INTO disc_paths(path_id, disc_id) SELECT p.path_id, d.id FROM import_paths p"
    " JOIN discs d ON d.import_id = p.import_id WHERE p.import_id = ?1",
    "UPDATE discs SET import_id = NULL, owner = NULL WHERE import_id = ?1",
    "DELETE FROM import_paths WHERE import_id = ?1",
    "DELETE FROM imports WHERE id = ?1",
};

constexpr const char* kUndoSteps[] = {
    "DELETE FROM paths WHERE id IN (SELECT path_id FROM import_paths WHERE import_id = ?1)"
    " AND NOT EXISTS (SELECT 1 FROM disc_paths WHERE path_id = paths.id)"
    " AND NOT EXISTS (SELECT 1 FROM import_paths o WHERE o.path_id = paths.id AND o.import_id <> ?1)",
    "DELETE FROM import_paths WHERE import_id = ?1",
    "DELETE FROM imports WHERE id = ?1",
};
} // namespace

HRESULT ImportTracker::CreateImport(const QByteArray& owner, int64_t* importId)
{
    auto insert = m_db.Statement("INSERT INTO imports(owner) VALUES(?)");
    if (!insert) return E_FAIL;
    insert->BindUtf8(1, owner);
    const int rc = insert->Run();
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "open import");
    *importId = m_db.LastInsertId();
    return S_OK;
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
    HRESULT hr = Run("UPDATE discs SET import_id = ?1 WHERE id = ?2 AND (import_id IS NULL OR import_id = ?1)",
                     session.importId, discId);
    if (FAILED(hr) || m_db.Changes() > 0) return hr;
    LONG labelId = 0;
    hr = m_discs.LabelId(discId, &labelId);
    DumpMsg("Stackvault", "rows for disc %d refused: %s", discId,
            hr == E_INVALIDARG ? "no such disc" : "another import writes it");
    return hr == E_INVALIDARG ? E_INVALIDARG : E_ACCESSDENIED;
}

HRESULT ImportTracker::NoteCreatedPaths(const ImportSession& session, const std::vector<LONG>& pathIds)
{
    for (LONG pathId : pathIds) {
        const HRESULT hr = Run("INSERT OR IGNORE INTO import_paths(import_id, path_id) VALUES(?1, ?2)",
                               session.importId, pathId);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT ImportTracker::Finish(const ImportSession& session)
{
    for (LONG pathId : session.foundPaths) {
        const HRESULT hr = Run("INSERT OR IGNORE INTO disc_paths(path_id, disc_id)"
                               " SELECT ?2, id FROM discs WHERE import_id = ?1",
                               session.importId, pathId);
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
        if (FAILED(hr)) return hr;
    }
    for (const char* step : kUndoSteps) {
        const HRESULT hr = Run(step, importId);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT ImportTracker::Abandoned(std::vector<int64_t>& importIds, std::vector<LONG>& discIds)
{
    QHash<QByteArray, bool> alive;
    auto isDead = [&](const QByteArray& owner) {
        auto found = alive.constFind(owner);
        if (found == alive.constEnd()) found = alive.insert(owner, ProcessOwner::IsAlive(owner));
        return !*found;
    };
    auto imports = m_db.Statement("SELECT id, owner FROM imports");
    if (!imports) return E_FAIL;
    int rc;
    while ((rc = imports->Step()) == SQLITE_ROW)
        if (isDead(imports->Utf8(1))) importIds.push_back(imports->Int64(0));
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "imports");
    auto discs = m_db.Statement("SELECT id, owner FROM discs WHERE owner IS NOT NULL AND import_id IS NULL");
    if (!discs) return E_FAIL;
    while ((rc = discs->Step()) == SQLITE_ROW)
        if (isDead(discs->Utf8(1))) discIds.push_back(static_cast<LONG>(discs->Int64(0)));
    return rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "owned discs");
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
    m_sessions.emplace(handle, std::move(session));
    return handle;
}

ImportSession* ImportTracker::Session(LibraryImportHandle handle)
{
    const auto found = m_sessions.find(handle);
    return found == m_sessions.end() ? nullptr : found->second.get();
}

void ImportTracker::RemoveSession(LibraryImportHandle handle) { m_sessions.erase(handle); }

std::vector<LibraryImportHandle> ImportTracker::Handles() const
{
    std::vector<LibraryImportHandle> handles;
    for (const auto& entry : m_sessions) handles.push_back(entry.first);
    return handles;
}

void ImportTracker::NoteFoundPath(ImportSession& session, LONG pathId)
{
    if (pathId > 0 && !session.createdPaths.count(pathId)) session.foundPaths.insert(pathId);
}

void ImportTracker::AdoptCreatedPaths(ImportSession& session, const std::vector<LONG>& pathIds)
{
    session.createdPaths.insert(pathIds.begin(), pathIds.end());
}
