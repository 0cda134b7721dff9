#pragma once
// The hop or shake of a standing character: four ticks of offsets from where the sprite stood
// when the step began, then back there. The standing-character code owns one per character and
// reuses it for every hop and shake; the step calls it on the app-task thread.

#include <cstdint>

#include "graphics/IUserAnime.h"
#include "platform/kernel/WinTypes.h"

class CSprite;

inline constexpr uint32_t CHAR_ANIME_ENABLED = 0x1;
inline constexpr int32_t CHAR_ANIME_TICKS = 4;
// Modes of CCharAnime::Arm.
inline constexpr int32_t CHAR_ANIME_HOP = 0;
inline constexpr int32_t CHAR_ANIME_SHAKE = 1;

class CCharAnime final : public IUserAnime
{
public:
    // Sets the offsets from the amplitudes and notes the sprite's position.
    void Begin() override;
    // Puts the sprite back where it stood.
    void End() override;
    // Moves the sprite to its offset for the tick; ticks past the fourth do nothing.
    void Update(int32_t step, int32_t steps) override;

    // The owner's set-up for one hop (CHAR_ANIME_HOP, amplitude upward) or shake (any other mode,
    // amplitude sideways): enabled, bound to the sprite, and a user-animation step of four ticks
    // appended to the sprite. Adding the sprite to an animation task is the caller's.
    void Arm(CSprite* sprite, int32_t mode, int32_t amplitude);

    CSprite* m_sprite = nullptr; // not owned: the character's
    uint32_t m_flags = 0;
    int32_t m_horizontal = 0;
    int32_t m_vertical = 0;
    POINT m_offsets[CHAR_ANIME_TICKS] = {};
    POINT m_base = {};
};
