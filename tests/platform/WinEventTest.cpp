#include "WinEvent.h"

#include <gtest/gtest.h>
#include <thread>

TEST(WinEvent, AutoResetEventWakesOneWaitThenIsClearAgain)
{
    WinEvent event(false, false, "GBtnAlphaBlendEvent0000ABCD");
    EXPECT_EQ(event.Wait(0), WAIT_TIMEOUT);
    event.Set();
    EXPECT_EQ(event.Wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(event.Wait(0), WAIT_TIMEOUT);
    EXPECT_EQ(event.Name(), "GBtnAlphaBlendEvent0000ABCD");
}

TEST(WinEvent, ManualResetEventStaysSignalledUntilReset)
{
    WinEvent event(true, true);
    EXPECT_EQ(event.Wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(event.Wait(0), WAIT_OBJECT_0);
    event.Reset();
    EXPECT_EQ(event.Wait(0), WAIT_TIMEOUT);
}

TEST(WinEvent, SetFromAnotherThreadEndsAWait)
{
    WinEvent event(false, false);
    std::thread setter([&] { event.Set(); });
    EXPECT_EQ(event.Wait(60000), WAIT_OBJECT_0);
    setter.join();
}
