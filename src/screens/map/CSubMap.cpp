#include "screens/map/CSubMap.h"

#include "foundation/CInputView.h"
#include "foundation/CString.h"
#include "foundation/ConfigSettings.h"
#include "foundation/CreationFault.h"
#include "foundation/IMouse.h"
#include "foundation/ScreenSettings.h"
#include "game/presence/CPresence.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteContainer.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/base/ScreenWork.h"

namespace {

constexpr int32_t CONTAINER_PRIORITY = 90;
constexpr int32_t BACKGROUND_PRIORITY = 91;
constexpr int32_t PARTS_PRIORITY = 92;
constexpr int32_t ICON_PRIORITY = 93;
constexpr int32_t FADE_STEPS = 12;
constexpr int32_t SCREEN_WIDTH = 1920;
constexpr int32_t SCREEN_HEIGHT = 1080;
constexpr int32_t MARKER_CHARACTER = 26;
constexpr int32_t MARKER_CELL_X = 432;
constexpr int32_t MARKER_CELL_Y = 864;

void MarkDrawn(CSpriteLayer* layer)
{
    if (layer != nullptr)
        layer->Invalidate(1, *layer->GetRect());
}

} // namespace

CSubMap::CSubMap()
    : m_presence(std::make_unique<CPresence>())
{}

CSubMap::~CSubMap()
{
    Release();
}

void CSubMap::SetPresence(std::unique_ptr<CPresence> presence)
{
    m_presence = std::move(presence);
}

bool CSubMap::LoadIcons()
{
    if (!MakeLayers())
        return false;
    try {
        m_icon_sheet = LoadSheet("icon_p.akb");
    } catch (const CString&) {
        return false;
    }
    return m_icon_sheet != nullptr;
}

bool CSubMap::MakeLayers()
{
    // A named step, so that a test can make it fail as memory running out would.
    if (IsCreationFaultInjected("sub map layers"))
        return false;
    const SIZE size = GetScreenOriginalSize(0);
    auto container = std::make_unique<CSpriteContainer>();
    container->Create(nullptr, 0.0f, 0.0f, RECT{0, 0, size.cx, size.cy}, CONTAINER_PRIORITY, 0);
    if (container->GetLayer() == nullptr)
        return false;
    m_container = std::move(container);
    const auto make_layer = [&](int32_t priority) -> CSpriteLayer* {
        std::unique_ptr<CSprite> sprite(CreateSprite(0, 0, size.cx, size.cy, priority, LAYER_KIND_MEMORY, 0));
        auto* layer = dynamic_cast<CSpriteLayer*>(sprite.get());
        if (layer == nullptr || layer->GetBits() == nullptr)
            return nullptr;
        sprite.release();
        m_container->AddSprite(layer);
        layer->SetAlpha(255);
        layer->SetVisibleFlag(1);
        return layer;
    };
    m_background_layer.reset(make_layer(BACKGROUND_PRIORITY));
    m_parts_layer.reset(make_layer(PARTS_PRIORITY));
    m_icon_layer.reset(make_layer(ICON_PRIORITY));
    return m_background_layer && m_parts_layer && m_icon_layer;
}

void CSubMap::Release()
{
    GameWork->RemoveActiveScreen(this);
    m_background.reset();
    m_parts_sheet.reset();
    m_icon_sheet.reset();
    // The layers go before the container that lists them.
    m_background_layer.reset();
    m_parts_layer.reset();
    m_icon_layer.reset();
    m_container.reset();
}

ScriptValue* CSubMap::Run(ScriptValue* out)
{
    Kind = GetFlag(SUBMAP_KIND_FLAG) & 0xFF;
    return ISelect::Run(out);
}

void CSubMap::Fade(bool appear)
{
    if (!m_container)
        return;
    SpriteAnimRecord record(FADE_STEPS);
    record.SetVisible(appear ? 1 : 0);
    record.SetAlpha(appear ? 0x00 : 0xFF, appear ? 0xFF : 0x00);
    m_container->AddAnimation(record);
    CSpriteAnime anime;
    anime.AddSprite(m_container.get());
    anime.PlayAndWait();
}

void CSubMap::Show()
{
    Fade(true);
}

void CSubMap::Hide()
{
    Fade(false);
}

void CSubMap::BuildParts(int32_t)
{
    switch (Kind) {
    case 0:
        BuildFirstSubmap();
        break;
    case 1:
        BuildSecondSubmap();
        break;
    case 2:
        BuildSchoolFloor2();
        break;
    case 3:
    case 5:
        BuildSchoolFloor3();
        break;
    case 4:
        BuildSchoolFloor4();
        break;
    default:
        break;
    }
}

