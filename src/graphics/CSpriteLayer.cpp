#include "graphics/CSpriteLayer.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "foundation/DocumentLink.h"
#include "foundation/PlayerMessage.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CDIBDC.h"
#include "graphics/CDirect3D.h"
#include "graphics/DataArchiveRead.h"
#include "platform/user/RectApi.h"

CSpriteLayer::CSpriteLayer() = default;

CSpriteLayer::~CSpriteLayer()
{
    CSpriteLayer::Destroy();
}

int32_t CSpriteLayer::Create(int32_t x, int32_t y, int32_t width, int32_t height, int32_t priority)
{
    std::unique_ptr<ILayer> layer;
    if (m_layer_kind == LAYER_KIND_DIB_SECTION)
        layer = std::make_unique<CDIBDC>();
    else
        layer = std::make_unique<CDIB>();
    layer->Create(width, height);
    m_layer = std::move(layer);
    m_rect = RECT{x, y, x + width, y + height};
    m_priority = priority;
    if (priority != -1)
        CDirect3D::GetInstance()->UpdateDrawList(DRAW_LIST_ADD, this);
    return 1;
}

void CSpriteLayer::Destroy()
{
    CDirect3D::GetInstance()->UpdateDrawList(DRAW_LIST_REMOVE, this);
    m_layer.reset();
    m_snapshot.reset();
    m_pending_record.reset();
}

void CSpriteLayer::Invalidate(int32_t mode, const RECT& rect)
{
    if (ILayer* layer = GetLayer())
        layer->SetModified(mode);
    if (mode == 1) {
        RECT both;
        UnionRect(&both, &m_dirty, &rect);
        m_dirty = both;
    } else {
        SetRectEmpty(&m_dirty);
    }
}

int32_t CSpriteLayer::IsLayerModified()
{
    ILayer* layer = GetLayer();
    return layer != nullptr ? layer->GetModified() : 0;
}

void CSpriteLayer::DrawToLayer(ILayer* target)
{
    ILayer* layer = GetLayer();
    const int32_t alpha = GetAlpha();
    if (target == nullptr || layer == nullptr || !IsVisible() || alpha <= 0)
        return;
    const RECT bounds{0, 0, target->GetWidth(), target->GetHeight()};
    RECT part;
    if (!IntersectRect(&part, &m_rect, &bounds))
        return;
    target->BltAlphaOpacity(part.left, part.top, part.right - part.left, part.bottom - part.top, layer,
                            part.left - m_rect.left, part.top - m_rect.top, alpha);
}

void CSpriteLayer::DrawToLayerClipped(ILayer* target, const RECT& clip)
{
    ILayer* layer = GetLayer();
    const int32_t alpha = GetAlpha();
    if (target == nullptr || layer == nullptr || !IsVisible() || alpha <= 0)
        return;
    RECT part;
    if (!IntersectRect(&part, &m_rect, &clip))
        return;
    target->BltOverOpacity(part.left, part.top, part.right - part.left, part.bottom - part.top, layer,
                           part.left - m_rect.left, part.top - m_rect.top, alpha);
}

void CSpriteLayer::SaveSnapshot()
{
    ILayer* layer = GetLayer();
    const int32_t width = m_rect.right - m_rect.left;
    const int32_t height = m_rect.bottom - m_rect.top;
    auto snapshot = std::make_unique<CDIB>();
    snapshot->Create(std::max(width, 0), std::max(height, 0));
    snapshot->Blt(0, 0, width, height, layer, 0, 0, 1);
    m_snapshot = std::move(snapshot);
}

void CSpriteLayer::AttachLayer(ILayer* layer, int32_t x, int32_t y, int32_t priority)
{
    m_layer.reset(layer);
    const int32_t width = layer != nullptr ? layer->GetWidth() : 0;
    const int32_t height = layer != nullptr ? layer->GetHeight() : 0;
    m_rect = RECT{x, y, x + width, y + height};
    m_priority = priority;
    Invalidate(1, m_rect);
}

SpriteAnimRecord* CSpriteLayer::BeginRecord()
{
    ClearAnimations();
    m_pending_record = std::make_unique<SpriteAnimRecord>();
    return m_pending_record.get();
}

void CSpriteLayer::CommitRecord()
{
    if (!m_pending_record)
        return;
    AddAnimation(*m_pending_record);
    m_pending_record.reset();
}

SpriteAnimRecord* CSpriteLayer::GetPendingRecord()
{
    return m_pending_record.get();
}

