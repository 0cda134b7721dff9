#pragma once
// One animation step of a sprite, kept by value in the sprite's record list. Several kinds in one
// record run together over the same duration, counted in ticks of the task that plays them.

#include <cstdint>

class CSpriteLayer;
class IUserAnime;

inline constexpr uint32_t ANIM_DELAY = 0x1;
inline constexpr uint32_t ANIM_VISIBLE = 0x2;
inline constexpr uint32_t ANIM_MOVE = 0x4;
inline constexpr uint32_t ANIM_ALPHA = 0x8;
inline constexpr uint32_t ANIM_TRANSITION = 0x100;
inline constexpr uint32_t ANIM_ROTATE = 0x100000;
inline constexpr uint32_t ANIM_ZOOM = 0x200000;
inline constexpr uint32_t ANIM_CROSS_FADE = 0x800000;
inline constexpr uint32_t ANIM_SCROLL = 0x1000000;
inline constexpr uint32_t ANIM_USER = 0x2000000;
inline constexpr uint32_t ANIM_JUMP = 0x10000000;
inline constexpr uint32_t ANIM_MARKER = 0x20000000;

// A jump count that jumps for ever.
inline constexpr int32_t JUMP_FOREVER = -1;

struct SpriteAnimRecord
{
    // Every field zero, duration included.
    SpriteAnimRecord() = default;
    // Every field zero, duration at least 1.
    explicit SpriteAnimRecord(int32_t duration);

    // Move from (x0, y0) to (x1, y1).
    void SetRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
    void SetZoom(float centre_x, float centre_y, float from_x, float from_y, float to_x, float to_y);
    // Cross-fade from this sprite's pixels to the target's over the rectangle.
    void SetCrossFade(CSpriteLayer* target, int32_t left, int32_t top, int32_t right, int32_t bottom);

    // The remaining kinds, each setting its fields and its kind bit.
    void SetDelay(int32_t count);
    void SetVisible(uint8_t visible);
    void SetAlpha(uint8_t from, uint8_t to);
    void SetTransition(int32_t appear, int32_t hard_edge, uint32_t rule);
    void SetRotation(int32_t from, int32_t to, float origin_x, float origin_y);
    void SetScroll(CSpriteLayer* work, int32_t rows_per_frame);
    void SetUserAnime(IUserAnime* anime);
    void SetJump(int32_t count, int32_t target);
    void SetMarker();

    uint32_t m_kinds = 0;
    int32_t m_duration = 0;
    int32_t m_delay_count = 0;
    uint8_t m_visible = 0;
    int32_t m_move_from_x = 0;
    int32_t m_move_from_y = 0;
    int32_t m_move_to_x = 0;
    int32_t m_move_to_y = 0;
    uint8_t m_alpha_from = 0;
    uint8_t m_alpha_to = 0;
    int32_t m_transition_appear = 0;
    int32_t m_transition_hard_edge = 0;
    uint32_t m_transition_rule = 0;
    int32_t m_angle_from = 0;
    int32_t m_angle_to = 0;
    float m_rotation_origin_x = 0;
    float m_rotation_origin_y = 0;
    float m_zoom_from_x = 0;
    float m_zoom_from_y = 0;
    float m_zoom_to_x = 0;
    float m_zoom_to_y = 0;
    float m_zoom_centre_x = 0;
    float m_zoom_centre_y = 0;
    CSpriteLayer* m_cross_fade_target = nullptr; // not owned
    uint8_t m_ratio_from = 0;
    uint8_t m_ratio_to = 0;
    int32_t m_cross_fade_left = 0;
    int32_t m_cross_fade_top = 0;
    int32_t m_cross_fade_right = 0;
    int32_t m_cross_fade_bottom = 0;
    CSpriteLayer* m_scroll_work = nullptr; // not owned
    int32_t m_scroll_rows = 0;
    IUserAnime* m_user_anime = nullptr; // not owned
    int32_t m_jump_count = 0;
    int32_t m_jump_target = 0;
};
