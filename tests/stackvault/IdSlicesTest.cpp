// The slices of a scan shared by threads: every id of the range in exactly
// one slice, what the threads found passed on in slice order whichever
// finishes first, and a stop that ends every wait, also one that comes
// before the scan starts.
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

TEST(IdSlices, ThreadsPassTheirSlicesOnInSliceOrder)
{
    IdSlices slices;
    constexpr int kLast = 5000;
    slices.Start(1, kLast, 1, 7);
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
    slices.Start(0, 99, 10, 10);
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
    closed.Start(0, 99, 10, 10);
    EXPECT_FALSE(closed.Take(&more));
    EXPECT_FALSE(closed.AwaitTurn(0));
}

} // namespace
