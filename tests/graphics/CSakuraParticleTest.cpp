// The falling petals: what a respawn draws for each size class, the frame turning and the edges
// of a petal's run, the spawn timing with its shrinking interval, and the holder's sub-commands.
// Raw random values are chosen by the test, so every position and speed is worked out by hand.

#include "graphics/CSakuraParticle.h"

#include <gtest/gtest.h>

#include "graphics/CSakuraEffect.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/CTextureLayer.h"
#include "graphics/EffectFixture.h"
#include "graphics/ParticleCommands.h"
#include "platform/kernel/TimeApi.h"
#include "platform/kernel/VirtualClock.h"

namespace {

class CSakuraParticleThreadTest : public EffectFixture
{
protected:
    CSakuraParticleThreadTest() { OpenLayerArchive(); }

    PetalRecord& MakePetal(int size_class)
    {
        m_record = std::make_unique<PetalRecord>();
        m_texture.reset(LoadEffectTexture("hana.akb"));
        EXPECT_EQ(InitPetal(*m_record, m_texture.get(), size_class), 1);
        return *m_record;
    }

    std::unique_ptr<CTextureLayer> m_texture;
    std::unique_ptr<PetalRecord> m_record;
};

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

TEST_F(CSakuraParticleThreadTest, InitMakesAHiddenSpriteOfOneFrame)
{
    PetalRecord& record = MakePetal(2);
    ASSERT_NE(record.m_sprite, nullptr);
    EXPECT_EQ(record.m_size_class, 2);
    EXPECT_EQ(record.m_active, 0);
    EXPECT_EQ(record.m_sprite->GetTextureLayer(), m_texture.get());
    EXPECT_EQ(record.m_sprite->GetPriority(), PETAL_PRIORITY);
    EXPECT_EQ(record.m_sprite->IsVisible(), 0);
    EXPECT_TRUE(SameRect(record.m_sprite->GetSourceRect(), RECT{0, 0, 64, 64}));
    // The picture is the test's column of ten frames.
    EXPECT_EQ(m_texture->GetWidth(), 64);
    EXPECT_EQ(m_texture->GetHeight(), 640);
    EXPECT_EQ(EffectPixel(*m_texture, 10, 64 * 3 + 5), PetalFrameColour(3));
}

TEST_F(CSakuraParticleThreadTest, RespawnDrawsEachClassInItsOrder)
{
    struct Case
    {
        int size_class;
        std::initializer_list<uint32_t> raw;
        float x, vx, vy, scale;
        uint32_t period;
    };
    // Draws: x = 280 + r % 1360, a first vx = r % 100 / 100 - 2, then the class's own draws.
    const Case cases[] = {
        // class 0: vx = r % 70 / 100 - 1, vy = r % 60 / 100 + 0.3, scale 0.4
        {0, {1000, 50, 35, 30}, 1280.0f, -0.65f, 0.6f, 0.4f, 30},
        // class 1: vx = r % 100 / 100 - 2, vy = r % 100 / 100 + 0.5, scale r % 20 / 100 + 0.4
        {1, {0, 0, 99, 99, 19}, 280.0f, -1.01f, 1.49f, 0.59f, 40},
        // class 2 keeps the first vx; vy = r % 120 / 100 + 0.8, scale r % 20 / 100 + 0.6
        {2, {1365, 150, 60, 10}, 285.0f, -1.5f, 1.4f, 0.7f, 50},
        // class 3: vy = r % 220 / 100 + 1.3, scale r % 20 / 100 + 0.8
        {3, {1359, 99, 219, 39}, 1639.0f, -1.01f, 3.49f, 0.99f, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size_class);
        PetalRecord& record = MakePetal(c.size_class);
        QueueRandom(c.raw);
        RespawnPetal(record, 5000);
        EXPECT_EQ(RandomLeft(), 0u);
        EXPECT_FLOAT_EQ(record.m_x, c.x);
        EXPECT_FLOAT_EQ(record.m_y, 100.0f);
        EXPECT_FLOAT_EQ(record.m_vx, c.vx);
        EXPECT_FLOAT_EQ(record.m_vy, c.vy);
        EXPECT_FLOAT_EQ(record.m_scale, c.scale);
        EXPECT_LT(record.m_vx, 0.0f); // petals never drift right
        EXPECT_EQ(record.m_frame_period, c.period);
        EXPECT_EQ(record.m_frame_index, 0);
        EXPECT_EQ(record.m_active, 1);
        EXPECT_EQ(record.m_last_frame_time, 5000u);
        CSpriteTexture& sprite = *record.m_sprite;
        EXPECT_EQ(sprite.IsVisible(), 1);
        EXPECT_EQ(sprite.GetAlpha(), 255);
        EXPECT_FLOAT_EQ(sprite.GetScale().x, c.scale);
        EXPECT_FLOAT_EQ(sprite.GetScale().y, c.scale);
        EXPECT_FLOAT_EQ(sprite.GetZoomCenter().x, 32.0f);
        EXPECT_FLOAT_EQ(sprite.GetZoomCenter().y, 32.0f);
    }
}

TEST_F(CSakuraParticleThreadTest, FramesTurnOnTheirPeriodAndThePetalEndsAtTheLeftEdge)
{
    PetalRecord& record = MakePetal(0);
    QueueRandom({1, 0, 0, 0}); // x 281, vx -1.0, vy 0.3, 30 ms a frame
    RespawnPetal(record, 1000);

    MovePetal(record, 1015);
    EXPECT_EQ(record.m_frame_index, 0); // not yet due
    EXPECT_FLOAT_EQ(record.m_sprite->GetPositionFloat().x, 280.0f);
    EXPECT_FLOAT_EQ(record.m_sprite->GetPositionFloat().y, 100.3f);
    MovePetal(record, 1030);
    EXPECT_TRUE(SameRect(record.m_sprite->GetSourceRect(), RECT{0, 0, 64, 64}));
    EXPECT_EQ(record.m_frame_index, 1);
    MovePetal(record, 1045);
    MovePetal(record, 1060);
    EXPECT_TRUE(SameRect(record.m_sprite->GetSourceRect(), RECT{0, 64, 64, 128}));
    EXPECT_EQ(record.m_frame_index, 2);
    for (int f = 2; f < 12; ++f)
        MovePetal(record, 1060 + 30 * (f - 1));
    EXPECT_EQ(record.m_frame_index, 2); // ten frames later it is back where it was
    EXPECT_TRUE(SameRect(record.m_sprite->GetSourceRect(), RECT{0, 64, 64, 128}));

    // 281 - 1.0 per run: x is 181 after 100 runs, 180 (the edge) after 101.
    for (int run = 14; run < 100; ++run)
        MovePetal(record, 2000);
    EXPECT_EQ(record.m_active, 1);
    EXPECT_FLOAT_EQ(record.m_x, 181.0f);
    MovePetal(record, 2000);
    EXPECT_EQ(record.m_active, 0);
    EXPECT_EQ(record.m_sprite->IsVisible(), 0);
}

TEST_F(CSakuraParticleThreadTest, APetalEndsAtTheBottomEdge)
{
    PetalRecord& record = MakePetal(3);
    QueueRandom({700, 99, 219, 0}); // x 980, vx -1.01, vy 3.49
    RespawnPetal(record, 0);
    // 100 + 3.49 x 263 = 1017.87; one more run passes 1018.
    for (int run = 0; run < 263; ++run)
        MovePetal(record, 0);
    EXPECT_EQ(record.m_active, 1);
    MovePetal(record, 0);
    EXPECT_EQ(record.m_active, 0);
}

TEST_F(CSakuraParticleThreadTest, TheFirstSpawnIsAtOnceAndTheNextAfterTheDrawnInterval)
{
    std::unique_ptr<CSakuraEffect> holder;
    RunPetalCommand(holder, 3); // all petals at once, then started
    CSakuraParticle* petals = holder->GetParticles();
    ASSERT_NE(petals, nullptr);
    EXPECT_EQ(petals->GetBuiltCount(), PARTICLE_COUNT);
    EXPECT_EQ(petals->IsRunning(), 1);

    // Petal 0 (class 0) takes four draws, then the spawn interval draws 250 of 1000.
    QueueRandom({1000, 0, 0, 0, 250});
    RunTasks(1);
    const uint32_t first = EFFECT_CLOCK_START + 16;
    EXPECT_EQ(petals->GetRecord(0)->m_active, 1);
    EXPECT_EQ(petals->GetRecord(1)->m_active, 0);
    EXPECT_EQ(petals->GetNextSpawnTime(), first + 100 + 250);
    EXPECT_EQ(petals->GetInterval(), 999);

    StepTask(*petals, 21); // 336 ms later: not yet
    EXPECT_EQ(petals->GetRecord(1)->m_active, 0);
    StepTask(*petals, 1); // 352 ms
    EXPECT_EQ(petals->GetRecord(1)->m_active, 1);

    // The interval falls by one a run to its minimum of 100 (after 900 runs) and stays there.
    StepTask(*petals, 876);
    EXPECT_EQ(petals->GetInterval(), 101);
    StepTask(*petals, 1);
    EXPECT_EQ(petals->GetInterval(), 100);
    StepTask(*petals, 5);
    EXPECT_EQ(petals->GetInterval(), 100);
}

TEST_F(CSakuraParticleThreadTest, HolderSubCommands)
{
    std::unique_ptr<CSakuraEffect> holder;
    RunPetalCommand(holder, 2); // start without a holder: nothing
    EXPECT_EQ(holder, nullptr);

    RunPetalCommand(holder, 0);
    ASSERT_NE(holder, nullptr);
    ASSERT_NE(holder->GetTexture(), nullptr);
    CSakuraParticle* petals = holder->GetParticles();
    RunPetalCommand(holder, 2);
    EXPECT_EQ(petals->IsRunning(), 1);
    EXPECT_TRUE(m_runner.Has(petals));
    const int built = petals->GetBuiltCount();
    EXPECT_GE(built, 0);
    EXPECT_LE(built, PARTICLE_COUNT);
    StepTask(*petals, 50);
    EXPECT_EQ(petals->GetBuiltCount(), built); // started with what was there; no more follow

    RunPetalCommand(holder, 9); // unknown: nothing
    EXPECT_NE(holder, nullptr);
    RunPetalCommand(holder, 1);
    EXPECT_EQ(holder, nullptr);
    EXPECT_FALSE(m_runner.Has(petals));
}

TEST_F(CSakuraParticleThreadTest, TimingHoldsAcrossTheClocksWrap)
{
    // A frame turn due 30 ms after 2^32 - 10 is due at 20 after the wrap, not at once.
    PetalRecord& record = MakePetal(0);
    QueueRandom({1, 0, 0, 0}); // 30 ms a frame
    RespawnPetal(record, 0xFFFF'FFF6u);
    MovePetal(record, 0xFFFF'FFFBu);
    EXPECT_EQ(record.m_frame_index, 0);
    MovePetal(record, 19);
    EXPECT_EQ(record.m_frame_index, 0);
    MovePetal(record, 20);
    EXPECT_EQ(record.m_frame_index, 1);

    // A spawn drawn 350 ms ahead of 2^32 - 100 is due at 250 after the wrap.
    std::unique_ptr<CSakuraEffect> holder;
    RunPetalCommand(holder, 3);
    CSakuraParticle* petals = holder->GetParticles();
    ASSERT_NE(petals, nullptr);
    platform::VirtualClock::Set(0xFFFF'FFFFull - 100 - 16 + 1);
    QueueRandom({1000, 0, 0, 0, 250});
    RunTasks(1); // now 2^32 - 100
    EXPECT_EQ(petals->GetNextSpawnTime(), 250u);
    StepTask(*petals, 2); // 2^32 - 68: the old comparison took 250 as already past
    EXPECT_EQ(petals->GetRecord(1)->m_active, 0);
    StepTask(*petals, 20); // 252 after the wrap
    EXPECT_EQ(petals->GetRecord(1)->m_active, 1);
}
