#include "screens/extras/COmakeHMode.h"

#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteAnimRecord.h"
#include "screens/base/ScreenWork.h"

namespace {

inline constexpr int32_t EXTRAS_CHANNEL = 3;
inline constexpr int32_t FADE_TICKS = 16;
inline constexpr size_t VALUE_GROUP = 10;
inline constexpr size_t VALUE_REOPEN = 16;
inline constexpr int32_t HOVER_CHOSEN = 100;

// No own tab, and no control of the gallery's drawn.
constexpr OmakeFrameStyle GRID_STYLE{-1, 2087, 296, 16, true};

} // namespace

COmakeHMode::COmakeHMode()
    : OmakePageFrame(GRID_STYLE)
{}

COmakeHMode::~COmakeHMode() = default;

int32_t COmakeHMode::CreateParts()
{
    if (IOmakeParts::CreateParts() == 0 || !CreateFrameParts(false))
        return 0;
    Shown = true;
    Level = 0;
    return 1;
}

void COmakeHMode::ReleaseParts()
{
    if (GameWork != nullptr)
        GameWork->RemoveActiveScreen(this);
    ReleaseFrameParts();
    IOmakeParts::ReleaseParts();
}

void COmakeHMode::BuildParts(int32_t)
{
    ReloadSheets();
    DrawPage(0, 0, 0);
}

int32_t COmakeHMode::HeroineState(int32_t i, int32_t state)
{
    if (i >= HMODE_HEROINES)
        return -1;
    return Enabled[static_cast<size_t>(i)] ? state : 3;
}

void COmakeHMode::DrawPage(int32_t, int32_t, int32_t present)
{
    if (PageSprite == nullptr)
        return;
    PageSprite->ClearRect(0, 0, PageSprite->GetRect()->right, PageSprite->GetRect()->bottom);
    for (int32_t i = 0; i < HMODE_HEROINES; ++i) {
        Enabled[static_cast<size_t>(i)] = IsGroupCleared(i);
        DrawItem(i, 0, 0);
    }
    DrawItem(OMAKE_RETURN, 0, present);
    HitAreas.Load("cgmode.area");
}

void COmakeHMode::Show()
{
    if (PageSprite == nullptr)
        return;
    SpriteAnimRecord record(FADE_TICKS);
    record.SetVisible(1);
    record.SetAlpha(0, 255);
    PageSprite->AddAnimation(record);
    CSpriteAnime anime;
    anime.AddSprite(PageSprite.get());
    OpenTransition(anime);
}

void COmakeHMode::OnOpen()
{
    Running = 1;
    Hover = -1;
    Level = 0;
    DrawPage(0, 0, 0);
    Show();
}

void COmakeHMode::OnDecide()
{
    const int32_t id = Hover;
    if (id == -1)
        return;
    if (id >= OMAKE_RETURN && id < OMAKE_RETURN + 256) {
        PressSequence(id, EXTRAS_CHANNEL, false);
        Running = 0;
        Result = ScriptValue::FromInteger(-1);
        StateWord = 0;
    } else if (IsEnabled(id)) {
        PressSequence(id, EXTRAS_CHANNEL, false);
        SetValue(VALUE_REOPEN, 0);
        SetValue(VALUE_GROUP, id);
        Running = 0;
        if (PageSprite != nullptr)
            PageSprite->SetVisibleFlag(0);
        Hover = HOVER_CHOSEN;
    } else if (id >= 0 && id < OMAKE_HEROINES) {
        return; // button 16 or a locked heroine
    }
    WaitOkRelease();
}

void COmakeHMode::OnCancel()
{
    PlayCancelSound(EXTRAS_CHANNEL);
    Running = 0;
    Result = ScriptValue::FromInteger(-1);
    StateWord = 0;
    WaitCancelRelease();
}

int32_t COmakeHMode::CursorTarget(CursorKey key) const
{
    const int32_t h = Hover;
    if (h < 0 || h >= HMODE_HEROINES)
        return OmakePageFrame::CursorTarget(key);
    switch (key) {
    case CursorKey::Up:
        return h >= 5 ? h - 5 : -1;
    case CursorKey::Down:
        return h < 10 ? h + 5 : -1;
    case CursorKey::Left:
        return h % 5 == 0 ? OMAKE_TAB_FIRST : h - 1;
    case CursorKey::Right:
        return h % 5 == 4 ? -1 : h + 1;
    }
    return -1;
}