void CSubMap::OnClose()
{
    Hide();
    m_background.reset();
    m_parts_sheet.reset();
    // Each open draws the three layers whole again: hidden, their pixels go back to the system.
    ClearSpriteLayers({m_background_layer.get(), m_parts_layer.get(), m_icon_layer.get()});
    LiveDrawLock lock;
    if (m_container && m_container->GetLayer() != nullptr)
        m_container->GetLayer()->Clear();
}

void CSubMap::OnOpen()
{
    Running = 1;
    Hover = -1;
    ModeAtOpen = GetConfigGameMode();
    BuildParts(0);
    Show();
}

void CSubMap::BuildFirstSubmap()
{
    Build(SUBMAP_KIND_FIRST, 0);
}

void CSubMap::BuildSecondSubmap()
{
    Build(SUBMAP_KIND_SECOND, 0);
}

void CSubMap::BuildSchoolFloor2()
{
    Build(2, 2);
}

void CSubMap::BuildSchoolFloor3()
{
    Build(3, 3);
}

void CSubMap::BuildSchoolFloor4()
{
    Build(4, 4);
}

int32_t CSubMap::Ask(int32_t kind, uint32_t school_floor, int32_t place)
{
    const auto index = static_cast<uint32_t>(place);
    if (kind == SUBMAP_KIND_FIRST)
        return m_presence->WhoIsAtTownPlace(index);
    if (kind == SUBMAP_KIND_SECOND)
        return m_presence->WhoIsAtSubmapPlace(index);
    return m_presence->WhoIsAtSchoolPlace(school_floor, index);
}

void CSubMap::Build(int32_t kind, uint32_t school_floor)
{
    const SubMapKindLayout& layout = GetSubMapLayout(kind);
    HitAreas.Load(layout.AreaFile);
    // A previous build of another kind may have marked spots this kind does not have.
    Selectable.fill(0);
    {
        LiveDrawLock lock;
        m_background.reset();
        m_background.reset(LoadSprite(MakeLanguageFileName(layout.Background), nullptr, LAYER_KIND_MEMORY, 0,
                                      -1, nullptr, -1, -1, 0));
        if (m_background_layer) {
            if (ILayer* picture = SpriteLayerOf(m_background.get()))
                m_background_layer->Blt(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, picture, 0, 0, 1);
            m_background_layer->SetAlphaRect(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 255);
        }
        for (CSpriteLayer* layer : {m_parts_layer.get(), m_icon_layer.get()})
            if (layer != nullptr)
                layer->FillRect(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 1);
        m_parts_sheet.reset();
        m_parts_sheet.reset(LoadSprite(MakeLanguageFileName(layout.PartsSheet), nullptr, LAYER_KIND_MEMORY, 0,
                                       -1, nullptr, -1, -1, 0));
    }
    DrawSpot(SUBMAP_BACK_ITEM, 0, 0);

    if (kind == SUBMAP_KIND_FIRST) {
        const uint8_t choice = GetFlag(SUBMAP_SPOT19_FLAG);
        if (choice <= 1)
            m_spot19_sheet_y = SUBMAP_SPOT19_SHEET_Y[choice];
    }
    for (size_t k = 0; k < layout.Spots.size() && k < Selectable.size(); ++k) {
        SubMapSpot spot = layout.Spots[k];
        if (kind == SUBMAP_KIND_FIRST && static_cast<int32_t>(k) == SUBMAP_SPOT19_INDEX)
            spot.SheetY = m_spot19_sheet_y;
        Selectable[k] = 1;
        {
            LiveDrawLock lock;
            ILayer* sheet = SpriteLayerOf(m_parts_sheet.get());
            if (sheet != nullptr && m_background_layer)
                m_background_layer->BltOver(spot.X, spot.Y, spot.Width, spot.Height, sheet, spot.SheetX,
                                            spot.SheetY);
        }
        for (int32_t place : GetSubMapSpotPlaces(kind, static_cast<int32_t>(k))) {
            const int32_t who = Ask(kind, school_floor, place);
            if (who != -1 && static_cast<size_t>(place) < layout.Faces.size()) {
                const SubMapPoint face = layout.Faces[static_cast<size_t>(place)];
                DrawFaceIcon(face.X, face.Y, who);
            }
        }
    }
    LiveDrawLock lock;
    MarkDrawn(m_background_layer.get());
    MarkDrawn(m_parts_layer.get());
    MarkDrawn(m_icon_layer.get());
}

