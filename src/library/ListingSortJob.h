// Sorts the entries of a folder listing away from the window's thread, so
// that the window goes on painting and answering however many entries the
// folder holds. The job reads the fields it sorts by a block at a time
// through the engine (ListingFieldsReader) while the listing is still
// finding the rest, keeps each block on a second thread while it reads the
// next (FieldsKeeper; for a sort by name the names are keyed and sorted
// there too), orders them by ListSort's rules and
// hands the order of the listing's rows to `done` on the thread of
// `receiver`, with the fields read (an empty order and no fields when the
// listing failed: the rows stay as listed). Fields handed to a later job of
// the same listing are not read again. The rows themselves are made only
// when they are looked at.
//
// Destroying the job stops it: a job still reading is waited for (it stops
// at its next chunk: it uses the listing, which its owner may close next);
// a job already sorting, which cannot stop halfway, is left to finish on its
// own and drop its order, so that a second click on a large folder never
// waits for the first one's sort. An order not yet taken by the receiver's
// thread is dropped, but `done` may already be running for it, so `done`
// must tell a stale order from the last.
#pragma once
#include "ListSort.h"
#include "ListingFieldsReader.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class FieldsKeeper;
class QObject;

class ListingSortJob {
public:
    // What the listing's entries are sorted by, kept from one sort for the
    // next: their fields, and the ranks of their names once sorted by name.
    struct Fields {
        std::shared_ptr<const SortEntries> entries;
        ListSort::NameRanks nameRanks;
    };
    using Source = ListingFieldsReader::Source;
    using AddEntry = ListingFieldsReader::AddEntry;
    using Done = std::function<void(std::vector<int> order, Fields fields)>;

    struct Sort {
        int mode;
        int column;
        int direction;
    };

    // `fields`: those an earlier job of the listing handed on; empty to
    // read them.
    ListingSortJob(Source source, LibraryListing listing, Sort sort, Fields fields, AddEntry addEntry,
                   QObject* receiver, Done done);
    ~ListingSortJob();
    ListingSortJob(const ListingSortJob&) = delete;
    ListingSortJob& operator=(const ListingSortJob&) = delete;

private:
    // The order on its way from the worker to the receiver's thread.
    struct Handover {
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<int> order;
        Fields fields;
        bool offered = false; // there to be copied
        bool taken = false;
        bool stopped = false;
    };

    static void Deliver(Handover& handover, const Done& done);
    // Sorts and hands the order over; uses nothing of the job itself, which
    // may be gone meanwhile.
    static void SortAndHandOver(Sort sort, Fields fields, std::unique_ptr<SplitNames> names,
                                std::shared_ptr<Handover> handover, QObject* receiver, Done done);
    void Run();
    // The fields of every entry, in the listing's order (folders, then
    // files), their names split into `names` when given; null when the
    // listing failed or the job was stopped.
    std::shared_ptr<SortEntries> ReadEntries(SplitNames* names);
    // Waits until the listing is complete; false when it failed or the job
    // was stopped.
    bool WaitForEveryEntry(LibraryListingCounts* counts);
    // Appends the fields of the entries of a kind from `*read` up to
    // `count`, advancing `*read`.
    bool ReadFound(LONG kind, int count, int* read, FieldsKeeper& keeper);

    ILibraryListings* m_pListings;
    LibraryListing m_listing;
    Sort m_sort;
    Fields m_fields;
    ListingFieldsReader m_reader;
    QObject* m_pReceiver;
    Done m_done;
    std::atomic<bool> m_stop{false};
    bool m_reading = true; // guarded by the handover's mutex
    std::shared_ptr<Handover> m_handover = std::make_shared<Handover>();
    std::shared_ptr<std::atomic<bool>> m_finished = std::make_shared<std::atomic<bool>>(false);
    std::thread m_thread;
};
