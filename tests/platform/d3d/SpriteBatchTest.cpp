// The CPU sprite batch against hand-worked pixels: exact copies, the two blend states the display
// uses, depth order, the zoom-about-a-point and rotation conventions, and the presenter hand-over.

#include "platform/d3d/SpriteBatch.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"
#include "platform/d3d/D3D11Api.h"
#include "platform/d3d/SoftwareDevice.h"
#include "platform/d3d/null/NullPresenter.h"

using namespace DirectX;

namespace {

// A 16 x 16 R8G8B8A8 target cleared to opaque black, and B8G8R8A8 textures.
class SpriteBatchTest : public ::testing::Test
{
protected:
    SpriteBatchTest()
    {
        DXGI_SWAP_CHAIN_DESC desc{};
        desc.BufferDesc = {16,
                           16,
                           {60, 1},
                           DXGI_FORMAT_R8G8B8A8_UNORM,
                           DXGI_MODE_SCANLINE_ORDER_UNSPECIFIED,
                           DXGI_MODE_SCALING_CENTERED};
        desc.BufferCount = 2;
        desc.Windowed = TRUE;
        EXPECT_EQ(D3D11CreateDeviceAndSwapChain(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0,
                                                D3D11_SDK_VERSION, &desc, m_swap.GetAddressOf(),
                                                m_device.GetAddressOf(), nullptr, m_context.GetAddressOf()),
                  S_OK);
        m_swap->GetBuffer(0, IID_ID3D11Texture2D, reinterpret_cast<void**>(m_back.GetAddressOf()));
        m_device->CreateRenderTargetView(m_back.Get(), nullptr, m_target.GetAddressOf());
        ID3D11RenderTargetView* targets[] = {m_target.Get()};
        m_context->OMSetRenderTargets(1, targets, nullptr);
        const D3D11_VIEWPORT viewport{0, 0, 16, 16, 0, 1};
        m_context->RSSetViewports(1, &viewport);
        const float black[4] = {0, 0, 0, 1};
        m_context->ClearRenderTargetView(m_target.Get(), black);

        D3D11_BLEND_DESC blend{};
        blend.RenderTarget[0] = {TRUE,
                                 D3D11_BLEND_SRC_ALPHA,
                                 D3D11_BLEND_INV_SRC_ALPHA,
                                 D3D11_BLEND_OP_ADD,
                                 D3D11_BLEND_ONE,
                                 D3D11_BLEND_ZERO,
                                 D3D11_BLEND_OP_ADD,
                                 D3D11_COLOR_WRITE_ENABLE_ALL};
        m_device->CreateBlendState(&blend, m_alpha.GetAddressOf());
        blend.RenderTarget[0].DestBlend = D3D11_BLEND_ONE;
        m_device->CreateBlendState(&blend, m_additive.GetAddressOf());
        D3D11_SAMPLER_DESC sampler{};
        sampler.Filter = D3D11_FILTER_MIN_MAG_MIP_LINEAR;
        sampler.AddressU = sampler.AddressV = sampler.AddressW = D3D11_TEXTURE_ADDRESS_MIRROR;
        m_device->CreateSamplerState(&sampler, m_sampler.GetAddressOf());
        m_batch = std::make_unique<SpriteBatch>(m_context.Get());
    }

    // Texels as 0xAARRGGBB words, stored B, G, R, A; or as given in the target's order, R, G, B, A.
    ComPtr<ID3D11ShaderResourceView> Texture(int width, int height, const std::vector<uint32_t>& argb,
                                             DXGI_FORMAT format = DXGI_FORMAT_B8G8R8A8_UNORM)
    {
        D3D11_TEXTURE2D_DESC desc{};
        desc.Width = width;
        desc.Height = height;
        desc.MipLevels = 1;
        desc.ArraySize = 1;
        desc.Format = format;
        desc.SampleDesc = {1, 0};
        desc.BindFlags = D3D11_BIND_SHADER_RESOURCE;
        const D3D11_SUBRESOURCE_DATA data{argb.data(), static_cast<UINT>(width * 4), 0};
        ComPtr<ID3D11Texture2D> texture;
        EXPECT_EQ(m_device->CreateTexture2D(&desc, &data, texture.GetAddressOf()), S_OK);
        ComPtr<ID3D11ShaderResourceView> view;
        m_device->CreateShaderResourceView(texture.Get(), nullptr, view.GetAddressOf());
        return view;
    }

