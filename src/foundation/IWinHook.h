#pragma once
// An object that wants to see a window's messages: the menu handler, the input devices, the game
// cursor, the IME, the display control, the movie players and each window itself. Hooks sit in a
// window's CWinHookList and are asked in turn, on the main thread, until one handles a message.

#include <cstdint>

#include "platform/kernel/WinTypes.h"
#include "platform/user/MessageApi.h"

class IWinHook
{
public:
    virtual ~IWinHook() = default;
    // Nonzero when the message was handled: later hooks are not asked and the result is the
    // window procedure's.
    virtual int32_t HookProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
    {
        (void)window;
        (void)message;
        (void)w_param;
        (void)l_param;
        return 0;
    }
};
