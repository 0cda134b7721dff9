#include "screens/extras/CScMode.h"

#include <algorithm>
#include <memory>

#include "foundation/GameDocument.h"
#include "graphics/CSpriteLayer.h"
#include "screens/base/ScreenWork.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/save/SaveStore.h"

namespace {

inline constexpr int32_t SCREEN_W = 1920;
inline constexpr int32_t SCREEN_H = 1080;
inline constexpr int32_t EXTRAS_CHANNEL = 3;
inline constexpr uint32_t OTHER_TABS_FLAG = 1898;
inline constexpr size_t VALUE_GROUP = 10;
inline constexpr size_t VALUE_SCENE = 13;
inline constexpr size_t VALUE_TABS_LOCKED = 14;
inline constexpr size_t VALUE_REOPEN = 16;
inline constexpr int32_t UNLOCK_DIALOG_KIND = 9;
inline constexpr int32_t HOVER_CHOSEN = 100;
inline constexpr int32_t PREVIEW_X = 1418;
inline constexpr int32_t PREVIEW_Y = 555;
inline constexpr int32_t PREVIEW_W = 496;
inline constexpr int32_t PREVIEW_H = 446;

constexpr OmakeFrameStyle SCENE_STYLE{1, 2287, 592, 15};

// First flag and scene count of each group; the flags of a group are consecutive.
constexpr std::array<std::pair<int32_t, int32_t>, SCENE_HEROINES> SCENE_RANGES{{{3101, 9},
                                                                                {3110, 9},
                                                                                {3119, 7},
                                                                                {3126, 7},
                                                                                {3133, 9},
                                                                                {3142, 8},
                                                                                {3150, 8},
                                                                                {3158, 7},
                                                                                {3165, 8},
                                                                                {3173, 9},
                                                                                {3182, 6},
                                                                                {3188, 5},
                                                                                {3193, 7},
                                                                                {3200, 5},
                                                                                {3205, 5},
                                                                                {3220, 4},
                                                                                {3210, 10}}};
constexpr const char* SCENE_LETTERS = "ROFJKPSEQBDIHANCU";

} // namespace

CScMode::CScMode()
    : OmakePageFrame(SCENE_STYLE)
{
    m_scenes.fill(-1);
    for (size_t g = 0; g < SCENE_RANGES.size(); ++g)
        for (int32_t i = 0; i < SCENE_RANGES[g].second; ++i)
            m_scenes[g * SCENES_PER_HEROINE + static_cast<size_t>(i)] = SCENE_RANGES[g].first + i;
}

CScMode::~CScMode() = default;

int32_t CScMode::GetScene(int32_t heroine, int32_t index) const
{
    if (heroine < 0 || heroine >= SCENE_HEROINES || index < 0 || index >= SCENES_PER_HEROINE)
        return -1;
    return m_scenes[static_cast<size_t>(heroine * SCENES_PER_HEROINE + index)];
}

int32_t CScMode::GetSceneCount(int32_t heroine)
{
    return heroine >= 0 && heroine < SCENE_HEROINES ? SCENE_RANGES[static_cast<size_t>(heroine)].second : 0;
}

void CScMode::SetFlag(int32_t index, int32_t value)
{
    FlagBuffer* state = GetScriptState().m_current_state.get();
    if (state != nullptr && index >= 0 && static_cast<size_t>(index) < state->Flags.size())
        state->Flags[static_cast<size_t>(index)] = static_cast<uint8_t>(value);
}

int32_t CScMode::CreateParts()
{
    if (IOmakeParts::CreateParts() == 0)
        return 0;
    Page = -1;
    if (!CreateFrameParts(false))
        return 0;
    Shown = true;
    Level = 0;
    return 1;
}

void CScMode::ReleaseParts()
{
    if (GameWork != nullptr)
        GameWork->RemoveActiveScreen(this);
    ReleaseFrameParts();
    IOmakeParts::ReleaseParts();
}

void CScMode::BuildParts(int32_t)
{
    ReloadSheets();
    DrawPage(Group, Page, 0);
}

int32_t CScMode::RunScreen()
{
    TabsLocked = GetValue(VALUE_TABS_LOCKED) == 1;
    return IOmakeParts::RunScreen();
}

void CScMode::OnOpen()
{
    Running = 1;
    Hover = -1;
    if (GetValue(VALUE_REOPEN) == 1) {
        Level = 1;
        Group = GetValue(VALUE_GROUP);
        Page = GetValue(VALUE_SCENE) / OMAKE_CELLS;
        CSpriteLayer* shown = FindSpriteLayer(1);
        CSpriteLayer* fade = FindSpriteLayer(6);
        if (shown != nullptr && fade != nullptr)
            fade->Blt(0, 0, SCREEN_W, SCREEN_H, shown, 0, 0, 1);
    } else {
        Level = 0;
        Group = 0;
        Page = 0;
    }
    DrawPage(Group, Page, 0);
    Show();
}

bool CScMode::IsGroupComplete(int32_t group)
{
    for (int32_t i = 0; i < SCENES_PER_HEROINE; ++i) {
        const int32_t flag = GetScene(group, i);
        if (flag == -1)
            break;
        if (GetFlag(static_cast<uint32_t>(flag)) == 0)
            return false;
    }
    return true;
}

