// The frame-task runner as the effects use it: one entry per task, tasks run when their period
// has passed (strictly), a task may take itself out while it runs, and the sleep it answers.

#include "app/CAppTask.h"

#include <gtest/gtest.h>

#include "app/IAppTask.h"
#include "platform/kernel/VirtualClock.h"

namespace {

class CountingTask final : public IAppTask
{
public:
    explicit CountingTask(CAppTask* runner = nullptr, uint32_t period = 15)
        : IAppTask(period)
        , m_runner(runner)
    {}
    void Execute() override
    {
        ++runs;
        if (m_runner != nullptr && runs == 2)
            m_runner->RemoveTask(this);
    }
    int runs = 0;

private:
    CAppTask* m_runner;
};

class CAppTaskTest : public ::testing::Test
{
protected:
    CAppTaskTest() { platform::VirtualClock::Enable(1000); }
    ~CAppTaskTest() override { platform::VirtualClock::Disable(); }
    CAppTask m_runner;
};

} // namespace

TEST_F(CAppTaskTest, AnEmptyListSleepsOneMillisecond)
{
    EXPECT_EQ(m_runner.RunDueTasks(), 1u);
}

TEST_F(CAppTaskTest, ATaskAddedTwiceRunsOncePerPass)
{
    CountingTask task;
    m_runner.AddTask(&task);
    m_runner.AddTask(&task);
    EXPECT_EQ(m_runner.RunDueTasks(), 0u); // the only task ran
    EXPECT_EQ(task.runs, 1);
    EXPECT_EQ(task.GetLastRunTime(), 1000u);
}

TEST_F(CAppTaskTest, APeriodMustHavePassedStrictly)
{
    CountingTask task;
    m_runner.AddTask(&task);
    m_runner.RunDueTasks();
    platform::VirtualClock::Advance(15); // 1000 + 15 is not earlier than 1015
    EXPECT_EQ(m_runner.RunDueTasks(), 1u);
    EXPECT_EQ(task.runs, 1);
    platform::VirtualClock::Advance(1);
    EXPECT_EQ(m_runner.RunDueTasks(), 0u);
    EXPECT_EQ(task.runs, 2);
}

TEST_F(CAppTaskTest, ATaskMayTakeItselfOutWhileItRuns)
{
    CountingTask leaving(&m_runner);
    CountingTask staying;
    m_runner.AddTask(&leaving);
    m_runner.AddTask(&staying);
    for (int pass = 0; pass < 4; ++pass) {
        platform::VirtualClock::Advance(16);
        m_runner.RunDueTasks();
    }
    EXPECT_EQ(leaving.runs, 2);
    EXPECT_EQ(staying.runs, 4);
    EXPECT_FALSE(m_runner.Contains(&leaving));
    EXPECT_TRUE(m_runner.Contains(&staying));
    m_runner.RemoveAll();
    EXPECT_FALSE(m_runner.Contains(&staying));
}
