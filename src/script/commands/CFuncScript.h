#pragma once
// The script command group (library 21): replacing the running script by name, calling a script
// that returns to its caller, and calling one that stays resident so the functions it defines
// stay callable. Built for one call on the main thread.

#include <memory>

#include "foundation/CStringUTF8.h"
#include "script/commands/IFunc.h"

class CFuncScript : public IFunc
{
public:
    void Call(CScript& script) override;

    // Makes the named script the only one and empties the value stack.
    void ReplaceByName(const CStringUTF8& name);
    // The same with a script attached beforehand (none leaves the scripts as they are).
    void ReplaceWith(const std::shared_ptr<CScript>& script);
};
