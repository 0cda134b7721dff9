#include "graphics/CPronptAnm.h"

#include "graphics/CSprite.h"
#include "graphics/EffectClock.h"
#include "graphics/ILayer.h"
#include "graphics/SpriteLayerOf.h"

void CPronptAnm::Begin()
{
    DrawFrame();
    if (m_prompt != nullptr)
        m_prompt->SetVisibleFlag(1);
    AdvanceFrame();
    m_last_time = GetEffectTime();
}

void CPronptAnm::Update(int32_t, int32_t)
{
    DrawFrame();
    m_drawn = 0;
    AdvanceFrame();
    m_last_time = GetEffectTime();
}

void CPronptAnm::End()
{
    if (m_prompt != nullptr)
        m_prompt->SetVisibleFlag(0);
}

void CPronptAnm::DrawFrame()
{
    ILayer* target = SpriteLayerOf(m_prompt);
    ILayer* source = SpriteLayerOf(m_picture);
    if (target == nullptr || source == nullptr)
        return;
    const POINT origin = m_sources[m_mode == 0 ? 0 : 1];
    target->Blt(0, 0, PROMPT_SIZE, PROMPT_SIZE, source, origin.x, origin.y + m_frame * PROMPT_SIZE, 1);
}

void CPronptAnm::AdvanceFrame()
{
    // A prompt whose frame count was never set stays on its first frame instead of dividing by 0.
    m_frame = m_frame_count > 0 ? (m_frame + 1) % m_frame_count : 0;
}
