#include "app/CWinApp.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "app/AppMessageBox.h"
#include "app/TestApp.h"
#include "platform/kernel/Unicode.h"
#include "platform/user/MessageBoxApi.h"
#include "platform/user/ScriptedMessageBoxPolicy.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace {

// A machine of the test's own: the executable in game/, application data in data/.
class CWinAppTest : public ::testing::Test
{
protected:
    std::string GameFolder() const { return m_dir.PathOf("game") + "/"; }
    std::string DataFolder() const { return m_dir.PathOf("data"); }

    void WriteSystemInfo(const std::string& body)
    {
        WriteSettingsFile(GameFolder() + "SystemInfo.xml", body);
    }
    void WriteFileInfo(const std::string& body) { WriteSettingsFile(GameFolder() + "FileInfo.xml", body); }

    TempDir m_dir;
    bool m_made = std::filesystem::create_directories(m_dir.PathOf("game"));
    ScopedEnv m_module{"VESK_MODULE_PATH", (m_dir.PathOf("game") + "/vesk").c_str()};
    ScopedEnv m_data_home{"XDG_DATA_HOME", DataFolder().c_str()};
    platform::ScriptedMessageBoxPolicy m_boxes;
};

} // namespace

TEST_F(CWinAppTest, StartUpBuildsTheFoldersAndTitleFromTheSystemInformation)
{
    WriteSystemInfo("<GameFolder>word</GameFolder>\n<MAKER_LABEL>Maker</MAKER_LABEL>\n"
                    "<GameTitle>ゲーム</GameTitle>\n");
    WriteFileInfo("<GameFile>\n</GameFile>\n");
    TestApp app;
    app.InitFramework();
    EXPECT_TRUE(m_boxes.Shown().empty());
    EXPECT_STREQ(app.GetModuleFolder().GetText(), GameFolder().c_str());
    EXPECT_STREQ(app.GetModuleName().GetText(), "vesk");
    EXPECT_STREQ(app.GetTitle().GetText(), "ゲーム");
    const std::string maker = DataFolder() + "\\Maker\\";
    EXPECT_STREQ(app.GetMakerFolder().GetText(), maker.c_str());
    EXPECT_STREQ(app.GetUserDataRoot().GetText(), (maker + "word\\").c_str());
    EXPECT_STREQ(app.GetSaveFolder().GetText(), (maker + "word\\Save\\").c_str());
    EXPECT_STREQ(app.GetAltSaveFolder().GetText(), (maker + "word\\Save_b\\").c_str());
    EXPECT_STREQ(app.GetAppString().GetText(), (maker + "word\\Save\\").c_str());
    EXPECT_STREQ(app.GetAltAppString().GetText(), (maker + "word\\Save_b\\").c_str());
    EXPECT_FALSE(std::filesystem::exists(DataFolder() + "/Maker")); // made later, by the save data
}

TEST_F(CWinAppTest, MissingSettingsFilesAreReportedAndTheDefaultsUsed)
{
    TestApp app;
    app.InitFramework();
    const auto shown = m_boxes.Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, u"Load Error:\n" + platform::Utf8ToUtf16(GameFolder()) + u"SystemInfo.xml");
    EXPECT_EQ(shown[0].caption, u""); // the title is read after this box
    EXPECT_EQ(shown[0].type, MB_ICONEXCLAMATION);
    EXPECT_EQ(shown[1].text, u"Load Error:\n" + platform::Utf8ToUtf16(GameFolder()) + u"FileInfo.xml");
    EXPECT_EQ(shown[1].caption, u"asmr_system");
    EXPECT_STREQ(app.GetSaveFolder().GetText(), (DataFolder() + "\\KOVRA GAMES\\tolmiqua\\Save\\").c_str());
    EXPECT_EQ(app.GetFileDataVersion(), 1);
    EXPECT_EQ(app.GetConfigInt("/Config/Language", 42, 0), 42); // an empty configuration
}

