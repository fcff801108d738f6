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

    // Ids first .. last in slices of `sliceIds` (the last may be shorter);
    // none when last < first. A scan stopped before it starts stays stopped.
    void Start(int64_t first, int64_t last, int64_t sliceIds);
    // How many slices the range has.
    int64_t Count() const;
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
    int64_t m_first = 0, m_last = -1, m_sliceIds = 1;
    int64_t m_next = 0; // the next slice to take
    int64_t m_turn = 0; // the slice whose turn it is to be passed on
    bool m_stopped = false;
};
