#include "platform/kernel/TimeApi.h"

#include <atomic>
#include <cstdlib>

#include "platform/kernel/LayerClock.h"

namespace {

constexpr UINT PERIOD_MIN = 1;
constexpr UINT PERIOD_MAX = 1'000'000;

std::atomic<int> g_raised_periods{0};

// VESK_TIMER_PERIOD_MIN lets a test report a coarse timer (10 ms or more selects GetTickCount).
UINT MinimumPeriod()
{
    if (const char* value = std::getenv("VESK_TIMER_PERIOD_MIN"); value && *value) {
        const unsigned long period = std::strtoul(value, nullptr, 10);
        if (period >= PERIOD_MIN && period <= PERIOD_MAX)
            return static_cast<UINT>(period);
    }
    return PERIOD_MIN;
}

} // namespace

DWORD timeGetTime()
{
    return static_cast<DWORD>(platform::GetLayerTime());
}

DWORD GetTickCount()
{
    constexpr UINT COARSE_PERIOD = 10;
    const uint64_t now = platform::GetLayerTime();
    const UINT period = MinimumPeriod();
    return static_cast<DWORD>(period >= COARSE_PERIOD ? now - now % period : now);
}

MMRESULT timeGetDevCaps(LPTIMECAPS caps, UINT size)
{
    if (!caps || size < sizeof(TIMECAPS))
        return TIMERR_NOCANDO;
    *caps = TIMECAPS{.wPeriodMin = MinimumPeriod(), .wPeriodMax = PERIOD_MAX};
    return TIMERR_NOERROR;
}

// The clock already has millisecond resolution; the calls are only counted, so an end
// without a begin is refused as Windows refuses it.
MMRESULT timeBeginPeriod(UINT period)
{
    if (period < PERIOD_MIN || period > PERIOD_MAX)
        return TIMERR_NOCANDO;
    g_raised_periods.fetch_add(1);
    return TIMERR_NOERROR;
}

MMRESULT timeEndPeriod(UINT period)
{
    if (period < PERIOD_MIN || period > PERIOD_MAX)
        return TIMERR_NOCANDO;
    int current = g_raised_periods.load();
    do {
        if (current == 0)
            return TIMERR_NOCANDO;
    } while (!g_raised_periods.compare_exchange_weak(current, current - 1));
    return TIMERR_NOERROR;
}
