#include <algorithm>

#include "foundation/CExecException.h"
#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/IKeyboard.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/EffectClock.h"
#include "graphics/SpriteLayerOf.h"
#include "graphics/SpriteLayerRegistry.h"
#include "screens/base/ScreenWork.h"
#include "screens/map/CCps.h"
#include "script/FlagBuffer.h"

namespace {

constexpr int32_t LAST_SUB_COMMAND = 34;
constexpr uint32_t MOVER_FLAG_BASE = 7091;
constexpr uint32_t CAMERA_X_FLAG = 7097;
constexpr uint32_t CAMERA_Y_FLAG = 7098;
constexpr size_t VALUE_DIRECTION = 3;
constexpr size_t VALUE_ANSWER = 18;
constexpr size_t VALUE_MOVER_X = 23;
constexpr size_t VALUE_MOVER_Y = 24;
constexpr uint8_t WALK_ACTIVE = 255;
constexpr uint8_t STATE_INACTIVE = 255;
constexpr uint8_t OPCODE_PATH = 13;
constexpr uint8_t OPCODE_PATH_ALWAYS = 15;
constexpr uint16_t SHORTCUT_STEPS = 20;
constexpr int32_t MIN_OVERLAY_HEIGHT = 1120;
constexpr uint32_t SKIP_MODE = 0x4000;
constexpr uint32_t SHIFT_KEYS[] = {42, 54, 29, 157};
const char* const RAIL_PICTURES[] = {"senro_1.akb", "senro_2.akb", "senro_3.akb"};

} // namespace

// Pops in the order the script pushed them last-first, then checks: a bad index must still leave
// the stack as a good one does.
void CCps::ExecCommand(CScript&)
{
    ScriptValue value;
    const auto pop = [&] { return PopValue(&value)->Integer; };
    const auto pop_text = [&] { return PopValue(&value)->Text; };
    const int32_t sub = pop();
    if (sub < 0 || sub > LAST_SUB_COMMAND)
        return;
    switch (sub) {
    case 0:
        LoadWalkMap(pop_text());
        break;
    case 1: {
        const int32_t point = pop(), i = pop(), facing = pop();
        PlaceFromViewPoint(point, i, facing);
        break;
    }
    case 2:
        BuildViewCells();
        break;
    case 3:
        ClearDrawCache();
        break;
    case 4:
        LoadMovers(pop_text());
        break;
    case 5: {
        const int32_t i = pop(), program = pop();
        StartProgram(i, program);
        break;
    }
    case 6:
        ComposeMovers();
        break;
    case 7: {
        const int32_t i = pop(), state = pop();
        if (MapMover mover = ScriptMover(i); mover.Bytes() != nullptr)
            mover.SetState(static_cast<uint8_t>(state));
        break;
    }
    case 8:
        Answer(RunFrame());
        break;
    case 9:
        Answer(StepMovers());
        break;
    case 10: {
        CFadeSprite* fade = Document != nullptr ? GetSpriteLayerRegistry().GetFadeSprite() : nullptr;
        if (CSpriteLayer* layer = FindSpriteLayer(fade != nullptr && fade->IsVisible() ? 0 : 6))
            DrawMap(layer);
        break;
    }
    case 11:
        RedrawMap();
        break;
    case 12: {
        const CStringUTF8 name = pop_text();
        LoadEventAreas(name, static_cast<uint32_t>(pop()));
        break;
    }
    case 13:
        Answer(CheckEventAreas());
        break;
    case 14: {
        const int32_t i = pop(), way = pop();
        MapMover mover = ScriptMover(i);
        if (mover.Bytes() == nullptr)
            break;
        uint16_t (CCps::*const steps[])(MapMover, int32_t) = {&CCps::StepUp, &CCps::StepDown, &CCps::StepLeft,
                                                               &CCps::StepRight};
        if (way >= 0 && way < 4)
            (this->*steps[way])(mover, 1);
        AppendTrail(mover);
        Answer(0);
        break;
    }
    case 15: {
        const int32_t k = pop(), x = pop(), y = pop();
        StartWalk(k, x, y);
        break;
    }
    case 16:
        EndWalk();
        break;
    case 17:
        Answer(WalkEndRestore.Armed != 0 ? 0xFFFF : 0);
        break;
    case 18:
        if (MapMover mover = ScriptMover(pop()); mover.Bytes() != nullptr) {
            SetValue(VALUE_MOVER_X, mover.X());
            SetValue(VALUE_MOVER_Y, mover.Y());
        }
        break;
    case 20: {
        const int32_t i = pop(), n = pop();
        MapMover mover = ScriptMover(i);
        if (mover.Bytes() == nullptr)
            break;
        const int32_t ring = static_cast<int32_t>(MAP_TRAIL_LENGTH);
        const TrailEntry& entry = TrailRing[static_cast<size_t>(((TrailHead - 1 - 2 * n) % ring + ring) % ring)];
        PlaceMover(i, entry);
        break;
    }
    case 21:
        if (MapMover mover = ScriptMover(pop()); mover.Bytes() != nullptr && PathLength >= SHORTCUT_STEPS) {
            PathLength = static_cast<uint16_t>(PathLength - SHORTCUT_STEPS);
            mover.SetOpcode(OPCODE_PATH_ALWAYS);
        }
        break;
    case 22: {
        const int32_t k = pop(), facing = pop();
        if (MapMover mover = ScriptMover(k); mover.Bytes() != nullptr)
            mover.SetFacing(static_cast<uint8_t>(facing << 4));
        break;
    }
    case 25: {
        const CStringUTF8 name = pop_text();
        LoadPictureSlot(name, pop());
        break;
    }
    case 26:
        WaitForNextStep();
        break;
    case 27:
        LoadMapPicture(pop_text());
        break;
    case 28:
        LoadOverlayPicture(pop_text());
        break;
    case 29:
        DrawMode = pop();
        break;
    case 30:
        PushValue(*Run(&value));
        break;
    case 31:
        PlaceFromFlags(pop());
        break;
    case 32:
        if (PresenceOverlay)
            DrawSubmapPresenceIcons(PresenceOverlay.get());
        break;
    case 33:
        PushValue(ScriptValue::FromInteger(GameWork->SuspendGameCursor()));
        break;
    case 34:
        ReleaseMapData();
        break;
    default: // 19, 23 and 24 take nothing and do nothing
        break;
    }
}

