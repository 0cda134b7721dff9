#include "graphics/CTrainAnime.h"

#include "graphics/CSprite.h"
#include "graphics/EffectClock.h"
#include "graphics/ILayer.h"
#include "graphics/SpriteLayerOf.h"

int32_t TrainAnimeFrame(int32_t step)
{
    const int32_t r = step % 70;
    return (r >= 40 && r <= 50) || (r >= 60 && r <= 69) ? 1 : 0;
}

void CTrainAnime::DrawFrame(int32_t frame)
{
    ILayer* target = SpriteLayerOf(m_display);
    ILayer* source = SpriteLayerOf(m_picture);
    if (target != nullptr && source != nullptr)
        target->Blt(0, 0, TRAIN_WIDTH, TRAIN_HEIGHT, source, frame * TRAIN_WIDTH, 0, 1);
}

void CTrainAnime::Begin()
{
    DrawFrame(0);
    if (m_display != nullptr)
        m_display->SetVisibleFlag(1);
    m_last_time = GetEffectTime();
}

void CTrainAnime::Update(int32_t step, int32_t)
{
    DrawFrame(TrainAnimeFrame(step));
    m_last_time = GetEffectTime();
}

void CTrainAnime::End()
{
    DrawFrame(0);
}
