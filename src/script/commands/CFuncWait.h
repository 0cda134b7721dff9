#pragma once
// The wait command group (library 28): a pause of the script for some milliseconds, plain (0) or
// ended early by the player's skip inputs (1); either may run the pending system requests on each
// pass. Built for one call on the main thread.

#include "script/commands/IFunc.h"

class CFuncWait : public IFunc
{
public:
    void Call(CScript& script) override;
};
