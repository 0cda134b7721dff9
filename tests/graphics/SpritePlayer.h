#pragma once
// Plays a sprite's records the way the sprite animation task does, one task period per Tick, so
// tests can look at every frame. Written from the task's description, not from its code.

#include "foundation/ScopedLock.h"
#include "graphics/CSprite.h"

class SpritePlayer
{
public:
    explicit SpritePlayer(CSprite& sprite)
        : m_sprite(sprite)
    {}

    // Start: reverse byte, speed-adjust off, index at the first (or last) record, first step.
    void Play(bool reverse = false)
    {
        m_sprite.SetReverse(reverse);
        m_sprite.SetSpeedAdjust(false);
        m_sprite.SetRecordIndex(reverse ? m_sprite.GetAnimationCount() - 1 : 0);
        m_sprite.AdvanceStep(0);
    }

    // One task period.
    void Tick()
    {
        if (!m_sprite.IsAnimating() || !m_sprite.IsVisible())
            return;
        const uint32_t kinds = m_sprite.GetStepKinds();
        const int32_t elapsed = m_sprite.GetElapsed();
        const int32_t duration = m_sprite.GetDuration();
        ScopedLock lock(m_sprite.GetLock());
        if (kinds == 0)
            return;
        if (kinds & ANIM_DELAY) {
            m_sprite.UpdateAnimation();
            if (m_sprite.GetStepKinds() & ANIM_DELAY)
                return;
        }
        if (elapsed < duration) {
            m_sprite.UpdateAnimation();
        } else {
            m_sprite.FinishStep();
            m_sprite.AdvanceStep(m_sprite.GetAdvanceFlags());
            m_sprite.UpdateAnimation();
        }
    }

private:
    CSprite& m_sprite;
};
