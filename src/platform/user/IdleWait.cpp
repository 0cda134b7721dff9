// The main thread's rest between loop turns, and the pacing of the pictures the pump shows.
//
// The game's loops pump messages and call Sleep(0) between turns. On Linux a yield returns at
// once when nothing else is runnable, so an idle game would turn its loop tens of thousands of
// times a second, and one that sleeps 1 ms a thousand times. On the thread that owns the windows,
// Sleep(0) and Sleep(1) wait instead on the native event queue, which other threads wake when
// they post a message or publish a frame, until the next timer or noted due time.

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>

#include "platform/TerminationSignals.h"
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
    std::fprintf(
        stderr,
        "idle-stats: ms=%llu pending=%llu input=%llu posted=%llu frame=%llu timeout=%llu "
        "yields=%llu presents=%llu held=%llu inputs=%llu input-wait-us=%llu input-wait-max-us=%llu\n",
        static_cast<unsigned long long>(RealMicroseconds() / 1000),
        static_cast<unsigned long long>(counts.wakes[0].load()),
        static_cast<unsigned long long>(counts.wakes[1].load()),
        static_cast<unsigned long long>(counts.wakes[2].load()),
        static_cast<unsigned long long>(counts.wakes[3].load()),
        static_cast<unsigned long long>(counts.wakes[4].load()),
        static_cast<unsigned long long>(counts.yields.load()),
        static_cast<unsigned long long>(counts.presents.load()),
        static_cast<unsigned long long>(counts.held.load()),
        static_cast<unsigned long long>(counts.inputs.load()),
        static_cast<unsigned long long>(counts.input_wait_us.load()),
        static_cast<unsigned long long>(counts.input_wait_max_us.load()));
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

// One rest's length: the pacing's bound, shortened to a noted due time, never under the
// sleep's minimum; `by_note` when the note set it.
struct RestRange
{
    uint32_t limit;
    bool by_note;
};

RestRange RestLimit(uint32_t bound, std::optional<uint32_t> due, uint32_t min_ms)
{
    RestRange range{bound, false};
    if (due) {
        const int32_t left = static_cast<int32_t>(*due - timeGetTime());
        if (left < static_cast<int32_t>(range.limit)) {
            range.limit = static_cast<uint32_t>(std::max(left, 0));
            range.by_note = true;
        }
    }
    range.limit = std::max(range.limit, min_ms);
    return range;
}

// Turn-counted test hooks (VESK_INPUT_SCRIPT, VESK_CLOSE_AFTER_FRAMES) need the loop to turn at
// the pace their scripts were written for.
bool TurnsCounted()
{
    static const bool counted = [] {
        for (const char* name : {"VESK_INPUT_SCRIPT", "VESK_CLOSE_AFTER_FRAMES"})
            if (const char* value = std::getenv(name); value != nullptr && *value != '\0')
                return true;
        return false;
    }();
    return counted;
}

// How long a rest may last when nothing else bounds it. Other threads' frames, input, messages,
// timers and wakes end a rest at once, and a loop that polls the clock notes when it wants to turn
// (NoteDueTime). A loop that presents a frame each turn animates at the pace of its turns: after a
// present the bound starts at 1 ms and doubles with every rest that ended with nothing to do, up
// to a frame's time, so a loop that steps slower than its turns is still seen within a frame.
// Past that, nothing animates: the rest lasts until something comes or falls due, or the long
// bound passes, which only a poll nothing noted would need. A loop that said its frame was a step
// and noted the next one (NoteNextStep) is at rest after it at once: its note ends the rest.
class RestPacing
{
public:
    uint32_t Bound() const
    {
        if (TurnsCounted())
            return 1;
        if (m_turns_at_once > 0)
            return 0;
        // A playing sound sets no pace: the loops that wait for one poll whether it still plays,
        // and its stop wakes the rest. Music loops for as long as a screen stays open.
        if (m_quiet > FRAME_STEPS)
            return QUIET_REST_MS;
        return uint32_t{1} << m_quiet;
    }
    void Input() { m_quiet = 0; }
    void Quiet() { m_quiet = std::min<uint32_t>(m_quiet + 1, FRAME_STEPS + 1); }
    void Active() { m_quiet = 0; }
    void Stepped() { m_quiet = FRAME_STEPS + 1; }
    // A step noted already due: the sleep after it keeps its minimum, and the loop's next rest,
    // before it comes to the step again, only yields. Then the frames' pace.
    void StepDue()
    {
        m_quiet = 0;
        m_turns_at_once = 2;
    }
    void Rested()
    {
        if (m_turns_at_once > 0)
            --m_turns_at_once;
    }

private:
    // 1, 2, 4, 8 and 16 ms: a frame's time after the last present.
    static constexpr uint32_t FRAME_STEPS = 4;
    static constexpr uint32_t QUIET_REST_MS = 1000;
    uint32_t m_quiet = 0;
    uint32_t m_turns_at_once = 0;
};

RestPacing& Pacing()
{
    static RestPacing pacing;
    return pacing;
}

