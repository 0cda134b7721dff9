#include "screens/map/CCommentMode.h"

#include "foundation/ConfigSettings.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/base/ScreenParts.h"
#include "screens/base/ScreenWork.h"
#include "screens/map/ModalScreenSprites.h"
#include "script/FlagBuffer.h"

namespace {

constexpr int32_t SOUND_CHANNEL = 3;
constexpr int32_t FADE_STEPS = 16;

constexpr int32_t PAGE_X = 335;
constexpr int32_t PAGE_Y = 40;
constexpr int32_t PAGE_WIDTH = 1500;
constexpr int32_t PAGE_HEIGHT = 1000;
constexpr int32_t UNLOCK_X = 1624;
constexpr int32_t UNLOCK_Y = 971;
constexpr int32_t UNLOCK_WIDTH = 296;
constexpr int32_t UNLOCK_HEIGHT = 83;
constexpr int32_t UNLOCK_SHEET_X = 296;
constexpr int32_t UNLOCK_SHEET_Y = 1028;
constexpr int32_t UNLOCK_DONE_SHEET_Y = 1277;
constexpr int32_t TAB_X = 1835;
constexpr int32_t TAB_Y = 100;
constexpr int32_t TAB_STEP = 93;
constexpr int32_t TAB_WIDTH = 80;
constexpr int32_t TAB_HEIGHT = 83;
constexpr int32_t TAB_SHEET_X = 1107;
constexpr int32_t TAB_SHEET_Y = 1100;
constexpr int32_t LOCKED_ROW = 3;
constexpr int32_t MODE_X = 27;
constexpr int32_t MODE_Y = 216;
constexpr int32_t MODE_STEP = 182;
constexpr int32_t MODE_WIDTH = 296;
constexpr int32_t MODE_HEIGHT = 174;
constexpr int32_t LABEL_Y = 762;
constexpr int32_t LABEL_HEIGHT = 128;
constexpr int32_t LABEL_SHEET_Y = 952;
constexpr int32_t BACK_Y = 928;
constexpr int32_t BACK_WIDTH = 219;
constexpr int32_t BACK_HEIGHT = 126;
constexpr int32_t BACK_SHEET_X = 888;

constexpr size_t SWITCH_MODE_VALUE = 12;
constexpr size_t SWITCH_CLEARED_VALUES[] = {16, 17};

} // namespace

CCommentMode::CCommentMode() = default;

CCommentMode::~CCommentMode()
{
    ReleaseParts();
}

int32_t CCommentMode::CreateParts()
{
    if (IOmakeParts::CreateParts() == 0)
        return 0;
    SelectedEntry = -1;
    m_button_sheet.reset(LoadSprite(MakeLanguageFileName("cgscenemode_p.akb"), nullptr, LAYER_KIND_MEMORY, 0,
                                    -1, nullptr, -1, -1, 0));
    const auto make = [this](int32_t x, int32_t y, int32_t width, int32_t height, int32_t priority) {
        std::unique_ptr<CSprite> sprite(CreateSprite(x, y, width, height, priority, LAYER_KIND_MEMORY, 0));
        std::unique_ptr<CSpriteLayer> layer(dynamic_cast<CSpriteLayer*>(sprite.get()));
        if (layer)
            sprite.release();
        if (layer && layer->GetBits() == nullptr)
            layer.reset();
        return layer;
    };
    m_base = make(0, 0, 1920, 1080, 0);
    m_page = make(PAGE_X, PAGE_Y, PAGE_WIDTH, PAGE_HEIGHT, 1);
    m_unlock = make(UNLOCK_X, UNLOCK_Y, UNLOCK_WIDTH, UNLOCK_HEIGHT, 2);
    for (int32_t i = 0; i < COMMENT_ENTRIES; ++i)
        m_tabs[static_cast<size_t>(i)] = make(TAB_X, TAB_Y + TAB_STEP * i, TAB_WIDTH, TAB_HEIGHT, 2);
    // A screen with missing parts is refused here rather than run undrawn.
    return IsComplete() ? 1 : 0;
}

bool CCommentMode::IsComplete() const
{
    if (!m_button_sheet || !m_base || !m_page || !m_unlock)
        return false;
    for (const auto& tab : m_tabs)
        if (!tab)
            return false;
    return true;
}

void CCommentMode::ReleaseParts()
{
    GameWork->RemoveActiveScreen(this);
    m_base.reset();
    m_page.reset();
    m_button_sheet.reset();
    m_unlock.reset();
    for (auto& tab : m_tabs)
        tab.reset();
    IOmakeParts::ReleaseParts();
}

void CCommentMode::OnOpen()
{
    Running = 1;
    HoverId = -1;
    SelectedEntry = 0;
    AllUnlocked = 0;
    Refresh(0);
    Show();
}

void CCommentMode::OnClose()
{
    Hide();
}

