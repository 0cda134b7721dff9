#include "app/CDisplay.h"

#include "app/CInputView.h"
#include "app/CVeskView.h"
#include "app/ConfigAccess.h"
#include "app/IKeyboard.h"
#include "app/ScreenSettings.h"
#include "foundation/CExecException.h"
#include "graphics/CDirect3D.h"
#include "graphics/FrameRedraw.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/ScreenCapsApi.h"
#include "platform/kernel/SyncApi.h"
#include "platform/user/MessageApi.h"
#include "platform/user/WindowApi.h"

namespace {

constexpr UINT COMMAND_FULL_SCREEN = 40004;
// A display-mode change lets the monitor settle before the window is shown on it.
constexpr DWORD DISPLAY_CHANGE_SETTLE_MS = 1000;
constexpr int PENDING_MESSAGE_LIMIT = 1000;

// Holds the busy flag for a switch; a switch asked for meanwhile (a WM_SIZE sent from inside it)
// finds it set and is dropped.
class BusyScope
{
public:
    explicit BusyScope(int32_t& busy)
        : m_busy(busy)
    {
        m_busy = 1;
    }
    ~BusyScope() { m_busy = 0; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    int32_t& m_busy;
};

void HidePopup()
{
    GetView()->HidePopupMenu();
}

// Lets the window settle into its new state: at most 1000 queued messages.
void PumpPendingMessages()
{
    MSG message{};
    for (int count = 0; count < PENDING_MESSAGE_LIMIT && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
         ++count) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

RECT WindowRectFor(LONG width, LONG height)
{
    RECT rect{0, 0, width, height};
    AdjustWindowRect(&rect, VIEW_WINDOW_STYLE, TRUE);
    return rect;
}

} // namespace

void CDisplay::Init(HWND window)
{
    m_window = window;
    HWND source = window != nullptr ? window : GetDesktopWindow();
    HDC dc = GetDC(source);
    const int bits = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(source, dc);
    if (bits < 24)
        throw CExecException("Display Setting Full Color or True Color");

    const SIZE base = GetScreenOriginalSize(0);
    m_smallest = WindowRectFor(base.cx / 2, base.cy / 2);
    m_largest = WindowRectFor(base.cx * 2, base.cy * 2);
    if (app::ReadConfigInt("/Screen/Status", DISPLAY_MODE_WINDOWED) == DISPLAY_MODE_FULL_SCREEN)
        PostMessageW(window, WM_COMMAND, COMMAND_FULL_SCREEN, 0);
}

void CDisplay::ShowWindowMode(int command)
{
    ShowWindow(m_window, command);
}

void CDisplay::ApplyFullScreen()
{
    HidePopup();
    if (m_mode == DISPLAY_MODE_FULL_SCREEN)
        return;
    if (m_mode == DISPLAY_MODE_MINIMISED) {
        // The caller's busy flag would stop SetWindowed: lift it for the restore.
        m_busy = 0;
        SetWindowed(1);
        m_busy = 1;
    }
    m_mode = DISPLAY_MODE_FULL_SCREEN;
    m_full_before_minimise = 0;
    // A display that was never made cannot size the window: that stops the switch as the
    // device's failure would.
    CDirect3D* display = CDirect3D::GetInstance();
    if (!display->IsLive() || display->ApplyWindowSize(SW_MAXIMIZE) != 0)
        return;
    if (display->GetDisplayMode() == DISPLAY_MODE_EXCLUSIVE) {
        Sleep(DISPLAY_CHANGE_SETTLE_MS);
        ShowWindowMode(SW_MAXIMIZE);
        PumpPendingMessages();
    } else {
        ShowWindowMode(SW_MAXIMIZE);
    }
    RedrawFrameNow();
    SetScreenStatus(DISPLAY_MODE_FULL_SCREEN);
}

void CDisplay::ApplyWindowed()
{
    HidePopup();
    if (m_mode != DISPLAY_MODE_FULL_SCREEN) {
        ShowWindowMode(SW_RESTORE);
    } else {
        m_mode = DISPLAY_MODE_WINDOWED;
        CDirect3D* display = CDirect3D::GetInstance();
        if (!display->IsLive() || display->ApplyWindowSize(SW_RESTORE) != 0)
            return;
    }
    m_mode = DISPLAY_MODE_WINDOWED;
    SetScreenStatus(DISPLAY_MODE_WINDOWED);
    PumpPendingMessages();
    RedrawFrameNow();
}

void CDisplay::SetWindowed(int32_t force)
{
    if (m_busy)
        return;
    BusyScope busy(m_busy);
    if (m_mode == DISPLAY_MODE_MINIMISED && m_full_before_minimise) {
        ApplyWindowed();
        ApplyFullScreen();
    } else if (m_mode == DISPLAY_MODE_WINDOWED) {
        // already there
    } else if (m_mode == DISPLAY_MODE_FULL_SCREEN && force == 0) {
        ApplyWindowed();
        ApplyFullScreen();
    } else {
        ApplyWindowed();
    }
}

void CDisplay::RequestFullScreen()
{
    if (m_busy)
        return;
    BusyScope busy(m_busy);
    ApplyFullScreen();
}

void CDisplay::Minimize()
{
    if (m_busy)
        return;
    {
        BusyScope busy(m_busy);
        HidePopup();
        if (m_mode != DISPLAY_MODE_MINIMISED) {
            if (m_mode == DISPLAY_MODE_FULL_SCREEN) {
                ApplyWindowed();
                m_full_before_minimise = 1;
            }
            m_mode = DISPLAY_MODE_MINIMISED;
            ShowWindowMode(SW_MINIMIZE);
            SetScreenStatus(DISPLAY_MODE_MINIMISED);
        }
    }
    if (IKeyboard* keyboard = GetInputView()->GetKeyboard())
        keyboard->Clear();
}

void CDisplay::Restore()
{
    if (m_busy)
        return;
    BusyScope busy(m_busy);
    if (m_mode == DISPLAY_MODE_MINIMISED && m_full_before_minimise) {
        ApplyWindowed();
        ApplyFullScreen();
    } else if (m_mode == DISPLAY_MODE_FULL_SCREEN) {
        ApplyWindowed();
        ApplyFullScreen();
    } else if (m_mode != DISPLAY_MODE_WINDOWED) {
        ApplyWindowed();
    }
}

int32_t CDisplay::HookProc(HWND, UINT message, WPARAM w_param, LPARAM l_param)
{
    switch (message) {
    case WM_SYSCOMMAND:
        switch (w_param & 0xFFF0) {
        case SC_MINIMIZE:
            Minimize();
            return 1;
        case SC_MAXIMIZE:
            RequestFullScreen();
            return 1;
        case SC_RESTORE:
            Restore();
            return 1;
        default:
            return 0;
        }
    case WM_SIZE:
        switch (w_param) {
        case SIZE_MINIMIZED:
            Minimize();
            return 1;
        case SIZE_MAXIMIZED:
            RequestFullScreen();
            return 1;
        case SIZE_RESTORED:
            if (m_mode == DISPLAY_MODE_MINIMISED && m_full_before_minimise)
                Restore();
            return 1;
        default:
            return 0;
        }
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(l_param);
        info->ptMinTrackSize = POINT{m_smallest.right - m_smallest.left, m_smallest.bottom - m_smallest.top};
        info->ptMaxTrackSize = POINT{m_largest.right - m_largest.left, m_largest.bottom - m_largest.top};
        return 0;
    }
    case WM_SIZING:
        return 1;
    default:
        return 0;
    }
}