    // A bigger R8G8B8A8 target in place of the 16 x 16 one, with a viewport over all of it.
    void UseTarget(int width, int height)
    {
        D3D11_TEXTURE2D_DESC desc{};
        desc.Width = width;
        desc.Height = height;
        desc.MipLevels = 1;
        desc.ArraySize = 1;
        desc.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
        desc.SampleDesc = {1, 0};
        desc.BindFlags = D3D11_BIND_RENDER_TARGET;
        m_back.Reset();
        m_target.Reset();
        ASSERT_EQ(m_device->CreateTexture2D(&desc, nullptr, m_back.GetAddressOf()), S_OK);
        m_device->CreateRenderTargetView(m_back.Get(), nullptr, m_target.GetAddressOf());
        ID3D11RenderTargetView* targets[] = {m_target.Get()};
        m_context->OMSetRenderTargets(1, targets, nullptr);
        const D3D11_VIEWPORT viewport{0, 0, static_cast<float>(width), static_cast<float>(height), 0, 1};
        m_context->RSSetViewports(1, &viewport);
    }

    // The target's bytes R, G, B, A of a pixel.
    uint8_t* Bytes(int x, int y) { return static_cast<platform::Texture2D*>(m_back.Get())->Row(y) + x * 4; }

    // The target pixel as 0xAARRGGBB (the target stores R, G, B, A).
    uint32_t At(int x, int y)
    {
        auto* texture = static_cast<platform::Texture2D*>(m_back.Get());
        const uint8_t* p = texture->Row(y) + x * 4;
        return (uint32_t{p[3]} << 24) | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    }

    void Draw(ID3D11ShaderResourceView* view, XMFLOAT2 position, float alpha = 1, float rotation = 0,
              XMFLOAT2 origin = {0, 0}, XMFLOAT2 scale = {1, 1}, float depth = 0)
    {
        m_batch->Draw(view, position, nullptr, {1, 1, 1, alpha}, rotation, origin, scale, SpriteEffects_None,
                      depth);
    }

    ComPtr<IDXGISwapChain> m_swap;
    ComPtr<ID3D11Device> m_device;
    ComPtr<ID3D11DeviceContext> m_context;
    ComPtr<ID3D11Texture2D> m_back;
    ComPtr<ID3D11RenderTargetView> m_target;
    ComPtr<ID3D11BlendState> m_alpha;
    ComPtr<ID3D11BlendState> m_additive;
    ComPtr<ID3D11SamplerState> m_sampler;
    std::unique_ptr<SpriteBatch> m_batch;
};

std::vector<uint32_t> Gradient4x4()
{
    std::vector<uint32_t> texels(16);
    for (int i = 0; i < 16; ++i)
        texels[i] = 0xFF000000u | (i * 16u) << 16 | (255u - i * 16u) << 8 | 0x40;
    return texels;
}

} // namespace

TEST_F(SpriteBatchTest, UnscaledSpriteAtAWholePixelCopiesItsTexels)
{
    const std::vector<uint32_t> texels = Gradient4x4();
    auto view = Texture(4, 4, texels);
    m_batch->Begin(SpriteSortMode_FrontToBack, m_alpha.Get(), m_sampler.Get());
    Draw(view.Get(), {5, 3});
    m_batch->End();
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(5 + x, 3 + y), texels[y * 4 + x]) << x << "," << y;
    }
    EXPECT_EQ(At(4, 3), 0xFF000000u);
    EXPECT_EQ(At(9, 3), 0xFF000000u);
    EXPECT_EQ(At(5, 7), 0xFF000000u);
}

TEST_F(SpriteBatchTest, AlphaAndAdditiveBlendsRoundToNearest)
{
    // Half of (200, 100, 0) over black is (100, 50, 0): 200 x 128 / 255 = 100.4.
    auto half = Texture(1, 1, {0x80C86400});
    // A sprite alpha of 0.5 over an opaque texel: a = 128 again; over (0, 0, 0) gives the same.
    auto opaque = Texture(1, 1, {0xFFC86400});
    // Additive: 0x40 at full alpha onto 0x30 gives 0x70; saturates at 255.
    auto add = Texture(1, 1, {0xFF40F0FF});
    m_batch->Begin(SpriteSortMode_FrontToBack, m_alpha.Get(), m_sampler.Get());
    Draw(half.Get(), {0, 0});
    Draw(opaque.Get(), {1, 0}, 128.0f / 255.0f);
    m_batch->End();
    EXPECT_EQ(At(0, 0), 0x80643200u); // the alpha state writes the source alpha (ONE, ZERO)
    EXPECT_EQ(At(1, 0), 0x80643200u);

    auto base = Texture(1, 1, {0xFF303030});
    m_batch->Begin(SpriteSortMode_FrontToBack, m_alpha.Get(), m_sampler.Get());
    Draw(base.Get(), {2, 0});
    m_batch->End();
    m_batch->Begin(SpriteSortMode_FrontToBack, m_additive.Get(), m_sampler.Get());
    Draw(add.Get(), {2, 0});
    m_batch->End();
    EXPECT_EQ(At(2, 0), 0xFF70FFFFu);
}

