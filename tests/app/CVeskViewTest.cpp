// The main view: its window, companions and status bits, the close box and the accelerators as
// the exit command, activation and the keyboard, the popup window, and relabelling by language.
#include "app/CVeskView.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "app/CDisplay.h"
#include "app/CVeskDoc.h"
#include "app/DocumentFixture.h"
#include "app/MainViewFixture.h"
#include "foundation/CLangTextTable.h"
#include "graphics/CEffectWait.h"
#include "mapwrite/MapTableWriter.h"
#include "platform/kernel/VirtualClock.h"
#include "platform/user/InputInjection.h"
#include "platform/user/MenuApi.h"

namespace {

namespace fs = std::filesystem;
using platform::PushKey;

constexpr int BAR = 20;

class CVeskViewTest : public MainViewFixture
{};

std::u16string MenuText(HMENU menu, UINT item, UINT flags)
{
    char16_t buffer[64]{};
    GetMenuStringW(menu, item, buffer, 64, flags);
    return buffer;
}

std::u16string WindowText(HWND window)
{
    char16_t buffer[64]{};
    GetWindowTextW(window, buffer, 64);
    return buffer;
}

TEST_F(CVeskViewTest, TheMainWindowHasTheConfiguredSizeTitleMenuAndCompanions)
{
    CreateView(800, 450);
    CVeskView* view = GetView();
    HWND window = Window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), 0x80CB0000u);
    WNDCLASSW info{};
    EXPECT_TRUE(GetClassInfoW(nullptr, u"VESK", &info));
    EXPECT_EQ(WindowText(window), u"asmr_system");
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 450);
    HMENU menu = GetMenu(window);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(MenuText(menu, 0, MF_BYPOSITION), u"終了");
    EXPECT_NE(view->GetAccelerators(), nullptr);
    ASSERT_NE(view->GetDisplay(), nullptr);
    EXPECT_EQ(view->GetDisplay()->GetMode(), DISPLAY_MODE_WINDOWED);
    ASSERT_NE(view->GetPopupMenu(), nullptr);
    EXPECT_FALSE(view->GetPopupMenu()->IsVisible());
    EXPECT_TRUE(view->GetHookList().Contains(view));
    EXPECT_TRUE(view->GetHookList().Contains(view->GetDisplay()));
    EXPECT_TRUE(view->GetHookList().Contains(view->GetMenuEvent()));
    EXPECT_EQ(view->GetStatus(), 0u);
    // Centred on the desktop, menu bar included.
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 800) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 450 - BAR) / 2);
    EXPECT_EQ(rect.bottom - rect.top, 450 + BAR);
}

TEST_F(CVeskViewTest, AWindowLargerThanTheDesktopSitsAtNegativeXAndTheTop)
{
    const int desktop_width = GetSystemMetrics(SM_CXSCREEN);
    const int desktop_height = GetSystemMetrics(SM_CYSCREEN);
    CreateView(desktop_width + 200, desktop_height + 100);
    RECT rect{};
    GetWindowRect(Window(), &rect);
    EXPECT_EQ(rect.left, -100);
    EXPECT_EQ(rect.top, 0);
}

TEST_F(CVeskViewTest, ActivationSetsTheActiveBitAndDeactivationClearsTheKeyboard)
{
    CreateView();
    ShowWindow(Window(), SW_SHOW);
    CVeskView* view = GetView();
    EXPECT_EQ(view->GetStatus() & VIEW_STATUS_ACTIVE, VIEW_STATUS_ACTIVE);
    PushKey(Window(), VK_RETURN, true);
    PumpAll();
    EXPECT_EQ(m_keyboard.IsKeyDown(28), 1);

    platform::PushWindowEvent(Window(), platform::InjectedWindowEvent::FocusLost);
    PumpAll();
    EXPECT_EQ(view->GetStatus() & VIEW_STATUS_ACTIVE, 0u);
    EXPECT_EQ(m_keyboard.IsKeyDown(28), 0);

    platform::PushWindowEvent(Window(), platform::InjectedWindowEvent::FocusGained);
    PumpAll();
    EXPECT_EQ(view->GetStatus() & VIEW_STATUS_ACTIVE, VIEW_STATUS_ACTIVE);
    EXPECT_EQ(m_keyboard.IsKeyDown(28), 0); // the key held before was forgotten
    PushKey(Window(), VK_RETURN, true);
    PumpAll();
    EXPECT_EQ(m_keyboard.IsKeyDown(28), 1); // and the keyboard works again
}

