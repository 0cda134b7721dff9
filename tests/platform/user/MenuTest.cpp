// Menu 105, the menu calls, the layer-drawn bar and its drop-down loop.
#include "platform/user/MenuApi.h"

#include <gtest/gtest.h>

#include "platform/user/InputInjection.h"
#include "platform/user/RecordingWindow.h"
#include "platform/user/UiFont.h"
#include "platform/user/WindowApi.h"

namespace {

using namespace platform;
using test::RecordingWindow;

constexpr DWORD VIEW_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

std::u16string TextOf(HMENU menu, UINT item, UINT flags)
{
    char16_t buffer[64]{};
    GetMenuStringW(menu, item, buffer, 64, flags);
    return buffer;
}

TEST(MenuResource, MainMenuHasTheFourPopupsWithTheirCommands)
{
    RecordingWindow window; // resets the layer
    HMENU menu = LoadMenuW(nullptr, MAKEINTRESOURCEW(105));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(TextOf(menu, 0, MF_BYPOSITION), u"終了");
    EXPECT_EQ(TextOf(menu, 1, MF_BYPOSITION), u"ウィンドウ");
    EXPECT_EQ(TextOf(menu, 2, MF_BYPOSITION), u"環境設定");
    EXPECT_EQ(TextOf(menu, 3, MF_BYPOSITION), u"ヘルプ");
    MENUITEMINFOW help{};
    help.cbSize = sizeof help;
    help.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoW(menu, 3, TRUE, &help));
    EXPECT_EQ(help.fType, MFT_RIGHTJUSTIFY);

