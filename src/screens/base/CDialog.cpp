#include "screens/base/CDialog.h"

#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/IMouse.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteContainer.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "screens/base/ScreenWork.h"

namespace {

inline constexpr int32_t PANEL_WIDTH = 880;
inline constexpr int32_t PANEL_X = 520;
inline constexpr int32_t SIMPLE_Y = 415;
inline constexpr int32_t SIMPLE_HEIGHT = 250;
inline constexpr int32_t BOX_LAYOUT_Y = 375;
inline constexpr int32_t BOX_LAYOUT_HEIGHT = 330;
inline constexpr int32_t LINE_WIDTH = 805;
inline constexpr int32_t LINE_HEIGHT = 106;
inline constexpr int32_t LINE_SOURCE_X = 880;
inline constexpr int32_t KIND_12_LINE_Y = 1825;
inline constexpr int32_t BUTTON_WIDTH = 222;
inline constexpr int32_t BUTTON_HEIGHT = 73;
inline constexpr int32_t BUTTON_SOURCE_X = 1685;
inline constexpr int32_t YES_X = 198;
inline constexpr int32_t NO_X = 459;
inline constexpr int32_t BUTTON_Y = 145;
inline constexpr int32_t BOX_SIZE = 44;
inline constexpr int32_t BOX_SOURCE_X = 54;
inline constexpr int32_t BOX_SOURCE_Y = 1430;
inline constexpr int32_t BOX_X = 507;
inline constexpr int32_t BOX_Y = 249;
inline constexpr int32_t BOX_TICKED_STATE = 3;
inline constexpr uint32_t DIM_COLOUR = 0x7F000000;
inline constexpr int32_t FADE_STEPS = 12;

std::unique_ptr<CSpriteLayer> MakeLayer(int32_t x, int32_t y, int32_t width, int32_t height, int32_t priority)
{
    std::unique_ptr<CSprite> sprite(CreateSpriteOfType(x, y, width, height, priority, LAYER_KIND_MEMORY));
    auto* layer = dynamic_cast<CSpriteLayer*>(sprite.get());
    if (layer == nullptr || layer->GetBits() == nullptr)
        return nullptr;
    sprite.release();
    return std::unique_ptr<CSpriteLayer>(layer);
}

void MarkDrawn(CSpriteLayer& layer)
{
    layer.Invalidate(1, *layer.GetRect());
}

} // namespace

CDialog::CDialog() = default;

CDialog::~CDialog()
{
    GameWork->RemoveActiveScreen(this);
    ReleaseParts();
}

void CDialog::ReleaseParts()
{
    BaseSprite.reset();
    DimLayer.reset();
    PanelLayer.reset();
    ButtonLayer.reset();
    PictureSprite.reset();
}

bool CDialog::BoxTicked() const
{
    return !GetConfigDialogEnable(DIALOG_NUMBERS[static_cast<size_t>(Kind)]);
}