bool WaitOnMainThread(uint32_t min_ms)
{
    WindowManager& manager = WindowManager::GetInstance();
    const std::optional<uint32_t> due = TakeDueTime();
    if (!IdleWaitEnabled()) {
        manager.CountYield();
        ReportIdleStatistics();
        return false;
    }
    // A loop that draws a frame each turn animates at the pace of its turns, unless it said its
    // picture changes only at steps and noted the next one: then it rests until that, drawn this
    // turn or not. A step already due wants the next turn at once.
    const bool stepped = TakeStepNoted();
    const bool presented = TakeOwnerPresented();
    if (stepped && due && static_cast<int32_t>(*due - timeGetTime()) > 0)
        Pacing().Stepped();
    else if (stepped)
        Pacing().StepDue();
    else if (presented)
        Pacing().Active();
    // Input the loop took since its last rest counts as input too: an event can reach the queue
    // just after a rest's own look (an input method hands a key back a moment later), and a loop
    // that pumps before it rests again has not acted on it yet.
    static uint64_t s_inputs_taken = 0;
    if (const uint64_t taken = manager.IdleStatistics().inputs.load(); taken != s_inputs_taken) {
        s_inputs_taken = taken;
        Pacing().Input();
    }
    // Turn-counted scripts keep their millisecond a turn, however soon a loop wants to turn.
    const RestRange range =
        RestLimit(Pacing().Bound(), due, TurnsCounted() ? std::max<uint32_t>(min_ms, 1) : min_ms);
    Pacing().Rested();
    const WindowManager::IdleWake wake = manager.IdleWait(range.limit);
    bool ended_by_input = false;
    switch (wake) {
    case WindowManager::IdleWake::Input:
    case WindowManager::IdleWake::Posted:
        Pacing().Input();
        ended_by_input = true;
        break;
    case WindowManager::IdleWake::Timeout:
        if (!range.by_note)
            Pacing().Quiet();
        else if (due)
            DueTimeServed(*due);
        break;
    default:
        break;
    }
    ReportIdleStatistics();
    return ended_by_input;
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
    SetIdleWake([] { WindowManager::GetInstance().WakeIdle(); });
    SetFrameWake([] { WindowManager::GetInstance().WakeIdleForFrame(); });
}

void WindowManager::WakeIdle()
{
    // Kept for a rest about to begin: the change came after the loop's last look at it.
    m_wake_pending = true;
    if (m_idle_waiting)
        if (VideoDevice* device = m_wake_device.load())
            device->Wake();
}

void WindowManager::WakeIdleForFrame()
{
    // A frame not shown yet needs no wake kept for the next rest: that rest shows it first, and a
    // rest about to begin bounds its wait by the frame's hold. Kept, the wake would end that next
    // rest too, for nothing, whenever the loop had left its rest before the frame's present was
    // noted (a native event on a loaded machine). Only a rest in progress must end.
    if (m_repaint) {
        if (m_idle_waiting)
            if (VideoDevice* device = m_wake_device.load())
                device->Wake();
        return;
    }
    WakeIdle();
}

void WindowManager::CountInputWait(uint64_t arrived_us)
{
    if (arrived_us == 0)
        return;
    const uint64_t now = RealMicroseconds();
    const uint64_t waited = now > arrived_us ? now - arrived_us : 0;
    m_idle.inputs++;
    m_idle.input_wait_us += waited;
    if (waited > m_idle.input_wait_max_us.load())
        m_idle.input_wait_max_us = waited;
}

void WindowManager::CountYield()
{
    m_idle.yields++;
    std::this_thread::yield();
}

bool WindowManager::HasWork()
{
    // A game asked to end by a signal rests no more: its loops turn until they take the end.
    if (m_posted.HasAny() || !m_input.IsEmpty() || !m_native.IsEmpty() || IsTerminationRequested())
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
    // A frame the loop drew before it rests is shown by the rest, which goes on: ending it would
    // turn the loop, and rest again, only to show the frame.
    RenderIfNeeded();
    // Announce the wait before the last look at the queues: a poster that misses the look
    // sees the flag and wakes the device.
    m_wake_device = device;
    m_idle_waiting = true;
    if (device == nullptr || m_wake_pending.exchange(false) || HasWork()) {
        m_idle_waiting = false;
        return finish(IdleWake::Pending);
    }
    // A timer due sooner than the limit ends the wait at its time.
    int timeout =
        static_cast<int>(m_timers.TimeToNextDue(timeGetTime(), std::min<uint32_t>(max_ms, INT32_MAX)));
    // So does the end of a held frame's wait for the display's refresh.
    if (m_repaint) {
        const uint64_t hold = RefreshHoldMicroseconds();
        timeout = std::min<int>(timeout, static_cast<int>((hold + 999) / 1000));
    }
    const bool event = device->WaitForEvent(std::max(timeout, 0));
    m_idle_waiting = false;
    m_wake_pending = false; // the loop turns now and looks again
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
