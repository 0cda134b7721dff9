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
#include "graphics/ILayer.h"
#include "platform/d3d/D3D11Api.h"
#include "platform/d3d/DirectXMath.h"

namespace DirectX {
class SpriteBatch;
}
class CSpriteLayer;
class CSpriteTexture;

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

    // What a frame has to draw, from what changed since the last pass: nothing when it would
    // show what the last one showed (the same sprites in the same order, each where and as it
    // was, no layer they show written since, the same transform, the screen layer untouched since
    // that pass); only a region when every change lies in it and the region can be drawn alone;
    // else everything. Takes the layers' changes, so it is asked once for every frame, right
    // before the pass. Sprites whose drawing depends on more than that (a container composing
    // its children, a fade's render target) always count as changed.
    struct DrawPlan
    {
        enum class Kind
        {
            Nothing,
            Region,
            Everything
        };
        Kind kind = Kind::Everything;
        RECT region{};
        // A second part drawn in the same pass, apart from the first; empty when there is none.
        RECT apart{};
        // Where the parts compose the base's see-through pixels again, watched for settling;
        // empty when the parts leave them as they stand.
        RECT see_through{};
    };
    // `root` shows the screen layer; `region_allowed` when the root's part drawn alone lands where
    // the whole would put it (the transform and the viewport leave pixels where they are).
    DrawPlan PlanDraw(ILayer* screen, CSpriteTexture* root, bool region_allowed);
    // How the logical screen lands on the render target: stretched along each axis by these
    // factors, unturned and unmoved.
    struct TargetScale
    {
        double x = 1;
        double y = 1;
        LONG width = 0;
        LONG height = 0;
    };
    // The pass inside the plan's parts only: the software sprites composed into those parts of the screen
    // layer (and, scaled, as far around it as the target's filtering reads), and the target's
    // pixels the region reaches drawn as a whole pass draws them.
    // False when the root's part cannot be drawn alone there: the whole pass is then drawn.
    bool DrawRegion(ILayer* screen, CSpriteTexture* root, const DrawPlan& plan, const TargetScale& target);
    // The next frame is drawn whatever the sprites say: its buffers or viewport are new.
    void ForgetLastDraw() { m_last_valid = false; }

private:
    // What the draw pass reads of a sprite.
    struct DrawnSprite
    {
        CSpriteLayer* sprite = nullptr;
        ILayer* layer = nullptr;
        std::array<int32_t, 13> values{};
        std::array<float, 11> placement{};
        bool operator==(const DrawnSprite&) const = default;
    };
    // False when the sprite's drawing depends on more than DrawnSprite holds.
    static bool Describe(CSpriteLayer* sprite, DrawnSprite& drawn);
    // Where the sprite's pixels land when that is a rectangle its layer maps onto one to one;
    // false for a texture sprite turned, scaled, blended additively or between pixels.
    static bool Footprint(const DrawnSprite& drawn, RECT& footprint);
    // Where a pass shows what the screen layer held before it, which composing only a region
    // must then compose as well: the first sprite drawn covers the screen at full alpha, and
    // this is where its pixels are not opaque (empty when it is opaque all over); the whole
    // screen when no sprite covers it so. `base_changes` are its layer's changes of this frame.
    RECT SeeThroughBase(ILayer* screen, const ILayer::Changes& base_changes);

    std::unique_ptr<DirectX::SpriteBatch> m_batch;
    std::vector<CSpriteLayer*> m_draw_list;                  // not owned: each screen owns its sprites
    CCriticalSection m_lock{LOCK_LEVEL_SPRITE_MANAGER_LIST}; // guards m_draw_list.
    DirectX::XMMATRIX m_matrix;
    int32_t m_last_batch_count = 0;
    std::vector<DrawnSprite> m_last_drawn;
    std::array<float, 16> m_last_matrix{};
    bool m_last_valid = false;
    // Sprites whose layer was reached directly before the last pass: it may have been written
    // after the pass read it, so they are drawn again.
    std::vector<bool> m_direct_pending;
    // The layer last found covering the screen, the part of it that does, and where in that
    // part (its coordinates) it is not opaque.
    ILayer* m_opaque_base = nullptr;
    RECT m_opaque_base_rect{};
    RECT m_base_see_through{};
    // Where the base lets the screen through, each pass blends it over what the last one left
    // there, which comes to a fixed point: once a pass composed those pixels (screen
    // coordinates) as they already were, passes after it with the same sprites there leave them
    // so, and a region pass need not compose them again. A whole pass unsettles them.
    RECT m_settled_see_through{};
    bool m_see_through_settled = false;
};
