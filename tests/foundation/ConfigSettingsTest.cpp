#include "foundation/ConfigSettings.h"

#include <gtest/gtest.h>

#include "app/TestApp.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace {

class ConfigSettingsTest : public ::testing::Test
{
protected:
    ConfigSettingsTest() { m_app.UseConfigFile(m_dir.PathOf("config.xml")); }

    void Store(const char* key, int32_t value) { m_app.Config().SetInt(key, value); }

    TempDir m_dir;
    ScopedEnv m_locale{"LC_ALL", "ja_JP.UTF-8"};
    TestApp m_app;
};

} // namespace

TEST_F(ConfigSettingsTest, EveryGetterAnswersItsDefaultOnAnEmptyDocument)
{
    EXPECT_EQ(GetConfigLanguage(), 0); // Japanese systems default to English
    EXPECT_TRUE(GetConfigSoundEnable());
    EXPECT_FLOAT_EQ(GetConfigMasterVolume(), 0.75f);
    EXPECT_TRUE(GetConfigMusicEnable());
    EXPECT_FLOAT_EQ(GetConfigMusicVolume(), 0.65f);
    EXPECT_TRUE(GetConfigEffectEnable());
    EXPECT_FLOAT_EQ(GetConfigEffectVolume(), 1.0f);
    EXPECT_TRUE(GetConfigHEffectEnable());
    EXPECT_FLOAT_EQ(GetConfigVoiceVolume(), 1.0f);
    EXPECT_TRUE(GetConfigVoiceEnable());
    EXPECT_FALSE(GetConfigVoiceLoop());
    EXPECT_FALSE(GetConfigVoiceCickEnd());
    EXPECT_EQ(GetConfigBackLogMode(), 100);
    EXPECT_FALSE(GetConfigOneMes());
    EXPECT_FLOAT_EQ(GetConfigOneMesSpeed(), 1.0f);
    EXPECT_FALSE(GetConfigAllSkip());
    EXPECT_FALSE(GetConfigAutoRead());
    EXPECT_FLOAT_EQ(GetConfigAutoMesSpeed(), 0.5f);
    EXPECT_FALSE(GetConfigAutoVoiceWait());
    EXPECT_FALSE(GetConfigSceneSkip());
    EXPECT_EQ(GetConfigDisplayEffectSpeed(), 0);
    EXPECT_EQ(GetConfigMesWndPosY(), 768);
    EXPECT_TRUE(GetConfigMesWndIsMove());
    EXPECT_FLOAT_EQ(GetConfigMesWndAlpha(), 0.37f);
    EXPECT_FLOAT_EQ(GetConfigMesWndRed(), 0.0f);
    EXPECT_FLOAT_EQ(GetConfigMesWndGreen(), 0.0f);
    EXPECT_FLOAT_EQ(GetConfigMesWndBlue(), 0.0f);
    EXPECT_EQ(GetConfigMesWndWndOpen(), 1);
    EXPECT_TRUE(GetConfigMesWndShowSpeedEnable());
    EXPECT_FLOAT_EQ(GetConfigMesWndSpeed(), 0.8f);
    EXPECT_TRUE(GetConfigMesWndKutoutenWait());
    EXPECT_EQ(GetConfigSystem(), 0);
    EXPECT_TRUE(GetConfigAutoSaveEnable());
    EXPECT_TRUE(GetConfigAutoContinueEnable());
    EXPECT_TRUE(GetConfigMesHelpEnable());
    EXPECT_TRUE(GetConfigSkipContinueEnable());
    EXPECT_EQ(GetConfigGameMode(), 0);
    EXPECT_EQ(GetConfigMapSpeed(), 1);
    // Character voice levels: 90 for slots 0-5, 7-9, 11, 13; 100 for 6 and 10; 95 for 12, 14, 15.
    const int levels[CHAR_VOICE_SLOT_COUNT] = {90, 90, 90,  90, 90, 90, 100, 90,
                                               90, 90, 100, 90, 95, 90, 95,  95};
    for (int slot = 0; slot < CHAR_VOICE_SLOT_COUNT; ++slot) {
        EXPECT_TRUE(GetConfigCharVoiceEnable(slot)) << slot;
        EXPECT_FLOAT_EQ(GetConfigCharVoiceVolume(slot), levels[slot] / 100.0f) << slot;
    }
    for (int number = 0; number < CONFIG_DIALOG_COUNT; ++number)
        EXPECT_TRUE(GetConfigDialogEnable(number)) << number;
}