ILayer* CSpriteLayer::GetLayer()
{
    return m_layer.get();
}

void CSpriteLayer::ZeroRows(uint8_t* first, size_t bytes)
{
    ILayer* layer = GetLayer();
    if (layer != nullptr && layer != this)
        layer->ZeroRows(first, bytes);
    else
        ILayer::ZeroRows(first, bytes);
}

void CSpriteLayer::LoadTransitionRule(uint32_t rule)
{
    if (m_rule_number == static_cast<int64_t>(rule))
        return;
    char name[16];
    std::snprintf(name, sizeof(name), "%02u.bin", rule);
    std::vector<uint8_t> image;
    try {
        image = ReadDataArchiveEntry(name);
    } catch (const CStringUTF8& message) {
        // Transitions start on the task thread, where nothing may unwind: the message is shown
        // as the layer loader shows its read errors, and the rule stays unloaded for a later try.
        DocumentLink* link = GetDocumentLink();
        ShowPlayerMessage(0, link != nullptr ? link->FormatScriptError(message) : message);
        return;
    }
    SetTransitionRule(rule, std::move(image));
}

void CSpriteLayer::SetTransitionRule(uint32_t rule, std::vector<uint8_t> image)
{
    const SIZE screen = GetScreenOriginalSize(0);
    m_rule_width = std::max(screen.cx, 0);
    m_rule_height = std::max(screen.cy, 0);
    const size_t screen_bytes = static_cast<size_t>(m_rule_width) * static_cast<size_t>(m_rule_height);
    // Short entries leave the rest zero: those pixels change on the first frames.
    image.resize(std::max(screen_bytes, image.size()), 0);
    m_rule_image = std::move(image);
    m_rule_number = rule;
}

// ---- Layer animations ----

void CSpriteLayer::StartAnimTransition(const SpriteAnimRecord& record)
{
    m_transition_appear = record.m_transition_appear;
    m_transition_hard_edge = record.m_transition_hard_edge;
    m_step_kinds |= ANIM_TRANSITION;
    ILayer* layer = GetLayer();
    if (layer == nullptr)
        return;
    const int32_t width = layer->GetWidth();
    const int32_t height = layer->GetHeight();
    layer->Lock();
    m_alpha_mask.assign(static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0)),
                        0);
    if (uint8_t* bits = layer->GetBits()) {
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* row = bits + layer->GetPixelOffset(0, y);
            for (int32_t x = 0; x < width; ++x)
                m_alpha_mask[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                    row[x * 4 + 3];
        }
    }
    layer->Unlock();
    LoadTransitionRule(record.m_transition_rule);
    if (m_transition_appear) {
        layer->SetAlphaRect(0, 0, width, height, 0);
        SetAlpha(255);
        SetVisibleFlag(1);
    }
}

void CSpriteLayer::StartAnimCrossFade(const SpriteAnimRecord& record)
{
    m_cross_fade_target = record.m_cross_fade_target;
    m_ratio_from = record.m_ratio_from;
    m_ratio_to = record.m_ratio_to;
    m_cross_fade_rect = RECT{record.m_cross_fade_left, record.m_cross_fade_top, record.m_cross_fade_right,
                             record.m_cross_fade_bottom};
    m_step_kinds |= ANIM_CROSS_FADE;
}

void CSpriteLayer::StartAnimScroll(const SpriteAnimRecord& record)
{
    m_scroll_work = record.m_scroll_work;
    m_scroll_rows = record.m_scroll_rows;
    m_step_kinds |= ANIM_SCROLL;
}

void CSpriteLayer::FinishLayerAnimStep(uint32_t kinds)
{
    if (kinds & ANIM_TRANSITION)
        m_transition_hard_edge = m_transition_hard_edge ? 0 : 1;
    if (kinds & ANIM_CROSS_FADE) {
        SaveSnapshot();
        std::swap(m_ratio_from, m_ratio_to);
    }
}

void CSpriteLayer::OnAnimStepBegin(uint32_t kinds, int32_t duration)
{
    if (kinds & ANIM_TRANSITION) {
        const int32_t m = duration - 1;
        if (m <= 0) {
            m_integer_step = 0;
            m_threshold_step = 0;
            m_lower_start = 256;
        } else if (m_transition_hard_edge) {
            m_integer_step = static_cast<uint16_t>(255 / m);
            m_threshold_step = 255.0f / static_cast<float>(m);
            m_lower_start = 256;
        } else {
            m_integer_step = static_cast<uint16_t>(512 / m);
            m_lower_start = static_cast<uint16_t>(m_integer_step + 256);
            m_threshold_step = 512.0f / static_cast<float>(m);
        }
        m_threshold = m_threshold_step;
    }
    if (kinds & ANIM_CROSS_FADE)
        SaveSnapshot();
    CSprite::OnAnimStepBegin(kinds, duration);
}

