#include "screens/base/CMiniDialog.h"

#include <array>

#include "graphics/CLayerFile.h"
#include "graphics/CSpriteContainer.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"

namespace {

inline constexpr uint32_t DIM_COLOUR = 0x7F000000;
inline constexpr int32_t PANEL_X = 520;
inline constexpr int32_t PANEL_WIDTH = 880;
inline constexpr int32_t MESSAGE_X = 558;
inline constexpr int32_t MESSAGE_WIDTH = 805;
inline constexpr int32_t MESSAGE_SOURCE_X = 880;
inline constexpr int32_t LINE_HEIGHT = 88;
inline constexpr int32_t BUTTON_X = 849;
inline constexpr int32_t BUTTON_Y = 560;
inline constexpr int32_t BUTTON_WIDTH = 222;
inline constexpr int32_t BUTTON_HEIGHT = 73;
inline constexpr int32_t BUTTON_SOURCE_X = 1686;
inline constexpr int32_t BUTTON_SOURCE_Y = 585;

struct Layout
{
    int32_t panel_source_y, panel_height, panel_y;
    int32_t message_source_y, message_height, message_y;
};

// Kinds 0 to 4; kind 4 takes its message from the second picture.
constexpr std::array<Layout, 5> LAYOUTS{{{660, 210, 455, 1360, 88, 464},
                                         {870, 250, 415, 1448, 106, 444},
                                         {1120, 310, 355, 1554, 106, 394},
                                         {1120, 310, 355, 1660, 166, 384},
                                         {660, 210, 455, 1448, 88, 464}}};
constexpr int32_t KIND_2_NOTE_SOURCE_Y = 1408;
constexpr int32_t KIND_2_NOTE_HEIGHT = 40;
constexpr int32_t KIND_2_NOTE_Y = 501;

CSpriteLayer* AsLayer(const std::unique_ptr<CSprite>& sprite)
{
    return dynamic_cast<CSpriteLayer*>(sprite.get());
}

} // namespace

CMiniDialog::CMiniDialog()
{
    Simple = 1;
    Result = ScriptValue::FromInteger(MINI_DIALOG_ANSWER);
}

CMiniDialog::~CMiniDialog() = default;

