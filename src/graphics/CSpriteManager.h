#pragma once
// The display's draw list and its per-frame draw pass: software sprites composed into the screen
// layer in ascending priority, then texture sprites through the sprite batch, those with the
// additive flag in a second batch. Created and owned by CDirect3D; sprites register through
// CDirect3D::UpdateDrawList from any thread. The pass runs inside CDirect3D::DrawFrame.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/CCriticalSection.h"
#include "platform/d3d/D3D11Api.h"
#include "platform/d3d/DirectXMath.h"

namespace DirectX {
class SpriteBatch;
}
class CSpriteLayer;
class ILayer;

class CSpriteManager
{
public:
    // Identity matrix; the sprite batch is made on the context when one is given.
    explicit CSpriteManager(ID3D11DeviceContext* context);
    void CreateSpriteBatch(ID3D11DeviceContext* context);
    virtual ~CSpriteManager();
    CSpriteManager(const CSpriteManager&) = delete;
    CSpriteManager& operator=(const CSpriteManager&) = delete;

    // Rebuilds the transform from the display's scale factors before a frame is drawn.
    virtual void SetMatrices();

    // A listed sprite stays where it is; the list is sorted after every change.
    void Register(CSpriteLayer* sprite);
    void Remove(CSpriteLayer* sprite);
    // Stable ascending priority: equal priorities keep the order they were registered in.
    void Sort();
    // The draw pass into the screen layer (the display's render target is already bound).
    void Draw(ILayer* screen);

    DirectX::SpriteBatch* GetSpriteBatch() const { return m_batch.get(); }
    const DirectX::XMMATRIX& GetMatrix() const { return m_matrix; }
    std::vector<CSpriteLayer*> GetDrawList();
    // Begin/End pairs of the sprite batch in the last draw pass.
    int32_t GetLastBatchCount() const { return m_last_batch_count; }

    // Whether a draw pass now would draw what the last one drew: the same sprites in the same
    // order, each where and as it was, no layer they show written since, the same transform and
    // the screen layer untouched since that pass. Takes the layers' changes, so it is asked once
    // for every frame, right before the pass or instead of it. Sprites whose drawing depends on
    // more than that (a container composing its children, a fade's render target) always count
    // as changed.
    bool IsUnchangedSinceLastDraw(ILayer* screen);
    // The next frame is drawn whatever the sprites say: its buffers or viewport are new.
    void ForgetLastDraw() { m_last_valid = false; }

private:
    // What the draw pass reads of a sprite.
    struct DrawnSprite
    {
        CSpriteLayer* sprite = nullptr;
        ILayer* layer = nullptr;
        std::array<int32_t, 10> values{};
        std::array<float, 11> placement{};
        bool operator==(const DrawnSprite&) const = default;
    };
    // False when the sprite's drawing depends on more than DrawnSprite holds.
    static bool Describe(CSpriteLayer* sprite, DrawnSprite& drawn);

    std::unique_ptr<DirectX::SpriteBatch> m_batch;
    std::vector<CSpriteLayer*> m_draw_list;                  // not owned: each screen owns its sprites
    CCriticalSection m_lock{LOCK_LEVEL_SPRITE_MANAGER_LIST}; // guards m_draw_list.
    DirectX::XMMATRIX m_matrix;
    int32_t m_last_batch_count = 0;
    std::vector<DrawnSprite> m_last_drawn;
    std::array<float, 16> m_last_matrix{};
    bool m_last_valid = false;
    // A layer reached directly before the last pass may have been written after it was read.
    bool m_direct_pending = false;
};
