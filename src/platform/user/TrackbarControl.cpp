// The trackbar: a thumb on a channel between a minimum and a maximum position.
#include <algorithm>

#include "platform/user/ControlsApi.h"
#include "platform/user/DialogApi.h"
#include "platform/user/DialogControls.h"

namespace platform::dialog {

namespace {

struct TrackbarState
{
    int minimum = 0;
    int maximum = 100;
    int position = 0;
    int line = 1;
    int page = 20;
    bool page_set = false; // a page size the program chose stays when the range changes
    bool dragging = false;
    int grab = 0; // pointer x minus thumb centre when the drag began
};

constexpr int THUMB_WIDTH = 11;
constexpr int THUMB_HEIGHT = 20;
constexpr int CHANNEL_MARGIN = 4;
constexpr uint32_t CHANNEL = 0xFFE7EAEA;
constexpr uint32_t CHANNEL_FRAME = 0xFFD6D6D6;
constexpr uint32_t TICK = 0xFFC4C4C4;

int Width(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return client.right;
}

int ChannelLeft()
{
    return THUMB_WIDTH / 2 + CHANNEL_MARGIN;
}

int ChannelRight(int width)
{
    return std::max(width - THUMB_WIDTH / 2 - CHANNEL_MARGIN, ChannelLeft());
}

int XOf(const TrackbarState& state, int width)
{
    const int span = state.maximum - state.minimum;
    if (span <= 0)
        return ChannelLeft();
    return ChannelLeft() + static_cast<int>(static_cast<int64_t>(state.position - state.minimum) *
                                            (ChannelRight(width) - ChannelLeft()) / span);
}

int PositionAt(const TrackbarState& state, int width, int x)
{
    const int pixels = ChannelRight(width) - ChannelLeft();
    if (pixels <= 0)
        return state.minimum;
    const int64_t span = state.maximum - state.minimum;
    const int64_t offset = std::clamp(x - ChannelLeft(), 0, pixels);
    return state.minimum + static_cast<int>((offset * span + pixels / 2) / pixels);
}

int Clamp(const TrackbarState& state, int position)
{
    return std::clamp(position, state.minimum, std::max(state.minimum, state.maximum));
}

// A new range clips the position and, unless the program chose one, makes the page a fifth of it.
void ApplyRange(HWND window, TrackbarState& state)
{
    state.position = Clamp(state, state.position);
    if (!state.page_set)
        state.page = std::max((state.maximum - state.minimum) / 5, 1);
    Redraw(window);
}

void Scroll(HWND trackbar, WORD code, int position)
{
    if (const HWND parent = GetParent(trackbar); parent != nullptr)
        SendMessageW(parent, WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(position)),
                     reinterpret_cast<LPARAM>(trackbar));
}

TrackbarState* UsableState(HWND trackbar)
{
    if (KindOf(trackbar) != ControlKind::Trackbar || !IsWindowVisible(trackbar) || !IsWindowEnabled(trackbar))
        return nullptr;
    return StateOf<TrackbarState>(trackbar);
}

} // namespace

bool DragTrackbarAsUser(HWND trackbar, int position)
{
    TrackbarState* state = UsableState(trackbar);
    if (state == nullptr)
        return false;
    state->position = Clamp(*state, position);
    Redraw(trackbar);
    const int reached = state->position;
    Scroll(trackbar, TB_THUMBTRACK, reached);
    Scroll(trackbar, TB_THUMBPOSITION, reached);
    Scroll(trackbar, TB_ENDTRACK, 0);
    return true;
}

bool StepTrackbarAsUser(HWND trackbar, WORD code)
{
    TrackbarState* state = UsableState(trackbar);
    if (state == nullptr)
        return false;
    int position = state->position;
    switch (code) {
    case TB_LINEUP:
        position -= state->line;
        break;
    case TB_LINEDOWN:
        position += state->line;
        break;
    case TB_PAGEUP:
        position -= state->page;
        break;
    case TB_PAGEDOWN:
        position += state->page;
        break;
    case TB_TOP:
        position = state->minimum;
        break;
    case TB_BOTTOM:
        position = state->maximum;
        break;
    default:
        return false;
    }
    state->position = Clamp(*state, position);
    Redraw(trackbar);
    Scroll(trackbar, code, 0);
    Scroll(trackbar, TB_ENDTRACK, 0);
    return true;
}

