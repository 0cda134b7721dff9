#pragma once
// The mouse as the game polls it: position in client coordinates and the system cursor's display.
// FIXME: the least the game cursor needs until the input devices are in.

#include "app/IWinHook.h"

class IMouse : public IWinHook
{
public:
    virtual void GetPosition(POINT* point) = 0;
    virtual BOOL IsCursorShown() = 0;
    virtual void ShowCursor(BOOL show) = 0;
    // Forgets the wheel turns counted so far.
    virtual void ResetWheel() {}
};
