#include "platform/d3d/SpriteBatch.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/com/ComPtr.h"
#include "platform/d3d/SoftwareDevice.h"

using platform::DeviceContext;
using platform::ShaderResourceView;
using platform::Texture2D;

namespace DirectX {

namespace {

// round(x / 255) for x in [0, 255 x 255 + 255].
inline uint32_t Div255(uint32_t x)
{
    x += 128;
    return (x + (x >> 8)) >> 8;
}

inline uint8_t ToByte(float value)
{
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

enum class BlendKind
{
    Alpha,         // SRC_ALPHA, INV_SRC_ALPHA; alpha ONE, ZERO
    Additive,      // SRC_ALPHA, ONE; alpha ONE, ZERO
    Premultiplied, // ONE, INV_SRC_ALPHA for colour and alpha
    Opaque,        // blending off
    NoWrite,       // write mask 0
    Generic,
};

struct Blend
{
    BlendKind kind = BlendKind::Premultiplied;
    D3D11_RENDER_TARGET_BLEND_DESC desc{};
};

Blend ClassifyBlend(ID3D11BlendState* state)
{
    Blend blend;
    if (!state)
        return blend;
    D3D11_BLEND_DESC desc{};
    state->GetDesc(&desc);
    const D3D11_RENDER_TARGET_BLEND_DESC& rt = desc.RenderTarget[0];
    blend.desc = rt;
    if ((rt.RenderTargetWriteMask & 0xF) == 0)
        blend.kind = BlendKind::NoWrite;
    else if (!rt.BlendEnable)
        blend.kind = BlendKind::Opaque;
    else if ((rt.RenderTargetWriteMask & 0xF) != 0xF || rt.BlendOp != D3D11_BLEND_OP_ADD ||
             rt.BlendOpAlpha != D3D11_BLEND_OP_ADD)
        blend.kind = BlendKind::Generic;
    else if (rt.SrcBlend == D3D11_BLEND_SRC_ALPHA && rt.DestBlend == D3D11_BLEND_INV_SRC_ALPHA &&
             rt.SrcBlendAlpha == D3D11_BLEND_ONE && rt.DestBlendAlpha == D3D11_BLEND_ZERO)
        blend.kind = BlendKind::Alpha;
    else if (rt.SrcBlend == D3D11_BLEND_SRC_ALPHA && rt.DestBlend == D3D11_BLEND_ONE &&
             rt.SrcBlendAlpha == D3D11_BLEND_ONE && rt.DestBlendAlpha == D3D11_BLEND_ZERO)
        blend.kind = BlendKind::Additive;
    else if (rt.SrcBlend == D3D11_BLEND_ONE && rt.DestBlend == D3D11_BLEND_INV_SRC_ALPHA &&
             rt.SrcBlendAlpha == D3D11_BLEND_ONE && rt.DestBlendAlpha == D3D11_BLEND_INV_SRC_ALPHA)
        blend.kind = BlendKind::Premultiplied;
    else
        blend.kind = BlendKind::Generic;
    return blend;
}

// A blend factor of 0..255 for one channel.
uint32_t Factor(D3D11_BLEND factor, const uint8_t* s, const uint8_t* d, int channel)
{
    switch (factor) {
    case D3D11_BLEND_ZERO:
        return 0;
    case D3D11_BLEND_ONE:
        return 255;
    case D3D11_BLEND_SRC_COLOR:
        return s[channel];
    case D3D11_BLEND_INV_SRC_COLOR:
        return 255 - s[channel];
    case D3D11_BLEND_SRC_ALPHA:
        return s[3];
    case D3D11_BLEND_INV_SRC_ALPHA:
        return 255 - s[3];
    case D3D11_BLEND_DEST_ALPHA:
        return d[3];
    case D3D11_BLEND_INV_DEST_ALPHA:
        return 255 - d[3];
    }
    return 0;
}

void BlendGeneric(uint8_t* d, const uint8_t* s, const D3D11_RENDER_TARGET_BLEND_DESC& rt)
{
    uint8_t out[4];
    for (int c = 0; c < 4; ++c) {
        const bool alpha = c == 3;
        const uint32_t fs = Factor(alpha ? rt.SrcBlendAlpha : rt.SrcBlend, s, d, c);
        const uint32_t fd = Factor(alpha ? rt.DestBlendAlpha : rt.DestBlend, s, d, c);
        const int32_t a = static_cast<int32_t>(Div255(s[c] * fs));
        const int32_t b = static_cast<int32_t>(Div255(d[c] * fd));
        const int32_t value =
            (alpha ? rt.BlendOpAlpha : rt.BlendOp) == D3D11_BLEND_OP_SUBTRACT ? a - b : a + b;
        out[c] = static_cast<uint8_t>(std::clamp(value, 0, 255));
    }
    // Channels outside the write mask keep the target's value (mask bits are R, G, B, A).
    for (int c = 0; c < 4; ++c) {
        if (rt.RenderTargetWriteMask & (1 << c))
            d[c] = out[c];
    }
}

// One source pixel (target channel order, colour applied) onto the target.
inline void BlendPixel(uint8_t* d, const uint8_t* s, const Blend& blend)
{
    const uint32_t a = s[3];
    switch (blend.kind) {
    case BlendKind::Alpha:
        if (a == 255) {
            std::memcpy(d, s, 4);
        } else if (a != 0) {
            const uint32_t inv = 255 - a;
            d[0] = static_cast<uint8_t>(Div255(s[0] * a + d[0] * inv));
            d[1] = static_cast<uint8_t>(Div255(s[1] * a + d[1] * inv));
            d[2] = static_cast<uint8_t>(Div255(s[2] * a + d[2] * inv));
            d[3] = static_cast<uint8_t>(a);
        } else {
            d[3] = 0;
        }
        break;
    case BlendKind::Additive:
        d[0] = static_cast<uint8_t>(std::min<uint32_t>(255, d[0] + Div255(s[0] * a)));
        d[1] = static_cast<uint8_t>(std::min<uint32_t>(255, d[1] + Div255(s[1] * a)));
        d[2] = static_cast<uint8_t>(std::min<uint32_t>(255, d[2] + Div255(s[2] * a)));
        d[3] = static_cast<uint8_t>(a);
        break;
    case BlendKind::Premultiplied: {
        const uint32_t inv = 255 - a;
        for (int c = 0; c < 4; ++c)
            d[c] = static_cast<uint8_t>(std::min<uint32_t>(255, s[c] + Div255(d[c] * inv)));
        break;
    }
    case BlendKind::Opaque:
        std::memcpy(d, s, 4);
        break;
    case BlendKind::NoWrite:
        break;
    case BlendKind::Generic:
        BlendGeneric(d, s, blend.desc);
        break;
    }
}

// The texture multiplied by the colour, as 8-bit factors.
struct Modulate
{
    uint32_t rgb[3]; // in target channel order
    uint32_t alpha;
    bool white; // rgb factors all 255
};

// A texel (texture order) as a source pixel in target order with the colour applied.
inline void ModulateTexel(uint8_t* out, const uint8_t* texel, bool swap, const Modulate& m)
{
    const uint8_t r = swap ? texel[2] : texel[0];
    const uint8_t b = swap ? texel[0] : texel[2];
    if (m.white) {
        out[0] = r;
        out[1] = texel[1];
        out[2] = b;
    } else {
        out[0] = static_cast<uint8_t>(Div255(r * m.rgb[0]));
        out[1] = static_cast<uint8_t>(Div255(texel[1] * m.rgb[1]));
        out[2] = static_cast<uint8_t>(Div255(b * m.rgb[2]));
    }
    out[3] = m.alpha == 255 ? texel[3] : static_cast<uint8_t>(Div255(texel[3] * m.alpha));
}

// A run of texels drawn 1:1: the hot path of every full-screen layer.
void BlendTexelRun(uint8_t* d, const uint8_t* t, int count, bool swap, const Modulate& m, const Blend& blend)
{
    if (m.white && m.alpha == 255 && (blend.kind == BlendKind::Alpha || blend.kind == BlendKind::Opaque)) {
        // Opaque runs are a plain (channel-swapping) copy; both loops below vectorise.
        uint32_t all = 0xFF000000u;
        for (int i = 0; i < count; ++i) {
            uint32_t word;
            std::memcpy(&word, t + i * 4, 4);
            all &= word;
        }
        if ((all >> 24) == 0xFF || blend.kind == BlendKind::Opaque) {
            int i = 0;
#if defined(__SSE2__)
            const __m128i green_alpha = _mm_set1_epi32(static_cast<int>(0xFF00FF00u));
            const __m128i low = _mm_set1_epi32(0xFF);
            for (; i + 4 <= count; i += 4) {
                __m128i words = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i * 4));
                if (swap)
                    words = _mm_or_si128(_mm_and_si128(words, green_alpha),
                                         _mm_or_si128(_mm_and_si128(_mm_srli_epi32(words, 16), low),
                                                      _mm_slli_epi32(_mm_and_si128(words, low), 16)));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 4), words);
            }
#endif
            for (; i < count; ++i) {
                uint32_t word;
                std::memcpy(&word, t + i * 4, 4);
                if (swap)
                    word = (word & 0xFF00FF00u) | ((word >> 16) & 0xFFu) | ((word & 0xFFu) << 16);
                std::memcpy(d + i * 4, &word, 4);
            }
            return;
        }
        for (int i = 0; i < count; ++i, d += 4, t += 4) {
            const uint8_t a = t[3];
            if (a == 255 || blend.kind == BlendKind::Opaque) {
                d[0] = swap ? t[2] : t[0];
                d[1] = t[1];
                d[2] = swap ? t[0] : t[2];
                d[3] = a;
            } else {
                uint8_t s[4];
                ModulateTexel(s, t, swap, m);
                BlendPixel(d, s, blend);
            }
        }
        return;
    }
    for (int i = 0; i < count; ++i, d += 4, t += 4) {
        uint8_t s[4];
        ModulateTexel(s, t, swap, m);
        BlendPixel(d, s, blend);
    }
}

