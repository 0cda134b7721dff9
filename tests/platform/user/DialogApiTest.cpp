// Dialogs from the compiled-in templates: creation, the modal loop, the controls and what the
// player does to them, and how they are drawn over the window.
#include "platform/user/DialogApi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

#include "platform/gdi/FontApi.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/PngCodec.h"
#include "platform/gdi/TextOutApi.h"
#include "platform/kernel/VirtualClock.h"
#include "platform/res/DialogResource.h"
#include "platform/user/ControlsApi.h"
#include "platform/user/DialogDriver.h"
#include "platform/user/InputInjection.h"
#include "platform/user/MessageBoxApi.h"
#include "platform/user/RecordingWindow.h"
#include "platform/user/ScriptedDialogPolicy.h"

namespace {

using test::RecordingWindow;

constexpr DWORD VIEW_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

struct Seen
{
    HWND window;
    UINT message;
    WPARAM w_param;
    LPARAM l_param;
};

// The dialog procedure of the tests: records, then lets the current handler answer.
std::vector<Seen> g_seen;
std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> g_handler;

INT_PTR TestProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    g_seen.push_back({window, message, w_param, l_param});
    if (g_handler)
        return g_handler(window, message, w_param, l_param);
    if (message == WM_COMMAND && (LOWORD(w_param) == IDOK || LOWORD(w_param) == IDCANCEL)) {
        EndDialog(window, LOWORD(w_param));
        return TRUE;
    }
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::vector<Seen> SeenOf(UINT message)
{
    std::vector<Seen> result;
    for (const Seen& entry : g_seen) {
        if (entry.message == message)
            result.push_back(entry);
    }
    return result;
}

LPCWSTR Template(int id)
{
    return MAKEINTRESOURCEW(id);
}

class DialogApiTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_seen.clear();
        g_handler = nullptr;
        m_view = m_window.Create(VIEW_STYLE, 0, 0, 960, 540);
        ShowWindow(m_view, SW_SHOW);
        RecordingWindow::PumpAll();
        m_window.Clear();
    }
    void TearDown() override
    {
        g_handler = nullptr;
        platform::VirtualClock::Disable();
    }

    // Pixels of the view's picture as the player sees it.
    std::vector<uint32_t> Capture(int& width, int& height)
    {
        std::vector<uint32_t> pixels;
        EXPECT_TRUE(platform::CaptureWindow(m_view, pixels, width, height));
        return pixels;
    }

    RecordingWindow m_window;
    HWND m_view = nullptr;
};

TEST(DialogResource, TemplatesCarryTheControlsTheProgramAddresses)
{
    auto ids_of = [](uint16_t id) {
        std::vector<int> ids;
        for (const platform::DialogTemplateItem& item : platform::FindDialogResource(id)->items)
            ids.push_back(item.id);
        return ids;
    };
    auto has = [&](uint16_t id, int control) {
        const std::vector<int> ids = ids_of(id);
        return std::find(ids.begin(), ids.end(), control) != ids.end();
    };
    for (uint16_t id : {111, 113, 114, 115, 120, 131})
        ASSERT_NE(platform::FindDialogResource(id), nullptr) << id;
    EXPECT_EQ(platform::FindDialogResource(112), nullptr);

    EXPECT_EQ(platform::FindDialogResource(111)->caption, u"ウィンドウ設定");
    for (int control : {IDOK, IDCANCEL, 1001, 1011})
        EXPECT_TRUE(has(111, control)) << control;
    for (int control : {1057, 1007, 1008, 1009, 1012, 1058, 1010, 1011})
        EXPECT_TRUE(has(113, control)) << control;
    for (int control : {1003, 1004, 1005})
        EXPECT_FALSE(has(113, control)) << control;
    for (int control : {1015, 1016, 1017, 1019, 1011})
        EXPECT_TRUE(has(114, control)) << control;
    EXPECT_EQ(platform::FindDialogResource(115)->caption, u"ウィンドウ設定");
    for (int control : {IDOK, IDCANCEL, 1059, 1019})
        EXPECT_TRUE(has(115, control)) << control;
    EXPECT_EQ(platform::FindDialogResource(120)->caption, u"バージョン情報");
    for (int control : {IDOK, 1039, 1040})
        EXPECT_TRUE(has(120, control)) << control;
    EXPECT_FALSE(has(120, 1030));
    EXPECT_EQ(platform::FindDialogResource(131)->caption, u"データアップデート");
    for (int control : {1027, 1028})
        EXPECT_TRUE(has(131, control)) << control;

    auto text_of = [](uint16_t id, int control) {
        for (const platform::DialogTemplateItem& item : platform::FindDialogResource(id)->items) {
            if (item.id == control)
                return std::u16string(item.text);
        }
        return std::u16string();
    };
    EXPECT_EQ(text_of(113, 1010), u"テスト");
    EXPECT_EQ(text_of(114, 1016), u"MIN");
    EXPECT_EQ(text_of(114, 1017), u"MAX");
    // Pages are children; the others are captioned pop-ups.
    EXPECT_TRUE(platform::FindDialogResource(113)->style & WS_CHILD);
    EXPECT_TRUE(platform::FindDialogResource(114)->style & WS_CHILD);
    EXPECT_EQ(platform::FindDialogResource(115)->style & WS_CAPTION, WS_CAPTION);
}

