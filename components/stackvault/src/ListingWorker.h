// Finds the ids of a listing's entries (folders, then files) on a thread of
// its own through a read-only connection, so that the engine's connection
// and lock stay free for reading the records of the rows shown. Ids are
// published in small chunks; a waiter wakes as soon as enough are found.
// Destroying the worker interrupts its query and joins the thread.
#pragma once
#include "SqliteStatement.h"
#include "hresult.h"

#include <QString>
#include <array>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct LibraryListingCounts;
struct sqlite3;

// One query of a listing: its SQL yields entry ids in listing order.
struct ListingStep {
    std::string sql;
    std::function<void(SqliteStatement&)> bind;
};

class ListingWorker {
public:
    static constexpr int kKinds = 2; // folders, files

    // `totals`: how many ids each step yields when known ahead, else -1;
    // a step stops once it has them all.
    ListingWorker(const QString& databasePath, std::array<ListingStep, kKinds> steps,
                  std::array<int, kKinds> totals = {-1, -1});
    ~ListingWorker();
    ListingWorker(const ListingWorker&) = delete;
    ListingWorker& operator=(const ListingWorker&) = delete;

    // Waits at most timeoutMs for `rows` ids or the end; S_OK complete,
    // S_FALSE still finding, the failure when the worker failed.
    HRESULT Wait(int rows, int timeoutMs, LibraryListingCounts* counts) const;
    // Ids first .. first + count - 1 of a kind, as far as found.
    std::vector<int32_t> Ids(int kind, int first, int count) const;

private:
    void Run(QString databasePath);
    HRESULT Collect(sqlite3* db, int kind);
    void Publish(int kind, std::vector<int32_t>& found, bool kindDone);
    bool HasEnough(int rows) const;

    std::array<ListingStep, kKinds> m_steps;
    const std::array<int, kKinds> m_totals;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::array<std::vector<int32_t>, kKinds> m_ids;
    int m_kindsDone = 0;
    bool m_complete = false;
    HRESULT m_failure = S_OK;
    std::atomic<bool> m_stop{false};
    std::atomic<sqlite3*> m_db{nullptr};
    std::thread m_thread;
};
