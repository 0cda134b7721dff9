// Static texts and icons.
#include "platform/gdi/FontApi.h"
#include "platform/gdi/GdiApi.h"
#include "platform/user/ControlsApi.h"
#include "platform/user/DialogControls.h"

namespace platform::dialog {

namespace {

struct StaticState
{
    bool pressed = false;
};

// The program's icon as the layer draws it: a rounded blue tile with a white "V".
void PaintIcon(UiCanvas& canvas, const RECT& area)
{
    const int size = 32;
    const int left = area.left;
    const int top = area.top;
    canvas.FillRect({left + 2, top, left + size - 2, top + size}, 0xFF2B579A);
    canvas.FillRect({left, top + 2, left + size, top + size - 2}, 0xFF2B579A);
    for (int i = 0; i < 3; ++i) {
        canvas.DrawLine(left + 8 + i, top + 8, left + 15 + i, top + 24, WHITE);
        canvas.DrawLine(left + 23 - i, top + 8, left + 16 - i, top + 24, WHITE);
    }
}

} // namespace

LRESULT StaticProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    KeepState<StaticState>(window, message);
    StaticState* state = StateOf<StaticState>(window);
    if (state == nullptr)
        return DefWindowProcW(window, message, w_param, l_param);
    const bool notify = (GetWindowLongW(window, GWL_STYLE) & SS_NOTIFY) != 0;
    switch (message) {
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcW(window, message, w_param, l_param);
        Redraw(window);
        return result;
    }
    case WM_LBUTTONDOWN:
        state->pressed = notify;
        return 0;
    case WM_LBUTTONUP:
        if (notify && state->pressed)
            NotifyParent(window, STN_CLICKED);
        state->pressed = false;
        return 0;
    case WM_ENABLE:
        Redraw(window);
        return 0;
    default:
        return DefWindowProcW(window, message, w_param, l_param);
    }
}

void PaintStatic(HWND window, UiCanvas& canvas, const RECT& area)
{
    const DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    if ((style & SS_TYPEMASK) == SS_ICON) {
        PaintIcon(canvas, area);
        return;
    }
    const COLORREF default_colour = GetSysColor(IsWindowEnabled(window) ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    uint32_t colour = ArgbOf(default_colour);
    // The parent may choose the colours, as WM_CTLCOLORSTATIC lets it on Windows.
    if (const HWND parent = GetParent(window); parent != nullptr) {
        if (const HDC dc = CreateCompatibleDC(nullptr); dc != nullptr) {
            SetTextColor(dc, default_colour);
            SetBkMode(dc, OPAQUE);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            if (SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                             reinterpret_cast<LPARAM>(window)) != 0) {
                colour = ArgbOf(GetTextColor(dc));
                if (GetBkMode(dc) == OPAQUE)
                    canvas.FillRect(area, ArgbOf(GetBkColor(dc)));
            }
            DeleteDC(dc);
        }
    }
    const bool several_lines = area.bottom - area.top > 2 * (TEXT_SIZE + 4) - 2;
    DrawLabel(canvas, area, TextOf(window), colour, style & SS_TYPEMASK, several_lines);
}

} // namespace platform::dialog
