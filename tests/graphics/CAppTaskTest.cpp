// The frame-task runner: entries, due times with their strict comparison and the clock's wrap,
// tasks leaving during a pass, and the task thread running them at their periods.
#include "graphics/CAppTask.h"

#include <functional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/AppLink.h"
#include "foundation/IAppTask.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/SyncApi.h"
#include "platform/kernel/TimeApi.h"
#include "platform/kernel/VirtualClock.h"
#include "support/ScopedEnv.h"
#include "support/ThreadTest.h"

namespace {

using platform::VirtualClock;

class CountingTask : public IAppTask
{
public:
    explicit CountingTask(uint32_t period = 15)
        : IAppTask(period)
    {}

    void Execute() override
    {
        runs.push_back(timeGetTime());
        redraw_seen_at_start.push_back(IsRedrawRequested());
        if (action)
            action();
    }

    std::vector<uint32_t> runs;
    std::vector<uint32_t> redraw_seen_at_start;
    std::function<void()> action;
};

class CAppTaskThreadTest : public ThreadTest
{
protected:
    CAppTaskThreadTest() { VirtualClock::Enable(1'000); }
    ~CAppTaskThreadTest() override { VirtualClock::Disable(); }

    CAppTask m_runner;
};

TEST_F(CAppTaskThreadTest, EachTaskIsListedOnce)
{
    CountingTask a;
    CountingTask b;
    m_runner.AddTask(&a);
    m_runner.AddTask(&a);
    m_runner.AddTasks({&b, &a});
    EXPECT_EQ(m_runner.GetCount(), 2u);
    m_runner.RemoveTasks({&a});
    EXPECT_FALSE(m_runner.Contains(&a));
    m_runner.RemoveTask(&a); // absent: nothing happens
    m_runner.RemoveAll();
    EXPECT_EQ(m_runner.GetCount(), 0u);
}

TEST_F(CAppTaskThreadTest, ItIsBehindOnlyWhileADueTaskWaitsLongerThanTheLatenessAllowed)
{
    EXPECT_FALSE(m_runner.IsBehind(20)); // nothing listed
    CountingTask task(15);
    m_runner.AddTask(&task); // its last run is long past: due at once
    EXPECT_FALSE(m_runner.IsBehind(20));
    VirtualClock::Advance(21);
    EXPECT_TRUE(m_runner.IsBehind(20)); // the task thread has not run it
    m_runner.RunDueTasks();
    EXPECT_FALSE(m_runner.IsBehind(20));
    VirtualClock::Advance(16 + 20); // due 16 ms after the run, now 20 late
    EXPECT_FALSE(m_runner.IsBehind(20));
    VirtualClock::Advance(1);
    EXPECT_TRUE(m_runner.IsBehind(20));
    m_runner.RemoveTask(&task); // a list emptied without a pass is not behind
    EXPECT_FALSE(m_runner.IsBehind(20));
}

TEST_F(CAppTaskThreadTest, AnEmptyListSleepsOneMillisecond)
{
    EXPECT_EQ(m_runner.RunDueTasks(), 1u);
}

TEST_F(CAppTaskThreadTest, APeriodOf15RunsAtMostOncePer16Milliseconds)
{
    CountingTask task(15);
    m_runner.AddTask(&task);
    EXPECT_EQ(m_runner.RunDueTasks(), 0u); // every listed task ran
    ASSERT_EQ(task.runs.size(), 1u);
    VirtualClock::Advance(15);
    EXPECT_EQ(m_runner.RunDueTasks(), 1u); // 15 ms is not more than the period
    EXPECT_EQ(task.runs.size(), 1u);
    VirtualClock::Advance(1);
    EXPECT_EQ(m_runner.RunDueTasks(), 0u);
    EXPECT_EQ(task.runs.size(), 2u);
    EXPECT_EQ(task.runs[1] - task.runs[0], 16u);
}

TEST_F(CAppTaskThreadTest, OneWaitingTaskMakesThePassSleep)
{
    CountingTask fast(10);
    CountingTask slow(100);
    m_runner.AddTasks({&fast, &slow});
    m_runner.RunDueTasks();
    VirtualClock::Advance(11);
    EXPECT_EQ(m_runner.RunDueTasks(), 1u);
    EXPECT_EQ(fast.runs.size(), 2u);
    EXPECT_EQ(slow.runs.size(), 1u);
}

TEST_F(CAppTaskThreadTest, ATaskRestingUntilWokenIsNotRunAndLetsTheThreadSleep)
{
    class RestingTask final : public CountingTask
    {
    public:
        uint32_t GetQuietTime(uint32_t) override { return resting ? INFINITE : 0; }
        bool resting = true;
    } task;
    m_runner.AddTask(&task);
    VirtualClock::Advance(100);
    EXPECT_EQ(m_runner.RunDueTasks(), 1u); // not "every task ran": the thread must not spin
    EXPECT_TRUE(task.runs.empty());
    EXPECT_EQ(m_runner.GetRestTime(5), INFINITE);
    task.resting = false;
    EXPECT_EQ(m_runner.RunDueTasks(), 0u);
    EXPECT_EQ(task.runs.size(), 1u);
}

TEST_F(CAppTaskThreadTest, ATaskThatRestsAfterThePassLeavesTheSleepingRunnerOnTime)
{
    // A stopped animation rests from then on; the thread that runs it sleeps until it is woken,
    // and a runner that sleeps with nothing due is not behind, however long it sleeps.
    class RestingTask final : public CountingTask
    {
    public:
        uint32_t GetQuietTime(uint32_t) override { return resting ? INFINITE : 0; }
        bool resting = false;
    } task;
    m_runner.AddTask(&task);
    m_runner.RunDueTasks();
    task.resting = true;
    EXPECT_EQ(m_runner.GetRestTime(5), INFINITE);
    VirtualClock::Advance(1'000);
    EXPECT_FALSE(m_runner.IsBehind(20));
}

TEST_F(CAppTaskThreadTest, TheIdleTimeIsTheWaitForTheNextDueTaskAndAnAddWakes)
{
    EXPECT_EQ(m_runner.GetIdleTime(), INFINITE);
    CountingTask fast(10);
    CountingTask slow(100);
    ASSERT_EQ(WaitForSingleObject(m_runner.GetWakeEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    m_runner.AddTasks({&fast, &slow});
    EXPECT_EQ(WaitForSingleObject(m_runner.GetWakeEvent(), 0), WAIT_OBJECT_0);
    m_runner.RunDueTasks();
    EXPECT_EQ(m_runner.GetIdleTime(), 11u); // due once more than 10 ms have passed
    VirtualClock::Advance(4);
    EXPECT_EQ(m_runner.GetIdleTime(), 7u);
    VirtualClock::Advance(7);
    EXPECT_EQ(m_runner.GetIdleTime(), 0u);
}

TEST_F(CAppTaskThreadTest, TheRestReachesTasksDueSoonAfterTheFirstSoOneWakeRunsThem)
{
    EXPECT_EQ(m_runner.GetRestTime(5), INFINITE);
    CountingTask cursor(15);
    CountingTask animation(20);
    CountingTask slow(100);
    m_runner.AddTasks({&cursor, &animation, &slow});
    m_runner.RunDueTasks(); // due again in 16, 21 and 101 ms
    EXPECT_EQ(m_runner.GetRestTime(5), 21u);
    EXPECT_EQ(m_runner.GetRestTime(4), 16u); // 21 lies beyond the slack: the first alone
    VirtualClock::Advance(21);
    m_runner.RunDueTasks();
    EXPECT_EQ(cursor.runs.size(), 2u);
    EXPECT_EQ(animation.runs.size(), 2u);
    EXPECT_EQ(slow.runs.size(), 1u);
    // A task already due is never held back for a later one.
    VirtualClock::Advance(16);
    EXPECT_EQ(m_runner.GetRestTime(50), 0u);
}

// An application on a timer that cannot go below 16 ms: every clock is the tick count, which
// moves in whole periods behind the millisecond clock.
class CoarseClockApp final : public AppLink
{
public:
    CoarseClockApp()
        : m_previous(SetAppLink(this))
    {}
    ~CoarseClockApp() override { SetAppLink(m_previous); }
    UINT PumpMessage() override { return 1; }
    CStringUTF8 GetAppString() override { return ""; }
    int32_t GetConfigInt(CStringUTF8, int32_t value, int) override { return value; }
    CStringUTF8 GetConfigString(CStringUTF8, CStringUTF8 value, int) override { return value; }
    CStringUTF8 GetFileInfoString(CStringUTF8, CStringUTF8 value) override { return value; }
    CXMLDocument* GetConfigDocument() const override { return nullptr; }
    CXMLDocument* GetFileInfoDocument() const override { return nullptr; }
    uint32_t GetClockSwitch() const override { return 1; }
    uint32_t GetRotateFlag() const override { return 0; }

private:
    ScopedEnv m_period{"VESK_TIMER_PERIOD_MIN", "16"};
    AppLink* m_previous;
};

// Every due test compares the stamps of one clock with that clock: on a coarse timer the runner's
// rest, its due time and a task's quiet time all read the tick count the runs were stamped with.
TEST_F(CAppTaskThreadTest, OnACoarseTimerEveryDueTestReadsTheTickCount)
{
    CoarseClockApp app;
    VirtualClock::Set(1'000 + 7); // the tick count reads 992
    struct QuietTask : CountingTask
    {
        uint32_t GetQuietTime(uint32_t now) override
        {
            seen.push_back(now);
            return 0;
        }
        std::vector<uint32_t> seen;
    } task;
    m_runner.AddTask(&task);
    m_runner.RunDueTasks(); // stamped 992: due again after 1007 on the tick count
    EXPECT_EQ(m_runner.GetRestTime(0), 16u);
    EXPECT_FALSE(m_runner.IsBehind(0));
    EXPECT_EQ(task.seen, std::vector<uint32_t>(task.seen.size(), 992u));
    EXPECT_GE(task.seen.size(), 3u);
}

TEST_F(CAppTaskThreadTest, TasksKeepRunningAcrossTheClockWrap)
{
    // The last run 10 ms before the 32-bit clock wraps: last run + period wraps to a small number
    // while the clock is still large, and the other way round afterwards.
    VirtualClock::Set(0xFFFF'FFFFull - 9);
    CountingTask task(15);
    m_runner.AddTask(&task);
    m_runner.RunDueTasks();
    ASSERT_EQ(task.runs.size(), 1u);
    VirtualClock::Advance(5); // 5 ms later: not due, although last run + 15 has wrapped below the clock
    m_runner.RunDueTasks();
    EXPECT_EQ(task.runs.size(), 1u);
    VirtualClock::Advance(11); // 16 ms after the run, past the wrap
    m_runner.RunDueTasks();
    ASSERT_EQ(task.runs.size(), 2u);
    EXPECT_EQ(task.runs[1], 6u);
    VirtualClock::Advance(16);
    m_runner.RunDueTasks();
    EXPECT_EQ(task.runs.size(), 3u);
}

TEST_F(CAppTaskThreadTest, TheRedrawRequestIsClearedBeforeEachRun)
{
    CountingTask task;
    task.action = [&] { task.RequestRedraw(); };
    m_runner.AddTask(&task);
    m_runner.RunDueTasks();
    VirtualClock::Advance(16);
    m_runner.RunDueTasks();
    EXPECT_EQ(task.redraw_seen_at_start, (std::vector<uint32_t>{0, 0}));
    EXPECT_EQ(task.IsRedrawRequested(), 1u);
}

TEST_F(CAppTaskThreadTest, ATaskMayRemoveItselfOrTheNextOneDuringAPass)
{
    CountingTask first;
    CountingTask second;
    CountingTask third;
    first.action = [&] { m_runner.RemoveTask(&second); };
    third.action = [&] { m_runner.RemoveTask(&third); };
    m_runner.AddTasks({&first, &second, &third});
    m_runner.RunDueTasks();
    EXPECT_EQ(first.runs.size(), 1u);
    EXPECT_EQ(second.runs.size(), 0u);
    EXPECT_EQ(third.runs.size(), 1u);
    EXPECT_EQ(m_runner.GetCount(), 1u);
    EXPECT_TRUE(m_runner.Contains(&first));
}

TEST_F(CAppTaskThreadTest, ATaskAddedDuringAPassRunsInTheNextOne)
{
    CountingTask first;
    CountingTask added;
    first.action = [&] { m_runner.AddTask(&added); };
    m_runner.AddTask(&first);
    m_runner.RunDueTasks();
    EXPECT_TRUE(added.runs.empty());
    m_runner.RunDueTasks();
    EXPECT_EQ(added.runs.size(), 1u);
}

TEST_F(CAppTaskThreadTest, TheLockIsReleasedWhenATaskThrows)
{
    CountingTask task;
    task.action = [] { throw 42; };
    m_runner.AddTask(&task);
    EXPECT_THROW(m_runner.RunDueTasks(), int);
    // Another thread can take the list again.
    std::thread other([&] { m_runner.RemoveTask(&task); });
    other.join();
    EXPECT_EQ(m_runner.GetCount(), 0u);
}

TEST_F(CAppTaskThreadTest, TheTaskThreadRunsTasksAtTheirPeriods)
{
    VirtualClock::Set(0xFFFF'FFFFull - 100); // the wrap falls inside the run
    VirtualClock::SetAutoAdvance(true);      // each Sleep of the task thread moves the clock
    CountingTask fast(15);
    CountingTask slow(40);
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    fast.action = [&] {
        if (fast.runs.size() == 12)
            SetEvent(stop);
    };
    m_runner.AddTasks({&fast, &slow});
    std::thread task_thread([&] {
        while (WaitForSingleObject(stop, 0) == WAIT_TIMEOUT)
            Sleep(m_runner.RunDueTasks());
    });
    task_thread.join();
    CloseHandle(stop);
    ASSERT_EQ(fast.runs.size(), 12u);
    for (size_t i = 1; i < fast.runs.size(); ++i)
        EXPECT_EQ(static_cast<uint32_t>(fast.runs[i] - fast.runs[i - 1]), 16u) << "run " << i;
    ASSERT_GE(slow.runs.size(), 4u);
    for (size_t i = 1; i < slow.runs.size(); ++i)
        EXPECT_EQ(static_cast<uint32_t>(slow.runs[i] - slow.runs[i - 1]), 41u) << "run " << i;
}

} // namespace
