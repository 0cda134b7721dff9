#pragma once
// The choice command group (library 1): opens a choice list under a key, runs the choice window
// over it, drops the choice snapshots, and goes back to the last choice point. Built for one call
// on the main thread.

#include "script/commands/IFunc.h"

class CFuncSelect : public IFunc
{
public:
    void Call(CScript& script) override;
};
