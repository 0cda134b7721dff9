// The exec commands of the game's own pictures: the picture slots with the seen-picture registry,
// the pan and the fixed picture sets. Sprites 0 (the scene) and 1 (the picture background) are the
// script's; a command that needs one that is not registered does nothing.

#include "script/exec/CFuncExec.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/CSpriteLayerFile.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/PictureSlot.h"
#include "graphics/SpriteLayerOf.h"
#include "graphics/SpriteLayerRegistry.h"
#include "script/FlagBuffer.h"
#include "script/ScriptScreenTable.h"
#include "script/ScriptState.h"
#include "script/commands/CFuncSprite.h"
#include "script/commands/ScriptWaits.h"
#include "script/exec/ExecPictureTools.h"
#include "script/vm/ScriptContext.h"

namespace {

constexpr int32_t SPRITE_KIND_DIB = 1;
constexpr int32_t SPEED_FAST = 0;
constexpr int32_t SPEED_INSTANT = 2;

struct FixedPicture
{
    int32_t number;
    int32_t priority;
    const char* name;
};
constexpr FixedPicture STATION_SET[] = {{10, 2, "s04c.akb"}, {11, 4, "s04b.akb"}, {12, 6, "s04a.akb"}};
constexpr FixedPicture EPILOGUE[] = {{10, 14, "epilogue03_bg.akb"}};

// The picture registry of the extras' picture page learns every combination shown.
void Register()
{
    RunScriptScreen(ScriptScreen::PictureRegister, nullptr);
}

void SetOverlay(const CStringUTF8& name, int32_t index)
{
    RunScriptScreen(ScriptScreen::PictureOverlay, nullptr,
                    ScriptScreenCall{{ScriptValue::FromText(name), ScriptValue::FromInteger(index)}});
}

template <class Table>
void CreateFixedPictures(CScript& script, const Table& table)
{
    for (const FixedPicture& entry : table) {
        // The sprite group's own create: number, width, height, priority, kind.
        ScriptContext& context = *GetScriptState().m_script_context;
        context.PushInteger(SPRITE_KIND_DIB);
        context.PushInteger(entry.priority);
        context.PushInteger(SCREEN_H);
        context.PushInteger(SCREEN_W);
        context.PushInteger(entry.number);
        context.PushInteger(0);
        CFuncSprite group;
        group.Call(script);
    }
    CLayerFile* file = LayerFile();
    for (const FixedPicture& entry : table) {
        CSpriteLayer* sprite = GetSpriteLayerRegistry().GetSpriteLayer(entry.number);
        if (sprite == nullptr)
            continue;
        if (file != nullptr) {
            RECT range{};
            file->LoadPicture(entry.name, SpriteLayerOf(sprite), 0, 0, &range, -1, -1, 0);
        }
    }
    for (const FixedPicture& entry : table) {
        if (CSpriteLayer* sprite = GetSpriteLayerRegistry().GetSpriteLayer(entry.number))
            sprite->Show();
    }
}

template <class Table>
void RemoveFixedPictures(const Table& table)
{
    for (const FixedPicture& entry : table) {
        if (CSpriteLayer* sprite = GetSpriteLayerRegistry().GetSpriteLayer(entry.number)) {
            sprite->Hide();
            GetSpriteLayerRegistry().UnregisterSpriteLayer(entry.number);
        }
    }
}

} // namespace

