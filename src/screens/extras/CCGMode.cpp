#include "screens/extras/CCGMode.h"

#include <memory>

#include "graphics/CSpriteLayer.h"
#include "screens/base/CDialog.h"
#include "screens/extras/CCGView.h"
#include "screens/extras/StaticNameTables.h"
#include "script/FlagBuffer.h"
#include "script/save/SaveStore.h"
#include "script/vm/ScriptError.h"

namespace {

inline constexpr int32_t SCREEN_W = 1920;
inline constexpr int32_t SCREEN_H = 1080;
inline constexpr int32_t EXTRAS_CHANNEL = 3;
inline constexpr int32_t OPEN_CG_CHANNEL = 4;
inline constexpr uint32_t OTHER_TABS_FLAG = 1898;
inline constexpr size_t VALUE_GROUP = 10;
inline constexpr size_t VALUE_REOPEN = 16;
inline constexpr size_t VALUE_PAGE = 17;
inline constexpr int32_t UNLOCK_DIALOG_KIND = 10;
inline constexpr std::array<int32_t, 3> TIME_CHOICES{1200, 1600, 1800};
// The preview area at heroine level and its covers at page level.
inline constexpr int32_t PREVIEW_X = 1418;
inline constexpr int32_t PREVIEW_Y = 555;
inline constexpr int32_t PREVIEW_W = 496;
inline constexpr int32_t PREVIEW_H = 446;

constexpr OmakeFrameStyle GALLERY_STYLE{0, 2087, 296, 16};

int32_t Clamp(int32_t value, int32_t low, int32_t high)
{
    return value < low ? low : (value > high ? high : value);
}

// A row's variants in table order; a row without a composition row has its first variant only.
std::vector<int32_t> VariantsOf(const CGRow& row)
{
    return row.Composition != nullptr ? row.Variants : std::vector<int32_t>{row.FirstVariant};
}

} // namespace

CCGMode::CCGMode()
    : OmakePageFrame(GALLERY_STYLE)
    , m_rows(GetCGTables().BuildRows())
{
    ShownVariant.fill(-1);
}

CCGMode::~CCGMode() = default;

int32_t CCGMode::GetGroupFirstRow(int32_t group)
{
    return GetCGTables().GroupFirstRow(group);
}

int32_t CCGMode::GetGroupRowCount(int32_t group)
{
    return GetCGTables().GroupRowCount(group);
}

const CGRow* CCGMode::GetRow(int32_t row) const
{
    if (row < 0 || static_cast<size_t>(row) + 1 >= m_rows.size())
        return nullptr;
    return &m_rows[static_cast<size_t>(row)];
}

int32_t CCGMode::CreateParts()
{
    if (IOmakeParts::CreateParts() == 0)
        return 0;
    Page = -1;
    if (!CreateFrameParts(true))
        return 0;
    CSpriteLayer* view = FindSpriteLayer(1);
    CSpriteLayer* keep = FindSpriteLayer(4);
    if (view != nullptr && keep != nullptr)
        keep->Blt(0, 0, SCREEN_W, SCREEN_H, view, 0, 0, 1);
    Shown = true;
    Level = 0;
    return 1;
}

void CCGMode::ReleaseParts()
{
    ReleaseFrameParts();
    IOmakeParts::ReleaseParts();
}

void CCGMode::BuildParts(int32_t)
{
    ReloadSheets();
    Level = 0;
    DrawPage(0, 0, 0);
}

void CCGMode::OnOpen()
{
    Running = 1;
    Hover = -1;
    if (GetValue(VALUE_REOPEN) == 1) {
        Page = GetValue(VALUE_PAGE) - 1;
        Level = 1;
        Group = GetValue(VALUE_GROUP) - 1;
        CSpriteLayer* shown = FindSpriteLayer(3);
        CSpriteLayer* fade = FindSpriteLayer(6);
        if (shown != nullptr && fade != nullptr)
            fade->Blt(0, 0, SCREEN_W, SCREEN_H, shown, 0, 0, 1);
    } else {
        Level = 0;
        Group = 0;
        Page = 0;
    }
    const int32_t time = GetValue(VALUE_GAME_TIME);
    TimeChoice = time < 1600 ? 0 : (time < 1800 ? 1 : 2);
    DrawPage(Group, Page, 0);
    Show();
}

void CCGMode::OnClose()
{
    OmakePageFrame::OnClose();
}

