#include "ListingWorker.h"

#include "ILibraryListings.h"
#include "LibraryChanges.h"
#include "NameMatch.h"
#include "NameSearch.h"
#include "SqliteConnection.h"

#include <sqlite3.h>

ListingWorker::ListingWorker(const QString& databasePath, std::array<ListingStep, kKinds> steps,
                             std::array<int, kKinds> totals)
    : m_steps(std::move(steps)),
      m_found(totals),
      m_listed(m_steps[0].listed || m_steps[1].listed ? std::make_unique<ListedEntryQueue>() : nullptr),
      m_thread([this, databasePath] { Run(databasePath); })
{
}

HRESULT ListingWorker::Wait(int rows, int timeoutMs, LibraryListingCounts* counts) const
{
    // A waiter for more entries than the worker may queue before the reader
    // takes some (a count, or the other kind) would wait for ever on a full
    // queue: the kind being found is no longer kept.
    if (m_listed && m_found.Missing(rows) > int(m_listed->Room())) m_listed->ReleaseCurrent();
    return m_found.Wait(rows, timeoutMs, counts);
}

ListingWorker::~ListingWorker()
{
    m_stop = true;
    if (m_listed) m_listed->Stop();
    {
        // Interrupting under the lock: Run clears m_db under it before the
        // connection closes, so the handle is never used after closing.
        std::lock_guard lock(m_dbMutex);
        if (sqlite3* db = m_db.load()) sqlite3_interrupt(db);
    }
    m_thread.join();
}

void ListingWorker::Run(QString databasePath)
{
    SqliteConnection connection;
    HRESULT hr = connection.OpenForScans(databasePath);
    if (SUCCEEDED(hr)) {
        m_db = connection.Handle();
        // The worker's reads go through SQLite's own page reads, never the
        // mapped file: a search of one or two characters reads every name,
        // and mapping would keep each page of the file it touched resident
        // in the process (hundreds of megabytes at ten million names),
        // where page reads copy a page once and are no slower.
        // One read transaction: folders and files come from the same snapshot.
        connection.Execute("BEGIN");
        if (m_listed) m_listed->SetChangeCount(LibraryChanges::Count(connection));
        for (int kind = 0; kind < kKinds && SUCCEEDED(hr) && !m_stop; ++kind) hr = Collect(connection.Handle(), kind);
        connection.Execute("COMMIT");
    }
    {
        std::lock_guard lock(m_dbMutex);
        m_db = nullptr;
    }
    m_found.End(hr, m_stop);
}

HRESULT ListingWorker::Collect(sqlite3* db, int kind)
{
    ListingIds::Collector found(m_found, kind);
    if (!found.Wanted()) {
        found.Finish(true);
        return S_OK;
    }
    SqliteStatement query(db, m_steps[size_t(kind)].sql.c_str());
    if (query.PrepareResult() != SQLITE_OK) return SqliteConnection::FromResult(query.PrepareResult());
    if (m_steps[size_t(kind)].bind) m_steps[size_t(kind)].bind(query);
    ListedEntryQueue* listed = m_steps[size_t(kind)].listed ? m_listed.get() : nullptr;
    int rc = SQLITE_ROW;
    if (listed) rc = CollectListed(query, kind, *listed, found);
    else
        while (!m_stop && (rc = query.Step()) == SQLITE_ROW)
            if (!found.Add(static_cast<int32_t>(query.Int64(0)))) {
                rc = SQLITE_DONE; // every one counted ahead is found
                break;
            }
    found.Finish(rc == SQLITE_DONE);
    if (m_stop) return S_OK;
    return rc == SQLITE_DONE ? S_OK : SqliteConnection::FromResult(rc);
}

// The statement hands each entry to sv_found within one step: the entry
// is queued before its id is published, and the scan waits while the
// reader is too far behind.
int ListingWorker::CollectListed(SqliteStatement& query, int kind, ListedEntryQueue& listed,
                                 ListingIds::Collector& found)
{
    int index = 0;
    NameMatch::FoundEntry take = [&](const ListedEntry& entry, std::string_view name) {
        const bool full = listed.Add(kind, index++, entry, name);
        if (!found.Add(entry.id)) return false; // every one counted ahead is found
        if (full) {
            found.Publish(); // the reader waits for these to take the queued ones
            listed.WaitForRoom();
        }
        return !m_stop.load(std::memory_order_relaxed);
    };
    NameMatch::BindFound(query, NameSearch::kFoundParameter, &take);
    const int rc = query.Step();
    listed.Flush();
    // A row: the receiver ended the scan, complete unless it was stopped.
    return rc == SQLITE_ROW && !m_stop ? SQLITE_DONE : rc;
}