TEST_F(SpriteBatchTest, FrontToBackDrawsLowerDepthsFirstAndKeepsOrderOnTies)
{
    auto red = Texture(1, 1, {0xFFFF0000});
    auto green = Texture(1, 1, {0xFF00FF00});
    auto blue = Texture(1, 1, {0xFF0000FF});
    m_batch->Begin(SpriteSortMode_FrontToBack, m_alpha.Get(), m_sampler.Get());
    Draw(red.Get(), {0, 0}, 1, 0, {0, 0}, {1, 1}, 0.5f);
    Draw(green.Get(), {0, 0}, 1, 0, {0, 0}, {1, 1}, 0.1f);
    Draw(blue.Get(), {1, 0}, 1, 0, {0, 0}, {1, 1}, 0.2f);
    Draw(green.Get(), {1, 0}, 1, 0, {0, 0}, {1, 1}, 0.2f);
    m_batch->End();
    EXPECT_EQ(At(0, 0), 0xFFFF0000u); // depth 0.5 drawn last
    EXPECT_EQ(At(1, 0), 0xFF00FF00u); // equal depths: the later one on top
}

TEST_F(SpriteBatchTest, ZoomAboutTheOriginAndRotationClockwise)
{
    // A 2 x 2 opaque white sprite scaled by 2 about its origin (1, 1) placed at (8, 8) covers
    // (6, 6) to (10, 10).
    auto white = Texture(2, 2, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF});
    m_batch->Begin(SpriteSortMode_Deferred, m_alpha.Get(), m_sampler.Get());
    Draw(white.Get(), {8, 8}, 1, 0, {1, 1}, {2, 2});
    m_batch->End();
    EXPECT_EQ(At(6, 6), 0xFFFFFFFFu);
    EXPECT_EQ(At(9, 9), 0xFFFFFFFFu);
    EXPECT_EQ(At(5, 6), 0xFF000000u);
    EXPECT_EQ(At(10, 9), 0xFF000000u);

    // A 4 x 1 red bar turned a quarter turn about its left end at (2, 2) points down (y grows).
    const float quarter = 1.5707963f;
    auto bar = Texture(4, 1, {0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000});
    m_batch->Begin(SpriteSortMode_Deferred, m_alpha.Get(), m_sampler.Get());
    Draw(bar.Get(), {2, 2}, 1, quarter);
    m_batch->End();
    EXPECT_EQ(At(1, 3), 0xFFFF0000u); // the bar's one row runs from x = 1 to 2 after turning
    EXPECT_EQ(At(1, 5), 0xFFFF0000u);
    EXPECT_EQ(At(2, 3), 0xFF000000u);
    EXPECT_EQ(At(1, 1), 0xFF000000u);
}

TEST_F(SpriteBatchTest, BilinearSamplingMirrorsAtTheEdge)
{
    // Two texels, black and white; drawn twice as wide, pixel centres fall at texel positions
    // -0.25, 0.25, 0.75, 1.25: mirror addressing keeps the outer ones at their edge texel.
    auto pair = Texture(2, 1, {0xFF000000, 0xFFFFFFFF});
    m_batch->Begin(SpriteSortMode_Deferred, m_alpha.Get(), m_sampler.Get());
    Draw(pair.Get(), {0, 0}, 1, 0, {0, 0}, {2, 1});
    m_batch->End();
    EXPECT_EQ(At(0, 0), 0xFF000000u);
    EXPECT_EQ(At(1, 0), 0xFF404040u); // a quarter of the way: 255 x 64 / 256 rounds to 64
    EXPECT_EQ(At(2, 0), 0xFFBFBFBFu);
    EXPECT_EQ(At(3, 0), 0xFFFFFFFFu);
}