void CSpriteLayer::UpdateLayerAnimation(uint32_t kinds, int32_t elapsed, int32_t duration)
{
    if (kinds & ANIM_TRANSITION)
        UpdateTransition();
    if ((kinds & ANIM_CROSS_FADE) && m_cross_fade_target != nullptr) {
        if (ILayer* layer = GetLayer()) {
            const int32_t ratio = (m_ratio_from + (m_ratio_to - m_ratio_from) * elapsed / duration) & 0xFF;
            layer->BltCrossFade(m_cross_fade_rect.left, m_cross_fade_rect.top,
                                m_cross_fade_rect.right - m_cross_fade_rect.left,
                                m_cross_fade_rect.bottom - m_cross_fade_rect.top, m_cross_fade_target,
                                m_cross_fade_rect.left, m_cross_fade_rect.top, ratio, m_snapshot.get());
        }
    }
    if (kinds & ANIM_SCROLL)
        Scroll();
    CSprite::UpdateLayerAnimation(kinds, elapsed, duration);
}

void CSpriteLayer::OnAnimStepEnd(uint32_t kinds)
{
    if (kinds & ANIM_TRANSITION) {
        if (ILayer* layer = GetLayer()) {
            const int32_t width = layer->GetWidth();
            const int32_t height = layer->GetHeight();
            layer->Lock();
            uint8_t* bits = layer->GetBits();
            if (bits != nullptr &&
                m_alpha_mask.size() == static_cast<size_t>(width) * static_cast<size_t>(height)) {
                for (int32_t y = 0; y < height; ++y) {
                    uint8_t* row = bits + layer->GetPixelOffset(0, y);
                    for (int32_t x = 0; x < width; ++x)
                        row[x * 4 + 3] = m_alpha_mask[static_cast<size_t>(y) * static_cast<size_t>(width) +
                                                      static_cast<size_t>(x)];
                }
            }
            layer->SetModified(1);
            layer->Unlock();
        }
        // The saved alpha is read only while the step runs; the next transition saves it anew.
        std::vector<uint8_t>().swap(m_alpha_mask);
        SetVisibleFlag(m_transition_appear);
    }
    if (kinds & ANIM_CROSS_FADE) {
        if (ILayer* layer = GetLayer(); layer != nullptr && m_cross_fade_target != nullptr)
            layer->Blt(m_cross_fade_rect.left, m_cross_fade_rect.top,
                       m_cross_fade_rect.right - m_cross_fade_rect.left,
                       m_cross_fade_rect.bottom - m_cross_fade_rect.top, m_cross_fade_target,
                       m_cross_fade_rect.left, m_cross_fade_rect.top, 1);
        m_snapshot.reset();
    }
    CSprite::OnAnimStepEnd(kinds);
}

void CSpriteLayer::UpdateTransition()
{
    ILayer* layer = GetLayer();
    if (layer == nullptr)
        return;
    layer->Lock();
    const int32_t t = static_cast<uint16_t>(m_threshold);
    // Pixels whose rule value lies below lower are already final; with no integer step to walk
    // by, every pixel below t still counts.
    int32_t lower = 0;
    if (m_integer_step != 0 && t > m_lower_start)
        lower = (t - m_lower_start + m_integer_step - 1) / m_integer_step * m_integer_step;
    Invalidate(1, m_rect);
    const int32_t width = std::min(m_rule_width, layer->GetWidth());
    const int32_t height = std::min(m_rule_height, layer->GetHeight());
    const int32_t layer_width = layer->GetWidth();
    uint8_t* bits = layer->GetBits();
    if (bits != nullptr &&
        m_alpha_mask.size() >= static_cast<size_t>(layer_width) * static_cast<size_t>(height)) {
        for (int32_t y = 0; y < height; ++y) {
            uint8_t* row = bits + layer->GetPixelOffset(0, y);
            const uint8_t* rule =
                m_rule_image.data() + static_cast<size_t>(y) * static_cast<size_t>(m_rule_width);
            const uint8_t* saved =
                m_alpha_mask.data() + static_cast<size_t>(y) * static_cast<size_t>(layer_width);
            for (int32_t x = 0; x < width; ++x) {
                const int32_t r = rule[x];
                if (r < lower || r >= t)
                    continue;
                const int32_t a = saved[x];
                const int32_t reach = t - r;
                int32_t alpha;
                if (m_transition_hard_edge)
                    alpha = m_transition_appear ? a : 0;
                else
                    alpha = m_transition_appear ? std::min(a, reach) : a - std::min(a, reach);
                row[x * 4 + 3] = static_cast<uint8_t>(alpha);
            }
        }
    }
    m_threshold += m_threshold_step;
    layer->Unlock();
}

