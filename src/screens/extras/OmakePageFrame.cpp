#include "screens/extras/OmakePageFrame.h"

#include "foundation/ConfigSettings.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "screens/base/CDialog.h"
#include "script/FlagBuffer.h"
#include "script/vm/ScriptError.h"

namespace {

inline constexpr int32_t SCREEN_W = 1920;
inline constexpr int32_t SCREEN_H = 1080;
inline constexpr int32_t FADE_TICKS = 16;
inline constexpr size_t VALUE_REOPEN = 16;
inline constexpr size_t VALUE_TAB = 12;
inline constexpr size_t VALUE_PAGE = 17;
// Clear flag of each heroine group 0 to 15; group 16 has none of its own.
constexpr std::array<uint32_t, 16> CLEAR_FLAGS{1998, 1986, 1997, 1996, 1993, 1985, 1987, 1995,
                                               1994, 1989, 1999, 1990, 1992, 1991, 1988, 2010};
constexpr int32_t FADE_SPRITE_LAYER = 6;
constexpr int32_t THUMBNAIL_SPRITE_LAYER = 5;
constexpr int32_t CONFIRM_DIALOG_DEPTH = 2;
constexpr int32_t EXTRAS_CHANNEL = 3;

std::unique_ptr<CSpriteLayer> AsLayer(CSprite* sprite)
{
    std::unique_ptr<CSprite> owned(sprite);
    auto* layer = dynamic_cast<CSpriteLayer*>(owned.get());
    if (layer == nullptr || layer->GetBits() == nullptr)
        return nullptr;
    owned.release();
    return std::unique_ptr<CSpriteLayer>(layer);
}

} // namespace

OmakePageFrame::OmakePageFrame(const OmakeFrameStyle& style)
    : Style(style)
{}

OmakePageFrame::~OmakePageFrame()
{
    ReleaseFrameParts();
}

