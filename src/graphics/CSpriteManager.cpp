#include "graphics/CSpriteManager.h"

#include <algorithm>
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
    std::stable_sort(m_draw_list.begin(), m_draw_list.end(),
                     [](CSpriteLayer* a, CSpriteLayer* b) { return a->GetPriority() < b->GetPriority(); });
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
                    0};
    auto* texture = dynamic_cast<CSpriteTexture*>(sprite);
    if (texture == nullptr)
        return typeid(*sprite) == typeid(CSpriteLayer);
    // Only plain texture sprites over plain texture layers draw nothing but what they hold.
    if (typeid(*sprite) != typeid(CSpriteTexture))
        return !visible;
    CTextureLayer* layer = texture->GetTextureLayer();
    if (layer != nullptr && layer->IsRenderTarget())
        return !visible;
    drawn.layer = layer;
    const RECT& source = texture->GetSourceRect();
    drawn.values[8] = texture->IsAdditive();
    drawn.values[9] = source.left ^ (source.top << 8) ^ (source.right << 16) ^ (source.bottom << 24);
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

bool CSpriteManager::IsUnchangedSinceLastDraw(ILayer* screen)
{
    ScopedLock lock(m_lock);
    bool same = m_last_valid && !m_direct_pending && m_last_drawn.size() == m_draw_list.size();
    std::array<float, 16> matrix;
    std::memcpy(matrix.data(), m_matrix.m, sizeof(matrix));
    same = same && matrix == m_last_matrix;
    bool direct = false;
    auto take = [&](ILayer* layer) {
        if (layer == nullptr)
            return;
        const ILayer::Changes changes = layer->TakeChanges();
        same = same && !changes.written;
        direct = direct || changes.direct;
    };
    // Whatever wrote into the screen layer since the last pass is drawn over by the next one.
    take(screen);
    std::vector<DrawnSprite> drawn(m_draw_list.size());
    bool describable = true;
    for (size_t i = 0; i < m_draw_list.size(); ++i) {
        CSpriteLayer* sprite = m_draw_list[i];
        describable = Describe(sprite, drawn[i]) && describable;
        if (drawn[i].layer != screen)
            take(drawn[i].layer);
        // A sprite layer's own operations note on the sprite, its pointers on the inner layer.
        if (static_cast<ILayer*>(sprite) != drawn[i].layer && static_cast<ILayer*>(sprite) != screen)
            take(sprite);
        same = same && i < m_last_drawn.size() && drawn[i] == m_last_drawn[i];
    }
    m_last_drawn = std::move(drawn);
    m_last_matrix = matrix;
    m_last_valid = describable;
    // Reached directly: the writing may have followed the read of the pass, so one more is drawn.
    m_direct_pending = direct;
    if (!same || !describable)
        return false;
    // What the pass does to the sprites besides drawing them.
    for (CSpriteLayer* sprite : m_draw_list) {
        if (sprite->IsVisible() && sprite->GetType() != 2)
            sprite->Invalidate(1, *sprite->GetRect());
    }
    return true;
}

void CSpriteManager::Draw(ILayer* screen)
{
    ScopedLock lock(m_lock);
    CDirect3D* display = CDirect3D::GetInstance();

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
