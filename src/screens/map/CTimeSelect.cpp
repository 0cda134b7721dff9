#include "screens/map/CTimeSelect.h"

#include <array>

#include "foundation/ConfigSettings.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/base/ScreenWork.h"
#include "screens/map/CAreaSelect.h"
#include "screens/map/ModalScreenSprites.h"

namespace {

constexpr int32_t SCREEN_WIDTH = 1920;
constexpr int32_t SCREEN_HEIGHT = 1080;
constexpr int32_t BACKGROUND_PRIORITY = 81;
constexpr int32_t BUTTON_PRIORITY = 82;
constexpr int32_t FADE_STEPS = 12;

struct Piece
{
    int32_t X, Y, Width, Height, SheetX, SheetY;
};
constexpr Piece DIAL{590, 80, 740, 650, 576, 0};
constexpr Piece PANEL{688, 809, 544, 136, 0, 888};
constexpr Piece CAPTION{720, 833, 480, 80, 576, 650}; // sheet y + 80 x mode
constexpr int32_t CAPTION_STEP = 80;
constexpr int32_t NINTH_CAPTION_Y = 810;
constexpr Piece NINTH{732, 435, 456, 120, 1056, 650}; // sheet y + 120 x state
constexpr Piece BACK{1288, 670, 158, 158, 1316, 0};   // sheet y + 158 x state

// Targets by hovered id (0..7, then back) and direction (up, down, left, right); -1 stays.
constexpr int32_t B = TIME_ID_BACK;
constexpr std::array<std::array<int32_t, 4>, 9> ARROWS{{
    {0, 1, 7, 1},
    {0, 2, 0, 2},
    {1, 3, 1, B},
    {2, 4, 4, B},
    {5, 4, 5, 3},
    {6, 4, 6, 4},
    {7, 5, 6, 7},
    {0, 6, 6, 0},
    {2, -1, 3, 3},
}};

void Copy(ILayer* target, ILayer* sheet, const Piece& piece, int32_t sheet_y, bool over)
{
    if (target == nullptr || sheet == nullptr)
        return;
    if (over)
        target->BltOver(piece.X, piece.Y, piece.Width, piece.Height, sheet, piece.SheetX, sheet_y);
    else
        target->Blt(piece.X, piece.Y, piece.Width, piece.Height, sheet, piece.SheetX, sheet_y, 1);
}

} // namespace

CTimeSelect::~CTimeSelect()
{
    if (GameWork != nullptr)
        GameWork->RemoveActiveScreen(this);
    m_sheet.reset();
    m_background.reset();
    m_buttons.reset();
}

void CTimeSelect::LoadSheet()
{
    m_sheet.reset(LoadSprite(MakeLanguageFileName("time_p.akb"), nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr,
                             -1, -1, 0));
}

bool CTimeSelect::Setup()
{
    LoadSheet();
    if (!m_sheet)
        return false;
    m_background = OwnedTexture(
        CreateSprite(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, BACKGROUND_PRIORITY, LAYER_KIND_TEXTURE, 0));
    m_buttons =
        OwnedTexture(CreateSprite(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, BUTTON_PRIORITY, LAYER_KIND_TEXTURE, 0));
    return m_background != nullptr && m_buttons != nullptr;
}

ScriptValue* CTimeSelect::RunWithMode(ScriptValue* out, int32_t mode)
{
    Mode = mode;
    return Run(out);
}

