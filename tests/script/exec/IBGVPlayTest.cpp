// The background-voice player stepped by hand over recording channels: fade-in of one file played
// once, a list played back to back, characters with their voice off skipped without a gap, the
// fade-out that empties the list, and a list grown while the step runs on another thread.

#include "script/exec/IBGVPlay.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "app/TestApp.h"
#include "foundation/ConfigSettings.h"
#include "sound/SoundChannels.h"
#include "support/FakeWaveManager.h"
#include "support/TempDir.h"
#include "support/ThreadTest.h"

using ::testing::ElementsAre;

namespace {

class IBGVPlayThreadTest : public ThreadTest
{
protected:
    IBGVPlayThreadTest()
    {
        m_app.UseConfigFile(m_dir.PathOf("config.xml"));
        for (int i = 0; i < 4; ++i) {
            auto channel = std::make_unique<FakeWaveManager>();
            m_channels.push_back(channel.get());
            GetGameSoundChannels()[SOUND_GROUP_VOICE].push_back(std::move(channel));
        }
    }
    ~IBGVPlayThreadTest() override { DeleteDocument(); }

    FakeWaveManager& Channel() { return *m_channels[2]; }
    // The calls that one file's start makes.
    static std::vector<std::string> StartCalls(const char* name)
    {
        return {"volume -5000", std::string("play ") + name,
                "fade 70 " + std::to_string(GetVoiceAttenuation(name)) + " 0"};
    }
    // Steps the player, with the channel falling silent before each step.
    void StepSilent(IBGVPlay& player, int steps)
    {
        for (int i = 0; i < steps; ++i) {
            Channel().SetPlaying(false);
            player.Execute();
        }
    }

    TempDir m_dir;
    TestApp m_app;
    std::vector<FakeWaveManager*> m_channels; // not owned: the document's
};

} // namespace

TEST_F(IBGVPlayThreadTest, OneFileRisesFromTheStartVolumeAndPlaysOnce)
{
    IBGVPlay player(2);
    player.Start("r01.ogg");
    StepSilent(player, 5);
    EXPECT_EQ(Channel().Calls(), StartCalls("r01.ogg"));
    EXPECT_EQ(player.IsStarted(), 1);
    EXPECT_TRUE(m_channels[3]->Calls().empty());
}

TEST_F(IBGVPlayThreadTest, AListPlaysBackToBackWaitingWhileTheChannelPlays)
{
    IBGVPlay player(2);
    player.Start("r01.ogg");
    player.AddFile("o01.ogg");
    player.AddFile("f01.ogg");
    player.Execute();
    Channel().SetPlaying(true);
    player.Execute(); // still playing: nothing new
    EXPECT_EQ(Channel().Calls(), StartCalls("r01.ogg"));
    StepSilent(player, 4);
    std::vector<std::string> expected = StartCalls("r01.ogg");
    for (const char* name : {"o01.ogg", "f01.ogg"}) {
        const std::vector<std::string> calls = StartCalls(name);
        expected.insert(expected.end(), calls.begin(), calls.end());
    }
    EXPECT_EQ(Channel().Calls(), expected);
    EXPECT_EQ(player.GetIndex(), 2);
}

TEST_F(IBGVPlayThreadTest, CharactersWithTheirVoiceOffAreSkipped)
{
    m_app.Config().SetInt("/Config/CharVoice/01/Enable", 0); // "o..." files
    IBGVPlay player(2);
    player.Start("r01.ogg");
    player.AddFile("o01.ogg");
    player.AddFile("f01.ogg");
    StepSilent(player, 2);
    std::vector<std::string> expected = StartCalls("r01.ogg");
    const std::vector<std::string> third = StartCalls("f01.ogg");
    expected.insert(expected.end(), third.begin(), third.end());
    EXPECT_EQ(Channel().Calls(), expected); // the second step went straight on to the third file

    m_app.Config().SetInt("/Config/Voice/Enable", 0);
    IBGVPlay silent(3);
    silent.Start("r01.ogg");
    silent.AddFile("f01.ogg");
    silent.Execute();
    EXPECT_TRUE(m_channels[3]->Calls().empty());
    EXPECT_EQ(silent.IsStarted(), 1);
    IBGVPlay single(3);
    single.Start("r01.ogg");
    single.Execute();
    EXPECT_TRUE(m_channels[3]->Calls().empty());
    EXPECT_EQ(single.IsStarted(), 1);
}

TEST_F(IBGVPlayThreadTest, StopAndFadeOutEmptyTheListRestartPlaysItAgain)
{
    IBGVPlay player(2);
    player.Start("r01.ogg");
    player.AddFile("o01.ogg");
    player.Execute();
    Channel().ClearCalls();
    player.FadeOut();
    EXPECT_THAT(Channel().Calls(), ElementsAre("fade 60 -5000 1"));
    EXPECT_TRUE(player.GetFiles().empty());
    EXPECT_EQ(player.IsStarted(), 0);
    StepSilent(player, 2);
    EXPECT_THAT(Channel().Calls(), ElementsAre("fade 60 -5000 1"));

    player.Start("r01.ogg");
    player.AddFile("o01.ogg");
    StepSilent(player, 3);
    player.Restart();
    EXPECT_EQ(player.GetIndex(), -1);
    Channel().ClearCalls();
    StepSilent(player, 1);
    EXPECT_EQ(Channel().Calls(), StartCalls("r01.ogg"));
    Channel().ClearCalls();
    player.Stop();
    EXPECT_THAT(Channel().Calls(), ElementsAre("stop forget"));
    EXPECT_TRUE(player.GetFiles().empty());
}

TEST_F(IBGVPlayThreadTest, AChannelTheVoiceGroupLacksPlaysNothing)
{
    IBGVPlay player(7);
    player.Start("r01.ogg");
    player.Execute();
    player.FadeOut();
    for (FakeWaveManager* channel : m_channels)
        EXPECT_TRUE(channel->Calls().empty());
}

// Run under the thread sanitizer: the script thread appends while the task thread steps.
TEST_F(IBGVPlayThreadTest, AppendingWhileTheStepRunsIsSafe)
{
    IBGVPlay player(2);
    player.Start("r01.ogg");
    std::atomic<bool> done{false};
    std::thread task([&] {
        while (!done.load())
            player.Execute();
    });
    for (int i = 0; i < 2000; ++i)
        player.AddFile("f01.ogg");
    done = true;
    task.join();
    EXPECT_EQ(player.GetFiles().size(), 2001u);
    EXPECT_LE(player.GetIndex(), 2000);
}
