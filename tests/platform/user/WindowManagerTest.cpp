// Windows, their state and the messages their state changes send.
#include "platform/user/WindowApi.h"

#include <gtest/gtest.h>

#include "platform/kernel/ErrorApi.h"
#include "platform/user/MenuApi.h"
#include "platform/user/MessageApi.h"
#include "platform/user/RecordingWindow.h"

namespace {

using test::RecordingWindow;

constexpr DWORD VIEW_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr int BAR = 20; // the menu bar's height, SM_CYMENU

class WindowManagerTest : public ::testing::Test
{
protected:
    RecordingWindow m_window;
};

TEST_F(WindowManagerTest, CreationSendsItsMessagesInWindowsOrder)
{
    LPVOID seen_param = nullptr;
    int seen_cx = 0;
    m_window.handler = [&](HWND, UINT message, WPARAM, LPARAM l_param) -> std::optional<LRESULT> {
        if (message == WM_CREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l_param);
            seen_param = create->lpCreateParams;
            seen_cx = create->cx;
        }
        return std::nullopt;
    };
    int marker = 0;
    HWND window = CreateWindowExW(0, u"TestWindow", u"Title", VIEW_STYLE, 10, 20, 640, 360, nullptr, nullptr,
                                  nullptr, &marker);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(m_window.Sequence(),
              (std::vector<UINT>{WM_GETMINMAXINFO, WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
    EXPECT_EQ(seen_param, &marker);
    EXPECT_EQ(seen_cx, 640);
    const auto size = m_window.Of(WM_SIZE).front();
    EXPECT_EQ(size.w_param, SIZE_RESTORED);
    EXPECT_EQ(LOWORD(size.l_param), 640);
    EXPECT_EQ(HIWORD(size.l_param), 360);
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(WindowManagerTest, MinusOneFromCreateFailsTheCreation)
{
    m_window.handler = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CREATE)
            return -1;
        return std::nullopt;
    };
    EXPECT_EQ(m_window.Create(VIEW_STYLE, 0, 0, 100, 100), nullptr);
    EXPECT_FALSE(m_window.Of(WM_DESTROY).empty());
}

TEST_F(WindowManagerTest, UserDataAndExtraBytesKeepWhatIsStored)
{
    HWND window = m_window.Create(VIEW_STYLE, 0, 0, 100, 100);
    int object = 0;
    EXPECT_EQ(SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&object)), 0);
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&object));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), VIEW_STYLE);
    // The test class has no extra bytes, so index 0 is out of range.
    SetLastError(0);
    EXPECT_EQ(GetWindowLongW(window, 0), 0);
    EXPECT_EQ(GetLastError(), 1413u);
}

TEST_F(WindowManagerTest, ShowingSendsShowAndActivateAtOnceAndTheEchoIsDropped)
{
    HWND window = m_window.Create(VIEW_STYLE, 0, 0, 320, 200);
    m_window.Clear();
    EXPECT_FALSE(ShowWindow(window, SW_SHOW));
    EXPECT_EQ(m_window.Sequence(), (std::vector<UINT>{WM_SHOWWINDOW, WM_ACTIVATE, WM_SETFOCUS}));
    EXPECT_EQ(LOWORD(m_window.Of(WM_ACTIVATE).front().w_param), WA_ACTIVE);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetForegroundWindow(), window);
    m_window.Clear();
    RecordingWindow::PumpAll();
    // SDL reports the window shown (and possibly focused) later; nothing more reaches the window.
    EXPECT_TRUE(m_window.Of(WM_SHOWWINDOW).empty());
    EXPECT_TRUE(m_window.Of(WM_ACTIVATE).empty());
    EXPECT_TRUE(ShowWindow(window, SW_SHOW));
}

