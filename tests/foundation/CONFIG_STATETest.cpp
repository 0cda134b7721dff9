#include "foundation/CONFIG_STATE.h"

#include <gtest/gtest.h>

#include "app/TestApp.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace {

class CONFIG_STATETest : public ::testing::Test
{
protected:
    CONFIG_STATETest() { m_app.UseConfigFile(ConfigPath()); }

    std::string ConfigPath() const { return m_dir.PathOf("config.xml"); }
    // The saved file without its byte-order mark and header line.
    std::string SavedBody()
    {
        EXPECT_EQ(m_app.Config().Save(), 1u);
        const std::string text = ReadWholeFile(ConfigPath());
        const std::string::size_type header_end = text.find('\n');
        return header_end == std::string::npos ? text : text.substr(header_end + 1);
    }

    TempDir m_dir;
    ScopedEnv m_locale{"LC_ALL", "en_US.UTF-8"};
    TestApp m_app;
};

// Every saved key, in the order of saving, with the defaults of an empty configuration. The
// movie switches and the automatic window move are loaded but never written.
constexpr const char* EXPECTED_DEFAULT_SAVE = R"(<Config>
	<Sound>
		<Enable>1</Enable>
	</Sound>
	<Master>
		<Volume>75</Volume>
	</Master>
	<Music>
		<Enable>1</Enable>
		<Volume>65</Volume>
	</Music>
	<Effect>
		<Enable>1</Enable>
		<Volume>100</Volume>
	</Effect>
	<Voice>
		<Enable>1</Enable>
		<Volume>100</Volume>
		<CickEnd>0</CickEnd>
	</Voice>
	<OneMes>0</OneMes>
	<OneMesSpeed>100</OneMesSpeed>
	<AutoRead>0</AutoRead>
	<AutoMesSpeed>50</AutoMesSpeed>
	<AutoVoiceWait>0</AutoVoiceWait>
	<SceneSkip>0</SceneSkip>
	<MesWnd>
		<ShowSpeedEnable>1</ShowSpeedEnable>
		<Speed>80</Speed>
		<Enable>1</Enable>
		<KutoutenWait>1</KutoutenWait>
		<Alpha>37</Alpha>
		<Red>0</Red>
		<Green>0</Green>
		<Blue>0</Blue>
		<IsMove>1</IsMove>
	</MesWnd>
	<AllSkip>0</AllSkip>
	<AutoSelect>0</AutoSelect>
	<SelectSame>0</SelectSame>
	<DisplayEffect>
		<Speed>0</Speed>
	</DisplayEffect>
	<System>0</System>
	<AutoSave>
		<Enable>1</Enable>
	</AutoSave>
	<AutoContinue>
		<Enable>1</Enable>
	</AutoContinue>
	<SkipContinue>
		<Enable>1</Enable>
	</SkipContinue>
	<MesHelp>
		<Enable>1</Enable>
	</MesHelp>
	<Language>0</Language>
	<CharVoice>
		<00>
			<Enable>1</Enable>
			<Volume>90</Volume>
		</00>
		<01>
			<Enable>1</Enable>
			<Volume>90</Volume>
		</01>
		<02>
			<Enable>1</Enable>
			<Volume>90</Volume>
		</02>
		<03>
			<Enable>1</Enable>
			<Volume>90</Volume>
		</03>
		<04>
			<Enable>1</Enable>
			<Volume>90</Volume>
		</04>
		<05>
			<Enable>1</Enable>
			<Volume>90</Volume>
		</05>
		<06>
			<Enable>1</Enable>
			<Volume>100</Volume>
		</06>
		<07>
			<Enable>1</Enable>
			<Volume>90</Volume>
		</07>
		<08>
			<Enable>1</Enable>
			<Volume>90</Volume>
		</08>
		<09>
			<Enable>1</Enable>
			<Volume>90</Volume>
		</09>
		<10>
			<Enable>1</Enable>
			<Volume>100</Volume>
		</10>
		<11>
			<Enable>1</Enable>
			<Volume>90</Volume>
		</11>
		<12>
			<Enable>1</Enable>
			<Volume>95</Volume>
		</12>
		<13>
			<Enable>1</Enable>
			<Volume>90</Volume>
		</13>
		<14>
			<Enable>1</Enable>
			<Volume>95</Volume>
		</14>
		<15>
			<Enable>1</Enable>
			<Volume>95</Volume>
		</15>
	</CharVoice>
	<Dialog>
		<00>
			<Enable>1</Enable>
		</00>
		<01>
			<Enable>1</Enable>
		</01>
		<02>
			<Enable>1</Enable>
		</02>
		<03>
			<Enable>1</Enable>
		</03>
		<04>
			<Enable>1</Enable>
		</04>
		<05>
			<Enable>1</Enable>
		</05>
		<06>
			<Enable>1</Enable>
		</06>
		<07>
			<Enable>1</Enable>
		</07>
		<08>
			<Enable>1</Enable>
		</08>
		<09>
			<Enable>1</Enable>
		</09>
	</Dialog>
	<GameMode>0</GameMode>
	<MapSpeed>1</MapSpeed>
