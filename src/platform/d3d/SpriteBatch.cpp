#include "platform/d3d/SpriteBatch.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/com/ComPtr.h"
#include "platform/d3d/BilinearRun.h"
#include "platform/d3d/RedBlueSwap.h"
#include "platform/d3d/SoftwareDevice.h"

using platform::DeviceContext;
using platform::SampleBilinearRun;
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
    bool white;    // rgb factors all 255
    bool identity; // white and alpha 255: texels pass unchanged
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

#if defined(__SSE2__)
// Four pixels at a time, each step exactly the scalar one: products of two bytes fit 16-bit lanes,
// and round(x / 255) is ((x + 128) x 257) >> 16 for every x up to 65,407, which the products and
// the alpha blend's weighted sums (weights adding up to 255) never pass.

using platform::SwapRedBlue;

inline __m128i Div255x8(__m128i x)
{
    return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

// Each pixel's alpha in all four of its lanes (two pixels of 16-bit channels).
inline __m128i SpreadAlpha(__m128i pixels)
{
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(pixels, 0xFF), 0xFF);
}

inline __m128i ModulateX4(__m128i pixels, __m128i factors)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(pixels, zero), factors));
    const __m128i hi = Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(pixels, zero), factors));
    return _mm_packus_epi16(lo, hi);
}

template <BlendKind Kind>
inline __m128i BlendX4(__m128i s, __m128i d)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i alpha_mask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i max = _mm_set1_epi16(255);
    const __m128i s_alpha = _mm_and_si128(s, alpha_mask);
    const __m128i s_lo = _mm_unpacklo_epi8(s, zero);
    const __m128i s_hi = _mm_unpackhi_epi8(s, zero);
    const __m128i a_lo = SpreadAlpha(s_lo);
    const __m128i a_hi = SpreadAlpha(s_hi);
    if constexpr (Kind == BlendKind::Alpha) {
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(s_alpha, alpha_mask)) == 0xFFFF)
            return s;
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(s_alpha, zero)) == 0xFFFF)
            return _mm_andnot_si128(alpha_mask, d);
        const __m128i d_lo = _mm_unpacklo_epi8(d, zero);
        const __m128i d_hi = _mm_unpackhi_epi8(d, zero);
        const __m128i lo = Div255x8(
            _mm_add_epi16(_mm_mullo_epi16(s_lo, a_lo), _mm_mullo_epi16(d_lo, _mm_sub_epi16(max, a_lo))));
        const __m128i hi = Div255x8(
            _mm_add_epi16(_mm_mullo_epi16(s_hi, a_hi), _mm_mullo_epi16(d_hi, _mm_sub_epi16(max, a_hi))));
        return _mm_or_si128(_mm_andnot_si128(alpha_mask, _mm_packus_epi16(lo, hi)), s_alpha);
    } else if constexpr (Kind == BlendKind::Additive) {
        const __m128i lo = Div255x8(_mm_mullo_epi16(s_lo, a_lo));
        const __m128i hi = Div255x8(_mm_mullo_epi16(s_hi, a_hi));
        const __m128i sum = _mm_adds_epu8(d, _mm_packus_epi16(lo, hi));
        return _mm_or_si128(_mm_andnot_si128(alpha_mask, sum), s_alpha);
    } else if constexpr (Kind == BlendKind::Premultiplied) {
        const __m128i lo = Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_sub_epi16(max, a_lo)));
        const __m128i hi = Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_sub_epi16(max, a_hi)));
        return _mm_adds_epu8(s, _mm_packus_epi16(lo, hi));
    } else {
        return s;
    }
}
#endif

#if defined(__x86_64__)
bool HasAvx2()
{
    static const bool s_has_avx2 = __builtin_cpu_supports("avx2");
    return s_has_avx2;
}

[[gnu::target("avx2")]] inline __m256i Div255x16(__m256i x)
{
    return _mm256_mulhi_epu16(_mm256_add_epi16(x, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}

[[gnu::target("avx2")]] inline __m256i SpreadAlphaWide(__m256i pixels)
{
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(pixels, 0xFF), 0xFF);
}

[[gnu::target("avx2")]] inline __m256i SwapRedBlueX8(__m256i words)
{
    const __m256i green_alpha = _mm256_set1_epi32(static_cast<int>(0xFF00FF00u));
    const __m256i red_blue = _mm256_andnot_si256(green_alpha, words);
    return _mm256_or_si256(_mm256_and_si256(words, green_alpha),
                           _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(red_blue, 0xB1), 0xB1));
}

