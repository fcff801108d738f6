// The slices of a scan shared by threads: every id of the range in exactly
// one slice, what the threads found passed on in slice order whichever
// finishes first, and a stop that ends every wait, also one that comes
// before the scan starts.
#include "IdSlices.h"

#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace {

std::vector<IdSlices::Slice> TakeAll(IdSlices& slices)
{
    std::vector<IdSlices::Slice> taken;
    IdSlices::Slice slice;
    while (slices.Take(&slice)) taken.push_back(slice);
    return taken;
}

TEST(IdSlices, EveryIdIsInOneSliceInOrderAndTheLastMayBeShorter)
{
    IdSlices slices;
    slices.Start(5, 27, 10);
    EXPECT_EQ(3, slices.Count());
    const std::vector<IdSlices::Slice> taken = TakeAll(slices);
    ASSERT_EQ(3u, taken.size());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(i, taken[size_t(i)].number);
    EXPECT_EQ(5, taken[0].first);
    EXPECT_EQ(14, taken[0].last);
    EXPECT_EQ(15, taken[1].first);
    EXPECT_EQ(24, taken[1].last);
    EXPECT_EQ(25, taken[2].first);
    EXPECT_EQ(27, taken[2].last);

    slices.Start(7, 7, 16384); // one id
    EXPECT_EQ(1, slices.Count());
    ASSERT_EQ(1u, TakeAll(slices).size());
    slices.Start(1, 0, 10); // an empty table
    EXPECT_EQ(0, slices.Count());
    EXPECT_TRUE(TakeAll(slices).empty());
}

TEST(IdSlices, ThreadsPassTheirSlicesOnInSliceOrder)
{
    IdSlices slices;
    constexpr int kLast = 5000;
    slices.Start(1, kLast, 7);
    std::vector<int64_t> passed; // written only by the thread whose turn it is
    auto scan = [&] {
        IdSlices::Slice slice;
        while (slices.Take(&slice)) {
            std::vector<int64_t> found;
            for (int64_t id = slice.first; id <= slice.last; ++id) found.push_back(id);
            ASSERT_TRUE(slices.AwaitTurn(slice.number));
            passed.insert(passed.end(), found.begin(), found.end());
            slices.Passed(slice.number);
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < 3; ++i) threads.emplace_back(scan);
    for (std::thread& thread : threads) thread.join();
    ASSERT_EQ(size_t(kLast), passed.size());
    for (int64_t id = 1; id <= kLast; ++id) ASSERT_EQ(id, passed[size_t(id - 1)]);
}

TEST(IdSlices, AStopEndsWaitsAndDealingEvenBeforeTheStart)
{
    IdSlices slices;
    slices.Start(0, 99, 10);
    IdSlices::Slice first, second;
    ASSERT_TRUE(slices.Take(&first));
    ASSERT_TRUE(slices.Take(&second));
    bool turned = true;
    std::thread waiting([&] { turned = slices.AwaitTurn(second.number); }); // slice 0 is never passed on
    slices.Stop();
    waiting.join();
    EXPECT_FALSE(turned);
    IdSlices::Slice more;
    EXPECT_FALSE(slices.Take(&more));

    // A listing closed before its scan started: the scan never runs.
    IdSlices closed;
    closed.Stop();
    closed.Start(0, 99, 10);
    EXPECT_FALSE(closed.Take(&more));
    EXPECT_FALSE(closed.AwaitTurn(0));
}

} // namespace