TEST_F(CWinAppTest, TheWholeCommandLineIsCompared)
{
    WriteSystemInfo("");
    WriteFileInfo("");
    struct Case
    {
        const char* command_line;
        uint32_t no_update;
        uint32_t rotate;
    };
    const Case cases[] = {{"NO_UPDATE", 1, 0}, {"rotate", 0, 1},           {"rotate now", 0, 0},
                          {"Rotate", 0, 0},    {"NO_UPDATE rotate", 0, 0}, {"", 0, 0}};
    for (const Case& c : cases) {
        TestApp app;
        app.SetStartupArguments(nullptr, c.command_line, 1);
        app.InitFramework();
        EXPECT_EQ(app.GetNoUpdateFlag(), c.no_update) << c.command_line;
        EXPECT_EQ(app.GetRotateFlag(), c.rotate) << c.command_line;
    }
}

TEST_F(CWinAppTest, ArchiveChecksumListsAreReadPerKindAndEntry)
{
    WriteSystemInfo("");
    WriteFileInfo("<GameFile>\n\t<XmlVersion>3</XmlVersion>\n"
                  "\t<ScriptArchive>\n\t\t<Hash00>s0</Hash00>\n\t\t<Hash04>s4</Hash04>\n\t</ScriptArchive>\n"
                  "\t<VoiceArchive>\n\t\t<Hash02>v2</Hash02>\n\t</VoiceArchive>\n"
                  "\t<EffectArchive>\n\t\t<Hash01>e1</Hash01>\n\t</EffectArchive>\n</GameFile>\n");
    TestApp app;
    app.InitFramework();
    EXPECT_EQ(app.GetFileDataVersion(), 3);
    EXPECT_STREQ(app.GetArchiveHash(0, 0).GetText(), "s0");
    EXPECT_STREQ(app.GetArchiveHash(0, 4).GetText(), "s4");
    EXPECT_STREQ(app.GetArchiveHash(0, 1).GetText(), "");
    EXPECT_STREQ(app.GetArchiveHash(5, 1).GetText(), "e1");
    EXPECT_STREQ(app.GetArchiveHash(6, 2).GetText(), "v2");
    EXPECT_STREQ(app.GetArchiveHash(1, 0).GetText(), "");
}

TEST_F(CWinAppTest, TheConfigurationIsWrittenWhenTheObjectIsDestroyed)
{
    WriteSystemInfo("<GameFolder>word</GameFolder>\n<MAKER_LABEL>Maker</MAKER_LABEL>\n");
    WriteFileInfo("");
    const std::string save_folder = DataFolder() + "/Maker/word/Save";
    std::filesystem::create_directories(save_folder);
    {
        TestApp app;
        app.InitFramework();
        app.GetConfigDocument()->SetInt("/Config/Master/Volume", 40);
        EXPECT_FALSE(std::filesystem::exists(save_folder + "/config.xml")); // not before the end
    }
    const std::string text = ReadWholeFile(save_folder + "/config.xml");
    EXPECT_NE(text.find("<Master>\n\t\t<Volume>40</Volume>\n\t</Master>"), std::string::npos) << text;

    TestApp again; // the next start reads it back
    again.InitFramework();
    EXPECT_EQ(again.GetConfigInt("/Config/Master/Volume", 75, 0), 40);
}

TEST_F(CWinAppTest, AFailedSaveAtTheEndIsReported)
{
    std::vector<std::string> shown;
    SetAppMessageBoxHook([&](UINT, const CStringUTF8& text) {
        shown.push_back(text.GetText());
        return 1;
    });
    const std::string path = m_dir.PathOf("missing/config.xml");
    {
        TestApp app;
        app.UseConfigFile(path);
        app.Config().SetInt("/Config/Master/Volume", 40);
    }
    SetAppMessageBoxHook(nullptr);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "Save Error:\n" + path);
}

TEST_F(CWinAppTest, TheSecondConfigurationIsNeverThere)
{
    TestApp app;
    app.UseConfigFile(m_dir.PathOf("config.xml"));
    app.Config().SetInt("/R18", 1);
    app.Config().SetString("/Name", "x");
    EXPECT_EQ(app.GetConfigInt("/R18", 7, 0), 1);
    EXPECT_EQ(app.GetConfigInt("/R18", 7, 1), 7);
    EXPECT_STREQ(app.GetConfigString("/Name", "d", 0).GetText(), "x");
    EXPECT_STREQ(app.GetConfigString("/Name", "d", 1).GetText(), "d");
}

