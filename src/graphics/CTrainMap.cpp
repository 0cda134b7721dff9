#include "graphics/CTrainMap.h"

#include "graphics/CSprite.h"
#include "graphics/EffectClock.h"
#include "graphics/ILayer.h"
#include "graphics/SpriteLayerOf.h"

namespace {

void DrawPicture(CSprite* display, CSprite* picture, int32_t source_x)
{
    ILayer* target = SpriteLayerOf(display);
    ILayer* source = SpriteLayerOf(picture);
    if (target != nullptr && source != nullptr)
        target->Blt(0, 0, 1920, 1080, source, source_x, 0, 1);
}

} // namespace

int32_t TrainMapSourceX(int32_t direction, int32_t step)
{
    const int32_t k = direction == 1 ? TRAIN_MAP_TICKS - step : step;
    return TRAIN_MAP_STEP * k;
}

void CTrainMap::DrawAt(int32_t source_x)
{
    DrawPicture(m_display_a, m_picture_a, source_x);
    DrawPicture(m_display_b, m_picture_b, source_x);
}

void CTrainMap::Begin()
{
    DrawAt(m_direction == 1 ? TRAIN_MAP_SCROLL : 0);
    if (m_display_a != nullptr)
        m_display_a->SetVisibleFlag(1);
    if (m_display_b != nullptr)
        m_display_b->SetVisibleFlag(1);
    m_last_time = GetEffectTime();
}

void CTrainMap::Update(int32_t step, int32_t)
{
    DrawAt(TrainMapSourceX(m_direction, step));
    m_last_time = GetEffectTime();
}

void CTrainMap::End()
{
    DrawAt(m_direction == 1 ? 0 : TRAIN_MAP_SCROLL);
}
