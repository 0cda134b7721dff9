#include "platform/kernel/LayerClock.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <unordered_map>

#include "platform/kernel/VirtualClock.h"

namespace platform {

namespace {

using Steady = std::chrono::steady_clock;

// The monotonic clock counts from boot, like Windows' millisecond clock; VESK_CLOCK_START
// moves its first reading, so a real run can start just before the 32-bit wrap. VESK_CLOCK_RATE=N
// (2 to 16) runs it N times as fast from the first reading on: a headless test then passes the
// game's fades, waits and typed text in a fraction of their time, the frames and turns between
// them unchanged. "1/N" runs it N times as slow: each moment of the game lasts over N times the
// frames, so a loaded machine that draws few of them still draws one of every moment.
struct RealClock
{
    int64_t offset_ms = 0;
    int64_t start_ms = 0;
    int64_t times = 1; // the layer's milliseconds `times` for every `per` of the machine's
    int64_t per = 1;

    RealClock()
    {
        start_ms = SteadyMs();
        if (const char* start = std::getenv("VESK_CLOCK_START"); start && *start)
            offset_ms = static_cast<int64_t>(std::strtoull(start, nullptr, 0)) - start_ms;
        if (const char* rate_text = std::getenv("VESK_CLOCK_RATE"); rate_text && *rate_text) {
            char* end = nullptr;
            const long asked = std::strtol(rate_text, &end, 10);
            const long slower = *end == '/' && asked == 1 ? std::strtol(end + 1, nullptr, 10) : 0;
            if (slower >= 2 && slower <= 16)
                per = slower;
            else if (*end != '/' && asked >= 2 && asked <= 16)
                times = asked;
        }
    }

    static int64_t SteadyMs()
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now().time_since_epoch())
            .count();
    }
    uint64_t Now() const
    {
        return static_cast<uint64_t>(start_ms + (SteadyMs() - start_ms) * times / per + offset_ms);
    }
    Steady::time_point ToSteady(uint64_t layer_ms) const
    {
        // Rounded up: a wait never ends before its deadline on the layer's clock.
        const int64_t since = (static_cast<int64_t>(layer_ms) - offset_ms - start_ms) * per;
        const int64_t steady = start_ms + (since >= 0 ? (since + times - 1) / times : since / times);
        return Steady::time_point(std::chrono::milliseconds(steady));
    }
};

const RealClock& GetRealClock()
{
    static auto* s_clock = new RealClock; // never destroyed: the clock is read during static destruction
    return *s_clock;
}

std::atomic<bool> g_virtual_enabled{false};
std::atomic<uint64_t> g_virtual_now{0};

} // namespace

// The virtual clock's bookkeeping: who is parked and until when.
class VirtualClockState final
{
public:
    static VirtualClockState& GetInstance()
    {
        static auto* s_state = new VirtualClockState; // never destroyed
        return *s_state;
    }

    // Returns false when the park is already over (woken before, or deadline reached).
    bool Enter(WaitBlock& block, std::optional<uint64_t> deadline)
    {
        std::lock_guard lock(m_lock);
        {
            std::lock_guard block_lock(block.m_lock);
            if (block.m_woken) {
                block.m_woken = false;
                return false;
            }
        }
        const uint64_t now = g_virtual_now.load();
        if (deadline && *deadline <= now)
            return false;
        if (deadline && m_auto_advance) {
            SetLocked(*deadline);
            return false;
        }
        m_parked[&block] = deadline;
        m_parked_changed.notify_all();
        return true;
    }

    void Leave(WaitBlock& block)
    {
        std::lock_guard lock(m_lock);
        if (m_parked.erase(&block) != 0)
            m_parked_changed.notify_all();
    }

    void Set(uint64_t now_ms)
    {
        std::lock_guard lock(m_lock);
        SetLocked(now_ms);
    }

    void Advance(uint64_t milliseconds)
    {
        std::lock_guard lock(m_lock);
        SetLocked(g_virtual_now.load() + milliseconds);
    }

    void WakeAll()
    {
        std::lock_guard lock(m_lock);
        for (auto& [block, deadline] : m_parked)
            Signal(*block);
        m_parked.clear();
        m_parked_changed.notify_all();
    }

    void SetAutoAdvance(bool enabled)
    {
        std::lock_guard lock(m_lock);
        m_auto_advance = enabled;
    }

