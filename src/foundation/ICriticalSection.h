#pragma once
// The lock interface of every object reached from more than one thread. Locks are recursive for
// the owning thread; take them with ScopedLock, or pair Lock and Unlock by hand where a lock is
// released on another path than the one that took it.

class ICriticalSection
{
public:
    virtual ~ICriticalSection() = default;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
};