[[gnu::target("avx2")]] inline __m256i ModulateX8(__m256i pixels, __m256i factors)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i lo = Div255x16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(pixels, zero), factors));
    const __m256i hi = Div255x16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(pixels, zero), factors));
    return _mm256_packus_epi16(lo, hi);
}

// BlendX4 on eight pixels: every step the same on wider lanes (unpacking and packing both stay
// within 128-bit halves).
template <BlendKind Kind>
[[gnu::target("avx2")]] inline __m256i BlendX8(__m256i s, __m256i d)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alpha_mask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i max = _mm256_set1_epi16(255);
    const __m256i s_alpha = _mm256_and_si256(s, alpha_mask);
    const __m256i s_lo = _mm256_unpacklo_epi8(s, zero);
    const __m256i s_hi = _mm256_unpackhi_epi8(s, zero);
    const __m256i a_lo = SpreadAlphaWide(s_lo);
    const __m256i a_hi = SpreadAlphaWide(s_hi);
    if constexpr (Kind == BlendKind::Alpha) {
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(s_alpha, alpha_mask)) == -1)
            return s;
        if (_mm256_testz_si256(s, alpha_mask))
            return _mm256_andnot_si256(alpha_mask, d);
        const __m256i lo = Div255x16(
            _mm256_add_epi16(_mm256_mullo_epi16(s_lo, a_lo),
                             _mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), _mm256_sub_epi16(max, a_lo))));
        const __m256i hi = Div255x16(
            _mm256_add_epi16(_mm256_mullo_epi16(s_hi, a_hi),
                             _mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), _mm256_sub_epi16(max, a_hi))));
        return _mm256_or_si256(_mm256_andnot_si256(alpha_mask, _mm256_packus_epi16(lo, hi)), s_alpha);
    } else if constexpr (Kind == BlendKind::Additive) {
        const __m256i lo = Div255x16(_mm256_mullo_epi16(s_lo, a_lo));
        const __m256i hi = Div255x16(_mm256_mullo_epi16(s_hi, a_hi));
        const __m256i sum = _mm256_adds_epu8(d, _mm256_packus_epi16(lo, hi));
        return _mm256_or_si256(_mm256_andnot_si256(alpha_mask, sum), s_alpha);
    } else if constexpr (Kind == BlendKind::Premultiplied) {
        const __m256i lo =
            Div255x16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), _mm256_sub_epi16(max, a_lo)));
        const __m256i hi =
            Div255x16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), _mm256_sub_epi16(max, a_hi)));
        return _mm256_adds_epu8(s, _mm256_packus_epi16(lo, hi));
    } else {
        return s;
    }
}

// Whether every one of `count` texels (a multiple of eight) has alpha 255.
[[gnu::target("avx2")]] inline bool AllOpaque(const uint8_t* t, int count)
{
    __m256i all = _mm256_set1_epi32(-1);
    for (int i = 0; i < count; i += 8)
        all = _mm256_and_si256(all, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t + i * 4)));
    const __m256i alpha_mask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    return _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(all, alpha_mask), alpha_mask)) == -1;
}

// `count` texels (a multiple of eight) with red and blue exchanged.
[[gnu::target("avx2")]] inline void CopySwapped(uint8_t* d, const uint8_t* t, int count)
{
    const __m256i order = _mm256_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15, 2, 1, 0, 3,
                                           6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    for (int i = 0; i < count; i += 8)
        _mm256_storeu_si256(
            reinterpret_cast<__m256i*>(d + i * 4),
            _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(t + i * 4)), order));
}