TEST_F(CVeskViewTest, AClickThatActivatesTakesTheCapture)
{
    CreateView();
    ShowWindow(Window(), SW_SHOW);
    platform::PushWindowEvent(Window(), platform::InjectedWindowEvent::FocusLost);
    PumpAll();
    platform::PushWindowEvent(Window(), platform::InjectedWindowEvent::FocusGained);
    platform::PushMouseButton(Window(), 1, true, 50, BAR + 50);
    PumpAll();
    EXPECT_EQ(GetCapture(), Window());
    // The activating press itself is not a press of the game: the capture was taken already.
    EXPECT_EQ(m_mouse.IsLeftDown(), 0);
}

TEST_F(CVeskViewTest, TheCloseBoxBecomesTheExitCommand)
{
    CreateView();
    ShowWindow(Window(), SW_SHOW);
    platform::PushWindowEvent(Window(), platform::InjectedWindowEvent::Close);
    PumpAll();
    EXPECT_EQ(m_recorder.Of(WM_COMMAND), (std::vector<WPARAM>{40001}));
    EXPECT_TRUE(IsWindow(Window())); // the command decides; the window is not closed by the box
}

TEST_F(CVeskViewTest, AltF4AltEnterAndF1AreCommandsThroughTheAccelerators)
{
    CreateView();
    ShowWindow(Window(), SW_SHOW);
    auto press = [&](std::initializer_list<int> keys) {
        for (int key : keys)
            PushKey(Window(), key, true);
        for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
            PushKey(Window(), *it, false);
        PumpAll(); // each system key ends a batch of the pump
    };
    press({VK_MENU, VK_F4});
    press({VK_MENU, VK_RETURN});
    press({VK_F1});
    EXPECT_EQ(m_recorder.Of(WM_COMMAND),
              (std::vector<WPARAM>{MAKEWPARAM(40001, 1), MAKEWPARAM(40011, 1), MAKEWPARAM(40008, 1)}));
    // The system keys themselves never reach the hooks.
    EXPECT_TRUE(m_recorder.Of(WM_SYSKEYDOWN).empty());
}

TEST_F(CVeskViewTest, TheWindowIconDoesNotOpenTheSystemMenu)
{
    CreateView();
    EXPECT_EQ(SendMessageW(Window(), WM_NCLBUTTONDOWN, HTSYSMENU, 0), 1);
    EXPECT_EQ(SendMessageW(Window(), WM_NCLBUTTONDBLCLK, HTSYSMENU, 0), 1);
    EXPECT_EQ(SendMessageW(Window(), WM_NCLBUTTONDOWN, HTCAPTION, 0), 0);
}

TEST_F(CVeskViewTest, DestroyingTheWindowIsTheQuitSignalOfThePump)
{
    CreateView();
    ShowWindow(Window(), SW_SHOW);
    EXPECT_EQ(m_app.PumpMessage(), 1u);
    DestroyWindow(Window());
    EXPECT_EQ(GetView()->GetStatus() & VIEW_STATUS_DESTROYED, VIEW_STATUS_DESTROYED);
    EXPECT_EQ(m_app.PumpMessage(), 0u);
    EXPECT_EQ(m_app.PumpAndYield(), 0);
}

TEST_F(CVeskViewTest, FullScreenMenusAreThePopupsOwn)
{
    CreateView();
    CVeskView* view = GetView();
    EXPECT_EQ(view->GetMenu(), GetMenu(Window()));
    view->GetDisplay()->SetMode(DISPLAY_MODE_FULL_SCREEN);
    EXPECT_EQ(view->GetMenu(), view->GetPopupMenu()->GetMenu());
    EXPECT_NE(view->GetMenu(), GetMenu(Window()));
}

