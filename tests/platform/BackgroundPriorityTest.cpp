// A thread that lowers its priority lowers its own only: the thread that
// started it keeps its priority.
#include "BackgroundPriority.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace {

int NiceOf(long thread) { return getpriority(PRIO_PROCESS, static_cast<id_t>(thread)); }

TEST(BackgroundPriority, LowersTheCallingThreadAlone)
{
    const long self = syscall(SYS_gettid);
    const int before = NiceOf(self);
    int lowered = -100, othersSeen = -100;
    std::thread background([&] {
        BackgroundPriority::LowerCurrentThread();
        lowered = NiceOf(syscall(SYS_gettid));
        othersSeen = NiceOf(self);
    });
    background.join();
    EXPECT_EQ(std::max(before, BackgroundPriority::kNice), lowered);
    EXPECT_EQ(before, othersSeen);
    EXPECT_EQ(before, NiceOf(self));
}

} // namespace