// BlendRunOf's four-wide steps eight pixels at a time; answers how many pixels it blended.
template <BlendKind Kind, bool Cleared>
[[gnu::target("avx2")]] int BlendEight(uint8_t* d, const uint8_t* t, int count, bool swap, const Modulate& m,
                                       uint32_t clear)
{
    const __m256i factors = _mm256_setr_epi16(
        static_cast<short>(m.rgb[0]), static_cast<short>(m.rgb[1]), static_cast<short>(m.rgb[2]),
        static_cast<short>(m.alpha), static_cast<short>(m.rgb[0]), static_cast<short>(m.rgb[1]),
        static_cast<short>(m.rgb[2]), static_cast<short>(m.alpha), static_cast<short>(m.rgb[0]),
        static_cast<short>(m.rgb[1]), static_cast<short>(m.rgb[2]), static_cast<short>(m.alpha),
        static_cast<short>(m.rgb[0]), static_cast<short>(m.rgb[1]), static_cast<short>(m.rgb[2]),
        static_cast<short>(m.alpha));
    const __m256i cleared = _mm256_set1_epi32(static_cast<int>(clear));
    int i = 0;
    // Texels that pass unchanged are copied in blocks wherever a block is opaque: a plain copy
    // moves memory faster than a loop that looks at every pixel, and the test leaves the block in
    // the cache for it.
    const bool copies = (Kind == BlendKind::Alpha || Kind == BlendKind::Opaque) && m.identity;
    constexpr int BLOCK = 256;
    while (i + 8 <= count) {
        const int end = copies ? i + (std::min(BLOCK, count - i) & ~7) : count & ~7;
        if (copies && (Kind == BlendKind::Opaque || AllOpaque(t + i * 4, end - i))) {
            if (swap)
                CopySwapped(d + i * 4, t + i * 4, end - i);
            else
                std::memcpy(d + i * 4, t + i * 4, static_cast<size_t>(end - i) * 4);
            i = end;
            continue;
        }
        for (; i < end; i += 8) {
            __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t + i * 4));
            if (swap)
                s = SwapRedBlueX8(s);
            if (!m.identity)
                s = ModulateX8(s, factors);
            auto* target = reinterpret_cast<__m256i*>(d + i * 4);
            if constexpr (Kind == BlendKind::Opaque)
                _mm256_storeu_si256(target, s);
            else
                _mm256_storeu_si256(target, BlendX8<Kind>(s, Cleared ? cleared : _mm256_loadu_si256(target)));
        }
    }
    return i;
}
#endif

// A run of texels (texture order) blended onto a run of the target. With Cleared the target's
// pixels are not read: they are all `clear`, the colour of a pending clear.
template <BlendKind Kind, bool Cleared>
void BlendRunOf(uint8_t* d, const uint8_t* t, int count, bool swap, const Modulate& m, const Blend& blend,
                uint32_t clear)
{
    int i = 0;
#if defined(__x86_64__)
    if constexpr (Kind != BlendKind::Generic) {
        if (HasAvx2())
            i = BlendEight<Kind, Cleared>(d, t, count, swap, m, clear);
    }
#endif
#if defined(__SSE2__)
    if constexpr (Kind != BlendKind::Generic) {
        const bool identity = m.identity;
        const __m128i factors = _mm_set_epi16(static_cast<short>(m.alpha), static_cast<short>(m.rgb[2]),
                                              static_cast<short>(m.rgb[1]), static_cast<short>(m.rgb[0]),
                                              static_cast<short>(m.alpha), static_cast<short>(m.rgb[2]),
                                              static_cast<short>(m.rgb[1]), static_cast<short>(m.rgb[0]));
        const __m128i cleared = _mm_set1_epi32(static_cast<int>(clear));
        const __m128i alpha_mask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
        auto source = [&](__m128i texels) {
            if (swap)
                texels = SwapRedBlue(texels);
            return identity ? texels : ModulateX4(texels, factors);
        };
        auto blend_four = [&](int at, __m128i texels) {
            const __m128i s = source(texels);
            auto* target = reinterpret_cast<__m128i*>(d + at * 4);
            if constexpr (Kind == BlendKind::Opaque)
                _mm_storeu_si128(target, s);
            else
                _mm_storeu_si128(target, BlendX4<Kind>(s, Cleared ? cleared : _mm_loadu_si128(target)));
        };
        if ((Kind == BlendKind::Alpha || Kind == BlendKind::Opaque) && identity) {
            // Opaque texels are copied: sixteen at a time, with one test of their alpha.
            for (; i + 16 <= count; i += 16) {
                const auto* from = reinterpret_cast<const __m128i*>(t + i * 4);
                const __m128i t0 = _mm_loadu_si128(from);
                const __m128i t1 = _mm_loadu_si128(from + 1);
                const __m128i t2 = _mm_loadu_si128(from + 2);
                const __m128i t3 = _mm_loadu_si128(from + 3);
                const __m128i all = _mm_and_si128(_mm_and_si128(t0, t1), _mm_and_si128(t2, t3));
                if (Kind == BlendKind::Alpha && _mm_movemask_epi8(_mm_cmpeq_epi32(
                                                    _mm_and_si128(all, alpha_mask), alpha_mask)) != 0xFFFF) {
                    blend_four(i, t0);
                    blend_four(i + 4, t1);
                    blend_four(i + 8, t2);
                    blend_four(i + 12, t3);
                    continue;
                }
                auto* to = reinterpret_cast<__m128i*>(d + i * 4);
                _mm_storeu_si128(to, source(t0));
                _mm_storeu_si128(to + 1, source(t1));
                _mm_storeu_si128(to + 2, source(t2));
                _mm_storeu_si128(to + 3, source(t3));
            }
        }
        for (; i + 4 <= count; i += 4)
            blend_four(i, _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i * 4)));
    }
