// Deals out the slices of an id range to the threads that scan it
// together, and passes on what they found in slice order: a thread scans
// the next free slice into a buffer, then hands the buffer over. The slice
// whose turn it is goes on at once, with the slices after it that others
// finished first; a slice finished before its turn is parked for the
// thread that passes the one before it, and its thread scans on instead of
// waiting (up to kMostParked parked slices; then it waits for its turn or
// for room). Memory stays that of a few slices, and the hits come out in
// id order as one scan gives them.
#pragma once
#include "ListedEntryQueue.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

class IdSlices {
public:
    struct Slice {
        int number = 0;
        int64_t first = 0, last = 0; // ids, both included
    };
    using Found = ListedEntryQueue::Entries;
    // Passes one slice's entries on; false ends the scan.
    using PassOn = std::function<bool(Found& found)>;
    static constexpr size_t kMostParked = 8;

    // Ids first .. last in slices of `firstIds`, each next one twice as
    // long up to `mostIds` (so that the first hits come soon, and later
    // slices cost few turns); none when last < first. A scan stopped before
    // it starts stays stopped.
    void Start(int64_t first, int64_t last, int64_t firstIds, int64_t mostIds);
    // The next slice nobody took; false when none is left or it stopped.
    bool Take(Slice* slice);
    // Hands over what slice `number` found: passed on through `passOn` in
    // its turn, together with the parked slices that follow it, or parked.
    // `found` is left empty to be filled again. False when the scan stopped
    // or `passOn` ended it (the scan is then stopped for every thread).
    bool HandOver(int number, Found& found, const PassOn& passOn);
    // Ends every wait and dealing (the scan ended early, failed or was closed).
    void Stop();

private:
    // Passes `found` on, then each parked slice next in turn; false when it stopped.
    bool PassInTurn(Found& found, const PassOn& passOn);
    // An emptied buffer for a thread that parked its own (the lock held).
    void TakeSpare(Found& found);

    mutable std::mutex m_mutex;
    std::condition_variable m_handedOver;
    int64_t m_last = -1;
    int64_t m_nextFirst = 0; // the first id of the next slice to take
    int64_t m_nextIds = 1, m_mostIds = 1; // its length, the longest
    int m_next = 0; // the number of the next slice to take
    int m_turn = 0; // the slice whose turn it is to be passed on
    bool m_stopped = false;
    std::map<int, Found> m_parked; // finished before their turn, by number
    std::vector<Found> m_spare; // the buffers of parked slices passed on
};
