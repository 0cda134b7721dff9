// The lock-order checker: acquisitions in rising order, re-entry of a lock already held and
// unranked locks pass; a lock not above every level held ends the process naming both locks.

#include "foundation/LockOrderCheck.h"

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/CCriticalSection.h"
#include "foundation/OrderedMutex.h"
#include "foundation/ScopedLock.h"
#include "support/ThreadTest.h"

namespace {

std::vector<std::string> g_reports;

void RecordReport(const char* report)
{
    g_reports.emplace_back(report);
}

// The checker's state around each test; the death test forks, so it stays off the thread base.
template <class Base>
class LockOrderCheckOn : public Base
{
protected:
    LockOrderCheckOn()
        : m_was_on(IsLockOrderCheckOn())
    {
        SetLockOrderCheck(true);
        m_previous = SetLockOrderViolationHandler(RecordReport);
        g_reports.clear();
    }
    ~LockOrderCheckOn() override
    {
        SetLockOrderViolationHandler(m_previous);
        SetLockOrderCheck(m_was_on);
    }

    bool m_was_on;
    LockOrderViolationHandler m_previous = nullptr;
};

using LockOrderCheckThreadTest = LockOrderCheckOn<ThreadTest>;

// Takes locks out of order on purpose, on one thread: off the thread base, so the
// ThreadSanitizer run does not report the inversion it is made of.
using LockOrderCheckTest = LockOrderCheckOn<::testing::Test>;

TEST_F(LockOrderCheckTest, ReportsEveryLockNotAboveTheLevelsHeld)
{
    CCriticalSection hooks{LOCK_LEVEL_HOOK_LIST};
    CCriticalSection dialog_hooks{LOCK_LEVEL_HOOK_LIST};
    CCriticalSection draw{LOCK_LEVEL_GLOBAL_DRAW};
    CCriticalSection sprite{LOCK_LEVEL_SPRITE};
    CCriticalSection other_sprite{LOCK_LEVEL_SPRITE};
    CCriticalSection unranked{LOCK_LEVEL_UNRANKED};
    OrderedMutex particle{LOCK_LEVEL_PARTICLE_HANDOVER};
    struct Case
    {
        const char* what;
        std::function<void()> run;
        const char* report; // empty: no violation
    };
    const Case cases[] = {
        {"rising order",
         [&] {
             ScopedLock a(hooks);
             ScopedLock b(draw);
             ScopedLock c(sprite);
             ScopedLock d(particle);
         },
         ""},
        {"re-entry of a lock held below a higher one",
         [&] {
             ScopedLock a(draw);
             ScopedLock b(sprite);
             ScopedLock c(draw);
         },
         ""},
        {"an unranked lock between hides no violation",
         [&] {
             ScopedLock a(sprite);
             ScopedLock b(unranked);
             ScopedLock c(hooks);
         },
         "lock order violation: taking \"window hook list\" (level 10) while holding \"sprite\" (level 60)"},
        {"a lower lock after the higher one is let go",
         [&] {
             {
                 ScopedLock a(sprite);
             }
             ScopedLock b(draw);
         },
         ""},
        {"window call under the draw lock",
         [&] {
             ScopedLock a(draw);
             ScopedLock b(hooks);
         },
         "lock order violation: taking \"window hook list\" (level 10) while holding \"global draw\" (level "
         "30)"},
        {"two locks of one level",
         [&] {
             ScopedLock a(sprite);
             ScopedLock b(other_sprite);
         },
         "lock order violation: taking \"sprite\" (level 60) while holding \"sprite\" (level 60)"},
        {"a dialog's hook list inside the view's dispatch",
         [&] {
             ScopedLock a(hooks);
             ScopedLock b(dialog_hooks);
         },
         ""},
        {"an ordered mutex under a leaf",
         [&] {
             ScopedLock a(particle);
             ScopedLock b(sprite);
         },
         "lock order violation: taking \"sprite\" (level 60) while holding \"particle hand-over\" (level "
         "100)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_reports.clear();
        c.run();
        if (c.report[0] == '\0')
            EXPECT_TRUE(g_reports.empty()) << g_reports.front();
        else
            EXPECT_EQ(g_reports, std::vector<std::string>{c.report});
    }
}

TEST_F(LockOrderCheckThreadTest, EachThreadHasItsOwnHeldLocks)
{
    CCriticalSection draw{LOCK_LEVEL_GLOBAL_DRAW};
    CCriticalSection hooks{LOCK_LEVEL_HOOK_LIST};
    ScopedLock held(draw);
    std::thread other([&] { ScopedLock lock(hooks); });
    other.join();
    EXPECT_TRUE(g_reports.empty());
}

using LockOrderCheckDeathTest = LockOrderCheckOn<::testing::Test>;

TEST_F(LockOrderCheckDeathTest, AViolationEndsTheProcessNamingBothLocks)
{
    SetLockOrderViolationHandler(nullptr); // the real one
    CCriticalSection draw{LOCK_LEVEL_GLOBAL_DRAW};
    CCriticalSection hooks{LOCK_LEVEL_HOOK_LIST};
    EXPECT_DEATH(
        {
            ScopedLock a(draw);
            ScopedLock b(hooks);
        },
        "taking \"window hook list\" \\(level 10\\) while holding \"global draw\" \\(level 30\\)");
}

} // namespace