#endif
    for (; i < count; ++i) {
        uint8_t s[4];
        ModulateTexel(s, t + i * 4, swap, m);
        if constexpr (Cleared)
            std::memcpy(d + i * 4, &clear, 4);
        BlendPixel(d + i * 4, s, blend);
    }
}

template <bool Cleared>
void BlendRunCleared(uint8_t* d, const uint8_t* t, int count, bool swap, const Modulate& m,
                     const Blend& blend, uint32_t clear)
{
    switch (blend.kind) {
    case BlendKind::Alpha:
        BlendRunOf<BlendKind::Alpha, Cleared>(d, t, count, swap, m, blend, clear);
        break;
    case BlendKind::Additive:
        BlendRunOf<BlendKind::Additive, Cleared>(d, t, count, swap, m, blend, clear);
        break;
    case BlendKind::Premultiplied:
        BlendRunOf<BlendKind::Premultiplied, Cleared>(d, t, count, swap, m, blend, clear);
        break;
    case BlendKind::Opaque:
        BlendRunOf<BlendKind::Opaque, Cleared>(d, t, count, swap, m, blend, clear);
        break;
    case BlendKind::NoWrite:
        break;
    case BlendKind::Generic:
        BlendRunOf<BlendKind::Generic, Cleared>(d, t, count, swap, m, blend, clear);
        break;
    }
}

// `clear` is null, or the colour every pixel of the run holds without having been written yet.
void BlendRun(uint8_t* d, const uint8_t* t, int count, bool swap, const Modulate& m, const Blend& blend,
              const uint32_t* clear)
{
    if (clear)
        BlendRunCleared<true>(d, t, count, swap, m, blend, *clear);
    else
        BlendRunCleared<false>(d, t, count, swap, m, blend, 0);
}

// Pixels set to one value.
void FillPixels(uint8_t* d, int count, uint32_t pixel)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i words = _mm_set1_epi32(static_cast<int>(pixel));
    for (; i + 4 <= count; i += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 4), words);
#endif
    for (; i < count; ++i)
        std::memcpy(d + i * 4, &pixel, 4);
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

// floor(a / b) for b > 0.
inline int64_t FloorDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// The steps k in [0, count) at which start + k x step lies in [lo, hi), as [first, end).
void StepRange(int64_t start, int64_t step, int64_t lo, int64_t hi, int64_t count, int64_t& first,
               int64_t& end)
{
    if (step == 0) {
        const bool in = start >= lo && start < hi;
        first = 0;
        end = in ? count : 0;
        return;
    }
    if (step > 0) {
        first = -FloorDiv(start - lo, step);
        end = -FloorDiv(start - hi, step);
    } else {
        first = FloorDiv(start - hi, -step) + 1;
        end = FloorDiv(start - lo, -step) + 1;
    }
    first = std::clamp<int64_t>(first, 0, count);
    end = std::clamp<int64_t>(end, first, count);
}

// The first x in [lo, hi) where a test that turns from false to true as x grows holds, or hi;
// the estimate only says where to start looking.
template <typename Test>
int FirstPassing(Test test, double estimate, int lo, int hi)
{
    int x = lo;
    if (estimate >= hi)
        x = hi;
    else if (estimate > lo)
        x = static_cast<int>(std::ceil(estimate));
    while (x > lo && test(x - 1))
        --x;
    while (x < hi && !test(x))
        ++x;
    return x;
}

