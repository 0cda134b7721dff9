#include "foundation/CCriticalSection.h"

#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "foundation/ScopedLock.h"
#include "support/ThreadTest.h"

namespace {

using CCriticalSectionThreadTest = ThreadTest;

TEST_F(CCriticalSectionThreadTest, ExcludesOtherThreadsAndNestsForItsOwner)
{
    CCriticalSection lock{LOCK_LEVEL_UNRANKED};
    long counter = 0; // guarded by lock
    auto work = [&] {
        for (int i = 0; i < 100'000; ++i) {
            lock.Lock();
            lock.Lock(); // the owner takes it again without blocking
            ++counter;
            lock.Unlock();
            lock.Unlock();
        }
    };
    std::thread other(work);
    work();
    other.join();
    EXPECT_EQ(counter, 200'000);
}

class CountingLock
{
public:
    void Lock() { ++m_locks; }
    void Unlock() { ++m_unlocks; }
    int m_locks = 0;
    int m_unlocks = 0;
};

using ScopedLockThreadTest = ThreadTest;

TEST_F(ScopedLockThreadTest, ReleasesWhenAnExceptionLeavesTheScope)
{
    CountingLock lock;
    try {
        ScopedLock guard(lock);
        EXPECT_EQ(lock.m_locks, 1);
        EXPECT_EQ(lock.m_unlocks, 0);
        throw std::runtime_error("unwind");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(lock.m_unlocks, 1);
}

TEST_F(ScopedLockThreadTest, TakesAnyCriticalSectionThroughItsInterface)
{
    CCriticalSection section{LOCK_LEVEL_UNRANKED};
    ICriticalSection& lock = section;
    {
        ScopedLock outer(lock);
        ScopedLock inner(lock); // recursive
    }
    bool taken = false;
    std::thread other([&] {
        ScopedLock guard(lock);
        taken = true;
    });
    other.join(); // would never end if a guard had not released
    EXPECT_TRUE(taken);
}

} // namespace
