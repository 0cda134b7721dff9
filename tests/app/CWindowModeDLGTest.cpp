// The window settings dialog as the player uses it: the window-size trackbar, the full-screen
// test with its countdown, the tabs in full screen, OK, Cancel and the defaults.
#include "app/CWindowModeDLG.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/CFullScreenDLG.h"
#include "app/CWindowSizeDLG.h"
#include "app/DialogTestFixture.h"
#include "foundation/CLangTextTable.h"
#include "mapwrite/MapTableWriter.h"
#include "platform/user/ControlsApi.h"
#include "platform/user/DialogDriver.h"
#include "platform/user/MessageBoxApi.h"

namespace {

constexpr int BAR = 20; // the menu bar the view's window adds above its client area

class CWindowModeDLGTest : public DialogTestFixture
{
protected:
    // Runs the dialog with the steps queued for it; its result.
    INT_PTR Run()
    {
        CWindowModeDLG dialog;
        return dialog.DoModal(m_view);
    }

    void ExpectClient(int width, int height)
    {
        const RECT client = ViewClient();
        EXPECT_EQ(client.right - client.left, width);
        EXPECT_EQ(client.bottom - client.top, height);
    }

    void ExpectWindowAt(int x, int y)
    {
        RECT window{};
        GetWindowRect(m_view, &window);
        EXPECT_EQ(window.left, x);
        EXPECT_EQ(window.top, y);
    }