// The pixels of a row whose centres map inside [0, limit) along one texture axis, as the run
// [first, end) within [lo, hi). The coordinate is slope x (x + 0.5 - offset) + constant, computed
// exactly as the coverage test does; rounding keeps it monotone in x, so the pixels that pass are
// one run, found from the analytic crossings and settled by the test itself.
void AxisRun(double slope, double offset, double constant, double limit, int lo, int hi, int& first, int& end)
{
    auto coordinate = [=](int x) { return slope * (x + 0.5 - offset) + constant; };
    if (slope == 0) {
        const double value = coordinate(lo);
        const bool in = value >= 0 && value < limit;
        first = lo;
        end = in ? hi : lo;
        return;
    }
    const double at_zero = offset - 0.5 - constant / slope;
    const double at_limit = offset - 0.5 + (limit - constant) / slope;
    if (slope > 0) {
        first = FirstPassing([&](int x) { return coordinate(x) >= 0; }, at_zero, lo, hi);
        end = FirstPassing([&](int x) { return !(coordinate(x) < limit); }, at_limit, lo, hi);
    } else {
        first = FirstPassing([&](int x) { return coordinate(x) < limit; }, at_limit, lo, hi);
        end = FirstPassing([&](int x) { return !(coordinate(x) >= 0); }, at_zero, lo, hi);
    }
}

// A few threads that share the rows of a large draw with the drawing thread. Rows are taken in
// small chunks from one counter, so turned sprites with rows of unequal length spread evenly;
// every row is drawn by exactly one thread and rows never share pixels, so the result is the same
// whoever draws it. The drawing thread takes chunks too and waits only for chunks being drawn, not
// for helpers that have not woken yet. Immortal: frames may be drawn until the process ends.
class RowWorkers
{
public:
    static RowWorkers& Get()
    {
        static auto* s_workers = new RowWorkers; // never destroyed: draws may come during exit
        return *s_workers;
    }

    // work(first, end) over [first, end) in chunks; returns when every row is done. Draws of
    // fewer pixels than are worth sharing run on the calling thread alone.
    void Run(int first, int end, int64_t pixels, const std::function<void(int, int)>& work)
    {
        if (m_helpers == 0 || pixels < PARALLEL_PIXELS || end - first < 2 * CHUNK_ROWS) {
            work(first, end);
            return;
        }
        auto job = std::make_shared<Job>(&work, first, end);
        {
            std::lock_guard lock(m_lock);
            m_job = job;
            ++m_generation;
        }
        m_start.notify_all();
        Work(*job);
        // Every chunk is handed out; wait for those still being drawn.
        while (job->in_flight.load() != 0)
            std::this_thread::yield();
        std::lock_guard lock(m_lock);
        if (m_job == job)
            m_job.reset();
    }

private:
    static constexpr int CHUNK_ROWS = 8;
    static constexpr int64_t PARALLEL_PIXELS = 128 * 1024;

    struct Job
    {
        Job(const std::function<void(int, int)>* rows_work, int first, int last)
            : work(rows_work)
            , next(first)
            , end(last)
        {}
        const std::function<void(int, int)>* work; // valid while a chunk is in flight
        std::atomic<int> next;
        const int end;
        // Counted before a chunk is taken, so the drawing thread never returns while one is drawn.
        std::atomic<int> in_flight{0};
    };

    // Drawing stays on the drawing thread unless VESK_DRAW_THREADS asks for helpers (at most 3):
    // the frame budget is met on one core, and helper threads would compete with the game's own.
    RowWorkers()
    {
        const char* wanted = std::getenv("VESK_DRAW_THREADS");
        const long asked = wanted ? std::strtol(wanted, nullptr, 10) : 0;
        m_helpers = static_cast<unsigned>(std::clamp(asked, 0L, 3L));
        for (unsigned i = 0; i < m_helpers; ++i)
            std::thread([this] { Loop(); }).detach();
    }