// The blend equations worked in real numbers and rounded once: what every run of texels must give,
// whatever its length and wherever it starts.
TEST_F(SpriteBatchTest, RunsOfEveryLengthBlendAsTheRoundedEquationsSay)
{
    UseTarget(48, 40);
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<uint8_t>(seed >> 16);
    };
    auto round_div = [](double x) { return static_cast<int>(std::lround(x / 255.0)); };
    struct Case
    {
        const char* name;
        ID3D11BlendState* state;
        XMVECTOR colour;
    };
    const Case cases[] = {{"alpha", m_alpha.Get(), {1, 1, 1, 1}},
                          {"alpha, tinted", m_alpha.Get(), {0.6f, 1, 0.3f, 0.8f}},
                          {"additive", m_additive.Get(), {1, 1, 1, 1}},
                          {"additive, tinted", m_additive.Get(), {1, 0.5f, 0.25f, 0.5f}},
                          {"premultiplied", nullptr, {1, 1, 1, 1}},
                          {"premultiplied, tinted", nullptr, {0.2f, 0.4f, 0.6f, 0.9f}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int factor[4] = {
            static_cast<int>(std::lround(c.colour.x * 255)), static_cast<int>(std::lround(c.colour.y * 255)),
            static_cast<int>(std::lround(c.colour.z * 255)), static_cast<int>(std::lround(c.colour.w * 255))};
        for (int length = 1; length <= 37; ++length) {
            const int y = length;
            std::vector<uint32_t> texels(length);
            for (uint32_t& texel : texels) {
                const uint8_t pick = next();
                // Opaque, clear and in-between alphas, in runs and alone.
                const uint32_t alpha = pick < 80 ? 255 : pick < 120 ? 0 : next();
                texel = alpha << 24 | uint32_t{next()} << 16 | uint32_t{next()} << 8 | next();
            }
            uint8_t before[37][4];
            for (int i = 0; i < length; ++i) {
                for (int k = 0; k < 4; ++k)
                    before[i][k] = Bytes(3 + i, y)[k] = next();
            }
            auto view = Texture(length, 1, texels);
            m_batch->Begin(SpriteSortMode_Deferred, c.state, m_sampler.Get());
            m_batch->Draw(view.Get(), {3, static_cast<float>(y)}, nullptr, c.colour, 0, {0, 0}, {1, 1});
            m_batch->End();
            for (int i = 0; i < length; ++i) {
                const uint32_t t = texels[i];
                // Texel in target order (R, G, B, A) times the colour.
                const int texel[4] = {static_cast<int>(t >> 16 & 0xFF), static_cast<int>(t >> 8 & 0xFF),
                                      static_cast<int>(t & 0xFF), static_cast<int>(t >> 24)};
                int s[4];
                for (int k = 0; k < 4; ++k)
                    s[k] = round_div(texel[k] * factor[k]);
                const int a = s[3];
                int want[4];
                for (int k = 0; k < 3; ++k) {
                    const int d = before[i][k];
                    if (c.state == m_alpha.Get())
                        want[k] = round_div(s[k] * a + d * (255 - a));
                    else if (c.state == m_additive.Get())
                        want[k] = std::min(255, d + round_div(s[k] * a));
                    else
                        want[k] = std::min(255, s[k] + round_div(d * (255 - a)));
                }
                want[3] = c.state ? a : std::min(255, a + round_div(before[i][3] * (255 - a)));
                for (int k = 0; k < 4; ++k)
                    ASSERT_EQ(Bytes(3 + i, y)[k], want[k])
                        << "length " << length << " pixel " << i << " channel " << k;
            }
        }
    }
}