LRESULT TrackbarProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    KeepState<TrackbarState>(window, message);
    TrackbarState* state = StateOf<TrackbarState>(window);
    if (state == nullptr)
        return DefWindowProcW(window, message, w_param, l_param);
    const int x = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(l_param)));
    switch (message) {
    case TBM_GETPOS:
        return state->position;
    case TBM_GETRANGEMIN:
        return state->minimum;
    case TBM_GETRANGEMAX:
        return state->maximum;
    case TBM_SETPOS:
        state->position = Clamp(*state, static_cast<int>(l_param));
        Redraw(window);
        return 0;
    case TBM_SETRANGE:
        state->minimum = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(l_param)));
        state->maximum = static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(l_param)));
        ApplyRange(window, *state);
        return 0;
    case TBM_SETRANGEMIN:
        state->minimum = static_cast<int>(l_param);
        ApplyRange(window, *state);
        return 0;
    case TBM_SETRANGEMAX:
        state->maximum = static_cast<int>(l_param);
        ApplyRange(window, *state);
        return 0;
    case TBM_SETPAGESIZE: {
        const int previous = state->page;
        state->page = static_cast<int>(l_param);
        state->page_set = true;
        return previous;
    }
    case TBM_GETPAGESIZE:
        return state->page;
    case TBM_SETLINESIZE: {
        const int previous = state->line;
        state->line = static_cast<int>(l_param);
        return previous;
    }
    case TBM_GETLINESIZE:
        return state->line;
    case WM_LBUTTONDOWN: {
        if (GetWindowLongW(window, GWL_STYLE) & WS_TABSTOP)
            SetFocus(window);
        const int thumb = XOf(*state, Width(window));
        if (x >= thumb - THUMB_WIDTH / 2 - 1 && x <= thumb + THUMB_WIDTH / 2 + 1) {
            state->dragging = true;
            state->grab = x - thumb;
            SetCapture(window);
            return 0;
        }
        // A click beside the thumb moves it a page towards the click.
        StepTrackbarAsUser(window, x < thumb ? TB_PAGEUP : TB_PAGEDOWN);
        return 0;
    }
    case WM_MOUSEMOVE: {
        if (!state->dragging)
            return 0;
        const int position = PositionAt(*state, Width(window), x - state->grab);
        if (position != state->position) {
            state->position = position;
            Redraw(window);
            Scroll(window, TB_THUMBTRACK, position);
        }
        return 0;
    }
    case WM_LBUTTONUP:
        if (!state->dragging)
            return 0;
        state->dragging = false;
        ReleaseCapture();
        if ((state = StateOf<TrackbarState>(window)) != nullptr) {
            Scroll(window, TB_THUMBPOSITION, state->position);
            Scroll(window, TB_ENDTRACK, 0);
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(l_param) != window)
            state->dragging = false;
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
        Redraw(window);
        return 0;
    default:
        return DefWindowProcW(window, message, w_param, l_param);
    }
}

void PaintTrackbar(HWND window, UiCanvas& canvas, const RECT& area)
{
    const TrackbarState* state = StateOf<TrackbarState>(window);
    if (state == nullptr)
        return;
    const int width = area.right - area.left;
    const int channel_top = area.top + THUMB_HEIGHT / 2 - 2;
    const RECT channel{area.left + ChannelLeft(), channel_top, area.left + ChannelRight(width),
                       channel_top + 4};
    canvas.FillRect(channel, CHANNEL);
    canvas.FrameRect(channel, CHANNEL_FRAME);
    if (GetWindowLongW(window, GWL_STYLE) & TBS_AUTOTICKS) {
        const int span = state->maximum - state->minimum;
        const int step = std::max(state->page, 1);
        for (int value = state->minimum; span > 0 && value <= state->maximum; value += step) {
            const int tick_x = area.left + ChannelLeft() +
                               static_cast<int>(static_cast<int64_t>(value - state->minimum) *
                                                (ChannelRight(width) - ChannelLeft()) / span);
            canvas.FillRect({tick_x, area.top + THUMB_HEIGHT + 1, tick_x + 1, area.top + THUMB_HEIGHT + 4},
                            TICK);
        }
    }
    const int thumb = area.left + XOf(*state, width);
    const RECT thumb_rect{thumb - THUMB_WIDTH / 2, area.top, thumb + THUMB_WIDTH / 2 + 1,
                          area.top + THUMB_HEIGHT};
    const bool enabled = IsWindowEnabled(window) != FALSE;
    canvas.FillRect(thumb_rect, enabled ? (state->dragging ? 0xFF005A9E : ACCENT) : LIGHT_FRAME);
    if (GetFocus() == window)
        canvas.FrameRect({area.left, area.top, area.right, area.bottom}, 0xFFB0B0B0);
}

} // namespace platform::dialog
