#include "standin/watchdog.h"

#include <gtest/gtest.h>

#include <atomic>

TEST(StandinWatchdog, ReportsWorkThatOverrunsItsTime)
{
    std::atomic<int> hangs = 0;
    auto on_hang = [&] { ++hangs; };
    EXPECT_TRUE(standin::run_watched([] { return true; }, 5000, on_hang));
    EXPECT_FALSE(standin::run_watched([] { return false; }, 5000, on_hang));
    EXPECT_EQ(hangs, 0);
    EXPECT_FALSE(standin::run_watched(
        [&] {
            // Waits for the report, as a hung unload would never return.
            while (hangs == 0)
                Sleep(5);
            return true;
        },
        50, on_hang));
    EXPECT_EQ(hangs, 1);
}
