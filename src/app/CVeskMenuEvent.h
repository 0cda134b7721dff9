#pragma once
// The game's menu handler: turns menu, accelerator and close-box commands into game requests.
// FIXME: the commands (quit, return to title, window modes, settings, version, manual) come with
// the menu commands; until then a command only reaches the hook list.

#include "app/CMenuEvent.h"

class CVeskMenuEvent : public CMenuEvent
{
public:
    void OnCommand(HWND window, UINT command, LPARAM l_param, UINT notification) override
    {
        (void)window;
        (void)command;
        (void)l_param;
        (void)notification;
    }
};
