#pragma once
// The mouse command group (library 12): the cursor's visibility and position in screen
// coordinates, and the wheel count. Built for one call on the main thread.

#include "script/commands/IFunc.h"

class CFuncMouse : public IFunc
{
public:
    void Call(CScript& script) override;
};
