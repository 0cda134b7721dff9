#include "platform/kernel/SyncApi.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <thread>
#include <vector>

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/HandleTable.h"
#include "platform/kernel/IdleWait.h"
#include "platform/kernel/LayerClock.h"
#include "platform/kernel/TimeApi.h"
#include "platform/kernel/VirtualClock.h"
#include "platform/kernel/WaitableObject.h"

namespace {

using platform::HandleTable;
using platform::WaitableObject;

// Critical sections

static_assert(sizeof(std::recursive_mutex) <= sizeof(CRITICAL_SECTION::storage));
static_assert(alignof(std::recursive_mutex) <= alignof(CRITICAL_SECTION));

std::recursive_mutex& MutexOf(LPCRITICAL_SECTION section)
{
    return *std::launder(reinterpret_cast<std::recursive_mutex*>(section->storage));
}

// Events

class EventObject final : public WaitableObject
{
public:
    EventObject(bool manual_reset, bool signalled)
        : m_manual_reset(manual_reset)
        , m_signalled(signalled)
    {}

    platform::KernelObjectKind GetKind() const override { return platform::KernelObjectKind::Event; }
    bool IsReadyLocked() override { return m_signalled; }
    void AcquireLocked() override
    {
        if (!m_manual_reset)
            m_signalled = false;
    }

    void Set()
    {
        WokenWaiters woken;
        std::lock_guard lock(GetLock());
        m_signalled = true;
        WakeWaitersLocked(woken);
    }

    void Reset()
    {
        std::lock_guard lock(GetLock());
        m_signalled = false;
    }

private:
    const bool m_manual_reset;
    bool m_signalled; // guarded by GetLock()
};

std::shared_ptr<EventObject> FindEvent(HANDLE handle)
{
    std::shared_ptr<EventObject> event = HandleTable::GetInstance().GetAs<EventObject>(handle);
    if (!event)
        SetLastError(ERROR_INVALID_HANDLE);
    return event;
}

// Waits

// Takes every object at once or none: locks them in address order, the one order every
// wait-all uses, so two such waits cannot deadlock.
bool TryAcquireAll(std::vector<WaitableObject*> objects)
{
    std::sort(objects.begin(), objects.end());
    objects.erase(std::unique(objects.begin(), objects.end()), objects.end());
    std::vector<std::unique_lock<std::mutex>> locks;
    locks.reserve(objects.size());
    for (WaitableObject* object : objects)
        locks.emplace_back(object->GetLock());
    for (WaitableObject* object : objects) {
        if (!object->IsReadyLocked())
            return false;
    }
    for (WaitableObject* object : objects)
        object->AcquireLocked();
    return true;
}

class WaiterRegistration final
{
public:
    WaiterRegistration(const std::vector<std::shared_ptr<WaitableObject>>& objects,
                       platform::WaitBlock& block)
        : m_objects(objects)
        , m_block(block)
    {
        for (const auto& object : m_objects)
            object->AddWaiter(m_block);
    }
    ~WaiterRegistration()
    {
        for (const auto& object : m_objects)
            object->RemoveWaiter(m_block);
    }
    WaiterRegistration(const WaiterRegistration&) = delete;
    WaiterRegistration& operator=(const WaiterRegistration&) = delete;

private:
    const std::vector<std::shared_ptr<WaitableObject>>& m_objects;
    platform::WaitBlock& m_block;
};

} // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION section)
{
    new (section->storage) std::recursive_mutex;
}

void DeleteCriticalSection(LPCRITICAL_SECTION section)
{
    MutexOf(section).~recursive_mutex();
}

void EnterCriticalSection(LPCRITICAL_SECTION section)
{
    MutexOf(section).lock();
}

void LeaveCriticalSection(LPCRITICAL_SECTION section)
{
    MutexOf(section).unlock();
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section)
{
    return MutexOf(section).try_lock() ? TRUE : FALSE;
}

// Named events are not shared between processes here; the name is accepted and ignored.
HANDLE CreateEventW(LPSECURITY_ATTRIBUTES, BOOL manual_reset, BOOL initial_state, LPCWSTR)
{
    auto event = std::make_shared<EventObject>(manual_reset != FALSE, initial_state != FALSE);
    SetLastError(ERROR_SUCCESS);
    return HandleTable::GetInstance().Add(std::move(event));
}

