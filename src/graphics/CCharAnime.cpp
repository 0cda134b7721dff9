#include "graphics/CCharAnime.h"

#include "graphics/CSprite.h"
#include "graphics/SpriteAnimRecord.h"

void CCharAnime::Arm(CSprite* sprite, int32_t mode, int32_t amplitude)
{
    m_flags |= CHAR_ANIME_ENABLED;
    m_sprite = sprite;
    m_horizontal = 0;
    m_vertical = 0;
    if (mode == CHAR_ANIME_HOP)
        m_vertical = amplitude;
    else
        m_horizontal = amplitude;
    SpriteAnimRecord record(CHAR_ANIME_TICKS);
    record.SetUserAnime(this);
    if (sprite != nullptr)
        sprite->AddAnimation(record);
}

void CCharAnime::Begin()
{
    if (!(m_flags & CHAR_ANIME_ENABLED) || m_sprite == nullptr)
        return;
    for (POINT& offset : m_offsets)
        offset = POINT{0, 0};
    // Indexed by tick: the step begins at tick 0 and the task's runs update ticks 1 to 3, so both
    // motions start one tick on, from the home position: a hop passes half, full and half height,
    // a shake left, right and home.
    if (m_vertical != 0) {
        // The division truncates toward zero, so 5 rises 2, 5, 2.
        const int32_t v = m_vertical;
        m_offsets[1] = POINT{0, -(v / 2)};
        m_offsets[2] = POINT{0, -v};
        m_offsets[3] = POINT{0, -(v / 2)};
    } else {
        const int32_t h = m_horizontal;
        m_offsets[1] = POINT{-h, 0};
        m_offsets[2] = POINT{h, 0};
    }
    m_base = m_sprite->GetPosition();
    m_sprite->SetPosition(m_base.x + m_offsets[0].x, m_base.y + m_offsets[0].y);
}

void CCharAnime::Update(int32_t step, int32_t)
{
    if (!(m_flags & CHAR_ANIME_ENABLED) || m_sprite == nullptr)
        return;
    if (step < 0 || step >= CHAR_ANIME_TICKS)
        return;
    const POINT offset = m_offsets[step];
    m_sprite->SetPosition(m_base.x + offset.x, m_base.y + offset.y);
}

void CCharAnime::End()
{
    if (!(m_flags & CHAR_ANIME_ENABLED) || m_sprite == nullptr)
        return;
    m_sprite->SetPosition(m_base.x, m_base.y);
}
