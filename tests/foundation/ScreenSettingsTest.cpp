#include "foundation/ScreenSettings.h"

#include <gtest/gtest.h>

#include "app/TestApp.h"
#include "platform/kernel/VersionApi.h"
#include "support/FakeDocumentLink.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace {

class ScreenSettingsTest : public ::testing::Test
{
protected:
    ScreenSettingsTest()
    {
        m_app.UseConfigFile(m_dir.PathOf("config.xml"));
        m_app.SetSaveFolders("/save/Save\\", "/save/Save_b\\");
    }
    ~ScreenSettingsTest() override { platform::ResetReportedWindowsVersion(); }

    void Store(const char* key, int32_t value) { m_app.Config().SetInt(key, value); }

    TempDir m_dir;
    TestApp m_app;
};

void ExpectSize(SIZE size, LONG width, LONG height)
{
    EXPECT_EQ(size.cx, width);
    EXPECT_EQ(size.cy, height);
}

} // namespace

TEST_F(ScreenSettingsTest, WithoutAScreenElementEverySizeIsTheLogicalScreen)
{
    ExpectSize(GetScreenOriginalSize(1), 1920, 1080);
    ExpectSize(GetScreenWindowSize(), 1920, 1080);
    ExpectSize(GetScreenFullSize(), 1920, 1080);
    EXPECT_EQ(GetScreenFullDrawMode(), 1);
    EXPECT_EQ(GetScreenChangeMode(), 0);
    EXPECT_TRUE(GetDirectSoundNotify());
}

TEST_F(ScreenSettingsTest, RotationExchangesTheOriginalOnRequestAndTheWindowAlways)
{
    m_app.SetRotate(1);
    ExpectSize(GetScreenOriginalSize(1), 1080, 1920);
    ExpectSize(GetScreenOriginalSize(0), 1920, 1080);
    ExpectSize(GetScreenWindowSize(), 1080, 1920);
    ExpectSize(GetScreenFullSize(), 1920, 1080);
    Store("/Screen/Window/Width", 1280);
    Store("/Screen/Window/Height", 720);
    ExpectSize(GetScreenWindowSize(), 720, 1280);
}

TEST_F(ScreenSettingsTest, AMissingHeightIsTheLogicalHeight)
{
    Store("/Screen/Window/Width", 1280);
    ExpectSize(GetScreenWindowSize(), 1280, 1080);
    Store("/Screen/Original/Height", 900);
    ExpectSize(GetScreenWindowSize(), 1280, 900);
    ExpectSize(GetScreenFullSize(), 1920, 900);
    Store("/Screen/Full/Width", 2560);
    Store("/Screen/Full/Height", 1440);
    ExpectSize(GetScreenFullSize(), 2560, 1440);
}

TEST_F(ScreenSettingsTest, ChangeModeIsZeroFromWindows8On)
{
    Store("/Screen/ChangeMode", 1);
    EXPECT_EQ(GetScreenChangeMode(), 0);
    platform::SetReportedWindowsVersion(6, 1);
    EXPECT_EQ(GetScreenChangeMode(), 1); // Windows 7 reads the stored value
    m_app.UseConfigFile(m_dir.PathOf("other.xml"));
    EXPECT_EQ(GetScreenChangeMode(), 0); // default on Windows 7
    platform::SetReportedWindowsVersion(6, 0);
    EXPECT_EQ(GetScreenChangeMode(), 1); // default below Windows 7
}

TEST_F(ScreenSettingsTest, SettersCreateTheScreenElements)
{
    SetScreenWindowSize(1600, 900);
    SetScreenFullSize(3840, 2160);
    SetScreenFullDrawMode(0);
    SetScreenChangeMode(1);
    SetScreenStatus(2);
    ASSERT_EQ(m_app.Config().Save(), 1u);
    const std::string text = ReadWholeFile(m_dir.PathOf("config.xml"));
    const std::string body = text.substr(text.find('\n') + 1);
    EXPECT_EQ(body, "<Screen>\n"
                    "\t<Window>\n"
                    "\t\t<Width>1600</Width>\n"
                    "\t\t<Height>900</Height>\n"
                    "\t</Window>\n"
                    "\t<Full>\n"
                    "\t\t<Width>3840</Width>\n"
                    "\t\t<Height>2160</Height>\n"
                    "\t\t<DrawMode>0</DrawMode>\n"
                    "\t</Full>\n"
                    "\t<ChangeMode>1</ChangeMode>\n"
                    "\t<Status>2</Status>\n"
                    "</Screen>\n");
}

TEST_F(ScreenSettingsTest, TheNotifySwitchCannotComeFromTheFile)
{
    WriteSettingsFile(m_dir.PathOf("stored.xml"), "<DirectSound>\n\t<Notify>0</Notify>\n</DirectSound>\n");
    m_app.UseConfigFile(m_dir.PathOf("stored.xml"));
    EXPECT_TRUE(GetDirectSoundNotify());
}

TEST_F(ScreenSettingsTest, SaveFileNamesAreBuiltOnTheSaveFolder)
{
    EXPECT_STREQ(GetFlagFileName().GetText(), "/save/Save\\FLAG000");
    EXPECT_STREQ(GetOneMesFileName().GetText(), "/save/Save\\onemes.dat");
    EXPECT_STREQ(GetSelFileName(7).GetText(), "/save/Save\\sel007");
    EXPECT_STREQ(GetSelFileName(1234).GetText(), "/save/Save\\sel1234");
    Store("/R18", 1);
    EXPECT_STREQ(GetFlagFileName().GetText(), "/save/Save_b\\FLAG000");
}

TEST_F(ScreenSettingsTest, TheEffectArchiveNameComesFromTheFileInformation)
{
    EXPECT_STREQ(GetEffectArchivePath().GetText(), "effect.arc");
    WriteSettingsFile(
        m_dir.PathOf("FileInfo.xml"),
        "<GameFile>\n\t<EffectArchive>\n\t\t<File>se.arc</File>\n\t</EffectArchive>\n</GameFile>\n");
    m_app.UseFileInfoFile(m_dir.PathOf("FileInfo.xml"));
    EXPECT_STREQ(GetEffectArchivePath().GetText(), "se.arc");
}

TEST_F(ScreenSettingsTest, FontFaceFollowsTheLanguageTheGameStartedWith)
{
    const char* faces[] = {"SimHei", "SimHei", "SimHei", "ＭＳ ゴシック", "Arial Unicode MS"};
    for (int language = 0; language < 5; ++language) {
        Store("/Config/Language", language);
        EXPECT_STREQ(GetLanguageFontName().GetText(), faces[language]) << language;
    }
    // Once the game has started its language holds, whatever a script stores meanwhile.
    FakeDocumentLink document;
    document.m_language = 3;
    Store("/Config/Language", 0);
    EXPECT_STREQ(GetLanguageFontName().GetText(), "ＭＳ ゴシック");
    document.m_language = 0;
    Store("/Config/Language", 3);
    EXPECT_STREQ(GetLanguageFontName().GetText(), "SimHei");
}