TEST_F(DialogApiTest, AModalDialogInitialisesRunsAndReturnsItsResult)
{
    platform::ScriptedDialogPolicy policy;
    HWND during = nullptr;
    HWND ok_button = nullptr;
    bool owner_enabled_during = true;
    policy.Queue(120, [&](HWND dialog) {
        during = dialog;
        ok_button = GetDlgItem(dialog, IDOK);
        owner_enabled_during = IsWindowEnabled(m_view) != FALSE;
        EXPECT_TRUE(platform::DialogPressButton(dialog, IDOK));
    });
    g_handler = [](HWND window, UINT message, WPARAM w_param, LPARAM l_param) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            // The controls exist when the dialog is told to initialise.
            EXPECT_NE(GetDlgItem(window, 1040), nullptr);
            EXPECT_EQ(l_param, 0x5A);
            SetDlgItemTextW(window, 1040, u"1.2.3.4");
            return TRUE;
        }
        if (message == WM_COMMAND && LOWORD(w_param) == IDOK) {
            EndDialog(window, 7);
            return TRUE;
        }
        return FALSE;
    };
    EXPECT_EQ(DialogBoxParamW(nullptr, Template(120), m_view, &TestProcedure, 0x5A), 7);
    EXPECT_EQ(policy.Seen(), (std::vector<uint16_t>{120}));
    EXPECT_TRUE(policy.Unscripted().empty());
    EXPECT_FALSE(owner_enabled_during);
    EXPECT_TRUE(IsWindowEnabled(m_view));
    EXPECT_FALSE(IsWindow(during));
    ASSERT_EQ(SeenOf(WM_INITDIALOG).size(), 1u);
    const auto commands = SeenOf(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].w_param, MAKEWPARAM(IDOK, BN_CLICKED));
    EXPECT_EQ(reinterpret_cast<HWND>(commands[0].l_param), ok_button);
}

TEST_F(DialogApiTest, AMissingTemplateFailsAndAnUnscriptedDialogIsCancelled)
{
    platform::ScriptedDialogPolicy policy;
    EXPECT_EQ(DialogBoxParamW(nullptr, Template(999), m_view, &TestProcedure, 0), -1);
    EXPECT_EQ(CreateDialogParamW(nullptr, Template(999), m_view, &TestProcedure, 0), nullptr);
    EXPECT_EQ(DialogBoxParamW(nullptr, Template(115), m_view, &TestProcedure, 0), IDCANCEL);
    EXPECT_EQ(policy.Unscripted(), (std::vector<uint16_t>{115}));
}

