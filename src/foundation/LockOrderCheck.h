#pragma once
// The checker of the lock order: a per-thread stack of the ranked locks a thread holds. Each
// lock type of the engine reports here before it takes a lock, after it took it and when it
// lets it go. A lock whose level is not above every level the thread holds ends the process
// with both locks named. On by default in builds with VESK_LOCK_ORDER_CHECK; tests may switch it.
// Any thread; usable before main and during static destruction.

#include <atomic>

#include "foundation/LockOrder.h"

extern std::atomic<bool> g_lock_order_check_on; // read through IsLockOrderCheckOn

void SetLockOrderCheck(bool enabled);
// What a violation does: by default print the report to stderr and abort. Tests of code under
// the checker install a recorder; null puts the default back. Returns the previous handler.
using LockOrderViolationHandler = void (*)(const char* report);
LockOrderViolationHandler SetLockOrderViolationHandler(LockOrderViolationHandler handler);
inline bool IsLockOrderCheckOn()
{
    return g_lock_order_check_on.load(std::memory_order_relaxed);
}

// Before taking `lock`: ends the process on an order violation.
void CheckLockOrder(const void* lock, LockLevel level);
void NoteLockTaken(const void* lock, LockLevel level);
void NoteLockReleased(const void* lock);
