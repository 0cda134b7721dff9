#pragma once
// The message-window command group (library 2): drives the game work's current message window.
// Built for one call on the main thread.

#include "script/commands/IFunc.h"

class CFuncMesWnd : public IFunc
{
public:
    void Call(CScript& script) override;
};
