#include "ListingWorker.h"

#include "ILibraryListings.h"
#include "SqliteConnection.h"

#include <chrono>
#include <sqlite3.h>

namespace {
// Small first chunks put the first screen on the way at once; later ones
// are larger so publishing costs nothing measurable.
constexpr size_t kFirstChunk = 64;
constexpr size_t kChunk = 4096;
} // namespace

ListingWorker::ListingWorker(const QString& databasePath, std::array<ListingStep, kKinds> steps,
                             std::array<int, kKinds> totals)
    : m_steps(std::move(steps)), m_totals(totals), m_thread([this, databasePath] { Run(databasePath); })
{
}

ListingWorker::~ListingWorker()
{
    m_stop = true;
    {
        // Interrupting under the lock: Run clears m_db under it before the
        // connection closes, so the handle is never used after closing.
        std::lock_guard lock(m_mutex);
        if (sqlite3* db = m_db.load()) sqlite3_interrupt(db);
    }
    m_thread.join();
}

void ListingWorker::Run(QString databasePath)
{
    SqliteConnection connection;
    HRESULT hr = connection.OpenReadOnly(databasePath);
    if (SUCCEEDED(hr)) {
        m_db = connection.Handle();
        // One read transaction: folders and files come from the same snapshot.
        connection.Execute("BEGIN");
        for (int kind = 0; kind < kKinds && SUCCEEDED(hr) && !m_stop; ++kind) hr = Collect(connection.Handle(), kind);
        connection.Execute("COMMIT");
    }
    std::lock_guard lock(m_mutex);
    m_db = nullptr;
    m_failure = m_stop ? S_OK : hr;
    m_complete = !m_stop && SUCCEEDED(hr);
    m_changed.notify_all();
}

HRESULT ListingWorker::Collect(sqlite3* db, int kind)
{
    const int total = m_totals[size_t(kind)];
    std::vector<int32_t> found;
    if (total == 0) {
        Publish(kind, found, true);
        return S_OK;
    }
    SqliteStatement query(db, m_steps[size_t(kind)].sql.c_str());
    if (query.PrepareResult() != SQLITE_OK) return SqliteConnection::FromResult(query.PrepareResult());
    if (m_steps[size_t(kind)].bind) m_steps[size_t(kind)].bind(query);
    size_t chunk = kFirstChunk;
    int rc = SQLITE_ROW;
    int count = 0;
    while (!m_stop && (rc = query.Step()) == SQLITE_ROW) {
        found.push_back(static_cast<int32_t>(query.Int64(0)));
        if (++count == total) {
            rc = SQLITE_DONE; // every one counted ahead is found
            break;
        }
        if (found.size() >= chunk) {
            Publish(kind, found, false);
            chunk = kChunk;
        }
    }
    Publish(kind, found, rc == SQLITE_DONE);
    if (m_stop) return S_OK;
    return rc == SQLITE_DONE ? S_OK : SqliteConnection::FromResult(rc);
}

void ListingWorker::Publish(int kind, std::vector<int32_t>& found, bool kindDone)
{
    std::lock_guard lock(m_mutex);
    if (kindDone) m_kindsDone = kind + 1;
    auto& ids = m_ids[size_t(kind)];
    ids.insert(ids.end(), found.begin(), found.end());
    found.clear();
    m_changed.notify_all();
}

bool ListingWorker::HasEnough(int rows) const
{
    return m_complete || FAILED(m_failure) || m_ids[0].size() + m_ids[1].size() >= size_t(rows);
}

HRESULT ListingWorker::Wait(int rows, int timeoutMs, LibraryListingCounts* counts) const
{
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return HasEnough(rows); });
    // Files are counted only once every folder is found, so a list that
    // shows folders before files never has rows move.
    const bool foldersDone = m_kindsDone > 0;
    const bool counted = m_complete || (m_totals[0] >= 0 && m_totals[1] >= 0);
    counts->folders = m_totals[0] >= 0 ? m_totals[0] : static_cast<int32_t>(m_ids[0].size());
    counts->files = m_totals[1] >= 0 ? m_totals[1] : foldersDone ? static_cast<int32_t>(m_ids[1].size()) : 0;
    counts->complete = m_complete ? 1 : 0;
    counts->failure = m_failure;
    counts->counted = counted ? 1 : 0;
    counts->reserved = 0;
    if (FAILED(m_failure)) return m_failure;
    return m_complete ? S_OK : S_FALSE;
}

std::vector<int32_t> ListingWorker::Ids(int kind, int first, int count) const
{
    std::lock_guard lock(m_mutex);
    const auto& ids = m_ids[size_t(kind)];
    if (first < 0 || count <= 0 || size_t(first) >= ids.size()) return {};
    const size_t last = std::min(ids.size(), size_t(first) + size_t(count));
    return {ids.begin() + first, ids.begin() + static_cast<std::ptrdiff_t>(last)};
}
