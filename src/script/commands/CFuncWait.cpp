#include "script/commands/CFuncWait.h"

#include "script/commands/ScriptWaits.h"
#include "script/vm/ScriptContext.h"

void CFuncWait::Call(CScript&)
{
    const int32_t sub = Context->PopInteger();
    if (sub != 0 && sub != 1)
        return;
    const int32_t time = Context->PopInteger();
    const int32_t tick = Context->PopInteger();
    WaitFromNow(Document, InputView, time, sub == 1 ? SCRIPT_SKIP_FLAGS : 0, 0, tick);
}