TEST_F(CWinAppTest, TheAlternateSaveFolderNeedsR18OfExactlyOne)
{
    TestApp app;
    app.UseConfigFile(m_dir.PathOf("config.xml"));
    app.SetSaveFolders("S\\", "B\\");
    EXPECT_STREQ(app.GetAppString().GetText(), "S\\");
    const std::pair<int, const char*> cases[] = {{1, "B\\"}, {2, "S\\"}, {-1, "S\\"}, {0, "S\\"}};
    for (const auto& [r18, folder] : cases) {
        app.Config().SetInt("/R18", r18);
        EXPECT_STREQ(app.GetAppString().GetText(), folder) << r18;
    }
}

TEST_F(CWinAppTest, MessageBoxesGetTheTitleAndAnExclamationWhereNoIconIsGiven)
{
    TestApp app;
    app.SetTitle("タイトル");
    struct Case
    {
        UINT given;
        UINT shown;
    };
    const Case cases[] = {
        {0, MB_ICONEXCLAMATION},
        {MB_ICONERROR, MB_ICONERROR},
        {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
        {MB_YESNO, MB_YESNO | MB_ICONEXCLAMATION},
        {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONEXCLAMATION},
        {MB_ABORTRETRYIGNORE, MB_ABORTRETRYIGNORE},
        {MB_RETRYCANCEL, MB_RETRYCANCEL},
        {MB_YESNO | MB_ICONINFORMATION, MB_YESNO | MB_ICONINFORMATION},
    };
    for (const Case& c : cases)
        AppMessageBox(c.given, "本文");
    const auto shown = m_boxes.Shown();
    ASSERT_EQ(shown.size(), std::size(cases));
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].type, cases[i].shown) << "flags " << cases[i].given;
        EXPECT_EQ(shown[i].caption, u"タイトル");
        EXPECT_EQ(shown[i].text, u"本文");
    }
}

TEST_F(CWinAppTest, WithoutAnApplicationObjectTheExecutablePathIsTheCaption)
{
    ASSERT_EQ(GetApp(), nullptr);
    m_boxes.QueueAnswer(IDRETRY);
    EXPECT_EQ(AppMessageBox(MB_RETRYCANCEL, "x"), IDRETRY);
    const auto shown = m_boxes.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, platform::Utf8ToUtf16(GameFolder() + "vesk"));
    EXPECT_EQ(shown[0].type, MB_RETRYCANCEL);
}

// The link below the shell follows the current object, so settings read below it reach the
// object a test stands in.
TEST_F(CWinAppTest, TheNewestApplicationObjectIsTheCurrentOne)
{
    EXPECT_EQ(GetApp(), nullptr);
    EXPECT_EQ(GetAppLink(), nullptr);
    TestApp outer;
    EXPECT_EQ(GetApp(), &outer);
    EXPECT_EQ(GetAppLink(), static_cast<AppLink*>(&outer));
    {
        TestApp inner;
        EXPECT_EQ(GetApp(), &inner);
        EXPECT_EQ(GetAppLink(), static_cast<AppLink*>(&inner));
    }
    EXPECT_EQ(GetApp(), &outer);
    EXPECT_EQ(GetAppLink(), static_cast<AppLink*>(&outer));
}

TEST_F(CWinAppTest, AHookTakesTheMessagesBeforeAnyBox)
{
    TestApp app;
    std::vector<std::pair<UINT, std::string>> caught;
    SetAppMessageBoxHook([&caught](UINT flags, const CStringUTF8& text) {
        caught.emplace_back(flags, text.GetText());
        return IDCANCEL;
    });
    EXPECT_EQ(AppMessageBox(MB_ICONERROR, "エラー"), IDCANCEL);
    SetAppMessageBoxHook(nullptr);
    EXPECT_EQ(AppMessageBox(0, "shown"), IDOK);
    ASSERT_EQ(caught.size(), 1u);
    EXPECT_EQ(caught[0].first, MB_ICONERROR);
    EXPECT_EQ(caught[0].second, "エラー");
    ASSERT_EQ(m_boxes.Shown().size(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].text, u"shown");
}
