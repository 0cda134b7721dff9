// Input from SDL events through the queue to window procedures, posting, accelerators, timers.
#include "platform/user/MessageApi.h"

#include <thread>

#include <gtest/gtest.h>

#include "platform/kernel/LibraryApi.h"
#include "platform/kernel/VirtualClock.h"
#include "platform/user/InputInjection.h"
#include "platform/user/MenuApi.h"
#include "platform/user/RecordingWindow.h"
#include "platform/user/TouchApi.h"
#include "platform/user/WindowApi.h"
#include "support/ThreadTest.h"

namespace {

using namespace platform;
using test::RecordingWindow;

constexpr DWORD VIEW_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr int BAR = 20;

class MessageQueueThreadTest : public ThreadTest
{
protected:
    void SetUp() override
    {
        m_view = m_window.Create(VIEW_STYLE | WS_VISIBLE, 100, 50, 640, 480);
        ASSERT_NE(m_view, nullptr);
        RecordingWindow::PumpAll();
        m_window.Clear();
    }

    RecordingWindow m_window;
    HWND m_view = nullptr;
};

TEST_F(MessageQueueThreadTest, KeysArriveAsVirtualKeysWithTheirScanCodesInOrder)
{
    PushKey(m_view, 'A', true);
    PushKey(m_view, VK_RETURN, true);
    PushKey(m_view, VK_RETURN, false);
    PushKey(m_view, 'A', false);
    RecordingWindow::PumpAll(false);
    const auto downs = m_window.Of(WM_KEYDOWN);
    const auto ups = m_window.Of(WM_KEYUP);
    ASSERT_EQ(downs.size(), 2u);
    ASSERT_EQ(ups.size(), 2u);
    EXPECT_EQ(m_window.Sequence(), (std::vector<UINT>{WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP, WM_KEYUP}));
    EXPECT_EQ(downs[0].w_param, static_cast<WPARAM>('A'));
    EXPECT_EQ(downs[1].w_param, static_cast<WPARAM>(VK_RETURN));
    // lParam: repeat count 1, scan code in bits 16-23 (A is 0x1E, Enter 0x1C), bit 31 on release.
    EXPECT_EQ(static_cast<uint32_t>(downs[0].l_param), 0x001E'0001u);
    EXPECT_EQ(static_cast<uint32_t>(downs[1].l_param), 0x001C'0001u);
    EXPECT_EQ(static_cast<uint32_t>(ups[1].l_param), 0xC01E'0001u);
}

TEST_F(MessageQueueThreadTest, TranslateMessageMakesCharactersWithShift)
{
    PushKey(m_view, 'A', true);
    PushKey(m_view, 'A', false);
    PushKey(m_view, VK_LSHIFT, true);
    PushKey(m_view, 'A', true);
    PushKey(m_view, '1', true);
    PushKey(m_view, VK_LSHIFT, false);
    RecordingWindow::PumpAll(true);
    std::u16string text;
    for (const auto& entry : m_window.Of(WM_CHAR))
        text.push_back(static_cast<char16_t>(entry.w_param));
    EXPECT_EQ(text, u"aA!");
    // Each character follows its key at once.
    const auto sequence = m_window.Sequence();
    ASSERT_GE(sequence.size(), 2u);
    EXPECT_EQ(sequence[0], WM_KEYDOWN);
    EXPECT_EQ(sequence[1], WM_CHAR);
}

TEST_F(MessageQueueThreadTest, AltCombinationsAreSystemKeys)
{
    PushKey(m_view, VK_MENU, true);
    PushKey(m_view, VK_F4, true);
    PushKey(m_view, VK_F4, false);
    PushKey(m_view, VK_MENU, false);
    std::vector<MSG> messages;
    MSG message{};
    while (PeekMessageW(&message, nullptr, WM_KEYDOWN, WM_SYSKEYUP, PM_REMOVE))
        messages.push_back(message);
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0].message, WM_SYSKEYDOWN);
    EXPECT_EQ(messages[1].message, WM_SYSKEYDOWN);
    EXPECT_EQ(messages[1].wParam, static_cast<WPARAM>(VK_F4));
    EXPECT_NE(messages[1].lParam & (1 << 29), 0); // the Alt context bit
    EXPECT_EQ(messages[2].message, WM_SYSKEYUP);
    EXPECT_EQ(messages[3].message, WM_SYSKEYUP);
}

TEST_F(MessageQueueThreadTest, AsyncKeyStateTellsLeftFromRight)
{
    PushKey(m_view, VK_RSHIFT, true);
    PushKey(m_view, VK_LCONTROL, true);
    RecordingWindow::PumpAll();
    EXPECT_LT(GetAsyncKeyState(VK_RSHIFT), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_LSHIFT), 0);
    EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetAsyncKeyState(VK_LCONTROL), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_RCONTROL), 0);
    const auto downs = m_window.Of(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].w_param, static_cast<WPARAM>(VK_SHIFT)); // the message carries the generic key
    EXPECT_EQ(downs[1].w_param, static_cast<WPARAM>(VK_CONTROL));
    PushKey(m_view, VK_RSHIFT, false);
    RecordingWindow::PumpAll();
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT), 0);
}

