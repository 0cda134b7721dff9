#include "script/commands/ScriptWaits.h"

#include <algorithm>

#include "foundation/AppLink.h"
#include "foundation/GameDocument.h"
#include "graphics/CEffectWait.h"
#include "graphics/EffectClock.h"
#include "platform/kernel/SyncApi.h"

int32_t WaitFromNow(GameDocument* document, CInputView* input_view, int32_t ms, uint32_t skip_flags,
                    uint32_t request_mask, int32_t tick)
{
    CEffectWait wait(document, input_view);
    wait.SetSkipFlags(skip_flags);
    wait.SetRequestMask(request_mask);
    wait.SetStartTime(GetEffectTime());
    return wait.Wait(static_cast<uint32_t>(std::max(ms, 0)), tick);
}

bool RunWaitPass(GameDocument* document)
{
    AppLink* app = GetAppLink();
    if (app != nullptr && app->PumpMessage() == 0)
        return false;
    Sleep(0);
    if (document != nullptr)
        document->EventFlagOp(EVENT_FLAG_TICK, 0);
    return true;
}
