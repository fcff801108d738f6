#include "ListingWorker.h"

#include "ILibraryListings.h"
#include "LibraryChanges.h"
#include "NameMatch.h"
#include "NameSearch.h"
#include "SqliteConnection.h"

#include <sqlite3.h>
#include <string>
#include <vector>

ListingWorker::ListingWorker(const QString& databasePath, std::array<ListingStep, kKinds> steps,
                             std::array<int, kKinds> totals)
    : m_databasePath(databasePath),
      m_steps(std::move(steps)),
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
    m_slices.Stop();
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
    if (listed) rc = CollectListed(db, query, kind, *listed, found);
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
int ListingWorker::CollectListed(sqlite3* db, SqliteStatement& query, int kind, ListedEntryQueue& listed,
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
    // A slice's entries are queued whole, their ids published with them.
    SliceReceiver passOn = [&](ListedEntryQueue::Entries& slice) {
        size_t added = 0;
        // False: every one counted ahead is found.
        const bool more = found.AppendAll(slice.entries, [](const ListedEntry& entry) { return entry.id; }, &added);
        const bool full = listed.AddAll(kind, index, slice, [&] { found.Publish(); });
        index += int(added);
        if (full) listed.WaitForRoom();
        return more && !m_stop.load(std::memory_order_relaxed);
    };
    const ListingStep& step = m_steps[size_t(kind)];
    int rc = SQLITE_DONE;
    if (!step.idRangeSql) {
        NameMatch::BindFound(query, NameSearch::kFoundParameter, &take);
        rc = query.Step();
    } else {
        rc = ScanSlices(db, query, step, passOn);
    }
    listed.Flush();
    // A row: the receiver ended the scan, complete unless it was stopped.
    return rc == SQLITE_ROW && !m_stop ? SQLITE_DONE : rc;
}

namespace {

// The first and last id `rangeSql` gives; false when it gives none.
bool FirstAndLastId(sqlite3* db, const char* rangeSql, int64_t* first, int64_t* last, int* rc)
{
    SqliteStatement range(db, rangeSql);
    *rc = range.PrepareResult();
    if (*rc != SQLITE_OK) return false;
    *rc = range.Step();
    if (*rc != SQLITE_ROW || range.IsNull(0)) return false;
    *rc = SQLITE_DONE;
    *first = range.Int64(0);
    *last = range.Int64(1);
    return true;
}

} // namespace

int64_t ListingWorker::KeepFewPages(sqlite3* db)
{
    int64_t before = 0;
    {
        SqliteStatement size(db, "PRAGMA cache_size");
        if (size.Step() == SQLITE_ROW) before = size.Int64(0);
    }
    // A scan reads each page once: a small page cache stays in the
    // processor's cache, where the default one (2 MB a thread) passes every
    // page it reads through memory.
    sqlite3_exec(db, "PRAGMA cache_size=64", nullptr, nullptr, nullptr);
    return before;
}

void ListingWorker::KeepPages(sqlite3* db, int64_t pages)
{
    if (pages == 0) return; // the size was not read
    const std::string sql = "PRAGMA cache_size=" + std::to_string(pages);
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
}

int ListingWorker::ScanSlices(sqlite3* db, SqliteStatement& query, const ListingStep& step, SliceReceiver& take)
{
    int64_t first = 0, last = -1;
    int rc = SQLITE_DONE;
    if (!FirstAndLastId(db, step.idRangeSql, &first, &last, &rc)) return rc == SQLITE_ROW ? SQLITE_DONE : rc;
    // The listing reads records on this connection after the scan, by id:
    // its own page cache comes back then.
    const int64_t pages = KeepFewPages(db);
    m_slices.Start(first, last, step.firstSliceIds, step.sliceIds);
    std::atomic<int> failure{SQLITE_OK};
    std::thread helper;
    // The helper starts once the first slices were passed on: a reader that
    // stops after the first lines does not wait for its connection to open.
    auto passed = [&](int number) {
        if (number == kSlicesBeforeHelp - 1 && !m_stop && std::thread::hardware_concurrency() > 1)
            helper = std::thread([&] { HelpScan(step, take, failure); });
    };
    RunSlices(query, take, failure, passed);
    if (helper.joinable()) helper.join();
    KeepPages(db, pages);
    if (m_stop) return SQLITE_INTERRUPT;
    return failure == SQLITE_OK ? SQLITE_DONE : failure.load();
}

void ListingWorker::HelpScan(const ListingStep& step, SliceReceiver& take, std::atomic<int>& failure)
{
    SqliteConnection connection;
    // Without a transaction of its own each slice would read a snapshot of its own.
    if (FAILED(connection.OpenForScans(m_databasePath)) || connection.Execute("BEGIN") != SQLITE_OK) return;
    // Every write raises the change count: an equal count is the worker's snapshot.
    const int64_t changes = LibraryChanges::Count(connection);
    if (changes == LibraryChanges::kUnknown || changes != m_listed->ChangeCount()) return;
    SqliteStatement query(connection.Handle(), step.sql.c_str());
    if (query.PrepareResult() != SQLITE_OK) return;
    if (step.bind) step.bind(query);
    KeepFewPages(connection.Handle());
    RunSlices(query, take, failure);
}

void ListingWorker::RunSlices(SqliteStatement& query, SliceReceiver& take, std::atomic<int>& failure,
                              const std::function<void(int number)>& passed)
{
    ListedEntryQueue::Entries found;
    NameMatch::FoundEntry keep = [&](const ListedEntry& entry, std::string_view name) {
        found.Add(entry, name);
        return !m_stop.load(std::memory_order_relaxed);
    };
    NameMatch::BindFound(query, NameSearch::kFoundParameter, &keep);
    IdSlices::Slice slice;
    while (m_slices.Take(&slice)) {
        found.Clear();
        query.Rewind();
        query.Bind(NameSearch::kSliceFirstParameter, slice.first);
        query.Bind(NameSearch::kSliceLastParameter, slice.last);
        const int rc = query.Step();
        if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
            int none = SQLITE_OK;
            failure.compare_exchange_strong(none, rc);
            m_slices.Stop();
            break;
        }
        // A row: past the slice's last id, or stopped (the listing closes;
        // the receiver ends the scan only then). HandOver's receiver ends
        // once every one counted ahead is found, or when stopped.
        if (m_stop.load(std::memory_order_relaxed) || !m_slices.HandOver(slice.number, found, take)) {
            m_slices.Stop(); // the other thread need not go on
            break;
        }
        if (passed) passed(slice.number);
    }
    query.Rewind();
}