void CSubMap::DrawFaceIcon(int32_t x, int32_t y, int32_t character)
{
    if (GetConfigGameMode() != 1)
        return;
    ILayer* sheet = SpriteLayerOf(m_icon_sheet.get());
    if (sheet == nullptr || !m_icon_layer)
        return;
    const int32_t cell_x = character == MARKER_CHARACTER ? MARKER_CELL_X : character % 5 * SUBMAP_FACE_SIZE;
    const int32_t cell_y = character == MARKER_CHARACTER ? MARKER_CELL_Y : character / 5 * SUBMAP_FACE_SIZE;
    LiveDrawLock lock;
    m_icon_layer->BltOver(x, y, SUBMAP_FACE_SIZE, SUBMAP_FACE_SIZE, sheet, cell_x, cell_y);
    MarkDrawn(m_icon_layer.get());
}

bool CSubMap::IsSpot(int32_t item) const
{
    // Only the spots of the kind now built count; items of a longer table stay inert.
    const size_t count = GetSubMapLayout(Kind).Spots.size();
    return item >= 0 && static_cast<size_t>(item) < count && static_cast<size_t>(item) < Selectable.size() &&
           Selectable[static_cast<size_t>(item)] == 1;
}

void CSubMap::DrawSpot(int32_t id, int32_t state, int32_t present)
{
    if (id == -1)
        return;
    const int32_t item = id % 256;
    const SubMapKindLayout& layout = GetSubMapLayout(Kind);
    {
        LiveDrawLock lock;
        ILayer* sheet = SpriteLayerOf(m_parts_sheet.get());
        if (item == SUBMAP_BACK_ITEM) {
            CSpriteLayer* layer = layout.Back.OnIconLayer ? m_icon_layer.get() : m_parts_layer.get();
            if (sheet != nullptr && layer != nullptr) {
                layer->Blt(layout.Back.Screen.X, layout.Back.Screen.Y, SUBMAP_BACK_SIZE, SUBMAP_BACK_SIZE,
                           sheet, layout.Back.Sheet.X, layout.Back.Sheet.Y + SUBMAP_BACK_SIZE * state, 1);
                MarkDrawn(layer);
            }
        } else if (IsSpot(item) && m_parts_layer) {
            SubMapSpot spot = layout.Spots[static_cast<size_t>(item)];
            if (Kind == SUBMAP_KIND_FIRST && item == SUBMAP_SPOT19_INDEX)
                spot.SheetY = m_spot19_sheet_y;
            if (state == 0)
                m_parts_layer->FillRect(spot.X, spot.Y, spot.Width, spot.Height, 0, 1);
            else if (sheet != nullptr)
                m_parts_layer->Blt(spot.X, spot.Y, spot.Width, spot.Height, sheet, spot.SheetX,
                                   spot.SheetY + spot.Height * state, 1);
            MarkDrawn(m_parts_layer.get());
        }
    }
    if (present != 0)
        RedrawFrameNow();
}

void CSubMap::Update()
{
    const int32_t id = HitTestCursor();
    if (id != Hover) {
        if (Hover != -1)
            DrawSpot(Hover, 0, 1);
        Hover = id;
        if (Hover != -1)
            DrawSpot(Hover, 1, 1);
    }
    const int32_t mode = GetConfigGameMode();
    if (mode != ModeAtOpen) {
        Result = ScriptValue::FromInteger(-1);
        Running = 0;
        ModeAtOpen = mode;
    }
}

void CSubMap::OnDecide()
{
    if (Hover == -1)
        return;
    const int32_t item = Hover % 256;
    if (item == SUBMAP_BACK_ITEM || IsSpot(item)) {
        PlayOkSound(SCREEN_SOUND_CHANNEL);
        DrawSpot(Hover, 2, 1);
        ISelect::OnDecide();
        DrawSpot(Hover, 0, 1);
        Result = ScriptValue::FromInteger(item == SUBMAP_BACK_ITEM ? -1 : item);
        Running = 0;
    }
    ISelect::OnDecide();
}

void CSubMap::OnCancel()
{
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
    PlayCancelSound(SCREEN_SOUND_CHANNEL);
    ISelect::OnCancel();
    Result = ScriptValue::FromInteger(-1);
    Running = 0;
}

int32_t CSubMap::OnArrowKey(uint32_t scan_code)
{
    Update();
    WaitInputRelease(scan_code);
    return 0;
}