</Config>
)";

} // namespace

TEST_F(CONFIG_STATETest, SavingTheDefaultsWritesExactlyTheSavedKeysInOrder)
{
    CONFIG_STATE state;
    state.Load();
    state.Save();
    EXPECT_EQ(SavedBody(), EXPECTED_DEFAULT_SAVE);
}

TEST_F(CONFIG_STATETest, LoadReadsEachKeyWithItsRule)
{
    // Keys read by the block alone, and one of each read rule.
    WriteSettingsFile(ConfigPath(),
                      "<Config>\n"
                      "\t<MesWnd><IsMove>2</IsMove><Enable>0</Enable><IsAutoMove>1</IsAutoMove>"
                      "<Alpha>10</Alpha></MesWnd>\n"
                      "\t<AutoContinue><Enable>0</Enable></AutoContinue>\n"
                      "\t<AutoSelect>1</AutoSelect><SelectSame>2</SelectSame><AllSkip>1</AllSkip>\n"
                      "\t<Sound><Enable>-3</Enable></Sound>\n"
                      "\t<CharVoice><15><Enable>0</Enable><Volume>6</Volume></15></CharVoice>\n"
                      "\t<Movie><Play>0</Play><VSync>1</VSync></Movie>\n"
                      "\t<GameMode>65539</GameMode><Language>2</Language>\n"
                      "</Config>\n");
    m_app.UseConfigFile(ConfigPath());
    CONFIG_STATE state;
    state.Load();
    EXPECT_EQ(state.MesWndIsMove, 0); // only 1 is on
    EXPECT_EQ(state.MesWndEnable, 0);
    EXPECT_EQ(state.MesWndIsAutoMove, 1);
    EXPECT_FLOAT_EQ(state.MesWndAlpha, 0.1f);
    EXPECT_EQ(state.AutoContinueEnable, 0);
    EXPECT_EQ(state.AutoContinueEnableB, 0);
    EXPECT_EQ(state.AutoSelect, 1);
    EXPECT_EQ(state.SelectSame, 0);
    EXPECT_EQ(state.AllSkip, 1);
    EXPECT_EQ(state.SoundEnable, 1); // any value but 0 is on
    EXPECT_EQ(state.CharVoiceEnable[15], 0);
    EXPECT_FLOAT_EQ(state.CharVoiceVolume[15], 0.06f);
    EXPECT_EQ(state.CharVoiceEnable[14], 1);
    EXPECT_FLOAT_EQ(state.CharVoiceVolume[14], 0.95f);
    EXPECT_EQ(state.MoviePlay, 0);
    EXPECT_EQ(state.MovieVSync, 0); // its key has no leading slash: never read from the file
    EXPECT_EQ(state.GameMode, 3);   // the low 16 bits
    EXPECT_EQ(state.MapSpeed, 1);
    EXPECT_EQ(state.Language, 2);
}

TEST_F(CONFIG_STATETest, ALoadAndASaveKeepEveryLevelBut53And59WhichComeBackOneLower)
{
    const char* level_keys[] = {
        "/Config/Master/Volume", "/Config/Music/Volume", "/Config/Effect/Volume",
        "/Config/Voice/Volume",  "/Config/OneMesSpeed",  "/Config/AutoMesSpeed",
        "/Config/MesWnd/Speed",  "/Config/MesWnd/Alpha", "/Config/MesWnd/Red",
        "/Config/MesWnd/Green",  "/Config/MesWnd/Blue",  "/Config/CharVoice/07/Volume"};
    CXMLDocument& config = m_app.Config();
    for (int stored = 0; stored <= 100; ++stored) {
        for (const char* key : level_keys)
            config.SetInt(key, stored);
        CONFIG_STATE state;
        state.Load();
        state.Save();
        const int expected = stored == 53 || stored == 59 ? stored - 1 : stored;
        for (const char* key : level_keys)
            ASSERT_EQ(config.GetInt(key, -1), expected) << key;
    }
}

