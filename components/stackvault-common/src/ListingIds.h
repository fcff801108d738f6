// The ids a listing's worker has found so far (folders, then files), shared
// between the worker that finds them and the callers that wait for them
// and read ranges of them. Ids are published in small chunks; a waiter
// wakes as soon as enough are found. Each library engine's worker runs its
// own queries and feeds the ids through a Collector.
#pragma once
#include "hresult.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

struct LibraryListingCounts;

class ListingIds {
public:
    static constexpr int kKinds = 2; // folders, files
    // Small first chunks put the first screen on the way at once; later
    // ones are larger so publishing costs nothing measurable.
    static constexpr size_t kFirstChunk = 64;
    static constexpr size_t kChunk = 4096;

    // `totals`: how many ids each kind has when known ahead, else -1.
    explicit ListingIds(std::array<int, kKinds> totals);

    // Gathers the ids of one kind in listing order and publishes them in chunks.
    class Collector {
    public:
        Collector(ListingIds& ids, int kind) : m_ids(ids), m_kind(kind), m_total(ids.m_totals[size_t(kind)]) {}
        // Whether a query is needed at all (none when none are counted ahead).
        bool Wanted() const { return m_total != 0; }
        // Adds one id; false once every id counted ahead is found.
        bool Add(int32_t id);
        // Adds one id as Add does, but publishes nothing (until Publish).
        bool Append(int32_t id);
        // Appends the ids of `items` (idOf(item)) as Append does one by one,
        // up to the last one counted ahead; *appended: how many. False once
        // every one counted ahead is found.
        template <class Items, class IdOf>
        bool AppendAll(const Items& items, IdOf idOf, size_t* appended)
        {
            size_t count = items.size();
            if (m_total >= 0 && m_count < m_total) count = std::min(count, size_t(m_total - m_count));
            const size_t at = m_found.size();
            m_found.resize(at + count);
            for (size_t i = 0; i < count; ++i) m_found[at + i] = idOf(items[i]);
            m_count += int(count);
            *appended = count;
            return count == 0 || m_count != m_total;
        }
        // Publishes what is left; `kindDone` when the kind is complete.
        void Finish(bool kindDone) { m_ids.Publish(m_kind, m_found, kindDone); }
        // Publishes what was found so far (before the worker waits).
        void Publish() { m_ids.Publish(m_kind, m_found, false); }

    private:
        ListingIds& m_ids;
        const int m_kind;
        const int m_total;
        std::vector<int32_t> m_found;
        size_t m_chunk = kFirstChunk;
        int m_count = 0;
    };

    // The worker's end: complete unless it failed or was stopped.
    void End(HRESULT failure, bool stopped);
    // Waits at most timeoutMs for `rows` ids or the end; S_OK complete,
    // S_FALSE still finding, the failure when the worker failed.
    HRESULT Wait(int rows, int timeoutMs, LibraryListingCounts* counts) const;
    // Ids first .. first + count - 1 of a kind, as far as found.
    std::vector<int32_t> Ids(int kind, int first, int count) const;
    // How many more ids a Wait for `rows` needs (0 when it would return now).
    int Missing(int rows) const;

private:
    void Publish(int kind, std::vector<int32_t>& found, bool kindDone);
    bool HasEnough(int rows) const;

    const std::array<int, kKinds> m_totals;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::array<std::vector<int32_t>, kKinds> m_ids;
    int m_kindsDone = 0;
    bool m_complete = false;
    HRESULT m_failure = S_OK;
};
