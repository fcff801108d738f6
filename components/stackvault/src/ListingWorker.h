// Finds the ids of a listing's entries (folders, then files) on a thread of
// its own through a read-only connection, so that the engine's connection
// and lock stay free for reading the records of the rows shown. The ids
// found so far are kept by ListingIds. Destroying the worker interrupts
// its query and joins the thread.
#pragma once
#include "IdSlices.h"
#include "ListedEntryQueue.h"
#include "ListingIds.h"
#include "SqliteStatement.h"
#include "hresult.h"

#include <QString>
#include <array>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct LibraryListingCounts;
struct sqlite3;

// One query of a listing: its SQL yields entry ids in listing order, or
// when `listed`, hands the compact entries to sv_found
// (NameSearch::ListedEntriesSql). A listed step whose SQL also takes an id
// range (NameSearch::kSliceFirstParameter, kSliceLastParameter) is scanned
// in slices of ids (IdSlices: `firstSliceIds` first, `sliceIds` at most),
// by the worker and a helper of its own at once where the machine has two
// processors; `idRangeSql` gives the first and last id to scan.
struct ListingStep {
    std::string sql;
    std::function<void(SqliteStatement&)> bind;
    bool listed = false;
    const char* idRangeSql = nullptr;
    int64_t firstSliceIds = 0;
    int64_t sliceIds = 0;
};

class ListingWorker {
public:
    static constexpr int kKinds = ListingIds::kKinds; // folders, files

    // `totals`: how many ids each step yields when known ahead, else -1;
    // a step stops once it has them all. The entries of `listed` steps are
    // kept in Listed() for a reader that takes them in order.
    ListingWorker(const QString& databasePath, std::array<ListingStep, kKinds> steps,
                  std::array<int, kKinds> totals = {-1, -1});
    ~ListingWorker();
    ListingWorker(const ListingWorker&) = delete;
    ListingWorker& operator=(const ListingWorker&) = delete;

    // Waits at most timeoutMs for `rows` ids or the end; S_OK complete,
    // S_FALSE still finding, the failure when the worker failed.
    HRESULT Wait(int rows, int timeoutMs, LibraryListingCounts* counts) const;
    // Ids first .. first + count - 1 of a kind, as far as found.
    std::vector<int32_t> Ids(int kind, int first, int count) const { return m_found.Ids(kind, first, count); }
    // The entries found by `listed` steps, or null when there are none.
    ListedEntryQueue* Listed() const { return m_listed.get(); }

private:
    void Run(QString databasePath);
    HRESULT Collect(sqlite3* db, int kind);
    // Runs a `listed` step, queueing its entries; SQLite's result.
    int CollectListed(sqlite3* db, SqliteStatement& query, int kind, ListedEntryQueue& listed,
                      ListingIds::Collector& found);
    // Receives the entries of each slice in turn (IdSlices::HandOver);
    // false ends the scan.
    using SliceReceiver = IdSlices::PassOn;
    // A sliced step: the worker and a helper scan slices and pass their
    // entries on to `take` in slice order; SQLite's result.
    int ScanSlices(sqlite3* db, SqliteStatement& query, const ListingStep& step, SliceReceiver& take);
    // The helper: the slices it can take, on a connection of its own that
    // reads the worker's snapshot (else it leaves them all to the worker).
    void HelpScan(const ListingStep& step, SliceReceiver& take, std::atomic<int>& failure);
    // Scans free slices with `query` and hands each one over to be passed
    // on in its turn, then tells `passed` its number; the first failure of
    // either thread goes to `failure`.
    void RunSlices(SqliteStatement& query, SliceReceiver& take, std::atomic<int>& failure,
                   const std::function<void(int number)>& passed = {});
    // Sets the page cache of a connection that scans every row small; gives
    // the size it had (0 when it could not be read), which KeepPages sets again.
    static int64_t KeepFewPages(sqlite3* db);
    static void KeepPages(sqlite3* db, int64_t pages);
    // The slices the worker scans alone before its helper starts.
    static constexpr int kSlicesBeforeHelp = 2;

    QString m_databasePath;
    std::array<ListingStep, kKinds> m_steps;
    ListingIds m_found;
    std::unique_ptr<ListedEntryQueue> m_listed;
    std::mutex m_dbMutex; // guards interrupting m_db against its closing
    std::atomic<bool> m_stop{false};
    std::atomic<sqlite3*> m_db{nullptr};
    IdSlices m_slices; // of the sliced step being scanned
    std::thread m_thread;
};
