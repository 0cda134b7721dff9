#include "foundation/LockOrderCheck.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

bool CheckWanted()
{
#ifdef VESK_LOCK_ORDER_CHECK
    return true;
#else
    // Any build can run with the checker: VESK_LOCK_ORDER_CHECK=1 in the environment.
    const char* wanted = std::getenv("VESK_LOCK_ORDER_CHECK");
    return wanted != nullptr && wanted[0] == '1';
#endif
}

} // namespace

std::atomic<bool> g_lock_order_check_on{CheckWanted()};

namespace {

void AbortOnViolation(const char* report)
{
    std::fprintf(stderr, "%s\n", report);
    std::fflush(stderr);
    std::abort();
}

std::atomic<LockOrderViolationHandler> g_violation_handler{AbortOnViolation};

struct HeldLock
{
    const void* lock;
    LockLevel level;
    int depth; // recursive entries
};

// Plain arrays: no destructor runs at thread exit, so locks used during static destruction
// still find the stack.
constexpr int MAX_HELD = 32;
thread_local HeldLock t_held[MAX_HELD];
thread_local int t_held_count = 0;

HeldLock* FindHeld(const void* lock)
{
    for (int i = t_held_count - 1; i >= 0; --i) {
        if (t_held[i].lock == lock)
            return &t_held[i];
    }
    return nullptr;
}

} // namespace

void SetLockOrderCheck(bool enabled)
{
    g_lock_order_check_on = enabled;
}

LockOrderViolationHandler SetLockOrderViolationHandler(LockOrderViolationHandler handler)
{
    return g_violation_handler.exchange(handler ? handler : AbortOnViolation);
}

void CheckLockOrder(const void* lock, LockLevel level)
{
    if (!IsLockOrderCheckOn() || level.value == 0 || FindHeld(lock) != nullptr)
        return;
    for (int i = t_held_count - 1; i >= 0; --i) {
        const LockLevel held = t_held[i].level;
        if (held.value > level.value || (held.value == level.value && !level.nests)) {
            char report[256];
            std::snprintf(report, sizeof(report),
                          "lock order violation: taking \"%s\" (level %d) while holding \"%s\" (level %d)",
                          level.name, level.value, held.name, held.value);
            g_violation_handler.load()(report);
            return;
        }
    }
}

void NoteLockTaken(const void* lock, LockLevel level)
{
    if (!IsLockOrderCheckOn() || level.value == 0)
        return;
    if (HeldLock* held = FindHeld(lock)) {
        ++held->depth;
        return;
    }
    if (t_held_count < MAX_HELD)
        t_held[t_held_count++] = HeldLock{lock, level, 1};
}

void NoteLockReleased(const void* lock)
{
    if (t_held_count == 0)
        return;
    for (int i = t_held_count - 1; i >= 0; --i) {
        if (t_held[i].lock != lock)
            continue;
        if (--t_held[i].depth == 0) {
            for (int j = i; j + 1 < t_held_count; ++j)
                t_held[j] = t_held[j + 1];
            --t_held_count;
        }
        return;
    }
}