    int32_t StoredInt(const char* key, int32_t fallback) { return m_app.Config().GetInt(key, fallback); }
};

TEST_F(CWindowModeDLGTest, TheTrackbarResizesTheWindowBetweenHalfAndTwiceAndCentresItCancelRestores)
{
    m_dialogs.Queue(111, [&](HWND dialog) {
        EXPECT_TRUE(platform::DialogChooseTab(dialog, 1001, 1));
        int width = 0;
        int height = 0;
        Snapshot("dialog_111_window_size", width, height);
    });
    m_dialogs.Queue(111, [&](HWND dialog) {
        EXPECT_TRUE(platform::DialogMoveTrackbar(dialog, 1015, 50));
        // 1920 x 50 % = 960; 1080 / 1920 x 960 = 540; the window adds the bar and is centred on
        // the 1920 x 1080 monitor: ((1920 - 960) / 2, (1080 - 560) / 2).
        ExpectClient(960, 540);
        ExpectWindowAt(480, 260);
        EXPECT_EQ(platform::DialogItemText(dialog, 1019), u"960 x 540");
        EXPECT_EQ(StoredInt("/Screen/Window/Width", 0), 960);
        EXPECT_EQ(StoredInt("/Screen/Window/Height", 0), 540);
    });
    m_dialogs.Queue(111, [&](HWND dialog) {
        // Below the range the trackbar stops at 50 %.
        EXPECT_TRUE(platform::DialogMoveTrackbar(dialog, 1015, 20));
        ExpectClient(960, 540);
    });
    m_dialogs.Queue(111, [&](HWND dialog) {
        // 200 %: 3840 x 2160, larger than the monitor, so placed at its top-left corner.
        EXPECT_TRUE(platform::DialogMoveTrackbar(dialog, 1015, 250));
        ExpectClient(3840, 2160);
        ExpectWindowAt(0, 0);
        EXPECT_EQ(platform::DialogItemText(dialog, 1019), u"3840 x 2160");
    });
    m_dialogs.Queue(111, [&](HWND dialog) {
        // 133 %: trunc(1920 x 1.33) = 2553, trunc(1080 / 1920 x 2553) = 1436.
        EXPECT_TRUE(platform::DialogMoveTrackbar(dialog, 1015, 133));
        ExpectClient(2553, 1436);
        EXPECT_TRUE(platform::DialogPressButton(dialog, IDCANCEL));
    });
    EXPECT_EQ(Run(), 0);
    ExpectClient(1920, 1080);
    // 1920 x 1100 with the bar: centred would be (0, -10), kept inside the monitor at (0, 0).
    ExpectWindowAt(0, 0);
    EXPECT_EQ(StoredInt("/Screen/Window/Width", 0), 1920);
    EXPECT_EQ(StoredInt("/Screen/Window/Height", 0), 1080);
    EXPECT_TRUE(m_dialogs.Unscripted().empty());
}

TEST_F(CWindowModeDLGTest, OkKeepsTheSizeTheTrackbarChose)
{
    m_dialogs.Queue(111, [&](HWND dialog) {
        platform::DialogChooseTab(dialog, 1001, 1);
        platform::DialogMoveTrackbar(dialog, 1015, 75);
        platform::DialogPressButton(dialog, IDOK);
    });
    EXPECT_EQ(Run(), 1);
    // 1920 x 0.75 = 1440; 1080 / 1920 x 1440 = 810.
    ExpectClient(1440, 810);
    ExpectWindowAt(240, (1080 - 810 - BAR) / 2);
    EXPECT_EQ(StoredInt("/Screen/Window/Width", 0), 1440);
    EXPECT_EQ(StoredInt("/Screen/Window/Height", 0), 810);
    // Nothing changed on the full-screen page in virtual full screen: no report.
    EXPECT_TRUE(m_boxes.Shown().empty());
}

TEST_F(CWindowModeDLGTest, TheFullScreenTestSwitchesCountsDownAndRestores)
{
    HWND settings = nullptr;
    std::vector<std::u16string> labels;
    bool full_screen_during = false;
    int32_t draw_mode_during = -1;
    bool settings_hidden_during = false;
    m_dialogs.Queue(111, [&](HWND dialog) {
        settings = dialog;
        int width = 0;
        int height = 0;
        Snapshot("dialog_111_full_screen", width, height);
        // Draw mode 3 (fit the height), then the test.
        EXPECT_TRUE(platform::DialogPressButton(dialog, 1009));
        EXPECT_TRUE(platform::DialogPressButton(dialog, 1010));
        // Back from the countdown: the window and the settings are as before.
        EXPECT_EQ(Display().GetMode(), DISPLAY_MODE_WINDOWED);
        EXPECT_EQ(m_display->GetDisplayMode(), DISPLAY_MODE_WINDOW);
        EXPECT_EQ(GetScreenFullDrawMode(), 1);
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(StoredInt("/Screen/Status", 0), 1);
    });
    m_dialogs.Queue(115, [&](HWND countdown) {
        full_screen_during = Display().GetMode() == DISPLAY_MODE_FULL_SCREEN &&
                             m_display->GetDisplayMode() == DISPLAY_MODE_BORDERLESS;
        draw_mode_during = GetScreenFullDrawMode();
        settings_hidden_during = !IsWindowVisible(settings);
        labels.push_back(platform::DialogItemText(countdown, 1019));
        int width = 0;
        int height = 0;
        Snapshot("dialog_115_countdown", width, height);
        platform::VirtualClock::Advance(1000);
    });
    for (int tick = 0; tick < 15; ++tick) {
        m_dialogs.Queue(115, [&](HWND countdown) {
            labels.push_back(platform::DialogItemText(countdown, 1019));
            platform::VirtualClock::Advance(1000);
        });
    }
    m_dialogs.Queue(111, [&](HWND dialog) { platform::DialogPressButton(dialog, IDCANCEL); });

    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(full_screen_during);
    EXPECT_EQ(draw_mode_during, 3);
    EXPECT_TRUE(settings_hidden_during);
    // Before the first tick, then after ticks 1 to 15; the sixteenth cancels.
    ASSERT_EQ(labels.size(), 16u);
    EXPECT_EQ(labels[0], u"15秒後に自動的に元に戻ります。");
    EXPECT_EQ(labels[1], u"15秒後に自動的に元に戻ります。");
    EXPECT_EQ(labels[2], u"14秒後に自動的に元に戻ります。");
    EXPECT_EQ(labels[15], u"1秒後に自動的に元に戻ります。");
    EXPECT_EQ(m_dialogs.PendingSteps(), 0u);
    EXPECT_TRUE(m_dialogs.Unscripted().empty());
    EXPECT_EQ(m_dialogs.Seen(), (std::vector<uint16_t>{111, 115}));
    // Cancel put the draw mode back as well.
    EXPECT_EQ(GetScreenFullDrawMode(), 1);
}

TEST_F(CWindowModeDLGTest, InFullScreenTheWindowSizeTabCannotBeChosenAndIsGrey)
{
    Display().EnterFullScreen();
    ASSERT_EQ(Display().GetMode(), DISPLAY_MODE_FULL_SCREEN);
    m_dialogs.Queue(111, [&](HWND dialog) {
        const HWND tab = GetDlgItem(dialog, 1001);
        EXPECT_TRUE(platform::DialogChooseTab(dialog, 1001, 1));
        EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 0);
        EXPECT_TRUE(IsWindowVisible(platform::FindDialogControl(dialog, 1007)));

        int width = 0;
        int height = 0;
        const std::vector<uint32_t> pixels = Snapshot("dialog_111_in_full_screen", width, height);
        RECT view{};
        GetWindowRect(m_view, &view);
        RECT tab_rect{};
        GetWindowRect(tab, &tab_rect);
        // The darkest blue channel over an item: the label's colour where its strokes are solid.
        auto darkest = [&](int item) {
            RECT item_rect{};
            SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(item),
                         reinterpret_cast<LPARAM>(&item_rect));
            uint32_t found = 255;
            for (int y = tab_rect.top + item_rect.top; y < tab_rect.top + item_rect.bottom; ++y) {
                for (int x = tab_rect.left + item_rect.left; x < tab_rect.left + item_rect.right; ++x) {
                    const size_t at = static_cast<size_t>(y - view.top) * static_cast<size_t>(width) +
                                      static_cast<size_t>(x - view.left);
                    found = std::min(found, pixels[at] & 0xFF);
                }
            }
            return found;
        };
        // Black (0) text on the first tab; COLOR_GRAYTEXT (109) text on the second: nothing there
        // is darker than 109, yet its strokes are well below the face.
        EXPECT_LT(darkest(0), 60u);
        EXPECT_GE(darkest(1), 109u);
        EXPECT_LT(darkest(1), 160u);
        platform::DialogPressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Display().GetMode(), DISPLAY_MODE_FULL_SCREEN);
}