inline int Address(int i, int size, D3D11_TEXTURE_ADDRESS_MODE mode)
{
    if (i >= 0 && i < size)
        return i;
    switch (mode) {
    case D3D11_TEXTURE_ADDRESS_WRAP: {
        const int r = i % size;
        return r < 0 ? r + size : r;
    }
    case D3D11_TEXTURE_ADDRESS_MIRROR: {
        const int period = 2 * size;
        int r = i % period;
        if (r < 0)
            r += period;
        return r < size ? r : period - 1 - r;
    }
    default:
        return std::clamp(i, 0, size - 1);
    }
}

struct Sampler
{
    bool point = false;
    D3D11_TEXTURE_ADDRESS_MODE address_u = D3D11_TEXTURE_ADDRESS_CLAMP;
    D3D11_TEXTURE_ADDRESS_MODE address_v = D3D11_TEXTURE_ADDRESS_CLAMP;
};

// Samples the texture at (tx, ty) in texels, 16 fractional bits, texel centres at whole values.
inline void SampleTexel(uint8_t* out, const Texture2D& texture, int64_t tx, int64_t ty,
                        const Sampler& sampler)
{
    const int width = static_cast<int>(texture.Width());
    const int height = static_cast<int>(texture.Height());
    if (sampler.point) {
        const int x = Address(static_cast<int>((tx + 32768) >> 16), width, sampler.address_u);
        const int y = Address(static_cast<int>((ty + 32768) >> 16), height, sampler.address_v);
        std::memcpy(out, texture.Row(static_cast<uint32_t>(y)) + x * 4, 4);
        return;
    }
    const int x0 = static_cast<int>(tx >> 16);
    const int y0 = static_cast<int>(ty >> 16);
    const uint32_t fx = static_cast<uint32_t>((tx >> 8) & 0xFF);
    const uint32_t fy = static_cast<uint32_t>((ty >> 8) & 0xFF);
    const int xa = Address(x0, width, sampler.address_u);
    const int xb = Address(x0 + 1, width, sampler.address_u);
    const uint8_t* row0 = texture.Row(static_cast<uint32_t>(Address(y0, height, sampler.address_v)));
    const uint8_t* row1 = texture.Row(static_cast<uint32_t>(Address(y0 + 1, height, sampler.address_v)));
    const uint8_t* t00 = row0 + xa * 4;
    const uint8_t* t10 = row0 + xb * 4;
    const uint8_t* t01 = row1 + xa * 4;
    const uint8_t* t11 = row1 + xb * 4;
    const uint32_t w00 = (256 - fx) * (256 - fy);
    const uint32_t w10 = fx * (256 - fy);
    const uint32_t w01 = (256 - fx) * fy;
    const uint32_t w11 = fx * fy;
    for (int c = 0; c < 4; ++c)
        out[c] =
            static_cast<uint8_t>((t00[c] * w00 + t10[c] * w10 + t01[c] * w01 + t11[c] * w11 + 32768) >> 16);
}