    static void Work(Job& job)
    {
        for (;;) {
            job.in_flight.fetch_add(1);
            const int from = job.next.fetch_add(CHUNK_ROWS);
            if (from >= job.end) {
                job.in_flight.fetch_sub(1);
                return;
            }
            (*job.work)(from, std::min(job.end, from + CHUNK_ROWS));
            job.in_flight.fetch_sub(1);
        }
    }

    void Loop()
    {
        uint64_t seen = 0;
        for (;;) {
            std::shared_ptr<Job> job;
            {
                std::unique_lock lock(m_lock);
                m_start.wait(lock, [&] { return m_generation != seen; });
                seen = m_generation;
                job = m_job;
            }
            if (job)
                Work(*job);
        }
    }

    unsigned m_helpers = 0;
    std::mutex m_lock; // leaf: guards m_job and m_generation
    std::condition_variable m_start;
    std::shared_ptr<Job> m_job;
    uint64_t m_generation = 0;
};

// Rows of the target for a draw. When the target has a pending clear, its colour is written
// only where the sprite leaves a row's pixels alone: a drawn run blends onto the colour without
// reading the target, so a cleared and drawn frame is written once.
class TargetRows
{
public:
    explicit TargetRows(Texture2D& target)
        : m_target(target)
        , m_filling(target.HasPendingFill())
        , m_fill(target.GetPendingFill())
    {}

    bool Filling() const { return m_filling; }
    // What the run's pixels hold before the draw when they were never written; null when they
    // hold what they hold.
    const uint32_t* Under() const { return m_filling ? &m_fill : nullptr; }
    // The row, whose pixels outside [x0, x1) get the pending clear's colour.
    uint8_t* Row(int y, int x0, int x1)
    {
        uint8_t* row = m_target.RawRow(static_cast<uint32_t>(y));
        if (m_filling) {
            const int width = static_cast<int>(m_target.Width());
            x1 = std::max(x0, x1);
            FillPixels(row, x0, m_fill);
            FillPixels(row + x1 * 4, width - x1, m_fill);
        }
        return row;
    }
    // Every row has been through Row.
    void Done()
    {
        if (m_filling)
            m_target.DropPendingFill();
    }

private:
    Texture2D& m_target;
    bool m_filling;
    uint32_t m_fill;
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
    bool scissor = false;
    XMMATRIX matrix = XMMatrixIdentity();
    std::vector<Sprite> sprites;

    void Render(const Sprite& sprite, Texture2D& target, const D3D11_VIEWPORT& viewport);
    // One row's covered pixels from texel position (tx, ty), 16.16 fixed point, stepping per pixel.
    void DrawSpan(uint8_t* d, int count, const Texture2D& texture, int64_t tx, int64_t ty, int64_t step_x,
                  int64_t step_y, bool swap, const Modulate& modulate, const uint32_t* under) const;
};

SpriteBatch::SpriteBatch(ID3D11DeviceContext* context)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->context = dynamic_cast<DeviceContext*>(context);
}

SpriteBatch::~SpriteBatch() = default;