MapMover CCps::ScriptMover(int32_t i) const
{
    return i >= 0 && static_cast<uint32_t>(i) < MoverCount ? MoverAt(static_cast<size_t>(i)) : MapMover(nullptr);
}

void CCps::Answer(uint32_t answer)
{
    SetValue(VALUE_ANSWER, answer);
}

void CCps::SetValue(size_t index, uint32_t value)
{
    if (FlagBuffer* state = CurrentFlagBuffer(); state != nullptr && state->Values.size() > index)
        state->Values[index] = ScriptValue::FromInteger(static_cast<int32_t>(value));
}

void CCps::PlaceMover(int32_t i, const TrailEntry& at)
{
    MapMover mover = ScriptMover(i);
    if (mover.Bytes() == nullptr)
        return;
    mover.SetX(at.X);
    mover.SetY(at.Y);
    mover.SetFacing(at.Facing);
    const uint32_t flag = MOVER_FLAG_BASE + 3 * static_cast<uint32_t>(i);
    SetFlag(flag, static_cast<uint8_t>(at.X));
    SetFlag(flag + 1, static_cast<uint8_t>(at.Y));
    SetFlag(flag + 2, at.Facing);
}

void CCps::ClampCamera()
{
    if (Camera.CamX + Camera.ViewWidth >= Camera.MapWidth)
        Camera.CamX = Camera.MapWidth - Camera.ViewWidth;
    if (Camera.CamY + Camera.ViewHeight >= Camera.MapHeight)
        Camera.CamY = Camera.MapHeight - Camera.ViewHeight;
    // A map smaller than the view starts at its first cell, never before it.
    Camera.CamX = std::max(Camera.CamX, 0);
    Camera.CamY = std::max(Camera.CamY, 0);
}

