// The exec commands of the scene's effects: the zoom flash, the snow, the single snowball, the
// petals and the animation manager's slots.

#include "script/exec/CFuncExec.h"

#include <algorithm>

#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CAnimeManager.h"
#include "graphics/CDIBDC.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CSnowFirstOne.h"
#include "graphics/CSnowParticleOne.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/ParticleCommands.h"
#include "graphics/PictureSlot.h"
#include "graphics/SpriteLayerRegistry.h"
#include "platform/gdi/GdiApi.h"
#include "script/commands/CFuncScreen.h"
#include "script/commands/ScriptWaits.h"
#include "script/exec/ExecPictureTools.h"
#include "script/vm/ScriptContext.h"

namespace {

constexpr int32_t ZOOM_W = 2304;
constexpr int32_t ZOOM_H = 1296;
constexpr int32_t ZOOM_HOLD_MS = 20;
constexpr int32_t ZOOM_REVEAL_TICKS = 16;
constexpr int32_t SNOWBALL_POLL_MS = 15;

} // namespace

void CFuncExec::ZoomFlash()
{
    const bool skip = GetConfigSceneSkip();
    if (!skip) {
        ILayer* scene = RegisteredLayer(PICTURE_LAYER_SCENE);
        const SIZE size = GetScreenOriginalSize(0);
        const int32_t w = std::clamp<int32_t>(size.cx, 1, ZOOM_W);
        const int32_t h = std::clamp<int32_t>(size.cy, 1, ZOOM_H);
        if (scene != nullptr) {
            try {
                CDIBDC large;
                CDIBDC small;
                large.Create(ZOOM_W, ZOOM_H);
                small.Create(w, h);
                SetStretchBltMode(large.GetDC(), HALFTONE);
                SetStretchBltMode(small.GetDC(), HALFTONE);
                LiveDrawLock lock;
                small.Blt(0, 0, w, h, scene, 0, 0, 0);
                StretchBlt(large.GetDC(), 0, 0, ZOOM_W, ZOOM_H, small.GetDC(), 0, 0, w, h, SRCCOPY);
                scene->Blt(0, 0, w, h, &large, (ZOOM_W - w) / 2, (ZOOM_H - h) / 2, 0);
            } catch (const CStringUTF8&) {
                // Without the surfaces the picture stays as it is; the flash still runs.
            }
        }
        RedrawFrameNow();
        WaitFromNow(Document, InputView, ZOOM_HOLD_MS, SCRIPT_SKIP_FLAGS, SCRIPT_REQUEST_MASK, 1);
        if (CFadeSprite* fade = GetSpriteLayerRegistry().GetFadeSprite())
            fade->FadeToColor(0xFFFFFF, 0);
    }
    CacheSpriteLayerTwo(0);
    DrawSlots(0, 0);
    CFuncScreen screen;
    screen.RunTransition(skip ? 0 : ZOOM_REVEAL_TICKS);
}

void CFuncExec::Snow()
{
    RunSnowCommand(m_snow, Context->PopInteger());
}

void CFuncExec::Petals()
{
    RunPetalCommand(m_petals, Context->PopInteger());
}

void CFuncExec::Snowball()
{
    const int32_t sub = Context->PopInteger();
    if (sub != 2) {
        RunSnowballCommand(m_snowball, sub);
        return;
    }
    while (m_snowball != nullptr && m_snowball->GetParticle() != nullptr && PollPass(Document, InputView)) {
        if (m_snowball->GetParticle()->IsActive() == 0)
            return;
        WaitFromNow(Document, InputView, SNOWBALL_POLL_MS, SCRIPT_SKIP_FLAGS, SCRIPT_REQUEST_MASK, 1);
    }
}

void CFuncExec::ArmAndStepSlot()
{
    const int32_t group = Context->PopInteger();
    const int32_t slot = Context->PopInteger();
    CAnimeManager* anime = GetSpriteLayerRegistry().GetAnimeManager();
    if (anime == nullptr || !CAnimeBase::IsSlot(group, slot))
        return;
    anime->ArmSlot(group, slot);
    anime->StepSlot(group, slot);
}

void CFuncExec::RestartSlot()
{
    Context->PopValue();
    const int32_t group = Context->PopInteger();
    const int32_t slot = Context->PopInteger();
    CAnimeManager* anime = GetSpriteLayerRegistry().GetAnimeManager();
    if (anime == nullptr || !CAnimeBase::IsSlot(group, slot))
        return;
    if (anime->GetSlot(group, slot).state == ANIME_RUNNING)
        return;
    anime->StopGroup(group);
    anime->ArmSlot(group, slot);
    anime->StartSlot(group, slot);
}