// A long row drawn 1:1 at full colour: wholly opaque blocks of it are copied, red and blue
// exchanged when the texture's order is not the target's, and blocks holding a translucent texel
// are blended, onto a pending clear or onto pixels already there.
TEST_F(SpriteBatchTest, OpaqueBlocksOfALongRowAreCopiedAndTheOthersBlended)
{
    constexpr int LENGTH = 603; // whole blocks, a part block and a tail shorter than a step
    UseTarget(LENGTH + 4, 3);
    std::vector<uint32_t> argb(LENGTH);
    for (uint32_t k = 0; k < LENGTH; ++k)
        argb[k] = 0xFF000000u | (k * 7 & 0xFF) << 16 | (k * 3 & 0xFF) << 8 | (k & 0xFF);
    argb[300] = 0x40102030u; // in the second block
    argb[601] = 0x80FFFFFFu; // in the tail
    std::vector<uint32_t> rgba(LENGTH);
    for (int k = 0; k < LENGTH; ++k)
        rgba[k] = (argb[k] & 0xFF00FF00u) | (argb[k] >> 16 & 0xFF) | (argb[k] & 0xFF) << 16;
    const float colour[4] = {0.2f, 0.4f, 0.6f, 1.0f}; // 51, 102, 153
    const uint32_t under = 0xFF336699u;
    const auto blended = [under](uint32_t t) {
        const uint32_t a = t >> 24;
        uint32_t pixel = a << 24;
        for (int shift = 0; shift < 24; shift += 8) {
            const uint32_t s = t >> shift & 0xFF;
            const uint32_t d = under >> shift & 0xFF;
            pixel |= static_cast<uint32_t>(std::lround((s * a + d * (255 - a)) / 255.0)) << shift;
        }
        return pixel;
    };
    for (const bool target_order : {false, true}) {
        auto view =
            target_order ? Texture(LENGTH, 1, rgba, DXGI_FORMAT_R8G8B8A8_UNORM) : Texture(LENGTH, 1, argb);
        for (const bool pending : {true, false}) {
            SCOPED_TRACE(std::string(target_order ? "target order" : "exchanged") +
                         (pending ? ", onto a pending clear" : ", onto drawn pixels"));
            m_context->ClearRenderTargetView(m_target.Get(), colour);
            if (!pending) {
                ASSERT_EQ(At(0, 0), under); // reading the pixels does the clear
            }
            m_batch->Begin(SpriteSortMode_Deferred, m_alpha.Get(), m_sampler.Get());
            Draw(view.Get(), {2, 1});
            m_batch->End();
            for (int k = 0; k < LENGTH; ++k)
                ASSERT_EQ(At(2 + k, 1), blended(argb[k])) << "texel " << k;
            EXPECT_EQ(At(1, 1), under);
            EXPECT_EQ(At(LENGTH + 2, 1), under);
            EXPECT_EQ(At(LENGTH, 0), under);
            EXPECT_EQ(At(LENGTH, 2), under);
        }
    }
}

TEST_F(SpriteBatchTest, AClearIsDoneWhereTheFirstDrawLeavesThePictureAndUnderItsBlend)
{
    UseTarget(40, 20);
    const float colour[4] = {0.2f, 0.4f, 0.6f, 1.0f}; // 51, 102, 153
    m_context->ClearRenderTargetView(m_target.Get(), colour);
    // Half-transparent white: (255 x 128 + 51 x 127) / 255 = 153.4, (255 x 128 + 102 x 127) / 255 =
    // 178.8, (255 x 128 + 153 x 127) / 255 = 204.2.
    auto half = Texture(3, 2, std::vector<uint32_t>(6, 0x80FFFFFF));
    m_batch->Begin(SpriteSortMode_Deferred, m_alpha.Get(), m_sampler.Get());
    Draw(half.Get(), {5, 5});
    m_batch->End();
    EXPECT_EQ(At(5, 5), 0x8099B3CCu);
    EXPECT_EQ(At(7, 6), 0x8099B3CCu);
    EXPECT_EQ(At(4, 5), 0xFF336699u);
    EXPECT_EQ(At(8, 5), 0xFF336699u);
    EXPECT_EQ(At(5, 7), 0xFF336699u);
    EXPECT_EQ(At(39, 19), 0xFF336699u);

    // A draw of nothing still leaves the clear done.
    m_context->ClearRenderTargetView(m_target.Get(), colour);
    const RECT empty{0, 0, 0, 0};
    m_batch->Begin(SpriteSortMode_Deferred, m_alpha.Get(), m_sampler.Get());
    m_batch->Draw(half.Get(), {5, 5}, &empty, {1, 1, 1, 1}, 0, {0, 0}, {1, 1});
    m_batch->End();
    EXPECT_EQ(At(6, 6), 0xFF336699u);

    // A run long enough for the widest kernels blends onto the clear's colour too, tinted or not.
    std::vector<uint32_t> ramp(21);
    for (uint32_t k = 0; k < ramp.size(); ++k)
        ramp[k] = (k * 12) << 24 | 0xFFFFFF;
    auto wide = Texture(21, 1, ramp);
    for (const float tint : {1.0f, 0.6f}) {
        m_context->ClearRenderTargetView(m_target.Get(), colour);
        m_batch->Begin(SpriteSortMode_Deferred, m_alpha.Get(), m_sampler.Get());
        m_batch->Draw(wide.Get(), {2, 9}, nullptr, {tint, 1, 1, 1}, 0, {0, 0}, {1, 1});
        m_batch->End();
        const int red = static_cast<int>(std::lround(tint * 255));
        for (int k = 0; k < 21; ++k) {
            const int a = k * 12;
            const auto mix = [a](int s, int d) {
                return static_cast<uint32_t>(std::lround((s * a + d * (255 - a)) / 255.0));
            };
            EXPECT_EQ(At(2 + k, 9),
                      uint32_t(a) << 24 | mix(red, 51) << 16 | mix(255, 102) << 8 | mix(255, 153))
                << "pixel " << k << ", tint " << tint;
        }
    }
}