struct Affine
{
    // target = (a, b; c, d) x (u, v) + (e, f), u and v in texels from the source rectangle's corner
    double a, b, c, d, e, f;
};

} // namespace

struct SpriteBatch::Impl
{
    struct Sprite
    {
        ComPtr<ID3D11ShaderResourceView> texture;
        RECT source;
        XMFLOAT2 position;
        XMVECTOR color;
        float rotation;
        XMFLOAT2 origin;
        XMFLOAT2 scale;
        uint32_t effects;
        float depth;
    };

    DeviceContext* context;
    bool in_batch = false;
    SpriteSortMode sort_mode = SpriteSortMode_Deferred;
    Blend blend;
    Sampler sampler;
    XMMATRIX matrix = XMMatrixIdentity();
    std::vector<Sprite> sprites;

    void Render(const Sprite& sprite, Texture2D& target, const D3D11_VIEWPORT& viewport);
};

SpriteBatch::SpriteBatch(ID3D11DeviceContext* context)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->context = dynamic_cast<DeviceContext*>(context);
}

SpriteBatch::~SpriteBatch() = default;

void SpriteBatch::Begin(SpriteSortMode sort_mode, ID3D11BlendState* blend_state,
                        ID3D11SamplerState* sampler_state, ID3D11DepthStencilState*, ID3D11RasterizerState*,
                        std::function<void()>, const XMMATRIX& transform_matrix)
{
    Impl& impl = *m_impl;
    impl.in_batch = true;
    impl.sort_mode = sort_mode;
    impl.blend = ClassifyBlend(blend_state);
    impl.sampler = Sampler{};
    if (sampler_state) {
        D3D11_SAMPLER_DESC desc{};
        sampler_state->GetDesc(&desc);
        impl.sampler.point = desc.Filter == D3D11_FILTER_MIN_MAG_MIP_POINT;
        impl.sampler.address_u = desc.AddressU;
        impl.sampler.address_v = desc.AddressV;
    }
    impl.matrix = transform_matrix;
    impl.sprites.clear();
}

