#include "script/commands/CFuncScreen.h"

#include <algorithm>

#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/SpriteAnimRecord.h"
#include "graphics/SpriteLayerRegistry.h"
#include "script/vm/ScriptContext.h"

void CFuncScreen::Call(CScript&)
{
    const int32_t sub = Context->PopInteger();
    CFadeSprite* fade = GetSpriteLayerRegistry().GetFadeSprite();
    switch (sub) {
    case 0: {
        const int32_t colour = Context->PopInteger();
        const int32_t time = Context->PopInteger();
        if (!GetConfigSceneSkip() && fade != nullptr)
            fade->FadeToColor(colour, std::max(time, 0));
        break;
    }
    case 1:
        RunTransition(Context->PopInteger());
        break;
    case 2: {
        const int32_t a = Context->PopInteger();
        const int32_t b = Context->PopInteger();
        const int32_t c = Context->PopInteger();
        if (!GetConfigSceneSkip() && fade != nullptr)
            fade->Transition(a, b, c);
        break;
    }
    case 3: {
        const int32_t pattern = Context->PopInteger();
        const int32_t time = Context->PopInteger();
        RunPatternTransition(pattern, time);
        break;
    }
    case 4:
        Context->PushInteger(fade != nullptr && fade->IsVisible() ? 1 : 0);
        break;
    default:
        break;
    }
}

void CFuncScreen::RunTransition(int32_t length)
{
    SpriteAnimRecord record(std::max(length, 0));
    record.SetAlpha(255, 0);
    RevealThrough(record);
}

void CFuncScreen::RunPatternTransition(int32_t pattern, int32_t length)
{
    SpriteAnimRecord record(length);
    record.SetTransition(0, 0, static_cast<uint32_t>(pattern));
    RevealThrough(record);
}

void CFuncScreen::RevealThrough(const SpriteAnimRecord& record)
{
    if (GetConfigSceneSkip() || Document == nullptr)
        return;
    CFadeSprite* fade = GetSpriteLayerRegistry().GetFadeSprite();
    if (fade == nullptr || !fade->IsVisible())
        return;
    fade->SetAlpha(255);
    fade->SetVisibleFlag(1);
    fade->AddAnimation(record);
    {
        CSpriteAnime anime;
        anime.AddSprite(fade);
        anime.PlayAndWait();
    }
    fade->SetVisibleFlag(0);
    fade->GiveBackPixels();
}