TEST_F(MessageQueueThreadTest, AcceleratorsTurnKeysIntoCommands)
{
    HACCEL accelerators = LoadAcceleratorsW(nullptr, MAKEINTRESOURCEW(108));
    ASSERT_NE(accelerators, nullptr);
    ACCEL entries[4]{};
    ASSERT_EQ(CopyAcceleratorTableW(accelerators, entries, 4), 3);

    auto press = [&](std::initializer_list<int> keys) {
        for (int key : keys)
            PushKey(m_view, key, true);
        for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
            PushKey(m_view, *it, false);
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!TranslateAcceleratorW(m_view, accelerators, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    };
    press({VK_MENU, VK_F4});
    press({VK_MENU, VK_RETURN});
    press({VK_F1});
    press({VK_F4}); // without Alt nothing
    std::vector<WPARAM> commands;
    for (const auto& entry : m_window.Of(WM_COMMAND))
        commands.push_back(entry.w_param);
    EXPECT_EQ(commands,
              (std::vector<WPARAM>{MAKEWPARAM(40001, 1), MAKEWPARAM(40011, 1), MAKEWPARAM(40008, 1)}));
    DestroyAcceleratorTable(accelerators);
}

TEST_F(MessageQueueThreadTest, AGreyedMenuItemSwallowsItsAccelerator)
{
    HMENU menu = LoadMenuW(nullptr, MAKEINTRESOURCEW(105));
    SetMenu(m_view, menu);
    EnableMenuItem(menu, 40001, MF_BYCOMMAND | MF_GRAYED);
    HACCEL accelerators = LoadAcceleratorsW(nullptr, MAKEINTRESOURCEW(108));
    PushKey(m_view, VK_MENU, true);
    PushKey(m_view, VK_F4, true);
    int translated = 0;
    MSG message{};
    while (PeekMessageW(&message, nullptr, WM_KEYDOWN, WM_SYSKEYUP, PM_REMOVE))
        translated += TranslateAcceleratorW(m_view, accelerators, &message);
    EXPECT_EQ(translated, 1);
    EXPECT_EQ(m_window.Of(WM_INITMENU).size(), 1u);
    EXPECT_TRUE(m_window.Of(WM_COMMAND).empty());
}

TEST_F(MessageQueueThreadTest, ClicksArriveInClientPixelsAfterSetCursor)
{
    HMENU menu = LoadMenuW(nullptr, MAKEINTRESOURCEW(105));
    SetMenu(m_view, menu);
    RecordingWindow::PumpAll();
    m_window.Clear();
    PushMouseButton(m_view, 1, true, 30, BAR + 40);
    PushMouseButton(m_view, 1, false, 30, BAR + 40);
    RecordingWindow::PumpAll();
    EXPECT_EQ(m_window.Sequence(), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    const auto down = m_window.Of(WM_LBUTTONDOWN).front();
    EXPECT_EQ(LOWORD(down.l_param), 30);
    EXPECT_EQ(HIWORD(down.l_param), 40);
    EXPECT_EQ(down.w_param & MK_LBUTTON, MK_LBUTTON);
    const auto cursors = m_window.Of(WM_SETCURSOR);
    ASSERT_EQ(cursors.size(), 2u);
    EXPECT_EQ(LOWORD(cursors[0].l_param), HTCLIENT);
    EXPECT_EQ(HIWORD(cursors[0].l_param), WM_LBUTTONDOWN);
    POINT pointer{};
    GetCursorPos(&pointer);
    EXPECT_EQ(pointer.x, 100 + 30);
    EXPECT_EQ(pointer.y, 50 + BAR + 40);
}

TEST_F(MessageQueueThreadTest, MovesOverTheMenuBarAreNonClient)
{
    SetMenu(m_view, LoadMenuW(nullptr, MAKEINTRESOURCEW(105)));
    RecordingWindow::PumpAll();
    m_window.Clear();
    PushMouseMove(m_view, 300, 5);
    RecordingWindow::PumpAll();
    const auto moves = m_window.Of(WM_NCMOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves.front().w_param, static_cast<WPARAM>(HTMENU));
    EXPECT_EQ(LOWORD(moves.front().l_param), 400); // screen pixels
    EXPECT_EQ(HIWORD(moves.front().l_param), 55);
    EXPECT_TRUE(m_window.Of(WM_MOUSEMOVE).empty());
}

TEST_F(MessageQueueThreadTest, WheelStepsAreOneNotchEach)
{
    PushWheel(m_view, 1);
    PushWheel(m_view, -2);
    RecordingWindow::PumpAll();
    const auto wheels = m_window.Of(WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 2u);
    EXPECT_EQ(static_cast<SHORT>(HIWORD(wheels[0].w_param)), 120);
    EXPECT_EQ(static_cast<SHORT>(HIWORD(wheels[1].w_param)), -240);
}

TEST_F(MessageQueueThreadTest, MouseCaptureSendsMovesOutsideTheWindowToIt)
{
    SetCapture(m_view);
    PushMouseMove(m_view, -20, 700);
    RecordingWindow::PumpAll();
    const auto moves = m_window.Of(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(static_cast<SHORT>(LOWORD(moves.front().l_param)), -20);
    EXPECT_EQ(static_cast<SHORT>(HIWORD(moves.front().l_param)), 700);
    EXPECT_TRUE(m_window.Of(WM_SETCURSOR).empty());
}

TEST_F(MessageQueueThreadTest, TouchReachesOnlyARegisteredWindow)
{
    PushFinger(m_view, FingerPhase::Down, 7, 0.5f, 0.25f);
    RecordingWindow::PumpAll();
    EXPECT_TRUE(m_window.Of(WM_TOUCH).empty());

    HMODULE user32 = LoadLibraryW(u"User32.dll");
    ASSERT_NE(user32, nullptr);
    auto register_touch =
        reinterpret_cast<RegisterTouchWindowProc>(GetProcAddress(user32, "RegisterTouchWindow"));
    auto get_info = reinterpret_cast<GetTouchInputInfoProc>(GetProcAddress(user32, "GetTouchInputInfo"));
    auto close_handle =
        reinterpret_cast<CloseTouchInputHandleProc>(GetProcAddress(user32, "CloseTouchInputHandle"));
    ASSERT_TRUE(register_touch && get_info && close_handle);
    ASSERT_TRUE(register_touch(m_view, 0));

    PushFinger(m_view, FingerPhase::Down, 7, 0.5f, 0.25f);
    PushFinger(m_view, FingerPhase::Up, 7, 0.5f, 0.25f);
    RecordingWindow::PumpAll();
    const auto touches = m_window.Of(WM_TOUCH);
    ASSERT_EQ(touches.size(), 2u);
    EXPECT_EQ(LOWORD(touches[0].w_param), 1);
    TOUCHINPUT input{};
    auto handle = reinterpret_cast<HTOUCHINPUT>(touches[0].l_param);
    ASSERT_TRUE(get_info(handle, 1, &input, sizeof(TOUCHINPUT)));
    // Half of 640 and a quarter of 480, from the window's screen corner (100, 50), in hundredths.
    EXPECT_EQ(input.x, (100 + 320) * 100);
    EXPECT_EQ(input.y, (50 + 120) * 100);
    EXPECT_EQ(input.dwID, 7u);
    EXPECT_NE(input.dwFlags & TOUCHEVENTF_DOWN, 0u);
    EXPECT_TRUE(close_handle(handle));
    EXPECT_FALSE(get_info(handle, 1, &input, sizeof(TOUCHINPUT)));
    TOUCHINPUT lifted{};
    ASSERT_TRUE(get_info(reinterpret_cast<HTOUCHINPUT>(touches[1].l_param), 1, &lifted, sizeof(TOUCHINPUT)));
    EXPECT_NE(lifted.dwFlags & TOUCHEVENTF_UP, 0u);
}

TEST(User32Library, HidesTheTouchFunctionsOnRequest)
{
    HMODULE user32 = LoadLibraryW(u"USER32");
    ASSERT_NE(user32, nullptr);
    platform::SetTouchFunctionsExported(false);
    EXPECT_EQ(GetProcAddress(user32, "GetTouchInputInfo"), nullptr);
    platform::SetTouchFunctionsExported(true);
    EXPECT_NE(GetProcAddress(user32, "GetTouchInputInfo"), nullptr);
    EXPECT_EQ(GetProcAddress(user32, "NoSuchFunction"), nullptr);
    EXPECT_EQ(LoadLibraryW(u"Kernel32.dll"), nullptr);
}

TEST_F(MessageQueueThreadTest, FocusChangesActivateAndDeactivate)
{
    PushWindowEvent(m_view, InjectedWindowEvent::FocusLost);
    RecordingWindow::PumpAll();
    ASSERT_EQ(m_window.Of(WM_ACTIVATE).size(), 1u);
    EXPECT_EQ(LOWORD(m_window.Of(WM_ACTIVATE).front().w_param), WA_INACTIVE);
    EXPECT_EQ(GetForegroundWindow(), nullptr);

    m_window.Clear();
    PushWindowEvent(m_view, InjectedWindowEvent::FocusGained);
    PushMouseButton(m_view, 1, true, 10, 10);
    RecordingWindow::PumpAll();
    ASSERT_EQ(m_window.Of(WM_ACTIVATE).size(), 1u);
    EXPECT_EQ(LOWORD(m_window.Of(WM_ACTIVATE).front().w_param), WA_CLICKACTIVE);
}

TEST_F(MessageQueueThreadTest, TheCloseBoxIsASystemCommandUnlessCloseIsGreyed)
{
    HMENU system = GetSystemMenu(m_view, FALSE);
    ASSERT_NE(system, nullptr);
    EnableMenuItem(system, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    PushWindowEvent(m_view, InjectedWindowEvent::Close);
    RecordingWindow::PumpAll();
    EXPECT_TRUE(m_window.Of(WM_SYSCOMMAND).empty());
    EXPECT_TRUE(IsWindow(m_view));

    EnableMenuItem(system, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
    PushWindowEvent(m_view, InjectedWindowEvent::Close);
    RecordingWindow::PumpAll();
    ASSERT_EQ(m_window.Of(WM_SYSCOMMAND).size(), 1u);
    EXPECT_EQ(m_window.Of(WM_SYSCOMMAND).front().w_param, SC_CLOSE);
    // Left to DefWindowProcW, the command closes and destroys the window.
    EXPECT_EQ(m_window.Of(WM_CLOSE).size(), 1u);
    EXPECT_FALSE(IsWindow(m_view));
}

TEST_F(MessageQueueThreadTest, AMinimiseByTheWindowManagerIsASystemCommand)
{
    PushWindowEvent(m_view, InjectedWindowEvent::Minimized);
    RecordingWindow::PumpAll();
    ASSERT_EQ(m_window.Of(WM_SYSCOMMAND).size(), 1u);
    EXPECT_EQ(m_window.Of(WM_SYSCOMMAND).front().w_param, SC_MINIMIZE);
    EXPECT_TRUE(IsIconic(m_view));
}

TEST_F(MessageQueueThreadTest, PostedMessagesComeBeforeInputAndFromAnyThread)
{
    PushKey(m_view, 'B', true);
    std::thread poster([this] { PostMessageW(m_view, WM_APP + 1, 11, 22); });
    poster.join();
    RecordingWindow::PumpAll(false);
    EXPECT_EQ(m_window.Sequence(), (std::vector<UINT>{WM_APP + 1, WM_KEYDOWN}));
    EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(0x1234), WM_APP, 0, 0));
}

TEST_F(MessageQueueThreadTest, PeekWithoutRemoveLeavesTheMessage)
{
    PostMessageW(m_view, WM_APP, 1, 2);
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_REMOVE));
    EXPECT_EQ(message.wParam, 1u);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_REMOVE));
}

