#include "graphics/CSpriteManager.h"

#include <algorithm>

#include "foundation/ScopedLock.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSpriteContainer.h"
#include "graphics/CSpriteTexture.h"
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
}
