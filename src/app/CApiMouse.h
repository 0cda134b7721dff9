#pragma once
// The mouse over window messages: buttons with capture, clicks stamped with their release time, the
// wheel, the cursor shape on WM_SETCURSOR, and touch gestures from WM_TOUCH (tap, long press,
// drag). The hook runs on the main thread. What the app-task thread reads (the held buttons, the
// touch gestures and the wheel polled as skip inputs, the position the game cursor follows) is
// atomic; off the main thread the position is the one the main thread saw last.

#include <atomic>
#include <cstdint>

#include "foundation/IMouse.h"

// A touch lifted sooner than this is a tap, later a long press.
inline constexpr uint32_t TOUCH_LONG_PRESS_MS = 500;
// Clicks and touch gestures count for this long.
inline constexpr uint32_t CLICK_LIFETIME_MS = 1000;
// A touch that moves this far on either axis becomes a drag.
inline constexpr int32_t TOUCH_DRAG_DISTANCE = 11;

class CApiMouse : public IMouse
{
public:
    CApiMouse() = default;

    int32_t HookProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override;
    void GetPosition(POINT* point) override;
    void SetPosition(int32_t x, int32_t y) override;
    void ClearClicks() override;
    // Held, or pressed and let go again before a look saw it: a short press whose two messages
    // arrive in one pump still reads as held, at every look until the next pump, so each reader
    // of one turn of a screen's loop sees it, as they see a press held through the turn.
    int32_t IsLeftDown() override { return Down(LEFT); }
    int32_t IsRightDown() override { return Down(RIGHT); }
    int32_t IsMiddleDown() override { return Down(MIDDLE); }
    int32_t GetTouchTap() override;
    int32_t GetTouchState() override;
    int32_t IsDragging() override { return m_drag; }
    int32_t IsLeftClicked() override { return Clicked(LEFT); }
    int32_t IsRightClicked() override { return Clicked(RIGHT); }
    int32_t IsMiddleClicked() override { return Clicked(MIDDLE); }
    int32_t GetTouchTapAgain() override { return GetTouchTap(); }
    int32_t GetWheel() override { return m_wheel; }
    void SetWheel(int32_t count) override { m_wheel = count; }
    BOOL IsCursorShown() override { return m_cursor_shown; }
    void ShowCursor(BOOL show) override;
    int32_t GetCursorShape() override { return m_cursor_shape; }
    int32_t SetCursorShape(int32_t id) override;
    void ResetTouch(int32_t which) override;
    // Stores both and registers the window for touch input where the system has it.
    int32_t Attach(HINSTANCE instance, HWND window) override;
    // The application's pump is about to take the window's messages: a short press that a look
    // has seen is over.
    void BeginPump();

private:
    enum Button
    {
        LEFT,
        RIGHT,
        MIDDLE,
    };
    struct ButtonState
    {
        std::atomic<int32_t> held{0};
        std::atomic<int32_t> clicked{0};
        std::atomic<uint32_t> release_time{0};
        std::atomic<int32_t> unseen{0}; // pressed, and no pump since a look saw it
        std::atomic<int32_t> seen{0};   // a look saw the press since the last pump
    };

    int32_t Down(Button button);
    int32_t Clicked(Button button);
    void OnButton(HWND window, Button button, bool down);
    void OnTouch(HWND window, WPARAM w_param, LPARAM l_param);
    HCURSOR CursorOfShape(int32_t id);
    // The client height the "rotate" option turns positions against.
    int32_t OutputHeight();
    void StorePosition(POINT point);

    HINSTANCE m_instance = nullptr;
    HWND m_window = nullptr;
    ButtonState m_buttons[3];
    int32_t m_touch_active = 0; // never set by this program: the gesture only clears it
    std::atomic<int32_t> m_touch_tap{0};
    std::atomic<int32_t> m_touch_long_press{0};
    std::atomic<uint32_t> m_touch_event_time{0};
    uint32_t m_touch_start_time = 0;
    BOOL m_cursor_shown = TRUE;
    std::atomic<int32_t> m_wheel{0};
    int32_t m_cursor_shape = -1; // -1: the arrow
    int32_t m_touch_start_x = 0;
    int32_t m_touch_start_y = 0;
    std::atomic<int32_t> m_drag{0};
    // The client position (x in the low half, y in the high half) as the main thread last read it.
    std::atomic<uint64_t> m_position{0};
};
