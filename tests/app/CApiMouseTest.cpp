// The mouse hook: buttons and capture, clicks that expire after a second, the wheel, cursor shapes,
// the system cursor's display count, touch gestures and the turned positions of "rotate".
#include "app/CApiMouse.h"

#include <thread>

#include <gtest/gtest.h>

#include "app/TestApp.h"
#include "platform/kernel/LibraryApi.h"
#include "platform/kernel/VirtualClock.h"
#include "platform/user/InputInjection.h"
#include "platform/user/MessageApi.h"
#include "platform/user/TouchApi.h"
#include "platform/user/WindowApi.h"
#include "platform/user/WindowLayerTesting.h"
#include "support/ThreadTest.h"

namespace {

using platform::VirtualClock;

class CApiMouseThreadTest : public ThreadTest
{
protected:
    CApiMouseThreadTest()
    {
        VirtualClock::Enable(50'000);
        platform::ResetWindowLayer();
        WNDCLASSW info{};
        info.lpfnWndProc = &CApiMouseThreadTest::Procedure;
        info.lpszClassName = u"MouseTest";
        RegisterClassW(&info);
        m_window = CreateWindowExW(0, u"MouseTest", u"", WS_POPUP | WS_VISIBLE, 100, 200, 640, 480, nullptr,
                                   nullptr, nullptr, nullptr);
        s_mouse = &m_mouse;
        m_mouse.Attach(nullptr, m_window);
    }
    ~CApiMouseThreadTest() override
    {
        s_mouse = nullptr;
        platform::ResetWindowLayer();
        VirtualClock::Disable();
    }

    // Sends the mouse what a window procedure would hand it.
    static LRESULT Procedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
    {
        if (s_mouse != nullptr) {
            if (const int32_t result = s_mouse->HookProc(window, message, w_param, l_param))
                return result;
        }
        return DefWindowProcW(window, message, w_param, l_param);
    }

    static void Pump()
    {
        if (s_mouse != nullptr)
            s_mouse->BeginPump();
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
            if (message.message == WM_PAINT)
                ValidateRect(message.hwnd, nullptr);
        }
    }

    void Touch(platform::FingerPhase phase, int x, int y)
    {
        platform::PushFinger(m_window, phase, 1, static_cast<float>(x) / 640.0f,
                             static_cast<float>(y) / 480.0f);
        Pump();
    }

