#include "graphics/SpriteAnimRecord.h"

#include <algorithm>

SpriteAnimRecord::SpriteAnimRecord(int32_t duration)
    : m_duration(std::max(duration, 1))
{}

void SpriteAnimRecord::SetRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    m_move_from_x = x0;
    m_move_from_y = y0;
    m_move_to_x = x1;
    m_move_to_y = y1;
    m_kinds |= ANIM_MOVE;
}

void SpriteAnimRecord::SetZoom(float centre_x, float centre_y, float from_x, float from_y, float to_x,
                               float to_y)
{
    m_zoom_centre_x = centre_x;
    m_zoom_centre_y = centre_y;
    m_zoom_from_x = from_x;
    m_zoom_from_y = from_y;
    m_zoom_to_x = to_x;
    m_zoom_to_y = to_y;
    m_kinds |= ANIM_ZOOM;
}

void SpriteAnimRecord::SetCrossFade(CSpriteLayer* target, int32_t left, int32_t top, int32_t right,
                                    int32_t bottom)
{
    m_cross_fade_target = target;
    m_ratio_from = 0x00;
    m_ratio_to = 0xFF;
    m_cross_fade_left = left;
    m_cross_fade_top = top;
    m_cross_fade_right = right;
    m_cross_fade_bottom = bottom;
    m_kinds |= ANIM_CROSS_FADE;
}

void SpriteAnimRecord::SetDelay(int32_t count)
{
    m_delay_count = count;
    m_kinds |= ANIM_DELAY;
}

void SpriteAnimRecord::SetVisible(uint8_t visible)
{
    m_visible = visible;
    m_kinds |= ANIM_VISIBLE;
}

void SpriteAnimRecord::SetAlpha(uint8_t from, uint8_t to)
{
    m_alpha_from = from;
    m_alpha_to = to;
    m_kinds |= ANIM_ALPHA;
}

void SpriteAnimRecord::SetTransition(int32_t appear, int32_t hard_edge, uint32_t rule)
{
    m_transition_appear = appear;
    m_transition_hard_edge = hard_edge;
    m_transition_rule = rule;
    m_kinds |= ANIM_TRANSITION;
}

void SpriteAnimRecord::SetRotation(int32_t from, int32_t to, float origin_x, float origin_y)
{
    m_angle_from = from;
    m_angle_to = to;
    m_rotation_origin_x = origin_x;
    m_rotation_origin_y = origin_y;
    m_kinds |= ANIM_ROTATE;
}

void SpriteAnimRecord::SetScroll(CSpriteLayer* work, int32_t rows_per_frame)
{
    m_scroll_work = work;
    m_scroll_rows = rows_per_frame;
    m_kinds |= ANIM_SCROLL;
}

void SpriteAnimRecord::SetUserAnime(IUserAnime* anime)
{
    m_user_anime = anime;
    m_kinds |= ANIM_USER;
}

void SpriteAnimRecord::SetJump(int32_t count, int32_t target)
{
    m_jump_count = count;
    m_jump_target = target;
    m_kinds |= ANIM_JUMP;
}

void SpriteAnimRecord::SetMarker()
{
    m_kinds |= ANIM_MARKER;
}
