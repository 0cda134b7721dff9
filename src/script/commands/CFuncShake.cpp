#include "script/commands/CFuncShake.h"

#include "foundation/GameDocument.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerRegistry.h"
#include "script/commands/ScriptWaits.h"
#include "script/vm/ScriptContext.h"

void CFuncShake::Call(CScript&)
{
    const int32_t sub = Context->PopInteger();
    if (sub == 1) {
        const int32_t x = Context->PopInteger();
        const int32_t y = Context->PopInteger();
        CSpriteLayer* layer = GetSpriteLayerRegistry().GetSpriteLayer(0);
        if (layer == nullptr)
            return;
        {
            LiveDrawLock draw_lock;
            layer->SetPosition(x, y);
        }
        RedrawFrameNow();
        WaitFromNow(Document, InputView, SHAKE_STEP_MS, SCRIPT_SKIP_FLAGS, SCRIPT_REQUEST_MASK, 1);
    } else if (sub == 2) {
        if (CSpriteLayer* layer = GetSpriteLayerRegistry().GetSpriteLayer(0)) {
            LiveDrawLock draw_lock;
            layer->SetPosition(0, 0);
        }
    }
}
