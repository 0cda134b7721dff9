// The keyboard hook: the scan-code table, key bytes from messages, Shift's release, the live left
// and right Shift and Control, and the enable switch.
#include "app/CApiKeyboard.h"

#include <gtest/gtest.h>

#include "platform/kernel/VirtualClock.h"
#include "platform/user/InputInjection.h"
#include "platform/user/MessageApi.h"
#include "platform/user/WindowApi.h"
#include "platform/user/WindowLayerTesting.h"

namespace {

TEST(ScanCodeTable, MapsDirectInputCodesToVirtualKeys)
{
    BuildScanCodeTable();
    // Pairs from the DirectInput numbering (DIK_*) and the Windows virtual keys (VK_*).
    const std::pair<uint32_t, uint8_t> pairs[] = {
        {1, 0x1B},                                                                            // Escape
        {2, '1'},    {10, '9'},   {11, '0'},   {16, 'Q'},   {30, 'A'}, {44, 'Z'}, {28, 0x0D}, // Enter
        {156, 0x0D},                                                                          // keypad Enter
        {29, 0xA2},                                                                           // left Control
        {157, 0xA3},                                                                          // right Control
        {42, 0xA0},                                                                           // left Shift
        {54, 0xA1},                                                                           // right Shift
        {57, 0x20},                                                                           // Space
        {59, 0x70},  {68, 0x79},  {87, 0x7A},  {88, 0x7B},  // F1, F10, F11, F12
        {200, 0x26}, {203, 0x25}, {205, 0x27}, {208, 0x28}, // arrows
        {211, 0x2E},                                        // Delete
        {199, 0x24}, {207, 0x23},                           // Home, End
    };
    for (const auto& [scan, key] : pairs)
        EXPECT_EQ(VirtualKeyOfScanCode(scan), key) << "scan code " << scan;
    EXPECT_EQ(VirtualKeyOfScanCode(0), 0);
    EXPECT_EQ(VirtualKeyOfScanCode(84), 0); // not in the table
    EXPECT_EQ(VirtualKeyOfScanCode(255), 0);
    EXPECT_EQ(VirtualKeyOfScanCode(256), 0);
}

TEST(CApiKeyboard, KeysAreDownBetweenTheirMessagesWhileEnabled)
{
    CApiKeyboard keyboard;
    keyboard.HookProc(nullptr, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(keyboard.IsKeyDown(28), 0); // not enabled: neither seen nor reported
    keyboard.Enable();
    EXPECT_EQ(keyboard.HookProc(nullptr, WM_KEYDOWN, VK_RETURN, 0), 0); // other hooks see it too
    EXPECT_EQ(keyboard.IsKeyDown(28), 1);
    EXPECT_EQ(keyboard.IsKeyDown(156), 1); // both Enter keys are one virtual key
    keyboard.HookProc(nullptr, WM_KEYUP, VK_RETURN, 0);
    EXPECT_EQ(keyboard.IsKeyDown(28), 0);
}

TEST(CApiKeyboard, ReleasingShiftForgetsAllButControl)
{
    CApiKeyboard keyboard;
    keyboard.Enable();
    keyboard.HookProc(nullptr, WM_KEYDOWN, 'A', 0);
    keyboard.HookProc(nullptr, WM_KEYDOWN, VK_CONTROL, 0);
    keyboard.HookProc(nullptr, WM_KEYDOWN, VK_SHIFT, 0);
    keyboard.HookProc(nullptr, WM_KEYUP, VK_SHIFT, 0);
    EXPECT_EQ(keyboard.IsKeyDown(30), 0); // A
    keyboard.HookProc(nullptr, WM_KEYDOWN, 'A', 0);
    keyboard.HookProc(nullptr, WM_KEYUP, VK_CONTROL, 0);
    EXPECT_EQ(keyboard.IsKeyDown(30), 1);
}

// A loop that draws every pass looks at the keys once a pass: a tap pressed and let go between two
// looks is still seen, by one look, while it is fresh; a key seen down is not seen again after.
TEST(CApiKeyboard, ATapBetweenTwoLooksIsSeenOnceWhileFresh)
{
    platform::VirtualClock::Enable(10'000);
    CApiKeyboard keyboard;
    keyboard.Enable();
    keyboard.HookProc(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
    keyboard.HookProc(nullptr, WM_KEYUP, VK_ESCAPE, 0);
    EXPECT_EQ(keyboard.IsKeyDown(1), 1);
    EXPECT_EQ(keyboard.IsKeyDown(1), 0);
    keyboard.HookProc(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(keyboard.IsKeyDown(1), 1);
    keyboard.HookProc(nullptr, WM_KEYUP, VK_ESCAPE, 0);
    EXPECT_EQ(keyboard.IsKeyDown(1), 0) << "a press already seen";
    keyboard.HookProc(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
    keyboard.HookProc(nullptr, WM_KEYUP, VK_ESCAPE, 0);
    platform::VirtualClock::Advance(CApiKeyboard::TAP_LIFETIME_MS + 1);
    EXPECT_EQ(keyboard.IsKeyDown(1), 0) << "a stale tap";
    platform::VirtualClock::Disable();
}

TEST(CApiKeyboard, ClearForgetsEverythingAndDisables)
{
    CApiKeyboard keyboard;
    keyboard.Enable();
    keyboard.HookProc(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
    keyboard.Clear();
    keyboard.Enable();
    EXPECT_EQ(keyboard.IsKeyDown(1), 0);
}

TEST(CApiKeyboard, ShiftAndControlSidesComeFromTheLiveKeyState)
{
    platform::ResetWindowLayer();
    WNDCLASSW info{};
    info.lpfnWndProc = &DefWindowProcW;
    info.lpszClassName = u"KeyboardTest";
    RegisterClassW(&info);
    HWND window = CreateWindowExW(0, u"KeyboardTest", u"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    CApiKeyboard keyboard;
    keyboard.Enable();
    platform::PushKey(window, VK_RSHIFT, true);
    platform::PushKey(window, VK_LCONTROL, true);
    MSG message{};
    while (PeekMessageW(&message, nullptr, WM_KEYDOWN, WM_KEYUP, PM_REMOVE))
        keyboard.HookProc(message.hwnd, message.message, message.wParam, message.lParam);
    EXPECT_EQ(keyboard.IsKeyDown(54), 1);  // right Shift
    EXPECT_EQ(keyboard.IsKeyDown(42), 0);  // left Shift
    EXPECT_EQ(keyboard.IsKeyDown(29), 1);  // left Control
    EXPECT_EQ(keyboard.IsKeyDown(157), 0); // right Control
    platform::ResetWindowLayer();
}

} // namespace
