#include "graphics/CSpriteManager.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <typeinfo>

#include "foundation/ScopedLock.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSpriteContainer.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/CTextureLayer.h"
#include "platform/d3d/SpriteBatch.h"

CSpriteManager::CSpriteManager(ID3D11DeviceContext* context)
    : m_batch(context ? std::make_unique<DirectX::SpriteBatch>(context) : nullptr)
    , m_matrix(DirectX::XMMatrixIdentity())
{}

CSpriteManager::~CSpriteManager() = default;

void CSpriteManager::CreateSpriteBatch(ID3D11DeviceContext* context)
{
    m_batch = std::make_unique<DirectX::SpriteBatch>(context);
}

void CSpriteManager::SetMatrices()
{
    using namespace DirectX;
    CDirect3D* display = CDirect3D::GetInstance();
    const float sx = display->GetScaleX();
    const float sy = display->GetScaleY();
    m_matrix = XMMatrixIdentity();
    m_matrix = XMMatrixTranslation(0, 0, 0) * XMMatrixTranslation(-0.0f, -0.0f, 0) *
               XMMatrixScaling(sx != 0 ? 1.0f / sx : 1.0f, sy != 0 ? 1.0f / sy : 1.0f, 0) *
               XMMatrixIdentity();
}

void CSpriteManager::Register(CSpriteLayer* sprite)
{
    ScopedLock lock(m_lock);
    if (std::find(m_draw_list.begin(), m_draw_list.end(), sprite) != m_draw_list.end())
        return;
    m_draw_list.push_back(sprite);
    Sort();
}

void CSpriteManager::Remove(CSpriteLayer* sprite)
{
    ScopedLock lock(m_lock);
    auto found = std::find(m_draw_list.begin(), m_draw_list.end(), sprite);
    if (found != m_draw_list.end())
        m_draw_list.erase(found);
    Sort();
}

void CSpriteManager::Sort()
{
    ScopedLock lock(m_lock);
    const auto by_priority = [](CSpriteLayer* a, CSpriteLayer* b) {
        return a->GetPriority() < b->GetPriority();
    };
    // Every sprite added or removed sorts the list, and an effect makes and frees hundreds of them
    // at a time: a list in order but for the one just added at its end takes it in after the last
    // of its priority, where the stable sort would put it, without sorting the rest again.
    const auto unsorted = std::is_sorted_until(m_draw_list.begin(), m_draw_list.end(), by_priority);
    if (unsorted == m_draw_list.end())
        return;
    if (unsorted + 1 == m_draw_list.end()) {
        const auto place = std::upper_bound(m_draw_list.begin(), unsorted, *unsorted, by_priority);
        std::rotate(place, unsorted, m_draw_list.end());
        return;
    }
    std::stable_sort(m_draw_list.begin(), m_draw_list.end(), by_priority);
}

std::vector<CSpriteLayer*> CSpriteManager::GetDrawList()
{
    ScopedLock lock(m_lock);
    return m_draw_list;
}