TEST_F(WindowManagerTest, HidingAnActiveWindowDeactivatesIt)
{
    HWND window = m_window.Create(VIEW_STYLE | WS_VISIBLE, 0, 0, 320, 200);
    m_window.Clear();
    EXPECT_TRUE(ShowWindow(window, SW_HIDE));
    const auto activations = m_window.Of(WM_ACTIVATE);
    ASSERT_EQ(activations.size(), 1u);
    EXPECT_EQ(LOWORD(activations.front().w_param), WA_INACTIVE);
    EXPECT_EQ(m_window.Sequence().front(), WM_SHOWWINDOW);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST_F(WindowManagerTest, MenuBarTakesItsHeightFromTheClientArea)
{
    HMENU menu = LoadMenuW(nullptr, MAKEINTRESOURCEW(105));
    ASSERT_NE(menu, nullptr);
    HWND window = m_window.Create(VIEW_STYLE, 100, 50, 640, 480, menu);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480 - BAR);
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU), BAR);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    EXPECT_EQ(origin.x, 100);
    EXPECT_EQ(origin.y, 50 + BAR);

    RECT adjusted{0, 0, 640, 460};
    AdjustWindowRect(&adjusted, VIEW_STYLE, TRUE);
    EXPECT_EQ(adjusted.top, -BAR);
    EXPECT_EQ(adjusted.bottom - adjusted.top, 480);

    m_window.Clear();
    EXPECT_TRUE(SetMenu(window, nullptr));
    const auto sizes = m_window.Of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(HIWORD(sizes.front().l_param), 480);
    EXPECT_EQ(GetMenu(window), nullptr);
    DestroyMenu(menu);
}

TEST_F(WindowManagerTest, StyleChangesAreAnnouncedBeforeAndAfter)
{
    HWND window = m_window.Create(VIEW_STYLE, 0, 0, 320, 200);
    m_window.Clear();
    EXPECT_EQ(static_cast<DWORD>(SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(WS_POPUP))), VIEW_STYLE);
    EXPECT_EQ(m_window.Sequence(), (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
    const auto* change = reinterpret_cast<const STYLESTRUCT*>(m_window.Of(WM_STYLECHANGED).front().l_param);
    (void)change; // only valid during the call
    EXPECT_EQ(m_window.Of(WM_STYLECHANGED).front().w_param, static_cast<WPARAM>(GWL_STYLE));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), WS_POPUP);
}

TEST_F(WindowManagerTest, SetWindowPosMovesSizesAndShowsWithItsMessages)
{
    HWND window = m_window.Create(VIEW_STYLE, 0, 0, 320, 200);
    m_window.Clear();
    SetWindowPos(window, HWND_NOTOPMOST, 30, 40, 400, 300, SWP_SHOWWINDOW);
    EXPECT_EQ(m_window.Sequence(),
              (std::vector<UINT>{WM_SHOWWINDOW, WM_MOVE, WM_SIZE, WM_ACTIVATE, WM_SETFOCUS}));
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 30);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(rect.right, 430);
    EXPECT_EQ(rect.bottom, 340);
    m_window.Clear();
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    EXPECT_TRUE(m_window.Of(WM_SIZE).empty());
    EXPECT_TRUE(m_window.Of(WM_MOVE).empty());
}

TEST_F(WindowManagerTest, MinimiseAndRestoreReportSizesAndTheEchoesAreDropped)
{
    HWND window = m_window.Create(VIEW_STYLE | WS_VISIBLE, 0, 0, 320, 200);
    m_window.Clear();
    ShowWindow(window, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(window));
    auto sizes = m_window.Of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes.front().w_param, SIZE_MINIMIZED);
    EXPECT_EQ(sizes.front().l_param, 0);
    ASSERT_FALSE(m_window.Of(WM_ACTIVATE).empty());
    EXPECT_EQ(LOWORD(m_window.Of(WM_ACTIVATE).back().w_param), WA_INACTIVE);
    RecordingWindow::PumpAll();

    m_window.Clear();
    ShowWindow(window, SW_RESTORE);
    EXPECT_FALSE(IsIconic(window));
    sizes = m_window.Of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes.front().w_param, SIZE_RESTORED);
    EXPECT_EQ(LOWORD(sizes.front().l_param), 320);
    EXPECT_EQ(HIWORD(sizes.front().l_param), 200);
    m_window.Clear();
    RecordingWindow::PumpAll();
    EXPECT_TRUE(m_window.Of(WM_SYSCOMMAND).empty());
    EXPECT_TRUE(m_window.Of(WM_SIZE).empty());
}

