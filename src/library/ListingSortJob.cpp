#include "ListingSortJob.h"

#include "FieldsKeeper.h"

#include <QMetaObject>
#include <QObject>
#include <algorithm>
#include <limits>

namespace {
// Entries waited for at a time while the listing fills.
constexpr LONG kChunk = 256;
constexpr LONG kWaitMs = 100;

// Threads of jobs destroyed while sorting: joined once they have finished,
// when another one is left, and at the latest when the program ends.
class RetiredThreads {
public:
    ~RetiredThreads()
    {
        for (Retired& retired : m_threads) retired.thread.join();
    }
    void Add(std::thread thread, std::shared_ptr<std::atomic<bool>> finished)
    {
        std::lock_guard lock(m_mutex);
        std::erase_if(m_threads, [](Retired& retired) {
            if (!*retired.finished) return false;
            retired.thread.join();
            return true;
        });
        m_threads.push_back({std::move(thread), std::move(finished)});
    }

private:
    struct Retired {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };
    std::mutex m_mutex;
    std::vector<Retired> m_threads;
};

RetiredThreads& Retired()
{
    static RetiredThreads threads;
    return threads;
}
} // namespace

ListingSortJob::ListingSortJob(Source source, LibraryListing listing, Sort sort, Fields fields, AddEntry addEntry,
                               QObject* receiver, Done done)
    : m_pListings(source.listings), m_listing(listing), m_sort(sort), m_fields(std::move(fields)),
      m_reader(source, listing, std::move(addEntry)), m_pReceiver(receiver), m_done(std::move(done)),
      m_thread([this, finished = m_finished] {
          Run();
          *finished = true;
      })
{
}

ListingSortJob::~ListingSortJob()
{
    bool reading = false;
    {
        std::lock_guard lock(m_handover->mutex);
        m_stop = true;
        m_handover->stopped = true;
        m_handover->offered = false; // an order already on its way is dropped
        reading = m_reading;
    }
    m_handover->changed.notify_all();
    if (reading) m_thread.join();
    else Retired().Add(std::move(m_thread), m_finished);
}

// The window's thread copies the order, and this thread frees its own. The
// allocator gives memory back on the thread that frees the last block of a
// heap: were the order freed on the window's thread, so would the pages of
// the sort's keys (hundreds of MB for a million entries), a stall that
// grows with the folder.
void ListingSortJob::Run()
{
    Fields fields = m_fields;
    std::unique_ptr<SplitNames> names;
    if (!fields.entries) {
        // Done while the listing's worker is still finding the entries.
        names = ListSort::NamesToSplit(m_sort.mode, m_sort.column);
        fields = {ReadEntries(names.get()), nullptr};
    }
    std::shared_ptr<Handover> handover = m_handover;
    Done done;
    Sort sort{};
    QObject* receiver = nullptr;
    {
        std::lock_guard lock(handover->mutex);
        if (m_stop) return;
        done = m_done;
        sort = m_sort;
        receiver = m_pReceiver;
        m_reading = false; // from here on the job may be destroyed
    }
    SortAndHandOver(sort, std::move(fields), std::move(names), std::move(handover), receiver, std::move(done));
}

void ListingSortJob::SortAndHandOver(Sort sort, Fields fields, std::unique_ptr<SplitNames> names,
                                     std::shared_ptr<Handover> handover, QObject* receiver, Done done)
{
    std::vector<int> order;
    if (fields.entries)
        order = ListSort::Order(*fields.entries, sort.mode, sort.column, sort.direction, &fields.nameRanks,
                                names.get());
    names.reset();
    std::unique_lock lock(handover->mutex);
    if (handover->stopped) return;
    handover->order = std::move(order);
    handover->fields = std::move(fields);
    handover->offered = true;
    QMetaObject::invokeMethod(receiver, [handover, done] { Deliver(*handover, done); }, Qt::QueuedConnection);
    handover->changed.wait(lock, [&] { return handover->taken || handover->stopped; });
    handover->offered = false;
    handover->order = {};
    handover->fields = {};
}

void ListingSortJob::Deliver(Handover& handover, const Done& done)
{
    std::vector<int> copy;
    Fields fields;
    {
        std::lock_guard lock(handover.mutex);
        if (!handover.offered) return; // the job was stopped meanwhile
        copy = handover.order;
        fields = handover.fields;
        handover.offered = false;
        handover.taken = true;
    }
    handover.changed.notify_all();
    done(std::move(copy), std::move(fields));
}

// Entries are read as the listing finds them: folders as they come, files
// once every folder is found (the listing's order). A listing counted ahead
// fills its records only as it finds them: it is waited for whole. Each
// block read is kept by a second thread while this one reads the next.
std::shared_ptr<SortEntries> ListingSortJob::ReadEntries(SplitNames* names)
{
    auto entries = std::make_shared<SortEntries>();
    FieldsKeeper keeper(m_reader, *entries, [names](const SortEntries& kept) {
        if (!names) return;
        names->Add(kept);
        names->SortAdded();
    });
    int read[2] = {0, 0};
    for (;;) {
        LibraryListingCounts counts{};
        const HRESULT hr = m_pListings->WaitListing(m_listing, read[0] + read[1] + kChunk, kWaitMs, &counts);
        if (m_stop || FAILED(hr)) return nullptr;
        if (counts.counted && hr != S_OK && !WaitForEveryEntry(&counts)) return nullptr;
        const bool complete = hr == S_OK || counts.counted;
        if (complete) {
            const size_t rows = size_t(counts.folders) + size_t(counts.files);
            keeper.Reserve(rows);
            // The keeper's thread waits for the next block meanwhile.
            if (names) names->Reserve(rows);
        }
        if (!ReadFound(kListingFolders, counts.folders, &read[0], keeper)) return nullptr;
        const bool everyFolderFound = complete || counts.files > 0;
        if (everyFolderFound && !ReadFound(kListingFiles, counts.files, &read[1], keeper)) return nullptr;
        if (complete) {
            keeper.Finish();
            return entries;
        }
    }
}

bool ListingSortJob::WaitForEveryEntry(LibraryListingCounts* counts)
{
    HRESULT hr = S_FALSE;
    while (!m_stop && (hr = m_pListings->WaitListing(m_listing, std::numeric_limits<LONG>::max(), kWaitMs, counts)) == S_FALSE) {
    }
    return !m_stop && hr == S_OK;
}

bool ListingSortJob::ReadFound(LONG kind, int count, int* read, FieldsKeeper& keeper)
{
    while (*read < count) {
        if (m_stop) return false;
        LONG filled = 0;
        if (FAILED(keeper.Read(kind, *read, count - *read, &filled)) || filled == 0) return false;
        *read += filled;
    }
    return true;
}