TEST_F(DialogApiTest, ItemTextsAndChecksGoThroughTheControls)
{
    const HWND page = CreateDialogParamW(nullptr, Template(113), m_view, &TestProcedure, 0);
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(IsWindowVisible(page));
    EXPECT_TRUE(SetDlgItemTextW(page, 1058, u"注意"));
    char16_t text[8]{};
    EXPECT_EQ(GetDlgItemTextW(page, 1058, text, 8), 2u);
    EXPECT_EQ(std::u16string(text), u"注意");
    // A short buffer gets what fits and its terminator.
    EXPECT_EQ(GetDlgItemTextW(page, 1010, text, 2), 1u);
    EXPECT_EQ(std::u16string(text), u"テ");
    EXPECT_TRUE(SetDlgItemInt(page, 1058, static_cast<UINT>(-15), TRUE));
    EXPECT_EQ(platform::DialogItemText(page, 1058), u"-15");

    CheckRadioButton(page, 1007, 1012, 1009);
    EXPECT_EQ(IsDlgButtonChecked(page, 1009), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(page, 1007), BST_UNCHECKED);
    // Buttons of the range that the template lacks are passed over.
    CheckRadioButton(page, 1003, 1012, 1004);
    EXPECT_EQ(IsDlgButtonChecked(page, 1009), BST_UNCHECKED);
    EXPECT_EQ(GetDlgCtrlID(GetDlgItem(page, 1012)), 1012);
    EXPECT_EQ(GetDlgItem(page, 1005), nullptr);
    DestroyWindow(page);
}

TEST_F(DialogApiTest, ClickingARadioButtonChecksItAloneInItsGroupAndTellsTheDialog)
{
    const HWND page = CreateDialogParamW(nullptr, Template(113), m_view, &TestProcedure, 0);
    ShowWindow(page, SW_SHOW);
    CheckRadioButton(page, 1007, 1012, 1007);
    g_seen.clear();
    EXPECT_TRUE(platform::DialogPressButton(page, 1008));
    EXPECT_EQ(IsDlgButtonChecked(page, 1008), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(page, 1007), BST_UNCHECKED);
    ASSERT_EQ(SeenOf(WM_COMMAND).size(), 1u);
    EXPECT_EQ(SeenOf(WM_COMMAND)[0].w_param, MAKEWPARAM(1008, BN_CLICKED));
    // A disabled button takes no click.
    EnableWindow(GetDlgItem(page, 1012), FALSE);
    EXPECT_FALSE(platform::DialogPressButton(page, 1012));
    EXPECT_EQ(IsDlgButtonChecked(page, 1012), BST_UNCHECKED);
    DestroyWindow(page);
}

TEST_F(DialogApiTest, TheTabControlNotifiesPicksButNotProgramChanges)
{
    const HWND dialog = CreateDialogParamW(nullptr, Template(111), m_view, &TestProcedure, 0);
    ShowWindow(dialog, SW_SHOW);
    const HWND tab = GetDlgItem(dialog, 1001);
    ASSERT_NE(tab, nullptr);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPWSTR>(u"Full screen");
    EXPECT_EQ(SendMessageW(tab, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), 0);
    item.pszText = const_cast<LPWSTR>(u"Window size");
    EXPECT_EQ(SendMessageW(tab, TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(&item)), 1);
    EXPECT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 0);

    g_seen.clear();
    EXPECT_TRUE(platform::DialogChooseTab(dialog, 1001, 1));
    EXPECT_EQ(SeenOf(WM_NOTIFY).size(), 2u);
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 1);

    g_seen.clear();
    EXPECT_EQ(SendMessageW(tab, TCM_SETCURSEL, 0, 0), 1);
    EXPECT_TRUE(SeenOf(WM_NOTIFY).empty());

    // The text comes back cut to the caller's buffer.
    char16_t text[5]{};
    TCITEMW read{};
    read.mask = TCIF_TEXT;
    read.pszText = text;
    read.cchTextMax = 5;
    EXPECT_TRUE(SendMessageW(tab, TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&read)));
    EXPECT_EQ(std::u16string(text), u"Wind");

    // The display area and the window rectangle convert into each other.
    RECT rect{10, 20, 310, 220};
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rect));
    EXPECT_GT(rect.top, 20);
    EXPECT_LT(rect.right, 310);
    SendMessageW(tab, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.right, 310);
    EXPECT_EQ(rect.bottom, 220);
    DestroyWindow(dialog);
}