bool CCommentMode::AnyUnlockFlag()
{
    for (const uint32_t flag : CommentUnlockFlags)
        if (GetFlag(flag) != 0)
            return true;
    return false;
}

void CCommentMode::Refresh(int32_t present)
{
    if (!IsComplete())
        return;
    {
        LiveDrawLock lock;
        m_base->FillRect(0, 0, 1920, 1080, 0, 1);
    }
    int32_t open = 0;
    for (int32_t i = 0; i < COMMENT_ENTRIES; ++i) {
        EntryUnlocked[static_cast<size_t>(i)] =
            GetFlag(COMMENT_ENTRY_FLAG + static_cast<uint32_t>(i)) == 1 ? 1 : 0;
        open += EntryUnlocked[static_cast<size_t>(i)];
    }
    if (open == COMMENT_ENTRIES)
        AllUnlocked = 1;
    for (int32_t i = 0; i < COMMENT_ENTRIES; ++i)
        DrawItem(i, 0, 0);
    for (int32_t id = COMMENT_MODE_FIRST; id <= COMMENT_LABEL; ++id)
        DrawItem(id, 0, 0);
    DrawItem(COMMENT_BACK, 0, 0);
    DrawItem(COMMENT_UNLOCK, 0, 0);
    HitAreas.Load("commentmode.area");
    DrawPage(0);
    if (present != 0)
        RedrawFrameNow();
}

void CCommentMode::DrawPage(int32_t present)
{
    if (!IsComplete() || SelectedEntry < 0 || SelectedEntry >= COMMENT_ENTRIES)
        return;
    if (EntryUnlocked[static_cast<size_t>(SelectedEntry)] != 1)
        return;
    {
        LiveDrawLock lock;
        const std::string name = "diary0" + std::to_string(SelectedEntry) + ".akb";
        LoadSprite(MakeLanguageFileName(CStringUTF8(name.c_str())), m_page.get(), LAYER_KIND_MEMORY, 0, -1,
                   nullptr, -1, -1, 0);
        m_page->SetVisibleFlag(1);
        MarkLayerDrawn(*m_page);
    }
    if (present != 0)
        RedrawFrameNow();
}

void CCommentMode::DrawItem(int32_t id, int32_t visual, int32_t present)
{
    if (!IsComplete() || id < 0)
        return;
    const int32_t group = id / 256;
    const int32_t item = id % 256;
    {
        LiveDrawLock lock;
        ILayer* sheet = SpriteLayerOf(m_button_sheet.get());
        if (group == 0 && item < COMMENT_ENTRIES) {
            CSpriteLayer& tab = *m_tabs[static_cast<size_t>(item)];
            const int32_t row = EntryUnlocked[static_cast<size_t>(item)] == 1 ? visual : LOCKED_ROW;
            tab.Blt(0, 0, TAB_WIDTH, TAB_HEIGHT, sheet, TAB_SHEET_X + TAB_WIDTH * item,
                    TAB_SHEET_Y + TAB_HEIGHT * row, 1);
            MarkLayerDrawn(tab);
        } else if (group == 1 && item < 3) {
            m_base->Blt(MODE_X, MODE_Y + MODE_STEP * item, MODE_WIDTH, MODE_HEIGHT, sheet, MODE_WIDTH * item,
                        MODE_HEIGHT * visual, 1);
            MarkLayerDrawn(*m_base);
        } else if (id == COMMENT_LABEL) {
            m_base->Blt(MODE_X, LABEL_Y, MODE_WIDTH, LABEL_HEIGHT, sheet, 0, LABEL_SHEET_Y, 1);
            MarkLayerDrawn(*m_base);
        } else if (id == COMMENT_BACK) {
            m_base->Blt(MODE_X, BACK_Y, BACK_WIDTH, BACK_HEIGHT, sheet, BACK_SHEET_X, BACK_HEIGHT * visual,
                        1);
            MarkLayerDrawn(*m_base);
        } else if (id == COMMENT_UNLOCK && AnyUnlockFlag()) {
            const int32_t y =
                AllUnlocked != 0 ? UNLOCK_DONE_SHEET_Y : UNLOCK_SHEET_Y + UNLOCK_HEIGHT * visual;
            m_unlock->Blt(0, 0, UNLOCK_WIDTH, UNLOCK_HEIGHT, sheet, UNLOCK_SHEET_X, y, 1);
            MarkLayerDrawn(*m_unlock);
        }
    }
    if (present != 0)
        RedrawFrameNow();
}

void CCommentMode::Update()
{
    const int32_t id = HitTestCursor();
    if (id == HoverId)
        return;
    if (HoverId != -1)
        DrawItem(HoverId, 0, 1);
    HoverId = id;
    if (HoverId != -1)
        DrawItem(HoverId, 1, 1);
}

