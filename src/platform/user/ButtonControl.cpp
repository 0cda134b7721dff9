// Push buttons, radio buttons, check boxes and group boxes.
#include <vector>

#include "platform/user/ControlsApi.h"
#include "platform/user/DialogApi.h"
#include "platform/user/DialogControls.h"
#include "platform/user/WindowManager.h"

namespace platform::dialog {

namespace {

struct ButtonState
{
    UINT check = BST_UNCHECKED;
    bool pushed = false;   // drawn pressed
    bool tracking = false; // the left button went down on it and is still held
};

constexpr uint32_t BUTTON_FACE = 0xFFE1E1E1;
constexpr uint32_t BUTTON_PRESSED = 0xFFCCE4F7;
constexpr uint32_t MARK = 0xFF333333;
constexpr uint32_t GROUP_LINE = 0xFFDCDCDC;
constexpr int MARK_SIZE = 13;

DWORD TypeOf(HWND window)
{
    return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & BS_TYPEMASK;
}

bool IsRadioType(DWORD type)
{
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

// The siblings of the button's group: from the nearest WS_GROUP control at or before it up to
// the next one after it.
std::vector<HWND> GroupOf(HWND button)
{
    WindowManager& manager = WindowManager::GetInstance();
    const HWND parent = GetParent(button);
    std::vector<HWND> siblings;
    for (HWND handle : manager.Windows()) {
        const WindowObject* object = manager.Find(handle);
        if (object->parent == parent && (object->style & WS_CHILD))
            siblings.push_back(handle);
    }
    size_t at = 0;
    while (at < siblings.size() && siblings[at] != button)
        ++at;
    size_t first = at;
    while (first > 0 && !(GetWindowLongW(siblings[first], GWL_STYLE) & WS_GROUP))
        --first;
    size_t last = at + 1;
    while (last < siblings.size() && !(GetWindowLongW(siblings[last], GWL_STYLE) & WS_GROUP))
        ++last;
    return {siblings.begin() + static_cast<ptrdiff_t>(first),
            siblings.begin() + static_cast<ptrdiff_t>(last)};
}

void PerformClick(HWND button)
{
    const DWORD type = TypeOf(button);
    if (type == BS_AUTORADIOBUTTON) {
        for (HWND other : GroupOf(button)) {
            if (other != button && KindOf(other) == ControlKind::Button && IsRadioType(TypeOf(other)))
                SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
        }
        SendMessageW(button, BM_SETCHECK, BST_CHECKED, 0);
    } else if (type == BS_AUTOCHECKBOX) {
        const UINT check = static_cast<UINT>(SendMessageW(button, BM_GETCHECK, 0, 0));
        SendMessageW(button, BM_SETCHECK, check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
    }
    NotifyParent(button, BN_CLICKED);
}

bool Inside(HWND window, LPARAM point)
{
    RECT client{};
    GetClientRect(window, &client);
    const int x = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(point)));
    const int y = static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(point)));
    return x >= client.left && x < client.right && y >= client.top && y < client.bottom;
}

void FillCircle(UiCanvas& canvas, int centre_x, int centre_y, int radius_times_two, uint32_t colour)
{
    // Pixel centres within the radius, measured in half pixels.
    const int r2 = radius_times_two * radius_times_two;
    for (int y = centre_y - radius_times_two / 2 - 1; y <= centre_y + radius_times_two / 2 + 1; ++y) {
        for (int x = centre_x - radius_times_two / 2 - 1; x <= centre_x + radius_times_two / 2 + 1; ++x) {
            const int dx = 2 * (x - centre_x) + 1;
            const int dy = 2 * (y - centre_y) + 1;
            if (dx * dx + dy * dy <= r2)
                canvas.BlendPixel(x, y, colour, 255);
        }
    }
}

} // namespace

bool ClickButton(HWND button)
{
    if (KindOf(button) != ControlKind::Button || !IsWindowVisible(button) || !IsWindowEnabled(button) ||
        TypeOf(button) == BS_GROUPBOX)
        return false;
    PerformClick(button);
    return true;
}

