#include "graphics/PictureSlot.h"

#include <algorithm>
#include <array>

#include "foundation/GameDocument.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/ILayer.h"
#include "graphics/SpriteAnimRecord.h"
#include "graphics/SpriteLayerOf.h"
#include "graphics/SpriteLayerRegistry.h"
#include "platform/user/RectApi.h"

namespace {

constexpr int32_t SCREEN_WIDTH = 1920;
constexpr int32_t SCREEN_HEIGHT = 1080;
// Picture slots decode with the border filled clear.
constexpr int32_t SLOT_FILL_MODE = 2;

std::array<PictureSlot, PICTURE_SLOT_COUNT>& Slots()
{
    static std::array<PictureSlot, PICTURE_SLOT_COUNT> s_slots;
    return s_slots;
}

std::array<CStringUTF8, PICTURE_SLOT_COUNT>& ShownNames()
{
    static std::array<CStringUTF8, PICTURE_SLOT_COUNT> s_names;
    return s_names;
}

CSpriteLayer* RegisteredLayer(int32_t number)
{
    return GetSpriteLayerRegistry().GetSpriteLayer(number);
}

bool IsSlotIndex(int32_t index)
{
    return index >= 0 && index < PICTURE_SLOT_COUNT;
}

// Shows layer 6 clear, plays the record on it, then copies what it shows into layer 0.
void PlayOnLayerSix(const SpriteAnimRecord& record)
{
    CSpriteLayer* fade_layer = RegisteredLayer(PICTURE_LAYER_FADE);
    CSpriteLayer* scene = RegisteredLayer(PICTURE_LAYER_SCENE);
    if (fade_layer == nullptr || scene == nullptr)
        return;
    fade_layer->SetVisibleFlag(1);
    fade_layer->SetAlpha(0);
    fade_layer->AddAnimation(record);
    {
        CSpriteAnime anime(15);
        anime.AddSprite(fade_layer);
        anime.PlayAndWait();
    }
    if (ILayer* target = SpriteLayerOf(scene))
        target->Blt(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, SpriteLayerOf(fade_layer), 0, 0, 1);
    fade_layer->SetVisibleFlag(0);
}

} // namespace

PictureSlot& GetPictureSlot(int32_t index)
{
    return Slots()[static_cast<size_t>(std::clamp(index, 0, PICTURE_SLOT_COUNT - 1))];
}

CStringUTF8& GetShownPictureName(int32_t index)
{
    return ShownNames()[static_cast<size_t>(std::clamp(index, 0, PICTURE_SLOT_COUNT - 1))];
}

CStringUTF8& GetShownBaseName()
{
    static CStringUTF8 s_name;
    return s_name;
}

int32_t CacheSpriteLayerTwo(int32_t value)
{
    // Kept pointers would dangle once the script or a new document registers layer 2 again, so
    // the registry is the only place the work layer is kept.
    return value;
}

void SetPictureSlotName(CStringUTF8 name, uint32_t mode, int32_t index)
{
    if (!IsSlotIndex(index))
        return;
    PictureSlot& slot = Slots()[static_cast<size_t>(index)];
    if (slot.m_name != name)
        slot.m_name = name;
    slot.m_mode = mode;
    slot.m_in_use = 1;
    slot.m_x = 0;
    slot.m_y = 0;
    ShownNames()[static_cast<size_t>(index)] = name;
}

RECT LoadPictureSlot(CStringUTF8 name, CSprite* sprite)
{
    RECT loaded{};
    ILayer* layer = SpriteLayerOf(sprite);
    CLayerFile* file = GetDocumentLayerFile();
    // Without a layer to decode into there is nothing to load into: the factories make no layer
    // of the slots' kind.
    if (layer == nullptr || file == nullptr)
        return loaded;
    file->LoadPicture(name, layer, -1, 0, &loaded, -1, -1, SLOT_FILL_MODE);
    return loaded;
}

void DrawPictureSlot(CSpriteLayer* target, int32_t x, int32_t y, int32_t w, int32_t h, int32_t source_x,
                     int32_t source_y)
{
    ILayer* target_layer = SpriteLayerOf(target);
    if (target_layer == nullptr)
        return;
    if (CSpriteLayer* base = RegisteredLayer(PICTURE_LAYER_BASE))
        target_layer->Blt(x, y, w, h, SpriteLayerOf(base), source_x, source_y, 1);

    CSpriteLayer* work = RegisteredLayer(PICTURE_LAYER_WORK);
    ILayer* work_layer = SpriteLayerOf(work);
    const RECT view{source_x, source_y, source_x + w, source_y + h};
    for (const PictureSlot& slot : Slots()) {
        if (!slot.m_in_use)
            continue;
        const RECT image = LoadPictureSlot(slot.m_name, work);
        if (work_layer == nullptr || IsRectEmpty(&image))
            continue;
        // The overlay lies at (x, y) of the composed picture; only its part inside the view is
        // drawn, however far it reaches past any edge.
        const RECT placed{slot.m_x, slot.m_y, slot.m_x + image.right, slot.m_y + image.bottom};
        RECT shown{};
        if (!IntersectRect(&shown, &placed, &view))
            continue;
        const int32_t dx = x + shown.left - source_x;
        const int32_t dy = y + shown.top - source_y;
        const int32_t cw = shown.right - shown.left;
        const int32_t ch = shown.bottom - shown.top;
        const int32_t sx = shown.left - slot.m_x;
        const int32_t sy = shown.top - slot.m_y;
        if (slot.m_mode == 0)
            target_layer->BltColorKeyAlpha(dx, dy, cw, ch, work_layer, sx, sy, PICTURE_SLOT_KEY);
        else
            target_layer->BltAlpha(dx, dy, cw, ch, work_layer, sx, sy);
    }
}

void FadeInPictureSlot(int32_t duration)
{
    SpriteAnimRecord record(duration);
    record.SetAlpha(0, 255);
    PlayOnLayerSix(record);
}

void TransitionPictureSlot(uint32_t rule, int32_t duration)
{
    SpriteAnimRecord record(duration);
    record.SetTransition(1, 0, rule);
    PlayOnLayerSix(record);
}

void ClearPictureSlots()
{
    for (PictureSlot& slot : Slots()) {
        slot.m_in_use = 0;
        slot.m_mode = 0;
    }
}

CSpriteLayer* GetPictureTargetLayer()
{
    CFadeSprite* fade = GetSpriteLayerRegistry().GetFadeSprite();
    const bool covered = fade != nullptr && fade->IsVisible() != 0;
    return RegisteredLayer(covered ? PICTURE_LAYER_SCENE : PICTURE_LAYER_FADE);
}
