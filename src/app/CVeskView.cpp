#include "app/CVeskView.h"

#include <new>

#include "app/CDisplay.h"
#include "app/CGameWork.h"
#include "app/CPopUpMenu.h"
#include "app/CVeskMenuEvent.h"
#include "app/CWinApp.h"
#include "foundation/CExecException.h"
#include "foundation/CInputView.h"
#include "foundation/CLangTextTable.h"
#include "foundation/ConfigSettings.h"
#include "foundation/IKeyboard.h"
#include "foundation/ScreenSettings.h"
#include "graphics/FrameRedraw.h"
#include "platform/gdi/ScreenCapsApi.h"
#include "platform/user/MenuApi.h"

namespace {

constexpr UINT ID_MAIN_MENU = 105;
constexpr UINT ID_ACCELERATORS = 108;
constexpr UINT ID_APP_ICON = 109;

CVeskView* g_view = nullptr; // owned here: made by GetView, freed by DeleteView

// Language-table ids of the menu texts and where they go: a pop-up title by position, or an item
// by command.
struct MenuLabel
{
    int text_id;
    UINT item;
    bool by_position;
};
constexpr MenuLabel MENU_LABELS[] = {
    {0, 0, true},      {3, 1, true},       {7, 2, true},       {12, 3, true},      {2, 40001, false},
    {1, 40002, false}, {4, 40003, false},  {5, 40004, false},  {6, 40005, false},  {8, 40009, false},
    {9, 40049, false}, {10, 40045, false}, {11, 40006, false}, {13, 40035, false}, {14, 40029, false},
};

HINSTANCE AppInstance()
{
    CWinApp* app = GetApp();
    return app != nullptr ? app->GetInstanceHandle() : nullptr;
}

} // namespace

CVeskView* GetView()
{
    if (g_view == nullptr) {
        g_view = new (std::nothrow) CVeskView;
        if (g_view == nullptr)
            throw CExecException("Failed to create the View Object");
    }
    return g_view;
}

namespace {

// Installed before main, so a movie or screen that joins the window first still gets it made.
const bool g_source_installed = (SetMainViewSource([]() -> MainView* { return GetView(); }), true);

} // namespace

void DeleteView()
{
    delete g_view;
    g_view = nullptr;
}

CVeskView::CVeskView()
    : m_status(std::make_unique<std::atomic<uint32_t>>(0))
{
    m_hook_list.Add(this);
}

CVeskView::~CVeskView()
{
    Destroy();
    m_display.reset();
    m_menu_event.reset();
    if (m_own_popup) {
        m_own_popup->Destroy();
        m_own_popup.reset();
    }
    m_popup = nullptr;
    m_status.reset();
    m_hook_list.Clear();
    if (m_accelerators != nullptr)
        DestroyAcceleratorTable(m_accelerators);
}

void CVeskView::CreateMainWindow()
{
    const SIZE size = GetScreenWindowSize();
    CWinApp* app = GetApp();
    const CStringUTF8 title = app != nullptr ? app->GetTitle() : CStringUTF8();
    const HINSTANCE instance = AppInstance();

    m_status.reset(new (std::nothrow) std::atomic<uint32_t>(0));
    if (!m_status)
        throw CExecException("Failed to create the Window Status");

    CREATESTRUCTW record{};
    record.lpCreateParams = nullptr;
    record.hInstance = instance;
    record.hMenu = LoadMenuW(instance, MAKEINTRESOURCEW(ID_MAIN_MENU));
    record.hwndParent = nullptr;
    record.cy = size.cy;
    record.cx = size.cx;
    record.y = 0;
    record.x = 0;
    record.style = static_cast<LONG>(VIEW_WINDOW_STYLE);
    record.lpszName = title.GetWideText();
    record.lpszClass = u"VESK";
    record.dwExStyle = 0;
    Create(record);
    // The record keeps pointers; the title text must outlive this call.
    m_create.lpszName = nullptr;

    m_display.reset(new (std::nothrow) CDisplay(DISPLAY_MODE_WINDOWED));
    if (!m_display)
        throw CExecException("Failed to create the Display Object");
    m_hook_list.Add(m_display.get());
    m_display->Init(m_handle);

    m_own_popup.reset(new (std::nothrow) CPopUpMenu);
    if (!m_own_popup)
        throw CExecException("Failed to create the Popup Menu");
    m_own_popup->CreatePopupWindow(instance, *this);
    m_popup = m_own_popup.get();

    m_menu_event.reset(new (std::nothrow) CVeskMenuEvent);
    if (!m_menu_event)
        throw CExecException("Failed to create the Menu Event");
    m_hook_list.Add(m_menu_event.get());

    ComputeWindowRect();
}

