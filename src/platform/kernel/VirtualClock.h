#pragma once
// A virtual millisecond clock for headless runs. While it is enabled, timeGetTime, GetTickCount,
// Sleep and every timed wait use it: time stands still until a test sets or advances it, and
// each advance wakes exactly the parked threads whose deadlines it passes. The start value may
// be set near 2^32 to exercise the wrap of the 32-bit clock.

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace platform {

class VirtualClock final
{
public:
    VirtualClock() = delete;

    static void Enable(uint64_t start_ms = 0);
    // Back to the monotonic clock; threads still parked on the virtual clock are woken.
    static void Disable();
    static bool IsEnabled();

    static uint64_t Now();
    static void Set(uint64_t now_ms);
    static void Advance(uint64_t milliseconds);

    // With auto-advance, a thread that parks with a deadline moves the clock to it at once and
    // goes on: a single-threaded test then runs its sleeps and time-outs instantly, and the
    // clock shows how much waiting the code did.
    static void SetAutoAdvance(bool enabled);

    // Threads currently parked in a layer wait or sleep on the virtual clock.
    static size_t GetParkedCount();
    // Blocks until at least `count` threads are parked; false when `limit` of real time passes
    // first (a guard against a broken test, never a timing assumption).
    static bool WaitForParked(size_t count, std::chrono::milliseconds limit = std::chrono::seconds(10));
};

} // namespace platform
