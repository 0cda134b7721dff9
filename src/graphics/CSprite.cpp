#include "graphics/CSprite.h"

#include <algorithm>

#include "foundation/ConfigSettings.h"
#include "foundation/DocumentLink.h"
#include "foundation/ScopedLock.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/IUserAnime.h"
#include "platform/user/RectApi.h"

namespace {

// Skip mode: steps run at their own speed whatever the display-effect setting says.
constexpr uint32_t ENGINE_SKIP_MODE = 0x4000;

// from + (to - from) x elapsed / duration, truncated toward zero, without overflowing.
int32_t Interpolate(int32_t from, int32_t to, int32_t elapsed, int32_t duration)
{
    return static_cast<int32_t>(from + (int64_t{to} - from) * elapsed / duration);
}

} // namespace

CSprite::CSprite() = default;

CSprite::~CSprite() = default;

int32_t CSprite::Create(int32_t x, int32_t y, int32_t width, int32_t height, int32_t priority)
{
    m_rect = RECT{x, y, x + width, y + height};
    m_priority = priority;
    return 1;
}

int32_t CSprite::GetPriority()
{
    return m_priority;
}

void CSprite::SetPriority(int32_t priority)
{
    m_priority = priority;
    CDirect3D* display = CDirect3D::GetInstance();
    if (auto* layer = dynamic_cast<CSpriteLayer*>(this))
        display->UpdateDrawList(priority != -1 ? DRAW_LIST_ADD : DRAW_LIST_REMOVE, layer);
    display->UpdateDrawList(DRAW_LIST_SORT, nullptr);
}

int32_t CSprite::IsVisible()
{
    return m_visible.load();
}

void CSprite::Show()
{
    SetVisible(VISIBLE_SHOW);
}

void CSprite::Hide()
{
    SetVisible(VISIBLE_HIDE);
}

void CSprite::Refresh()
{
    SetVisible(VISIBLE_REFRESH);
}

void CSprite::SetVisibleFlag(int32_t visible)
{
    m_visible = visible;
}

RECT CSprite::GetDrawRect()
{
    return IsRectEmpty(&m_dirty) ? m_rect : m_dirty;
}

void CSprite::MoveToF(float x, float y)
{
    SetPosition(static_cast<int32_t>(x), static_cast<int32_t>(y));
}

void CSprite::MoveTo(POINT point)
{
    SetPosition(point.x, point.y);
}

void CSprite::SetPosition(int32_t x, int32_t y)
{
    const int32_t width = m_rect.right - m_rect.left;
    const int32_t height = m_rect.bottom - m_rect.top;
    m_rect = RECT{x, y, x + width, y + height};
    Invalidate(1, m_rect);
}

POINT CSprite::GetPosition()
{
    return POINT{m_rect.left, m_rect.top};
}

void CSprite::SetAlpha(int32_t alpha)
{
    m_alpha = static_cast<float>(alpha);
    Invalidate(1, m_rect);
}

int32_t CSprite::GetAlpha()
{
    return static_cast<int32_t>(m_alpha);
}

void CSprite::SetRect(const RECT& rect)
{
    m_rect = rect;
}

RECT* CSprite::GetRect()
{
    return &m_rect;
}

bool CSprite::IsAnimating()
{
    return m_step_kinds.load() != 0;
}

void CSprite::ClearAnimations()
{
    ScopedLock lock(m_lock);
    DestroyRecords();
}

void CSprite::DropCrossFadesTo(const CSpriteLayer* target)
{
    ScopedLock lock(m_lock);
    std::erase_if(m_records, [target](const SpriteAnimRecord& record) {
        return (record.m_kinds & ANIM_CROSS_FADE) != 0 && record.m_cross_fade_target == target;
    });
}

int32_t CSprite::GetAnimationCount()
{
    ScopedLock lock(m_lock);
    return static_cast<int32_t>(m_records.size());
}

int32_t CSprite::GetAnimationIndex()
{
    ScopedLock lock(m_lock);
    return m_record_index;
}

void CSprite::Invalidate(int32_t, const RECT&) {}

int32_t CSprite::IsLayerModified()
{
    return 0;
}

