#pragma once
// The window timers of SetTimer: each has a window (or none), an id, a period and the clock value
// it is next due at. The window manager's queue turns a due timer into WM_TIMER. Main thread only.

#include <optional>
#include <vector>

#include "platform/kernel/WinTypes.h"
#include "platform/user/WindowApi.h"

namespace platform {

class TimerTable final
{
public:
    struct Timer
    {
        HWND window;
        UINT_PTR id;
        UINT elapse;
        DWORD due;
        TIMERPROC procedure;
    };

    // Starts or restarts the timer; a timer without a window gets the next free id. Returns what
    // SetTimer answers: 1 for a window's timer, else the id.
    UINT_PTR Set(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure, DWORD now);
    bool Kill(HWND window, UINT_PTR id);
    void KillAllOf(HWND window);
    void Clear() { m_timers.clear(); }

    // The first timer due at `now` (for `window`, or any when null); with `remove` it is next due
    // one period later. Deadlines are compared across the clock's wrap.
    std::optional<Timer> TakeDue(DWORD now, HWND window, bool remove);
    bool AnyDue(DWORD now) const;
    // Milliseconds from `now` until the first timer is due (0 when one is), at most `limit`.
    uint32_t TimeToNextDue(DWORD now, uint32_t limit) const;

private:
    std::vector<Timer> m_timers;
};

} // namespace platform
