// The version dialog: the numbers of the executable and the title in the configured language.
#include "app/CVersion.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/CProgress.h"
#include "app/CVeskMenuEvent.h"
#include "app/DialogTestFixture.h"
#include "platform/user/ControlsApi.h"
#include "platform/user/DialogDriver.h"
#include "platform/user/MessageBoxApi.h"

namespace {

// "a.b.c.d" of the project line of the top CMakeLists.txt.
std::u16string DeclaredVersion()
{
    const char* source = std::getenv("VESK_SOURCE_DIR");
    if (source == nullptr)
        return u"(no source folder)";
    std::ifstream file(std::string(source) + "/CMakeLists.txt");
    std::stringstream text;
    text << file.rdbuf();
    // The word after "VERSION" on the project line.
    const std::string content = text.str();
    const size_t project = content.find("project(");
    const size_t at = project == std::string::npos ? project : content.find(" VERSION ", project);
    if (at == std::string::npos)
        return u"(no version)";
    std::string version;
    std::istringstream(content.substr(at + 9)) >> version;
    return std::u16string(version.begin(), version.end());
}

class CVersionTest : public DialogTestFixture
{
protected:
    struct Seen
    {
        std::u16string caption;
        std::u16string title;
        std::u16string version;
    };

    Seen Open(int32_t language, const char* picture = nullptr)
    {
        m_app.Config().SetInt("/Config/Language", language);
        Seen seen;
        m_dialogs.Queue(120, [&](HWND dialog) {
            char16_t caption[64]{};
            GetWindowTextW(dialog, caption, 64);
            seen.caption = caption;
            seen.title = platform::DialogItemText(dialog, 1039);
            seen.version = platform::DialogItemText(dialog, 1040);
            if (picture != nullptr) {
                int width = 0;
                int height = 0;
                Snapshot(picture, width, height);
            }
            platform::DialogPressButton(dialog, IDOK);
        });
        CVersion dialog;
        EXPECT_EQ(dialog.DoModal(m_view), 1);
        return seen;
    }
};

TEST_F(CVersionTest, ShowsTheModuleVersionAndTheProductTitle)
{
    const Seen japanese = Open(3, "dialog_120_version");
    EXPECT_EQ(japanese.caption, u"バージョン情報");
    EXPECT_EQ(japanese.version, DeclaredVersion());
    // The product title of the language names the game the player started.
    EXPECT_EQ(japanese.title, u"Test Title 日本語版");
    EXPECT_EQ(Open(0).title, u"Test Title English Edition");
}

TEST_F(CVersionTest, TheTitleFollowsTheLanguage)
{
    EXPECT_EQ(Open(0, "dialog_120_version_english").caption, u"Version information");
    EXPECT_EQ(Open(1).caption, u"版本信息");
    EXPECT_EQ(Open(2).caption, u"版本信息");
    EXPECT_EQ(Open(3).caption, u"バージョン情報");
    // Each language has a title of its own.
    EXPECT_NE(GetProductTitle(0, u"T"), GetProductTitle(1, u"T"));
    EXPECT_NE(GetProductTitle(1, u"T"), GetProductTitle(2, u"T"));
}

// The menu bar's version item is the player's way in: the dialog opens over the view, and OK
// closes it with the view still there.
TEST_F(CVersionTest, TheMenuBarsVersionItemOpensAndClosesIt)
{
    m_app.Config().SetInt("/Config/Language", 0);
    std::u16string caption;
    m_dialogs.Queue(120, [&](HWND dialog) {
        char16_t text[64]{};
        GetWindowTextW(dialog, text, 64);
        caption = text;
        EXPECT_EQ(GetParent(dialog), m_view);
        platform::DialogPressButton(dialog, IDOK);
    });
    SendMessageW(m_view, WM_COMMAND, COMMAND_VERSION, 0);
    EXPECT_EQ(caption, u"Version information");
    EXPECT_TRUE(m_dialogs.Unscripted().empty());
    EXPECT_TRUE(IsWindow(m_view));
}

TEST_F(CVersionTest, TheProgressBarRunsFromZeroToAHundredWithoutAStep)
{
    int32_t range_max = 0;
    int32_t step = -1;
    m_dialogs.Queue(131, [&](HWND dialog) {
        const HWND bar = GetDlgItem(dialog, 1027);
        range_max = static_cast<int32_t>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
        // Setting a step answers the one before.
        step = static_cast<int32_t>(SendMessageW(bar, PBM_SETSTEP, 5, 0));
        platform::DialogPressButton(dialog, IDCANCEL);
    });
    CProgress progress;
    progress.DoModal(m_view);
    EXPECT_EQ(range_max, 100);
    EXPECT_EQ(step, 0);
    EXPECT_EQ(m_dialogs.Unscripted(), (std::vector<uint16_t>{131}));
}

} // namespace