void CSprite::SetVisible(int32_t mode)
{
    if (mode == VISIBLE_SHOW || mode == VISIBLE_HIDE) {
        const int32_t wanted = mode == VISIBLE_SHOW ? 1 : 0;
        if (m_visible.exchange(wanted) == wanted)
            return;
    } else if (mode != VISIBLE_REFRESH) {
        return;
    }
    RedrawFrameNow();
}

void CSprite::StartAnimDelay(const SpriteAnimRecord& record)
{
    m_delay_count = record.m_delay_count;
    m_step_kinds |= ANIM_DELAY;
}

void CSprite::StartAnimMove(const SpriteAnimRecord& record)
{
    m_move_from = POINT{record.m_move_from_x, record.m_move_from_y};
    m_move_to = POINT{record.m_move_to_x, record.m_move_to_y};
    m_step_kinds |= ANIM_MOVE;
    MoveTo(m_move_from);
}

void CSprite::StartAnimVisible(const SpriteAnimRecord& record)
{
    m_visible_value = record.m_visible;
    m_step_kinds |= ANIM_VISIBLE;
}

void CSprite::StartAnimAlpha(const SpriteAnimRecord& record)
{
    m_alpha_from = record.m_alpha_from;
    m_alpha_to = record.m_alpha_to;
    m_step_kinds |= ANIM_ALPHA;
    SetAlpha(m_alpha_from);
}

void CSprite::StartAnimUser(const SpriteAnimRecord& record)
{
    m_user_anime = record.m_user_anime;
    m_step_kinds |= ANIM_USER;
}

void CSprite::StartAnimScroll(const SpriteAnimRecord&) {}

void CSprite::StartAnimTransition(const SpriteAnimRecord&) {}

void CSprite::StartAnimCrossFade(const SpriteAnimRecord&) {}

void CSprite::StartAnimRotate(const SpriteAnimRecord&) {}

void CSprite::StartAnimZoom(const SpriteAnimRecord&) {}

void CSprite::OnAnimationEnd() {}

void CSprite::FinishLayerAnimStep(uint32_t) {}

void CSprite::OnAnimStepBegin(uint32_t, int32_t) {}

void CSprite::UpdateLayerAnimation(uint32_t, int32_t, int32_t) {}

void CSprite::OnAnimStepEnd(uint32_t) {}

void CSprite::SetRotation(float) {}

void CSprite::SetRotationOrigin(float, float) {}

void CSprite::SetZoomCenter(float, float) {}

void CSprite::AddAnimation(const SpriteAnimRecord& record)
{
    m_records.push_back(record);
}

void CSprite::DestroyRecords()
{
    m_records.clear();
}

void CSprite::FinishAnimations()
{
    ScopedLock lock(m_lock);
    while (!m_records.empty()) {
        FinishStep();
        AdvanceStep(ADVANCE_IGNORE_JUMPS);
    }
    OnAnimationEnd();
    m_advance_flags = 0;
}

void CSprite::FinishStep()
{
    ScopedLock lock(m_lock);
    const uint32_t kinds = m_step_kinds.load();
    m_delay_count = 0;
    if (kinds & ANIM_MOVE)
        MoveTo(m_move_to);
    if (kinds & ANIM_VISIBLE)
        SetVisibleFlag(m_visible_value);
    if (kinds & ANIM_ALPHA)
        SetAlpha(m_alpha_to);
    if ((kinds & ANIM_USER) && m_user_anime != nullptr)
        m_user_anime->End();
    OnAnimStepEnd(kinds);
    m_step_kinds = 0;
}

