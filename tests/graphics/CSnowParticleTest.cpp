// The falling snow: what a respawn draws for a small and a big flake, the trail of nine images
// that follows a flake, the bottom edge, and the holder's sub-commands with a builder thread.

#include "graphics/CSnowParticle.h"

#include <memory>

#include <gtest/gtest.h>

#include "graphics/CSakuraEffect.h"
#include "graphics/CSnowEffect.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/CTextureLayer.h"
#include "graphics/EffectFixture.h"
#include "graphics/ParticleCommands.h"

namespace {

class CSnowParticleThreadTest : public EffectFixture
{
protected:
    CSnowParticleThreadTest() { OpenLayerArchive(); }

    SnowRecord& MakeFlake(int size_class)
    {
        m_texture.reset(LoadEffectTexture("SnowBall.akb"));
        m_record = std::make_unique<SnowRecord>();
        EXPECT_EQ(InitSnowflake(*m_record, m_texture.get(), size_class), 1);
        return *m_record;
    }

    std::unique_ptr<CTextureLayer> m_texture;
    std::unique_ptr<SnowRecord> m_record;
};

int VisibleCount(SnowRecord& record)
{
    int shown = 0;
    for (auto& sprite : record.m_sprites)
        shown += sprite->IsVisible();
    return shown;
}

} // namespace

TEST_F(CSnowParticleThreadTest, BiggerFlakesGetLaterPriorities)
{
    const int32_t expected[] = {1, 3, 5, 7};
    for (int size_class = 0; size_class < 4; ++size_class) {
        SnowRecord& record = MakeFlake(size_class);
        for (auto& sprite : record.m_sprites) {
            EXPECT_EQ(sprite->GetPriority(), expected[size_class]);
            EXPECT_EQ(sprite->IsVisible(), 0);
        }
    }
}

TEST_F(CSnowParticleThreadTest, RespawnDrawsEachClassAndFadesTheTrailImages)
{
    // A big flake: x = 120 + 100, vx = 40 / 100 - 0.5 kept, vy = 20 / 100 + 1.3, scale 10 / 100 + 0.5.
    SnowRecord& big = MakeFlake(3);
    QueueRandom({100, 40, 20, 10});
    RespawnSnowflake(big);
    EXPECT_EQ(RandomLeft(), 0u);
    EXPECT_FLOAT_EQ(big.m_x, 220.0f);
    EXPECT_FLOAT_EQ(big.m_y, -64.0f);
    EXPECT_FLOAT_EQ(big.m_vx, -0.1f);
    EXPECT_FLOAT_EQ(big.m_vy, 1.5f);
    EXPECT_FLOAT_EQ(big.m_scale, 0.6f);
    EXPECT_EQ(big.m_active, 1);
    for (int k = 0; k < SNOW_SPRITE_COUNT; ++k) {
        CSpriteTexture& sprite = *big.m_sprites[static_cast<size_t>(k)];
        EXPECT_EQ(sprite.GetAlpha(), 100 - 10 * k) << k;
        EXPECT_FLOAT_EQ(sprite.GetScale().x, 0.6f - 0.01f * k) << k;
        EXPECT_FLOAT_EQ(sprite.GetZoomCenter().x, 32.0f);
        EXPECT_EQ(sprite.IsVisible(), k == 0 ? 1 : 0) << k;
    }

    // A small flake draws its own sideways speed: 50 / 10000 - 0.05, and falls at 0 / 100 + 0.3.
    SnowRecord& small = MakeFlake(0);
    QueueRandom({0, 99, 50, 0});
    RespawnSnowflake(small);
    EXPECT_FLOAT_EQ(small.m_x, 120.0f);
    EXPECT_FLOAT_EQ(small.m_vx, -0.045f);
    EXPECT_FLOAT_EQ(small.m_vy, 0.3f);
    EXPECT_FLOAT_EQ(small.m_scale, 0.1f);
}

