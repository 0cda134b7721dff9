// The menu commands over a started game and its main window: the request bits they set, the
// settings they toggle, the greying and checks refreshed before every message, and the popup
// requests from mouse moves in full screen.

#include "app/CVeskMenuEvent.h"

#include "DocumentFixture.h"
#include "app/CDisplay.h"
#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "app/CVeskView.h"
#include "foundation/ConfigSettings.h"
#include "platform/user/MenuApi.h"
#include "platform/user/MessageApi.h"
#include "platform/user/WindowApi.h"
#include "platform/user/WindowLayerTesting.h"

namespace {

class CVeskMenuEventThreadTest : public DocumentFixture
{
protected:
    CVeskMenuEventThreadTest()
    {
        platform::ResetWindowLayer();
        StartDocument();
        GetView()->CreateMainWindow();
        ShowWindow(Window(), SW_SHOW);
    }
    ~CVeskMenuEventThreadTest() override
    {
        DeleteView();
        platform::ResetWindowLayer();
    }

    HWND Window() const { return GetView()->GetHandle(); }
    HMENU Menu() const { return GetMenu(Window()); }
    void Command(UINT id) { SendMessageW(Window(), WM_COMMAND, id, 0); }
    // Any message refreshes the item states first.
    void Refresh() { SendMessageW(Window(), WM_NULL, 0, 0); }
    bool Greyed(UINT id) const { return (GetMenuState(Menu(), id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
    uint32_t Requests() const { return GetDocument()->GetRequestWord(); }
};

} // namespace

TEST_F(CVeskMenuEventThreadTest, EachRequestCommandSetsItsOwnBit)
{
    const std::pair<UINT, uint32_t> commands[] = {
        {40001, 0x1}, {40002, 0x4}, {40006, 0x8}, {40009, 0x2}, {40049, 0x10}};
    for (const auto& [id, bit] : commands) {
        GetDocument()->EventFlagOp(EVENT_FLAG_CLEAR, 0xFFFFFFFF);
        GetDocument()->SetEngineStateBits(ENGINE_STATE_MENU_ENABLED);
        Command(id);
        EXPECT_EQ(Requests(), bit) << "command " << id;
    }
    GetDocument()->EventFlagOp(EVENT_FLAG_CLEAR, 0xFFFFFFFF);
    Command(40045); // the settings pop-up's own item: nothing
    Command(12345);
    EXPECT_EQ(Requests(), 0u);
}

TEST_F(CVeskMenuEventThreadTest, SettingsCommandsToggleTheirKeys)
{
    m_app.Config().SetInt("/Config/OneMes", 0);
    m_app.Config().SetInt("/Config/AutoRead", 1);
    m_app.Config().SetInt("/Config/MesWnd/IsMove", 1);
    Command(40007);
    Command(40008);
    Command(40026);
    EXPECT_EQ(m_app.GetConfigInt("/Config/OneMes", -1, 0), 1);
    EXPECT_EQ(m_app.GetConfigInt("/Config/AutoRead", -1, 0), 0);
    EXPECT_EQ(m_app.GetConfigInt("/Config/MesWnd/IsMove", -1, 0), 0);
    Command(40007);
    EXPECT_EQ(m_app.GetConfigInt("/Config/OneMes", -1, 0), 0);
}

TEST_F(CVeskMenuEventThreadTest, SettingsItemsFollowTheMenuLockOfTheGame)
{
    GetDocument()->ClearEngineStateBits(ENGINE_STATE_MENU_ENABLED);
    Refresh();
    EXPECT_TRUE(Greyed(40009));
    EXPECT_TRUE(Greyed(40049));
    GetDocument()->SetEngineStateBits(ENGINE_STATE_MENU_ENABLED);
    Refresh();
    EXPECT_FALSE(Greyed(40009));
    EXPECT_FALSE(Greyed(40049));
    EXPECT_TRUE(Greyed(40045)) << "the controller item opens nothing whatever the lock";

    GetDocument()->ClearEngineStateBits(ENGINE_STATE_GAME_INPUT);
    Refresh();
    EXPECT_TRUE(Greyed(40002));
    GetDocument()->SetEngineStateBits(ENGINE_STATE_GAME_INPUT);
    Refresh();
    EXPECT_FALSE(Greyed(40002));
}

TEST_F(CVeskMenuEventThreadTest, AGreyedCloseItemMakesQuitAndTheCloseBoxDoNothing)
{
    // The exit dialog greys the system menu's Close item while it is open.
    EnableMenuItem(GetSystemMenu(Window(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    Refresh();
    EXPECT_TRUE(Greyed(40001));
    SendMessageW(Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Command(40001);
    EXPECT_EQ(Requests() & REQUEST_EXIT, 0u);

    EnableMenuItem(GetSystemMenu(Window(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
    SendMessageW(Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(Requests() & REQUEST_EXIT, REQUEST_EXIT) << "the close box is the quit command";
}

TEST_F(CVeskMenuEventThreadTest, DisplayItemsAreCheckedByTheMode)
{
    CDisplay* display = GetView()->GetDisplay();
    const std::pair<int32_t, UINT> modes[] = {{1, 40005}, {2, 40004}, {3, 40003}};
    for (const auto& [mode, checked] : modes) {
        display->SetMode(mode);
        // In full screen the view's menu is the popup's; its items are refreshed the same way.
        Refresh();
        const HMENU menu = GetView()->GetMenu();
        for (UINT id : {40003u, 40004u, 40005u})
            EXPECT_EQ((GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0, id == checked)
                << "mode " << mode << " item " << id;
    }
    display->SetMode(DISPLAY_MODE_WINDOWED);
}

TEST_F(CVeskMenuEventThreadTest, InFullScreenTheTopRowsAskForThePopupAndTheRestHidesIt)
{
    CVeskView* view = GetView();
    view->GetDisplay()->SetMode(DISPLAY_MODE_FULL_SCREEN);
    const int band = GetSystemMetrics(SM_CYMENU);
    view->ClearStatusBits(VIEW_STATUS_OPEN_POPUP | VIEW_STATUS_HIDE_POPUP);

    SendMessageW(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(300, 1));
    EXPECT_EQ(view->GetStatus() & VIEW_STATUS_OPEN_POPUP, 0u) << "below the picture's top row";
    SendMessageW(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(300, 0));
    EXPECT_EQ(view->GetStatus() & VIEW_STATUS_OPEN_POPUP, VIEW_STATUS_OPEN_POPUP);

    view->GetPopupMenu()->Show(SW_SHOWNA);
    SendMessageW(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(300, band - 1));
    EXPECT_EQ(view->GetStatus() & VIEW_STATUS_HIDE_POPUP, 0u) << "still on the menu band";
    SendMessageW(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(300, band));
    EXPECT_EQ(view->GetStatus() & VIEW_STATUS_HIDE_POPUP, VIEW_STATUS_HIDE_POPUP);

    // In a window the moves ask for nothing.
    view->GetDisplay()->SetMode(DISPLAY_MODE_WINDOWED);
    view->GetPopupMenu()->Show(SW_HIDE);
    view->ClearStatusBits(VIEW_STATUS_OPEN_POPUP | VIEW_STATUS_HIDE_POPUP);
    SendMessageW(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(300, 0));
    EXPECT_EQ(view->GetStatus() & (VIEW_STATUS_OPEN_POPUP | VIEW_STATUS_HIDE_POPUP), 0u);
}

TEST_F(CVeskMenuEventThreadTest, TheManualOpensItsFirstPageBesideTheExecutable)
{
    m_app.SetModuleFolder("/opt/game"); // without its separator: one is added
    // Headless, the shell only says what it would open.
    testing::internal::CaptureStderr();
    Command(40035);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("open /opt/game/manual/man_01.html (headless)"), std::string::npos) << said;
}