void CTimeSelect::DrawButton(int32_t id, int32_t state, int32_t present)
{
    if (id == -1)
        return;
    const int32_t item = id % 256;
    {
        LiveDrawLock lock;
        ILayer* sheet = SpriteLayerOf(m_sheet.get());
        ILayer* buttons = SpriteLayerOf(m_buttons.get());
        if (id / 256 == 1) {
            Copy(buttons, sheet, BACK, BACK.SheetY + BACK.Height * state, false);
        } else if (id / 256 == 0 && item == TIME_ID_NINTH) {
            if (Mode == TIME_NINTH_MODE)
                Copy(buttons, sheet, NINTH, NINTH.SheetY + NINTH.Height * state, false);
        } else if (id / 256 == 0 && item < TIME_RING_COUNT) {
            const TimeRingPosition at = TIME_RING_POSITIONS[item];
            const Piece ring{at.X, at.Y, TIME_RING_WIDTH, TIME_RING_HEIGHT, (item % 4) * TIME_RING_WIDTH, 0};
            Copy(buttons, sheet, ring, (state + (item / 4) * 3) * TIME_RING_HEIGHT, false);
        }
    }
    if (present != 0)
        RedrawFrameNow();
}

void CTimeSelect::DrawScreen()
{
    {
        LiveDrawLock lock;
        ILayer* sheet = SpriteLayerOf(m_sheet.get());
        ILayer* background = SpriteLayerOf(m_background.get());
        for (ILayer* layer : {background, SpriteLayerOf(m_buttons.get())})
            if (layer != nullptr)
                layer->FillRect(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 1);
        Copy(background, sheet, DIAL, DIAL.SheetY, false);
        Copy(background, sheet, PANEL, PANEL.SheetY, false);
        const int32_t caption_y =
            Mode == TIME_NINTH_MODE ? NINTH_CAPTION_Y : CAPTION.SheetY + CAPTION_STEP * Mode;
        Copy(background, sheet, CAPTION, caption_y, true);
    }
    if (Mode == TIME_NINTH_MODE)
        DrawButton(TIME_ID_NINTH, 0, 0);
    for (int32_t item = 0; item < TIME_RING_COUNT; ++item)
        DrawButton(item, 0, 0);
    DrawButton(TIME_ID_BACK, 0, 0);
}

void CTimeSelect::Fade(bool appear)
{
    if (m_background && m_buttons)
        FadeSprites({m_background.get(), m_buttons.get()}, FADE_STEPS, appear);
}

void CTimeSelect::Show()
{
    Fade(true);
}

void CTimeSelect::Hide()
{
    Fade(false);
}

void CTimeSelect::BuildParts(int32_t)
{
    m_sheet.reset();
    LoadSheet();
    if (m_sheet)
        DrawScreen();
}

void CTimeSelect::OnOpen()
{
    Running = 1;
    Hover = -1;
    DrawScreen();
    Show();
    HitAreas.Load("TimeSelect.area");
}

void CTimeSelect::Update()
{
    const int32_t id = HitTestCursor();
    if (id == Hover)
        return;
    if (Hover != -1)
        DrawButton(Hover, 0, 1);
    Hover = id;
    if (Hover != -1)
        DrawButton(Hover, 1, 1);
}

void CTimeSelect::OnDecide()
{
    if (Hover == -1)
        return;
    const bool back = Hover / 256 == 1;
    const int32_t item = Hover % 256;
    if (!back && item == TIME_ID_NINTH && Mode != TIME_NINTH_MODE)
        return;
    PlayOkSound(SCREEN_SOUND_CHANNEL);
    DrawButton(Hover, 2, 1);
    ISelect::OnDecide();
    DrawButton(Hover, 0, 1);
    Result = ScriptValue::FromInteger(back ? 0 : item + 1);
    Running = 0;
    ISelect::OnDecide();
}

void CTimeSelect::OnCancel()
{
    CancelAreaScreen(*this);
}

int32_t CTimeSelect::ArrowTarget(int32_t direction) const
{
    if (Hover == -1)
        return 0;
    const int32_t row = Hover == TIME_ID_BACK ? 8 : Hover;
    if (row < 0 || row > 8 || Hover == TIME_ID_NINTH)
        return -1;
    return ARROWS[static_cast<size_t>(row)][static_cast<size_t>(direction)];
}

int32_t CTimeSelect::MoveByArrow(int32_t direction, uint32_t scan_code)
{
    return StepCursorTo(ArrowTarget(direction), scan_code);
}
