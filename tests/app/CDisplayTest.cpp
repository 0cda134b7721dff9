// The display control on a real main window with its display: the three modes, their order of
// switching, the saved status, the window's own requests and its size limits.

#include "app/CDisplay.h"

#include "MainViewFixture.h"
#include "app/CInputView.h"
#include "graphics/CDirect3D.h"
#include "platform/user/InputInjection.h"
#include "platform/user/MessageApi.h"
#include "platform/user/WindowApi.h"

namespace {

class CDisplayTest : public MainViewFixture
{
protected:
    ~CDisplayTest() override { CDirect3D::DeleteInstance(); }

    // The main window with the display made on it, as start-up does, shown.
    CDisplay* Start()
    {
        CreateView(800, 450);
        CDirect3D* display = CDirect3D::GetInstance();
        display->SetViewWindow(Window());
        EXPECT_EQ(display->Create(), 1);
        ShowWindow(Window(), SW_SHOW);
        PumpAll();
        return GetView()->GetDisplay();
    }
    int32_t Status() { return m_app.GetConfigInt("/Screen/Status", -1, 0); }
    bool Borderless() { return (GetWindowLongW(Window(), GWL_STYLE) & WS_CAPTION) != WS_CAPTION; }
};

} // namespace

TEST_F(CDisplayTest, FullScreenAndBackThroughTheToggleCommand)
{
    CDisplay* display = Start();
    ASSERT_EQ(display->GetMode(), DISPLAY_MODE_WINDOWED);

    SendMessageW(Window(), WM_COMMAND, 40011, 0); // Alt+Enter
    EXPECT_EQ(display->GetMode(), DISPLAY_MODE_FULL_SCREEN);
    EXPECT_EQ(Status(), 2);
    EXPECT_TRUE(Borderless());
    EXPECT_EQ(display->GetBusy(), 0);

    SendMessageW(Window(), WM_COMMAND, 40011, 0);
    EXPECT_EQ(display->GetMode(), DISPLAY_MODE_WINDOWED);
    EXPECT_EQ(Status(), 1);
    EXPECT_FALSE(Borderless());
    RECT client{};
    GetClientRect(Window(), &client);
    EXPECT_EQ(client.right - client.left, 800) << "the window size comes back";
}

TEST_F(CDisplayTest, MinimisingFromFullScreenRestoresToFullScreen)
{
    CDisplay* display = Start();
    SendMessageW(Window(), WM_COMMAND, 40004, 0);
    ASSERT_EQ(display->GetMode(), DISPLAY_MODE_FULL_SCREEN);

    SendMessageW(Window(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(display->GetMode(), DISPLAY_MODE_MINIMISED);
    EXPECT_EQ(display->GetFullScreenBeforeMinimise(), 1);
    EXPECT_EQ(Status(), 3);

    SendMessageW(Window(), WM_SYSCOMMAND, SC_RESTORE, 0); // the taskbar's restore
    EXPECT_EQ(display->GetMode(), DISPLAY_MODE_FULL_SCREEN);
    EXPECT_EQ(display->GetFullScreenBeforeMinimise(), 0);
    EXPECT_EQ(Status(), 2);
}

TEST_F(CDisplayTest, MinimisingAWindowClearsTheKeysAndRestoresToAWindow)
{
    CDisplay* display = Start();
    platform::PushKey(Window(), VK_RETURN, true);
    PumpAll();
    ASSERT_EQ(m_keyboard.IsKeyDown(28), 1);
    SendMessageW(Window(), WM_COMMAND, 40003, 0);
    EXPECT_EQ(m_keyboard.IsKeyDown(28), 0) << "a held key is forgotten";
    EXPECT_EQ(display->GetMode(), DISPLAY_MODE_MINIMISED);
    EXPECT_EQ(display->GetFullScreenBeforeMinimise(), 0);
    EXPECT_TRUE(IsIconic(Window()));
    EXPECT_EQ(Status(), 3);

    SendMessageW(Window(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(display->GetMode(), DISPLAY_MODE_WINDOWED);
    EXPECT_FALSE(IsIconic(Window()));
    EXPECT_EQ(Status(), 1);
}

TEST_F(CDisplayTest, TheWindowedCommandLeavesAWindowAlone)
{
    CDisplay* display = Start();
    m_app.Config().SetInt("/Screen/Status", 7);
    SendMessageW(Window(), WM_COMMAND, 40005, 0);
    EXPECT_EQ(display->GetMode(), DISPLAY_MODE_WINDOWED);
    EXPECT_EQ(Status(), 7) << "nothing to switch";
}

TEST_F(CDisplayTest, RequestsArrivingDuringASwitchAreDropped)
{
    CDisplay* display = Start();
    // A size message sent from inside a switch finds the busy flag: simulate one by hand.
    class Reentrant final : public IWinHook
    {
    public:
        int32_t HookProc(HWND window, UINT message, WPARAM w_param, LPARAM) override
        {
            if (message == WM_SIZE && w_param == SIZE_MAXIMIZED && display->GetBusy() == 1) {
                ++seen_busy;
                SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            }
            return 0;
        }
        CDisplay* display = nullptr;
        int seen_busy = 0;
    } reentrant;
    reentrant.display = display;
    GetView()->GetHookList().Remove(display);
    GetView()->GetHookList().Add(&reentrant);
    GetView()->GetHookList().Add(display);

    SendMessageW(Window(), WM_COMMAND, 40004, 0);
    EXPECT_GT(reentrant.seen_busy, 0);
    EXPECT_EQ(display->GetMode(), DISPLAY_MODE_FULL_SCREEN) << "the minimise asked meanwhile was dropped";
    GetView()->GetHookList().Remove(&reentrant);
}

TEST_F(CDisplayTest, TheWindowIsKeptBetweenHalfAndTwiceTheBaseSize)
{
    CDisplay* display = Start();
    RECT half{0, 0, 960, 540};
    AdjustWindowRect(&half, VIEW_WINDOW_STYLE, TRUE);
    RECT twice{0, 0, 3840, 2160};
    AdjustWindowRect(&twice, VIEW_WINDOW_STYLE, TRUE);

    MINMAXINFO info{};
    EXPECT_EQ(display->HookProc(Window(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.ptMinTrackSize.x, half.right - half.left);
    EXPECT_EQ(info.ptMinTrackSize.y, half.bottom - half.top);
    EXPECT_EQ(info.ptMaxTrackSize.x, twice.right - twice.left);
    EXPECT_EQ(info.ptMaxTrackSize.y, twice.bottom - twice.top);
    RECT proposed{10, 20, 30, 40};
    EXPECT_EQ(display->HookProc(Window(), WM_SIZING, 0, reinterpret_cast<LPARAM>(&proposed)), 1);
    EXPECT_EQ(proposed.right, 30);
}

TEST_F(CDisplayTest, AStartThatEndedInFullScreenAsksForItAgain)
{
    m_app.Config().SetInt("/Screen/Status", 2);
    CreateView(800, 450);
    MSG message{};
    bool asked = false;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        asked |= message.message == WM_COMMAND && LOWORD(message.wParam) == 40004;
    EXPECT_TRUE(asked);
    EXPECT_EQ(GetView()->GetDisplay()->GetMode(), DISPLAY_MODE_WINDOWED) << "it opens in a window first";
}