void SpriteBatch::Draw(ID3D11ShaderResourceView* texture, const XMFLOAT2& position,
                       const RECT* source_rectangle, const XMVECTOR& color, float rotation,
                       const XMFLOAT2& origin, const XMFLOAT2& scale, SpriteEffects effects,
                       float layer_depth)
{
    Impl& impl = *m_impl;
    if (!impl.in_batch || !texture)
        return;
    Texture2D* storage = static_cast<ShaderResourceView*>(texture)->Texture();
    Impl::Sprite sprite{ComPtr<ID3D11ShaderResourceView>(),
                        {},
                        position,
                        color,
                        rotation,
                        origin,
                        scale,
                        effects,
                        layer_depth};
    texture->AddRef();
    sprite.texture = ComPtr<ID3D11ShaderResourceView>(texture);
    sprite.source = source_rectangle ? *source_rectangle
                                     : RECT{0, 0, static_cast<LONG>(storage->Width()),
                                            static_cast<LONG>(storage->Height())};
    if (impl.sort_mode == SpriteSortMode_Immediate) {
        if (Texture2D* target = impl.context ? impl.context->RenderTarget() : nullptr)
            impl.Render(sprite, *target, impl.context->Viewport());
        return;
    }
    impl.sprites.push_back(std::move(sprite));
}

