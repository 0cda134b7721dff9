#pragma once
// The interface command group (library 26): waiting for the player, asking for input actions,
// the main window's menu bar and show state, and the input view's extra words. Built for one
// call on the main thread.

#include <cstdint>

#include "script/commands/IFunc.h"

class CFuncUI : public IFunc
{
public:
    void Call(CScript& script) override;

    // Below 1: waits for a click (in skip mode only OK ends it, otherwise OK, Ctrl or the extra
    // action), then for OK's release. From 1: a skippable wait of that many ms, which Shift, Ctrl
    // or the extra action held outside skip mode, or OK held, skip at once.
    void WaitInput(int32_t time);

private:
    bool InSkipMode();
    bool IsActive(uint32_t action);
};
