#pragma once
// Holds a lock for a scope: anything with Lock() and Unlock() (every ICriticalSection). The
// lock is released however the scope is left, exceptions included.

template <class Lockable>
class ScopedLock final
{
public:
    explicit ScopedLock(Lockable& lock)
        : m_lock(lock)
    {
        m_lock.Lock();
    }
    ~ScopedLock() { m_lock.Unlock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    Lockable& m_lock;
};