TEST_F(MessageQueueThreadTest, TimersFireAcrossTheClockWrap)
{
    platform::VirtualClock::Enable(0xFFFF'FFFFull - 30); // 31 ms before timeGetTime wraps
    SetTimer(m_view, 5, 100, nullptr);
    RecordingWindow::PumpAll();
    EXPECT_TRUE(m_window.Of(WM_TIMER).empty());
    platform::VirtualClock::Advance(99);
    RecordingWindow::PumpAll();
    EXPECT_TRUE(m_window.Of(WM_TIMER).empty());
    platform::VirtualClock::Advance(1); // the deadline lies past the wrap
    RecordingWindow::PumpAll();
    ASSERT_EQ(m_window.Of(WM_TIMER).size(), 1u);
    EXPECT_EQ(m_window.Of(WM_TIMER).front().w_param, 5u);
    EXPECT_TRUE(KillTimer(m_view, 5));
    platform::VirtualClock::Advance(500);
    RecordingWindow::PumpAll();
    EXPECT_EQ(m_window.Of(WM_TIMER).size(), 1u);
    platform::VirtualClock::Disable();
}

TEST_F(MessageQueueThreadTest, QuitComesLastAndOnce)
{
    PostQuitMessage(3);
    PostMessageW(m_view, WM_APP, 0, 0);
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_APP);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

} // namespace