void CCps::PlaceFromViewPoint(int32_t point, int32_t i, int32_t facing)
{
    const size_t at = size_t{MoveProgramData.Header(2)} + 4 * static_cast<size_t>(point);
    if (point < 0 || MoveProgramData.Bytes.size() < 8 || at + 4 > MoveProgramData.Bytes.size() ||
        ScriptMover(i).Bytes() == nullptr)
        return;
    const uint8_t* bytes = MoveProgramData.Bytes.data() + at;
    Camera.CamX = bytes[0];
    Camera.CamY = bytes[1];
    ClampCamera();
    SetFlag(CAMERA_X_FLAG, static_cast<uint8_t>(Camera.CamX));
    SetFlag(CAMERA_Y_FLAG, static_cast<uint8_t>(Camera.CamY));
    const TrailEntry entry{bytes[2], bytes[3], static_cast<uint8_t>(facing << 4)};
    PlaceMover(i, entry);
    TrailRing.fill(entry);
}

void CCps::PlaceFromFlags(int32_t i)
{
    if (ScriptMover(i).Bytes() == nullptr)
        return;
    Camera.CamX = GetFlag(CAMERA_X_FLAG);
    Camera.CamY = GetFlag(CAMERA_Y_FLAG);
    ClampCamera();
    const uint32_t flag = MOVER_FLAG_BASE + 3 * static_cast<uint32_t>(i);
    const TrailEntry entry{GetFlag(flag), GetFlag(flag + 1), GetFlag(flag + 2)};
    PlaceMover(i, entry);
    TrailRing.fill(entry);
}

void CCps::StartProgram(int32_t i, int32_t program)
{
    MapMover mover = ScriptMover(i);
    uint16_t pc = 0;
    if (WalkEndRestore.Armed != 0 || mover.Bytes() == nullptr || mover.State() == STATE_INACTIVE ||
        program < 0 || program > 255 || !MoveProgramData.RestartEntry(static_cast<uint8_t>(program), pc) ||
        pc >= MoveProgramData.Bytes.size())
        return;
    mover.Bytes()[9] = static_cast<uint8_t>(program);
    const uint8_t first = MoveProgramData.Bytes[pc];
    mover.SetOpcode(first >> 4);
    mover.SetCount(static_cast<uint8_t>((first & 0x0F) + 1));
    mover.SetPc(static_cast<uint16_t>(pc + 1));
}

void CCps::StartWalk(int32_t k, int32_t x, int32_t y)
{
    MapMover mover = ScriptMover(k);
    if (mover.Bytes() == nullptr || x < 0 || y < 0 || x >= MAP_MAX_COLUMNS || y >= MAP_MAX_ROWS)
        return;
    PathTarget.TargetX = static_cast<uint16_t>(x);
    PathTarget.TargetY = static_cast<uint16_t>(y);
    PrepareDistanceGrid();
    if (FindPath(mover) == 0)
        return;
    WalkEndRestore.Target = mover.Bytes();
    WalkEndRestore.State = mover.State();
    WalkEndRestore.Opcode = mover.Opcode();
    WalkEndRestore.Count = mover.Count();
    WalkEndRestore.Armed = WALK_ACTIVE;
    mover.SetOpcode(OPCODE_PATH);
    mover.SetCount(255);
    mover.SetState(static_cast<uint8_t>((mover.State() & 0x20) | 0x41));
}

