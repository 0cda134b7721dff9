#include "script/commands/ScriptWaits.h"

#include <algorithm>

#include "foundation/GameDocument.h"
#include "graphics/CEffectWait.h"
#include "graphics/EffectClock.h"

int32_t WaitFromNow(GameDocument* document, CInputView* input_view, int32_t ms, uint32_t skip_flags,
                    uint32_t request_mask, int32_t tick)
{
    CEffectWait wait(document, input_view);
    wait.SetSkipFlags(skip_flags);
    wait.SetRequestMask(request_mask);
    wait.SetStartTime(GetEffectTime());
    return wait.Wait(static_cast<uint32_t>(std::max(ms, 0)), tick);
}