void SpriteBatch::Begin(SpriteSortMode sort_mode, ID3D11BlendState* blend_state,
                        ID3D11SamplerState* sampler_state, ID3D11DepthStencilState*,
                        ID3D11RasterizerState* rasterizer_state, std::function<void()>,
                        const XMMATRIX& transform_matrix)
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
    impl.scissor = false;
    if (rasterizer_state) {
        D3D11_RASTERIZER_DESC desc{};
        rasterizer_state->GetDesc(&desc);
        impl.scissor = desc.ScissorEnable != 0;
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
    // Every way out that draws nothing leaves a pending clear done.
    if (src_w <= 0 || src_h <= 0 || viewport.Width <= 0 || viewport.Height <= 0 ||
        blend.kind == BlendKind::NoWrite) {
        target.ResolvePendingFill();
        return;
    }

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
    // A window whose stretch undoes the batch matrix's scale meets a float reciprocal: their
    // product misses 1 by rounding alone, which is no scale, and a position that misses a whole
    // pixel by as little is on it.
    const auto snap = [](double& value, double to) {
        if (std::abs(value - to) < 1e-5)
            value = to;
    };
    snap(full.a, 1.0);
    snap(full.d, 1.0);
    snap(full.b, 0.0);
    snap(full.c, 0.0);
    if (full.a == 1.0 && full.d == 1.0 && full.b == 0.0 && full.c == 0.0) {
        if (std::abs(full.e - std::round(full.e)) < 1e-3)
            full.e = std::round(full.e);
        if (std::abs(full.f - std::round(full.f)) < 1e-3)
            full.f = std::round(full.f);
    }
    const double det = full.a * full.d - full.b * full.c;
    if (std::abs(det) < 1e-12) {
        target.ResolvePendingFill();
        return;
    }
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
    // The scissor cuts the pixels drawn, not how any of them is worked out: a pixel inside it
    // gets what an unclipped draw gives it.
    RECT clip{0, 0, tw, th};
    if (scissor) {
        const RECT cut = context->ScissorRect();
        clip = RECT{std::max<LONG>(0, cut.left), std::max<LONG>(0, cut.top), std::min<LONG>(tw, cut.right),
                    std::min<LONG>(th, cut.bottom)};
        target.ResolvePendingFill();
    }
    const int y_begin = std::max<int>(clip.top, static_cast<int>(std::floor(min_y - 0.5)));
    const int y_end = std::min<int>(clip.bottom, static_cast<int>(std::ceil(max_y + 0.5)));
    const int x_lo = std::max(0, static_cast<int>(std::floor(min_x - 0.5)));
    const int x_hi = std::min(tw, static_cast<int>(std::ceil(max_x + 0.5)));
    const int clip_lo = std::max<int>(x_lo, clip.left);
    const int clip_hi = std::min<int>(x_hi, clip.right);
    if (y_begin >= y_end || clip_lo >= clip_hi) {
        target.ResolvePendingFill();
        return;
    }

    Modulate modulate{};
    const uint8_t r8 = ToByte(sprite.color.x);
    const uint8_t g8 = ToByte(sprite.color.y);
    const uint8_t b8 = ToByte(sprite.color.z);
    modulate.rgb[0] = r8;
    modulate.rgb[1] = g8;
    modulate.rgb[2] = b8;
    modulate.alpha = ToByte(sprite.color.w);
    modulate.white = r8 == 255 && g8 == 255 && b8 == 255;
    modulate.identity = modulate.white && modulate.alpha == 255;
    const bool swap = texture.Desc().Format != target.Desc().Format;
    TargetRows rows(target);
    const int row_first = rows.Filling() ? 0 : y_begin;
    const int row_end = rows.Filling() ? th : y_end;

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
        const int x0 = std::max<int>(clip.left, ox);
        const int x1 = std::min<int>(clip.right, ox + static_cast<int>(src_w));
        const int y0 = std::max<int>(clip.top, oy);
        const int y1 = std::min<int>(clip.bottom, oy + static_cast<int>(src_h));
        target.NoteWritten(RECT{x0, y0, x1, y1});
        const uint8_t* bits = texture.Bits();
        const size_t pitch = texture.Pitch();
        const int64_t pixels =
            static_cast<int64_t>(rows.Filling() ? tw : std::max(0, x1 - x0)) * (row_end - row_first);
        RowWorkers::Get().Run(row_first, row_end, pixels, [&](int first, int end) {
            for (int y = first; y < end; ++y) {
                if (y < y0 || y >= y1 || x0 >= x1) {
                    rows.Row(y, 0, 0);
                    continue;
                }
                uint8_t* row = rows.Row(y, x0, x1);
                const uint8_t* t = bits + static_cast<size_t>(sprite.source.top + y - oy) * pitch +
                                   static_cast<size_t>(sprite.source.left + x0 - ox) * 4;
                BlendRun(row + x0 * 4, t, x1 - x0, swap, modulate, blend, rows.Under());
            }
        });
        rows.Done();
        return;
    }

    constexpr double FIXED = 65536.0;
    const int64_t step_x = std::llround(ia * FIXED);
    const int64_t step_y = std::llround(ic * FIXED);
    texture.ResolvePendingFill(); // before the rows are shared: reads must not write
    target.NoteWritten(RECT{clip_lo, y_begin, clip_hi, y_end});
    const int64_t pixels =
        static_cast<int64_t>(rows.Filling() ? tw : clip_hi - clip_lo) * (row_end - row_first);
    RowWorkers::Get().Run(row_first, row_end, pixels, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            if (y < y_begin || y >= y_end) {
                rows.Row(y, 0, 0);
                continue;
            }
            const double cy = y + 0.5;
            // The pixels whose centres map inside the source rectangle: one run, the quad being
            // convex.
            int u_first, u_end, v_first, v_end;
            AxisRun(ia, full.e, ib * (cy - full.f), src_w, x_lo, x_hi, u_first, u_end);
            AxisRun(ic, full.e, id * (cy - full.f), src_h, x_lo, x_hi, v_first, v_end);
            const int x0 = std::max(u_first, v_first);
            const int x1 = std::min(u_end, v_end);
            const int shown_x0 = std::max<int>(x0, clip.left);
            const int shown_x1 = std::min<int>(x1, clip.right);
            uint8_t* row = rows.Row(y, shown_x0, shown_x1);
            if (shown_x0 >= shown_x1)
                continue;
            // Texel coordinates of pixel centres: source corner + (u, v) - 0.5, in 16.16 fixed point,
            // from the run's first pixel whether shown or not.
            const double u0 = ia * (x0 + 0.5 - full.e) + ib * (cy - full.f);
            const double v0 = ic * (x0 + 0.5 - full.e) + id * (cy - full.f);
            const int64_t skipped = shown_x0 - x0;
            const int64_t tx = std::llround((sprite.source.left + u0 - 0.5) * FIXED) + skipped * step_x;
            const int64_t ty = std::llround((sprite.source.top + v0 - 0.5) * FIXED) + skipped * step_y;
            DrawSpan(row + shown_x0 * 4, shown_x1 - shown_x0, texture, tx, ty, step_x, step_y, swap, modulate,
                     rows.Under());
        }
    });
    rows.Done();
}