void CCps::LoadPictureSlot(const CStringUTF8& name, int32_t n)
{
    if (n < 0 || n > 1)
        return;
    const size_t slot = static_cast<size_t>(n);
    if (PictureSlot[slot] && SlotNames[slot] == name)
        return;
    m_view.Forget();
    PictureSlot[slot].reset();
    SlotNames[slot] = CStringUTF8();
    try {
        PictureSlot[slot].reset(LoadSprite(name, nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    } catch (const CExecException&) {
        return;
    }
    if (PictureSlot[slot])
        SlotNames[slot] = name;
}

void CCps::LoadMapPicture(const CStringUTF8& name)
{
    m_view.Forget();
    if (!(name == MapPictureName)) {
        PresenceOverlay.reset();
        // The new picture goes over what the layer held.
        RestoreMapPictures();
        RECT rect{};
        try {
            if (MapPicture &&
                LoadSprite(name, MapPicture.get(), LAYER_KIND_MEMORY, 0, -1, &rect, -1, -1, 0) != nullptr) {
                MapPictureRect = rect;
                MapPictureLoads.push_back(name);
            }
        } catch (const CExecException&) {
        }
        MapPictureName = name;
        for (const char* rail : RAIL_PICTURES)
            if (name == CStringUTF8(rail))
                return;
    }
    if (!PresenceOverlay) {
        const int32_t width = std::max<int32_t>(MapPictureRect.right - MapPictureRect.left, 1);
        const int32_t height = std::max<int32_t>(MapPictureRect.bottom - MapPictureRect.top, MIN_OVERLAY_HEIGHT);
        PresenceOverlay.reset(CreateSprite(0, 0, width, height, -1, 0, 0));
    }
    if (PresenceOverlay)
        DrawSubmapPresenceIcons(PresenceOverlay.get());
}

void CCps::LoadOverlayPicture(const CStringUTF8& name)
{
    if (!OverlayPicture || name == OverlayPictureName)
        return;
    m_view.Forget();
    RestoreMapPictures();
    try {
        if (LoadSprite(name, OverlayPicture.get(), LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0) != nullptr)
            OverlayPictureLoads.push_back(name);
    } catch (const CExecException&) {
        return;
    }
    OverlayPictureName = name;
}

void CCps::ReleaseMapPictures()
{
    // Each load is one of the few a town visit makes; a longer history is not worth its replay.
    constexpr size_t MOST_LOADS_REPLAYED = 4;
    if (MapPicturesReleased || MapPictureLoads.size() > MOST_LOADS_REPLAYED ||
        OverlayPictureLoads.size() > MOST_LOADS_REPLAYED)
        return;
    // Whole-row clears: the pages go back to the system.
    for (ILayer* layer : {SpriteLayerOf(MapPicture.get()), SpriteLayerOf(OverlayPicture.get())})
        if (layer != nullptr)
            layer->Clear();
    MapPicturesReleased = true;
}

void CCps::RestoreMapPictures()
{
    if (!MapPicturesReleased)
        return;
    MapPicturesReleased = false;
    const auto replay = [this](const std::vector<CStringUTF8>& names, CSpriteLayer* layer) {
        for (const CStringUTF8& name : names) {
            try {
                LoadSprite(name, layer, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0);
            } catch (const CExecException&) {
            }
        }
    };
    replay(MapPictureLoads, MapPicture.get());
    replay(OverlayPictureLoads, OverlayPicture.get());
}

void CCps::ReleaseMapData()
{
    // The kept view is made of what goes here: it goes too, rather than stay for the game.
    m_view.Release();
    for (size_t slot = 0; slot < PictureSlot.size(); ++slot) {
        PictureSlot[slot].reset();
        SlotNames[slot] = CStringUTF8();
    }
    WalkMapBuffer.clear();
    EventAreaBuffer.clear();
    // The movers live in the block: no pointer into it may outlive it.
    MoveProgramData.Bytes.clear();
    Movers.fill(nullptr);
    MoverCount = 0;
    WalkEndRestore.Armed = 0;
    WalkEndRestore.Target = nullptr;
    PresenceOverlay.reset();
    ReleaseMapPictures();
}

uint16_t CCps::RunFrame()
{
    FastStep = false;
    LastStepTime = GetEffectTime();
    const FlagBuffer* state = CurrentFlagBuffer();
    const bool skipping = state != nullptr && (state->EngineStateWord() & SKIP_MODE) != 0;
    if (!skipping && InputView != nullptr) {
        if (IKeyboard* keyboard = InputView->GetKeyboard())
            for (uint32_t key : SHIFT_KEYS)
                FastStep = FastStep || keyboard->IsKeyDown(key) != 0;
    }
    if (StepMovers() != 0) {
        BuildViewCells();
        ComposeMovers();
        RedrawMap();
        if (MapMover leader = MoverAt(0); leader.Bytes() != nullptr)
            SetValue(VALUE_DIRECTION, static_cast<uint32_t>(leader.Facing() >> 4));
    }
    return LeaderResult;
}
