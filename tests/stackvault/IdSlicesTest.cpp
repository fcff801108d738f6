// The slices of a scan shared by threads: every id of the range in exactly
// one slice, what the threads found passed on in slice order whichever
// finishes first (a slice done early parked, at most a few), and a stop
// that ends every wait, also one that comes before the scan starts.
#include "IdSlices.h"

#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

std::vector<IdSlices::Slice> TakeAll(IdSlices& slices)
{
    std::vector<IdSlices::Slice> taken;
    IdSlices::Slice slice;
    while (slices.Take(&slice)) taken.push_back(slice);
    return taken;
}

TEST(IdSlices, EveryIdIsInOneSliceInOrderEachTwiceTheLastUpToTheLongest)
{
    IdSlices slices;
    slices.Start(5, 60, 4, 16);
    const std::vector<IdSlices::Slice> taken = TakeAll(slices);
    // 5-8, 9-16, 17-32, 33-48, 49-60 (the last shorter).
    const std::vector<std::pair<int64_t, int64_t>> expected = {{5, 8}, {9, 16}, {17, 32}, {33, 48}, {49, 60}};
    ASSERT_EQ(expected.size(), taken.size());
    for (size_t i = 0; i < taken.size(); ++i) {
        EXPECT_EQ(int(i), taken[i].number);
        EXPECT_EQ(expected[i].first, taken[i].first) << i;
        EXPECT_EQ(expected[i].second, taken[i].last) << i;
    }

    slices.Start(7, 7, 1024, 16384); // one id
    ASSERT_EQ(1u, TakeAll(slices).size());
    slices.Start(1, 0, 1024, 16384); // an empty table
    EXPECT_TRUE(TakeAll(slices).empty());
}

// A slice's entries: one per id.
IdSlices::Found FoundIn(const IdSlices::Slice& slice)
{
    IdSlices::Found found;
    ListedEntry entry{};
    for (int64_t id = slice.first; id <= slice.last; ++id) {
        entry.id = int32_t(id);
        found.Add(entry, "n");
    }
    return found;
}

TEST(IdSlices, ThreadsPassTheirSlicesOnInSliceOrder)
{
    IdSlices slices;
    constexpr int kLast = 5000;
    slices.Start(1, kLast, 1, 7);
    std::vector<int64_t> passed; // written only by the thread passing on
    const IdSlices::PassOn passOn = [&](IdSlices::Found& found) {
        for (const ListedEntry& entry : found.entries) passed.push_back(entry.id);
        found.Clear();
        return true;
    };
    auto scan = [&] {
        IdSlices::Slice slice;
        while (slices.Take(&slice)) {
            IdSlices::Found found = FoundIn(slice);
            ASSERT_TRUE(slices.HandOver(slice.number, found, passOn));
            EXPECT_TRUE(found.entries.empty());
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < 3; ++i) threads.emplace_back(scan);
    for (std::thread& thread : threads) thread.join();
    ASSERT_EQ(size_t(kLast), passed.size());
    for (int64_t id = 1; id <= kLast; ++id) ASSERT_EQ(id, passed[size_t(id - 1)]);
}

TEST(IdSlices, ASliceDoneBeforeItsTurnIsParkedAndPassedOnWithTheOneBefore)
{
    IdSlices slices;
    constexpr int kSlices = int(IdSlices::kMostParked) + 2;
    slices.Start(0, kSlices * 10 - 1, 10, 10);
    std::vector<IdSlices::Slice> taken(kSlices);
    for (IdSlices::Slice& slice : taken) ASSERT_TRUE(slices.Take(&slice));
    std::vector<int> passed; // slice numbers, by the first id of each
    const IdSlices::PassOn passOn = [&](IdSlices::Found& found) {
        passed.push_back(found.entries.front().id / 10);
        found.Clear();
        return true;
    };
    // Slices 1 .. kMostParked finish first: parked without waiting.
    for (int number = 1; number <= int(IdSlices::kMostParked); ++number) {
        IdSlices::Found found = FoundIn(taken[size_t(number)]);
        ASSERT_TRUE(slices.HandOver(number, found, passOn));
        EXPECT_TRUE(found.entries.empty());
    }
    EXPECT_TRUE(passed.empty());
    // The last one finds no room: it waits until it is passed on in its turn.
    std::thread last([&] {
        IdSlices::Found found = FoundIn(taken.back());
        EXPECT_TRUE(slices.HandOver(kSlices - 1, found, passOn));
    });
    IdSlices::Found first = FoundIn(taken.front());
    ASSERT_TRUE(slices.HandOver(0, first, passOn));
    last.join();
    std::vector<int> expected(kSlices);
    for (int number = 0; number < kSlices; ++number) expected[size_t(number)] = number;
    EXPECT_EQ(expected, passed);
}

TEST(IdSlices, AStopEndsWaitsAndDealingEvenBeforeTheStart)
{
    IdSlices slices;
    slices.Start(0, 999, 10, 10);
    std::vector<IdSlices::Slice> taken(IdSlices::kMostParked + 2);
    for (IdSlices::Slice& slice : taken) ASSERT_TRUE(slices.Take(&slice));
    const IdSlices::PassOn passOn = [](IdSlices::Found&) { return true; };
    for (size_t i = 1; i + 1 < taken.size(); ++i) {
        IdSlices::Found found = FoundIn(taken[i]);
        ASSERT_TRUE(slices.HandOver(taken[i].number, found, passOn));
    }
    bool handedOver = true;
    std::thread waiting([&] { // slice 0 is never passed on: no room, no turn
        IdSlices::Found found = FoundIn(taken.back());
        handedOver = slices.HandOver(taken.back().number, found, passOn);
    });
    slices.Stop();
    waiting.join();
    EXPECT_FALSE(handedOver);
    IdSlices::Slice more;
    EXPECT_FALSE(slices.Take(&more));

    // A receiver that ends the scan stops it for every thread.
    IdSlices ended;
    ended.Start(0, 99, 10, 10);
    IdSlices::Slice slice;
    ASSERT_TRUE(ended.Take(&slice));
    IdSlices::Found found = FoundIn(slice);
    EXPECT_FALSE(ended.HandOver(slice.number, found, [](IdSlices::Found&) { return false; }));
    EXPECT_FALSE(ended.Take(&more));

    // A listing closed before its scan started: the scan never runs.
    IdSlices closed;
    closed.Stop();
    closed.Start(0, 99, 10, 10);
    EXPECT_FALSE(closed.Take(&more));
    found = FoundIn(slice);
    EXPECT_FALSE(closed.HandOver(0, found, passOn));
}

} // namespace
