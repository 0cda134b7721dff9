// The animation step machine, played tick by tick as the sprite animation task plays it.

#include "graphics/CSprite.h"

#include "graphics/CSpriteLayer.h"
#include "graphics/IUserAnime.h"
#include "graphics/SpritePlayer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A visible 10 x 10 sprite at (0, 0), not registered for drawing.
class CSpriteTest : public ::testing::Test
{
protected:
    CSpriteTest()
    {
        m_sprite.Create(0, 0, 10, 10, -1);
        m_sprite.SetVisibleFlag(1);
    }

    int32_t X() { return m_sprite.GetPosition().x; }

    CSpriteLayer m_sprite;
    SpritePlayer m_player{m_sprite};
};

// Writes its name to a shared log when a step starts, updates or ends.
class LoggingAnime final : public IUserAnime
{
public:
    LoggingAnime(std::string name, std::vector<std::string>& log)
        : m_name(std::move(name))
        , m_log(log)
    {}
    void Begin() override { m_log.push_back(m_name); }
    void End() override { m_log.push_back("end " + m_name); }
    void Update(int32_t step, int32_t steps) override
    {
        m_log.push_back(m_name + " " + std::to_string(step) + "/" + std::to_string(steps));
    }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

SpriteAnimRecord Move(int32_t to_x, int32_t duration)
{
    SpriteAnimRecord record(duration);
    record.SetRect(0, 0, to_x, 0);
    return record;
}

} // namespace

TEST(SpriteAnimRecord, DurationIsAtLeastOneFrame)
{
    EXPECT_EQ(SpriteAnimRecord(0).m_duration, 1);
    EXPECT_EQ(SpriteAnimRecord(-5).m_duration, 1);
    EXPECT_EQ(SpriteAnimRecord(7).m_duration, 7);
    EXPECT_EQ(SpriteAnimRecord().m_kinds, 0u);
}

TEST_F(CSpriteTest, MoveAdvancesLinearlyAndLandsOnTheLastFrame)
{
    m_sprite.AddAnimation(Move(100, 4));
    m_player.Play();
    EXPECT_EQ(X(), 0);
    std::vector<int32_t> xs;
    for (int frame = 0; frame < 4; ++frame) {
        m_player.Tick();
        xs.push_back(X());
    }
    EXPECT_EQ(xs, (std::vector<int32_t>{25, 50, 75, 100}));
    EXPECT_FALSE(m_sprite.IsAnimating());
    EXPECT_EQ(m_sprite.GetAnimationCount(), 0);
    // The rectangle keeps its size as it moves.
    EXPECT_EQ(m_sprite.GetRect()->right, 110);
}

TEST_F(CSpriteTest, FinishingEarlyAppliesTheFinalState)
{
    m_sprite.AddAnimation(Move(100, 4));
    SpriteAnimRecord fade(3);
    fade.SetAlpha(0, 200);
    m_sprite.AddAnimation(fade);
    m_player.Play();
    m_player.Tick();
    m_sprite.FinishAnimations();
    EXPECT_EQ(X(), 100);
    EXPECT_EQ(m_sprite.GetAlpha(), 200);
    EXPECT_FALSE(m_sprite.IsAnimating());
    EXPECT_EQ(m_sprite.GetAnimationCount(), 0);
}

TEST_F(CSpriteTest, AlphaFadeTruncatesEachFrame)
{
    SpriteAnimRecord fade(3);
    fade.SetAlpha(255, 0);
    m_sprite.AddAnimation(fade);
    m_player.Play();
    EXPECT_EQ(m_sprite.GetAlpha(), 255);
    std::vector<int32_t> alphas;
    for (int frame = 0; frame < 3; ++frame) {
        m_player.Tick();
        alphas.push_back(m_sprite.GetAlpha());
    }
    // 255 - 255 x 1 / 3 = 170, 255 - 255 x 2 / 3 = 85, then the end value.
    EXPECT_EQ(alphas, (std::vector<int32_t>{170, 85, 0}));
}

TEST_F(CSpriteTest, DelayHoldsTheStepThenItAdvancesTwice)
{
    SpriteAnimRecord record(3);
    record.SetDelay(3);
    record.SetAlpha(0, 90);
    m_sprite.AddAnimation(record);
    m_player.Play();
    std::vector<int32_t> alphas;
    for (int frame = 0; frame < 5; ++frame) {
        m_player.Tick();
        alphas.push_back(m_sprite.GetAlpha());
    }
    // Three frames at the start value; in the fourth the delay runs out and the fade takes two
    // updates (30, then 60); the fifth ends the step.
    EXPECT_EQ(alphas, (std::vector<int32_t>{0, 0, 0, 60, 90}));
}