TEST_F(WindowManagerTest, MaximisingACaptionlessWindowCoversTheDisplay)
{
    HWND window = m_window.Create(WS_POPUP | WS_VISIBLE, 0, 0, 320, 200);
    m_window.Clear();
    ShowWindow(window, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(window));
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYSCREEN));
    ASSERT_EQ(m_window.Of(WM_SIZE).size(), 1u);
    EXPECT_EQ(m_window.Of(WM_SIZE).front().w_param, SIZE_MAXIMIZED);
}

TEST_F(WindowManagerTest, DestroyingTakesOwnedWindowsFirst)
{
    HWND owner = m_window.Create(VIEW_STYLE | WS_VISIBLE, 0, 0, 320, 200);
    HWND owned = m_window.Create(WS_POPUP, 0, 0, 100, 20, nullptr, owner);
    ASSERT_NE(owned, nullptr);
    EXPECT_EQ(GetParent(owned), owner);
    m_window.Clear();
    EXPECT_TRUE(DestroyWindow(owner));
    std::vector<std::pair<HWND, UINT>> order;
    for (const auto& entry : m_window.All()) {
        if (entry.message == WM_DESTROY || entry.message == WM_NCDESTROY || entry.message == WM_ACTIVATE)
            order.emplace_back(entry.window, entry.message);
    }
    const std::vector<std::pair<HWND, UINT>> expected = {{owned, WM_DESTROY},
                                                         {owned, WM_NCDESTROY},
                                                         {owner, WM_ACTIVATE},
                                                         {owner, WM_DESTROY},
                                                         {owner, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(IsWindow(owner));
    EXPECT_FALSE(IsWindow(owned));
}

TEST_F(WindowManagerTest, ClassesRegisterOnceAndUnregister)
{
    WNDCLASSW info{};
    info.lpfnWndProc = &DefWindowProcW;
    info.lpszClassName = u"Twice";
    EXPECT_NE(RegisterClassW(&info), 0);
    EXPECT_EQ(RegisterClassW(&info), 0);
    EXPECT_TRUE(UnregisterClassW(u"twice", nullptr));
    EXPECT_FALSE(UnregisterClassW(u"Twice", nullptr));
    EXPECT_EQ(CreateWindowExW(0, u"Twice", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
}

TEST_F(WindowManagerTest, ShowCursorKeepsADisplayCounter)
{
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(ShowCursor(TRUE), 1);
}

TEST_F(WindowManagerTest, CaptureIsAnnouncedToTheWindowThatLosesIt)
{
    HWND first = m_window.Create(VIEW_STYLE, 0, 0, 100, 100);
    HWND second = m_window.Create(WS_POPUP, 0, 0, 10, 10, nullptr, first);
    EXPECT_EQ(SetCapture(first), nullptr);
    EXPECT_EQ(GetCapture(), first);
    m_window.Clear();
    EXPECT_EQ(SetCapture(second), first);
    ASSERT_EQ(m_window.Of(WM_CAPTURECHANGED).size(), 1u);
    EXPECT_EQ(m_window.Of(WM_CAPTURECHANGED).front().window, first);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WindowManagerTest, CursorPositionReadsBackWhatWasSet)
{
    HWND window = m_window.Create(VIEW_STYLE | WS_VISIBLE, 0, 0, 320, 200);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(SetCursorPos(40, 60));
    POINT point{};
    GetCursorPos(&point);
    EXPECT_EQ(point.x, 40);
    EXPECT_EQ(point.y, 60);
}

} // namespace