TEST_F(CVeskViewTest, ThePopupIsABarOverTheClientAreaThatPassesCommandsOn)
{
    CreateView(800, 450);
    CPopUpMenu* popup = GetView()->GetPopupMenu();
    HWND bar = popup->GetHandle();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetParent(bar), Window());
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(bar, GWL_STYLE)), WS_POPUP);
    EXPECT_NE(GetMenu(bar), nullptr);
    EXPECT_NE(GetMenu(bar), GetMenu(Window())); // a copy of its own
    RECT rect{};
    GetWindowRect(bar, &rect);
    EXPECT_EQ(rect.right - rect.left, 800);
    EXPECT_EQ(rect.bottom - rect.top, BAR);

    EXPECT_EQ(SendMessageW(bar, WM_COMMAND, 40009, 0), 1);
    EXPECT_EQ(SendMessageW(bar, WM_SYSCOMMAND, SC_CLOSE, 0), 1);
    PumpAll();
    EXPECT_EQ(m_recorder.Of(WM_COMMAND), (std::vector<WPARAM>{40009, 40001}));
}

TEST_F(CVeskViewTest, ThePopupOpensOverThePictureAndHidingClearsItsRequest)
{
    CreateView(800, 450);
    ShowWindow(Window(), SW_SHOW);
    CVeskView* view = GetView();
    CPopUpMenu* popup = view->GetPopupMenu();
    popup->Open();
    EXPECT_TRUE(popup->IsVisible());
    EXPECT_EQ(GetForegroundWindow(), popup->GetHandle());
    EXPECT_NE(GetWindowLongW(popup->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    POINT origin{0, 0};
    ClientToScreen(Window(), &origin);
    RECT rect{};
    GetWindowRect(popup->GetHandle(), &rect);
    EXPECT_EQ(rect.left, origin.x);
    EXPECT_EQ(rect.top, origin.y);
    // The layer draws the popup's bar over the top of the client area, just below the view's own.
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(platform::CaptureWindow(Window(), pixels, width, height));
    EXPECT_EQ(pixels[static_cast<size_t>((BAR + BAR / 2) * width + 400)] & 0xFFFFFF, 0xF0F0F0u);
    EXPECT_EQ(pixels[static_cast<size_t>((2 * BAR + 5) * width + 400)] & 0xFFFFFF, 0u);

    view->SetStatusBits(VIEW_STATUS_HIDE_POPUP);
    view->HidePopupMenu();
    EXPECT_FALSE(popup->IsVisible());
    EXPECT_EQ(view->GetStatus() & VIEW_STATUS_HIDE_POPUP, 0u);
    EXPECT_EQ(GetForegroundWindow(), Window()); // the view is active again
}

// Runs one action whenever a menu loop waits for input.
class IdleAction final : public IWinHook
{
public:
    int32_t HookProc(HWND, UINT message, WPARAM, LPARAM) override
    {
        if (message == WM_ENTERIDLE && action)
            std::exchange(action, nullptr)();
        return 0;
    }
    std::function<void()> action;
};

TEST_F(CVeskViewTest, AChoiceFromThePopupsMenuReachesTheView)
{
    CreateView(800, 450);
    ShowWindow(Window(), SW_SHOW);
    CPopUpMenu* popup = GetView()->GetPopupMenu();
    popup->Open();
    IdleAction idle;
    popup->GetHookList().Add(&idle);
    // The popup's bar lies just below the view's; the first title's drop-down starts one pixel
    // below it, and its second item (rows of 22 pixels) is 40001.
    idle.action = [&] {
        platform::PushMouseButton(Window(), 1, true, 12, 2 * BAR + 1 + 22 + 11);
        platform::PushMouseButton(Window(), 1, false, 12, 2 * BAR + 1 + 22 + 11);
    };
    platform::PushMouseButton(Window(), 1, true, 10, BAR + BAR / 2);
    PumpAll();
    popup->GetHookList().Remove(&idle);
    EXPECT_EQ(m_recorder.Of(WM_COMMAND), (std::vector<WPARAM>{MAKEWPARAM(40001, 0)}));
}

TEST_F(CVeskViewTest, RelabellingPutsTheLanguagesTextsIntoBothMenus)
{
    m_app.Config().SetInt("/Config/Language", 0);
    CreateView();
    std::vector<tools::MapText> texts;
    const char16_t* english[] = {u"Exit",     u"Return to Title", u"Quit Game", u"Window", u"Minimize",
                                 u"Maximize", u"Restore",         u"Settings",  u"System", u"Sound",
                                 u"Pad",      u"Window Settings", u"Help",      u"Manual", u"Version"};
    for (int id = 0; id < 15; ++id)
        texts.push_back({id, english[id]});
    const std::vector<uint8_t> file = tools::BuildMapTable(texts);
    CLangTextTable table;
    table.AddEntries(file, 0);
    GetView()->RelabelMenus(0, table);
    for (HMENU menu : {GetMenu(Window()), GetView()->GetPopupMenu()->GetMenu()}) {
        EXPECT_EQ(MenuText(menu, 0, MF_BYPOSITION), u"Exit");
        EXPECT_EQ(MenuText(menu, 1, MF_BYPOSITION), u"Window");
        EXPECT_EQ(MenuText(menu, 2, MF_BYPOSITION), u"Settings");
        EXPECT_EQ(MenuText(menu, 3, MF_BYPOSITION), u"Help");
        EXPECT_EQ(MenuText(menu, 40001, MF_BYCOMMAND), u"Quit Game");
        EXPECT_EQ(MenuText(menu, 40002, MF_BYCOMMAND), u"Return to Title");
        EXPECT_EQ(MenuText(menu, 40003, MF_BYCOMMAND), u"Minimize");
        EXPECT_EQ(MenuText(menu, 40004, MF_BYCOMMAND), u"Maximize");
        EXPECT_EQ(MenuText(menu, 40005, MF_BYCOMMAND), u"Restore");
        EXPECT_EQ(MenuText(menu, 40006, MF_BYCOMMAND), u"Window Settings");
        EXPECT_EQ(MenuText(menu, 40009, MF_BYCOMMAND), u"System");
        EXPECT_EQ(MenuText(menu, 40049, MF_BYCOMMAND), u"Sound");
        EXPECT_EQ(MenuText(menu, 40035, MF_BYCOMMAND), u"Manual");
        EXPECT_EQ(MenuText(menu, 40029, MF_BYCOMMAND), u"Version");
        EXPECT_EQ(MenuText(menu, 40045, MF_BYCOMMAND), u"Pad");
        EXPECT_NE(GetMenuState(menu, 40045, MF_BYCOMMAND) & MF_GRAYED, 0u) << "relabelled, still greyed";
    }
    EXPECT_EQ(WindowText(Window()), u"VELORAMIKA");
}

// The demo's own tables, as a player who chose the language sees the bar: every title and item
// has words of its own (a missing text leaves an empty row, a shifted one two rows alike), in
// that language.
TEST_F(CVeskViewTest, TheDemosTablesGiveEveryMenuItemWordsOfItsOwn)
{
    CreateView();
    const char* tables[] = {"system_en.txt", "system_cn.txt", "system_tw.txt"};
    for (int language = 0; language < 3; ++language) {
        SCOPED_TRACE(tables[language]);
        m_app.Config().SetInt("/Config/Language", language);
        std::ifstream file(fs::path(std::getenv("VESK_SOURCE_DIR")) / "demo/text" / tables[language]);
        const std::string listing((std::istreambuf_iterator<char>(file)), {});
        CLangTextTable table;
        table.AddEntries(tools::BuildMapTable(tools::ParseMapListing(listing)), language);
        GetView()->RelabelMenus(language, table);
        HMENU bar = GetMenu(Window());
        std::set<std::u16string> seen;
        for (int title = 0; title < GetMenuItemCount(bar); ++title) {
            const std::u16string words = MenuText(bar, title, MF_BYPOSITION);
            EXPECT_FALSE(words.empty()) << "title " << title;
            EXPECT_TRUE(seen.insert(words).second) << "title " << title;
            HMENU items = GetSubMenu(bar, title);
            for (int item = 0; item < GetMenuItemCount(items); ++item) {
                const UINT id = GetMenuItemID(items, item);
                if (id == 0 || id == UINT(-1))
                    continue; // a separator
                const std::u16string text = MenuText(items, id, MF_BYCOMMAND);
                EXPECT_FALSE(text.empty()) << "item " << id;
                EXPECT_TRUE(seen.insert(text).second) << "item " << id;
                // In English, no item left in the resource's Japanese.
                if (language == 0) {
                    EXPECT_TRUE(std::none_of(text.begin(), text.end(),
                                             [](char16_t c) { return c >= 0x3040 && c <= 0x9FFF; }))
                        << "item " << id << " is not in English";
                }
            }
        }
    }
}

TEST_F(CVeskViewTest, InJapaneseTheMenuKeepsTheResourceTextsAndTheTitle)
{
    CreateView();
    CLangTextTable table;
    const std::vector<tools::MapText> texts = {{0, u"Exit"}};
    table.AddEntries(tools::BuildMapTable(texts), 3);
    GetView()->RelabelMenus(3, table);
    EXPECT_EQ(MenuText(GetMenu(Window()), 0, MF_BYPOSITION), u"終了");
    EXPECT_EQ(WindowText(Window()), u"asmr_system");
}

TEST_F(CVeskViewTest, AnEffectWaitEndsOnEnterTypedIntoTheWindow)
{
    CreateView();
    ShowWindow(Window(), SW_SHOW);
    // Whatever the window system says about the new window is handled before the key comes.
    PumpAll();
    platform::VirtualClock::Enable(5'000);
    platform::VirtualClock::SetAutoAdvance(true); // a wait that misses the key still ends
    CEffectWait wait(GetDocument(), GetInputView());
    wait.SetSkipFlags(SKIP_ON_OK);
    wait.SetStartTime(5'000);
    PushKey(Window(), VK_RETURN, true);
    EXPECT_EQ(wait.Wait(10'000, 1), 1);
    EXPECT_EQ(timeGetTime(), 5'000u);
    platform::VirtualClock::Disable();
}

class CVeskViewDocumentThreadTest : public DocumentFixture
{
protected:
    ~CVeskViewDocumentThreadTest() override
    {
        DeleteDocument();
        DeleteView();
        platform::ResetWindowLayer();
    }
};

TEST_F(CVeskViewDocumentThreadTest, TheGamesStartRelabelsTheMenusFromTheSystemTable)
{
    platform::ResetWindowLayer();
    m_app.Config().SetInt("/Config/Language", 2);
    m_app.Config().SetInt("/Screen/Window/Width", 640);
    m_app.Config().SetInt("/Screen/Window/Height", 360);
    GetView()->CreateMainWindow();
    StartDocument(); // loads the system table, then relabels in the configured language
    const HWND window = GetView()->GetHandle();
    auto expected = [](int id) {
        const std::string text = SystemText(id, 2);
        return std::u16string(text.begin(), text.end());
    };
    for (HMENU menu : {GetMenu(window), GetView()->GetPopupMenu()->GetMenu()}) {
        EXPECT_EQ(MenuText(menu, 0, MF_BYPOSITION), expected(0));
        EXPECT_EQ(MenuText(menu, 3, MF_BYPOSITION), expected(12));
        EXPECT_EQ(MenuText(menu, 40001, MF_BYCOMMAND), expected(2));
        EXPECT_EQ(MenuText(menu, 40029, MF_BYCOMMAND), expected(14));
    }
    EXPECT_EQ(WindowText(window), u"VELORAMIKA");
}

} // namespace
