#pragma once
// The one u32 millisecond clock behind timeGetTime and GetTickCount. It wraps at 2^32; callers
// compare with unsigned differences. Headless runs use a virtual clock that tests advance
// (platform/kernel/VirtualClock.h). VESK_CLOCK_START sets the first reading of the real clock
// (to reach the wrap soon); VESK_TIMER_PERIOD_MIN makes timeGetDevCaps report a coarser timer,
// and from 10 ms on GetTickCount then moves in whole periods, as such a system's tick count does.

#include "platform/kernel/WinTypes.h"

struct TIMECAPS
{
    UINT wPeriodMin;
    UINT wPeriodMax;
};
using LPTIMECAPS = TIMECAPS*;
using MMRESULT = UINT;
inline constexpr MMRESULT TIMERR_NOERROR = 0;
inline constexpr MMRESULT TIMERR_NOCANDO = 97;

DWORD timeGetTime();
DWORD GetTickCount();
MMRESULT timeGetDevCaps(LPTIMECAPS caps, UINT size);
MMRESULT timeBeginPeriod(UINT period);
MMRESULT timeEndPeriod(UINT period);
