// The single snowball: its sway, the fall from y 100 to its stop in 347 runs with the landing
// sound played once through the music group, the fade of about 101 runs, the next fall while the
// task runs, and the holder's sub-commands.

#include "graphics/CSnowParticleOne.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "foundation/DocumentLink.h"
#include "graphics/CSakuraEffect.h"
#include "graphics/CSnowFirstOne.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/CTextureLayer.h"
#include "graphics/EffectFixture.h"
#include "graphics/ParticleCommands.h"
#include "sound/SoundChannels.h"
#include "support/FakeWaveManager.h"

namespace {

class CSnowParticleOneThreadTest : public EffectFixture
{
protected:
    CSnowParticleOneThreadTest()
    {
        OpenLayerArchive();
        auto channel = std::make_unique<FakeWaveManager>();
        m_channel = channel.get();
        GetGameSoundChannels()[SOUND_GROUP_MUSIC].push_back(std::move(channel));
        // The landing sound reaches the document through its link, as in a started game.
        SetDocumentLink(GetDocument());
        m_texture.reset(LoadEffectTexture("SnowBall.akb"));
        EXPECT_EQ(m_snowball.Create(m_texture.get(), SNOWBALL_START_X, SNOWBALL_STOP_Y), 1);
        m_snowball.SetRunning(1);
    }

    ~CSnowParticleOneThreadTest() override { SetDocumentLink(nullptr); }

    void Run(int runs)
    {
        for (int i = 0; i < runs; ++i)
            m_snowball.Execute();
    }

    FakeWaveManager* m_channel = nullptr; // not owned: the document's
    std::unique_ptr<CTextureLayer> m_texture;
    CSnowParticleOne m_snowball;
};

// Music at its default 65 under the default master 75: -5000 - trunc(0.65 x -5000 x 0.75).
const std::vector<std::string> LANDING = {"volume -2563", "play DREAM.wav"};

} // namespace

TEST(SnowballSway, IsAThirdOfAPixelAtMostAndStartsAtFifteenDegrees)
{
    EXPECT_NEAR(SnowballSway(0), 0.0776457, 1e-6); // 0.3 sin 15°
    EXPECT_NEAR(SnowballSway(75), 0.3, 1e-9);      // 0.3 sin 90°
    EXPECT_NEAR(SnowballSway(165), 0.0, 1e-6);     // sin 180°, with pi as 3.141592
    EXPECT_NEAR(SnowballSway(255), -0.3, 1e-9);    // sin 270°
    EXPECT_NEAR(SnowballSway(360), SnowballSway(0), 1e-6);
}

TEST_F(CSnowParticleOneThreadTest, CreateLeavesTenHiddenImagesFadingBackwards)
{
    SnowballRecord* record = m_snowball.GetRecord();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->m_active, 0);
    EXPECT_EQ(record->m_start_x, 665);
    EXPECT_EQ(record->m_stop_y, 360);
    for (int k = 0; k < SNOW_SPRITE_COUNT; ++k) {
        CSpriteTexture& sprite = *record->m_sprites[static_cast<size_t>(k)];
        EXPECT_EQ(sprite.GetAlpha(), 101 - 10 * k);
        EXPECT_EQ(sprite.GetPriority(), 6);
        EXPECT_EQ(sprite.IsVisible(), 0);
    }
}

TEST_F(CSnowParticleOneThreadTest, FallsToItsStopInThreeHundredFortySevenRunsAndPlaysItsSoundOnce)
{
    Run(1);
    SnowballRecord& record = *m_snowball.GetRecord();
    EXPECT_EQ(m_snowball.IsActive(), 1);
    EXPECT_FLOAT_EQ(record.m_y, 100.75f);
    EXPECT_NEAR(record.m_x, 665.0776457, 1e-4);
    EXPECT_FLOAT_EQ(record.m_scale, 0.3f);
    EXPECT_FLOAT_EQ(record.m_sprites[9]->GetScale().x, 0.21f);

    Run(345);
    EXPECT_FLOAT_EQ(record.m_y, 359.5f);
    EXPECT_EQ(record.m_state, 0);
    EXPECT_TRUE(m_channel->Calls().empty());
    Run(1); // 100 + 0.75 x 347 = 360.25
    EXPECT_EQ(record.m_state, 1);
    EXPECT_EQ(m_channel->Calls(), LANDING);
    Run(20);
    EXPECT_EQ(m_channel->Calls(), LANDING);
}

TEST_F(CSnowParticleOneThreadTest, FadesOutOverAHundredAndOneRunsThenFallsAgain)
{
    Run(347);
    SnowballRecord& record = *m_snowball.GetRecord();
    Run(100);
    EXPECT_EQ(record.m_sprites[0]->GetAlpha(), 1);
    EXPECT_EQ(record.m_sprites[9]->GetAlpha(), 0); // 11 to 0 in eleven runs, then held there
    EXPECT_EQ(m_snowball.IsActive(), 1);
    Run(1);
    EXPECT_EQ(m_snowball.IsActive(), 0);
    for (auto& sprite : record.m_sprites)
        EXPECT_EQ(sprite->IsVisible(), 0);
    EXPECT_TRUE(record.m_history.empty());

    // Still running: it falls again from the top, as bright as the first time.
    Run(1);
    EXPECT_EQ(m_snowball.IsActive(), 1);
    EXPECT_FLOAT_EQ(record.m_y, 100.75f);
    EXPECT_EQ(record.m_sprites[0]->GetAlpha(), 101);
    EXPECT_EQ(record.m_sprites[0]->IsVisible(), 1);
    Run(346);
    EXPECT_EQ(m_channel->Calls().size(), 4u); // landed a second time
}

TEST_F(CSnowParticleOneThreadTest, StoppedItStaysDownAfterItsFade)
{
    Run(347 + 101);
    m_snowball.SetRunning(0);
    Run(10);
    EXPECT_EQ(m_snowball.IsActive(), 0);
}

TEST_F(CSnowParticleOneThreadTest, WithoutAMusicChannelTheLandingIsSilent)
{
    GetGameSoundChannels()[SOUND_GROUP_MUSIC].clear();
    Run(347);
    EXPECT_EQ(m_snowball.GetRecord()->m_state, 1);
}

TEST_F(CSnowParticleOneThreadTest, HolderStartsAtOnceAndLeavesTheTaskListWhenDeleted)
{
    std::unique_ptr<CSnowFirstOne> holder;
    RunSnowballCommand(holder, 2); // nothing to wait for here
    RunSnowballCommand(holder, 0);
    ASSERT_NE(holder, nullptr);
    CSnowParticleOne* snowball = holder->GetParticle();
    EXPECT_TRUE(m_runner.Has(snowball));
    EXPECT_EQ(snowball->IsRunning(), 1);
    RunTasks(1);
    EXPECT_EQ(snowball->IsActive(), 1);
    EXPECT_EQ(snowball->GetRecord()->m_start_x, 665);
    RunSnowballCommand(holder, 1);
    EXPECT_EQ(holder, nullptr);
    EXPECT_FALSE(m_runner.Has(snowball));
}