    size_t GetParkedCount()
    {
        std::lock_guard lock(m_lock);
        return m_parked.size();
    }

    bool WaitForParked(size_t count, std::chrono::milliseconds limit)
    {
        std::unique_lock lock(m_lock);
        return m_parked_changed.wait_for(lock, limit, [&] { return m_parked.size() >= count; });
    }

private:
    static void Signal(WaitBlock& block)
    {
        std::lock_guard block_lock(block.m_lock);
        block.m_woken = true;
        block.m_changed.notify_all();
    }

    void SetLocked(uint64_t now_ms)
    {
        g_virtual_now.store(now_ms);
        bool changed = false;
        for (auto it = m_parked.begin(); it != m_parked.end();) {
            if (it->second && *it->second <= now_ms) {
                Signal(*it->first);
                it = m_parked.erase(it);
                changed = true;
            } else {
                ++it;
            }
        }
        if (changed)
            m_parked_changed.notify_all();
    }

    // Lock order: this lock, then a WaitBlock's lock. Objects call Wake with their own lock
    // held, so an object lock may come before this one, never after.
    std::mutex m_lock; // guards m_parked and m_auto_advance; g_virtual_now is written under it
    std::condition_variable m_parked_changed;
    std::unordered_map<WaitBlock*, std::optional<uint64_t>> m_parked;
    bool m_auto_advance = false;
};

uint64_t GetLayerTime()
{
    if (g_virtual_enabled.load())
        return g_virtual_now.load();
    return GetRealClock().Now();
}

WaitBlock::~WaitBlock()
{
    // A waker between its Mark and its Tell is brief: it only let its own lock go.
    while (m_telling.load(std::memory_order_acquire) != 0)
        std::this_thread::yield();
}

void WaitBlock::Wake()
{
    Mark();
    Tell();
}

void WaitBlock::Mark()
{
    if (g_virtual_enabled.load())
        VirtualClockState::GetInstance().Leave(*this); // no longer counted as parked from here on
    std::lock_guard lock(m_lock);
    m_woken = true;
    m_telling.fetch_add(1, std::memory_order_relaxed);
}

void WaitBlock::Tell()
{
    // Outside m_lock too, so the woken thread takes it free.
    m_changed.notify_all();
    m_telling.fetch_sub(1, std::memory_order_release);
}

void Park(WaitBlock& block, std::optional<uint64_t> deadline)
{
    if (g_virtual_enabled.load()) {
        VirtualClockState& state = VirtualClockState::GetInstance();
        if (!state.Enter(block, deadline))
            return;
        {
            std::unique_lock lock(block.m_lock);
            block.m_changed.wait(lock, [&] { return block.m_woken; });
            block.m_woken = false;
        }
        state.Leave(block);
        return;
    }
    std::unique_lock lock(block.m_lock);
    if (deadline)
        block.m_changed.wait_until(lock, GetRealClock().ToSteady(*deadline), [&] { return block.m_woken; });
    else
        block.m_changed.wait(lock, [&] { return block.m_woken; });
    block.m_woken = false;
}

void VirtualClock::Enable(uint64_t start_ms)
{
    VirtualClockState::GetInstance().Set(start_ms);
    g_virtual_enabled.store(true);
}

void VirtualClock::Disable()
{
    g_virtual_enabled.store(false);
    VirtualClockState& state = VirtualClockState::GetInstance();
    state.SetAutoAdvance(false);
    state.WakeAll();
}

bool VirtualClock::IsEnabled()
{
    return g_virtual_enabled.load();
}

uint64_t VirtualClock::Now()
{
    return g_virtual_now.load();
}

void VirtualClock::Set(uint64_t now_ms)
{
    VirtualClockState::GetInstance().Set(now_ms);
}

void VirtualClock::Advance(uint64_t milliseconds)
{
    VirtualClockState::GetInstance().Advance(milliseconds);
}

void VirtualClock::SetAutoAdvance(bool enabled)
{
    VirtualClockState::GetInstance().SetAutoAdvance(enabled);
}

size_t VirtualClock::GetParkedCount()
{
    return VirtualClockState::GetInstance().GetParkedCount();
}

bool VirtualClock::WaitForParked(size_t count, std::chrono::milliseconds limit)
{
    return VirtualClockState::GetInstance().WaitForParked(count, limit);
}

} // namespace platform
