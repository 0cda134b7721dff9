// The shared sound group table over recording channels: volumes of the three PCM groups, the
// script entries, fades with the group switched on and off, pending names, and channel creation.

#include "script/commands/IFuncMusic.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "app/TestApp.h"
#include "arcpack/ArchiveWriter.h"
#include "script/commands/CFuncEffect.h"
#include "script/commands/CFuncHEffect.h"
#include "script/commands/CFuncMusic.h"
#include "script/commands/CFuncVoice.h"
#include "script/vm/ScriptContext.h"
#include "sound/SoundChannels.h"
#include "support/FakeWaveManager.h"
#include "support/TempDir.h"
#include "support/WorkingDir.h"

namespace {

using Strings = std::vector<std::string>;

struct Group
{
    const char* name;
    size_t list;
    const char* enable_key;
    const char* volume_key;
    std::function<std::unique_ptr<IFuncMusic>()> make;
};

const std::vector<Group>& PcmGroups()
{
    static const std::vector<Group> groups = {
        {"music", SOUND_GROUP_MUSIC, "/Config/Music/Enable", "/Config/Music/Volume",
         [] { return std::make_unique<CFuncMusic>(); }},
        {"effect", SOUND_GROUP_EFFECT, "/Config/Effect/Enable", "/Config/Effect/Volume",
         [] { return std::make_unique<CFuncEffect>(); }},
        {"H-effect", SOUND_GROUP_HEFFECT, "/Config/HEffect/Enable", "/Config/HEffect/Volume",
         [] { return std::make_unique<CFuncHEffect>(); }},
    };
    return groups;
}

class SoundGroupTest : public ::testing::Test
{
protected:
    SoundGroupTest()
    {
        m_app.UseConfigFile(m_dir.PathOf("config.xml"));
        for (size_t list = 0; list < SOUND_GROUP_COUNT; ++list) {
            for (int i = 0; i < 2; ++i) {
                auto channel = std::make_unique<FakeWaveManager>();
                m_channels[list].push_back(channel.get());
                GetGameSoundChannels()[list].push_back(std::move(channel));
            }
        }
    }
    ~SoundGroupTest() override { DeleteDocument(); }

    // Runs one script entry: the arguments are pushed last first, then the number.
    void RunScript(IFuncMusic& group, int32_t sub, const std::vector<ScriptValue>& args)
    {
        group.Context = &m_context;
        for (auto it = args.rbegin(); it != args.rend(); ++it)
            m_context.Push(*it);
        m_context.PushInteger(sub);
        group.Call(m_script);
    }
    static ScriptValue Text(const char* text)
    {
        ScriptValue value;
        value.Text = text;
        return value;
    }

    TempDir m_dir;
    TestApp m_app;
    ScriptContext m_context;
    CScript m_script;
    std::vector<FakeWaveManager*> m_channels[SOUND_GROUP_COUNT]; // not owned: the document's
};

} // namespace

TEST_F(SoundGroupTest, PcmGroupVolumesFollowTheirSettings)
{
    for (const Group& g : PcmGroups()) {
        SCOPED_TRACE(g.name);
        std::unique_ptr<IFuncMusic> group = g.make();
        m_app.Config().SetInt("/Config/Master/Volume", 100);
        m_app.Config().SetInt(g.volume_key, 0);
        EXPECT_EQ(group->GetVolume(0), -5000) << "a group volume of 0 is not silence";
        m_app.Config().SetInt(g.volume_key, 65);
        m_app.Config().SetInt("/Config/Master/Volume", 75);
        EXPECT_EQ(group->GetVolume(1), -2563);
        m_app.Config().SetInt(g.enable_key, 0);
        EXPECT_EQ(group->GetVolume(0), -10000);
        m_app.Config().SetInt(g.enable_key, 1);
        m_app.Config().SetInt("/Config/Sound/Enable", 0);
        EXPECT_EQ(group->GetVolume(0), -10000);
        m_app.Config().SetInt("/Config/Sound/Enable", 1);
    }
}

