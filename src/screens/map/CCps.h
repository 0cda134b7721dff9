#pragma once
// The town map.
// FIXME: the least the game work needs until the map is in.

#include "screens/base/IRightMenu.h"
#include "screens/base/ISelect.h"

class CScript;

class CCps : public ISelect, public IRightMenu
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }
    // FIXME: the map builds no side menu yet.
    int32_t CreateMenu() override { return 1; }
    // One town-map command; it pops its own sub-command and arguments.
    virtual void ExecCommand(CScript& script) { (void)script; }
};
