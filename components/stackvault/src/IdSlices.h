// Deals out the slices of an id range to the threads that scan it
// together, and hands them turns to pass on what they found in slice
// order: a thread scans the next free slice into a buffer of its own, then
// waits until every slice before it was passed on. Memory stays that of a
// slice per thread, and the hits come out in id order as one scan gives
// them.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>

class IdSlices {
public:
    struct Slice {
        int number = 0;
        int64_t first = 0, last = 0; // ids, both included
    };

    // Ids first .. last in slices of `firstIds`, each next one twice as
    // long up to `mostIds` (so that the first hits come soon, and later
    // slices cost few turns); none when last < first. A scan stopped before
    // it starts stays stopped.
    void Start(int64_t first, int64_t last, int64_t firstIds, int64_t mostIds);
    // The next slice nobody took; false when none is left or it stopped.
    bool Take(Slice* slice);
    // Waits until every slice before `number` was passed on; false when it stopped.
    bool AwaitTurn(int number);
    // Slice `number` was passed on: the next one's turn.
    void Passed(int number);
    // Ends every wait and dealing (the scan ended early, failed or was closed).
    void Stop();

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_turnChanged;
    int64_t m_last = -1;
    int64_t m_nextFirst = 0; // the first id of the next slice to take
    int64_t m_nextIds = 1, m_mostIds = 1; // its length, the longest
    int m_next = 0; // the number of the next slice to take
    int m_turn = 0; // the slice whose turn it is to be passed on
    bool m_stopped = false;
};