TEST_F(CWindowModeDLGTest, OkReportsChangedFullScreenSettingsAndStoresThem)
{
    m_dialogs.Queue(111, [&](HWND dialog) {
        platform::DialogPressButton(dialog, 1009);
        platform::DialogPressButton(dialog, IDOK);
    });
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(GetScreenFullDrawMode(), 3);
    ASSERT_EQ(m_boxes.Shown().size(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].text,
              u"■切り替え方法\r\n「仮想フルスクリーン」\r\n■表示方法\r\n"
              u"「ディスプレイ解像度の縦幅に合わせて表示。（相対縦横比を維持）」\r\nに設定しました。");
    EXPECT_EQ(m_boxes.Shown()[0].type & MB_ICONMASK, MB_ICONINFORMATION);
}

TEST_F(CWindowModeDLGTest, TheReportOfARealFullScreenNamesTheVideoMode)
{
    // "%4u" pads to four places.
    EXPECT_EQ(
        FormatFullScreenReport(1, 0, 800, 600),
        "■切り替え方法\r\n「フルスクリーン」\r\n■ビデオモード\r\n「 800 ×  600 32 bit（ True Color ）」\r\n"
        "■表示方法\r\n「ディスプレイ解像度に合わせて拡大縮小しないで表示。」\r\nに設定しました。");
}

TEST_F(CWindowModeDLGTest, DefaultsPutTheBaseSizeAndTheFirstDrawModeBack)
{
    m_app.Config().SetInt("/Screen/Full/DrawMode", 4);
    m_app.Config().SetInt("/Screen/Full/Width", 1280);
    m_app.Config().SetInt("/Screen/Full/Height", 720);
    m_dialogs.Queue(111, [&](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(GetParent(platform::FindDialogControl(dialog, 1012)), 1012),
                  BST_CHECKED);
        platform::DialogChooseTab(dialog, 1001, 1);
        platform::DialogMoveTrackbar(dialog, 1015, 60);
        platform::DialogPressButton(dialog, 1011);
        const HWND page = GetParent(platform::FindDialogControl(dialog, 1012));
        EXPECT_EQ(IsDlgButtonChecked(page, 1012), BST_UNCHECKED);
        EXPECT_EQ(IsDlgButtonChecked(page, 1007), BST_CHECKED);
        // The full-screen size is written at once; the modes wait for OK.
        EXPECT_EQ(StoredInt("/Screen/Full/Width", 0), 1920);
        EXPECT_EQ(StoredInt("/Screen/Full/Height", 0), 1080);
        EXPECT_EQ(SendMessageW(platform::FindDialogControl(dialog, 1015), TBM_GETPOS, 0, 0), 100);
        platform::DialogPressButton(dialog, IDOK);
    });
    EXPECT_EQ(Run(), 1);
    ExpectClient(1920, 1080);
    EXPECT_EQ(GetScreenFullDrawMode(), 1);
}

// The demo's tables give the dialog's translated parts (its title, its tabs, the standard button,
// OK and Cancel, and the full-screen test's title) words of their own in every language, so an
// English game does not show them in the resource's Japanese.
TEST(CWindowModeDLGTexts, TheDemosTablesNameTheTitleTabsAndButtons)
{
    const char* tables[] = {"system_en.txt", "system_cn.txt", "system_tw.txt", "system.txt"};
    for (int language = 0; language < 4; ++language) {
        SCOPED_TRACE(tables[language]);
        std::ifstream file(std::filesystem::path(std::getenv("VESK_SOURCE_DIR")) / "demo/text" /
                           tables[language]);
        const std::string listing((std::istreambuf_iterator<char>(file)), {});
        CLangTextTable table;
        table.AddEntries(tools::BuildMapTable(tools::ParseMapListing(listing)), language);
        for (const int id : {11, 24, 25, 30, 31, 257})
            EXPECT_FALSE(table.GetText(id, language).IsEmpty()) << id;
    }
}

} // namespace
