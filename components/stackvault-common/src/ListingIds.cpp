#include "ListingIds.h"

#include "ILibraryListings.h"

#include <algorithm>
#include <chrono>

// Ids counted ahead get their room at once: growing by doubling would copy
// millions of ids under the lock that readers wait on, and touch twice the
// memory.
ListingIds::ListingIds(std::array<int, kKinds> totals) : m_totals(totals)
{
    for (size_t kind = 0; kind < size_t(kKinds); ++kind)
        if (totals[kind] > 0) m_ids[kind].reserve(size_t(totals[kind]));
}

bool ListingIds::Collector::Append(int32_t id)
{
    m_found.push_back(id);
    return ++m_count != m_total; // false: every one counted ahead is found
}

bool ListingIds::Collector::Add(int32_t id)
{
    if (!Append(id)) return false;
    if (m_found.size() >= m_chunk) {
        m_ids.Publish(m_kind, m_found, false);
        m_chunk = kChunk;
    }
    return true;
}

void ListingIds::Publish(int kind, std::vector<int32_t>& found, bool kindDone)
{
    std::lock_guard lock(m_mutex);
    if (kindDone) m_kindsDone = kind + 1;
    auto& ids = m_ids[size_t(kind)];
    ids.insert(ids.end(), found.begin(), found.end());
    found.clear();
    m_changed.notify_all();
}

void ListingIds::End(HRESULT failure, bool stopped)
{
    std::lock_guard lock(m_mutex);
    m_failure = stopped ? S_OK : failure;
    m_complete = !stopped && SUCCEEDED(failure);
    m_changed.notify_all();
}

bool ListingIds::HasEnough(int rows) const
{
    return m_complete || FAILED(m_failure) || m_ids[0].size() + m_ids[1].size() >= size_t(rows);
}

HRESULT ListingIds::Wait(int rows, int timeoutMs, LibraryListingCounts* counts) const
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

std::vector<int32_t> ListingIds::Ids(int kind, int first, int count) const
{
    std::lock_guard lock(m_mutex);
    const auto& ids = m_ids[size_t(kind)];
    if (first < 0 || count <= 0 || size_t(first) >= ids.size()) return {};
    const size_t last = std::min(ids.size(), size_t(first) + size_t(count));
    return {ids.begin() + first, ids.begin() + static_cast<std::ptrdiff_t>(last)};
}

int ListingIds::Missing(int rows) const
{
    std::lock_guard lock(m_mutex);
    return HasEnough(rows) ? 0 : rows - int(m_ids[0].size() + m_ids[1].size());
}
