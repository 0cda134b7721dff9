#include "screens/map/CComment.h"

#include <array>

#include "foundation/ConfigSettings.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/ILayer.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/base/ScreenWork.h"
#include "screens/map/ModalScreenSprites.h"

namespace {

constexpr std::array<const char*, DIARY_SHEET_COUNT> DIARY_SHEETS{
    "diary00.akb", "diary00.akb", "diary00.akb", "diary01.akb", "diary02.akb", "diary03.akb"};
constexpr int32_t PAGE_PRIORITY = 91;
constexpr int32_t BUTTON_PRIORITY = 92;
constexpr uint32_t DIM_COLOUR = 0x7F000000;
constexpr int32_t PAGE_X = 210;
constexpr int32_t PAGE_Y = 40;
constexpr int32_t PAGE_WIDTH = 1500;
constexpr int32_t PAGE_HEIGHT = 1000;
constexpr int32_t CLOSE_X = 1642;
constexpr int32_t CLOSE_Y = 928;
constexpr int32_t CLOSE_SHEET_X = 888;
constexpr int32_t CLOSE_WIDTH = 219;
constexpr int32_t CLOSE_HEIGHT = 126;
constexpr int32_t FADE_STEPS = 12;

} // namespace

CComment::CComment() = default;

CComment::~CComment()
{
    GameWork->RemoveActiveScreen(this);
}

const char* CComment::SheetName(int32_t index)
{
    return index >= 0 && index < DIARY_SHEET_COUNT ? DIARY_SHEETS[static_cast<size_t>(index)] : nullptr;
}

bool CComment::Setup(int32_t index)
{
    const char* name = SheetName(index);
    if (name == nullptr)
        return false;
    const auto load = [this](const CStringUTF8& file) {
        return std::unique_ptr<CSprite>(
            LoadSprite(file, nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    };
    m_button_sheet = load("cgscenemode_p.akb");
    if (!m_button_sheet)
        return false;
    m_diary_sheet = load(MakeLanguageFileName(name));
    if (!m_diary_sheet)
        return false;
    const SIZE screen = GetScreenOriginalSize(0);
    m_page = OwnedTexture(CreateSprite(0, 0, screen.cx, screen.cy, PAGE_PRIORITY, LAYER_KIND_TEXTURE, 0));
    if (!m_page)
        return false;
    m_button = OwnedTexture(CreateSprite(0, 0, screen.cx, screen.cy, BUTTON_PRIORITY, LAYER_KIND_TEXTURE, 0));
    if (!m_button)
        return false;
    SheetIndex = index;
    {
        LiveDrawLock lock;
        ILayer* page = SpriteLayerOf(m_page.get());
        page->FillRect(0, 0, screen.cx, screen.cy, DIM_COLOUR, 1);
        page->BltOver(PAGE_X, PAGE_Y, PAGE_WIDTH, PAGE_HEIGHT, SpriteLayerOf(m_diary_sheet.get()), 0, 0);
    }
    DrawButton(0, 0, 0);
    m_diary_sheet.reset();
    return true;
}

void CComment::Fade(bool appear)
{
    if (IsComplete())
        FadeSprites({m_page.get(), m_button.get()}, FADE_STEPS, appear);
}

void CComment::Show()
{
    Fade(true);
}

void CComment::Hide()
{
    Fade(false);
}

void CComment::OnClose()
{
    Hide();
}

void CComment::OnOpen()
{
    Running = 1;
    HoverId = -1;
    HitAreas.Load("comment.area");
    Show();
}

void CComment::DrawButton(int32_t id, int32_t visual, int32_t present)
{
    if (id >= 0 && id / 256 == 0 && IsComplete()) {
        LiveDrawLock lock;
        SpriteLayerOf(m_button.get())
            ->Blt(CLOSE_X, CLOSE_Y, CLOSE_WIDTH, CLOSE_HEIGHT, SpriteLayerOf(m_button_sheet.get()),
                  CLOSE_SHEET_X, visual * CLOSE_HEIGHT, 1);
    }
    if (present != 0)
        RedrawFrameNow();
}

void CComment::Update()
{
    const int32_t id = HitTestCursor();
    if (id == HoverId)
        return;
    if (HoverId != -1)
        DrawButton(HoverId, 0, 1);
    HoverId = id;
    if (HoverId != -1)
        DrawButton(HoverId, 1, 1);
}

void CComment::OnDecide()
{
    if (HoverId < 0 || HoverId / 256 != 0)
        return;
    PlayOkSound(SCREEN_SOUND_CHANNEL);
    DrawButton(HoverId, 2, 1);
    ISelect::OnDecide();
    DrawButton(HoverId, 0, 1);
    Result = ScriptValue::FromInteger(0);
    Running = 0;
}

void CComment::OnCancel()
{
    PlayCancelSound(SCREEN_SOUND_CHANNEL);
    Running = 0;
    Result = ScriptValue::FromInteger(0);
    ISelect::OnCancel();
}

int32_t CComment::OnArrowKey(uint32_t scan_code)
{
    HitAreas.MoveCursorToArea(0);
    Update();
    WaitInputRelease(scan_code);
    return 0;
}