bool CSpriteManager::Describe(CSpriteLayer* sprite, DrawnSprite& drawn)
{
    drawn.sprite = sprite;
    drawn.layer = sprite->GetLayer();
    const RECT rect = *sprite->GetRect();
    const int32_t visible = sprite->IsVisible() ? 1 : 0;
    drawn.values = {visible,
                    sprite->GetAlpha(),
                    sprite->GetType(),
                    sprite->GetPriority(),
                    rect.left,
                    rect.top,
                    rect.right,
                    rect.bottom,
                    0,
                    0,
                    0,
                    0,
                    0};
    auto* texture = dynamic_cast<CSpriteTexture*>(sprite);
    if (texture == nullptr)
        return typeid(*sprite) == typeid(CSpriteLayer);
    // Only plain texture sprites over plain texture layers draw nothing but what they hold; a
    // container holds what it composed of its children, which the plan composes first.
    if (typeid(*sprite) != typeid(CSpriteTexture) && typeid(*sprite) != typeid(CSpriteContainer))
        return !visible;
    CTextureLayer* layer = texture->GetTextureLayer();
    if (layer != nullptr && layer->IsRenderTarget())
        return !visible;
    drawn.layer = layer;
    const RECT& source = texture->GetSourceRect();
    drawn.values[8] = texture->IsAdditive();
    drawn.values[9] = source.left;
    drawn.values[10] = source.top;
    drawn.values[11] = source.right;
    drawn.values[12] = source.bottom;
    const DirectX::XMFLOAT2 position = texture->GetPositionFloat();
    const DirectX::XMFLOAT2 scale = texture->GetScale();
    const DirectX::XMFLOAT2 origin = texture->GetRotationOrigin();
    const DirectX::XMFLOAT2 zoom = texture->GetZoomCenter();
    drawn.placement = {position.x,
                       position.y,
                       scale.x,
                       scale.y,
                       origin.x,
                       origin.y,
                       zoom.x,
                       zoom.y,
                       texture->GetRotation(),
                       texture->GetDepth(),
                       static_cast<float>(source.right - source.left)};
    return true;
}