void CSprite::AdvanceStep(uint32_t flags)
{
    ScopedLock lock(m_lock);
    if (m_records.empty())
        return;
    const int32_t count = static_cast<int32_t>(m_records.size());
    const int32_t step = m_reverse ? -1 : 1;
    auto outside = [count](int32_t index) { return index < 0 || index >= count; };
    // A list can only cycle through jumps; more jumps in one advance than it has records means
    // it cycles without reaching a step, so it ends as if it had run off its end.
    int32_t jumps = 0;
    int32_t i = m_record_index;
    SpriteAnimRecord* record = nullptr;
    for (;;) {
        if (outside(i)) {
            DestroyRecords();
            return;
        }
        record = &m_records[static_cast<size_t>(i)];
        if ((record->m_kinds & ANIM_JUMP) && !(flags & ADVANCE_IGNORE_JUMPS) &&
            (record->m_jump_count == JUMP_FOREVER || record->m_jump_count > 0)) {
            if (record->m_jump_count > 0)
                --record->m_jump_count;
            i = record->m_jump_target;
            if (++jumps > count || outside(i)) {
                DestroyRecords();
                return;
            }
            record = &m_records[static_cast<size_t>(i)];
        }
        if (!(record->m_kinds & ANIM_MARKER))
            break;
        if (flags & ADVANCE_STOP_AT_MARKER) {
            DestroyRecords();
            m_step_kinds = 0;
            m_advance_flags = 0;
            return;
        }
        i += step;
    }
    // The record is copied: starters may call back into code that changes the list.
    const SpriteAnimRecord current = *record;
    m_record_index = i;
    const uint32_t kinds = current.m_kinds;
    if (kinds & ANIM_DELAY)
        StartAnimDelay(current);
    if (kinds & ANIM_VISIBLE)
        StartAnimVisible(current);
    if (kinds & ANIM_MOVE)
        StartAnimMove(current);
    if (kinds & ANIM_ALPHA)
        StartAnimAlpha(current);
    if (kinds & ANIM_CROSS_FADE)
        StartAnimCrossFade(current);
    if (kinds & ANIM_SCROLL)
        StartAnimScroll(current);
    if (kinds & ANIM_TRANSITION)
        StartAnimTransition(current);
    if (kinds & ANIM_ROTATE)
        StartAnimRotate(current);
    if (kinds & ANIM_ZOOM)
        StartAnimZoom(current);
    if (kinds & ANIM_USER)
        StartAnimUser(current);

    if (kinds != 0) {
        int32_t duration = current.m_duration;
        DocumentLink* document = GetDocumentLink();
        const uint32_t word = document != nullptr ? document->GetEngineStateWord() : 0;
        if (m_speed_adjust == 1 && (word & ENGINE_SKIP_MODE) == 0) {
            const int32_t speed = GetConfigDisplayEffectSpeed();
            if (speed == 1) {
                m_delay_count >>= 1;
                duration = static_cast<int32_t>(static_cast<uint32_t>(duration) >> 1);
            } else if (speed == 2) {
                m_delay_count = 0;
                duration = 1;
            }
        }
        // The record's own bits count too, so a jump record played as a step keeps the sprite busy.
        m_step_kinds |= kinds;
        m_elapsed = 1;
        m_duration = std::max(duration, 1);
        if (kinds & ANIM_MOVE)
            MoveTo(m_move_from);
        if ((kinds & ANIM_VISIBLE) && m_visible_value == 1)
            SetVisibleFlag(1);
        if (kinds & ANIM_ALPHA)
            SetAlpha(m_alpha_from);
        if ((kinds & ANIM_USER) && m_user_anime != nullptr)
            m_user_anime->Begin();
    } else {
        m_step_kinds = 0;
    }
    OnAnimStepBegin(m_step_kinds.load(), m_duration);
    m_record_index = i + step;
}

void CSprite::UpdateAnimation()
{
    ScopedLock lock(m_lock);
    uint32_t kinds = m_step_kinds.load();
    if (kinds & ANIM_DELAY) {
        if (m_delay_count > 0) {
            --m_delay_count;
            return;
        }
        m_step_kinds &= ~ANIM_DELAY;
        kinds &= ~ANIM_DELAY;
    }
    const int32_t e = m_elapsed;
    const int32_t d = std::max(m_duration, 1);
    if (kinds & ANIM_MOVE) {
        const RECT old_rect = m_rect;
        SetPosition(Interpolate(m_move_from.x, m_move_to.x, e, d),
                    Interpolate(m_move_from.y, m_move_to.y, e, d));
        RECT both;
        UnionRect(&both, &old_rect, &m_rect);
        Invalidate(1, both);
    }
    if (kinds & ANIM_ALPHA)
        SetAlpha(Interpolate(m_alpha_from, m_alpha_to, e, d));
    if ((kinds & ANIM_USER) && m_user_anime != nullptr)
        m_user_anime->Update(e, d);
    UpdateLayerAnimation(kinds, e, d);
    m_elapsed = e + 1;
}
