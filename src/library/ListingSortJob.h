// Sorts the entries of a folder listing away from the window's thread, so
// that the window goes on painting and answering however many entries the
// folder holds. The job waits until the listing has found every entry,
// reads their records a chunk at a time through the engine (whose calls may
// come from any thread), orders them by ListSort's rules and hands the order
// of the listing's rows to `done` on the thread of `receiver` (an empty
// order when the listing failed: the rows stay as listed). The rows
// themselves are made only when they are looked at.
//
// Destroying the job stops it and joins its thread; an order not yet taken
// by the receiver's thread is dropped, but `done` may already be running for
// it, so `done` must tell a stale order from the last.
#pragma once
#include "ILibraryListings.h"
#include "ListSort.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class QObject;

class ListingSortJob {
public:
    using FieldsOf = std::function<ListSort::RowFields(const ItemRecord& record)>;
    using Done = std::function<void(std::vector<int> order)>;

    struct Sort {
        int mode;
        int column;
        int direction;
    };

    ListingSortJob(ILibraryListings* listings, LibraryListing listing, Sort sort, FieldsOf fieldsOf, QObject* receiver,
                   Done done);
    ~ListingSortJob();
    ListingSortJob(const ListingSortJob&) = delete;
    ListingSortJob& operator=(const ListingSortJob&) = delete;

private:
    // The order on its way from the worker to the receiver's thread.
    struct Handover {
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<int> order;
        bool offered = false; // there to be copied
        bool taken = false;
    };

    static void Deliver(Handover& handover, const Done& done);
    void Run();
    std::vector<int> SortedOrder();
    // Waits until the listing is complete; its counts, or false when it
    // failed or the job was stopped.
    bool WaitForEveryEntry(LibraryListingCounts* counts);
    // The fields of every entry of a kind, appended to `rows`.
    bool ReadKind(LONG kind, int count, std::vector<ListSort::RowFields>& rows);

    ILibraryListings* m_pListings;
    LibraryListing m_listing;
    Sort m_sort;
    FieldsOf m_fieldsOf;
    QObject* m_pReceiver;
    Done m_done;
    std::atomic<bool> m_stop{false};
    std::shared_ptr<Handover> m_handover = std::make_shared<Handover>();
    std::thread m_thread;
};