LRESULT ButtonProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    KeepState<ButtonState>(window, message);
    ButtonState* state = StateOf<ButtonState>(window);
    if (state == nullptr)
        return DefWindowProcW(window, message, w_param, l_param);
    switch (message) {
    case BM_GETCHECK:
        return state->check;
    case BM_SETCHECK:
        state->check = static_cast<UINT>(w_param);
        Redraw(window);
        return 0;
    case BM_GETSTATE:
        return state->check | (state->pushed ? BST_PUSHED : 0) | (GetFocus() == window ? BST_FOCUS : 0);
    case BM_SETSTATE:
        state->pushed = w_param != 0;
        Redraw(window);
        return 0;
    case BM_CLICK:
        ClickButton(window);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (TypeOf(window) == BS_GROUPBOX)
            return 0;
        state->pushed = true;
        state->tracking = true;
        SetCapture(window);
        if (GetWindowLongW(window, GWL_STYLE) & WS_TABSTOP)
            SetFocus(window);
        Redraw(window);
        return 0;
    case WM_MOUSEMOVE:
        if (state->tracking && state->pushed != Inside(window, l_param)) {
            state->pushed = !state->pushed;
            Redraw(window);
        }
        return 0;
    case WM_LBUTTONUP: {
        if (!state->tracking)
            return 0;
        const bool inside = Inside(window, l_param);
        state->tracking = false;
        state->pushed = false;
        ReleaseCapture();
        Redraw(window);
        if (inside)
            PerformClick(window);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (state->tracking && reinterpret_cast<HWND>(l_param) != window) {
            state->tracking = false;
            state->pushed = false;
            Redraw(window);
        }
        return 0;
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcW(window, message, w_param, l_param);
        Redraw(window);
        return result;
    }
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Redraw(window);
        return 0;
    default:
        return DefWindowProcW(window, message, w_param, l_param);
    }
}

void PaintButton(HWND window, UiCanvas& canvas, const RECT& area)
{
    const ButtonState* state = StateOf<ButtonState>(window);
    if (state == nullptr)
        return;
    const std::u16string text = TextOf(window);
    const bool enabled = IsWindowEnabled(window) != FALSE;
    const uint32_t text_colour = enabled ? TEXT : GREY_TEXT;
    const DWORD type = TypeOf(window);
    const int line_height = TEXT_SIZE + 4;
    const int text_top = area.top + (area.bottom - area.top - line_height) / 2;
    switch (type) {
    case BS_GROUPBOX: {
        const int line_y = area.top + TEXT_SIZE / 2 + 1;
        canvas.FrameRect({area.left, line_y, area.right, area.bottom}, GROUP_LINE);
        const int text_width = MeasureLabel(text);
        canvas.FillRect({area.left + 6, area.top, area.left + 10 + text_width, area.top + line_height}, FACE);
        DrawLabel(canvas, {area.left + 8, area.top, area.right, area.top + line_height}, text, text_colour,
                  SS_LEFT, false);
        return;
    }
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
        const int centre_x = area.left + MARK_SIZE / 2;
        const int centre_y = area.top + (area.bottom - area.top) / 2 - 1;
        FillCircle(canvas, centre_x, centre_y, MARK_SIZE, enabled ? MARK : GREY_TEXT);
        FillCircle(canvas, centre_x, centre_y, MARK_SIZE - 2, state->pushed ? BUTTON_PRESSED : WHITE);
        if (state->check == BST_CHECKED)
            FillCircle(canvas, centre_x, centre_y, 7, enabled ? MARK : GREY_TEXT);
        DrawLabel(canvas, {area.left + MARK_SIZE + 5, text_top, area.right, area.bottom}, text, text_colour,
                  SS_LEFT, false);
        if (GetFocus() == window)
            canvas.FrameRect({area.left + MARK_SIZE + 3, text_top,
                              area.left + MARK_SIZE + 7 + MeasureLabel(text), text_top + line_height},
                             LIGHT_FRAME);
        return;
    }
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX: {
        const int top = area.top + (area.bottom - area.top - MARK_SIZE) / 2;
        const RECT box{area.left, top, area.left + MARK_SIZE, top + MARK_SIZE};
        canvas.FillRect(box, state->pushed ? BUTTON_PRESSED : WHITE);
        canvas.FrameRect(box, enabled ? MARK : GREY_TEXT);
        if (state->check == BST_CHECKED) {
            // A tick from the lower middle up to the right.
            for (int i = 0; i < 3; ++i)
                canvas.DrawLine(box.left + 3, top + 6 + i, box.left + 5, top + 8 + i, MARK);
            for (int i = 0; i < 3; ++i)
                canvas.DrawLine(box.left + 5, top + 8 + i, box.left + 10, top + 3 + i, MARK);
        }
        DrawLabel(canvas, {area.left + MARK_SIZE + 5, text_top, area.right, area.bottom}, text, text_colour,
                  SS_LEFT, false);
        return;
    }
    default: {
        const bool is_default = type == BS_DEFPUSHBUTTON || GetFocus() == window;
        canvas.FillRect(area, state->pushed ? BUTTON_PRESSED : BUTTON_FACE);
        canvas.FrameRect(area, enabled && is_default ? ACCENT : LIGHT_FRAME);
        if (enabled && GetFocus() == window)
            canvas.FrameRect({area.left + 1, area.top + 1, area.right - 1, area.bottom - 1}, ACCENT);
        DrawLabel(canvas, {area.left, text_top, area.right, area.bottom}, text, text_colour, SS_CENTER,
                  false);
        return;
    }
    }
}

} // namespace platform::dialog