int32_t CDialog::Setup(int32_t kind, int32_t depth)
{
    if (kind < 0 || kind >= DIALOG_KIND_COUNT)
        return -1;
    if (kind == 9 || kind == 10) {
        Simple = 1;
    } else {
        if (!GetConfigDialogEnable(DIALOG_NUMBERS[static_cast<size_t>(kind)]))
            return 0;
        Simple = kind == 12 ? 1 : 0;
    }
    Kind = kind;
    Depth = depth;
    ReleaseParts();

    auto base = std::make_unique<CSpriteContainer>();
    base->Create(nullptr, 0.0f, 0.0f, RECT{0, 0, 1920, 1080}, depth + 1, 0);
    PictureSprite.reset(LoadSprite("dialog_p.akb", nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    auto* picture = dynamic_cast<CSpriteLayer*>(PictureSprite.get());
    const int32_t top = Simple ? SIMPLE_Y : BOX_LAYOUT_Y;
    const int32_t height = Simple ? SIMPLE_HEIGHT : BOX_LAYOUT_HEIGHT;
    DimLayer = MakeLayer(0, 0, 1920, 1080, depth);
    PanelLayer = MakeLayer(PANEL_X, top, PANEL_WIDTH, height, depth + 1);
    ButtonLayer = MakeLayer(PANEL_X, top, PANEL_WIDTH, height, depth + 2);
    if (picture == nullptr || base->GetLayer() == nullptr || !DimLayer || !PanelLayer || !ButtonLayer) {
        ReleaseParts();
        return -1;
    }
    BaseSprite = std::move(base);

    for (CSpriteLayer* layer : {DimLayer.get(), PanelLayer.get(), ButtonLayer.get()}) {
        BaseSprite->AddSprite(layer);
        layer->SetAlpha(255);
        layer->SetVisibleFlag(1);
    }
    DimLayer->FillRect(0, 0, 1920, 1080, DIM_COLOUR, 1);
    PanelLayer->Blt(0, 0, PANEL_WIDTH, height, picture, 0, Simple ? 870 : 330, 1);
    const int32_t line_y = kind == 12 ? KIND_12_LINE_Y : kind * LINE_HEIGHT;
    PanelLayer->BltAlpha(38, Simple ? 29 : 19, LINE_WIDTH, LINE_HEIGHT, picture, LINE_SOURCE_X, line_y);
    DrawOne(DIALOG_YES, 0);
    DrawOne(DIALOG_NO, 0);
    if (!Simple)
        DrawOne(DIALOG_BOX, 0);
    for (CSpriteLayer* layer : {DimLayer.get(), PanelLayer.get()})
        MarkDrawn(*layer);

    HitAreas.Load(Simple ? "dialog2.area" : "dialog.area");
    return 1;
}

void CDialog::DrawOne(int32_t id, int32_t state)
{
    auto* picture = dynamic_cast<CSpriteLayer*>(PictureSprite.get());
    if (picture == nullptr || !ButtonLayer)
        return;
    switch (id) {
    case DIALOG_YES:
        ButtonLayer->Blt(YES_X, BUTTON_Y, BUTTON_WIDTH, BUTTON_HEIGHT, picture, BUTTON_SOURCE_X,
                         BUTTON_HEIGHT * state, 1);
        break;
    case DIALOG_NO:
        ButtonLayer->Blt(NO_X, BUTTON_Y, BUTTON_WIDTH, BUTTON_HEIGHT, picture, BUTTON_SOURCE_X,
                         BUTTON_HEIGHT * (state + 4), 1);
        break;
    case DIALOG_BOX:
        if (Simple)
            return;
        ButtonLayer->Blt(BOX_X, BOX_Y, BOX_SIZE, BOX_SIZE, picture, BOX_SOURCE_X,
                         BOX_SOURCE_Y + BOX_SIZE * (BoxTicked() ? BOX_TICKED_STATE : state), 1);
        break;
    default:
        return;
    }
    MarkDrawn(*ButtonLayer);
}

void CDialog::DrawControl(int32_t state)
{
    {
        LiveDrawLock lock;
        DrawOne(Hover, state);
    }
    RedrawFrameNow();
}

void CDialog::Show()
{
    if (!BaseSprite)
        return;
    CSpriteAnime anime;
    SpriteAnimRecord record(FADE_STEPS);
    record.SetVisible(1);
    record.SetAlpha(0x00, 0xFF);
    BaseSprite->AddAnimation(record);
    anime.AddSprite(BaseSprite.get());
    anime.PlayAndWait();
}

void CDialog::BuildParts(int32_t)
{
    ReleaseParts();
    if (Setup(Kind, Depth) == 1 && BaseSprite)
        BaseSprite->SetVisibleFlag(1);
}

void CDialog::OnClose()
{
    if (BaseSprite)
        BaseSprite->Hide();
    ISelect::OnClose();
}

void CDialog::OnOpen()
{
    if (IMouse* mouse = InputView->GetMouse()) {
        mouse->SetCursorShape(-1);
        mouse->ShowCursor(TRUE);
    }
    Running = 1;
    Hover = -1;
    Show();
}

void CDialog::Update()
{
    const int32_t hover = HitTestCursor();
    if (hover == Hover)
        return;
    DrawControl(0);
    Hover = hover;
    DrawControl(1);
}

void CDialog::OnDecide()
{
    switch (Hover) {
    case DIALOG_YES:
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        Result = ScriptValue::FromInteger(DIALOG_ANSWER_YES);
        Running = 0;
        DrawControl(2);
        ISelect::OnDecide();
        break;
    case DIALOG_NO:
        PlayCancelSound(SCREEN_SOUND_CHANNEL);
        Result = ScriptValue::FromInteger(DIALOG_ANSWER_NO);
        Running = 0;
        DrawControl(2);
        ISelect::OnDecide();
        break;
    case DIALOG_BOX:
        if (Simple)
            break;
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        {
            const int32_t number = DIALOG_NUMBERS[static_cast<size_t>(Kind)];
            SetConfigDialogEnable(number, GetConfigDialogEnable(number) ? 0 : 1);
        }
        DrawControl(2);
        ISelect::OnDecide();
        DrawControl(0);
        break;
    default:
        break;
    }
}

void CDialog::OnCancel()
{
    PlayCancelSound(SCREEN_SOUND_CHANNEL);
    Running = 0;
    Result = ScriptValue::FromInteger(DIALOG_ANSWER_CANCEL);
    ISelect::OnCancel();
}

int32_t CDialog::OnUpKey()
{
    int32_t target = -1;
    if (Hover == -1)
        target = DIALOG_YES;
    else if (Hover / 256 == 1)
        target = DIALOG_NO;
    return StepCursorTo(target, SCAN_UP);
}

int32_t CDialog::OnDownKey()
{
    int32_t target = -1;
    if (Hover == -1)
        target = DIALOG_YES;
    else if (!Simple && (Hover == DIALOG_YES || Hover == DIALOG_NO))
        target = DIALOG_BOX;
    return StepCursorTo(target, SCAN_DOWN);
}

int32_t CDialog::OnLeftKey()
{
    return StepCursorTo(DIALOG_YES, SCAN_LEFT);
}

int32_t CDialog::OnRightKey()
{
    return StepCursorTo(Hover == -1 || Hover == DIALOG_YES || Hover == DIALOG_NO ? DIALOG_NO : -1, SCAN_RIGHT);
}
