#pragma once
// A CPU sprite batch with the semantics of the DirectX Tool Kit's: sprites recorded between
// Begin and End are drawn into the context's render target at End, in the sort order asked for
// (front to back is a stable ascending sort on depth), with the blend state and sampler given to
// Begin. Each sprite is its source rectangle, moved so that its origin lands on the position,
// scaled about the origin, rotated clockwise (radians, y down) and transformed by Begin's matrix.
// Sampling is bilinear at texel centres with the sampler's address mode, so a sprite drawn
// unscaled and unrotated at a whole-pixel position copies its texels exactly. The texture is
// multiplied by the colour; blending works on 8-bit values rounded to nearest.
//
// The render target is the logical canvas the presenter scales into the viewport: the viewport
// is stretched over the whole target, so a matrix that maps the logical screen onto the viewport
// draws 1:1 into the canvas. Used under the display's device lock. Large draws share their rows
// with a few worker threads, and a pending clear of the target is done row by row under the first
// draw; neither changes a pixel of the result.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/d3d/D3D11Api.h"
#include "platform/d3d/DirectXMath.h"

namespace DirectX {

enum SpriteSortMode
{
    SpriteSortMode_Deferred = 0,
    SpriteSortMode_Immediate = 1,
    SpriteSortMode_Texture = 2,
    SpriteSortMode_BackToFront = 3,
    SpriteSortMode_FrontToBack = 4,
};

enum SpriteEffects : uint32_t
{
    SpriteEffects_None = 0,
    SpriteEffects_FlipHorizontally = 1,
    SpriteEffects_FlipVertically = 2,
};

class SpriteBatch final
{
public:
    explicit SpriteBatch(ID3D11DeviceContext* context);
    ~SpriteBatch();
    SpriteBatch(const SpriteBatch&) = delete;
    SpriteBatch& operator=(const SpriteBatch&) = delete;

    // A null blend state is premultiplied alpha (ONE, INV_SRC_ALPHA); a null sampler is linear
    // with clamped addressing. Of the rasterizer state only the scissor test is used: it keeps
    // the draws inside the context's scissor rectangle. Depth-stencil and custom shaders are not
    // used.
    void Begin(SpriteSortMode sort_mode = SpriteSortMode_Deferred, ID3D11BlendState* blend_state = nullptr,
               ID3D11SamplerState* sampler_state = nullptr,
               ID3D11DepthStencilState* depth_stencil_state = nullptr,
               ID3D11RasterizerState* rasterizer_state = nullptr,
               std::function<void()> set_custom_shaders = nullptr,
               const XMMATRIX& transform_matrix = XMMatrixIdentity());
    // A null source rectangle is the whole texture.
    void Draw(ID3D11ShaderResourceView* texture, const XMFLOAT2& position, const RECT* source_rectangle,
              const XMVECTOR& color, float rotation, const XMFLOAT2& origin, const XMFLOAT2& scale,
              SpriteEffects effects = SpriteEffects_None, float layer_depth = 0);
    void End();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace DirectX
