#pragma once
// The screen command group (library 20): fades and transitions through the document's fade
// sprite. Built for one call on the main thread.
// FIXME: only the reveal so far; the script entries come with the group.

#include <cstdint>

#include "script/commands/IFunc.h"

class CFuncScreen : public IFunc
{
public:
    void Call(CScript& script) override;

    // Unless scenes are skipped, and only while the fade sprite covers the screen: fades it from
    // opaque to clear over length ticks (a negative length counts as 0), waits, then hides it.
    void RunTransition(int32_t length);
};