namespace {

bool IsEmptyRect(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

RECT UnionOf(const RECT& a, const RECT& b)
{
    if (IsEmptyRect(a))
        return b;
    if (IsEmptyRect(b))
        return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT IntersectionOf(const RECT& a, const RECT& b)
{
    const RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return IsEmptyRect(r) ? RECT{} : r;
}

RECT Offset(const RECT& r, LONG dx, LONG dy)
{
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

int64_t AreaOf(const RECT& r)
{
    return IsEmptyRect(r) ? 0 : int64_t{r.right - r.left} * (r.bottom - r.top);
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Where a texture sprite drawn unturned, unscaled and unblended at whole pixels lands: its
// position less its origin, and its source's size; false for any other texture sprite.
bool TextureFootprint(DirectX::XMFLOAT2 position, DirectX::XMFLOAT2 origin, DirectX::XMFLOAT2 scale,
                      float rotation, int32_t additive, const RECT& source, RECT& footprint)
{
    const float left = position.x - origin.x;
    const float top = position.y - origin.y;
    if (scale.x != 1 || scale.y != 1 || rotation != 0 || additive != 0 || left != std::floor(left) ||
        top != std::floor(top))
        return false;
    const LONG x = static_cast<LONG>(left);
    const LONG y = static_cast<LONG>(top);
    footprint = RECT{x, y, x + source.right - source.left, y + source.bottom - source.top};
    return true;
}

} // namespace

bool CSpriteManager::Footprint(const DrawnSprite& drawn, RECT& footprint)
{
    if (drawn.values[2] != 2) {
        footprint = RECT{drawn.values[4], drawn.values[5], drawn.values[6], drawn.values[7]};
        return true;
    }
    const std::array<float, 11>& p = drawn.placement;
    return TextureFootprint(DirectX::XMFLOAT2{p[0], p[1]}, DirectX::XMFLOAT2{p[4], p[5]},
                            DirectX::XMFLOAT2{p[2], p[3]}, p[8], drawn.values[8],
                            RECT{drawn.values[9], drawn.values[10], drawn.values[11], drawn.values[12]},
                            footprint);
}

RECT CSpriteManager::SeeThroughBase(ILayer* screen, const ILayer::Changes& base_changes)
{
    // The base is the first sprite the last description found visible and drawn in software.
    const DrawnSprite* base = nullptr;
    for (const DrawnSprite& drawn : m_last_drawn) {
        if (drawn.values[0] != 0 && drawn.values[2] != 2) {
            base = &drawn;
            break;
        }
    }
    const RECT bounds{0, 0, screen->GetWidth(), screen->GetHeight()};
    if (base == nullptr || base->layer == nullptr || base->values[1] < 255) {
        m_opaque_base = nullptr;
        return bounds;
    }
    const RECT rect{base->values[4], base->values[5], base->values[6], base->values[7]};
    if (!SameRect(IntersectionOf(rect, bounds), bounds)) {
        m_opaque_base = nullptr;
        return bounds;
    }
    // The part of the base's layer that covers the screen.
    const RECT part = Offset(bounds, -rect.left, -rect.top);
    if (base->layer != m_opaque_base || !SameRect(part, m_opaque_base_rect)) {
        m_opaque_base = base->layer;
        m_opaque_base_rect = part;
        m_base_see_through = base->layer->TranslucentBounds(part);
    } else if (base_changes.direct) {
        m_base_see_through = base->layer->TranslucentBounds(part);
    } else if (base_changes.written) {
        // What was opaque stays so where nothing was written.
        const RECT written = IntersectionOf(base_changes.rect, part);
        m_base_see_through = UnionOf(m_base_see_through, base->layer->TranslucentBounds(written));
    }
    return Offset(m_base_see_through, rect.left, rect.top);
}

CSpriteManager::DrawPlan CSpriteManager::PlanDraw(ILayer* screen, CSpriteTexture* root, bool region_allowed)
{
    ScopedLock lock(m_lock);
    const size_t count = m_draw_list.size();
    std::array<float, 16> matrix;
    std::memcpy(matrix.data(), m_matrix.m, sizeof(matrix));
    bool everything = !m_last_valid || m_last_drawn.size() != count || matrix != m_last_matrix;
    bool regionable = region_allowed && root != nullptr && screen != nullptr;
    // Whatever wrote into the screen layer since the last pass is drawn over by the next one.
    if (screen == nullptr || screen->TakeChanges().written)
        everything = true;
    const RECT bounds = screen != nullptr ? RECT{0, 0, screen->GetWidth(), screen->GetHeight()} : RECT{};

    std::vector<DrawnSprite> drawn(count);
    std::vector<bool> direct(count, false);
    bool describable = true;
    bool root_found = false;
    bool base_found = false;
    ILayer::Changes base_changes;
    RECT region{};
    for (size_t i = 0; i < count; ++i) {
        CSpriteLayer* sprite = m_draw_list[i];
        describable = Describe(sprite, drawn[i]) && describable;
        // Composed here rather than in the pass, so that what its children changed is a change of
        // its texture like any other: the save note's caret redraws its own box alone.
        if (auto* container = dynamic_cast<CSpriteContainer*>(sprite))
            container->Compose();
        ILayer::Changes changes;
        const auto take = [&](ILayer* layer) {
            if (layer == nullptr || layer == screen)
                return;
            const ILayer::Changes taken = layer->TakeChanges();
            if (taken.written)
                changes.rect = changes.written ? UnionOf(changes.rect, taken.rect) : taken.rect;
            changes.written = changes.written || taken.written;
            changes.direct = changes.direct || taken.direct;
        };
        take(drawn[i].layer);
        // A sprite layer's own operations note on the sprite, its pointers on the inner layer.
        if (static_cast<ILayer*>(sprite) != drawn[i].layer)
            take(sprite);
        direct[i] = changes.direct;

        const bool visible = drawn[i].values[0] != 0;
        const bool software = drawn[i].values[2] != 2;
        RECT footprint{};
        const bool known = Footprint(drawn[i], footprint);
        if (visible && !known)
            regionable = false;
        root_found = root_found || sprite == root;
        // The root covers the screen one to one, opaque in what it shows.
        if (sprite == root && (!visible || drawn[i].values[1] != 255 || !SameRect(footprint, bounds) ||
                               drawn[i].values[9] != 0 || drawn[i].values[10] != 0))
            regionable = false;
        if (visible && software && !base_found) {
            base_found = true;
            base_changes = changes;
        }
        if (everything)
            continue;
        const DrawnSprite& last = m_last_drawn[i];
        if (drawn[i].sprite != last.sprite || (sprite == root && !(drawn[i] == last))) {
            everything = true;
            continue;
        }
        const RECT shown = visible ? IntersectionOf(footprint, bounds) : RECT{};
        if (!(drawn[i] == last)) {
            RECT last_footprint{};
            const bool last_known = Footprint(last, last_footprint);
            // A turned or scaled texture sprite has no rectangle to redraw: the whole screen is.
            if ((visible && !known) || (last.values[0] != 0 && !last_known)) {
                everything = true;
                continue;
            }
            const RECT was_shown = last.values[0] != 0 ? IntersectionOf(last_footprint, bounds) : RECT{};
            region = UnionOf(region, UnionOf(shown, was_shown));
        } else if (visible) {
            const bool pending = i < m_direct_pending.size() && m_direct_pending[i];
            if (!known && (changes.direct || changes.written || pending)) {
                everything = true;
                continue;
            }
            // Layer pixels to screen pixels: a texture sprite shows its source from its position.
            const LONG dx = footprint.left - (software ? 0 : drawn[i].values[9]);
            const LONG dy = footprint.top - (software ? 0 : drawn[i].values[10]);
            if (changes.direct || pending)
                region = UnionOf(region, shown);
            else if (changes.written)
                region = UnionOf(region, IntersectionOf(Offset(changes.rect, dx, dy), shown));
        }
    }
    m_last_drawn = std::move(drawn);
    m_last_matrix = matrix;
    m_last_valid = describable;
    m_direct_pending = std::move(direct);
    // Asked every frame, so that the base's changes are never missed.
    const RECT see_through = base_found && screen != nullptr ? SeeThroughBase(screen, base_changes) : bounds;

    DrawPlan plan;
    if (everything || !describable)
        return plan;
    if (IsEmptyRect(region)) {
        // What the pass does to the sprites besides drawing them.
        for (CSpriteLayer* sprite : m_draw_list) {
            if (sprite->IsVisible() && sprite->GetType() != 2)
                sprite->Invalidate(1, *sprite->GetRect());
        }
        plan.kind = DrawPlan::Kind::Nothing;
        return plan;
    }
    // A whole pass blends the base over what the screen held where the base lets it through,
    // which the region pass must do there too.
    if (regionable && root_found && !SameRect(see_through, bounds)) {
        plan.kind = DrawPlan::Kind::Region;
        plan.region = region;
        // Settled pixels the change does not reach come out of the pass as they stand.
        if (m_see_through_settled && SameRect(see_through, m_settled_see_through) &&
            IsEmptyRect(IntersectionOf(region, see_through)))
            return plan;
        plan.see_through = see_through;
        plan.region = UnionOf(region, see_through);
        // Far from the change it is a part of its own rather than the corner of one rectangle.
        if (!IsEmptyRect(see_through) && AreaOf(region) + AreaOf(see_through) < AreaOf(plan.region) / 2) {
            plan.region = region;
            plan.apart = see_through;
        }
    }
    return plan;
}

bool CSpriteManager::DrawRegion(ILayer* screen, CSpriteTexture* root, const DrawPlan& plan,
                                const TargetScale& target)
{
    ScopedLock lock(m_lock);
    // Per part, the target's pixels to draw and the screen's pixels they are worked out from. One
    // to one they are the part. Scaled, a target pixel blends the two texels nearest its centre
    // along each axis: the pixels reached by the part's texels, widened by a pixel for rounding,
    // and the texels those pixels reach.
    const RECT target_bounds{0, 0, target.width, target.height};
    const RECT bounds{0, 0, screen->GetWidth(), screen->GetHeight()};
    const auto reach = [&](const RECT& part, RECT& clip, RECT& area) {
        clip = IntersectionOf(part, target_bounds);
        area = part;
        if (target.x == 1 && target.y == 1)
            return;
        const auto outwards = [](double low, double high, double scale, LONG widen) {
            return std::pair{static_cast<LONG>(std::floor(low * scale)) - widen,
                             static_cast<LONG>(std::ceil(high * scale)) + widen};
        };
        const auto [clip_left, clip_right] = outwards(part.left - 1.0, part.right + 1.0, target.x, 1);
        const auto [clip_top, clip_bottom] = outwards(part.top - 1.0, part.bottom + 1.0, target.y, 1);
        clip = IntersectionOf(RECT{clip_left, clip_top, clip_right, clip_bottom}, target_bounds);
        const auto [area_left, area_right] = outwards(clip.left, clip.right, 1.0 / target.x, 1);
        const auto [area_top, area_bottom] = outwards(clip.top, clip.bottom, 1.0 / target.y, 1);
        area = IntersectionOf(RECT{area_left, area_top, area_right, area_bottom}, bounds);
    };
    std::vector<std::pair<RECT, RECT>> parts(1);
    reach(plan.region, parts[0].first, parts[0].second);
    if (!IsEmptyRect(plan.apart)) {
        RECT clip{}, area{};
        reach(plan.apart, clip, area);
        // Composed twice, the base's see-through pixels would be blended twice.
        if (IsEmptyRect(IntersectionOf(area, parts[0].second)))
            parts.emplace_back(clip, area);
        else
            reach(UnionOf(plan.region, plan.apart), parts[0].first, parts[0].second);
    }
    for (const auto& [clip, area] : parts) {
        if (IsEmptyRect(clip))
            return false;
    }
    const std::vector<uint32_t> see_through_before = screen->ReadPixels(plan.see_through);
    for (CSpriteLayer* sprite : m_draw_list) {
        if (!sprite->IsVisible() || sprite->GetType() == 2)
            continue;
        // As CSpriteLayer::DrawToLayer, inside the areas.
        ILayer* layer = sprite->GetLayer();
        const int32_t alpha = sprite->GetAlpha();
        const RECT rect = *sprite->GetRect();
        for (const auto& [clip, area] : parts) {
            const RECT part = IntersectionOf(rect, area);
            if (layer != nullptr && alpha > 0 && !IsEmptyRect(part))
                screen->BltAlphaOpacity(part.left, part.top, part.right - part.left, part.bottom - part.top,
                                        layer, part.left - rect.left, part.top - rect.top, alpha);
        }
        sprite->Invalidate(1, rect);
    }
    if (!IsEmptyRect(plan.see_through)) {
        m_see_through_settled = screen->ReadPixels(plan.see_through) == see_through_before;
        m_settled_see_through = plan.see_through;
    }
    // The root blends over what the target holds, which a whole pass clears to black first: the
    // same only where the screen layer is opaque.
    CDirect3D* display = CDirect3D::GetInstance();
    ID3D11DeviceContext* context = display->GetDeviceContext();
    if (root->GetTextureLayer() == nullptr || !m_batch || !context || !display->GetScissorState())
        return false;
    for (const auto& [clip, area] : parts) {
        if (!screen->IsOpaque(area))
            return false;
    }
    // The texture sprites as the whole pass draws them (in its order), kept inside each clip.
    std::vector<CSpriteTexture*> drawn;
    for (CSpriteLayer* sprite : m_draw_list) {
        auto* texture = dynamic_cast<CSpriteTexture*>(sprite);
        if (texture == nullptr || texture->IsAdditive() || !texture->IsVisible() ||
            !texture->GetTextureLayer() || texture->GetAlpha() <= 0)
            continue;
        RECT footprint{};
        if (!TextureFootprint(texture->GetPositionFloat(), texture->GetRotationOrigin(), texture->GetScale(),
                              texture->GetRotation(), 0, texture->GetSourceRect(), footprint))
            continue;
        CTextureLayer* layer = texture->GetTextureLayer();
        bool shown = false;
        for (const auto& [clip, area] : parts) {
            if (IsEmptyRect(IntersectionOf(footprint, area)))
                continue;
            shown = true;
            if (texture == root)
                layer->UploadPart(area);
        }
        if (!shown)
            continue;
        if (texture != root)
            layer->Upload();
        drawn.push_back(texture);
    }
    std::stable_sort(drawn.begin(), drawn.end(),
                     [](CSpriteTexture* a, CSpriteTexture* b) { return a->GetDepth() < b->GetDepth(); });
    // Drawn at once, so that each part's draws keep to that part's scissor.
    m_batch->Begin(DirectX::SpriteSortMode_Immediate, display->GetAlphaBlendState(),
                   display->GetSamplerState(), nullptr, display->GetScissorState(), nullptr, m_matrix);
    for (const auto& [clip, area] : parts) {
        context->RSSetScissorRects(1, &clip);
        for (CSpriteTexture* texture : drawn) {
            // Unscaled, the zoom centre moves nothing.
            m_batch->Draw(
                texture->GetTextureLayer()->GetShaderResourceView(), texture->GetPositionFloat(),
                &texture->GetSourceRect(),
                DirectX::XMVECTOR{1.0f, 1.0f, 1.0f, static_cast<float>(texture->GetAlpha()) / 255.0f},
                texture->GetRotation(), texture->GetRotationOrigin(), texture->GetScale(),
                DirectX::SpriteEffects_None, texture->GetDepth());
        }
    }
    m_batch->End();
    context->RSSetScissorRects(0, nullptr);
    m_last_batch_count = 1;
    for (CSpriteLayer* sprite : m_draw_list) {
        if (auto* texture = dynamic_cast<CSpriteTexture*>(sprite);
            texture && texture != root && texture->IsVisible())
            texture->MarkForUpload(0);
    }
    screen->TakeChanges();
    return true;
}

void CSpriteManager::Draw(ILayer* screen)
{
    ScopedLock lock(m_lock);
    CDirect3D* display = CDirect3D::GetInstance();
    m_see_through_settled = false;

    for (CSpriteLayer* sprite : m_draw_list) {
        if (!sprite->IsVisible() || sprite->GetType() == 2)
            continue;
        sprite->DrawToLayer(screen);
        sprite->Invalidate(1, *sprite->GetRect());
    }

    m_last_batch_count = 0;
    if (!m_batch)
        return;
    bool second_batch = false;
    m_batch->Begin(DirectX::SpriteSortMode_FrontToBack, display->GetAlphaBlendState(),
                   display->GetSamplerState(), nullptr, nullptr, nullptr, m_matrix);
    ++m_last_batch_count;
    for (CSpriteLayer* sprite : m_draw_list) {
        auto* texture = dynamic_cast<CSpriteTexture*>(sprite);
        if (!texture) {
            second_batch = true;
            continue;
        }
        if (texture->IsAdditive()) {
            second_batch = true;
            continue;
        }
        if (!texture->IsVisible() || !texture->GetTextureLayer())
            continue;
        if (auto* container = dynamic_cast<CSpriteContainer*>(texture))
            container->Compose();
        texture->Draw(m_batch.get());
    }
    m_batch->End();

    if (second_batch) {
        m_batch->Begin(DirectX::SpriteSortMode_FrontToBack, display->GetAdditiveBlendState(),
                       display->GetSamplerState(), nullptr, nullptr, nullptr, m_matrix);
        ++m_last_batch_count;
        for (CSpriteLayer* sprite : m_draw_list) {
            auto* texture = dynamic_cast<CSpriteTexture*>(sprite);
            if (!texture || !texture->IsAdditive() || !texture->IsVisible() || !texture->GetTextureLayer())
                continue;
            if (auto* container = dynamic_cast<CSpriteContainer*>(texture))
                container->Compose();
            texture->Draw(m_batch.get());
        }
        m_batch->End();
    }

    for (CSpriteLayer* sprite : m_draw_list) {
        if (auto* texture = dynamic_cast<CSpriteTexture*>(sprite); texture && texture->IsVisible())
            texture->MarkForUpload(0);
    }
    // The pass's own writing is no change for the next frame.
    if (screen != nullptr)
        screen->TakeChanges();
}