    struct Expected
    {
        int popup;
        std::vector<UINT> ids; // 0 for the separator
    };
    const Expected expected[] = {
        {0, {40002, 40001}},
        {1, {40003, 40004, 40005, 0, 40006}},
        {2, {40009, 40049, 40045}},
        {3, {40035, 40029}},
    };
    for (const Expected& entry : expected) {
        HMENU popup = GetSubMenu(menu, entry.popup);
        ASSERT_NE(popup, nullptr);
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(entry.ids.size()));
        // A pop-up's state holds its item count in the high byte.
        EXPECT_EQ(GetMenuState(menu, static_cast<UINT>(entry.popup), MF_BYPOSITION) >> 8, entry.ids.size());
        for (size_t i = 0; i < entry.ids.size(); ++i) {
            if (entry.ids[i] == 0)
                EXPECT_NE(GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR, 0u);
            else
                EXPECT_EQ(GetMenuItemID(popup, static_cast<int>(i)), entry.ids[i]);
        }
    }
    EXPECT_EQ(TextOf(menu, 40002, MF_BYCOMMAND), u"タイトルへ戻る");
    EXPECT_EQ(TextOf(menu, 40001, MF_BYCOMMAND), u"ゲームの終了");
    EXPECT_EQ(TextOf(menu, 40003, MF_BYCOMMAND), u"最小化");
    EXPECT_EQ(TextOf(menu, 40004, MF_BYCOMMAND), u"最大化");
    EXPECT_EQ(TextOf(menu, 40005, MF_BYCOMMAND), u"元のサイズに戻す");
    EXPECT_EQ(TextOf(menu, 40006, MF_BYCOMMAND), u"ウィンドウ設定");
    EXPECT_EQ(TextOf(menu, 40009, MF_BYCOMMAND), u"システム設定");
    EXPECT_EQ(TextOf(menu, 40049, MF_BYCOMMAND), u"サウンド設定");
    EXPECT_EQ(TextOf(menu, 40045, MF_BYCOMMAND), u"コントローラーセッティング");
    EXPECT_EQ(GetMenuState(menu, 40045, MF_BYCOMMAND), UINT(MF_GRAYED)) << "it opens nothing: greyed";
    EXPECT_EQ(GetMenuState(menu, 40049, MF_BYCOMMAND), UINT(MF_ENABLED));
    EXPECT_EQ(TextOf(menu, 40035, MF_BYCOMMAND), u"電子マニュアル");
    EXPECT_EQ(TextOf(menu, 40029, MF_BYCOMMAND), u"バージョン情報");
    // Each load is a copy of its own.
    HMENU second = LoadMenuW(nullptr, MAKEINTRESOURCEW(105));
    CheckMenuItem(second, 40007, MF_CHECKED);
    EnableMenuItem(second, 40001, MF_GRAYED);
    EXPECT_EQ(GetMenuState(menu, 40001, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_TRUE(DestroyMenu(second));
    EXPECT_FALSE(IsMenu(second));
    EXPECT_EQ(LoadMenuW(nullptr, MAKEINTRESOURCEW(106)), nullptr);
}

TEST(MenuCalls, EnableAndCheckReturnThePreviousState)
{
    RecordingWindow window;
    HMENU menu = LoadMenuW(nullptr, MAKEINTRESOURCEW(105));
    EXPECT_EQ(EnableMenuItem(menu, 40001, MF_BYCOMMAND | MF_GRAYED), static_cast<BOOL>(MF_ENABLED));
    EXPECT_EQ(EnableMenuItem(menu, 40001, MF_BYCOMMAND | MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
    EXPECT_EQ(CheckMenuItem(menu, 40004, MF_BYCOMMAND | MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(GetMenuState(menu, 40004, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
    EXPECT_EQ(CheckMenuItem(menu, 40004, MF_BYCOMMAND | MF_UNCHECKED), MF_CHECKED);
    EXPECT_EQ(EnableMenuItem(menu, 49999, MF_BYCOMMAND | MF_GRAYED), -1);
    EXPECT_EQ(GetMenuState(menu, 49999, MF_BYCOMMAND), static_cast<UINT>(-1));
    // By position inside a pop-up.
    HMENU window_menu = GetSubMenu(menu, 1);
    EnableMenuItem(window_menu, 4, MF_BYPOSITION | MF_GRAYED);
    EXPECT_NE(GetMenuState(menu, 40006, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

TEST(MenuCalls, SetMenuItemInfoChangesTheTextByCommandOrPosition)
{
    RecordingWindow window;
    HMENU menu = LoadMenuW(nullptr, MAKEINTRESOURCEW(105));
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    char16_t quit[] = u"Quit game";
    info.dwTypeData = quit;
    EXPECT_TRUE(SetMenuItemInfoW(menu, 40001, FALSE, &info));
    char16_t help[] = u"Help";
    info.dwTypeData = help;
    EXPECT_TRUE(SetMenuItemInfoW(menu, 3, TRUE, &info));
    EXPECT_EQ(TextOf(menu, 40001, MF_BYCOMMAND), u"Quit game");
    EXPECT_EQ(TextOf(menu, 3, MF_BYPOSITION), u"Help");
    // The pop-up is still there after its title changed.
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 3), 1), 40029u);
    info.cbSize = 4;
    EXPECT_FALSE(SetMenuItemInfoW(menu, 40001, FALSE, &info));
}

TEST(MenuCalls, SystemMenuHasCloseAndRevertsOnRequest)
{
    RecordingWindow window;
    HWND view = window.Create(VIEW_STYLE, 0, 0, 100, 100);
    HMENU system = GetSystemMenu(view, FALSE);
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(GetSystemMenu(view, FALSE), system);
    EXPECT_EQ(GetMenuState(system, SC_CLOSE, MF_BYCOMMAND), MF_ENABLED);
    EnableMenuItem(system, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_EQ(GetSystemMenu(view, TRUE), nullptr);
    EXPECT_EQ(GetMenuState(GetSystemMenu(view, FALSE), SC_CLOSE, MF_BYCOMMAND), MF_ENABLED);
}

// The drop-down loop, driven by SDL events pushed whenever the loop waits for input.
class MenuLoopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_menu = LoadMenuW(nullptr, MAKEINTRESOURCEW(105));
        m_view = m_window.Create(VIEW_STYLE | WS_VISIBLE, 0, 0, 640, 480, m_menu);
        RecordingWindow::PumpAll();
        m_window.handler = [this](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (message == WM_ENTERIDLE) {
                ++m_idle;
                if (m_step < m_script.size())
                    m_script[m_step++]();
                else
                    PushKey(m_view, VK_ESCAPE, true); // never leave a test hanging
            }
            return std::nullopt;
        };
        m_window.Clear();
    }

    // The screen x of the middle of the title at position `index` of the bar.
    int TitleX(int index)
    {
        // Titles are laid out from the left with 7 pixels of padding on each side.
        int x = 0;
        const char16_t* titles[] = {u"終了", u"ウィンドウ", u"環境設定"};
        for (int i = 0; i < index; ++i)
            x += UiFont::GetInstance().MeasureText(titles[i], 12) + 14;
        return x + 10;
    }

    std::vector<WPARAM> Commands() const
    {
        std::vector<WPARAM> result;
        for (const auto& entry : m_window.Of(WM_COMMAND))
            result.push_back(entry.w_param);
        return result;
    }

    RecordingWindow m_window;
    HMENU m_menu = nullptr;
    HWND m_view = nullptr;
    std::vector<std::function<void()>> m_script;
    size_t m_step = 0;
    int m_idle = 0;
};

TEST_F(MenuLoopTest, ClickingATitleOpensItAndAnItemPostsItsCommand)
{
    // The exit drop-down lies below the first title; its second item is 40001 (rows of 22 pixels
    // from one pixel below the bar).
    m_script = {[&] {
        PushMouseMove(m_view, TitleX(0) + 5, 20 + 1 + 22 + 11);
        PushMouseButton(m_view, 1, true, TitleX(0) + 5, 20 + 1 + 22 + 11);
        PushMouseButton(m_view, 1, false, TitleX(0) + 5, 20 + 1 + 22 + 11);
    }};
    PushMouseButton(m_view, 1, true, TitleX(0), 10);
    PushMouseButton(m_view, 1, false, TitleX(0), 10);
    RecordingWindow::PumpAll();
    const auto sequence = m_window.Sequence();
    EXPECT_NE(std::find(sequence.begin(), sequence.end(), WM_ENTERMENULOOP), sequence.end());
    EXPECT_EQ(m_window.Of(WM_INITMENU).size(), 1u);
    ASSERT_EQ(m_window.Of(WM_INITMENUPOPUP).size(), 1u);
    EXPECT_EQ(m_window.Of(WM_INITMENUPOPUP).front().w_param, reinterpret_cast<WPARAM>(GetSubMenu(m_menu, 0)));
    EXPECT_EQ(Commands(), (std::vector<WPARAM>{MAKEWPARAM(40001, 0)}));
    EXPECT_EQ(m_window.Of(WM_EXITMENULOOP).size(), 1u);
}

TEST_F(MenuLoopTest, AGreyedItemKeepsTheMenuOpenAndEscapeClosesIt)
{
    EnableMenuItem(m_menu, 40002, MF_BYCOMMAND | MF_GRAYED);
    m_script = {[&] {
                    PushMouseButton(m_view, 1, true, TitleX(0) + 5, 20 + 1 + 11);
                    PushMouseButton(m_view, 1, false, TitleX(0) + 5, 20 + 1 + 11);
                },
                [&] { PushKey(m_view, VK_ESCAPE, true); }};
    PushMouseButton(m_view, 1, true, TitleX(0), 10);
    RecordingWindow::PumpAll();
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(m_step, 2u);
    EXPECT_EQ(m_window.Of(WM_EXITMENULOOP).size(), 1u);
}

TEST_F(MenuLoopTest, MovingAlongTheBarSwitchesDropDownsAndKeysPick)
{
    m_script = {[&] {
        PushMouseMove(m_view, TitleX(2), 10);
        // Down twice: system settings, then sound settings.
        PushKey(m_view, VK_DOWN, true);
        PushKey(m_view, VK_DOWN, true);
        PushKey(m_view, VK_RETURN, true);
    }};
    PushMouseButton(m_view, 1, true, TitleX(0), 10);
    RecordingWindow::PumpAll();
    EXPECT_EQ(m_window.Of(WM_INITMENUPOPUP).size(), 2u);
    EXPECT_EQ(Commands(), (std::vector<WPARAM>{MAKEWPARAM(40049, 0)}));
}

TEST_F(MenuLoopTest, AClickOutsideTheMenuClosesItWithoutACommand)
{
    m_script = {[&] { PushMouseButton(m_view, 1, true, 600, 400); }};
    PushMouseButton(m_view, 1, true, TitleX(1), 10);
    RecordingWindow::PumpAll();
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(m_window.Of(WM_EXITMENULOOP).size(), 1u);
    // The click that closed the menu does not reach the window.
    EXPECT_TRUE(m_window.Of(WM_LBUTTONDOWN).empty());
}

TEST_F(MenuLoopTest, TheBarIsDrawnAndTheOpenDropDownOverIt)
{
    std::vector<uint32_t> closed;
    std::vector<uint32_t> open;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(CaptureWindow(m_view, closed, width, height));
    ASSERT_EQ(width, 640);
    ASSERT_EQ(height, 480);
    auto at = [&](const std::vector<uint32_t>& pixels, int x, int y) {
        return pixels[static_cast<size_t>(y * width + x)];
    };
    // The bar's grey in its empty middle, black client below it.
    EXPECT_EQ(at(closed, 400, 5) & 0xFFFFFF, 0xF0F0F0u);
    EXPECT_EQ(at(closed, 400, 100) & 0xFFFFFF, 0u);
    // Some text pixels inside the first title.
    int dark = 0;
    for (int x = 0; x < TitleX(0) + 20; ++x) {
        for (int y = 0; y < 20; ++y)
            dark += (at(closed, x, y) & 0xFF) < 0x80;
    }
    EXPECT_GT(dark, 10);

    m_script = {[&] {
        CaptureWindow(m_view, open, width, height);
        PushKey(m_view, VK_ESCAPE, true);
    }};
    PushMouseButton(m_view, 1, true, TitleX(0), 10);
    RecordingWindow::PumpAll();
    ASSERT_EQ(open.size(), closed.size());
    // The open title is tinted, and the drop-down covers the client area below it.
    EXPECT_EQ(at(open, 2, 10) & 0xFFFFFF, 0xCCE8FFu);
    EXPECT_EQ(at(open, 100, 20 + 1 + 2) & 0xFFFFFF, 0xF2F2F2u);
    EXPECT_EQ(at(closed, 100, 20 + 1 + 2) & 0xFFFFFF, 0u);
}

} // namespace