void CCommentMode::Press(int32_t id)
{
    PlayOkSound(SOUND_CHANNEL);
    DrawItem(id, 2, 1);
    ISelect::OnDecide();
    DrawItem(id, 0, 1);
}

void CCommentMode::Leave(int32_t result)
{
    Running = 0;
    Result = ScriptValue::FromInteger(result);
    StateWord = 0;
}

void CCommentMode::OnDecide()
{
    const int32_t id = HoverId;
    if (id == -1)
        return;
    const int32_t group = id / 256;
    const int32_t item = id % 256;
    if (group == 1 && item <= 3) {
        DrawItem(id, 2, 1);
        ISelect::OnDecide();
        if (item < 3 && GetFlag(COMMENT_MODES_OPEN_FLAG) != 0) {
            PlayOkSound(SOUND_CHANNEL);
            DrawItem(id, 2, 1);
            Leave(EXTRAS_SWITCH_RESULT);
            if (FlagBuffer* flags = CurrentFlagBuffer()) {
                for (const size_t n : SWITCH_CLEARED_VALUES)
                    if (n < flags->Values.size())
                        flags->Values[n] = ScriptValue::FromInteger(0);
                if (SWITCH_MODE_VALUE < flags->Values.size())
                    flags->Values[SWITCH_MODE_VALUE] = ScriptValue::FromInteger(item);
            }
        }
    } else if (id == COMMENT_BACK) {
        Press(id);
        Leave(-1);
    } else if (id == COMMENT_UNLOCK) {
        if (AnyUnlockFlag() && AllUnlocked == 0) {
            Press(id);
            for (int32_t i = 0; i < COMMENT_ENTRIES; ++i) {
                EntryUnlocked[static_cast<size_t>(i)] = 1;
                SetFlag(COMMENT_ENTRY_FLAG + static_cast<uint32_t>(i), 1);
            }
            for (int32_t mode = COMMENT_MODE_FIRST; mode <= COMMENT_LABEL; ++mode)
                DrawItem(mode, 0, 1);
            Refresh(1);
        }
    } else if (group == 0 && item < COMMENT_ENTRIES) {
        // Ids of group 0 past the tabs are not ours and are ignored.
        Press(id);
        SelectedEntry = item;
        DrawPage(1);
    }
    ISelect::OnDecide();
}

void CCommentMode::OnCancel()
{
    PlayCancelSound(SOUND_CHANNEL);
    Leave(-1);
    ISelect::OnCancel();
}

int32_t CCommentMode::KeyTarget(int32_t from, uint32_t scan_code)
{
    if (from == -1)
        return 0;
    const bool up = scan_code == SCAN_UP;
    const bool down = scan_code == SCAN_DOWN;
    const bool left = scan_code == SCAN_LEFT;
    const bool right = scan_code == SCAN_RIGHT;
    if (from >= 0 && from < COMMENT_ENTRIES) {
        if (up)
            return from > 0 ? from - 1 : from;
        if (down)
            return from < COMMENT_ENTRIES - 1 ? from + 1 : COMMENT_UNLOCK;
        return left ? COMMENT_MODE_FIRST : from;
    }
    if (from >= COMMENT_MODE_FIRST && from <= COMMENT_LABEL) {
        if (up)
            return from > COMMENT_MODE_FIRST ? from - 1 : from;
        if (down)
            return from < COMMENT_LABEL ? from + 1 : COMMENT_BACK;
        return right ? 0 : from;
    }
    if (from == COMMENT_BACK)
        return up ? COMMENT_LABEL : right ? COMMENT_UNLOCK : from;
    if (from == COMMENT_UNLOCK)
        return up ? COMMENT_ENTRIES - 1 : left ? COMMENT_BACK : from;
    return from;
}

int32_t CCommentMode::OnArrowKey(uint32_t scan_code)
{
    const int32_t target = KeyTarget(HoverId, scan_code);
    return StepCursorTo(target != HoverId || HoverId == -1 ? target : -1, scan_code);
}

void CCommentMode::Show()
{
    if (!IsComplete())
        return;
    FadeSprites({m_tabs[0].get(), m_tabs[1].get(), m_tabs[2].get(), m_tabs[3].get(), m_base.get(),
                 m_page.get(), m_unlock.get()},
                FADE_STEPS, true);
    RedrawFrameNow();
}

void CCommentMode::Hide()
{
    if (!IsComplete() || m_base->IsVisible() == 0)
        return;
    SpriteAnimRecord record(FADE_STEPS);
    record.SetAlpha(0xFF, 0x00);
    CSpriteAnime anime;
    for (CSpriteLayer* sprite : {m_base.get(), m_page.get(), m_unlock.get()}) {
        sprite->AddAnimation(record);
        anime.AddSprite(sprite);
    }
    for (const auto& tab : m_tabs) {
        tab->AddAnimation(record);
        anime.AddSprite(tab.get());
    }
    CloseTransition(anime);
    m_base->SetVisibleFlag(0);
}
