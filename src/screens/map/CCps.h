#pragma once
// The town map.
// FIXME: the least the game work needs until the map is in.

#include "screens/base/IRightMenu.h"
#include "screens/base/ISelect.h"

class CScript;

class CCps : public ISelect, public IRightMenu
{
public:
    // One town-map command; it pops its own sub-command and arguments.
    virtual void ExecCommand(CScript& script) { (void)script; }
};
