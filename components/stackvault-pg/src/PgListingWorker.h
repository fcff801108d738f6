// Finds the ids of a listing's entries (folders, then files) on a thread of
// its own with a connection of its own (one opened ahead when there is one,
// see PgSpareConnection), in one snapshot, through a cursor per kind read a
// chunk at a time (the first chunk of each kind comes with the snapshot's
// start, in one round trip); the engine's connection and lock stay free for
// reading the records of the rows shown. Destroying the worker cancels its
// query on the server and joins the thread.
#pragma once
#include "ListingIds.h"
#include "PgParams.h"
#include "PgResult.h"
#include "PgSpareConnection.h"

#include <QString>
#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>

struct pg_cancel;
class PgConnection;

// One query of a listing: its SQL yields entry ids in listing order.
struct PgListingStep {
    std::string sql;
    PgParams params;
};

class PgListingWorker {
public:
    static constexpr int kKinds = ListingIds::kKinds;

    // The worker takes the connection kept in `spare` (without one, or when
    // it could not be opened, it opens its own to `address`) and hands it
    // back when the listing has run to its end. `spare` outlives the worker.
    PgListingWorker(const QString& address, PgSpareConnection& spare, std::array<PgListingStep, kKinds> steps,
                    std::array<int, kKinds> totals = {-1, -1});
    ~PgListingWorker();
    PgListingWorker(const PgListingWorker&) = delete;
    PgListingWorker& operator=(const PgListingWorker&) = delete;

    HRESULT Wait(int rows, int timeoutMs, LibraryListingCounts* counts) const
    {
        return m_found.Wait(rows, timeoutMs, counts);
    }
    std::vector<int32_t> Ids(int kind, int first, int count) const { return m_found.Ids(kind, first, count); }

private:
    void Run(QString address, PgSpareConnection::Opening spare);
    HRESULT Collect(PgConnection& db);
    // Adds a chunk's ids; whether more are to be fetched.
    bool Take(ListingIds::Collector& found, const PgResult& chunk, int asked);
    HRESULT CollectRest(PgConnection& db, int kind, ListingIds::Collector& found);

    PgSpareConnection& m_spare;
    std::array<PgListingStep, kKinds> m_steps;
    ListingIds m_found;
    std::mutex m_cancelMutex; // guards m_cancel against its freeing
    pg_cancel* m_cancel = nullptr;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