// A scissored draw, after a clear: outside the rectangle the clear, inside what the same draw
// unclipped gives, texel weights included, turned and zoomed as well as copied.
TEST_F(SpriteBatchTest, AScissoredDrawKeepsInsideItsRectangleAndChangesNoPixelThere)
{
    auto view = Texture(4, 4, Gradient4x4());
    D3D11_RASTERIZER_DESC desc{};
    desc.ScissorEnable = TRUE;
    ComPtr<ID3D11RasterizerState> scissored;
    ASSERT_EQ(m_device->CreateRasterizerState(&desc, scissored.GetAddressOf()), S_OK);
    const RECT inside{3, 5, 12, 11};
    m_context->RSSetScissorRects(1, &inside);
    const float grey[4] = {0.5f, 0.5f, 0.5f, 1};
    const auto draw = [&](ID3D11RasterizerState* state, float rotation, XMFLOAT2 scale) {
        m_context->ClearRenderTargetView(m_target.Get(), grey);
        m_batch->Begin(SpriteSortMode_FrontToBack, m_alpha.Get(), m_sampler.Get(), nullptr, state);
        Draw(view.Get(), {7.3f, 7.9f}, 0.8f, rotation, {2, 2}, scale);
        Draw(view.Get(), {2, 6}); // copied
        m_batch->End();
        std::vector<uint32_t> pixels;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x)
                pixels.push_back(At(x, y));
        }
        return pixels;
    };
    for (const auto& [rotation, scale] :
         {std::pair{0.0f, XMFLOAT2{2.3f, 1.7f}}, {0.4f, XMFLOAT2{1.9f, 2.6f}}}) {
        SCOPED_TRACE(rotation);
        const std::vector<uint32_t> whole = draw(nullptr, rotation, scale);
        const std::vector<uint32_t> cut = draw(scissored.Get(), rotation, scale);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const bool in = x >= inside.left && x < inside.right && y >= inside.top && y < inside.bottom;
                EXPECT_EQ(cut[y * 16 + x], in ? whole[y * 16 + x] : 0xFF808080u) << x << "," << y;
            }
        }
    }
}

TEST_F(SpriteBatchTest, AZoomedGradientOnAFullFrameSamplesBetweenItsTexels)
{
    // Large enough for the rows to be shared out. Texel x has red 4x; zoomed twice, pixel px
    // samples at texel position px / 2 - 0.25: even pixels three quarters of the way from texel
    // px / 2 - 1, odd ones a quarter of the way from (px - 1) / 2. With 8-bit weights both come
    // to red 2 px - 1 (for px 2k: (4(k - 1) x 64 + 4k x 192 + 128) >> 8 = 4k - 1).
    UseTarget(640, 260);
    const float black[4] = {0, 0, 0, 1};
    m_context->ClearRenderTargetView(m_target.Get(), black);
    std::vector<uint32_t> texels(64 * 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 64; ++x)
            texels[y * 64 + x] = 0xFF000000u | static_cast<uint32_t>(4 * x) << 16;
    }
    auto gradient = Texture(64, 4, texels);
    m_batch->Begin(SpriteSortMode_Deferred, m_alpha.Get(), m_sampler.Get());
    Draw(gradient.Get(), {0, 0}, 1, 0, {0, 0}, {2, 2});
    m_batch->End();
    for (int y = 0; y < 8; ++y) {
        for (int px = 2; px <= 125; ++px)
            ASSERT_EQ(At(px, y), 0xFF000000u | static_cast<uint32_t>(2 * px - 1) << 16) << px << "," << y;
    }
    EXPECT_EQ(At(128, 0), 0xFF000000u);
    EXPECT_EQ(At(0, 8), 0xFF000000u);
    EXPECT_EQ(At(639, 259), 0xFF000000u);
}

