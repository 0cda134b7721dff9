#include "screens/system/TitleButtons.h"

#include <algorithm>
#include <vector>

#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "screens/base/ISelect.h"
#include "screens/base/ScreenWork.h"
#include "screens/system/CLoadDialog.h"
#include "script/FlagBuffer.h"

int32_t TitleVariable(const FlagBuffer* state, size_t index)
{
    return state != nullptr && index < state->Variables.size() ? state->Variables[index].Integer : 0;
}

void SetTitleValue(FlagBuffer* state, size_t index, int32_t integer)
{
    if (state != nullptr && index < state->Values.size())
        state->Values[index] = ScriptValue::FromInteger(integer);
}

void DrawTitleButton(CSprite* sheet, CSprite* button, const TitleButton& place, int32_t state,
                     int32_t present)
{
    auto* source = dynamic_cast<CSpriteLayer*>(sheet);
    auto* target = dynamic_cast<CSpriteLayer*>(button);
    if (source == nullptr || target == nullptr)
        return;
    {
        LiveDrawLock lock;
        target->Blt(0, 0, place.width, place.height, source, place.sheet_x,
                    place.sheet_y + place.height * state, 1);
        target->Invalidate(1, *target->GetRect());
    }
    if (present != 0)
        RedrawFrameNow();
}

void FadeTitleButtons(std::span<CSprite* const> fade_in, std::span<CSprite* const> fade_out, int32_t ticks)
{
    CSpriteAnime anime;
    SpriteAnimRecord in(ticks);
    in.SetVisible(1);
    in.SetAlpha(0, 255);
    SpriteAnimRecord out(ticks);
    out.SetVisible(0);
    out.SetAlpha(255, 0);
    for (CSprite* sprite : fade_in)
        if (sprite != nullptr) {
            sprite->AddAnimation(in);
            anime.AddSprite(sprite);
        }
    for (CSprite* sprite : fade_out)
        if (sprite != nullptr) {
            sprite->AddAnimation(out);
            anime.AddSprite(sprite);
        }
    anime.PlayAndWait();
}

void PaintTitleButtons(CSpriteLayer* background, std::span<CSprite* const> buttons)
{
    if (background == nullptr)
        return;
    LiveDrawLock lock;
    for (CSprite* sprite : buttons) {
        auto* button = dynamic_cast<CSpriteLayer*>(sprite);
        if (button == nullptr)
            continue;
        const POINT at = button->GetPosition();
        background->BltAlpha(at.x, at.y, button->GetWidth(), button->GetHeight(), button, 0, 0);
    }
    background->Invalidate(1, *background->GetRect());
}

int32_t TitleArrowTarget(uint32_t scan_code, int32_t hovered, int32_t last_item)
{
    if (hovered == -1)
        return 0;
    const int32_t item = hovered & 0xFF;
    if (scan_code == SCAN_UP)
        return item == 0 ? -1 : item - 1;
    if (scan_code == SCAN_DOWN)
        return item == last_item ? -1 : item + 1;
    return -1;
}

void RunTitleLoop(ScreenWork& work, ISelect& title)
{
    const std::vector<ISelect*>& active = work.GetActiveScreens();
    if (std::find(active.begin(), active.end(), &title) == active.end())
        work.AddActiveScreen(&title);
    title.ModalLoop();
    title.OnClose();
}

void ContinueFromTitle(ScreenWork* work)
{
    if (CLoadDialog* load = work->GetLoadDialog())
        load->ContinueGame();
}

void LoadFromTitle(ScreenWork* work)
{
    work->ClearSnapshotTaken();
    work->RunSaveLoad(SYSTEM_PAGE_LOAD);
}
