// The display modes of the main window and how the window's own requests reach them.
#include "app/CDisplay.h"

#include <gtest/gtest.h>

#include "app/DialogTestFixture.h"
#include "platform/user/MenuApi.h"

namespace {

constexpr int BAR = 20; // the menu bar's height

class CDisplayTest : public DialogTestFixture
{
protected:
    int32_t Status() { return m_app.Config().GetInt("/Screen/Status", 0); }
    DWORD Style() { return static_cast<DWORD>(GetWindowLongW(m_view, GWL_STYLE)); }
};

TEST_F(CDisplayTest, FullScreenAndBackSwitchTheWindowAndRememberTheMode)
{
    ASSERT_EQ(Display().GetMode(), DISPLAY_MODE_WINDOWED);
    Display().EnterFullScreen();
    EXPECT_EQ(Display().GetMode(), DISPLAY_MODE_FULL_SCREEN);
    EXPECT_EQ(Status(), DISPLAY_MODE_FULL_SCREEN);
    // The maximise inside the switch came back as WM_SIZE while busy and was not taken as a
    // second request: the device is still in its borderless full screen.
    EXPECT_EQ(m_display->GetDisplayMode(), DISPLAY_MODE_BORDERLESS);
    EXPECT_EQ(Style() & WS_CAPTION, 0u);
    EXPECT_EQ(GetMenu(m_view), nullptr);
    EXPECT_EQ(Display().GetBusy(), 0);

    Display().SetWindowed(1);
    EXPECT_EQ(Display().GetMode(), DISPLAY_MODE_WINDOWED);
    EXPECT_EQ(Status(), DISPLAY_MODE_WINDOWED);
    EXPECT_EQ(m_display->GetDisplayMode(), DISPLAY_MODE_WINDOW);
    EXPECT_EQ(Style() & WS_CAPTION, WS_CAPTION);
    EXPECT_NE(GetMenu(m_view), nullptr);
    EXPECT_FALSE(IsZoomed(m_view));
    const RECT client = ViewClient();
    EXPECT_EQ(client.right - client.left, 1920);
    EXPECT_EQ(client.bottom - client.top, 1080);
}

TEST_F(CDisplayTest, WithoutForceAFullScreenIsLeftAndEnteredAgain)
{
    Display().EnterFullScreen();
    Display().SetWindowed(0);
    EXPECT_EQ(Display().GetMode(), DISPLAY_MODE_FULL_SCREEN);
    EXPECT_EQ(m_display->GetDisplayMode(), DISPLAY_MODE_BORDERLESS);
    // In a window there is nothing to do.
    Display().SetWindowed(1);
    Display().SetWindowed(1);
    EXPECT_EQ(Display().GetMode(), DISPLAY_MODE_WINDOWED);
}

TEST_F(CDisplayTest, MinimisedFromFullScreenTheRestoreComesBackToFullScreen)
{
    Display().EnterFullScreen();
    SendMessageW(m_view, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(Display().GetMode(), DISPLAY_MODE_MINIMISED);
    EXPECT_EQ(Status(), DISPLAY_MODE_MINIMISED);
    EXPECT_TRUE(IsIconic(m_view));
    SendMessageW(m_view, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(Display().GetMode(), DISPLAY_MODE_FULL_SCREEN);
    EXPECT_FALSE(IsIconic(m_view));
    EXPECT_EQ(Status(), DISPLAY_MODE_FULL_SCREEN);
}

TEST_F(CDisplayTest, MinimisedFromAWindowTheRestoreComesBackToTheWindow)
{
    SendMessageW(m_view, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(m_view));
    SendMessageW(m_view, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(Display().GetMode(), DISPLAY_MODE_WINDOWED);
    EXPECT_FALSE(IsIconic(m_view));
}

TEST_F(CDisplayTest, RequestsWhileASwitchRunsAreIgnored)
{
    Display().SetBusy(1);
    SendMessageW(m_view, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    SendMessageW(m_view, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(Display().GetMode(), DISPLAY_MODE_WINDOWED);
    EXPECT_FALSE(IsIconic(m_view));
    Display().SetBusy(0);
    SendMessageW(m_view, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_EQ(Display().GetMode(), DISPLAY_MODE_FULL_SCREEN);
}

TEST_F(CDisplayTest, TheWindowIsKeptBetweenHalfAndTwiceTheBaseSize)
{
    MINMAXINFO limits{};
    SendMessageW(m_view, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 960);
    EXPECT_EQ(limits.ptMinTrackSize.y, 540 + BAR);
    EXPECT_EQ(limits.ptMaxTrackSize.x, 3840);
    EXPECT_EQ(limits.ptMaxTrackSize.y, 2160 + BAR);
}

TEST_F(CDisplayTest, AStartInFullScreenAsksForItThroughTheCommand)
{
    m_app.Config().SetInt("/Screen/Status", DISPLAY_MODE_FULL_SCREEN);
    CDisplay display;
    display.Init(m_view);
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, m_view, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(message.wParam), COMMAND_FULL_SCREEN);
    EXPECT_EQ(display.GetMode(), DISPLAY_MODE_WINDOWED);
}

} // namespace
