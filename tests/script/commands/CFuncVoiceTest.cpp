// The voice group's own rules over recording channels: characters switched off, the voice
// volume, the names of the voice channels, stopping and recording loaded names.

#include "script/commands/CFuncVoice.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "app/TestApp.h"
#include "script/FlagBuffer.h"
#include "script/vm/ScriptContext.h"
#include "sound/SoundChannels.h"
#include "support/FakeWaveManager.h"
#include "support/TempDir.h"

namespace {

using Strings = std::vector<std::string>;

class VoiceGroupTest : public ::testing::Test
{
protected:
    VoiceGroupTest()
    {
        m_app.UseConfigFile(m_dir.PathOf("config.xml"));
        m_app.Config().SetInt("/Config/Master/Volume", 100);
        m_app.Config().SetInt("/Config/CharVoice/01/Volume", 100);
        m_app.Config().SetInt("/Config/CharVoice/15/Volume", 100);
        // The background voice uses channel 3, which has no entry among the voice names.
        for (int i = 0; i < 4; ++i) {
            auto channel = std::make_unique<FakeWaveManager>();
            m_channels.push_back(channel.get());
            GetGameSoundChannels()[SOUND_GROUP_VOICE].push_back(std::move(channel));
        }
        for (int32_t channel = 0; channel < VoiceChannelNames::COUNT; ++channel)
            VoiceChannelNames::Set(channel, "");
        m_voice.Context = &m_context;
        m_voice.CurrentState = &m_state;
        m_context.Backlog.Entries.push_back(std::make_unique<LogBuffer>());
        m_context.Backlog.CurrentIndex = 0;
    }
    ~VoiceGroupTest() override { DeleteDocument(); }

    TempDir m_dir;
    TestApp m_app;
    ScriptContext m_context;
    FlagBuffer m_state;
    CFuncVoice m_voice;
    std::vector<FakeWaveManager*> m_channels; // not owned: the document's
};

} // namespace

TEST_F(VoiceGroupTest, AVoiceWhoseCharacterIsOffLeavesTheChannelAlone)
{
    // "r" voices belong to slot 0.
    m_app.Config().SetInt("/Config/CharVoice/00/Enable", 0);
    m_voice.Play("r01_0001", 0, 0);
    m_voice.Load("r01_0002", 0);
    m_channels[0]->ClearCalls();
    m_voice.Start(0);
    EXPECT_TRUE(m_channels[0]->Calls().empty());
    EXPECT_TRUE(VoiceChannelNames::Get(0).IsEmpty());
    EXPECT_TRUE(m_voice.IsOpen(0)) << "the pending name stays";

    m_voice.Play("o01_0001", 0, 0);
    EXPECT_EQ(m_channels[0]->Calls(), (Strings{"volume 0", "play o01_0001"}));
    EXPECT_STREQ(VoiceChannelNames::Get(0).GetText(), "o01_0001");
    m_app.Config().SetInt("/Config/Voice/Enable", 0);
    m_channels[0]->ClearCalls();
    m_voice.Play("o01_0002", 0, 1);
    EXPECT_TRUE(m_channels[0]->Calls().empty()) << "voices off: what plays keeps playing";
}

TEST_F(VoiceGroupTest, StartPlaysThePendingNameAndKeepsIt)
{
    m_app.Config().SetInt("/Config/CharVoice/01/Volume", 50);
    m_voice.Load("o01_0003", 1);
    m_voice.Start(1);
    m_voice.Start(1);
    // -4500 - trunc(-4500 x 0.5)
    EXPECT_EQ(m_channels[1]->Calls(),
              (Strings{"volume -2250", "play o01_0003", "volume -2250", "play o01_0003"}));
    EXPECT_TRUE(m_voice.IsOpen(1));
    EXPECT_EQ(m_voice.GetVolume(1), -2250);
}

TEST_F(VoiceGroupTest, StopMutesAPlayingVoiceAndForgetsItsName)
{
    m_voice.Play("o01_0004", 2, 0);
    m_channels[2]->SetPlaying(true);
    m_channels[2]->ClearCalls();
    m_voice.Stop(2);
    EXPECT_EQ(m_channels[2]->Calls(), (Strings{"volume -10000", "stop forget"}));
    EXPECT_TRUE(VoiceChannelNames::Get(2).IsEmpty());
    m_channels[2]->ClearCalls();
    m_voice.Stop(2);
    EXPECT_EQ(m_channels[2]->Calls(), (Strings{"stop forget"})) << "a silent channel needs no muting";
}

TEST_F(VoiceGroupTest, ChannelsWithoutANameEntryTouchNoNames)
{
    m_voice.Play("o01_0001", 0, 0);
    m_voice.Play("x01_0005", 3, 0);
    EXPECT_EQ(m_channels[3]->Calls(), (Strings{"volume 0", "play x01_0005"})) << "at its own volume";
    m_voice.Play("o01_0006", 9, 0);
    m_voice.Stop(3);
    m_voice.Stop(-1);
    EXPECT_STREQ(VoiceChannelNames::Get(0).GetText(), "o01_0001");
    EXPECT_TRUE(VoiceChannelNames::Get(3).IsEmpty());
}

TEST_F(VoiceGroupTest, LoadsAreRecordedAsTheEngineStateAsks)
{
    struct Case
    {
        uint32_t bits;
        bool collected;
        bool in_backlog;
    };
    for (const Case& c : {Case{0x400, true, false}, Case{0x400 | 0x80 | 0x200, true, false},
                          Case{0x80 | 0x200, false, true}, Case{0x80, false, false}, Case{0, false, false}}) {
        SCOPED_TRACE(c.bits);
        m_context.CollectedVoiceNames.clear();
        LogBuffer& entry = *m_context.Backlog.Entries[0];
        entry = LogBuffer{};
        m_state.SetEngineStateWord(c.bits);
        m_voice.Load("o01_0007", 0);
        EXPECT_EQ(m_context.CollectedVoiceNames.size(), c.collected ? 1u : 0u);
        EXPECT_EQ(entry.HasVoice, c.in_backlog ? 1 : 0);
        EXPECT_STREQ(entry.VoiceFile.GetText(), c.in_backlog ? "o01_0007" : "");
        EXPECT_STREQ(m_channels[0]->GetName().GetText(), "o01_0007");
    }
}