void CCGMode::DrawCell(int32_t k, const CGRow& row, CSpriteLayer* thumbnails)
{
    const int32_t x = CellX(k);
    const int32_t y = CellY(k);
    Present[static_cast<size_t>(k)] = true;
    BltFromSheet(ModeSheet.get(), x, y, OMAKE_CELL_WIDTH, OMAKE_CELL_HEIGHT, 1107, 825);
    int32_t shown = -1;
    if (IsVariantSeen(row.FirstVariant)) {
        if (thumbnails != nullptr) {
            PageSprite->Blt(x, y, OMAKE_CELL_WIDTH, OMAKE_CELL_HEIGHT, thumbnails, OMAKE_CELL_WIDTH * (k % 3),
                            OMAKE_CELL_HEIGHT * (k / 3), 1);
            shown = row.FirstVariant;
        }
    } else {
        const std::vector<int32_t> variants = VariantsOf(row);
        for (size_t j = 0; j < variants.size(); ++j) {
            if (!IsVariantSeen(variants[j]))
                continue;
            std::unique_ptr<CSprite> sheet(
                LoadSprite(row.SheetName, nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
            if (auto* source = dynamic_cast<CSpriteLayer*>(sheet.get())) {
                const int32_t position = static_cast<int32_t>(j);
                PageSprite->Blt(x, y, OMAKE_CELL_WIDTH, OMAKE_CELL_HEIGHT, source,
                                OMAKE_CELL_WIDTH * (position % 3), OMAKE_CELL_HEIGHT * (position / 3), 1);
                shown = variants[j];
            }
            break;
        }
    }
    ShownVariant[static_cast<size_t>(k)] = shown;
    if (shown < 0)
        return;
    if (CSpriteLayer* mode = SheetLayer(ModeSheet.get()))
        PageSprite->BltOver(x, y, OMAKE_CELL_WIDTH, OMAKE_CELL_HEIGHT, mode, 1107, 0);
    Open[static_cast<size_t>(k)] = true;
}

void CCGMode::DrawPage(int32_t group, int32_t page, int32_t present)
{
    const CGTables& tables = GetCGTables();
    // Kept inside the table both ways: a returning state from the scripts may be anything.
    Group = Clamp(group, 0, CG_GROUP_COUNT - 1);
    PageCount = tables.GroupPageCount(Group);
    Page = Clamp(page, 0, PageCount > 0 ? PageCount - 1 : 0);
    if (PageSprite == nullptr)
        return;
    PageSprite->FillRect(0, 0, SCREEN_W, SCREEN_H, 0, 1);
    CSpriteLayer* background = FindSpriteLayer(0);
    CSpriteLayer* kept = FindSpriteLayer(4);
    if (background != nullptr && kept != nullptr)
        background->Blt(PREVIEW_X, PREVIEW_Y, PREVIEW_W, PREVIEW_H, kept, PREVIEW_X, PREVIEW_Y, 1);
    Present.fill(false);
    Open.fill(false);
    ShownVariant.fill(-1);
    HitAreas = CHitAreaTable();
    if (Level == 0) {
        DrawHeroineLevel();
    } else {
        HitAreas.Load("cgview.area");
        CSpriteLayer* covers = SheetLayer(CoverSheet.get());
        if (background != nullptr && covers != nullptr && Group < OMAKE_HEROINES - 1) {
            const int32_t sx = Group < 15 ? PREVIEW_W * (Group % 5) : 2480;
            const int32_t sy = Group < 15 ? PREVIEW_H * (Group / 5) : 893;
            background->BltAlpha(PREVIEW_X, PREVIEW_Y, PREVIEW_W, PREVIEW_H, covers, sx, sy);
            background->BltAlpha(PREVIEW_X, PREVIEW_Y, PREVIEW_W, PREVIEW_H, covers, 2480, 0);
        }
        CSpriteLayer* thumbnails = LoadThumbnails(GetPageThumbnailName(Group, Page));
        const int32_t first = tables.GroupFirstRow(Group);
        const int32_t end = first + tables.GroupRowCount(Group);
        int32_t k = 0;
        for (int32_t r = first + CG_CELLS_PER_PAGE * Page; r < end && k < OMAKE_CELLS; ++r, ++k)
            if (const CGRow* row = GetRow(r))
                DrawCell(k, *row, thumbnails);
        GroupComplete = IsGroupComplete(Group);
        DrawPageControls();
    }
    if (background != nullptr)
        background->Invalidate(1, *background->GetRect());
    if (present != 0)
        PresentNow();
}

bool CCGMode::IsGroupComplete(int32_t group) const
{
    const CGTables& tables = GetCGTables();
    const int32_t first = tables.GroupFirstRow(group);
    int32_t count = 0;
    int32_t seen = 0;
    for (int32_t r = first; r < first + tables.GroupRowCount(group); ++r) {
        const CGRow* row = GetRow(r);
        if (row == nullptr || row->FirstVariant == -1)
            continue;
        for (const int32_t variant : VariantsOf(*row)) {
            ++count;
            seen += IsVariantSeen(variant) ? 1 : 0;
        }
    }
    return seen == count;
}

int32_t CCGMode::AskUnlock()
{
    return AskConfirmation(UNLOCK_DIALOG_KIND);
}

void CCGMode::UnlockGroup()
{
    if (AskUnlock() != 0)
        return;
    const CGTables& tables = GetCGTables();
    const int32_t first = tables.GroupFirstRow(Group);
    for (int32_t r = first; r < first + tables.GroupRowCount(Group); ++r) {
        const CGRow* row = GetRow(r);
        if (row == nullptr || row->FirstVariant == -1)
            break;
        for (const int32_t variant : VariantsOf(*row))
            MarkVariantSeen(variant);
    }
    if (const FlagBuffer* state = CurrentFlagBuffer())
        SaveStore::MergeIntoFlagFile(0, *state);
    DrawPage(Group, Page, 1);
}

void CCGMode::OpenCG(int32_t k)
{
    if (GetValue(VALUE_REOPEN) != 1) {
        PlayOkSound(OPEN_CG_CHANNEL);
        DrawItem(k, 2, 1);
        WaitOkRelease();
        if (HighlightSprite != nullptr)
            HighlightSprite->SetVisibleFlag(0);
        SetValue(VALUE_PAGE, 0);
    } else {
        SetValue(VALUE_REOPEN, 0);
    }
    const CGTables& tables = GetCGTables();
    const int32_t first = tables.GroupFirstRow(Group);
    const int32_t row = first + CG_CELLS_PER_PAGE * Page + k;
    auto view = std::make_unique<CCGView>(tables.BuildRows(), row, Group, (row - first) / CG_CELLS_PER_PAGE,
                                          CStringUTF8("cgscenemode_p.akb"), this);
    const int32_t shown = RunForResult(*view) / 256;
    WaitCancelRelease();
    if (shown >= 0 && GetRow(shown) != nullptr) {
        const int32_t group = tables.GroupOfRow(shown);
        Page = (shown - tables.GroupFirstRow(group)) / CG_CELLS_PER_PAGE;
    }
    Hover = -1;
}

void CCGMode::OnDecide()
{
    const int32_t id = Hover;
    if (id == -1)
        return;
    if (id == OMAKE_TAB_FIRST) {
        DrawItem(id, 2, 1);
    } else if (id == OMAKE_TAB_FIRST + 1 || id == OMAKE_TAB_FIRST + 2) {
        if (GetFlag(OTHER_TABS_FLAG) != 0)
            ChooseTab(id - OMAKE_TAB_FIRST);
    } else if (id == OMAKE_TAB_LAST) {
        ChooseTab(3);
    } else if (id == OMAKE_RETURN) {
        PressReturn();
    } else if (id >= OMAKE_TIME_FIRST && id <= OMAKE_TIME_LAST) {
        const int32_t choice = id - OMAKE_TIME_FIRST;
        if (choice != TimeChoice) {
            PressSequence(id, EXTRAS_CHANNEL, false);
            TimeChoice = choice;
            SetValue(VALUE_GAME_TIME, TIME_CHOICES[static_cast<size_t>(choice)]);
        }
    } else if (Level == 0 && id >= 0 && id < OMAKE_HEROINES) {
        PressSequence(id, EXTRAS_CHANNEL, false);
        Page = 0;
        Level = 1;
        DrawPage(id, 0, 1);
    } else if (Level == 1 && id >= 0 && id < OMAKE_CELLS) {
        if (!Open[static_cast<size_t>(id)])
            return;
        OpenCG(id);
    } else if (id == OMAKE_PREVIOUS_PAGE || id == OMAKE_NEXT_PAGE) {
        StepPage(id);
    } else if (id == OMAKE_UNLOCK) {
        if (Level == 1 && IsGroupCleared(Group) && !IsGroupComplete(Group)) {
            PressSequence(id, EXTRAS_CHANNEL, false);
            UnlockGroup();
        }
    }
    WaitOkRelease();
}