TEST_F(DialogApiTest, TabNotificationsComeInWindowsOrderAndMayBeRefused)
{
    const HWND dialog = CreateDialogParamW(nullptr, Template(111), m_view, &TestProcedure, 0);
    ShowWindow(dialog, SW_SHOW);
    const HWND tab = GetDlgItem(dialog, 1001);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPWSTR>(u"A");
    SendMessageW(tab, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageW(tab, TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(&item));
    std::vector<UINT> codes;
    bool refuse = true;
    g_handler = [&](HWND window, UINT message, WPARAM, LPARAM l_param) -> INT_PTR {
        if (message != WM_NOTIFY)
            return FALSE;
        const auto* header = reinterpret_cast<const NMHDR*>(l_param);
        EXPECT_EQ(header->hwndFrom, tab);
        EXPECT_EQ(header->idFrom, 1001u);
        codes.push_back(header->code);
        if (header->code == TCN_SELCHANGING && refuse) {
            SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    };
    platform::DialogChooseTab(dialog, 1001, 1);
    EXPECT_EQ(codes, (std::vector<UINT>{TCN_SELCHANGING}));
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 0);
    refuse = false;
    codes.clear();
    platform::DialogChooseTab(dialog, 1001, 1);
    EXPECT_EQ(codes, (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}));
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 1);
    DestroyWindow(dialog);
}

TEST_F(DialogApiTest, TheTrackbarKeepsToItsRangeAndReportsEachMove)
{
    const HWND page = CreateDialogParamW(nullptr, Template(114), m_view, &TestProcedure, 0);
    ShowWindow(page, SW_SHOW);
    const HWND trackbar = GetDlgItem(page, 1015);
    SendMessageW(trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(50, 200));
    SendMessageW(trackbar, TBM_SETPOS, TRUE, 100);
    EXPECT_EQ(SendMessageW(trackbar, TBM_GETPOS, 0, 0), 100);
    SendMessageW(trackbar, TBM_SETPOS, TRUE, 20);
    EXPECT_EQ(SendMessageW(trackbar, TBM_GETPOS, 0, 0), 50);

    g_seen.clear();
    EXPECT_TRUE(platform::DialogMoveTrackbar(page, 1015, 250));
    EXPECT_EQ(SendMessageW(trackbar, TBM_GETPOS, 0, 0), 200);
    const auto scrolls = SeenOf(WM_HSCROLL);
    ASSERT_EQ(scrolls.size(), 3u);
    EXPECT_EQ(scrolls[0].w_param, MAKEWPARAM(TB_THUMBTRACK, 200));
    EXPECT_EQ(scrolls[1].w_param, MAKEWPARAM(TB_THUMBPOSITION, 200));
    EXPECT_EQ(LOWORD(scrolls[2].w_param), TB_ENDTRACK);
    EXPECT_EQ(reinterpret_cast<HWND>(scrolls[0].l_param), trackbar);

    // A line is 1; a page is a fifth of the range unless set: (200 - 50) / 5 = 30.
    platform::DialogStepTrackbar(page, 1015, TB_LINEUP);
    EXPECT_EQ(SendMessageW(trackbar, TBM_GETPOS, 0, 0), 199);
    platform::DialogStepTrackbar(page, 1015, TB_PAGEUP);
    EXPECT_EQ(SendMessageW(trackbar, TBM_GETPOS, 0, 0), 169);
    platform::DialogStepTrackbar(page, 1015, TB_TOP);
    EXPECT_EQ(SendMessageW(trackbar, TBM_GETPOS, 0, 0), 50);
    EXPECT_EQ(SendMessageW(trackbar, TBM_SETPAGESIZE, 0, 7), 30);
    SendMessageW(trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 1000));
    EXPECT_EQ(SendMessageW(trackbar, TBM_GETPAGESIZE, 0, 0), 7);
    DestroyWindow(page);
}

