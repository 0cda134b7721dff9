#include "platform/user/TimerTable.h"

#include <algorithm>

namespace platform {

namespace {

// Due when the deadline is not ahead of now, compared across the clock's wrap.
bool IsDue(const TimerTable::Timer& timer, DWORD now)
{
    return static_cast<int32_t>(now - timer.due) >= 0;
}

} // namespace

UINT_PTR TimerTable::Set(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure, DWORD now)
{
    elapse = std::max<UINT>(elapse, 10);
    for (Timer& timer : m_timers) {
        if (timer.window == window && timer.id == id) {
            timer.elapse = elapse;
            timer.due = now + elapse;
            timer.procedure = procedure;
            return window ? 1 : id;
        }
    }
    if (window == nullptr)
        id = m_timers.size() + 1;
    m_timers.push_back({window, id, elapse, now + elapse, procedure});
    return window ? 1 : id;
}

bool TimerTable::Kill(HWND window, UINT_PTR id)
{
    const size_t removed =
        std::erase_if(m_timers, [&](const Timer& timer) { return timer.window == window && timer.id == id; });
    return removed > 0;
}

void TimerTable::KillAllOf(HWND window)
{
    std::erase_if(m_timers, [window](const Timer& timer) { return timer.window == window; });
}

std::optional<TimerTable::Timer> TimerTable::TakeDue(DWORD now, HWND window, bool remove)
{
    for (Timer& timer : m_timers) {
        if (IsDue(timer, now) && (window == nullptr || window == timer.window)) {
            const Timer due = timer;
            if (remove)
                timer.due = now + timer.elapse;
            return due;
        }
    }
    return std::nullopt;
}

bool TimerTable::AnyDue(DWORD now) const
{
    return std::any_of(m_timers.begin(), m_timers.end(),
                       [now](const Timer& timer) { return IsDue(timer, now); });
}

uint32_t TimerTable::TimeToNextDue(DWORD now, uint32_t limit) const
{
    uint32_t next = limit;
    for (const Timer& timer : m_timers)
        next = std::min(next, IsDue(timer, now) ? 0u : static_cast<uint32_t>(timer.due - now));
    return next;
}

} // namespace platform