TEST_F(SoundGroupTest, ScriptEntriesReachTheirChannels)
{
    m_app.Config().SetInt("/Config/Music/Volume", 100);
    m_app.Config().SetInt("/Config/Master/Volume", 100);
    CFuncMusic music;
    FakeWaveManager& channel = *m_channels[SOUND_GROUP_MUSIC][1];
    RunScript(music, 1, {Text("BGM01"), ScriptValue::FromInteger(1)});
    EXPECT_EQ(channel.Calls(), (Strings{"volume 0", "play BGM01"}));
    channel.ClearCalls();
    RunScript(music, 5, {Text("BGM02"), ScriptValue::FromInteger(1)});
    RunScript(music, 8, {ScriptValue::FromInteger(1)});
    EXPECT_EQ(m_context.PopInteger(), 1) << "a load leaves the channel open";
    RunScript(music, 6, {ScriptValue::FromInteger(1)});
    EXPECT_EQ(channel.Calls(), (Strings{"volume 0", "file BGM02"}));
    RunScript(music, 8, {ScriptValue::FromInteger(1)});
    EXPECT_EQ(m_context.PopInteger(), 0) << "a start forgets the pending name";
    channel.SetPlaying(true);
    RunScript(music, 7, {ScriptValue::FromInteger(1)});
    EXPECT_EQ(m_context.PopInteger(), 1);
    RunScript(music, 2, {ScriptValue::FromInteger(1)});
    EXPECT_EQ(channel.Calls().back(), "stop forget");
    // Numbers outside the table and channels the group lacks do nothing.
    const size_t depth = m_context.ValueStack.size();
    channel.ClearCalls();
    RunScript(music, 9, {});
    RunScript(music, -1, {});
    RunScript(music, 1, {Text("BGM03"), ScriptValue::FromInteger(7)});
    RunScript(music, 7, {ScriptValue::FromInteger(-1)});
    EXPECT_EQ(m_context.PopInteger(), 0);
    EXPECT_EQ(m_context.ValueStack.size(), depth);
    EXPECT_TRUE(channel.Calls().empty());
}

TEST_F(SoundGroupTest, FadesFollowTheGroupSwitch)
{
    m_app.Config().SetInt("/Config/Music/Volume", 100);
    m_app.Config().SetInt("/Config/Master/Volume", 100);
    CFuncMusic music;
    FakeWaveManager& channel = *m_channels[SOUND_GROUP_MUSIC][0];
    struct Case
    {
        int enabled;
        int sound;
        Strings fade_in;
        Strings fade_out;
    };
    const std::vector<Case> cases = {
        {1, 1, {"volume -5000", "file BGM", "fade 40 0 0"}, {"fade 30 -5000 1"}},
        // Switched off: the pending music starts silent without a fade, and a fade out stops at once.
        {0, 1, {"file BGM", "volume -10000"}, {"stop forget"}},
        // Music on but all sound off: it still fades, from -5000 down to silence.
        {1, 0, {"volume -5000", "file BGM", "fade 40 -10000 0"}, {"fade 30 -5000 1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.enabled << c.sound);
        m_app.Config().SetInt("/Config/Music/Enable", c.enabled);
        m_app.Config().SetInt("/Config/Sound/Enable", c.sound);
        channel.ClearCalls();
        music.Load("BGM", 0);
        music.FadeIn(40, 0);
        EXPECT_EQ(channel.Calls(), c.fade_in);
        EXPECT_FALSE(music.IsOpen(0)) << "a fade in forgets the pending name";
        channel.ClearCalls();
        music.FadeOut(30, 0);
        EXPECT_EQ(channel.Calls(), c.fade_out);
    }
}

TEST_F(SoundGroupTest, TwoCreationsOfTwoChannelsGiveChannelsZeroToThree)
{
    WorkingDir folder;
    folder.Write("effect.arc", tools::BuildArchive({}, tools::ArchiveEncoding::Plain));
    GetGameSoundChannels()[SOUND_GROUP_EFFECT].clear();
    CFuncEffect effect;
    RunScript(effect, 0, {ScriptValue::FromInteger(0)});
    RunScript(effect, 0, {ScriptValue::FromInteger(-3)});
    EXPECT_EQ(GetGameSoundChannels()[SOUND_GROUP_EFFECT].size(), 0u);
    RunScript(effect, 0, {ScriptValue::FromInteger(2)});
    RunScript(effect, 0, {ScriptValue::FromInteger(2)});
    ASSERT_EQ(GetGameSoundChannels()[SOUND_GROUP_EFFECT].size(), 4u);
    for (int32_t channel = 0; channel < 4; ++channel)
        EXPECT_EQ(effect.GetManager(channel),
                  GetGameSoundChannels()[SOUND_GROUP_EFFECT][channel].get());
    EXPECT_EQ(effect.GetManager(4), nullptr);
    GetGameSoundChannels()[SOUND_GROUP_EFFECT].clear();
}
