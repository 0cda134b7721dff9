// The standing character's hop and shake: the four offsets worked out by hand for positive and
// negative amplitudes, the return to the base position, a disabled animation that ignores every
// call, and the set-up played through the sprite's step machine, finished early by a skip.

#include "graphics/CCharAnime.h"

#include <gtest/gtest.h>

#include "graphics/CSpriteLayer.h"
#include "graphics/SpritePlayer.h"

namespace {

class CCharAnimeTest : public ::testing::Test
{
protected:
    CCharAnimeTest()
    {
        m_sprite.Create(300, 200, 64, 64, -1);
        m_sprite.SetVisibleFlag(1);
    }

    POINT At(int32_t step)
    {
        m_anime.Update(step, 4);
        return m_sprite.GetPosition();
    }

    CSpriteLayer m_sprite;
    CCharAnime m_anime;
};

bool Same(POINT a, POINT b)
{
    return a.x == b.x && a.y == b.y;
}

} // namespace

TEST_F(CCharAnimeTest, AHopRisesHalfThenFullThenHalf)
{
    m_anime.m_flags = CHAR_ANIME_ENABLED;
    m_anime.m_sprite = &m_sprite;
    m_anime.m_vertical = 5;
    m_anime.m_horizontal = 7; // a vertical amplitude wins
    m_anime.Begin();
    EXPECT_TRUE(Same(m_sprite.GetPosition(), POINT{300, 200}));
    EXPECT_TRUE(Same(At(0), POINT{300, 200}));
    EXPECT_TRUE(Same(At(1), POINT{300, 198}));
    EXPECT_TRUE(Same(At(2), POINT{300, 195}));
    EXPECT_TRUE(Same(At(3), POINT{300, 198}));
    m_sprite.SetPosition(10, 10);
    EXPECT_TRUE(Same(At(4), POINT{10, 10})); // ticks past the fourth do nothing
    m_anime.End();
    EXPECT_TRUE(Same(m_sprite.GetPosition(), POINT{300, 200}));
}

TEST_F(CCharAnimeTest, ANegativeAmplitudeDipsAndDividesTowardZero)
{
    m_anime.m_flags = CHAR_ANIME_ENABLED;
    m_anime.m_sprite = &m_sprite;
    m_anime.m_vertical = -5;
    m_anime.Begin();
    EXPECT_TRUE(Same(At(1), POINT{300, 202}));
    EXPECT_TRUE(Same(At(2), POINT{300, 205}));
    EXPECT_TRUE(Same(At(3), POINT{300, 202}));
}

TEST_F(CCharAnimeTest, AShakeGoesLeftThenRightThenHome)
{
    m_anime.m_flags = CHAR_ANIME_ENABLED;
    m_anime.m_sprite = &m_sprite;
    m_anime.m_horizontal = 8;
    m_anime.Begin();
    EXPECT_TRUE(Same(m_sprite.GetPosition(), POINT{300, 200})); // the step's start is tick 0
    EXPECT_TRUE(Same(At(1), POINT{292, 200}));
    EXPECT_TRUE(Same(At(2), POINT{308, 200}));
    EXPECT_TRUE(Same(At(3), POINT{300, 200}));
}

TEST_F(CCharAnimeTest, ADisabledAnimationIgnoresEveryCall)
{
    m_anime.m_sprite = &m_sprite;
    m_anime.m_vertical = 5;
    m_anime.Begin();
    EXPECT_TRUE(Same(At(1), POINT{300, 200}));
    m_sprite.SetPosition(50, 60);
    m_anime.End();
    EXPECT_TRUE(Same(m_sprite.GetPosition(), POINT{50, 60}));
}

TEST_F(CCharAnimeTest, ArmedItPlaysAsAFourTickStepAndASkipPutsTheSpriteBack)
{
    m_anime.Arm(&m_sprite, CHAR_ANIME_HOP, 10);
    ASSERT_EQ(m_sprite.GetAnimationCount(), 1);
    SpritePlayer player(m_sprite);
    player.Play();
    player.Tick(); // the task's first tick updates with elapsed 1
    EXPECT_TRUE(Same(m_sprite.GetPosition(), POINT{300, 195}));
    player.Tick();
    EXPECT_TRUE(Same(m_sprite.GetPosition(), POINT{300, 190}));
    m_sprite.FinishAnimations(); // a skip: the step ends at once
    EXPECT_TRUE(Same(m_sprite.GetPosition(), POINT{300, 200}));
    EXPECT_FALSE(m_sprite.IsAnimating());

    m_anime.Arm(&m_sprite, CHAR_ANIME_SHAKE, 6); // reused for a shake
    EXPECT_EQ(m_anime.m_vertical, 0);
    EXPECT_EQ(m_anime.m_horizontal, 6);
    player.Play();
    for (int tick = 0; tick < 4; ++tick)
        player.Tick();
    EXPECT_FALSE(m_sprite.IsAnimating());
    EXPECT_TRUE(Same(m_sprite.GetPosition(), POINT{300, 200}));
}
