#include "app/CDisplay.h"

#include "app/CVeskView.h"
#include "foundation/CExecException.h"
#include "foundation/CInputView.h"
#include "foundation/ConfigAccess.h"
#include "foundation/IKeyboard.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CDirect3D.h"
#include "graphics/FrameRedraw.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/ScreenCapsApi.h"
#include "platform/user/MenuApi.h"
#include "platform/user/MessageApi.h"
#include "platform/user/WindowApi.h"

namespace {

constexpr int MAX_PENDING_MESSAGES = 1000;

// Translates and dispatches what is queued, at most 1000 messages.
void PumpPendingMessages()
{
    MSG message{};
    for (int i = 0; i < MAX_PENDING_MESSAGES && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void HidePopup()
{
    GetView()->HidePopupMenu();
}

RECT WindowRectFor(SIZE client, HWND window)
{
    RECT rect{0, 0, client.cx, client.cy};
    const DWORD style =
        window != nullptr ? static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) : VIEW_WINDOW_STYLE;
    AdjustWindowRect(&rect, style, window != nullptr && GetMenu(window) != nullptr);
    return rect;
}

class BusyScope
{
public:
    explicit BusyScope(CDisplay& display)
        : m_display(display)
    {
        m_display.SetBusy(1);
    }
    ~BusyScope() { m_display.SetBusy(0); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    CDisplay& m_display;
};

} // namespace

void CDisplay::Init(HWND window)
{
    m_window = window;
    const HDC dc = GetDC(window);
    const int bits = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(window, dc);
    if (bits < 24)
        throw CExecException("Display Setting Full Color or True Color");
    const SIZE base = GetScreenOriginalSize(1);
    m_smallest = WindowRectFor(SIZE{base.cx / 2, base.cy / 2}, window);
    m_largest = WindowRectFor(SIZE{base.cx * 2, base.cy * 2}, window);
    if (foundation::ReadConfigInt("/Screen/Status", DISPLAY_MODE_WINDOWED) == DISPLAY_MODE_FULL_SCREEN)
        PostMessageW(window, WM_COMMAND, COMMAND_FULL_SCREEN, 0);
}

void CDisplay::EnterFullScreen()
{
    if (m_busy)
        return;
    BusyScope busy(*this);
    ApplyFullScreen();
}

void CDisplay::ApplyFullScreen()
{
    HidePopup();
    if (m_mode == DISPLAY_MODE_FULL_SCREEN)
        return;
    if (m_mode == DISPLAY_MODE_MINIMISED)
        SetWindowed(1);
    m_mode = DISPLAY_MODE_FULL_SCREEN;
    m_full_before_minimise = 0;
    // A display that was never made (a start-up that stopped before it) cannot size the window:
    // that stops the switch as the device's failure would.
    CDirect3D* display = CDirect3D::GetInstance();
    if (!display->IsLive() || display->ApplyWindowSize(1) != 0)
        return;
    // The exclusive mode of older systems waited here for the monitor to settle; the borderless
    // full screen needs no wait.
    ShowWindow(m_window, SW_MAXIMIZE);
    RedrawFrameNow();
    SetScreenStatus(DISPLAY_MODE_FULL_SCREEN);
}

void CDisplay::ApplyWindowed()
{
    HidePopup();
    if (m_mode != DISPLAY_MODE_FULL_SCREEN) {
        ShowWindow(m_window, SW_RESTORE);
    } else {
        m_mode = DISPLAY_MODE_WINDOWED;
        CDirect3D* display = CDirect3D::GetInstance();
        if (!display->IsLive() || display->ApplyWindowSize(1) != 0)
            return;
        // The style the device puts back has no maximise bit, which on Windows ends the
        // maximised state; the layer is told so the window keeps the place the device gave it.
        if (IsZoomed(m_window)) {
            RECT placed{};
            GetWindowRect(m_window, &placed);
            ShowWindow(m_window, SW_RESTORE);
            ::SetWindowPos(m_window, HWND_NOTOPMOST, placed.left, placed.top, placed.right - placed.left,
                           placed.bottom - placed.top, 0);
        }
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
    BusyScope busy(*this);
    if (m_mode == DISPLAY_MODE_MINIMISED && m_full_before_minimise) {
        ApplyWindowed();
        ApplyFullScreen();
    } else if (m_mode == DISPLAY_MODE_WINDOWED) {
        return;
    } else if (m_mode == DISPLAY_MODE_FULL_SCREEN && force == 0) {
        ApplyWindowed();
        ApplyFullScreen();
    } else {
        ApplyWindowed();
    }
}

void CDisplay::Minimize()
{
    if (m_busy)
        return;
    {
        BusyScope busy(*this);
        HidePopup();
        if (m_mode != DISPLAY_MODE_MINIMISED) {
            if (m_mode == DISPLAY_MODE_FULL_SCREEN) {
                ApplyWindowed();
                m_full_before_minimise = 1;
            }
            m_mode = DISPLAY_MODE_MINIMISED;
            ShowWindow(m_window, SW_MINIMIZE);
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
    BusyScope busy(*this);
    if ((m_mode == DISPLAY_MODE_MINIMISED && m_full_before_minimise) || m_mode == DISPLAY_MODE_FULL_SCREEN) {
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
            EnterFullScreen();
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
            EnterFullScreen();
            return 1;
        case SIZE_RESTORED:
            if (m_mode == DISPLAY_MODE_MINIMISED && m_full_before_minimise)
                Restore();
            return 1;
        default:
            return 0;
        }
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(l_param);
        if (limits != nullptr) {
            limits->ptMinTrackSize = {m_smallest.right - m_smallest.left, m_smallest.bottom - m_smallest.top};
            limits->ptMaxTrackSize = {m_largest.right - m_largest.left, m_largest.bottom - m_largest.top};
        }
        return 0;
    }
    case WM_SIZING:
        return 1;
    default:
        return 0;
    }
}