BOOL SetEvent(HANDLE handle)
{
    std::shared_ptr<EventObject> event = FindEvent(handle);
    if (!event)
        return FALSE;
    event->Set();
    return TRUE;
}

BOOL ResetEvent(HANDLE handle)
{
    std::shared_ptr<EventObject> event = FindEvent(handle);
    if (!event)
        return FALSE;
    event->Reset();
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL wait_all, DWORD milliseconds)
{
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<WaitableObject>> objects;
    objects.reserve(count);
    bool polled = false;
    for (DWORD i = 0; i < count; ++i) {
        std::shared_ptr<WaitableObject> object = HandleTable::GetInstance().GetAs<WaitableObject>(handles[i]);
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        polled = polled || object->IsPolled();
        objects.push_back(std::move(object));
    }
    std::vector<WaitableObject*> all;
    if (wait_all) {
        for (const auto& object : objects)
            all.push_back(object.get());
    }

    const std::optional<uint64_t> deadline =
        milliseconds == INFINITE ? std::nullopt
                                 : std::optional<uint64_t>(platform::GetLayerTime() + milliseconds);
    platform::WaitBlock block;
    WaiterRegistration registration(objects, block);
    for (;;) {
        if (wait_all) {
            if (TryAcquireAll(all))
                return WAIT_OBJECT_0;
        } else {
            // Index order: when several are ready the lowest index wins, and only it is consumed.
            for (DWORD i = 0; i < count; ++i) {
                if (objects[i]->TryAcquire())
                    return WAIT_OBJECT_0 + i;
            }
        }
        const uint64_t now = platform::GetLayerTime();
        if (deadline && now >= *deadline)
            return WAIT_TIMEOUT;
        std::optional<uint64_t> park_until = deadline;
        if (polled)
            park_until = deadline ? std::min(*deadline, now + 1) : now + 1;
        platform::Park(block, park_until);
    }
}

namespace {

std::atomic<platform::IdleWaitFunction> s_idle_wait{nullptr};
std::atomic<std::thread::id> s_idle_owner{};
std::atomic<platform::IdleWakeFunction> s_idle_wake{nullptr};
std::atomic<platform::IdleWakeFunction> s_frame_wake{nullptr};
std::atomic<bool> s_owner_presented{false};
std::atomic<bool> s_step_noted{false};
// Bit 32 set: a note is held in the low word.
std::atomic<uint64_t> s_due_note{0};
// A later note made while the held one's time has come but was not yet answered: it follows it.
std::atomic<uint64_t> s_due_after{0};
// The held note, once a rest lasted until its time.
std::atomic<uint64_t> s_due_served{0};
constexpr uint64_t DUE_NOTED = uint64_t{1} << 32;

} // namespace

void platform::SetIdleWait(IdleWaitFunction wait)
{
    s_idle_owner = std::this_thread::get_id();
    s_idle_wait = wait;
    s_due_after = 0; // another loop's, or another clock's
    s_due_served = 0;
}

void platform::SetIdleWake(IdleWakeFunction wake)
{
    s_idle_wake = wake;
}

void platform::SetFrameWake(IdleWakeFunction wake)
{
    s_frame_wake = wake;
}

void platform::WakeIdleOwner()
{
    if (const IdleWakeFunction wake = s_idle_wake.load())
        wake();
}

void platform::NoteFramePresented()
{
    if (std::this_thread::get_id() == s_idle_owner.load())
        s_owner_presented = true;
    else if (const IdleWakeFunction wake = s_frame_wake.load())
        wake();
    else
        WakeIdleOwner();
}

bool platform::TakeOwnerPresented()
{
    return s_owner_presented.exchange(false);
}

