#include <gtest/gtest.h>

#include "platform/timer.h"
#include "platform/virtual_clock.h"

TEST(Timer, CounterAndMillisecondsComeFromTheInstalledSource) {
    const uint64_t before = plat::ReadTimeStampCounter();
    {
        plat::VirtualClock clock(500);
        clock.Set(1'000'000'000);
        EXPECT_EQ(plat::ReadTimeStampCounter(), 3'000'001'500u); // 3 cycles per ns, after one step
        clock.Advance(2'000'000'000);
        EXPECT_EQ(plat::MillisecondTimer(), 3000u);
        // The millisecond timer wraps like a 32-bit count.
        clock.Set((uint64_t{1} << 32) * 1'000'000 + 41'999'500);
        EXPECT_EQ(plat::MillisecondTimer(), 42u);
    }
    // The system clock is back: monotonic, and far from the virtual readings.
    const uint64_t after = plat::ReadTimeStampCounter();
    EXPECT_GE(after, before);
    EXPECT_LE(after - before, uint64_t{3'000'000'000} * 60);
}