void CFuncExec::Picture()
{
    const bool skip = GetConfigSceneSkip();
    const int32_t sub = Context->PopInteger();
    CacheSpriteLayerTwo(0);
    switch (sub) {
    case 0:
    case 10: {
        const CStringUTF8 name = Context->PopValue().Text;
        RunScriptScreen(ScriptScreen::PictureBegin, nullptr, ScriptScreenCall{{ScriptValue::FromText(name)}});
        if (sub == 10 || skip)
            return;
        CSpriteLayer* base = GetSpriteLayerRegistry().GetSpriteLayer(PICTURE_LAYER_BASE);
        LoadPictureSlot(name, base);
        if (ILayer* layer = SpriteLayerOf(base))
            layer->SetAlphaRect(0, 0, SCREEN_W, SCREEN_H, 255);
        GetShownBaseName() = name;
        for (int32_t i = 0; i < PICTURE_SLOT_COUNT; ++i)
            GetShownPictureName(i) = CStringUTF8();
        ClearPictureSlots();
        return;
    }
    case 1:
    case 12: {
        const CStringUTF8 name = Context->PopValue().Text;
        const int32_t mode = Context->PopInteger();
        const int32_t index = Context->PopInteger();
        SetOverlay(name, index);
        if (!skip)
            SetPictureSlotName(name, static_cast<uint32_t>(mode), index);
        return;
    }
    case 2:
        Register();
        if (!skip)
            DrawSlots(0, 0);
        return;
    case 3: {
        const int32_t slot = Context->PopInteger();
        Register();
        if (!skip)
            FadeInPictureSlot(slot);
        return;
    }
    case 4: {
        const int32_t a = Context->PopInteger();
        const int32_t b = Context->PopInteger();
        Register();
        if (!skip)
            TransitionPictureSlot(static_cast<uint32_t>(a), b);
        return;
    }
    case 5:
        ClearPictureSlots();
        return;
    case 6:
        DrawSlots(0, 0);
        Register();
        return;
    case 11:
        Register();
        return;
    case 13: {
        const int32_t v = Context->PopInteger();
        std::vector<uint8_t>& flags = CurrentState->Flags;
        const int64_t byte = SEEN_PICTURE_FLAG + static_cast<int64_t>(v) / 8;
        if (v < 0 || byte >= static_cast<int64_t>(flags.size()) || flags.size() <= PICTURES_SEEN_FLAG_2)
            return;
        flags[static_cast<size_t>(byte)] |= static_cast<uint8_t>(1u << (v % 8));
        flags[PICTURES_SEEN_FLAG_2] = 1;
        flags[PICTURES_SEEN_FLAG] = 1;
        return;
    }
    case 14: {
        const CStringUTF8 name = Context->PopValue().Text;
        const int32_t mode = Context->PopInteger();
        const int32_t index = Context->PopInteger();
        const int32_t x = Context->PopInteger();
        const int32_t y = Context->PopInteger();
        SetOverlay(name, index);
        if (skip || index < 0 || index >= PICTURE_SLOT_COUNT)
            return;
        PictureSlot& slot = GetPictureSlot(index);
        if (slot.m_name != name)
            slot.m_name = name;
        slot.m_mode = static_cast<uint32_t>(mode);
        slot.m_x = x;
        slot.m_y = y;
        slot.m_in_use = 1;
        GetShownPictureName(index) = name;
        return;
    }
    case 15: {
        const int32_t x = Context->PopInteger();
        const int32_t y = Context->PopInteger();
        Register();
        if (!skip)
            DrawSlots(x, y);
        return;
    }
    case 16: {
        // GetPictureSlot clamps, so an index outside the slots would change the nearest one.
        const int32_t index = Context->PopInteger();
        if (index < 0 || index >= PICTURE_SLOT_COUNT)
            return;
        GetPictureSlot(index).m_in_use = 0;
        GetPictureSlot(index).m_mode = 0;
        return;
    }
    default:
        return;
    }
}

void CFuncExec::Pan()
{
    const bool skip = GetConfigSceneSkip();
    const int32_t start_x = Context->PopInteger();
    const int32_t start_y = Context->PopInteger();
    const int32_t end_x = Context->PopInteger();
    const int32_t end_y = Context->PopInteger();
    const int32_t wait = Context->PopInteger();
    // A divisor of 0 or less would divide by zero or run backwards.
    const int32_t divisor = std::max(Context->PopInteger(), 1);
    if (skip)
        return;
    ILayer* source = RegisteredLayer(PICTURE_LAYER_BASE);
    ILayer* target = RegisteredLayer(PICTURE_LAYER_SCENE);
    if (source == nullptr || target == nullptr)
        return;
    const int64_t dx = static_cast<int64_t>(end_x) - start_x;
    const int64_t dy = static_cast<int64_t>(end_y) - start_y;
    int64_t steps = std::max(std::llabs(dx), std::llabs(dy));
    const int32_t speed = GetConfigDisplayEffectSpeed();
    if (speed != SPEED_FAST)
        steps /= 4;
    steps /= divisor;
    if (speed != SPEED_INSTANT && steps > 0) {
        const double step_x = static_cast<double>(dx) / static_cast<double>(steps);
        const double step_y = static_cast<double>(dy) / static_cast<double>(steps);
        double x = start_x;
        double y = start_y;
        for (int64_t i = 0; i < steps; ++i) {
            if (!PollPass(Document, InputView))
                break;
            {
                LiveDrawLock lock;
                target->Blt(0, 0, SCREEN_W, SCREEN_H, source, static_cast<int32_t>(x),
                            static_cast<int32_t>(y), 0);
            }
            RedrawFrameNow();
            x += step_x;
            y += step_y;
            WaitFromNow(Document, InputView, wait, SCRIPT_SKIP_FLAGS, SCRIPT_REQUEST_MASK, 1);
        }
    }
    {
        LiveDrawLock lock;
        target->Blt(0, 0, SCREEN_W, SCREEN_H, source, end_x, end_y, 1);
    }
    RedrawFrameNow();
}

void CFuncExec::PictureSet(CScript& script)
{
    const int32_t sub = Context->PopInteger();
    if (sub == 0)
        CreateFixedPictures(script, STATION_SET);
    else if (sub == 1)
        RemoveFixedPictures(STATION_SET);
}

void CFuncExec::EpiloguePicture(CScript& script)
{
    const int32_t sub = Context->PopInteger();
    if (sub == 0)
        CreateFixedPictures(script, EPILOGUE);
    else if (sub == 1)
        RemoveFixedPictures(EPILOGUE);
}
