#include "app/CWindowSizeDLG.h"

#include <algorithm>
#include <cmath>

#include "app/CDisplay.h"
#include "app/CVeskView.h"
#include "foundation/CStringUTF8.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CDirect3D.h"
#include "graphics/FrameRedraw.h"
#include "platform/user/ControlsApi.h"
#include "platform/user/MenuApi.h"

namespace {

constexpr int32_t CONTROL_TRACKBAR = 1015;
constexpr int32_t CONTROL_MAX = 1017;
constexpr int32_t CONTROL_SIZE = 1019;
constexpr int32_t BUTTON_DEFAULTS = 1011;

RECT ControlRect(HWND page, int32_t id)
{
    RECT rect{};
    const HWND control = GetDlgItem(page, id);
    if (control == nullptr)
        return rect;
    GetWindowRect(control, &rect);
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    ScreenToClient(page, &corners[0]);
    ScreenToClient(page, &corners[1]);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void PlaceControl(HWND page, int32_t id, const RECT& rect)
{
    if (const HWND control = GetDlgItem(page, id))
        SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowSize(HWND page, int32_t width, int32_t height)
{
    CStringUTF8 label;
    label.Format("%d x %d", width, height);
    SetDlgItemTextW(page, CONTROL_SIZE, label.GetWideText());
}

} // namespace

int32_t ScalePercentOf(int32_t width, int32_t base_width)
{
    if (base_width <= 0)
        return 100;
    return static_cast<int32_t>(std::trunc(static_cast<double>(width) / base_width * 100));
}

CWindowSizeDLG::CWindowSizeDLG(SIZE window_size, const CLangTextTable* texts)
    : CApiDialog(IDD_WINDOW_SIZE, texts)
    , m_width(window_size.cx)
    , m_height(window_size.cy)
    , m_saved_width(window_size.cx)
    , m_saved_height(window_size.cy)
{}

BOOL CWindowSizeDLG::OnInitDialog()
{
    m_trackbar_rect = ControlRect(m_handle, CONTROL_TRACKBAR);
    m_max_rect = ControlRect(m_handle, CONTROL_MAX);
    m_defaults_rect = ControlRect(m_handle, BUTTON_DEFAULTS);
    CWindow::GetClientRect(&m_initial_client);
    const SIZE size = GetScreenWindowSize();
    m_width = size.cx;
    m_height = size.cy;
    const SIZE base = GetScreenOriginalSize(1);
    SendDlgItemMessageW(m_handle, CONTROL_TRACKBAR, TBM_SETRANGE, TRUE,
                        MAKELPARAM(WINDOW_SCALE_MIN_PERCENT, WINDOW_SCALE_MAX_PERCENT));
    SendDlgItemMessageW(m_handle, CONTROL_TRACKBAR, TBM_SETPOS, TRUE, ScalePercentOf(m_width, base.cx));
    ShowSize(m_handle, m_width, m_height);
    return TRUE;
}

INT_PTR CWindowSizeDLG::DialogProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    switch (message) {
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(l_param) == GetDlgItem(window, CONTROL_TRACKBAR)) {
            const auto position = SendDlgItemMessageW(window, CONTROL_TRACKBAR, TBM_GETPOS, 0, 0);
            SetScale(static_cast<double>(position) / 100);
            return 1;
        }
        break;
    case WM_COMMAND:
        if (LOWORD(w_param) == BUTTON_DEFAULTS) {
            Defaults();
            return 1;
        }
        break;
    case WM_SIZE: {
        // The trackbar grows with the width, "MAX" follows the right edge, the button the bottom.
        const int32_t dw =
            LOWORD(static_cast<uintptr_t>(l_param)) - (m_initial_client.right - m_initial_client.left);
        const int32_t dh =
            HIWORD(static_cast<uintptr_t>(l_param)) - (m_initial_client.bottom - m_initial_client.top);
        if (m_initial_client.right == 0)
            return 0;
        PlaceControl(
            window, CONTROL_TRACKBAR,
            {m_trackbar_rect.left, m_trackbar_rect.top, m_trackbar_rect.right + dw, m_trackbar_rect.bottom});
        PlaceControl(window, CONTROL_MAX,
                     {m_max_rect.left + dw, m_max_rect.top, m_max_rect.right + dw, m_max_rect.bottom});
        PlaceControl(window, BUTTON_DEFAULTS,
                     {m_defaults_rect.left, m_defaults_rect.top + dh, m_defaults_rect.right,
                      m_defaults_rect.bottom + dh});
        return 0;
    }
    default:
        break;
    }
    return CApiDialog::DialogProc(window, message, w_param, l_param);
}

void CWindowSizeDLG::SetScale(double scale)
{
    const SIZE base = GetScreenOriginalSize(1);
    const int32_t width = static_cast<int32_t>(std::trunc(base.cx * scale));
    const int32_t height =
        base.cx > 0 ? static_cast<int32_t>(std::trunc(static_cast<double>(base.cy) / base.cx * width)) : 0;
    CVeskView* view = GetView();
    const HWND view_window = view->GetHandle();
    RECT frame{0, 0, width, height};
    AdjustWindowRect(&frame, static_cast<DWORD>(GetWindowLongW(view_window, GWL_STYLE)), view->HasMenu());
    const int32_t frame_width = frame.right - frame.left;
    const int32_t frame_height = frame.bottom - frame.top;
    RECT current{};
    ::GetWindowRect(view_window, &current);
    CDirect3D* display = CDirect3D::GetInstance();
    const RECT monitor = display->GetNearestMonitorRect((current.left + current.right) / 2,
                                                        (current.top + current.bottom) / 2);
    const int32_t x =
        std::max<int32_t>(monitor.left + (monitor.right - monitor.left - frame_width) / 2, monitor.left);
    const int32_t y =
        std::max<int32_t>(monitor.top + (monitor.bottom - monitor.top - frame_height) / 2, monitor.top);
    m_width = width;
    m_height = height;
    ShowSize(m_handle, width, height);
    SetScreenWindowSize(width, height);
    // Not under the draw lock: the move sends messages into the view's hooks, which take the
    // hook list and then the draw lock. ResetBuffers takes the draw lock itself.
    ::SetWindowPos(view_window, HWND_NOTOPMOST, x, y, frame_width, frame_height, 0);
    if (display->IsLive())
        display->ResetBuffers();
    RedrawFrameNow();
}

void CWindowSizeDLG::Defaults()
{
    SetScale(1.0);
    const SIZE base = GetScreenOriginalSize(1);
    SendDlgItemMessageW(m_handle, CONTROL_TRACKBAR, TBM_SETPOS, TRUE, ScalePercentOf(m_width, base.cx));
}

void CWindowSizeDLG::OnOK(int32_t)
{
    SetScreenWindowSize(m_width, m_height);
}

void CWindowSizeDLG::OnCancel(int32_t)
{
    m_width = m_saved_width;
    m_height = m_saved_height;
    SetScreenWindowSize(m_width, m_height);
    CDisplay* display = GetView()->GetDisplay();
    if (display == nullptr || display->GetMode() != DISPLAY_MODE_FULL_SCREEN) {
        const SIZE base = GetScreenOriginalSize(1);
        SetScale(static_cast<double>(ScalePercentOf(m_saved_width, base.cx)) / 100);
    }
}
