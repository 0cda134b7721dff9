// The music group's play: the volume from the music, master and switch settings, worked out by
// hand, set before the named file plays; a channel the group lacks plays nothing.

#include "script/commands/CFuncMusic.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "app/TestApp.h"
#include "sound/SoundChannels.h"
#include "support/FakeWaveManager.h"
#include "support/TempDir.h"

namespace {

class CFuncMusicTest : public ::testing::Test
{
protected:
    CFuncMusicTest()
    {
        m_app.UseConfigFile(m_dir.PathOf("config.xml"));
        for (int i = 0; i < 2; ++i) {
            auto channel = std::make_unique<FakeWaveManager>();
            m_channels.push_back(channel.get());
            GetGameSoundChannels()[SOUND_GROUP_MUSIC].push_back(std::move(channel));
        }
    }
    ~CFuncMusicTest() override { DeleteDocument(); }

    TempDir m_dir;
    TestApp m_app;
    std::vector<FakeWaveManager*> m_channels; // not owned: the document's
};

} // namespace

TEST_F(CFuncMusicTest, VolumeFollowsMusicAndMasterSettings)
{
    CFuncMusic music;
    // Defaults 65 and 75: -5000 - trunc(-5000 x 0.65 x 0.75) = -5000 + 2437.
    EXPECT_EQ(music.GetVolume(0), -2563);
    m_app.Config().SetInt("/Config/Music/Volume", 100);
    m_app.Config().SetInt("/Config/Master/Volume", 100);
    EXPECT_EQ(music.GetVolume(0), 0);
    m_app.Config().SetInt("/Config/Music/Volume", 0);
    EXPECT_EQ(music.GetVolume(0), -5000); // a group volume of 0 is not silence
    m_app.Config().SetInt("/Config/Music/Volume", 50);
    m_app.Config().SetInt("/Config/Master/Volume", 50);
    EXPECT_EQ(music.GetVolume(1), -3750);
    m_app.Config().SetInt("/Config/Music/Enable", 0);
    EXPECT_EQ(music.GetVolume(0), -10000);
    m_app.Config().SetInt("/Config/Music/Enable", 1);
    m_app.Config().SetInt("/Config/Sound/Enable", 0);
    EXPECT_EQ(music.GetVolume(0), -10000);
}

TEST_F(CFuncMusicTest, PlaySetsTheVolumeFirstOnlyWhenAsked)
{
    CFuncMusic music;
    music.Play("DREAM.wav", 1, 1);
    music.Play("SWEET_EN.wav", 0, 0);
    EXPECT_EQ(m_channels[1]->Calls(), (std::vector<std::string>{"volume -2563", "play DREAM.wav"}));
    EXPECT_EQ(m_channels[0]->Calls(), (std::vector<std::string>{"play SWEET_EN.wav"}));
}

TEST_F(CFuncMusicTest, AChannelTheGroupLacksPlaysNothing)
{
    CFuncMusic music;
    music.Play("DREAM.wav", 2, 1);
    music.Play("DREAM.wav", -1, 1);
    EXPECT_EQ(music.GetManager(2), nullptr);
    EXPECT_TRUE(m_channels[0]->Calls().empty());
    EXPECT_TRUE(m_channels[1]->Calls().empty());
}