TEST_F(ConfigSettingsTest, WithoutAConfigurationTheDefaultsStand)
{
    {
        // A newer application object stands in while it lives; it has no configuration.
        TestApp bare;
        SetConfigOneMes(1); // nowhere to write: nothing happens
        EXPECT_FALSE(GetConfigOneMes());
        EXPECT_FLOAT_EQ(GetConfigMasterVolume(), 0.75f);
    }
    SetConfigOneMes(1);
    EXPECT_TRUE(GetConfigOneMes());
}

TEST_F(ConfigSettingsTest, StoredValuesAreReadByTheirKeysAndRules)
{
    WriteSettingsFile(m_dir.PathOf("stored.xml"),
                      "<Config>\n"
                      "\t<Sound><Enable>2</Enable></Sound>\n" // flag: 2 is on
                      "\t<OneMes>2</OneMes>\n"                // flag1: 2 is off
                      "\t<AutoRead>1</AutoRead>\n"
                      "\t<Master><Volume>53</Volume></Master>\n"
                      "\t<HEffect><Enable>0</Enable></HEffect>\n"
                      "\t<Voice><Loop>-1</Loop><CickEnd>1</CickEnd></Voice>\n"
                      "\t<BackLogMode>7</BackLogMode>\n"
                      "\t<MesWnd><00><PosY>500</PosY></00><01><PosY>9</PosY></01>"
                      "<WndOpen>0</WndOpen><IsMove>2</IsMove></MesWnd>\n"
                      "\t<GameMode>65537</GameMode>\n" // low 16 bits
                      "\t<MapSpeed>-1</MapSpeed>\n"
                      "\t<CharVoice><03><Enable>0</Enable><Volume>40</Volume></03>"
                      "</CharVoice>\n"
                      "\t<Dialog><09><Enable>0</Enable></09></Dialog>\n"
                      "\t<Language>3</Language>\n"
                      "</Config>\n");
    m_app.UseConfigFile(m_dir.PathOf("stored.xml"));
    EXPECT_TRUE(GetConfigSoundEnable());
    EXPECT_FALSE(GetConfigOneMes());
    EXPECT_TRUE(GetConfigAutoRead());
    EXPECT_FLOAT_EQ(GetConfigMasterVolume(), 0.53f);
    EXPECT_FALSE(GetConfigHEffectEnable());
    EXPECT_TRUE(GetConfigVoiceLoop());
    EXPECT_TRUE(GetConfigVoiceCickEnd());
    EXPECT_EQ(GetConfigBackLogMode(), 7);
    EXPECT_EQ(GetConfigMesWndPosY(), 500); // always the element numbered 00
    EXPECT_EQ(GetConfigMesWndWndOpen(), 0);
    EXPECT_FALSE(GetConfigMesWndIsMove());
    EXPECT_EQ(GetConfigGameMode(), 1);
    EXPECT_EQ(GetConfigMapSpeed(), 0xFFFF);
    EXPECT_FALSE(GetConfigCharVoiceEnable(3));
    EXPECT_FLOAT_EQ(GetConfigCharVoiceVolume(3), 0.4f);
    EXPECT_TRUE(GetConfigCharVoiceEnable(4));
    EXPECT_FALSE(GetConfigDialogEnable(9));
    EXPECT_TRUE(GetConfigDialogEnable(8));
    EXPECT_EQ(GetConfigLanguage(), 3);
}

TEST_F(ConfigSettingsTest, SettingsReadEveryPassFollowEveryChange)
{
    EXPECT_EQ(GetConfigMapSpeed(), 1);
    EXPECT_EQ(GetConfigGameMode(), 0);
    Store("/Config/MapSpeed", 2);
    Store("/Config/GameMode", 1);
    EXPECT_EQ(GetConfigMapSpeed(), 2);
    EXPECT_EQ(GetConfigGameMode(), 1);
    // Loaded from a file, and in another application's settings, too.
    WriteSettingsFile(m_dir.PathOf("loaded.xml"), "<Config><MapSpeed>0</MapSpeed></Config>\n");
    m_app.UseConfigFile(m_dir.PathOf("loaded.xml"));
    EXPECT_EQ(GetConfigMapSpeed(), 0);
    EXPECT_EQ(GetConfigGameMode(), 0);
    {
        TestApp other;
        other.UseConfigFile(m_dir.PathOf("other.xml"));
        EXPECT_EQ(GetConfigMapSpeed(), 1);
    }
}

