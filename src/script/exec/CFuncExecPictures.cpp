// The exec commands of the game's own picture work: the picture slots with the seen-picture
// registry, the pan, the train, the zoom flash, the weather effects and the fixed picture sets.
// Sprites 0 (the scene) and 1 (the picture background) are the script's; a command that needs
// one that is not registered does nothing.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "app/CGameWork.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CDIBDC.h"
#include "graphics/CDirect3D.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CNerinTrain.h"
#include "graphics/CSakuraEffect.h"
#include "graphics/CSnowEffect.h"
#include "graphics/CSnowFirstOne.h"
#include "graphics/CSnowParticleOne.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/CSpriteLayerFile.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/ParticleCommands.h"
#include "graphics/PictureSlot.h"
#include "graphics/SpriteAnimRecord.h"
#include "graphics/SpriteLayerOf.h"
#include "platform/gdi/GdiApi.h"
#include "script/FlagBuffer.h"
#include "script/ScriptScreenTable.h"
#include "script/commands/CFuncScreen.h"
#include "script/commands/CFuncSprite.h"
#include "script/commands/ScriptWaits.h"
#include "script/exec/CFuncExec.h"
#include "script/exec/StandingCharacterSet.h"
#include "script/vm/ScriptContext.h"

namespace {

constexpr int32_t SCREEN_W = 1920;
constexpr int32_t SCREEN_H = 1080;
constexpr int32_t ZOOM_W = 2304;
constexpr int32_t ZOOM_H = 1296;
constexpr int32_t ZOOM_HOLD_MS = 20;
constexpr int32_t ZOOM_REVEAL_TICKS = 16;
constexpr int32_t SNOWBALL_POLL_MS = 15;
constexpr int32_t TRAIN_PRIORITY = 1;
constexpr int32_t TRAIN_ARRIVAL_TICKS = 494;
constexpr int32_t TRAIN_DEPARTURE_TICKS = 228;
constexpr int32_t TRAIN_STATION_TICKS = 32;
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

void DrawSlots(int32_t offset_x, int32_t offset_y)
{
    DrawPictureSlot(GetPictureTargetLayer(), 0, 0, SCREEN_W, SCREEN_H, offset_x, offset_y);
}

ILayer* RegisteredLayer(GameDocument* document, int32_t number)
{
    return SpriteLayerOf(document->GetSpriteLayer(number));
}

CLayerFile* LayerFile(GameDocument* document)
{
    CLayerFile* file = document->GetLayerFile();
    return file != nullptr ? file : GetDocumentLayerFile();
}

// A new sprite layer holding the whole picture, at the priority; null when it does not load.
std::unique_ptr<CSpriteLayer> LoadPictureSprite(GameDocument* document, const char* name, int32_t priority)
{
    CLayerFile* file = LayerFile(document);
    if (file == nullptr)
        return nullptr;
    RECT range{};
    ILayer* layer = file->LoadPicture(name, nullptr, 0, 0, &range, -1, -1, 0);
    if (layer == nullptr)
        return nullptr;
    std::unique_ptr<CSpriteLayer> sprite(static_cast<CSpriteLayer*>(CreateSpriteLayer(0)));
    if (sprite == nullptr) {
        layer->Release();
        delete layer;
        return nullptr;
    }
    sprite->AttachLayer(layer, 0, 0, priority);
    sprite->SetPriority(priority);
    return sprite;
}

// Plays the one step alone and waits. The step may name an animation that lives only for this
// call, and a later play would start from the sprite's first step: none stays listed.
void PlayOne(CSprite* sprite, const SpriteAnimRecord& record)
{
    sprite->ClearAnimations();
    sprite->AddAnimation(record);
    {
        CSpriteAnime task;
        task.AddSprite(sprite);
        task.PlayAndWait();
    }
    sprite->ClearAnimations();
}

// One pass of a skippable polling loop: false when the application quits or a skip is seen.
bool PollPass(GameDocument* document, CInputView* input_view)
{
    if (!RunWaitPass(document))
        return false;
    CEffectWait skip(document, input_view);
    skip.SetSkipFlags(SCRIPT_SKIP_FLAGS);
    skip.SetRequestMask(SCRIPT_REQUEST_MASK);
    return skip.CheckSkip() == 0;
}

template <class Table>
void CreateFixedPictures(GameDocument* document, CScript& script, const Table& table)
{
    for (const FixedPicture& entry : table) {
        // The sprite group's own create: number, width, height, priority, kind.
        ScriptContext& context = *document->m_script_context;
        context.PushInteger(SPRITE_KIND_DIB);
        context.PushInteger(entry.priority);
        context.PushInteger(SCREEN_H);
        context.PushInteger(SCREEN_W);
        context.PushInteger(entry.number);
        context.PushInteger(0);
        CFuncSprite group;
        group.Call(script);
    }
    CLayerFile* file = LayerFile(document);
    for (const FixedPicture& entry : table) {
        CSpriteLayer* sprite = document->GetSpriteLayer(entry.number);
        if (sprite == nullptr)
            continue;
        if (file != nullptr) {
            RECT range{};
            file->LoadPicture(entry.name, SpriteLayerOf(sprite), 0, 0, &range, -1, -1, 0);
        }
    }
    for (const FixedPicture& entry : table) {
        if (CSpriteLayer* sprite = document->GetSpriteLayer(entry.number))
            sprite->Show();
    }
}

template <class Table>
void RemoveFixedPictures(GameDocument* document, const Table& table)
{
    for (const FixedPicture& entry : table) {
        if (CSpriteLayer* sprite = document->GetSpriteLayer(entry.number)) {
            sprite->Hide();
            document->UnregisterSpriteLayer(entry.number);
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
        CSpriteLayer* base = Document->GetSpriteLayer(PICTURE_LAYER_BASE);
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
    ILayer* source = RegisteredLayer(Document, PICTURE_LAYER_BASE);
    ILayer* target = RegisteredLayer(Document, PICTURE_LAYER_SCENE);
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

void CFuncExec::Train()
{
    const int32_t sub = Context->PopInteger();
    switch (sub) {
    case 0:
        m_train.reset();
        m_train = LoadPictureSprite(Document, "y04btr.akb", TRAIN_PRIORITY);
        return;
    case 1:
        m_train.reset();
        return;
    case 2:
    case 3: {
        if (m_train == nullptr)
            return;
        const int32_t mode = sub == 2 ? NERIN_TRAIN_ARRIVAL : NERIN_TRAIN_DEPARTURE;
        CNerinTrain run(m_train.get(), mode);
        SpriteAnimRecord record(sub == 2 ? TRAIN_ARRIVAL_TICKS : TRAIN_DEPARTURE_TICKS);
        record.SetUserAnime(&run);
        PlayOne(m_train.get(), record);
        return;
    }
    case 4:
        if (m_train != nullptr) {
            m_train->Show();
            m_train->SetPosition(NERIN_TRAIN_STOP_X, 0);
        }
        return;
    case 5: {
        std::unique_ptr<CSpriteLayer> station = LoadPictureSprite(Document, "y04bb.akb", 0);
        ILayer* scene = RegisteredLayer(Document, PICTURE_LAYER_SCENE);
        if (station == nullptr)
            return;
        SpriteAnimRecord record(TRAIN_STATION_TICKS);
        record.SetVisible(1);
        record.SetAlpha(0, 255);
        station->SetAlpha(0);
        PlayOne(station.get(), record);
        if (scene != nullptr) {
            LiveDrawLock lock;
            scene->Blt(0, 0, SCREEN_W, SCREEN_H, station.get(), 0, 0, 1);
        }
        return;
    }
    default:
        return;
    }
}

void CFuncExec::ZoomFlash()
{
    const bool skip = GetConfigSceneSkip();
    if (!skip) {
        ILayer* scene = RegisteredLayer(Document, PICTURE_LAYER_SCENE);
        const SIZE size = GetScreenOriginalSize(0);
        const int32_t w = std::clamp<int32_t>(size.cx, 1, ZOOM_W);
        const int32_t h = std::clamp<int32_t>(size.cy, 1, ZOOM_H);
        if (scene != nullptr) {
            try {
                CDIBDC large;
                CDIBDC small;
                large.Create(ZOOM_W, ZOOM_H);
                small.Create(w, h);
                SetStretchBltMode(large.GetDC(), HALFTONE);
                SetStretchBltMode(small.GetDC(), HALFTONE);
                LiveDrawLock lock;
                small.Blt(0, 0, w, h, scene, 0, 0, 0);
                StretchBlt(large.GetDC(), 0, 0, ZOOM_W, ZOOM_H, small.GetDC(), 0, 0, w, h, SRCCOPY);
                scene->Blt(0, 0, w, h, &large, (ZOOM_W - w) / 2, (ZOOM_H - h) / 2, 0);
            } catch (const CStringUTF8&) {
                // Without the surfaces the picture stays as it is; the flash still runs.
            }
        }
        RedrawFrameNow();
        WaitFromNow(Document, InputView, ZOOM_HOLD_MS, SCRIPT_SKIP_FLAGS, SCRIPT_REQUEST_MASK, 1);
        if (CFadeSprite* fade = Document->GetFadeSprite())
            fade->FadeToColor(0xFFFFFF, 0);
    }
    CacheSpriteLayerTwo(0);
    DrawSlots(0, 0);
    CFuncScreen screen;
    screen.RunTransition(skip ? 0 : ZOOM_REVEAL_TICKS);
}

void CFuncExec::Snow()
{
    RunSnowCommand(m_snow, Context->PopInteger());
}

void CFuncExec::Petals()
{
    RunPetalCommand(m_petals, Context->PopInteger());
}

void CFuncExec::Snowball()
{
    const int32_t sub = Context->PopInteger();
    if (sub != 2) {
        RunSnowballCommand(m_snowball, sub);
        return;
    }
    while (m_snowball != nullptr && m_snowball->GetParticle() != nullptr && PollPass(Document, InputView)) {
        if (m_snowball->GetParticle()->IsActive() == 0)
            return;
        WaitFromNow(Document, InputView, SNOWBALL_POLL_MS, SCRIPT_SKIP_FLAGS, SCRIPT_REQUEST_MASK, 1);
    }
}

void CFuncExec::PictureSet(CScript& script)
{
    const int32_t sub = Context->PopInteger();
    if (sub == 0)
        CreateFixedPictures(Document, script, STATION_SET);
    else if (sub == 1)
        RemoveFixedPictures(Document, STATION_SET);
}

void CFuncExec::EpiloguePicture(CScript& script)
{
    const int32_t sub = Context->PopInteger();
    if (sub == 0)
        CreateFixedPictures(Document, script, EPILOGUE);
    else if (sub == 1)
        RemoveFixedPictures(Document, EPILOGUE);
}

void CFuncExec::StandingCharacter()
{
    const bool skip = GetConfigSceneSkip();
    const int32_t sub = Context->PopInteger();
    StandingCharacterSet* set = GetGameWork()->m_characters.get();
    const auto integer = [this] { return Context->PopInteger(); };
    const auto text = [this] { return Context->PopValue().Text; };
    // Scene skip pops the arguments of every sub-command but the hit map's and does nothing else.
    const bool act = set != nullptr && !skip;
    switch (sub) {
    case 0: {
        const int32_t position = integer();
        const CStringUTF8 name = text();
        const int32_t percent = integer();
        const int32_t duration = integer();
        if (act)
            set->Show(name, position, percent, duration, 255);
        return;
    }
    case 1: {
        const CStringUTF8 name = text();
        const int32_t position = integer();
        const int32_t duration = integer();
        if (act)
            set->ChangeFace(name, position, duration);
        return;
    }
    case 2:
        if (act)
            set->Play();
        return;
    case 3: {
        const int32_t position = integer();
        const int32_t duration = integer();
        if (act)
            set->Hide(position, duration);
        return;
    }
    case 4: {
        const int32_t duration = integer();
        for (int32_t position = 0; act && position < STANDING_POSITIONS; ++position)
            set->Hide(position, duration);
        return;
    }
    case 5:
    case 6: {
        const int32_t position = sub == 5 ? integer() : 0;
        const CStringUTF8 name = text();
        const int32_t face_position = sub == 6 ? integer() : position;
        if (act && sub == 5)
            set->OverlayPart(name, position);
        else if (act)
            set->OverlayPartOnFace(name, face_position);
        return;
    }
    case 7: {
        const int32_t position = integer();
        const int32_t mode = integer();
        const int32_t amplitude = integer();
        if (act)
            set->StartCharAnime(position, mode, amplitude);
        return;
    }
    case 8: {
        const int32_t position = integer();
        const int32_t dx = integer();
        const int32_t dy = integer();
        if (act)
            set->Nudge(position, dx, dy);
        return;
    }
    case 9: {
        const int32_t position = integer();
        const int32_t priority = integer();
        if (act)
            set->SetPriority(position, priority);
        return;
    }
    case 10: {
        const int32_t position = integer();
        const int32_t target = integer();
        const int32_t duration = integer();
        if (act)
            set->MoveToPosition(position, target, duration);
        return;
    }
    case 11: {
        const int32_t position = integer();
        const int32_t dx = integer();
        const int32_t dy = integer();
        const int32_t duration = integer();
        if (act)
            set->Sway(position, dx, dy, duration);
        return;
    }
    case 12: {
        const int32_t position = integer();
        const CStringUTF8 name = text();
        const int32_t percent = integer();
        const int32_t duration = integer();
        const int32_t alpha = integer();
        if (act)
            set->Show(name, position, percent, duration, alpha);
        return;
    }
    case 13: {
        const CStringUTF8 name = text();
        const int32_t position = integer();
        const int32_t duration = integer();
        if (act)
            set->FlashOut(name, position, duration);
        return;
    }
    case 14: {
        const CStringUTF8 name = text();
        const int32_t position = integer();
        if (set != nullptr)
            set->LoadHitMap(name, position);
        return;
    }
    case 15: {
        const int32_t percent = integer();
        const int32_t position = integer();
        const int32_t target = integer();
        const int32_t duration = integer();
        if (act)
            set->MoveAndZoom(percent, position, target, duration);
        return;
    }
    default:
        return;
    }
}