void SpriteBatch::End()
{
    Impl& impl = *m_impl;
    if (!impl.in_batch)
        return;
    impl.in_batch = false;
    std::vector<Impl::Sprite> sprites = std::move(impl.sprites);
    impl.sprites.clear();
    Texture2D* target = impl.context ? impl.context->RenderTarget() : nullptr;
    if (!target)
        return;
    switch (impl.sort_mode) {
    case SpriteSortMode_FrontToBack:
        std::stable_sort(sprites.begin(), sprites.end(),
                         [](const Impl::Sprite& x, const Impl::Sprite& y) { return x.depth < y.depth; });
        break;
    case SpriteSortMode_BackToFront:
        std::stable_sort(sprites.begin(), sprites.end(),
                         [](const Impl::Sprite& x, const Impl::Sprite& y) { return x.depth > y.depth; });
        break;
    case SpriteSortMode_Texture:
        std::stable_sort(sprites.begin(), sprites.end(), [](const Impl::Sprite& x, const Impl::Sprite& y) {
            return x.texture.Get() < y.texture.Get();
        });
        break;
    default:
        break;
    }
    const D3D11_VIEWPORT viewport = impl.context->Viewport();
    for (const Impl::Sprite& sprite : sprites)
        impl.Render(sprite, *target, viewport);
}

