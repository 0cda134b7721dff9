#pragma once
// The borderless window that carries the main menu while the view is in full-screen mode.
// FIXME: the least the game cursor and the document need until the window framework is in.

#include "platform/kernel/WinTypes.h"

class CPopUpMenu
{
public:
    virtual ~CPopUpMenu() = default;
    virtual BOOL IsVisible() { return FALSE; }
    virtual void Open() {}
    virtual void Hide() {}
};