void SpriteBatch::Impl::DrawSpan(uint8_t* d, int count, const Texture2D& texture, int64_t tx, int64_t ty,
                                 int64_t step_x, int64_t step_y, bool swap, const Modulate& modulate,
                                 const uint32_t* under) const
{
    // Pixels whose samples need no address mode: texel rows and columns x0 and x0 + 1 (bilinear)
    // or the nearest one (point) inside the texture.
    const int64_t width = texture.Width();
    const int64_t height = texture.Height();
    int64_t lo_x = 0, hi_x = (width - 1) << 16, lo_y = 0, hi_y = (height - 1) << 16;
    if (sampler.point) {
        lo_x = lo_y = -32768;
        hi_x = (width << 16) - 32768;
        hi_y = (height << 16) - 32768;
    }
    int64_t first_x, end_x, first_y, end_y;
    StepRange(tx, step_x, lo_x, hi_x, count, first_x, end_x);
    StepRange(ty, step_y, lo_y, hi_y, count, first_y, end_y);
    int64_t inner_first = std::max(first_x, first_y);
    int64_t inner_end = std::min(end_x, end_y);
    if (inner_first >= inner_end)
        inner_first = inner_end = count;

    constexpr int CHUNK = 256;
    uint32_t texels[CHUNK];
    const uint8_t* bits = texture.Bits();
    const size_t pitch = texture.Pitch();
    for (int done = 0; done < count;) {
        const int n = std::min(CHUNK, count - done);
        int i = 0;
        while (i < n) {
            const int64_t k = done + i;
            const int64_t k_tx = tx + k * step_x;
            const int64_t k_ty = ty + k * step_y;
            if (k >= inner_first && k < inner_end) {
                const int run = static_cast<int>(std::min<int64_t>(n - i, inner_end - k));
                if (sampler.point) {
                    int64_t x = k_tx, y = k_ty;
                    for (int j = 0; j < run; ++j, x += step_x, y += step_y)
                        std::memcpy(texels + i + j,
                                    bits + static_cast<size_t>((y + 32768) >> 16) * pitch +
                                        static_cast<size_t>((x + 32768) >> 16) * 4,
                                    4);
                } else {
                    SampleBilinearRun(texels + i, run, bits, pitch, k_tx, k_ty, step_x, step_y);
                }
                i += run;
            } else {
                SampleTexel(reinterpret_cast<uint8_t*>(texels + i), texture, k_tx, k_ty, sampler);
                ++i;
            }
        }
        BlendRun(d + done * 4, reinterpret_cast<const uint8_t*>(texels), n, swap, modulate, blend, under);
        done += n;
    }
}

} // namespace DirectX
