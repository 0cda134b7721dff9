#include "app/CVeskMenuEvent.h"

#include "app/CDisplay.h"
#include "app/CGameWork.h"
#include "app/CVersion.h"
#include "app/CVeskDoc.h"
#include "app/CVeskView.h"
#include "app/CWinApp.h"
#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/IKeyboard.h"
#include "platform/shell/ShellExecuteApi.h"
#include "platform/user/MenuApi.h"
#include "platform/user/MessageApi.h"
#include "platform/user/WindowApi.h"

namespace {

void Enable(const MenuItemRef& item, bool enabled)
{
    EnableMenuItem(item.menu, item.command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void Check(const MenuItemRef& item, bool checked)
{
    CheckMenuItem(item.menu, item.command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool WindowModeDialogOpen()
{
    return GetGameWork()->TestBits(LOCK_WINDOW_MODE);
}

int32_t DisplayMode()
{
    const CDisplay* display = GetView()->GetDisplay();
    return display != nullptr ? display->GetMode() : DISPLAY_MODE_WINDOWED;
}

void Request(uint32_t bits)
{
    GetDocument()->EventFlagOp(EVENT_FLAG_SET, bits);
}

void EnterFullScreen()
{
    if (CDisplay* display = GetView()->GetDisplay())
        display->EnterFullScreen();
}

void LeaveFullScreen()
{
    if (CDisplay* display = GetView()->GetDisplay())
        display->SetWindowed(1);
}

// String resource of the manual's first page, under "manual\" beside the executable.
constexpr UINT IDS_MANUAL_PAGE = 109;

void OpenManual()
{
    CWinApp* application = GetApp();
    if (application == nullptr)
        return;
    CStringUTF8 folder = application->GetModuleFolder();
    folder.AddBackslash();
    CStringUTF8 page;
    page.LoadString(IDS_MANUAL_PAGE);
    const CStringUTF8 path = folder + "manual\\" + page;
    const CStringUTF8 directory = path.GetDirectory();
    ShellExecuteW(nullptr, u"open", path.GetWideText(), u"", directory.GetWideText(), SW_SHOWNORMAL);
}

constexpr MenuStateRecord MENU_STATES[] = {
    {COMMAND_RETURN_TO_TITLE,
     static_cast<void (CMenuEvent::*)(const MenuItemRef&)>(&CVeskMenuEvent::StateReturnToTitle)},
    {COMMAND_QUIT, static_cast<void (CMenuEvent::*)(const MenuItemRef&)>(&CVeskMenuEvent::StateQuit)},
    {COMMAND_MINIMISE,
     static_cast<void (CMenuEvent::*)(const MenuItemRef&)>(&CVeskMenuEvent::StateMinimised)},
    {COMMAND_FULL_SCREEN,
     static_cast<void (CMenuEvent::*)(const MenuItemRef&)>(&CVeskMenuEvent::StateFullScreen)},
    {COMMAND_WINDOWED, static_cast<void (CMenuEvent::*)(const MenuItemRef&)>(&CVeskMenuEvent::StateWindowed)},
    {COMMAND_ONE_MES, static_cast<void (CMenuEvent::*)(const MenuItemRef&)>(&CVeskMenuEvent::StateOneMes)},
    {COMMAND_AUTO_READ,
     static_cast<void (CMenuEvent::*)(const MenuItemRef&)>(&CVeskMenuEvent::StateAutoRead)},
    {COMMAND_SYSTEM_SETTINGS,
     static_cast<void (CMenuEvent::*)(const MenuItemRef&)>(&CVeskMenuEvent::StateSettings)},
    {COMMAND_SOUND_SETTINGS,
     static_cast<void (CMenuEvent::*)(const MenuItemRef&)>(&CVeskMenuEvent::StateSettings)},
    {COMMAND_WINDOW_SETTINGS,
     static_cast<void (CMenuEvent::*)(const MenuItemRef&)>(&CVeskMenuEvent::StateWindowSettings)},
    {COMMAND_MESSAGE_WINDOW_FIXED,
     static_cast<void (CMenuEvent::*)(const MenuItemRef&)>(&CVeskMenuEvent::StateMessageWindowFixed)},
    {0, nullptr},
};

} // namespace

const MenuStateRecord* CVeskMenuEvent::GetMenuStateTable()
{
    return MENU_STATES;
}

void CVeskMenuEvent::StateReturnToTitle(const MenuItemRef& item)
{
    CVeskDoc* document = GetDocument();
    if (document->GetScript().m_current_state.get() == nullptr)
        return;
    Enable(item, (document->GetEngineStateWord() & ENGINE_STATE_GAME_INPUT) != 0);
}

void CVeskMenuEvent::StateQuit(const MenuItemRef& item)
{
    if (WindowModeDialogOpen()) {
        Enable(item, false);
        return;
    }
    // The exit dialog greys the system menu's Close item; the menu's quit follows it.
    const UINT close_state =
        GetMenuState(GetSystemMenu(GetView()->GetHandle(), FALSE), SC_CLOSE, MF_BYCOMMAND);
    Enable(item, close_state == 0 || close_state == static_cast<UINT>(-1));
}

void CVeskMenuEvent::StateMinimised(const MenuItemRef& item)
{
    Check(item, DisplayMode() == DISPLAY_MODE_MINIMISED);
}

void CVeskMenuEvent::StateFullScreen(const MenuItemRef& item)
{
    Check(item, DisplayMode() == DISPLAY_MODE_FULL_SCREEN);
}

void CVeskMenuEvent::StateWindowed(const MenuItemRef& item)
{
    Check(item, DisplayMode() == DISPLAY_MODE_WINDOWED);
}

void CVeskMenuEvent::StateOneMes(const MenuItemRef& item)
{
    Check(item, GetConfigOneMes());
}

void CVeskMenuEvent::StateAutoRead(const MenuItemRef& item)
{
    Check(item, GetConfigAutoRead());
}

void CVeskMenuEvent::StateSettings(const MenuItemRef& item)
{
    Enable(item, (GetDocument()->GetEngineStateWord() & ENGINE_STATE_MENU_ENABLED) != 0);
}

void CVeskMenuEvent::StateWindowSettings(const MenuItemRef& item)
{
    Enable(item, !WindowModeDialogOpen());
}

void CVeskMenuEvent::StateMessageWindowFixed(const MenuItemRef& item)
{
    Check(item, !GetConfigMesWndIsMove());
}

void CVeskMenuEvent::OnCommand(HWND, UINT command, LPARAM, UINT)
{
    CVeskView* view = GetView();
    switch (command) {
    case COMMAND_QUIT: {
        // The close box arrives here too: a greyed quit (the exit dialog is open) does nothing.
        const HMENU menu = view->GetMenu();
        const UINT state = menu != nullptr ? GetMenuState(menu, COMMAND_QUIT, MF_BYCOMMAND) : 0;
        if (state == static_cast<UINT>(-1) || !(state & MF_GRAYED))
            Request(REQUEST_EXIT);
        break;
    }
    case COMMAND_RETURN_TO_TITLE:
        Request(REQUEST_RETURN_TO_TITLE);
        break;
    case COMMAND_MINIMISE:
        if (CDisplay* display = view->GetDisplay())
            display->Minimize();
        break;
    case COMMAND_FULL_SCREEN:
        EnterFullScreen();
        break;
    case COMMAND_WINDOWED:
        LeaveFullScreen();
        break;
    case COMMAND_WINDOW_SETTINGS:
        view->HidePopupMenu();
        Request(REQUEST_WINDOW_SETTINGS);
        break;
    case COMMAND_ONE_MES:
        SetConfigOneMes(GetConfigOneMes() ? 0 : 1);
        break;
    case COMMAND_AUTO_READ:
        SetConfigAutoRead(GetConfigAutoRead() ? 0 : 1);
        break;
    case COMMAND_SYSTEM_SETTINGS:
        view->HidePopupMenu();
        Request(REQUEST_SYSTEM_SETTINGS);
        break;
    case COMMAND_TOGGLE_FULL_SCREEN:
        if (DisplayMode() == DISPLAY_MODE_WINDOWED)
            EnterFullScreen();
        else if (DisplayMode() == DISPLAY_MODE_FULL_SCREEN)
            LeaveFullScreen();
        if (IKeyboard* keyboard = GetInputView()->GetKeyboard())
            keyboard->Enable();
        break;
    case COMMAND_MESSAGE_WINDOW_FIXED:
        SetConfigMesWndIsMove(GetConfigMesWndIsMove() ? 0 : 1);
        break;
    case COMMAND_VERSION: {
        CVersion version(GetGameWork()->m_system_language.get());
        version.DoModal(view->GetHandle());
        break;
    }
    case COMMAND_MANUAL:
        OpenManual();
        break;
    case COMMAND_SOUND_SETTINGS:
        view->HidePopupMenu();
        Request(REQUEST_SOUND_SETTINGS);
        break;
    default:
        break;
    }
}
