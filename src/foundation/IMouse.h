#pragma once
// The mouse and touch input as the screens poll them: position in client pixels, held buttons,
// clicks of the last second, the wheel count, touch taps, long presses and drags, and the system
// cursor. A hook of the main view that keeps this state from window messages. Main thread only.
// The defaults answer "nothing", so stand-ins override only what they use.

#include <cstdint>

#include "foundation/IWinHook.h"

class IMouse : public IWinHook
{
public:
    virtual void GetPosition(POINT* point) { *point = {0, 0}; }
    virtual void SetPosition(int32_t x, int32_t y)
    {
        (void)x;
        (void)y;
    }
    // Forgets the three buttons' clicks and the touch tap.
    virtual void ClearClicks() {}
    virtual int32_t IsLeftDown() { return 0; }
    virtual int32_t IsRightDown() { return 0; }
    virtual int32_t IsMiddleDown() { return 0; }
    // A tap (touch lifted within 500 ms without moving away) of the last second.
    virtual int32_t GetTouchTap() { return 0; }
    // A long press (touch held 500 ms or more) of the last second.
    virtual int32_t GetTouchState() { return 0; }
    virtual int32_t IsDragging() { return 0; }
    // A button released within the last second while it had been pressed.
    virtual int32_t IsLeftClicked() { return 0; }
    virtual int32_t IsRightClicked() { return 0; }
    virtual int32_t IsMiddleClicked() { return 0; }
    virtual int32_t GetTouchTapAgain() { return GetTouchTap(); }
    virtual int32_t GetWheel() { return 0; }
    virtual void SetWheel(int32_t count) { (void)count; }
    // Forgets the wheel turns counted so far.
    void ResetWheel() { SetWheel(0); }
    virtual BOOL IsCursorShown() { return TRUE; }
    virtual void ShowCursor(BOOL show) { (void)show; }
    virtual int32_t GetCursorShape() { return -1; }
    virtual int32_t SetCursorShape(int32_t id)
    {
        (void)id;
        return 1;
    }
    // 0 forgets the tap, 1 the long press.
    virtual void ResetTouch(int32_t which) { (void)which; }
    virtual int32_t Attach(HINSTANCE instance, HWND window)
    {
        (void)instance;
        (void)window;
        return 1;
    }
};
