// The main thread's rest between loop turns, and the pacing of the pictures the pump shows.
//
// The game's loops pump messages and call Sleep(0) between turns. On Linux a yield returns at
// once when nothing else is runnable, so an idle game would turn its loop tens of thousands of
// times a second. On the thread that owns the windows, Sleep(0) waits instead on the native
// event queue, which other threads wake when they post a message or publish a frame.

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/kernel/IdleWait.h"
#include "platform/kernel/TimeApi.h"
#include "platform/kernel/VirtualClock.h"
#include "platform/user/WindowManager.h"

namespace platform {

namespace {

bool IdleWaitEnabled()
{
    // "0" keeps the plain yield, for measuring what the wait saves.
    static const bool enabled = [] {
        const char* value = std::getenv("VESK_IDLE_WAIT");
        return value == nullptr || std::strcmp(value, "0") != 0;
    }();
    return enabled;
}

void PrintIdleStatistics()
{
    const WindowManager::IdleCounts& counts = WindowManager::GetInstance().IdleStatistics();
    std::fprintf(stderr,
                 "idle-stats: ms=%llu pending=%llu input=%llu posted=%llu frame=%llu timeout=%llu "
                 "yields=%llu presents=%llu held=%llu\n",
                 static_cast<unsigned long long>(RealMicroseconds() / 1000),
                 static_cast<unsigned long long>(counts.wakes[0].load()),
                 static_cast<unsigned long long>(counts.wakes[1].load()),
                 static_cast<unsigned long long>(counts.wakes[2].load()),
                 static_cast<unsigned long long>(counts.wakes[3].load()),
                 static_cast<unsigned long long>(counts.wakes[4].load()),
                 static_cast<unsigned long long>(counts.yields.load()),
                 static_cast<unsigned long long>(counts.presents.load()),
                 static_cast<unsigned long long>(counts.held.load()));
}

// With VESK_IDLE_STATS set, the counts go to standard error once a second, so a measurement
// can take the turns of any stretch of a run without ending the game.
void ReportIdleStatistics()
{
    static const bool wanted = [] {
        const char* value = std::getenv("VESK_IDLE_STATS");
        return value != nullptr && *value != '\0';
    }();
    static uint64_t s_last_report_us = 0;
    if (!wanted)
        return;
    const uint64_t now = RealMicroseconds();
    if (now - s_last_report_us < 1'000'000)
        return;
    s_last_report_us = now;
    PrintIdleStatistics();
}

void WaitOnMainThread(uint32_t max_ms)
{
    WindowManager& manager = WindowManager::GetInstance();
    if (IdleWaitEnabled())
        manager.IdleWait(max_ms);
    else
        manager.CountYield();
    ReportIdleStatistics();
}

} // namespace

uint64_t RealMicroseconds()
{
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

void WindowManager::InstallIdleWait()
{
    if (m_idle_installed)
        return;
    m_idle_installed = true;
    SetIdleWait(&WaitOnMainThread);
}

void WindowManager::CountYield()
{
    m_idle.yields++;
    std::this_thread::yield();
}

bool WindowManager::HasWork()
{
    if (m_posted.HasAny() || !m_input.IsEmpty() || !m_native.IsEmpty())
        return true;
    if (m_repaint && RefreshHoldMicroseconds() == 0)
        return true;
    return m_timers.AnyDue(timeGetTime());
}

WindowManager::IdleWake WindowManager::IdleWait(uint32_t max_ms)
{
    VideoDevice* device = Device();
    auto finish = [this](IdleWake wake) {
        m_idle.wakes[static_cast<size_t>(wake)]++;
        return wake;
    };
    // Announce the wait before the last look at the queues: a poster that misses the look
    // sees the flag and wakes the device.
    m_wake_device = device;
    m_idle_waiting = true;
    if (device == nullptr || HasWork()) {
        m_idle_waiting = false;
        return finish(IdleWake::Pending);
    }
    // A timer due sooner than the limit ends the wait at its time.
    int timeout = static_cast<int>(m_timers.TimeToNextDue(timeGetTime(), std::min<uint32_t>(max_ms, INT32_MAX)));
    // So does the end of a held frame's wait for the display's refresh.
    if (m_repaint) {
        const uint64_t hold = RefreshHoldMicroseconds();
        timeout = std::min<int>(timeout, static_cast<int>((hold + 999) / 1000));
    }
    const bool event = device->WaitForEvent(std::max(timeout, 0));
    m_idle_waiting = false;
    if (m_posted.HasAny())
        return finish(IdleWake::Posted);
    if (event) {
        PumpNative();
        if (!m_native.IsEmpty())
            return finish(IdleWake::Input);
    }
    if (m_repaint)
        return finish(IdleWake::Frame);
    return finish(IdleWake::Timeout);
}

uint64_t WindowManager::RefreshHoldMicroseconds()
{
    // Tests on the virtual clock see every frame at once, as before.
    if (!IdleWaitEnabled() || VirtualClock::IsEnabled() || m_device == nullptr)
        return 0;
    const WindowObject* shown = nullptr;
    for (HWND handle : Windows()) {
        const WindowObject* window = Find(handle);
        if (window != nullptr && window->native != 0 && window->visible && !window->minimized) {
            shown = window;
            break;
        }
    }
    if (shown == nullptr)
        return 0;
    int rate = m_device->GetRefreshRate(shown->native);
    if (rate <= 0)
        rate = 60;
    const uint64_t interval = 1'000'000u / static_cast<uint32_t>(rate);
    const uint64_t since = RealMicroseconds() - m_last_present_us;
    return since < interval ? interval - since : 0;
}

} // namespace platform
