#pragma once
// The menu handler's frame: a hook that takes WM_COMMAND from the main view's menu, accelerators
// and close box and hands the command to OnCommand. Main thread only.
// FIXME: the menu state table and the refresh of the items before every message come with the
// menu commands.

#include <cstdint>

#include "app/IWinHook.h"

class CMenuEvent : public IWinHook
{
public:
    // 1 for WM_COMMAND (handed to OnCommand), else 0.
    int32_t HookProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override
    {
        if (message != WM_COMMAND)
            return 0;
        OnCommand(window, LOWORD(w_param), l_param, HIWORD(w_param));
        return 1;
    }

    virtual void OnCommand(HWND window, UINT command, LPARAM l_param, UINT notification) = 0;
};