TEST_F(CONFIG_STATETest, SwitchesAndNumbersAreWrittenAsHeld)
{
    CONFIG_STATE state;
    state.Load();
    state.OneMes = 1;
    state.System = 12;
    state.GameMode = 2;
    state.CharVoiceEnable[4] = 0;
    state.CharVoiceVolume[4] = 0.33f;
    state.DialogEnable[6] = 0;
    state.Language = 3;
    state.MoviePlay = 0;
    state.MesWndIsAutoMove = 1;
    state.Save();
    CXMLDocument& config = m_app.Config();
    EXPECT_EQ(config.GetInt("/Config/OneMes", -1), 1);
    EXPECT_EQ(config.GetInt("/Config/System", -1), 12);
    EXPECT_EQ(config.GetInt("/Config/GameMode", -1), 2);
    EXPECT_EQ(config.GetInt("/Config/CharVoice/04/Enable", -1), 0);
    EXPECT_EQ(config.GetInt("/Config/CharVoice/04/Volume", -1), 33);
    EXPECT_EQ(config.GetInt("/Config/Dialog/06/Enable", -1), 0);
    EXPECT_EQ(config.GetInt("/Config/Language", -1), 3);
    EXPECT_EQ(config.GetInt("/Config/Movie/Play", -1), -1);
    EXPECT_EQ(config.GetInt("/Config/MesWnd/IsAutoMove", -1), -1);
}

TEST_F(CONFIG_STATETest, AChangedAutoContinueSwitchIsKept)
{
    CONFIG_STATE state;
    state.Load(); // both copies read 1
    state.AutoContinueEnable = 0;
    state.Save();
    EXPECT_EQ(m_app.Config().GetInt("/Config/AutoContinue/Enable", -1), 0);
    EXPECT_FALSE(GetConfigAutoContinueEnable());
}

TEST_F(CONFIG_STATETest, SoundDefaultsResetOnlyTheSoundFields)
{
    CONFIG_STATE state;
    state.Load();
    state.SoundEnable = state.MusicEnable = state.EffectEnable = state.VoiceEnable = 0;
    state.MasterVolume = state.MusicVolume = state.EffectVolume = state.VoiceVolume = 0.1f;
    for (int slot = 0; slot < CHAR_VOICE_SLOT_COUNT; ++slot) {
        state.CharVoiceEnable[slot] = 0;
        state.CharVoiceVolume[slot] = 0.1f;
    }
    state.VoiceCickEnd = 1;
    state.OneMes = 1;
    state.SetSoundDefaults();
    EXPECT_EQ(state.SoundEnable + state.MusicEnable + state.EffectEnable + state.VoiceEnable, 4);
    EXPECT_FLOAT_EQ(state.MasterVolume, 0.75f);
    EXPECT_FLOAT_EQ(state.MusicVolume, 0.65f);
    EXPECT_FLOAT_EQ(state.EffectVolume, 1.0f);
    EXPECT_FLOAT_EQ(state.VoiceVolume, 1.0f);
    const float levels[CHAR_VOICE_SLOT_COUNT] = {0.9f, 0.9f, 0.9f, 0.9f, 0.9f,  0.9f, 1.0f,  0.9f,
                                                 0.9f, 0.9f, 1.0f, 0.9f, 0.95f, 0.9f, 0.95f, 0.95f};
    for (int slot = 0; slot < CHAR_VOICE_SLOT_COUNT; ++slot) {
        EXPECT_EQ(state.CharVoiceEnable[slot], 1);
        EXPECT_FLOAT_EQ(state.CharVoiceVolume[slot], levels[slot]) << slot;
    }
    EXPECT_EQ(state.VoiceCickEnd, 0);
    EXPECT_EQ(state.OneMes, 1);                                       // not a sound field
    EXPECT_EQ(m_app.Config().GetInt("/Config/Sound/Enable", -1), -1); // nothing written
}
