#include "ListingSortJob.h"

#include <QMetaObject>
#include <QObject>
#include <algorithm>
#include <limits>

namespace {
// Records read per engine call: the engine is held for a few milliseconds
// at a time, so the window's own calls never wait long.
constexpr LONG kChunk = 256;
constexpr LONG kWaitMs = 100;
} // namespace

ListingSortJob::ListingSortJob(ILibraryListings* listings, LibraryListing listing, Sort sort, FieldsOf fieldsOf,
                               QObject* receiver, Done done)
    : m_pListings(listings), m_listing(listing), m_sort(sort), m_fieldsOf(std::move(fieldsOf)), m_pReceiver(receiver),
      m_done(std::move(done)), m_thread([this] { Run(); })
{
}

ListingSortJob::~ListingSortJob()
{
    {
        std::lock_guard lock(m_handover->mutex);
        m_stop = true;
    }
    m_handover->changed.notify_all();
    m_thread.join();
}

// The window's thread copies the order, and this thread frees its own. The
// allocator gives memory back on the thread that frees the last block of a
// heap: were the order freed on the window's thread, so would the pages of
// the sort's records and keys (hundreds of MB for a million entries), a
// stall that grows with the folder.
void ListingSortJob::Run()
{
    std::vector<int> order = SortedOrder();
    if (m_stop) return;
    std::unique_lock lock(m_handover->mutex);
    m_handover->order = std::move(order);
    m_handover->offered = true;
    QMetaObject::invokeMethod(m_pReceiver, [handover = m_handover, done = m_done] { Deliver(*handover, done); },
                              Qt::QueuedConnection);
    m_handover->changed.wait(lock, [this] { return m_handover->taken || m_stop; });
    m_handover->offered = false;
    m_handover->order = {};
}

void ListingSortJob::Deliver(Handover& handover, const Done& done)
{
    std::vector<int> copy;
    {
        std::lock_guard lock(handover.mutex);
        if (!handover.offered) return; // the job was stopped meanwhile
        copy = handover.order;
        handover.offered = false;
        handover.taken = true;
    }
    handover.changed.notify_all();
    done(std::move(copy));
}

std::vector<int> ListingSortJob::SortedOrder()
{
    LibraryListingCounts counts{};
    if (!WaitForEveryEntry(&counts)) return {};
    std::vector<ListSort::RowFields> rows;
    rows.reserve(size_t(counts.folders) + size_t(counts.files));
    if (!ReadKind(kListingFolders, counts.folders, rows) || !ReadKind(kListingFiles, counts.files, rows)) return {};
    return ListSort::Order(rows, m_sort.mode, m_sort.column, m_sort.direction);
}

bool ListingSortJob::WaitForEveryEntry(LibraryListingCounts* counts)
{
    HRESULT hr = S_FALSE;
    while (!m_stop && (hr = m_pListings->WaitListing(m_listing, std::numeric_limits<LONG>::max(), kWaitMs, counts)) == S_FALSE) {
    }
    return !m_stop && hr == S_OK;
}

bool ListingSortJob::ReadKind(LONG kind, int count, std::vector<ListSort::RowFields>& rows)
{
    std::vector<ItemRecord> records(size_t(std::min<LONG>(kChunk, std::max(count, 0))));
    for (int first = 0; first < count; first += kChunk) {
        if (m_stop) return false;
        LONG filled = 0;
        const LONG wanted = std::min<LONG>(kChunk, count - first);
        if (FAILED(m_pListings->GetListingItems(m_listing, kind, first, records.data(), wanted, &filled)) ||
            filled != wanted)
            return false;
        for (LONG i = 0; i < filled; ++i) rows.push_back(m_fieldsOf(records[size_t(i)]));
    }
    return true;
}