bool OmakePageFrame::ReloadSheets()
{
    auto load = [this](const char* name) {
        return std::unique_ptr<CSprite>(
            LoadSprite(MakeLanguageFileName(name), nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    };
    ListSheet = load("modelist_p.akb");
    ModeSheet = load("cgscenemode_p.akb");
    return ListSheet != nullptr && ModeSheet != nullptr;
}

bool OmakePageFrame::CreateFrameParts(bool with_cover)
{
    if (with_cover) {
        CoverSheet.reset(LoadSprite(MakeLanguageFileName("modecover_p.akb"), nullptr, LAYER_KIND_MEMORY, 0, -1,
                                    nullptr, -1, -1, 0));
        if (CoverSheet == nullptr)
            return false;
    }
    if (!ReloadSheets())
        return false;
    PageSprite = AsLayer(CreateSprite(0, 0, SCREEN_W, SCREEN_H, 0, LAYER_KIND_MEMORY, 0));
    HighlightSprite = AsLayer(CreateSprite(0, 0, OMAKE_CELL_WIDTH, OMAKE_CELL_HEIGHT, 1, LAYER_KIND_MEMORY, 0));
    return PageSprite != nullptr && HighlightSprite != nullptr;
}

void OmakePageFrame::ReleaseFrameParts()
{
    ListSheet.reset();
    ModeSheet.reset();
    CoverSheet.reset();
    PageSprite.reset();
    HighlightSprite.reset();
}

CSpriteLayer* OmakePageFrame::SheetLayer(CSprite* sheet) const
{
    return dynamic_cast<CSpriteLayer*>(sheet);
}

CSpriteLayer* OmakePageFrame::LoadThumbnails(const CStringUTF8& name)
{
    CSpriteLayer* thumbnails = FindSpriteLayer(THUMBNAIL_SPRITE_LAYER);
    if (thumbnails == nullptr)
        return nullptr;
    // A sheet that cannot be read leaves the layer as it was: only a filled rectangle tells a load.
    RECT loaded{};
    if (LoadSprite(name, thumbnails, LAYER_KIND_MEMORY, 0, -1, &loaded, -1, -1, 0) == nullptr ||
        loaded.right <= loaded.left)
        return nullptr;
    return thumbnails;
}

void OmakePageFrame::BltFromSheet(CSprite* sheet, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx,
                                  int32_t sy)
{
    CSpriteLayer* source = SheetLayer(sheet);
    if (source == nullptr || PageSprite == nullptr)
        return;
    PageSprite->Blt(x, y, w, h, source, sx, sy, 1);
}

bool OmakePageFrame::IsGroupCleared(int32_t group)
{
    if (group >= 0 && group < static_cast<int32_t>(CLEAR_FLAGS.size()))
        return GetFlag(CLEAR_FLAGS[static_cast<size_t>(group)]) != 0;
    if (group != OMAKE_HEROINES - 1)
        return false;
    for (int32_t i = 0; i < Style.ClearFlagsForLast && i < static_cast<int32_t>(CLEAR_FLAGS.size()); ++i)
        if (GetFlag(CLEAR_FLAGS[static_cast<size_t>(i)]) != 0)
            return true;
    return false;
}

void OmakePageFrame::PresentNow()
{
    if (PageSprite != nullptr)
        PageSprite->Invalidate(1, *PageSprite->GetRect());
    RedrawFrameNow();
}

void OmakePageFrame::DrawItem(int32_t id, int32_t state, int32_t present)
{
    if (PageSprite == nullptr)
        return;
    // The grid's area file still holds the gallery's controls, which the cursor can reach.
    if (Style.GridOnly && !(id >= 0 && id < OMAKE_HEROINES) && id != OMAKE_RETURN)
        return;
    {
        LiveDrawLock lock;
        CSprite* mode = ModeSheet.get();
        if (id >= OMAKE_TAB_FIRST && id <= OMAKE_TAB_LAST) {
            const int32_t i = id - OMAKE_TAB_FIRST;
            if (i == Style.OwnTab)
                state = 2;
            if (id == OMAKE_TAB_LAST)
                BltFromSheet(mode, 27, 762, 296, 128, 0, 696 + 128 * state);
            else
                BltFromSheet(mode, 27, 216 + 182 * i, 296, 174, 296 * i, 174 * state);
        } else if (id == OMAKE_RETURN) {
            BltFromSheet(mode, 27, 928, 218, 126, 888, 126 * state);
        } else if (id == OMAKE_PREVIOUS_PAGE) {
            BltFromSheet(mode, 1392, 809, 200, 117, Style.ArrowSourceX, 117 * ((Page <= 0 ? 3 : state) + 4));
        } else if (id == OMAKE_NEXT_PAGE) {
            BltFromSheet(mode, 1392, 684, 200, 117, Style.ArrowSourceX, 117 * (Page >= PageCount - 1 ? 3 : state));
        } else if (id == OMAKE_UNLOCK) {
            if (IsGroupCleared(Group))
                BltFromSheet(mode, 1584, 12, 296, 83, Style.UnlockSourceX, GroupComplete ? 945 : 696 + 83 * state);
        } else if (id >= 0 && id < OMAKE_HEROINES && Level == 0 && (state = HeroineState(id, state)) >= 0) {
            BltFromSheet(ListSheet.get(), 395 + 296 * (id % 5), 109 + 208 * (id / 5), 296, 208, 296 * (id % 5),
                         832 * (id / 5) + 208 * state);
        } else if (id >= 0 && id < OMAKE_CELLS && Level == 1 && Open[static_cast<size_t>(id)] &&
                   HighlightSprite != nullptr) {
            CSpriteLayer* source = SheetLayer(mode);
            if (state == 0) {
                HighlightSprite->SetVisibleFlag(0);
            } else if (source != nullptr) {
                HighlightSprite->SetPosition(CellX(id), CellY(id));
                HighlightSprite->Blt(0, 0, OMAKE_CELL_WIDTH, OMAKE_CELL_HEIGHT, source, 1107, state == 1 ? 275 : 550,
                                     1);
                HighlightSprite->Invalidate(1, *HighlightSprite->GetRect());
                HighlightSprite->SetVisibleFlag(1);
            }
        }
        PageSprite->Invalidate(1, *PageSprite->GetRect());
    }
    if (present != 0)
        RedrawFrameNow();
}

void OmakePageFrame::Update()
{
    const int32_t id = HitTestCursor();
    if (id == Hover)
        return;
    if (Hover != -1)
        DrawItem(Hover, 0, 1);
    if (id != -1)
        DrawItem(id, 1, 1);
    Hover = id;
}

int32_t OmakePageFrame::AskConfirmation(int32_t kind)
{
    CDialog dialog;
    const int32_t built = dialog.Setup(kind, CONFIRM_DIALOG_DEPTH);
    if (built == 1)
        return RunForResult(dialog);
    if (built == 0)
        return 0;
    ReportScriptError(CStringUTF8("The unlock confirmation cannot be shown."));
    return DIALOG_ANSWER_CANCEL;
}

void OmakePageFrame::WaitOkRelease()
{
    for (const int32_t input : OkInputs)
        WaitInputRelease(static_cast<uint32_t>(input));
}

void OmakePageFrame::WaitCancelRelease()
{
    for (const int32_t input : CancelInputs)
        WaitInputRelease(static_cast<uint32_t>(input));
}

void OmakePageFrame::PressSequence(int32_t id, int32_t channel, bool pressed_only)
{
    PlayOkSound(channel);
    DrawItem(id, 2, 1);
    WaitOkRelease();
    if (!pressed_only)
        DrawItem(id, 0, 1);
}

int32_t OmakePageFrame::GetValue(size_t index)
{
    const FlagBuffer* state = CurrentFlagBuffer();
    return state != nullptr && index < state->Values.size() ? state->Values[index].Integer : 0;
}

void OmakePageFrame::SetValue(size_t index, int32_t value)
{
    FlagBuffer* state = CurrentFlagBuffer();
    if (state != nullptr && index < state->Values.size())
        state->Values[index] = ScriptValue::FromInteger(value);
}

bool OmakePageFrame::PageAvailable(int32_t k) const
{
    return k >= 0 && k < OMAKE_CELLS && Present[static_cast<size_t>(k)];
}

int32_t OmakePageFrame::CursorTarget(CursorKey key) const
{
    const int32_t h = Hover;
    if (h == -1)
        return 0;
    auto first_present = [this](std::initializer_list<int32_t> cells, int32_t otherwise) {
        for (const int32_t k : cells)
            if (PageAvailable(k))
                return k;
        return otherwise;
    };
    if (h >= 0 && h < OMAKE_HEROINES && Level == 0) {
        switch (key) {
        case CursorKey::Up:
            return h >= 5 ? h - 5 : -1;
        case CursorKey::Down:
            return h < 12 ? h + 5 : -1;
        case CursorKey::Left:
            return h % 5 == 0 ? OMAKE_TAB_FIRST + 1 : h - 1;
        case CursorKey::Right:
            return h % 5 == 4 ? -1 : h + 1;
        }
    }
    if (h >= 0 && h < OMAKE_CELLS && Level == 1) {
        switch (key) {
        case CursorKey::Up:
            return h >= 3 ? h - 3 : -1;
        case CursorKey::Down:
            if (h >= 6)
                return -1;
            if (h == 5)
                return OMAKE_NEXT_PAGE;
            return PageAvailable(h + 3) ? h + 3 : OMAKE_NEXT_PAGE;
        case CursorKey::Left:
            return h % 3 == 0 ? OMAKE_TAB_FIRST + 1 : h - 1;
        case CursorKey::Right:
            if (h % 3 == 2)
                return -1;
            if (PageAvailable(h + 1))
                return h + 1;
            return h >= 6 ? OMAKE_PREVIOUS_PAGE : -1;
        }
    }
    if (h >= OMAKE_TAB_FIRST && h <= OMAKE_TAB_LAST) {
        switch (key) {
        case CursorKey::Up:
            return h == OMAKE_TAB_FIRST ? -1 : h - 1;
        case CursorKey::Down:
            return h == OMAKE_TAB_LAST ? OMAKE_RETURN : h + 1;
        case CursorKey::Left:
            return -1;
        case CursorKey::Right:
            return 0;
        }
    }
    if (h == OMAKE_RETURN) {
        if (key == CursorKey::Up)
            return OMAKE_TAB_LAST;
        if (key == CursorKey::Right) {
            if (Level == 0)
                return 10;
            return const_cast<OmakePageFrame*>(this)->IsGroupCleared(Group) ? OMAKE_UNLOCK : OMAKE_TIME_FIRST;
        }
        return -1;
    }
    if (h >= OMAKE_TIME_FIRST && h <= OMAKE_TIME_LAST)
        return key == CursorKey::Right ? (h == OMAKE_TIME_LAST ? OMAKE_PREVIOUS_PAGE : h + 1) : -1;
    if (h == OMAKE_NEXT_PAGE || h == OMAKE_PREVIOUS_PAGE) {
        switch (key) {
        case CursorKey::Up:
            return h == OMAKE_PREVIOUS_PAGE ? OMAKE_NEXT_PAGE : first_present({5, 2, 0}, 0);
        case CursorKey::Down:
            return h == OMAKE_NEXT_PAGE ? OMAKE_PREVIOUS_PAGE : -1;
        case CursorKey::Left:
            return first_present({7, 6}, OMAKE_TAB_LAST);
        case CursorKey::Right:
            return OMAKE_NEXT_PAGE;
        }
    }
    if (h == OMAKE_UNLOCK) {
        switch (key) {
        case CursorKey::Up:
            return 0;
        case CursorKey::Down:
            return -1;
        case CursorKey::Left:
            return OMAKE_RETURN;
        case CursorKey::Right:
            return OMAKE_TIME_FIRST;
        }
    }
    return -1;
}

int32_t OmakePageFrame::MoveByKey(CursorKey key)
{
    static constexpr uint32_t SCANS[] = {SCAN_UP, SCAN_DOWN, SCAN_LEFT, SCAN_RIGHT};
    return StepCursorTo(CursorTarget(key), SCANS[static_cast<size_t>(key)]);
}

void OmakePageFrame::Show()
{
    if (PageSprite == nullptr)
        return;
    SpriteAnimRecord record(FADE_TICKS);
    record.SetVisible(1);
    record.SetAlpha(0, 255);
    if (GetValue(VALUE_REOPEN) != 1) {
        PageSprite->AddAnimation(record);
        CSpriteAnime anime;
        anime.AddSprite(PageSprite.get());
        OpenTransition(anime);
        return;
    }
    // Back from the viewer: the page fades in over the last picture, then the background
    // behind the gallery comes back and the page takes over from the fade layer.
    CSpriteLayer* fade = FindSpriteLayer(FADE_SPRITE_LAYER);
    if (fade != nullptr) {
        fade->BltAlpha(0, 0, SCREEN_W, SCREEN_H, PageSprite.get(), 0, 0);
        fade->Invalidate(1, *fade->GetRect());
        fade->AddAnimation(record);
        CSpriteAnime anime;
        anime.AddSprite(fade);
        anime.PlayAndWait();
    }
    CSpriteLayer* background = FindSpriteLayer(0);
    CSpriteLayer* saved = FindSpriteLayer(2);
    if (background != nullptr && saved != nullptr) {
        background->Blt(0, 0, SCREEN_W, SCREEN_H, saved, 0, 0, 1);
        background->Invalidate(1, *background->GetRect());
    }
    PageSprite->SetAlpha(255);
    PageSprite->SetVisibleFlag(1);
    if (fade != nullptr)
        fade->SetVisibleFlag(0);
    RedrawFrameNow();
}

void OmakePageFrame::Hide()
{
    if (PageSprite == nullptr || !PageSprite->IsVisible())
        return;
    SpriteAnimRecord record(FADE_TICKS);
    record.SetAlpha(255, 0);
    PageSprite->AddAnimation(record);
    CSpriteAnime anime;
    anime.AddSprite(PageSprite.get());
    CloseTransition(anime);
    PageSprite->SetVisibleFlag(0);
}

void OmakePageFrame::OnClose()
{
    if (HighlightSprite != nullptr)
        HighlightSprite->SetVisibleFlag(0);
    if (Shown)
        Hide();
    ISelect::OnClose();
}

void OmakePageFrame::PressReturn()
{
    PressSequence(OMAKE_RETURN, EXTRAS_CHANNEL, false);
    if (Level == 0) {
        Running = 0;
        Result = ScriptValue::FromInteger(-1);
        StateWord = 0;
        return;
    }
    Level = 0;
    if (HighlightSprite != nullptr)
        HighlightSprite->SetVisibleFlag(0);
    DrawPage(Group, Page, 1);
}

void OmakePageFrame::DrawHeroineLevel()
{
    for (int32_t i = 0; i < OMAKE_HEROINES; ++i)
        DrawItem(i, 0, 0);
    for (int32_t id = OMAKE_TAB_FIRST; id <= OMAKE_TAB_LAST; ++id)
        DrawItem(id, 0, 0);
    DrawItem(OMAKE_RETURN, 0, 0);
    HitAreas.Load("cgmode.area");
}

void OmakePageFrame::DrawPageControls()
{
    for (int32_t id = OMAKE_TAB_FIRST; id <= OMAKE_TAB_LAST; ++id)
        DrawItem(id, 0, 0);
    for (const int32_t id : {OMAKE_RETURN, OMAKE_PREVIOUS_PAGE, OMAKE_NEXT_PAGE, OMAKE_UNLOCK})
        DrawItem(id, 0, 0);
}

void OmakePageFrame::StepPage(int32_t id)
{
    const int32_t step = id == OMAKE_NEXT_PAGE ? 1 : -1;
    if (Level != 1 || Page + step < 0 || Page + step >= PageCount)
        return;
    PlayOkSound(EXTRAS_CHANNEL);
    DrawItem(id, 2, 1);
    WaitOkRelease();
    DrawPage(Group, Page + step, 1);
    Hover = -1;
}

void OmakePageFrame::OnCancel()
{
    if (Level == 1) {
        WaitCancelRelease();
        Hover = -1;
        Level = 0;
        if (HighlightSprite != nullptr)
            HighlightSprite->SetVisibleFlag(0);
        DrawPage(Group, Page, 1);
        return;
    }
    PlayCancelSound(EXTRAS_CHANNEL);
    Running = 0;
    Result = ScriptValue::FromInteger(-1);
    StateWord = 0;
    WaitCancelRelease();
}

void OmakePageFrame::ChooseTab(int32_t tab)
{
    PlayOkSound(EXTRAS_CHANNEL);
    DrawItem(OMAKE_TAB_FIRST + tab, 2, 1);
    Running = 0;
    Result = ScriptValue::FromInteger(100);
    StateWord = 0;
    if (tab != 3) {
        SetValue(VALUE_REOPEN, 0);
        SetValue(VALUE_PAGE, 0);
    }
    SetValue(VALUE_TAB, tab);
}
