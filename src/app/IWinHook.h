#pragma once
// An object that sees a window's messages through the window's hook list.
// FIXME: the least the game cursor needs until the window framework is in.

#include "platform/kernel/WinTypes.h"
#include "platform/user/MessageApi.h"

#include <cstdint>

class IWinHook
{
public:
    virtual ~IWinHook() = default;
    // Nonzero when the message was handled: later hooks are not asked.
    virtual int32_t HookProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
};
