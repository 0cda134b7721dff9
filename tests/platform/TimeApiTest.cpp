#include "platform/kernel/TimeApi.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/kernel/VirtualClock.h"

namespace {

TEST(TimeApi, DeviceCapsReportAOneMillisecondTimer)
{
    TIMECAPS caps{};
    ASSERT_EQ(timeGetDevCaps(&caps, sizeof caps), TIMERR_NOERROR);
    EXPECT_EQ(caps.wPeriodMin, 1u);
    EXPECT_EQ(caps.wPeriodMax, 1'000'000u);
    EXPECT_EQ(timeGetDevCaps(&caps, 4), TIMERR_NOCANDO);

    setenv("VESK_TIMER_PERIOD_MIN", "10", 1); // a coarse timer, as older systems report
    EXPECT_EQ(timeGetDevCaps(&caps, sizeof caps), TIMERR_NOERROR);
    EXPECT_EQ(caps.wPeriodMin, 10u);
    unsetenv("VESK_TIMER_PERIOD_MIN");
}

// With a coarse timer the tick count moves in whole periods behind the millisecond clock.
TEST(TimeApi, ACoarseTimersTickCountMovesInWholePeriods)
{
    platform::VirtualClock::Enable(0x1'0000'0000 + 1007);
    setenv("VESK_TIMER_PERIOD_MIN", "16", 1);
    EXPECT_EQ(timeGetTime(), 1007u);
    EXPECT_EQ(GetTickCount(), 1008u - 16u);
    unsetenv("VESK_TIMER_PERIOD_MIN");
    EXPECT_EQ(GetTickCount(), 1007u);
    platform::VirtualClock::Disable();
}

TEST(TimeApi, PeriodsArePairedCounters)
{
    EXPECT_EQ(timeEndPeriod(1), TIMERR_NOCANDO);
    EXPECT_EQ(timeBeginPeriod(0), TIMERR_NOCANDO);
    EXPECT_EQ(timeBeginPeriod(1), TIMERR_NOERROR);
    EXPECT_EQ(timeBeginPeriod(1), TIMERR_NOERROR);
    EXPECT_EQ(timeEndPeriod(1), TIMERR_NOERROR);
    EXPECT_EQ(timeEndPeriod(1), TIMERR_NOERROR);
    EXPECT_EQ(timeEndPeriod(1), TIMERR_NOCANDO);
}

TEST(TimeApi, BothClocksAreTheVirtualClockWhenItIsOn)
{
    platform::VirtualClock::Enable(0x1'0000'0005); // 2^32 + 5
    EXPECT_EQ(timeGetTime(), 5u);
    EXPECT_EQ(GetTickCount(), 5u);
    platform::VirtualClock::Advance(0xFFFF'FFFF);
    EXPECT_EQ(timeGetTime(), 4u);
    platform::VirtualClock::Disable();

    const DWORD first = timeGetTime();
    const DWORD second = timeGetTime();
    EXPECT_LT(second - first, 1000u); // the real clock moves forward, never back
}

} // namespace