void SpriteBatch::Impl::Render(const Sprite& sprite, Texture2D& target, const D3D11_VIEWPORT& viewport)
{
    Texture2D& texture = *static_cast<ShaderResourceView*>(sprite.texture.Get())->Texture();
    const double src_w = sprite.source.right - sprite.source.left;
    const double src_h = sprite.source.bottom - sprite.source.top;
    if (src_w <= 0 || src_h <= 0 || viewport.Width <= 0 || viewport.Height <= 0 ||
        blend.kind == BlendKind::NoWrite)
        return;

    // Local texel (u, v) -> sprite space: move the origin to 0, flip, scale, rotate, then place.
    const double cos_r = std::cos(static_cast<double>(sprite.rotation));
    const double sin_r = std::sin(static_cast<double>(sprite.rotation));
    double su = sprite.scale.x;
    double sv = sprite.scale.y;
    double ou = sprite.origin.x;
    double ov = sprite.origin.y;
    if (sprite.effects & SpriteEffects_FlipHorizontally) {
        ou = src_w - ou;
        su = -su;
    }
    if (sprite.effects & SpriteEffects_FlipVertically) {
        ov = src_h - ov;
        sv = -sv;
    }
    // p = R x S x ((u, v) - o) + position
    Affine local{cos_r * su, -sin_r * sv, sin_r * su, cos_r * sv, 0, 0};
    local.e = sprite.position.x - (local.a * ou + local.b * ov);
    local.f = sprite.position.y - (local.c * ou + local.d * ov);
    // Then the batch matrix (row vectors: x' = x m11 + y m21 + m41) and the viewport stretched
    // over the whole target.
    const auto& m = matrix.m;
    const double kx = target.Width() / static_cast<double>(viewport.Width);
    const double ky = target.Height() / static_cast<double>(viewport.Height);
    Affine full;
    full.a = kx * (local.a * m[0][0] + local.c * m[1][0]);
    full.b = kx * (local.b * m[0][0] + local.d * m[1][0]);
    full.e = kx * (local.e * m[0][0] + local.f * m[1][0] + m[3][0]);
    full.c = ky * (local.a * m[0][1] + local.c * m[1][1]);
    full.d = ky * (local.b * m[0][1] + local.d * m[1][1]);
    full.f = ky * (local.e * m[0][1] + local.f * m[1][1] + m[3][1]);
    const double det = full.a * full.d - full.b * full.c;
    if (std::abs(det) < 1e-12)
        return;
    // Inverse: (u, v) = inv x (target - (e, f)).
    const double ia = full.d / det;
    const double ib = -full.b / det;
    const double ic = -full.c / det;
    const double id = full.a / det;

    // Bounding box of the four corners, clipped to the target.
    double min_x = 1e30, max_x = -1e30, min_y = 1e30, max_y = -1e30;
    for (int corner = 0; corner < 4; ++corner) {
        const double u = (corner & 1) ? src_w : 0;
        const double v = (corner & 2) ? src_h : 0;
        const double x = full.a * u + full.b * v + full.e;
        const double y = full.c * u + full.d * v + full.f;
        min_x = std::min(min_x, x);
        max_x = std::max(max_x, x);
        min_y = std::min(min_y, y);
        max_y = std::max(max_y, y);
    }
    const int tw = static_cast<int>(target.Width());
    const int th = static_cast<int>(target.Height());
    const int y_begin = std::max(0, static_cast<int>(std::floor(min_y - 0.5)));
    const int y_end = std::min(th, static_cast<int>(std::ceil(max_y + 0.5)));
    const int x_lo = std::max(0, static_cast<int>(std::floor(min_x - 0.5)));
    const int x_hi = std::min(tw, static_cast<int>(std::ceil(max_x + 0.5)));
    if (y_begin >= y_end || x_lo >= x_hi)
        return;

    Modulate modulate{};
    const uint8_t r8 = ToByte(sprite.color.x);
    const uint8_t g8 = ToByte(sprite.color.y);
    const uint8_t b8 = ToByte(sprite.color.z);
    modulate.rgb[0] = r8;
    modulate.rgb[1] = g8;
    modulate.rgb[2] = b8;
    modulate.alpha = ToByte(sprite.color.w);
    modulate.white = r8 == 255 && g8 == 255 && b8 == 255;
    const bool swap = texture.Desc().Format != target.Desc().Format;

    const auto inside = [&](double cx, double cy) {
        const double u = ia * (cx - full.e) + ib * (cy - full.f);
        const double v = ic * (cx - full.e) + id * (cy - full.f);
        return u >= 0 && u < src_w && v >= 0 && v < src_h;
    };

    // An unscaled, unrotated sprite at a whole-pixel position: texels are copied.
    const bool identity = full.a == 1.0 && full.d == 1.0 && full.b == 0.0 && full.c == 0.0 &&
                          full.e == std::floor(full.e) && full.f == std::floor(full.f);
    const int tex_w = static_cast<int>(texture.Width());
    const int tex_h = static_cast<int>(texture.Height());
    const bool source_inside = sprite.source.left >= 0 && sprite.source.top >= 0 &&
                               sprite.source.right <= tex_w && sprite.source.bottom <= tex_h;
    if (identity && source_inside) {
        const int ox = static_cast<int>(full.e);
        const int oy = static_cast<int>(full.f);
        const int x0 = std::max(0, ox);
        const int x1 = std::min(tw, ox + static_cast<int>(src_w));
        const int y0 = std::max(0, oy);
        const int y1 = std::min(th, oy + static_cast<int>(src_h));
        for (int y = y0; y < y1; ++y) {
            const uint8_t* t = texture.Row(static_cast<uint32_t>(sprite.source.top + y - oy)) +
                               (sprite.source.left + x0 - ox) * 4;
            BlendTexelRun(target.Row(static_cast<uint32_t>(y)) + x0 * 4, t, x1 - x0, swap, modulate, blend);
        }
        return;
    }

    constexpr double FIXED = 65536.0;
    for (int y = y_begin; y < y_end; ++y) {
        const double cy = y + 0.5;
        // The covered pixels of a row are one run (the quad is convex): find its ends.
        int x0 = x_lo;
        while (x0 < x_hi && !inside(x0 + 0.5, cy))
            ++x0;
        if (x0 == x_hi)
            continue;
        int x1 = x_hi;
        while (x1 > x0 && !inside(x1 - 0.5, cy))
            --x1;
        // Texel coordinates of pixel centres: source corner + (u, v) - 0.5, in 16.16 fixed point.
        const double u0 = ia * (x0 + 0.5 - full.e) + ib * (cy - full.f);
        const double v0 = ic * (x0 + 0.5 - full.e) + id * (cy - full.f);
        int64_t tx = std::llround((sprite.source.left + u0 - 0.5) * FIXED);
        int64_t ty = std::llround((sprite.source.top + v0 - 0.5) * FIXED);
        const int64_t step_x = std::llround(ia * FIXED);
        const int64_t step_y = std::llround(ic * FIXED);
        uint8_t* d = target.Row(static_cast<uint32_t>(y)) + x0 * 4;
        for (int x = x0; x < x1; ++x, d += 4, tx += step_x, ty += step_y) {
            uint8_t texel[4];
            SampleTexel(texel, texture, tx, ty, sampler);
            uint8_t s[4];
            ModulateTexel(s, texel, swap, modulate);
            BlendPixel(d, s, blend);
        }
    }
}

} // namespace DirectX
