#pragma once
// Base of the kernel objects a thread can wait for (events, mutexes, threads). Waiters register
// a WaitBlock before they look at the state, so a change between the look and the park is
// never lost. Layer-internal.

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/kernel/HandleTable.h"
#include "platform/kernel/LayerClock.h"

namespace platform {

class WaitableObject : public KernelObject
{
public:
    // True when a wait on the object would be satisfied now. Caller holds GetLock().
    virtual bool IsReadyLocked() = 0;
    // Completes a satisfied wait: consumes an auto-reset event, takes a mutex. Caller holds GetLock().
    virtual void AcquireLocked() {}
    // Objects whose state changes outside the process (named mutexes) cannot wake their
    // waiters; waits on them re-check every millisecond of the layer clock.
    virtual bool IsPolled() const { return false; }

    std::mutex& GetLock() { return m_lock; }

    bool TryAcquire()
    {
        std::lock_guard lock(m_lock);
        if (!IsReadyLocked())
            return false;
        AcquireLocked();
        return true;
    }

    void AddWaiter(WaitBlock& block)
    {
        std::lock_guard lock(m_lock);
        m_waiters.push_back(&block);
    }

    void RemoveWaiter(WaitBlock& block)
    {
        std::lock_guard lock(m_lock);
        m_waiters.erase(std::remove(m_waiters.begin(), m_waiters.end(), &block), m_waiters.end());
    }

protected:
    // The waiters marked under the object's lock, told once it is let go: declared before the
    // lock's guard, so its end comes after the unlock.
    class WokenWaiters
    {
    public:
        WokenWaiters() = default;
        WokenWaiters(const WokenWaiters&) = delete;
        WokenWaiters& operator=(const WokenWaiters&) = delete;
        ~WokenWaiters()
        {
            for (WaitBlock* block : m_blocks)
                block->Tell();
        }

    private:
        friend class WaitableObject;
        std::vector<WaitBlock*> m_blocks;
    };

    // Every waiter looks again; those that find nothing park again. Caller holds GetLock().
    void WakeWaitersLocked(WokenWaiters& woken)
    {
        for (WaitBlock* block : m_waiters) {
            block->Mark();
            woken.m_blocks.push_back(block);
        }
    }

private:
    std::mutex m_lock; // guards m_waiters and the state of the derived object
    std::vector<WaitBlock*> m_waiters;
};

} // namespace platform