TEST_F(CSnowParticleThreadTest, TheTrailShowsWhereTheFlakeWasOnEarlierRuns)
{
    SnowRecord& flake = MakeFlake(3);
    QueueRandom({100, 40, 20, 10}); // from (220, -64), 0.1 left and 1.5 down a run
    RespawnSnowflake(flake);

    UpdateSnowflake(flake);
    EXPECT_EQ(VisibleCount(flake), 1); // nothing behind it on its first run
    EXPECT_FLOAT_EQ(flake.m_sprites[0]->GetPositionFloat().y, -62.5f);
    UpdateSnowflake(flake);
    EXPECT_EQ(VisibleCount(flake), 2);
    EXPECT_FLOAT_EQ(flake.m_sprites[1]->GetPositionFloat().y, -62.5f);

    for (int run = 3; run <= 12; ++run)
        UpdateSnowflake(flake);
    EXPECT_EQ(VisibleCount(flake), 10); // never more than nine behind it
    EXPECT_EQ(flake.m_history.size(), 11u);
    EXPECT_EQ(flake.m_frame_counter, 12);
    // After 12 runs, image k shows the position after run 12 - k: y = -64 + 1.5 (12 - k).
    for (int k = 1; k < SNOW_SPRITE_COUNT; ++k) {
        const DirectX::XMFLOAT2 at = flake.m_sprites[static_cast<size_t>(k)]->GetPositionFloat();
        EXPECT_FLOAT_EQ(at.y, -64.0f + 1.5f * static_cast<float>(12 - k)) << k;
        EXPECT_NEAR(at.x, 220.0f - 0.1f * static_cast<float>(12 - k), 1e-3) << k;
    }
}

TEST_F(CSnowParticleThreadTest, AFlakeEndsBelowTheScreenAndForgetsItsTrail)
{
    SnowRecord& flake = MakeFlake(3);
    QueueRandom({100, 40, 20, 10}); // 1.5 down a run from -64
    RespawnSnowflake(flake);
    // -64 + 1.5 x 829 = 1179.5 is still on; 830 runs reach 1181.
    for (int run = 0; run < 829; ++run)
        UpdateSnowflake(flake);
    EXPECT_EQ(flake.m_active, 1);
    UpdateSnowflake(flake);
    EXPECT_EQ(flake.m_active, 0);
    EXPECT_EQ(VisibleCount(flake), 0);
    EXPECT_TRUE(flake.m_history.empty());
}

TEST_F(CSnowParticleThreadTest, HolderSubCommandsWithABuilderThread)
{
    std::unique_ptr<CSnowEffect> holder;
    RunSnowCommand(holder, 0);
    ASSERT_NE(holder, nullptr);
    CSnowParticle* flakes = holder->GetParticles();
    ASSERT_NE(holder->GetTexture(), nullptr);
    RunSnowCommand(holder, 2);
    const int built = flakes->GetBuiltCount();
    EXPECT_TRUE(m_runner.Has(flakes));
    QueueRandom({500, 0, 0, 0, 0, 0}); // the first flake, then a spawn 100 ms later
    StepTask(*flakes, 1);
    if (built > 0) {
        EXPECT_EQ(flakes->GetRecord(0)->m_active, 1);
        EXPECT_FLOAT_EQ(flakes->GetRecord(0)->m_x, 620.0f - 0.05f);
    }
    EXPECT_EQ(flakes->GetBuiltCount(), built);

    RunSnowCommand(holder, 3); // replaces it with one built at once
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(holder->GetParticles()->GetBuiltCount(), PARTICLE_COUNT);
    EXPECT_EQ(holder->GetParticles()->IsRunning(), 1);
    RunSnowCommand(holder, 1);
    EXPECT_EQ(holder, nullptr);
}

TEST_F(CSnowParticleThreadTest, AMissingPictureStillMakesSprites)
{
    OpenLayerArchive({}, false);
    std::unique_ptr<CSnowEffect> holder;
    RunSnowCommand(holder, 3);
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(holder->GetTexture(), nullptr);
    EXPECT_EQ(holder->GetParticles()->GetBuiltCount(), PARTICLE_COUNT);
    EXPECT_EQ(m_messages.size(), 1u); // the archive's message about the missing entry
}