TEST_F(SpriteBatchTest, PresentHandsTheBackBufferToTheNullPresenter)
{
    platform::SetPresenter(platform::CreateNullPresenter());
    auto* presenter = platform::GetNullPresenter();
    ASSERT_NE(presenter, nullptr);
    auto dot = Texture(1, 1, {0xFF102030});
    m_batch->Begin(SpriteSortMode_Deferred, m_alpha.Get(), m_sampler.Get());
    Draw(dot.Get(), {3, 2});
    m_batch->End();
    ASSERT_EQ(m_swap->Present(0, 0), S_OK);
    EXPECT_EQ(presenter->GetFrameCount(), 1u);
    const auto frame = presenter->GetLastFrame();
    ASSERT_EQ(frame->width, 16);
    const uint8_t* p = &frame->pixels[(2 * 16 + 3) * 4];
    EXPECT_EQ(p[0], 0x10); // R, G, B, A
    EXPECT_EQ(p[1], 0x20);
    EXPECT_EQ(p[2], 0x30);
    EXPECT_EQ(frame->destination.right, 16);
    // The CRC-32 of "123456789" is CBF43926.
    EXPECT_EQ(platform::Crc32(reinterpret_cast<const uint8_t*>("123456789"), 9), 0xCBF43926u);
}

TEST_F(SpriteBatchTest, TheGamesOwnNullPresenterCountsFramesAndKeepsNoneUnlessItDumps)
{
    platform::SetPresenter(platform::CreateNullPresenter(false));
    auto* presenter = platform::GetNullPresenter();
    ASSERT_NE(presenter, nullptr);
    ASSERT_EQ(m_swap->Present(0, 0), S_OK);
    EXPECT_EQ(presenter->GetFrameCount(), 1u);
    EXPECT_TRUE(presenter->GetLastFrame()->pixels.empty());
    // A dump set later gets the whole frame, though no copy was taken before.
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vesk-dump-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    presenter->SetDumpFolder(folder.string());
    ASSERT_EQ(m_swap->Present(0, 0), S_OK);
    EXPECT_EQ(presenter->GetFrameCount(), 2u);
    const auto frame = presenter->GetLastFrame();
    const auto& back = *static_cast<platform::Texture2D*>(m_back.Get());
    ASSERT_EQ(frame->pixels.size(), size_t{16} * 16 * 4);
    EXPECT_EQ(std::memcmp(frame->pixels.data(), back.Bits(), frame->pixels.size()), 0);
    EXPECT_TRUE(std::filesystem::exists(folder / "frame00002.png"));
    std::filesystem::remove_all(folder);
    platform::SetPresenter(platform::CreateNullPresenter());
}

// Holds the newest `held` frames, as a presenter that shows or dumps them later does, and checks
// that each frame holds the whole back buffer; or, in place, is handed the back buffer itself.
class HoldingPresenter final : public platform::Presenter
{
public:
    HoldingPresenter(const platform::Texture2D& back, size_t held)
        : m_back(back)
        , m_held(held)
    {}
    void Publish(std::shared_ptr<const platform::PresentedFrame> frame) override
    {
        const size_t bytes = size_t{m_back.Pitch()} * m_back.Height();
        whole = whole && frame->pixels.size() == bytes &&
                std::memcmp(frame->pixels.data(), m_back.Bits(), bytes) == 0;
        changed.push_back(frame->changed);
        m_frames.push_back(std::move(frame));
        while (m_frames.size() > m_held)
            m_frames.erase(m_frames.begin());
    }
    bool ReadsInPlace() const override { return in_place; }
    void PublishInPlace(const platform::FrameView& view) override
    {
        whole = whole && view.bits == m_back.Bits() && view.pitch == m_back.Pitch();
        changed.push_back(view.changed);
    }
    bool whole = true;
    bool in_place = false; // as a presenter that converts at once
    std::vector<RECT> changed;

private:
    const platform::Texture2D& m_back;
    size_t m_held;
    std::vector<std::shared_ptr<const platform::PresentedFrame>> m_frames;
};