TEST_F(ConfigSettingsTest, SettersWriteTheirKeys)
{
    SetConfigTopPage(4);
    SetConfigVoiceLoop(1);
    SetConfigDialogEnable(3, 0);
    EXPECT_EQ(m_app.Config().GetInt("/Config/TopPage", -9), 4);
    EXPECT_TRUE(GetConfigVoiceLoop());
    EXPECT_FALSE(GetConfigDialogEnable(3));
}

TEST_F(ConfigSettingsTest, TheDefaultLanguageFollowsTheSystemLanguage)
{
    struct Case
    {
        const char* locale;
        LanguageIndex language;
    };
    // 0x0404 (sub 1) and 0x0C04 (sub 3) are traditional; 0x0804 and 0x1004 simplified.
    const Case cases[] = {{"zh_TW.UTF-8", 2}, {"zh_HK.UTF-8", 2}, {"zh_CN.UTF-8", 1}, {"zh_SG.UTF-8", 1},
                          {"ja_JP.UTF-8", 0}, {"en_US.UTF-8", 0}, {"fr_FR.UTF-8", 0}};
    for (const Case& c : cases) {
        ScopedEnv locale("LC_ALL", c.locale);
        EXPECT_EQ(GetConfigLanguage(), c.language) << c.locale;
    }
    ScopedEnv locale("LC_ALL", "zh_TW.UTF-8");
    Store("/Config/Language", 3);
    EXPECT_EQ(GetConfigLanguage(), 3); // a stored language wins
}

TEST_F(ConfigSettingsTest, DefaultValueTable)
{
    const std::pair<int32_t, std::vector<int>> table[] = {
        {1, {0, 2, 4, 6, 8, 10, 12, 14, 21, 23, 30, 32, 33, 72}},
        {75, {1, 15}},
        {65, {3}},
        {100, {5, 7, 9, 11, 13, 25, 38, 47, 51}},
        {50, {16, 27, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70}},
        {0, {17, 18, 19, 24, 26, 28, 29, 31, 34, 35, 36, 37, 40, 57, 58, 71}},
        {37, {20}},
        {80, {22}},
        {768, {39}},
        {90, {41, 42, 43, 44, 45, 46, 48, 49, 50, 52, 54}},
        {95, {53, 55, 56}},
    };
    int listed = 0;
    for (const auto& [value, ids] : table) {
        for (int id : ids)
            EXPECT_EQ(GetConfigDefaultValue(id), value) << "id " << id;
        listed += static_cast<int>(ids.size());
    }
    EXPECT_EQ(listed, 73); // the table covers 0..72 exactly once
    EXPECT_EQ(GetConfigDefaultValue(73), 1);
    EXPECT_EQ(GetConfigDefaultValue(1000), 1);
    EXPECT_EQ(GetConfigDefaultValue(-1), 1);
}

TEST_F(ConfigSettingsTest, LanguageFileNamesDropTheFolderAndTakeTheSuffix)
{
    const char* suffixed[] = {"b_en.png", "b_ch.png", "b_tw.png", "b.png", "b.png"};
    for (int language = 0; language < 5; ++language) {
        Store("/Config/Language", language);
        EXPECT_STREQ(MakeLanguageFileName("data\\sys\\b.png").GetText(), suffixed[language]) << language;
    }
    Store("/Config/Language", 0);
    EXPECT_STREQ(MakeLanguageFileName("/x/y.z/title").GetText(), "title_en");
    EXPECT_STREQ(MakeLanguageFileName("a.b.png").GetText(), "a.b_en.png");
}

