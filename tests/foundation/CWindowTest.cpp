// The window framework: the shared procedure hands messages to the window's hooks, creation and
// its failures, centring on the desktop, and an object that goes before its window.
#include "foundation/CWindow.h"

#include <vector>

#include <gtest/gtest.h>

#include "foundation/CExecException.h"
#include "platform/user/WindowLayerTesting.h"

namespace {

class RecordingHook final : public IWinHook
{
public:
    int32_t HookProc(HWND, UINT message, WPARAM, LPARAM) override
    {
        messages.push_back(message);
        return message == WM_APP ? 5 : 0;
    }
    std::vector<UINT> messages;
};

CREATESTRUCTW Record(const char16_t* class_name, int x, int y, int width, int height, DWORD style = WS_POPUP)
{
    CREATESTRUCTW record{};
    record.cx = width;
    record.cy = height;
    record.x = x;
    record.y = y;
    record.style = static_cast<LONG>(style);
    record.lpszName = u"window";
    record.lpszClass = class_name;
    return record;
}

class CWindowTest : public ::testing::Test
{
protected:
    CWindowTest() { platform::ResetWindowLayer(); }
    ~CWindowTest() override { platform::ResetWindowLayer(); }
};

TEST_F(CWindowTest, HooksSeeCreateAndLaterMessagesButNotWhatComesBeforeCreate)
{
    CWindow window;
    RecordingHook hook;
    window.GetHookList().Add(&hook);
    window.Create(Record(u"FrameworkTest", 0, 0, 100, 50));
    ASSERT_NE(window.GetHandle(), nullptr);
    // WM_GETMINMAXINFO and WM_NCCREATE come before the object is known: DefWindowProcW has them.
    ASSERT_FALSE(hook.messages.empty());
    EXPECT_EQ(hook.messages.front(), WM_CREATE);
    EXPECT_EQ(SendMessageW(window.GetHandle(), WM_APP, 0, 0), 5);
    EXPECT_EQ(hook.messages.back(), static_cast<UINT>(WM_APP));
    EXPECT_EQ(GetWindowLongPtrW(window.GetHandle(), GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&window));
    window.Destroy();
    EXPECT_EQ(window.GetHandle(), nullptr);
}

TEST_F(CWindowTest, TheThinOperationsReachTheWindow)
{
    CWindow window;
    window.Create(Record(u"FrameworkTest", 10, 20, 300, 200));
    EXPECT_FALSE(window.IsVisible());
    window.Show(SW_SHOW);
    EXPECT_TRUE(window.IsVisible());
    window.Move(40, 50, 320, 240, TRUE);
    RECT rect{};
    window.GetWindowRect(&rect);
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.bottom, 290);
    POINT point{5, 6};
    window.ClientToScreen(&point);
    EXPECT_EQ(point.x, 45);
    EXPECT_EQ(point.y, 56);
    window.ScreenToClient(&point);
    EXPECT_EQ(point.x, 5);
    EXPECT_FALSE(window.HasMenu());
    window.SetStyle(static_cast<LONG>(WS_POPUP | WS_VISIBLE));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window.GetHandle(), GWL_STYLE)), WS_POPUP | WS_VISIBLE);
    window.Destroy();
}

TEST_F(CWindowTest, ASecondRegistrationOfTheClassFailsWithItsMessage)
{
    CWindow first;
    first.Create(Record(u"FrameworkTest", 0, 0, 10, 10));
    CWindow second;
    try {
        second.Create(Record(u"FrameworkTest", 0, 0, 10, 10));
        FAIL() << "no exception";
    } catch (const CExecException& error) {
        EXPECT_STREQ(error.GetMessage().GetText(), "Failed to create the Register Window");
    }
    // Destroying the first unregisters the class, so it can be made again.
    first.Destroy();
    second.Create(Record(u"FrameworkTest", 0, 0, 10, 10));
    EXPECT_NE(second.GetHandle(), nullptr);
    second.Destroy();
}

TEST_F(CWindowTest, AFailedCreationThrowsItsMessage)
{
    CWindow window;
    CREATESTRUCTW record = Record(u"FrameworkTest", 0, 0, 10, 10);
    record.hwndParent = reinterpret_cast<HWND>(0x77777);
    try {
        window.Create(record);
        FAIL() << "no exception";
    } catch (const CExecException& error) {
        EXPECT_STREQ(error.GetMessage().GetText(), "Failed to create the Create Window Object");
    }
    window.Destroy();
}

TEST_F(CWindowTest, CentringOnTheDesktopNeverGoesBelowZero)
{
    const int desktop_width = GetSystemMetrics(SM_CXSCREEN);
    const int desktop_height = GetSystemMetrics(SM_CYSCREEN);
    CWindow window;
    window.Create(Record(u"FrameworkTest", 0, 0, 200, 100));
    window.CenterOnDesktop(nullptr);
    RECT rect{};
    window.GetWindowRect(&rect);
    EXPECT_EQ(rect.left, (desktop_width - 200) / 2);
    EXPECT_EQ(rect.top, (desktop_height - 100) / 2);

    const CREATESTRUCTW large = Record(u"FrameworkTest", 0, 0, desktop_width + 400, desktop_height + 10);
    window.CenterOnDesktop(&large);
    window.GetWindowRect(&rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, desktop_width + 400);
    window.Destroy();
}

TEST_F(CWindowTest, AWindowThatOutlivesItsObjectFallsBackToDefWindowProc)
{
    HWND handle = nullptr;
    {
        CWindow window;
        window.Create(Record(u"FrameworkTest", 0, 0, 10, 10));
        handle = window.GetHandle();
    }
    ASSERT_TRUE(IsWindow(handle));
    EXPECT_EQ(GetWindowLongPtrW(handle, GWLP_USERDATA), 0);
    EXPECT_EQ(SendMessageW(handle, WM_APP, 0, 0), 0); // no freed object is reached
    DestroyWindow(handle);
}

} // namespace