void platform::NoteDueTime(uint32_t time_ms)
{
    if (std::this_thread::get_id() != s_idle_owner.load())
        return;
    // The earlier of two notes, compared as a wrap-safe difference from now.
    const uint32_t now = timeGetTime();
    const auto earlier = [now](uint64_t held, uint32_t time) {
        return (held & DUE_NOTED) != 0 &&
               static_cast<int32_t>(static_cast<uint32_t>(held) - now) <= static_cast<int32_t>(time - now);
    };
    const uint64_t held = s_due_note.load();
    if (!earlier(held, time_ms)) {
        s_due_note = DUE_NOTED | time_ms;
        return;
    }
    // A held note whose time has come is answered once more, then cleared: a loop that turned
    // and noted its next time meanwhile must still rest only until then, not until some bound.
    // A time that has come too is answered with it.
    if (static_cast<int32_t>(static_cast<uint32_t>(held) - now) <= 0 &&
        static_cast<int32_t>(time_ms - now) > 0 && !earlier(s_due_after.load(), time_ms))
        s_due_after = DUE_NOTED | time_ms;
}

namespace {

bool HasCome(uint64_t note)
{
    return static_cast<int32_t>(static_cast<uint32_t>(note) - timeGetTime()) <= 0;
}

// Clears a held note whose time has come; a later note made since then takes its place.
void RetireDueNote(uint64_t held)
{
    if (!s_due_note.compare_exchange_strong(held, 0))
        return;
    s_due_served = 0;
    const uint64_t after = s_due_after.exchange(0);
    if ((after & DUE_NOTED) != 0 && !HasCome(after))
        s_due_note = after;
}

} // namespace

std::optional<uint32_t> platform::TakeDueTime()
{
    const uint64_t held = s_due_note.load();
    if ((held & DUE_NOTED) == 0)
        return std::nullopt;
    // Kept for the loop's later rests until its time comes; then answered once more and cleared,
    // so the loop turns before it rests long. A rest that lasted until the time, followed by a
    // note of the loop's next time, tells that the loop has turned: the next note is answered.
    if (HasCome(held)) {
        const bool turned = s_due_served.load() == held && (s_due_after.load() & DUE_NOTED) != 0;
        RetireDueNote(held);
        if (turned) {
            if (const uint64_t next = s_due_note.load(); (next & DUE_NOTED) != 0)
                return static_cast<uint32_t>(next);
        }
        return static_cast<uint32_t>(held);
    }
    return static_cast<uint32_t>(held);
}

void platform::DueTimeServed(uint32_t time_ms)
{
    const uint64_t held = s_due_note.load();
    if (held == (DUE_NOTED | time_ms) && HasCome(held))
        s_due_served = held;
}

void platform::NoteNextStep(uint32_t time_ms)
{
    if (std::this_thread::get_id() != s_idle_owner.load())
        return;
    NoteDueTime(time_ms);
    s_step_noted = true;
}

bool platform::TakeStepNoted()
{
    return s_step_noted.exchange(false);
}

void Sleep(DWORD milliseconds)
{
    platform::WaitBlock block;
    if (milliseconds <= 1) {
        // A yield returns at once when nothing else is runnable, and a 1 ms sleep wakes a
        // thousand times a second, so a loop that pumps and yields would keep a core busy while
        // the game waits for a click. On the window thread both rest until something is to be
        // done or falls due. The virtual clock keeps the yield: its tests must not wait on real
        // time.
        const platform::IdleWaitFunction wait = s_idle_wait.load();
        if (wait != nullptr && std::this_thread::get_id() == s_idle_owner.load() &&
            !platform::VirtualClock::IsEnabled()) {
            const uint64_t deadline = platform::GetLayerTime() + milliseconds;
            if (wait(milliseconds))
                return;
            // Anything but input keeps the promised millisecond: a loop that sleeps without
            // pumping must not spin while a frame waits to be shown.
            while (platform::GetLayerTime() < deadline)
                platform::Park(block, deadline);
            return;
        }
        if (milliseconds == 0) {
            std::this_thread::yield();
            return;
        }
    }
    if (milliseconds == INFINITE) {
        for (;;)
            platform::Park(block, std::nullopt);
    }
    const uint64_t deadline = platform::GetLayerTime() + milliseconds;
    while (platform::GetLayerTime() < deadline)
        platform::Park(block, deadline);
}