TEST_F(CSpriteTest, VisibleStepsShowAtTheStartAndHideAtTheEnd)
{
    m_sprite.SetVisibleFlag(0);
    SpriteAnimRecord show(2);
    show.SetVisible(1);
    m_sprite.AddAnimation(show);
    m_player.Play();
    EXPECT_EQ(m_sprite.IsVisible(), 1);

    CSpriteLayer other;
    other.Create(0, 0, 1, 1, -1);
    other.SetVisibleFlag(1);
    SpriteAnimRecord hide(2);
    hide.SetVisible(0);
    other.AddAnimation(hide);
    SpritePlayer player(other);
    player.Play();
    player.Tick();
    EXPECT_EQ(other.IsVisible(), 1);
    player.Tick();
    EXPECT_EQ(other.IsVisible(), 0);
}

TEST_F(CSpriteTest, JumpWithCountReplaysThenPlaysItselfOnce)
{
    std::vector<std::string> log;
    LoggingAnime a("A", log), b("B", log), c("C", log);
    SpriteAnimRecord ra(1), rb(1), jump(1), rc(1);
    ra.SetUserAnime(&a);
    rb.SetUserAnime(&b);
    jump.SetJump(2, 0);
    rc.SetUserAnime(&c);
    for (const auto& r : {ra, rb, jump, rc})
        m_sprite.AddAnimation(r);
    m_player.Play();
    for (int frame = 0; frame < 12 && m_sprite.IsAnimating(); ++frame)
        m_player.Tick();
    std::vector<std::string> begins;
    for (const std::string& entry : log)
        if (entry.size() == 1)
            begins.push_back(entry);
    EXPECT_EQ(begins, (std::vector<std::string>{"A", "B", "A", "B", "A", "B", "C"}));
    EXPECT_FALSE(m_sprite.IsAnimating());
}

TEST_F(CSpriteTest, EndlessJumpLoopsUntilFinished)
{
    m_sprite.AddAnimation(Move(10, 2));
    SpriteAnimRecord jump(1);
    jump.SetJump(JUMP_FOREVER, 0);
    m_sprite.AddAnimation(jump);
    m_player.Play();
    for (int frame = 0; frame < 50; ++frame)
        m_player.Tick();
    EXPECT_TRUE(m_sprite.IsAnimating());
    m_sprite.FinishAnimations();
    EXPECT_FALSE(m_sprite.IsAnimating());
    EXPECT_EQ(m_sprite.GetAnimationCount(), 0);
    EXPECT_EQ(X(), 10);
}

TEST_F(CSpriteTest, MarkersAreSkippedOrEndTheListWhenAsked)
{
    m_sprite.AddAnimation(Move(10, 1));
    SpriteAnimRecord marker(1);
    marker.SetMarker();
    m_sprite.AddAnimation(marker);
    m_sprite.AddAnimation(Move(20, 1));
    m_player.Play();
    m_player.Tick();
    EXPECT_EQ(m_sprite.GetAnimationIndex(), 3); // the marker was passed over
    m_player.Tick();
    EXPECT_EQ(X(), 20);

    CSpriteLayer other;
    other.Create(0, 0, 1, 1, -1);
    other.SetVisibleFlag(1);
    other.AddAnimation(Move(10, 1));
    other.AddAnimation(marker);
    other.AddAnimation(Move(20, 1));
    SpritePlayer player(other);
    player.Play();
    other.SetAdvanceFlags(ADVANCE_STOP_AT_MARKER);
    player.Tick();
    EXPECT_EQ(other.GetPosition().x, 10);
    EXPECT_FALSE(other.IsAnimating());
    EXPECT_EQ(other.GetAnimationCount(), 0);
    EXPECT_EQ(other.GetAdvanceFlags(), 0u);
}