void CVeskView::ComputeWindowRect()
{
    const SIZE size = GetScreenWindowSize();
    RECT window{0, 0, size.cx, size.cy};
    AdjustWindowRect(&window, static_cast<DWORD>(m_create.style), HasMenu());
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    HDC screen = nullptr;
    // A window wider than the desktop sits at a negative x; a taller one at the top.
    const int x = (GetDeviceCaps(screen, HORZRES) - width) / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) > height ? (GetDeviceCaps(screen, VERTRES) - height) / 2 : 0;
    SetWindowPos(HWND_NOTOPMOST, x, y, width, height, 0);
}

void CVeskView::SetStatusBits(uint32_t bits)
{
    if (m_status)
        m_status->fetch_or(bits);
}

void CVeskView::ClearStatusBits(uint32_t bits)
{
    if (m_status)
        m_status->fetch_and(~bits);
}

void CVeskView::SetPopupMenu(CPopUpMenu* popup)
{
    m_popup = popup != nullptr ? popup : m_own_popup.get();
}

void CVeskView::HidePopupMenu()
{
    ClearStatusBits(VIEW_STATUS_HIDE_POPUP);
    if (m_popup != nullptr && m_popup->IsVisible()) {
        m_popup->Hide();
        Redraw();
    }
}

void CVeskView::Redraw()
{
    // Draws only while the display is live and both of its ready bits are set.
    RedrawFrameNow();
}

HMENU CVeskView::GetMenu()
{
    if (m_display && m_display->GetMode() == DISPLAY_MODE_FULL_SCREEN)
        return m_popup != nullptr ? m_popup->GetMenu() : nullptr;
    return CWindow::GetMenu();
}

BOOL CVeskView::RegisterClass(const CREATESTRUCTW& record)
{
    return RegisterClassWithIcon(record, LoadIconW(record.hInstance, MAKEINTRESOURCEW(ID_APP_ICON)));
}

void CVeskView::RelabelMenus(int32_t language)
{
    if (const CLangTextTable* texts = GetGameWork()->m_system_language.get())
        RelabelMenus(language, *texts);
}

void CVeskView::RelabelMenus(int32_t language, const CLangTextTable& texts)
{
    if (GetConfigLanguage() == LANGUAGE_JAPANESE)
        return;
    const HMENU menus[] = {::GetMenu(m_handle), m_popup != nullptr ? m_popup->GetMenu() : nullptr};
    for (HMENU menu : menus) {
        if (menu == nullptr)
            continue;
        for (const MenuLabel& label : MENU_LABELS) {
            const CStringUTF8 text = texts.GetText(label.text_id, language);
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_STRING;
            info.dwTypeData = const_cast<LPWSTR>(text.GetWideText());
            SetMenuItemInfoW(menu, label.item, label.by_position ? TRUE : FALSE, &info);
        }
    }
    SetWindowTextW(m_handle, u"VELORAMIKA");
    DrawMenuBar(m_handle);
}

int32_t CVeskView::HookProc(HWND window, UINT message, WPARAM w_param, LPARAM)
{
    switch (message) {
    case WM_CREATE:
        if (m_accelerators == nullptr)
            m_accelerators = LoadAcceleratorsW(AppInstance(), MAKEINTRESOURCEW(ID_ACCELERATORS));
        return 0;
    case WM_DESTROY:
        ShowWindow(window, SW_HIDE);
        SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(WS_POPUP));
        ::SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        SetStatusBits(VIEW_STATUS_DESTROYED);
        return 0;
    case WM_ACTIVATE: {
        IKeyboard* keyboard = GetInputView()->GetKeyboard();
        if (LOWORD(w_param) != WA_INACTIVE) {
            SetStatusBits(VIEW_STATUS_ACTIVE);
            if (LOWORD(w_param) == WA_CLICKACTIVE)
                SetCapture(window);
            if (keyboard != nullptr)
                keyboard->Enable();
            Redraw();
        } else {
            ClearStatusBits(VIEW_STATUS_ACTIVE);
            if (keyboard != nullptr)
                keyboard->Clear();
        }
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        BeginPaint(window, &paint);
        Redraw();
        EndPaint(window, &paint);
        return 0;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        // A click on the window icon would open the system menu; it is swallowed.
        return w_param == static_cast<WPARAM>(HTSYSMENU) ? 1 : 0;
    case WM_SYSCOMMAND:
        if ((w_param & 0xFFF0) == SC_CLOSE) {
            // Closing the window is the exit command, with its checks.
            SendMessageW(window, WM_COMMAND, COMMAND_QUIT, 0);
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}