void CScMode::DrawPage(int32_t group, int32_t page, int32_t present)
{
    // The returning state comes from the scripts' values: kept inside the table both ways.
    Group = std::clamp(group, 0, SCENE_HEROINES - 1);
    PageCount = (GetSceneCount(Group) + OMAKE_CELLS - 1) / OMAKE_CELLS;
    Page = std::clamp(page, 0, std::max(PageCount - 1, 0));
    if (PageSprite == nullptr)
        return;
    PageSprite->FillRect(0, 0, SCREEN_W, SCREEN_H, 0, 1);
    Present.fill(false);
    Open.fill(false);
    HitAreas = CHitAreaTable();
    if (Level == 0) {
        CSpriteLayer* background = FindSpriteLayer(0);
        CSpriteLayer* kept = FindSpriteLayer(1);
        if (background != nullptr && kept != nullptr) {
            background->Blt(PREVIEW_X, PREVIEW_Y, PREVIEW_W, PREVIEW_H, kept, PREVIEW_X, PREVIEW_Y, 1);
            background->Invalidate(1, *background->GetRect());
        }
        DrawHeroineLevel();
    } else {
        HitAreas.Load("cgview.area");
        const CStringUTF8 name = CStringUTF8().Format("sc_%c.akb", SCENE_LETTERS[Group]);
        CSpriteLayer* scenes = LoadThumbnails(name);
        for (int32_t k = 0; k < OMAKE_CELLS; ++k) {
            const int32_t n = OMAKE_CELLS * Page + k;
            const int32_t flag = GetScene(Group, n);
            if (flag == -1)
                break;
            const auto cell = static_cast<size_t>(k);
            Present[cell] = true;
            BltFromSheet(ModeSheet.get(), CellX(k), CellY(k), OMAKE_CELL_WIDTH, OMAKE_CELL_HEIGHT, 1107, 825);
            if (GetFlag(static_cast<uint32_t>(flag)) == 0)
                continue;
            Open[cell] = true;
            // A missing scene sheet leaves the locked picture under the frame.
            if (scenes != nullptr)
                PageSprite->Blt(CellX(k), CellY(k), OMAKE_CELL_WIDTH, OMAKE_CELL_HEIGHT, scenes,
                                OMAKE_CELL_WIDTH * (k % 3), OMAKE_CELL_HEIGHT * (3 * Page + k / 3), 1);
            if (CSpriteLayer* mode = SheetLayer(ModeSheet.get()))
                PageSprite->BltOver(CellX(k), CellY(k), OMAKE_CELL_WIDTH, OMAKE_CELL_HEIGHT, mode, 1107, 0);
        }
        GroupComplete = IsGroupComplete(Group);
        DrawPageControls();
    }
    if (present != 0)
        PresentNow();
}

int32_t CScMode::AskUnlock()
{
    return AskConfirmation(UNLOCK_DIALOG_KIND);
}

void CScMode::UnlockGroup()
{
    if (AskUnlock() != 0)
        return;
    for (int32_t i = 0; i < SCENES_PER_HEROINE; ++i) {
        const int32_t flag = GetScene(Group, i);
        if (flag == -1)
            break;
        SetFlag(flag, 1);
    }
    if (const FlagBuffer* state = CurrentFlagBuffer())
        SaveStore::MergeIntoFlagFile(0, *state);
    DrawPage(Group, Page, 1);
}

void CScMode::ChooseTab(int32_t tab)
{
    DrawItem(OMAKE_TAB_FIRST + tab, 2, 1);
    WaitOkRelease();
    OmakePageFrame::ChooseTab(tab);
}

void CScMode::StartReplay(int32_t k)
{
    PressSequence(k, EXTRAS_CHANNEL, false);
    SetValue(VALUE_REOPEN, 0);
    SetValue(VALUE_GROUP, Group);
    SetValue(VALUE_SCENE, OMAKE_CELLS * Page + k);
    Running = 0;
    if (PageSprite != nullptr)
        PageSprite->SetVisibleFlag(0);
    if (HighlightSprite != nullptr)
        HighlightSprite->SetVisibleFlag(0);
    Hover = HOVER_CHOSEN;
}

void CScMode::OnDecide()
{
    const int32_t id = Hover;
    if (id == -1)
        return;
    if (id >= OMAKE_TAB_FIRST && id <= OMAKE_TAB_LAST) {
        if (TabsLocked) {
        } else if (id == OMAKE_TAB_FIRST + 1) {
            DrawItem(id, 2, 1);
            WaitOkRelease();
        } else if (id == OMAKE_TAB_LAST || GetFlag(OTHER_TABS_FLAG) != 0) {
            ChooseTab(id - OMAKE_TAB_FIRST);
        }
    } else if (id == OMAKE_RETURN) {
        PressReturn();
    } else if (Level == 0 && id >= 0 && id < OMAKE_HEROINES) {
        PressSequence(id, EXTRAS_CHANNEL, false);
        Level = 1;
        DrawPage(id, 0, 1);
    } else if (Level == 1 && id >= 0 && id < OMAKE_CELLS) {
        if (!Open[static_cast<size_t>(id)])
            return;
        StartReplay(id);
    } else if (id == OMAKE_PREVIOUS_PAGE || id == OMAKE_NEXT_PAGE) {
        StepPage(id);
    } else if (id == OMAKE_UNLOCK) {
        if (Level == 1 && !TabsLocked && IsGroupCleared(Group) && !IsGroupComplete(Group)) {
            PressSequence(id, EXTRAS_CHANNEL, false);
            UnlockGroup();
        }
    }
    WaitOkRelease();
}