void CSpriteLayer::Scroll()
{
    ILayer* layer = GetLayer();
    if (layer == nullptr || m_scroll_work == nullptr)
        return;
    const int32_t w = std::min(layer->GetWidth(), m_scroll_work->GetWidth());
    const int32_t h = std::min(layer->GetHeight(), m_scroll_work->GetHeight());
    if (w <= 0 || h <= 0)
        return;
    m_scroll_work->Blt(0, 0, w, h, layer, 0, 0, 1);
    // A shift of a whole height or more wraps round like any other.
    int32_t s = static_cast<int32_t>(static_cast<int64_t>(m_scroll_rows) % h);
    if (s < 0)
        s += h;
    // Rows s..h-1 of the copy go to the top, rows 0..s-1 below them.
    layer->Blt(0, 0, w, h - s, m_scroll_work, 0, s, 1);
    layer->Blt(0, h - s, w, s, m_scroll_work, 0, 0, 1);
}

// ---- ILayer side ----

BITMAPINFOHEADER* CSpriteLayer::Create(int32_t width, int32_t height)
{
    ILayer* layer = GetLayer();
    return layer ? layer->Create(width, height) : nullptr;
}

void CSpriteLayer::Release()
{
    if (ILayer* layer = GetLayer())
        layer->Release();
}

int32_t CSpriteLayer::GetType()
{
    ILayer* layer = GetLayer();
    return layer ? layer->GetType() : m_layer_kind;
}

ptrdiff_t CSpriteLayer::GetPixelOffset(int32_t x, int32_t y)
{
    ILayer* layer = GetLayer();
    return layer ? layer->GetPixelOffset(x, y) : 0;
}

ptrdiff_t CSpriteLayer::GetPitch()
{
    ILayer* layer = GetLayer();
    return layer ? layer->GetPitch() : 0;
}

uint8_t* CSpriteLayer::GetBits()
{
    ILayer* layer = GetLayer();
    return layer ? layer->GetBits() : nullptr;
}

HDC CSpriteLayer::GetDC()
{
    ILayer* layer = GetLayer();
    return layer ? layer->GetDC() : nullptr;
}

BITMAPINFOHEADER* CSpriteLayer::GetHeader()
{
    ILayer* layer = GetLayer();
    return layer ? layer->GetHeader() : ILayer::GetHeader();
}

int32_t CSpriteLayer::GetWidth()
{
    ILayer* layer = GetLayer();
    return layer ? layer->GetWidth() : 0;
}

int32_t CSpriteLayer::GetHeight()
{
    ILayer* layer = GetLayer();
    return layer ? layer->GetHeight() : 0;
}

int32_t CSpriteLayer::GetStride()
{
    ILayer* layer = GetLayer();
    return layer ? layer->GetStride() : 0;
}

int32_t CSpriteLayer::Lock()
{
    ILayer* layer = GetLayer();
    return layer ? layer->Lock() : 0;
}

int32_t CSpriteLayer::Unlock()
{
    ILayer* layer = GetLayer();
    return layer ? layer->Unlock() : 0;
}

BITMAPINFOHEADER* CSpriteLayer::Resize(int32_t width, int32_t height)
{
    ILayer* layer = GetLayer();
    return layer ? layer->Resize(width, height) : nullptr;
}

SIZE CSpriteLayer::GetSize()
{
    ILayer* layer = GetLayer();
    return layer ? layer->GetSize() : SIZE{0, 0};
}

void CSpriteLayer::SetModified(int32_t value)
{
    if (ILayer* layer = GetLayer())
        layer->SetModified(value);
}

int32_t CSpriteLayer::GetModified()
{
    ILayer* layer = GetLayer();
    return layer ? layer->GetModified() : 0;
}
