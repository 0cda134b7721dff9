// Effects made and deleted over and over while the frame-task runner works on its own thread:
// deleted while their builder is still making particles, after start while the runner moves
// them, and replaced by a new prepare. Nothing may be touched after it is freed (the sanitizer
// builds check that), no builder may be left running, and no task may stay in the runner.

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "graphics/CAppTask.h"
#include "graphics/CSakuraEffect.h"
#include "graphics/CSakuraParticle.h"
#include "graphics/CSnowEffect.h"
#include "graphics/CSnowFirstOne.h"
#include "graphics/CSnowParticle.h"
#include "graphics/CSnowParticleOne.h"
#include "graphics/EffectFixture.h"
#include "graphics/ParticleCommands.h"
#include "platform/kernel/VirtualClock.h"
#include "support/HeadlessDisplay.h"

namespace {

// The app-task thread of the test: passes of the real runner when the test asks for them, the
// clock one period on each time. Between them it only yields, so it never holds a lock for long
// while the main thread and the builders work.
class RunnerThread
{
public:
    explicit RunnerThread(CAppTask& runner)
        : m_thread([this, &runner] {
            while (!m_stop) {
                if (m_passes >= m_wanted) {
                    std::this_thread::yield();
                    continue;
                }
                platform::VirtualClock::Advance(16);
                runner.RunDueTasks();
                ++m_passes;
            }
        })
    {}
    ~RunnerThread()
    {
        m_stop = true;
        m_thread.join();
    }
    // Asks for count more passes without waiting for them.
    void Ask(int count) { m_wanted += count; }
    // Asks for count more passes and returns once they are done.
    void WaitForPasses(int count)
    {
        Ask(count);
        while (m_passes < m_wanted)
            std::this_thread::yield();
    }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_passes{0};
    std::atomic<int> m_wanted{0};
    std::thread m_thread;
};

class ParticleLifetimeThreadTest : public EffectFixture
{
protected:
    ParticleLifetimeThreadTest()
    {
        OpenLayerArchive();
        // Most rounds run without a display, so that the runner draws no frames and the rounds
        // stay quick; one test keeps it to draw while a builder adds its sprites.
        if (!WithDisplay())
            m_display.reset();
        EffectRandom::SetEngine([] { return 4242u; }); // the runner's thread draws too
        m_previous = SetAppTask(&m_real_runner);
    }
    ~ParticleLifetimeThreadTest() override
    {
        SetAppTask(m_previous);
        EffectRandom::SetEngine(nullptr);
    }

    static bool WithDisplay()
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        return test != nullptr && std::string(test->name()).find("Drawn") != std::string::npos;
    }

    CAppTask m_real_runner;
    CAppTask* m_previous = nullptr;
};

} // namespace

TEST_F(ParticleLifetimeThreadTest, EffectsComeAndGoWhileTheRunnerMovesThem)
{
    RunnerThread thread(m_real_runner);
    std::unique_ptr<CSakuraEffect> petals;
    std::unique_ptr<CSnowEffect> snow;
    std::unique_ptr<CSnowFirstOne> snowball;
    for (int round = 0; round < 12; ++round) {
        RunPetalCommand(petals, 0);
        RunSnowCommand(snow, 0);
        RunSnowballCommand(snowball, 0);
        if (round % 3 == 0) {
            // Deleted while the builders may still be inside a particle.
            RunPetalCommand(petals, 1);
            RunSnowCommand(snow, 1);
        } else if (round % 3 == 1) {
            thread.Ask(2); // the runner moves the snowball while the builders work
            RunPetalCommand(petals, 2);
            RunSnowCommand(snow, 2);
            thread.WaitForPasses(3);
            EXPECT_EQ(petals->GetParticles()->IsRunning(), 1);
            RunPetalCommand(petals, 1);
            RunSnowCommand(snow, 1);
        } else {
            // Prepared again at once: the first set goes while its builder works.
            RunPetalCommand(petals, 0);
            RunSnowCommand(snow, 3);
            thread.WaitForPasses(2);
        }
        thread.WaitForPasses(1);
        RunSnowballCommand(snowball, 1);
    }
    RunPetalCommand(petals, 1);
    RunSnowCommand(snow, 1);
    thread.WaitForPasses(1);
    EXPECT_EQ(petals, nullptr);
    EXPECT_EQ(snow, nullptr);
    EXPECT_EQ(snowball, nullptr);
}

TEST_F(ParticleLifetimeThreadTest, FramesDrawnWhileABuilderAddsItsSprites)
{
    RunnerThread thread(m_real_runner);
    std::unique_ptr<CSnowFirstOne> snowball;
    std::unique_ptr<CSakuraEffect> petals;
    RunSnowballCommand(snowball, 0); // asks for a frame on every run
    RunPetalCommand(petals, 0);
    thread.WaitForPasses(4);
    RunPetalCommand(petals, 2);
    thread.WaitForPasses(2);
    RunPetalCommand(petals, 1);
    RunSnowballCommand(snowball, 1);
    EXPECT_EQ(petals, nullptr);
}