TEST(CharVoiceIndex, SlotsFollowTheFirstAndThirdLetters)
{
    struct Case
    {
        const char* name;
        int slot;
    };
    const Case cases[] = {
        {"r0010001.ogg", 0},
        {"R12", 0},
        {"o_01", 1},
        {"F001", 2},
        {"j", 3},
        {"k00", 4},
        {"p0010", 5},
        {"s001", 6},
        {"e001", 7},
        {"q001", 8},
        {"b001", 9},
        {"d001", 10},
        {"i001", 11},
        {"h001", 12},
        {"a001", 13},
        {"n001", 14},
        {"z001", 15},
        {"あいう", 15},
        {"xxr", 0},
        {"sxr", 0},
        {"xxp", 5},
        {"001", 15},
        // A name that begins with p and r belongs to the speaker of its third letter.
        {"pro01", 1},
        {"prn01", 14},
        {"prx01", 15},
        {"prp01", 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetCharVoiceIndex(c.name), c.slot) << c.name;
}

TEST(CharVoiceIndex, MatchingTakesTheLowestSlot)
{
    EXPECT_EQ(MatchCharVoiceCode("s", "x", "o"), 1); // c2 names slot 1 before c0 names slot 6
    EXPECT_EQ(MatchCharVoiceCode("p", "r", "p"), 5);
    EXPECT_EQ(MatchCharVoiceCode("p", "R", "x"), 5); // only a lower-case r is the exception
    EXPECT_EQ(MatchCharVoiceCode("", "", ""), 15);
}

TEST_F(ConfigSettingsTest, EnabledVoiceNamesFollowTheVoiceAndSlotSwitches)
{
    EXPECT_STREQ(GetEnabledVoiceName("f0010001").GetText(), "f0010001");
    Store("/Config/CharVoice/02/Enable", 0);
    EXPECT_STREQ(GetEnabledVoiceName("f0010001").GetText(), "");
    EXPECT_STREQ(GetEnabledVoiceName("z0010001").GetText(), "z0010001");
    Store("/Config/Voice/Enable", 0);
    EXPECT_STREQ(GetEnabledVoiceName("z0010001").GetText(), "");
}

TEST_F(ConfigSettingsTest, VoiceAttenuationInHundredthsOfADecibel)
{
    // Master 0.75, voice 1.0, slot 0 at its default 0.9: -4500 - trunc(-3037.5) = -1463.
    EXPECT_EQ(GetVoiceAttenuation("r001"), -1463);
    // Master 0.5, voice 0.5, slot 6 at 1.0: -4500 - trunc(-1125) = -3375.
    Store("/Config/Master/Volume", 50);
    Store("/Config/Voice/Volume", 50);
    EXPECT_EQ(GetVoiceAttenuation("s001"), -3375);
    Store("/Config/Master/Volume", 100);
    Store("/Config/Voice/Volume", 100);
    EXPECT_EQ(GetVoiceAttenuation("s001"), 0);
    // Levels above 100 cannot ask for more than full volume.
    Store("/Config/Master/Volume", 250);
    EXPECT_EQ(GetVoiceAttenuation("s001"), 0);
    Store("/Config/Master/Volume", 100);

    Store("/Config/CharVoice/06/Enable", 0);
    EXPECT_EQ(GetVoiceAttenuation("s001"), -10000);
    Store("/Config/CharVoice/06/Enable", 1);
    Store("/Config/Sound/Enable", 0);
    EXPECT_EQ(GetVoiceAttenuation("s001"), -10000);
    Store("/Config/Sound/Enable", 1);
    Store("/Config/Voice/Enable", 0);
    EXPECT_EQ(GetVoiceAttenuation("s001"), -10000);
}

TEST_F(ConfigSettingsTest, AVoiceAtLevelZeroIsQuietestNotSilent)
{
    for (const char* key : {"/Config/Master/Volume", "/Config/Voice/Volume", "/Config/CharVoice/06/Volume"}) {
        Store(key, 0);
        EXPECT_EQ(GetVoiceAttenuation("s001"), -4500) << key;
        Store(key, 100);
    }
    Store("/Config/Master/Volume", 1);
    EXPECT_EQ(GetVoiceAttenuation("s001"), -4455);
}

TEST_F(ConfigSettingsTest, KeysWithoutALeadingSlashAlwaysReadTheirDefaults)
{
    WriteSettingsFile(m_dir.PathOf("stored.xml"), "<Config>\n\t<Movie><VSync>1</VSync></Movie>\n</Config>\n"
                                                  "<DirectSound>\n\t<Notify>0</Notify>\n</DirectSound>\n");
    m_app.UseConfigFile(m_dir.PathOf("stored.xml"));
    EXPECT_EQ(m_app.GetConfigInt("Config/Movie/VSync", 0, 0), 0);
    EXPECT_EQ(m_app.GetConfigInt("DirectSound/Notify", 1, 0), 1);
    EXPECT_EQ(m_app.GetConfigInt("/DirectSound/Notify", 1, 0), 0); // the element is there
}

TEST(LevelToStored, LevelsAreTruncatedSo53And59ComeBackOneLower)
{
    for (int stored = 0; stored <= 100; ++stored) {
        const int expected = stored == 53 || stored == 59 ? stored - 1 : stored;
        EXPECT_EQ(LevelToStored(static_cast<float>(stored) / 100.0f), expected) << stored;
    }
    EXPECT_EQ(LevelToStored(0.999f), 99);
}