CSpriteLayer* CMiniDialog::SecondPicture()
{
    if (!SecondPictureSprite)
        SecondPictureSprite.reset(
            LoadSprite("dialog_p2.akb", nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    return AsLayer(SecondPictureSprite);
}

int32_t CMiniDialog::Setup(int32_t kind, int32_t depth)
{
    Kind = kind;
    Depth = depth;
    BaseSprite.reset();
    DimLayer.reset();
    SecondPictureSprite.reset();
    PictureSprite.reset(LoadSprite("dialog_p.akb", nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    // Without its picture the notice has no button to close it by: a dead end, not a notice.
    if (AsLayer(PictureSprite) == nullptr)
        return -1;

    std::unique_ptr<CSprite> sprite(CreateSpriteOfType(0, 0, 1920, 1080, depth + 1, LAYER_KIND_MEMORY));
    auto* layer = dynamic_cast<CSpriteLayer*>(sprite.get());
    if (layer == nullptr || layer->GetBits() == nullptr)
        return -1;
    sprite.release();
    DimLayer.reset(layer);
    auto base = std::make_unique<CSpriteContainer>();
    base->Create(nullptr, 0.0f, 0.0f, RECT{0, 0, 1920, 1080}, depth + 1, 0);
    BaseSprite = std::move(base);
    BaseSprite->AddSprite(layer);
    layer->SetAlpha(255);
    layer->SetVisibleFlag(1);
    layer->FillRect(0, 0, 1920, 1080, DIM_COLOUR, 1);

    Panel panel;
    if (CSpriteLayer* picture = AsLayer(PictureSprite); picture != nullptr && FindPanel(panel))
        layer->BltOver(PANEL_X, panel.y, PANEL_WIDTH, panel.height, picture, 0, panel.source_y);
    DrawMessage();

    HitAreas.Load("dialog3.area");
    DrawButton(0);
    layer->Invalidate(1, *layer->GetRect());
    return 1;
}

bool CMiniDialog::FindPanel(Panel& panel) const
{
    if (Kind < 0 || Kind >= static_cast<int32_t>(LAYOUTS.size()))
        return false;
    const Layout& layout = LAYOUTS[static_cast<size_t>(Kind)];
    panel = {layout.panel_source_y, layout.panel_height, layout.panel_y};
    return true;
}

void CMiniDialog::DrawMessage()
{
    if (Kind < 0 || Kind >= static_cast<int32_t>(LAYOUTS.size()))
        return;
    const Layout& layout = LAYOUTS[static_cast<size_t>(Kind)];
    CSpriteLayer* layer = DimLayer.get();
    if (Kind == 4) {
        if (CSpriteLayer* second = SecondPicture())
            layer->BltOver(MESSAGE_X, layout.message_y, MESSAGE_WIDTH, layout.message_height, second, 0,
                           layout.message_source_y);
        return;
    }
    if (CSpriteLayer* picture = AsLayer(PictureSprite))
        layer->BltOver(MESSAGE_X, layout.message_y, MESSAGE_WIDTH, layout.message_height, picture,
                       MESSAGE_SOURCE_X, layout.message_source_y);
    if (Kind == 2)
        if (CSpriteLayer* second = SecondPicture())
            layer->BltOver(MESSAGE_X, KIND_2_NOTE_Y, MESSAGE_WIDTH, KIND_2_NOTE_HEIGHT, second, 0,
                           KIND_2_NOTE_SOURCE_Y);
}

bool CMiniDialog2::FindPanel(Panel& panel) const
{
    panel = {LAYOUTS[0].panel_source_y, LAYOUTS[0].panel_height, LAYOUTS[0].panel_y};
    return true;
}

void CMiniDialog2::DrawMessage()
{
    CSpriteLayer* second = SecondPicture();
    if (second == nullptr)
        return;
    // A line number outside the picture (negative, or far enough to overflow) shows no message.
    const int64_t source_y = static_cast<int64_t>(Kind) * LINE_HEIGHT;
    if (Kind < 0 || source_y + LINE_HEIGHT > second->GetHeight())
        return;
    DimLayer->BltOver(MESSAGE_X, LAYOUTS[0].message_y, MESSAGE_WIDTH, LINE_HEIGHT, second, 0,
                      static_cast<int32_t>(source_y));
}

void CMiniDialog::DrawButton(int32_t state)
{
    CSpriteLayer* layer = DimLayer.get();
    CSpriteLayer* picture = AsLayer(PictureSprite);
    if (layer == nullptr || picture == nullptr)
        return;
    layer->FillRect(BUTTON_X, BUTTON_Y, BUTTON_WIDTH, BUTTON_HEIGHT, DIM_COLOUR, 1);
    Panel panel;
    if (FindPanel(panel))
        layer->BltOver(BUTTON_X, BUTTON_Y, BUTTON_WIDTH, BUTTON_HEIGHT, picture, BUTTON_X - PANEL_X,
                       panel.source_y + BUTTON_Y - panel.y);
    layer->BltOver(BUTTON_X, BUTTON_Y, BUTTON_WIDTH, BUTTON_HEIGHT, picture, BUTTON_SOURCE_X,
                   BUTTON_SOURCE_Y + BUTTON_HEIGHT * state);
    layer->Invalidate(1, RECT{BUTTON_X, BUTTON_Y, BUTTON_X + BUTTON_WIDTH, BUTTON_Y + BUTTON_HEIGHT});
}

void CMiniDialog::DrawControl(int32_t state)
{
    if (Hover != MINI_DIALOG_OK)
        return;
    {
        LiveDrawLock lock;
        DrawButton(state);
    }
    RedrawFrameNow();
}

void CMiniDialog::OnDecide()
{
    if (Hover != MINI_DIALOG_OK)
        return;
    PlayOkSound(SCREEN_SOUND_CHANNEL);
    Result = ScriptValue::FromInteger(MINI_DIALOG_ANSWER);
    Running = 0;
    DrawControl(2);
    ISelect::OnDecide();
}

int32_t CMiniDialog::PointAtButton(uint32_t scan_code)
{
    HitAreas.MoveCursorToArea(MINI_DIALOG_OK);
    Update();
    WaitInputRelease(scan_code);
    return 0;
}

int32_t CMiniDialog::OnUpKey()
{
    return PointAtButton(SCAN_UP);
}

int32_t CMiniDialog::OnDownKey()
{
    return PointAtButton(SCAN_DOWN);
}

int32_t CMiniDialog::OnLeftKey()
{
    return PointAtButton(SCAN_LEFT);
}

int32_t CMiniDialog::OnRightKey()
{
    return PointAtButton(SCAN_RIGHT);
}
