#pragma once
// The keyboard as the screens poll it: held keys by scan code (the DirectInput numbering, 28 Enter,
// 1 Esc, 200 Up ...). A hook of the main view that keeps the key state from window messages.
// Main thread only.

#include <cstdint>

#include "foundation/IWinHook.h"

class IKeyboard : public IWinHook
{
public:
    // 1 while the key of the scan code is down and the keyboard is enabled, else 0.
    virtual int32_t IsKeyDown(uint32_t scan_code) = 0;
    virtual void Enable() = 0;
    // Forgets every held key and disables the keyboard until the next Enable.
    virtual void Clear() = 0;
};
