// The particle sets' builder hand-over: start takes the builder's turn and keeps it, a builder
// that stops early leaves start free, and deleting a set while its builder is inside a particle
// waits for the builder before any particle is freed. Spawning and the interval are tested with
// the petals and the snow.

#include "graphics/ParticleSet.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "graphics/CAppTask.h"
#include "support/ThreadTest.h"

namespace {

// What the test sees of the particles, kept outside the set so that it outlives it.
struct Ledger
{
    std::atomic<int> started{0};
    std::atomic<int> freed{0};
    std::atomic<int> freed_when_last_build_ended{-1};
};

struct Particle
{
    explicit Particle(Ledger& ledger)
        : ledger(ledger)
    {}
    ~Particle() { ++ledger.freed; }
    Ledger& ledger;
};

// A gate a builder may stop at: the test sees it arrive and lets it go on.
class Gate
{
public:
    void Arrive()
    {
        std::unique_lock lock(m_lock);
        m_arrived = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_open; });
    }
    void WaitForArrival()
    {
        std::unique_lock lock(m_lock);
        m_changed.wait(lock, [this] { return m_arrived; });
    }
    void Open()
    {
        std::lock_guard lock(m_lock);
        m_open = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_arrived = false;
    bool m_open = false;
};

class TestParticles final : public ParticleSet
{
public:
    explicit TestParticles(Ledger& ledger)
        : m_ledger(ledger)
    {}
    ~TestParticles() override { Shutdown(); }

    int gate_at = -1;
    Gate gate;
    int fail_at = -1;
    bool wait_for_abort_at_gate = false;

    static unsigned Entry(void* set)
    {
        static_cast<TestParticles*>(set)->RunBuilder();
        return 0;
    }
    int Made() const
    {
        int made = 0;
        for (const auto& slot : m_slots)
            made += slot != nullptr ? 1 : 0;
        return made;
    }

protected:
    bool BuildSlot(int32_t index) override
    {
        ++m_ledger.started;
        if (index == fail_at)
            return false;
        m_slots[static_cast<size_t>(index)] = std::make_unique<Particle>(m_ledger);
        if (index == gate_at) {
            if (wait_for_abort_at_gate) {
                gate.Open();
                gate.Arrive();
                // Stay inside the particle until deletion has asked the builder to leave.
                const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                while (!IsAborting() && std::chrono::steady_clock::now() < limit)
                    std::this_thread::yield();
                m_ledger.freed_when_last_build_ended = m_ledger.freed.load();
            } else {
                gate.Arrive();
            }
        }
        return true;
    }
    bool IsSlotActive(int32_t) override { return false; }
    void RespawnSlot(int32_t, uint32_t) override {}
    void MoveSlots(uint32_t) override {}

private:
    Ledger& m_ledger;
    std::array<std::unique_ptr<Particle>, PARTICLE_COUNT> m_slots;
};

class ParticleSetThreadTest : public ThreadTest
{
protected:
    ParticleSetThreadTest() { m_previous = SetAppTask(&m_runner); }
    ~ParticleSetThreadTest() override { SetAppTask(m_previous); }

    CAppTask m_runner;
    CAppTask* m_previous = nullptr;
    Ledger m_ledger;
};

} // namespace

TEST(ParticleSizeClass, FollowsTheLastDigitOfTheIndex)
{
    const int expected[] = {0, 0, 0, 0, 1, 1, 1, 2, 2, 3};
    for (int i = 0; i < PARTICLE_COUNT; ++i)
        EXPECT_EQ(ParticleSizeClass(i), expected[i % 10]) << i;
}

TEST_F(ParticleSetThreadTest, StartTakesTheBuildersTurnAndNoParticleFollows)
{
    auto set = std::make_unique<TestParticles>(m_ledger);
    set->gate_at = 5;
    set->StartBuilder(nullptr, TestParticles::Entry);
    set->gate.WaitForArrival(); // the builder is inside particle 5 and holds the turn
    set->gate.Open();
    set->Start(); // waits for particle 5 to be handed back
    const int at_start = set->GetBuiltCount();
    EXPECT_GE(at_start, 6);
    EXPECT_EQ(set->IsRunning(), 1);
    EXPECT_TRUE(m_runner.Contains(set.get()));
    set->Shutdown(); // joins the builder
    EXPECT_EQ(set->GetBuiltCount(), at_start);
    EXPECT_EQ(set->Made(), at_start);
    EXPECT_EQ(m_ledger.started.load(), at_start);
    EXPECT_FALSE(m_runner.Contains(set.get()));
}

TEST_F(ParticleSetThreadTest, AFinishedBuilderLeavesStartNothingToWaitFor)
{
    auto set = std::make_unique<TestParticles>(m_ledger);
    set->fail_at = 7; // particle 7 cannot be made: the builder ends with seven, keeping the turn
    set->StartBuilder(nullptr, TestParticles::Entry);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (set->IsBuilderRunning() && std::chrono::steady_clock::now() < limit)
        std::this_thread::yield();
    ASSERT_FALSE(set->IsBuilderRunning());
    set->Start(); // would wait for ever for a turn nobody gives back
    set->Shutdown();
    EXPECT_EQ(set->GetBuiltCount(), 7);
    EXPECT_EQ(m_ledger.started.load(), 8);
}

TEST_F(ParticleSetThreadTest, CreateBuildsAllAtOnceAndStartDoesNotWait)
{
    auto set = std::make_unique<TestParticles>(m_ledger);
    EXPECT_EQ(set->Create(nullptr), 1);
    EXPECT_EQ(set->GetBuiltCount(), PARTICLE_COUNT);
    set->Start();
    EXPECT_EQ(set->IsRunning(), 1);
    EXPECT_EQ(set->GetNextSpawnTime(), 0u);

    auto failing = std::make_unique<TestParticles>(m_ledger);
    failing->fail_at = 3;
    EXPECT_EQ(failing->Create(nullptr), 0);
    EXPECT_EQ(failing->GetBuiltCount(), 3);
}

TEST_F(ParticleSetThreadTest, DeletingDuringAParticleJoinsTheBuilderBeforeFreeingAnything)
{
    auto set = std::make_unique<TestParticles>(m_ledger);
    set->gate_at = 3;
    set->wait_for_abort_at_gate = true;
    set->StartBuilder(nullptr, TestParticles::Entry);
    set->gate.WaitForArrival();
    set.reset(); // the builder is still inside particle 3

    EXPECT_EQ(m_ledger.freed_when_last_build_ended.load(), 0); // nothing was freed under the builder
    EXPECT_EQ(m_ledger.started.load(), 4);                     // and it began no further particle
    EXPECT_EQ(m_ledger.freed.load(), 4);                       // then all four went with the set
}

TEST_F(ParticleSetThreadTest, DeletingAfterStartTookTheTurnEndsTheWaitingBuilder)
{
    for (int round = 0; round < 20; ++round) {
        auto set = std::make_unique<TestParticles>(m_ledger);
        set->StartBuilder(nullptr, TestParticles::Entry);
        if (round % 2 == 0)
            set->Start();
        set.reset(); // returns: the builder saw the stop whatever it was doing
    }
    EXPECT_EQ(m_ledger.freed.load(), m_ledger.started.load());
}