TEST_F(CSpriteTest, ReversePlaysFromTheLastRecord)
{
    std::vector<std::string> log;
    LoggingAnime a("A", log), b("B", log), c("C", log);
    for (IUserAnime* anime :
         {static_cast<IUserAnime*>(&a), static_cast<IUserAnime*>(&b), static_cast<IUserAnime*>(&c)}) {
        SpriteAnimRecord record(1);
        record.SetUserAnime(anime);
        m_sprite.AddAnimation(record);
    }
    m_player.Play(true);
    for (int frame = 0; frame < 5; ++frame)
        m_player.Tick();
    std::vector<std::string> begins;
    for (const std::string& entry : log)
        if (entry.size() == 1)
            begins.push_back(entry);
    EXPECT_EQ(begins, (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_FALSE(m_sprite.IsAnimating());
    EXPECT_EQ(m_sprite.GetAnimationCount(), 0);
}

TEST_F(CSpriteTest, RecordWithoutKindsStopsThePlayUntilFinished)
{
    m_sprite.AddAnimation(Move(10, 1));
    m_sprite.AddAnimation(SpriteAnimRecord(5));
    m_sprite.AddAnimation(Move(20, 1));
    m_player.Play();
    m_player.Tick();
    EXPECT_FALSE(m_sprite.IsAnimating());
    EXPECT_EQ(m_sprite.GetAnimationCount(), 3);
    m_sprite.FinishAnimations();
    EXPECT_EQ(X(), 20);
}

TEST_F(CSpriteTest, UserAnimationSeesEveryTick)
{
    std::vector<std::string> log;
    LoggingAnime anime("U", log);
    SpriteAnimRecord record(3);
    record.SetUserAnime(&anime);
    m_sprite.AddAnimation(record);
    m_player.Play();
    for (int frame = 0; frame < 3; ++frame)
        m_player.Tick();
    EXPECT_EQ(log, (std::vector<std::string>{"U", "U 1/3", "U 2/3", "end U"}));
}

TEST_F(CSpriteTest, HiddenSpritesAreNotAdvanced)
{
    m_sprite.AddAnimation(Move(100, 4));
    m_player.Play();
    m_sprite.SetVisibleFlag(0);
    m_player.Tick();
    EXPECT_EQ(X(), 0);
}

// Bad data must end a list, never loop the task thread for ever.
TEST_F(CSpriteTest, JumpOutsideTheListEndsIt)
{
    for (int32_t target : {7, -1, -100}) {
        CSpriteLayer sprite;
        sprite.Create(0, 0, 1, 1, -1);
        sprite.SetVisibleFlag(1);
        sprite.AddAnimation(Move(10, 1));
        SpriteAnimRecord jump(1);
        jump.SetJump(JUMP_FOREVER, target);
        sprite.AddAnimation(jump);
        sprite.AddAnimation(Move(20, 1));
        SpritePlayer player(sprite);
        player.Play();
        player.Tick();
        EXPECT_EQ(sprite.GetPosition().x, 10) << target;
        EXPECT_FALSE(sprite.IsAnimating()) << target;
        EXPECT_EQ(sprite.GetAnimationCount(), 0) << target;
    }
}

TEST_F(CSpriteTest, JumpCycleWithoutStepsEndsTheList)
{
    // 0 plays, 1 is a marker, 2 jumps back to the marker for ever: no step is ever reached.
    m_sprite.AddAnimation(Move(10, 1));
    SpriteAnimRecord marker(1);
    marker.SetMarker();
    m_sprite.AddAnimation(marker);
    SpriteAnimRecord jump(1);
    jump.SetJump(JUMP_FOREVER, 1);
    m_sprite.AddAnimation(jump);
    m_player.Play();
    m_player.Tick();
    EXPECT_FALSE(m_sprite.IsAnimating());
    EXPECT_EQ(m_sprite.GetAnimationCount(), 0);
}

TEST_F(CSpriteTest, AccessorDefaults)
{
    EXPECT_EQ(m_sprite.GetPriority(), -1);
    RECT draw = m_sprite.GetDrawRect(); // dirty rectangle empty: the sprite rectangle
    m_sprite.Invalidate(0, RECT{});
    draw = m_sprite.GetDrawRect();
    EXPECT_EQ(draw.right, 10);
    EXPECT_EQ(draw.bottom, 10);
    m_sprite.MoveToF(10.9f, -3.7f);
    EXPECT_EQ(m_sprite.GetPosition().x, 10);
    EXPECT_EQ(m_sprite.GetPosition().y, -3);
    m_sprite.SetAlpha(128);
    EXPECT_EQ(m_sprite.GetAlpha(), 128);
    // Mode 1 grows the dirty rectangle; mode 0 empties it and clears the layer's flag.
    m_sprite.Invalidate(0, RECT{});
    m_sprite.Invalidate(1, RECT{2, 2, 4, 4});
    m_sprite.Invalidate(1, RECT{5, 1, 6, 3});
    draw = m_sprite.GetDrawRect();
    EXPECT_EQ(draw.left, 2);
    EXPECT_EQ(draw.top, 1);
    EXPECT_EQ(draw.right, 6);
    EXPECT_EQ(draw.bottom, 4);
    EXPECT_EQ(m_sprite.IsLayerModified(), 1);
    m_sprite.Invalidate(0, RECT{});
    EXPECT_EQ(m_sprite.IsLayerModified(), 0);
    EXPECT_EQ(m_sprite.GetDrawRect().left, 10);
}