TEST_F(SpriteBatchTest, PresentCopiesWhatChangedSinceEachFrameWasLastFilled)
{
    auto dot = Texture(1, 1, {0xFF102030});
    const auto& back = *static_cast<platform::Texture2D*>(m_back.Get());
    // Frames let go at once, held one present (each reused frame two pictures old) or two.
    for (size_t held : {0, 1, 2}) {
        auto holder = std::make_unique<HoldingPresenter>(back, held);
        HoldingPresenter& presenter = *holder;
        platform::SetPresenter(std::move(holder));
        const float black[4] = {0, 0, 0, 1};
        m_context->ClearRenderTargetView(m_target.Get(), black);
        ASSERT_EQ(m_swap->Present(0, 0), S_OK);
        for (int step = 0; step < 6; ++step) {
            // Frames handed over in place between copies: the copies still hold their changes.
            presenter.in_place = step == 2 || step == 3;
            m_batch->Begin(SpriteSortMode_Deferred, m_alpha.Get(), m_sampler.Get());
            Draw(dot.Get(), {static_cast<float>(step * 2), static_cast<float>(step + 1)});
            m_batch->End();
            ASSERT_EQ(m_swap->Present(0, 0), S_OK);
        }
        EXPECT_TRUE(presenter.whole) << "held " << held;
        const RECT& last = presenter.changed.back();
        EXPECT_TRUE(last.left == 10 && last.top == 6 && last.right == 11 && last.bottom == 7)
            << last.left << "," << last.top << "," << last.right << "," << last.bottom;
        EXPECT_EQ(presenter.changed.front().right, 16); // the clear
    }
    platform::SetPresenter(platform::CreateNullPresenter());
}

TEST(SoftwareDeviceTest, StagingCopyMapsInTheDeclaredByteOrder)
{
    ComPtr<ID3D11Device> device;
    ComPtr<ID3D11DeviceContext> context;
    ASSERT_EQ(D3D11CreateDeviceAndSwapChain(nullptr, D3D_DRIVER_TYPE_WARP, nullptr, 0, nullptr, 0,
                                            D3D11_SDK_VERSION, nullptr, nullptr, device.GetAddressOf(),
                                            nullptr, context.GetAddressOf()),
              S_OK);
    D3D11_TEXTURE2D_DESC desc{
        2, 1, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_DEFAULT, D3D11_BIND_RENDER_TARGET, 0, 0};
    ComPtr<ID3D11Texture2D> source;
    ASSERT_EQ(device->CreateTexture2D(&desc, nullptr, source.GetAddressOf()), S_OK);
    ComPtr<ID3D11RenderTargetView> view;
    device->CreateRenderTargetView(source.Get(), nullptr, view.GetAddressOf());
    const float colour[4] = {1.0f, 0.5f, 0.0f, 1.0f};
    context->ClearRenderTargetView(view.Get(), colour);
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    ComPtr<ID3D11Texture2D> staging;
    ASSERT_EQ(device->CreateTexture2D(&desc, nullptr, staging.GetAddressOf()), S_OK);
    context->CopyResource(staging.Get(), source.Get());
    D3D11_MAPPED_SUBRESOURCE mapped{};
    ASSERT_EQ(context->Map(staging.Get(), 0, D3D11_MAP_READ, 0, &mapped), S_OK);
    const auto* bytes = static_cast<const uint8_t*>(mapped.pData);
    EXPECT_EQ(bytes[0], 255);
    EXPECT_EQ(bytes[1], 128); // 0.5 x 255 = 127.5 rounds up
    EXPECT_EQ(bytes[2], 0);
    EXPECT_EQ(bytes[3], 255);
    // A second map before the unmap is refused; a write map of a staging read copy too.
    D3D11_MAPPED_SUBRESOURCE again{};
    EXPECT_NE(context->Map(staging.Get(), 0, D3D11_MAP_READ, 0, &again), S_OK);
    context->Unmap(staging.Get(), 0);
    EXPECT_NE(context->Map(staging.Get(), 0, D3D11_MAP_WRITE_DISCARD, 0, &again), S_OK);
}

TEST(SoftwareDeviceTest, FailingDriverTypesReturnTheirResult)
{
    platform::SetFailingDriverTypes(1u << D3D_DRIVER_TYPE_HARDWARE, DXGI_ERROR_UNSUPPORTED);
    ComPtr<ID3D11Device> device;
    EXPECT_EQ(D3D11CreateDeviceAndSwapChain(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0,
                                            D3D11_SDK_VERSION, nullptr, nullptr, device.GetAddressOf(),
                                            nullptr, nullptr),
              DXGI_ERROR_UNSUPPORTED);
    EXPECT_EQ(D3D11CreateDeviceAndSwapChain(nullptr, D3D_DRIVER_TYPE_WARP, nullptr, 0, nullptr, 0,
                                            D3D11_SDK_VERSION, nullptr, nullptr, device.GetAddressOf(),
                                            nullptr, nullptr),
              S_OK);
    platform::SetFailingDriverTypes(0, S_OK);
}
