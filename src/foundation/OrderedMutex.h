#pragma once
// A plain (non-recursive) mutex with a level of foundation/LockOrder.h, for the engine's small
// leaf locks that pair with a condition variable (std::condition_variable_any) or std::lock_guard.
// The order checker sees every acquisition, as for CCriticalSection. Any thread.

#include <mutex>

#include "foundation/LockOrder.h"
#include "foundation/LockOrderCheck.h"

class OrderedMutex final
{
public:
    explicit OrderedMutex(LockLevel level)
        : m_level(level)
    {}
    OrderedMutex(const OrderedMutex&) = delete;
    OrderedMutex& operator=(const OrderedMutex&) = delete;

    void lock()
    {
        CheckLockOrder(this, m_level);
        m_mutex.lock();
        NoteLockTaken(this, m_level);
    }
    void unlock()
    {
        NoteLockReleased(this);
        m_mutex.unlock();
    }
    // The spelling ScopedLock expects.
    void Lock() { lock(); }
    void Unlock() { unlock(); }

private:
    std::mutex m_mutex;
    const LockLevel m_level;
};
