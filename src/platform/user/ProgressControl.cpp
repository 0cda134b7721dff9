// The progress bar.
#include <algorithm>

#include "platform/user/ControlsApi.h"
#include "platform/user/DialogControls.h"

namespace platform::dialog {

namespace {

struct ProgressState
{
    int minimum = 0;
    int maximum = 100;
    int position = 0;
    int step = 10;
};

constexpr uint32_t TROUGH = 0xFFE6E6E6;
constexpr uint32_t TROUGH_FRAME = 0xFFBCBCBC;
constexpr uint32_t BAR = 0xFF06B025;

int Clamp(const ProgressState& state, int position)
{
    return std::clamp(position, state.minimum, std::max(state.minimum, state.maximum));
}

} // namespace

LRESULT ProgressProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    KeepState<ProgressState>(window, message);
    ProgressState* state = StateOf<ProgressState>(window);
    if (state == nullptr)
        return DefWindowProcW(window, message, w_param, l_param);
    const int previous = state->position;
    switch (message) {
    case PBM_SETRANGE:
    case PBM_SETRANGE32: {
        const LRESULT old_range =
            MAKELPARAM(static_cast<WORD>(state->minimum), static_cast<WORD>(state->maximum));
        if (message == PBM_SETRANGE) {
            state->minimum = LOWORD(static_cast<uintptr_t>(l_param));
            state->maximum = HIWORD(static_cast<uintptr_t>(l_param));
        } else {
            state->minimum = static_cast<int>(w_param);
            state->maximum = static_cast<int>(l_param);
        }
        state->position = Clamp(*state, state->position);
        Redraw(window);
        return old_range;
    }
    case PBM_GETRANGE:
        return w_param ? state->minimum : state->maximum;
    case PBM_SETPOS:
        state->position = Clamp(*state, static_cast<int>(w_param));
        Redraw(window);
        return previous;
    case PBM_DELTAPOS:
        state->position = Clamp(*state, state->position + static_cast<int>(w_param));
        Redraw(window);
        return previous;
    case PBM_SETSTEP: {
        const int old_step = state->step;
        state->step = static_cast<int>(w_param);
        return old_step;
    }
    case PBM_STEPIT:
        // Past the maximum the bar starts again from the minimum, as on Windows.
        state->position += state->step;
        if (state->position > state->maximum)
            state->position = state->minimum + (state->position - state->maximum);
        state->position = Clamp(*state, state->position);
        Redraw(window);
        return previous;
    case PBM_GETPOS:
        return state->position;
    default:
        return DefWindowProcW(window, message, w_param, l_param);
    }
}

void PaintProgress(HWND window, UiCanvas& canvas, const RECT& area)
{
    const ProgressState* state = StateOf<ProgressState>(window);
    if (state == nullptr)
        return;
    canvas.FillRect(area, TROUGH);
    canvas.FrameRect(area, TROUGH_FRAME);
    const int span = state->maximum - state->minimum;
    if (span <= 0)
        return;
    const int inner = area.right - area.left - 2;
    const int filled =
        static_cast<int>(static_cast<int64_t>(state->position - state->minimum) * inner / span);
    canvas.FillRect({area.left + 1, area.top + 1, area.left + 1 + filled, area.bottom - 1}, BAR);
}

} // namespace platform::dialog
