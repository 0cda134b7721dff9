#pragma once
// The menu handler's frame: a hook of the main view that refreshes the menu items' enabled and
// checked states from its table before every message, so the menu always shows the game's state,
// and hands WM_COMMAND from the menu, the accelerators and the close box to OnCommand. In full
// screen it also asks for the menu popup when the cursor reaches the top of the picture. Main
// thread only.

#include <cstdint>

#include "foundation/IWinHook.h"

class CMenuEvent;

// What a state handler gets: the item's command and the menu it sits in.
struct MenuItemRef
{
    UINT command;
    HMENU menu;
};

// One record of a menu state table; the table ends with a record without handler.
struct MenuStateRecord
{
    UINT command;
    void (CMenuEvent::*handler)(const MenuItemRef& item);
};

class CMenuEvent : public IWinHook
{
public:
    int32_t HookProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override;
    virtual const MenuStateRecord* GetMenuStateTable() = 0;
    virtual void OnCommand(HWND window, UINT command, LPARAM l_param, UINT notification) = 0;
    virtual int32_t OnMeasureItem(HWND window, LPARAM l_param);
    virtual int32_t OnDrawItem(HWND window, LPARAM l_param);
};