TEST_F(DialogApiTest, TheProgressBarAnswersWithItsPreviousValues)
{
    const HWND dialog = CreateDialogParamW(nullptr, Template(131), m_view, &TestProcedure, 0);
    const HWND bar = GetDlgItem(dialog, 1027);
    // The default range is 0..100.
    EXPECT_EQ(SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 50)), MAKELPARAM(0, 100));
    EXPECT_EQ(SendMessageW(bar, PBM_SETPOS, 40, 0), 0);
    EXPECT_EQ(SendMessageW(bar, PBM_SETSTEP, 0, 0), 10);
    EXPECT_EQ(SendMessageW(bar, PBM_STEPIT, 0, 0), 40);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 40);
    EXPECT_EQ(SendMessageW(bar, PBM_SETPOS, 80, 0), 40);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 50);
    DestroyWindow(dialog);
}

TEST_F(DialogApiTest, EnterAndEscapeReachTheDialogAsItsButtons)
{
    platform::ScriptedDialogPolicy policy;
    policy.Queue(115, [&](HWND) {
        platform::PushKey(m_view, VK_RETURN, true);
        platform::PushKey(m_view, VK_RETURN, false);
    });
    EXPECT_EQ(DialogBoxParamW(nullptr, Template(115), m_view, &TestProcedure, 0), IDOK);
    policy.Queue(115, [&](HWND) {
        platform::PushKey(m_view, VK_ESCAPE, true);
        platform::PushKey(m_view, VK_ESCAPE, false);
    });
    EXPECT_EQ(DialogBoxParamW(nullptr, Template(115), m_view, &TestProcedure, 0), IDCANCEL);
    EXPECT_TRUE(policy.Unscripted().empty());
}

TEST_F(DialogApiTest, ClicksReachTheControlUnderThePointerAndNeverTheDisabledOwner)
{
    platform::ScriptedDialogPolicy policy;
    RECT view{};
    GetWindowRect(m_view, &view);
    POINT ok{};
    policy.Queue(115, [&](HWND dialog) {
        // Beside the dialog, on the owner: nothing happens.
        platform::PushMouseButton(m_view, 1, true, 5, 5);
        platform::PushMouseButton(m_view, 1, false, 5, 5);
        RECT button{};
        GetWindowRect(GetDlgItem(dialog, IDOK), &button);
        ok = {(button.left + button.right) / 2 - view.left, (button.top + button.bottom) / 2 - view.top};
    });
    policy.Queue(115, [&](HWND) {
        platform::PushMouseButton(m_view, 1, true, ok.x, ok.y);
        platform::PushMouseButton(m_view, 1, false, ok.x, ok.y);
    });
    EXPECT_EQ(DialogBoxParamW(nullptr, Template(115), m_view, &TestProcedure, 0), IDOK);
    EXPECT_TRUE(m_window.Of(WM_LBUTTONDOWN).empty());
    EXPECT_TRUE(policy.Unscripted().empty());
}

TEST_F(DialogApiTest, TimersTickOnTheLayerClockInsideTheModalLoop)
{
    platform::VirtualClock::Enable(10'000);
    platform::ScriptedDialogPolicy policy;
    int ticks = 0;
    g_handler = [&](HWND window, UINT message, WPARAM w_param, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG)
            SetTimer(window, 1, 1000, nullptr);
        if (message == WM_TIMER && w_param == 1 && ++ticks == 3)
            EndDialog(window, 42);
        return FALSE;
    };
    for (int i = 0; i < 3; ++i)
        policy.Queue(115, [](HWND) { platform::VirtualClock::Advance(1000); });
    EXPECT_EQ(DialogBoxParamW(nullptr, Template(115), m_view, &TestProcedure, 0), 42);
    EXPECT_EQ(ticks, 3);
}