    CApiMouse m_mouse;
    HWND m_window = nullptr;
    static CApiMouse* s_mouse;
};

CApiMouse* CApiMouseThreadTest::s_mouse = nullptr;

TEST_F(CApiMouseThreadTest, AClickCountsForOneSecondAndTakesTheCapture)
{
    platform::PushMouseButton(m_window, 1, true, 10, 10);
    Pump();
    EXPECT_EQ(m_mouse.IsLeftDown(), 1);
    EXPECT_EQ(GetCapture(), m_window);
    EXPECT_EQ(m_mouse.IsLeftClicked(), 0);
    platform::PushMouseButton(m_window, 1, false, 10, 10);
    Pump();
    EXPECT_EQ(m_mouse.IsLeftDown(), 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(m_mouse.IsLeftClicked(), 1);
    VirtualClock::Advance(999);
    EXPECT_EQ(m_mouse.IsLeftClicked(), 1); // reported on every query until it expires
    VirtualClock::Advance(1);
    EXPECT_EQ(m_mouse.IsLeftClicked(), 0);
}

// A screen's loop may look at the held state only after a short press was let go again: the
// press still reads as held, at every look of that turn (the town map steers by it before its
// side menu's button takes it), until the next pump; a pump before any look keeps it.
TEST_F(CApiMouseThreadTest, APressLetGoBeforeALookReadsHeldUntilThePumpAfterIt)
{
    platform::PushMouseButton(m_window, 1, true, 10, 10);
    platform::PushMouseButton(m_window, 1, false, 10, 10);
    Pump();
    Pump();
    EXPECT_EQ(m_mouse.IsLeftDown(), 1);
    EXPECT_EQ(m_mouse.IsLeftDown(), 1);
    Pump();
    EXPECT_EQ(m_mouse.IsLeftDown(), 0);
    // A press still held is read as held at every look; one the screen's end cleared is not.
    platform::PushMouseButton(m_window, 3, true, 10, 10);
    Pump();
    EXPECT_EQ(m_mouse.IsRightDown(), 1);
    EXPECT_EQ(m_mouse.IsRightDown(), 1);
    platform::PushMouseButton(m_window, 3, false, 10, 10);
    Pump();
    EXPECT_EQ(m_mouse.IsRightDown(), 0);
    platform::PushMouseButton(m_window, 1, true, 10, 10);
    platform::PushMouseButton(m_window, 1, false, 10, 10);
    Pump();
    m_mouse.ClearClicks();
    EXPECT_EQ(m_mouse.IsLeftDown(), 0);
}

TEST_F(CApiMouseThreadTest, ClearClicksForgetsThem)
{
    platform::PushMouseButton(m_window, 3, true, 10, 10);
    platform::PushMouseButton(m_window, 3, false, 10, 10);
    Pump();
    EXPECT_EQ(m_mouse.IsRightClicked(), 1);
    m_mouse.ClearClicks();
    EXPECT_EQ(m_mouse.IsRightClicked(), 0);
}

TEST_F(CApiMouseThreadTest, ASecondButtonIsIgnoredWhileOneIsHeld)
{
    platform::PushMouseButton(m_window, 1, true, 10, 10);
    platform::PushMouseButton(m_window, 3, true, 10, 10);
    platform::PushMouseButton(m_window, 3, false, 10, 10);
    Pump();
    EXPECT_EQ(m_mouse.IsRightDown(), 0);
    EXPECT_EQ(m_mouse.IsRightClicked(), 0);
    platform::PushMouseButton(m_window, 1, false, 10, 10);
    platform::PushMouseButton(m_window, 3, true, 10, 10);
    Pump();
    EXPECT_EQ(m_mouse.IsRightDown(), 1);
}

TEST_F(CApiMouseThreadTest, APressWhileAnotherWindowHoldsTheCaptureIsIgnored)
{
    SetCapture(m_window);
    platform::PushMouseButton(m_window, 1, true, 10, 10);
    Pump();
    EXPECT_EQ(m_mouse.IsLeftDown(), 0);
}

TEST_F(CApiMouseThreadTest, TheWheelCountsOneStepPerMessage)
{
    platform::PushWheel(m_window, 3);
    platform::PushWheel(m_window, 1);
    Pump();
    EXPECT_EQ(m_mouse.GetWheel(), 2);
    platform::PushWheel(m_window, -1);
    Pump();
    EXPECT_EQ(m_mouse.GetWheel(), 1);
    m_mouse.HookProc(m_window, WM_MOUSEWHEEL, MAKEWPARAM(0, 0), 0);
    EXPECT_EQ(m_mouse.GetWheel(), 0);
}

TEST_F(CApiMouseThreadTest, TheClientAreaShowsTheChosenCursorAndEdgesTheSizingOnes)
{
    EXPECT_EQ(m_mouse.HookProc(m_window, WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 1);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    m_mouse.HookProc(m_window, WM_SETCURSOR, 0, MAKELPARAM(HTTOPRIGHT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZENESW));
    m_mouse.HookProc(m_window, WM_SETCURSOR, 0, MAKELPARAM(HTBOTTOM, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZENS));
    m_mouse.HookProc(m_window, WM_SETCURSOR, 0, MAKELPARAM(HTLEFT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZEWE));
    m_mouse.HookProc(m_window, WM_SETCURSOR, 0, MAKELPARAM(HTBOTTOMRIGHT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZENWSE));
    m_mouse.HookProc(m_window, WM_SETCURSOR, 0, MAKELPARAM(HTMENU, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(CApiMouseThreadTest, TheHandShapesAreCursorResources)
{
    for (const int32_t shape : {1011, 118, 1011, -1}) {
        m_mouse.SetCursorShape(shape);
        m_mouse.HookProc(m_window, WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        const HCURSOR wanted = shape == -1
                                   ? LoadCursorW(nullptr, IDC_ARROW)
                                   : LoadCursorW(nullptr, MAKEINTRESOURCEW(static_cast<uintptr_t>(shape)));
        ASSERT_NE(wanted, nullptr) << shape;
        EXPECT_EQ(GetCursor(), wanted) << shape;
    }
    EXPECT_NE(LoadCursorW(nullptr, MAKEINTRESOURCEW(118)), LoadCursorW(nullptr, MAKEINTRESOURCEW(1011)));
    EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(119)), nullptr) << "no such resource";
}

TEST_F(CApiMouseThreadTest, ShowCursorWalksTheDisplayCountToTheWantedSide)
{
    ShowCursor(TRUE); // count 1: shown twice over
    m_mouse.ShowCursor(FALSE);
    EXPECT_EQ(ShowCursor(TRUE), 0); // it had stopped at -1
    ShowCursor(FALSE);
    m_mouse.ShowCursor(FALSE); // already hidden: nothing
    EXPECT_EQ(ShowCursor(TRUE), 0);
    ShowCursor(FALSE);
    ShowCursor(FALSE); // -2
    m_mouse.ShowCursor(TRUE);
    EXPECT_EQ(ShowCursor(FALSE), -1); // it had stopped at 0
    EXPECT_EQ(m_mouse.IsCursorShown(), TRUE);
}

TEST_F(CApiMouseThreadTest, PositionsAreClientPixels)
{
    m_mouse.SetPosition(30, 40);
    POINT screen{};
    GetCursorPos(&screen);
    EXPECT_EQ(screen.x, 130);
    EXPECT_EQ(screen.y, 240);
    POINT client{};
    m_mouse.GetPosition(&client);
    EXPECT_EQ(client.x, 30);
    EXPECT_EQ(client.y, 40);
}

TEST_F(CApiMouseThreadTest, AnotherThreadSeesThePositionTheMainThreadReadLast)
{
    // The game cursor's task reads the position on the app-task thread, which must not reach
    // into the window layer: it gets the position of the last mouse move or read of the main
    // thread.
    auto read_elsewhere = [this] {
        POINT point{-1, -1};
        std::thread([&] { m_mouse.GetPosition(&point); }).join();
        return point;
    };
    platform::PushMouseMove(m_window, 25, 35);
    Pump();
    POINT seen = read_elsewhere();
    EXPECT_EQ(seen.x, 25);
    EXPECT_EQ(seen.y, 35);
    SetCursorPos(100 + 60, 200 + 70); // not yet read on the main thread
    seen = read_elsewhere();
    EXPECT_EQ(seen.x, 25);
    POINT here{};
    m_mouse.GetPosition(&here);
    seen = read_elsewhere();
    EXPECT_EQ(seen.x, 60);
    EXPECT_EQ(seen.y, 70);
}

TEST_F(CApiMouseThreadTest, RotatedPositionsReadBackWhatWasSet)
{
    TestApp app;
    app.SetRotate(1);
    SetCursorPos(100 + 30, 200 + 40);
    POINT turned{};
    m_mouse.GetPosition(&turned);
    // A quarter turn in a 640 x 480 client area: x' = 480 - y, y' = x.
    EXPECT_EQ(turned.x, 440);
    EXPECT_EQ(turned.y, 30);
    m_mouse.SetPosition(turned.x, turned.y);
    POINT screen{};
    GetCursorPos(&screen);
    EXPECT_EQ(screen.x, 130);
    EXPECT_EQ(screen.y, 240);
}

TEST_F(CApiMouseThreadTest, AShortTouchIsATapThatLastsOneSecond)
{
    Touch(platform::FingerPhase::Down, 200, 100);
    POINT pointer{};
    m_mouse.GetPosition(&pointer);
    EXPECT_EQ(pointer.x, 200);
    EXPECT_EQ(pointer.y, 100);
    VirtualClock::Advance(499);
    Touch(platform::FingerPhase::Up, 200, 100);
    EXPECT_EQ(m_mouse.GetTouchTap(), 1);
    EXPECT_EQ(m_mouse.GetTouchState(), 0);
    VirtualClock::Advance(1000);
    EXPECT_EQ(m_mouse.GetTouchTap(), 0);
}

TEST_F(CApiMouseThreadTest, AHeldTouchIsALongPress)
{
    Touch(platform::FingerPhase::Down, 200, 100);
    VirtualClock::Advance(500);
    Touch(platform::FingerPhase::Up, 200, 100);
    EXPECT_EQ(m_mouse.GetTouchTap(), 0);
    EXPECT_EQ(m_mouse.GetTouchState(), 1);
    m_mouse.ResetTouch(1);
    EXPECT_EQ(m_mouse.GetTouchState(), 0);
}

TEST_F(CApiMouseThreadTest, TenPixelsIsStillATapElevenADrag)
{
    Touch(platform::FingerPhase::Down, 200, 100);
    Touch(platform::FingerPhase::Move, 210, 90);
    EXPECT_EQ(m_mouse.IsDragging(), 0);
    Touch(platform::FingerPhase::Up, 210, 90);
    EXPECT_EQ(m_mouse.GetTouchTap(), 1);

    m_mouse.ResetTouch(0);
    Touch(platform::FingerPhase::Down, 200, 100);
    Touch(platform::FingerPhase::Move, 200, 111);
    EXPECT_EQ(m_mouse.IsDragging(), 1);
    Touch(platform::FingerPhase::Up, 200, 111);
    EXPECT_EQ(m_mouse.IsDragging(), 0);
    EXPECT_EQ(m_mouse.GetTouchTap(), 0);
    EXPECT_EQ(m_mouse.GetTouchState(), 0);
}

TEST_F(CApiMouseThreadTest, TouchIsIgnoredWithoutTheSystemFunctions)
{
    platform::SetTouchFunctionsExported(false);
    Touch(platform::FingerPhase::Down, 200, 100);
    Touch(platform::FingerPhase::Up, 200, 100);
    platform::SetTouchFunctionsExported(true);
    EXPECT_EQ(m_mouse.GetTouchTap(), 0);
}

TEST_F(CApiMouseThreadTest, TouchWhileAButtonIsHeldIsIgnored)
{
    platform::PushMouseButton(m_window, 1, true, 10, 10);
    Pump();
    Touch(platform::FingerPhase::Down, 200, 100);
    Touch(platform::FingerPhase::Up, 200, 100);
    EXPECT_EQ(m_mouse.GetTouchTap(), 0);
}

TEST_F(CApiMouseThreadTest, AShapeChangeMovesThePointerToWhereItIs)
{
    EXPECT_EQ(m_mouse.GetCursorShape(), -1);
    EXPECT_EQ(m_mouse.SetCursorShape(-1), 1);
    EXPECT_EQ(m_mouse.SetCursorShape(1011), 1);
    EXPECT_EQ(m_mouse.GetCursorShape(), 1011);
}

} // namespace
