#pragma once
// The choice window.
// FIXME: the least the game work needs until the choice window is in.

#include "screens/base/IMesWnd.h"

class CNormalSelect2 : public IMesWnd
{
public:
    // Hides the choice window and the current message window.
    virtual void HideAll() { Hide(); }
};
