#include "script/commands/CFuncScreen.h"

#include <algorithm>

#include "app/CVeskDoc.h"
#include "app/ConfigSettings.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/SpriteAnimRecord.h"

void CFuncScreen::Call(CScript&) {}

void CFuncScreen::RunTransition(int32_t length)
{
    if (GetConfigSceneSkip() || Document == nullptr)
        return;
    CFadeSprite* fade = Document->GetFadeSprite();
    if (fade == nullptr || !fade->IsVisible())
        return;
    fade->SetAlpha(255);
    fade->SetVisibleFlag(1);
    SpriteAnimRecord record(std::max(length, 0));
    record.SetAlpha(255, 0);
    fade->AddAnimation(record);
    {
        CSpriteAnime anime;
        anime.AddSprite(fade);
        anime.PlayAndWait();
    }
    fade->SetVisibleFlag(0);
}