TEST_F(DialogApiTest, DialogsAreDrawnOverTheWindowWithTheirOwnerDrawnTabs)
{
    const HWND dialog = CreateDialogParamW(nullptr, Template(111), m_view, &TestProcedure, 0);
    const HWND tab = GetDlgItem(dialog, 1001);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPWSTR>(u"Tab");
    SendMessageW(tab, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    std::vector<DRAWITEMSTRUCT> drawn;
    g_handler = [&](HWND, UINT message, WPARAM, LPARAM l_param) -> INT_PTR {
        if (message != WM_DRAWITEM)
            return FALSE;
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(l_param);
        drawn.push_back(*draw);
        // Red text on the item, as the settings dialog draws its labels.
        SetTextColor(draw->hDC, RGB(255, 0, 0));
        SetBkMode(draw->hDC, OPAQUE);
        SetBkColor(draw->hDC, RGB(255, 0, 0));
        TextOutW(draw->hDC, draw->rcItem.left + 4, draw->rcItem.top + 4, u"Tab", 3);
        return TRUE;
    };
    ShowWindow(dialog, SW_SHOW);
    int width = 0;
    int height = 0;
    const std::vector<uint32_t> pixels = Capture(width, height);
    ASSERT_EQ(width, 960);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].CtlType, ODT_TAB);
    EXPECT_EQ(drawn[0].CtlID, 1001u);
    EXPECT_EQ(drawn[0].itemState, ODS_SELECTED);

    RECT frame{};
    GetWindowRect(dialog, &frame);
    RECT view{};
    GetWindowRect(m_view, &view);
    auto at = [&](int x, int y) {
        return pixels[static_cast<size_t>(y - view.top) * static_cast<size_t>(width) +
                      static_cast<size_t>(x - view.left)] &
               0xFFFFFF;
    };
    // The caption bar, the dialog face, and the item's opaque red text background.
    EXPECT_EQ(at(frame.left + 3, frame.top + 3), 0x2B579Au);
    EXPECT_EQ(at(frame.left + 3, frame.bottom - 3), 0xF0F0F0u);
    RECT tab_rect{};
    GetWindowRect(tab, &tab_rect);
    EXPECT_EQ(at(tab_rect.left + drawn[0].rcItem.left + 6, tab_rect.top + drawn[0].rcItem.top + 6),
              0xFF0000u);
    if (const char* folder = std::getenv("VESK_BINARY_DIR"))
        platform::WritePngFile(std::filesystem::path(folder) / "dialog_toolkit.png", {width, height, pixels});
    // Outside the dialog the window's own (black) picture shows.
    EXPECT_EQ(at(view.right - 2, view.bottom - 2), 0u);
    DestroyWindow(dialog);
}

TEST_F(DialogApiTest, StaticsTakeTheColourTheParentChooses)
{
    const HWND dialog = CreateDialogParamW(nullptr, Template(120), m_view, &TestProcedure, 0);
    SetDlgItemTextW(dialog, 1039, u"■■■■");
    g_handler = [&](HWND, UINT message, WPARAM w_param, LPARAM l_param) -> INT_PTR {
        if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(l_param) == GetDlgItem(dialog, 1039)) {
            SetTextColor(reinterpret_cast<HDC>(w_param), RGB(0, 0, 255));
            SetBkMode(reinterpret_cast<HDC>(w_param), TRANSPARENT);
            return 1; // a brush: any nonzero value
        }
        return FALSE;
    };
    ShowWindow(dialog, SW_SHOW);
    int width = 0;
    int height = 0;
    const std::vector<uint32_t> pixels = Capture(width, height);
    RECT label{};
    GetWindowRect(GetDlgItem(dialog, 1039), &label);
    RECT view{};
    GetWindowRect(m_view, &view);
    int blue = 0;
    for (int y = label.top; y < label.bottom; ++y) {
        for (int x = label.left; x < label.right; ++x) {
            if ((pixels[static_cast<size_t>(y - view.top) * static_cast<size_t>(width) +
                        static_cast<size_t>(x - view.left)] &
                 0xFFFFFF) == 0x0000FF)
                ++blue;
        }
    }
    EXPECT_GT(blue, 20);
    DestroyWindow(dialog);
}

TEST(SystemColours, AreTheWindowsDefaults)
{
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(240, 240, 240));
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), RGB(109, 109, 109));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
}

} // namespace
