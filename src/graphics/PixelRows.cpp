#include "graphics/PixelRows.h"
#include "graphics/PixelWord.h"

#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace graphics {

namespace {

inline uint32_t Load(const uint8_t* p)
{
    return graphics::LoadPixel(p);
}

inline void Store(uint8_t* p, uint32_t value)
{
    graphics::StorePixel(p, value);
}

inline uint32_t Div255(uint32_t product)
{
    return ((product + 1) * 257) >> 16;
}

inline void MixPixel(uint8_t* d, const uint8_t* s, uint32_t a)
{
    const uint32_t inverse = 255 - a;
    d[0] = static_cast<uint8_t>(Div255(a * s[0]) + Div255(inverse * d[0]));
    d[1] = static_cast<uint8_t>(Div255(a * s[1]) + Div255(inverse * d[1]));
    d[2] = static_cast<uint8_t>(Div255(a * s[2]) + Div255(inverse * d[2]));
}

#if defined(__SSE2__)

// floor(x / 255) of each 16-bit lane holding a product of two bytes.
inline __m128i Div255(__m128i product)
{
    return _mm_mulhi_epu16(_mm_add_epi16(product, _mm_set1_epi16(1)), _mm_set1_epi16(257));
}

// Each pixel's alpha lane copied to its four lanes (two pixels per register).
inline __m128i BroadcastAlpha(__m128i lanes)
{
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(lanes, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
}

// mix(a, s, d) on two pixels widened to 16 bits, a already broadcast.
inline __m128i MixLanes(__m128i s, __m128i d, __m128i a)
{
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255), a);
    return _mm_add_epi16(Div255(_mm_mullo_epi16(s, a)), Div255(_mm_mullo_epi16(d, inverse)));
}

// Four pixels mixed by the alphas in `alpha` (one per pixel, in each pixel's alpha byte),
// destination alpha kept.
inline __m128i MixFour(__m128i s, __m128i d, __m128i alpha)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i a_lo = BroadcastAlpha(_mm_unpacklo_epi8(alpha, zero));
    const __m128i a_hi = BroadcastAlpha(_mm_unpackhi_epi8(alpha, zero));
    const __m128i lo = MixLanes(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), a_lo);
    const __m128i hi = MixLanes(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), a_hi);
    const __m128i alpha_mask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    return _mm_or_si128(_mm_andnot_si128(alpha_mask, _mm_packus_epi16(lo, hi)), _mm_and_si128(alpha_mask, d));
}

#endif

// With KEYED, pixels whose colour bytes equal the key count as fully transparent.
template <bool KEYED>
void BltAlphaRowBaseOf(uint8_t* dst, const uint8_t* src, int32_t count, uint32_t key)
{
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i alpha_mask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 4 <= count; i += 4, dst += 16, src += 16) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        if constexpr (KEYED)
            s = _mm_andnot_si128(
                _mm_cmpeq_epi32(_mm_andnot_si128(alpha_mask, s), _mm_set1_epi32(static_cast<int>(key))), s);
        const __m128i alpha = _mm_and_si128(s, alpha_mask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF)
            continue;
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
        __m128i out;
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alpha_mask)) == 0xFFFF)
            out = _mm_or_si128(_mm_andnot_si128(alpha_mask, s), _mm_and_si128(alpha_mask, d));
        else
            out = MixFour(s, d, s);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), out);
    }
#endif
    for (; i < count; ++i, dst += 4, src += 4) {
        const uint32_t pixel = Load(src);
        const uint32_t a = pixel >> 24;
        if (a == 0 || (KEYED && (pixel & 0x00FFFFFFu) == key))
            continue;
        if (a == 255)
            Store(dst, (Load(dst) & 0xFF000000u) | (pixel & 0x00FFFFFFu));
        else
            MixPixel(dst, src, a);
    }
}

void BltAlphaRowBase(uint8_t* dst, const uint8_t* src, int32_t count)
{
    BltAlphaRowBaseOf<false>(dst, src, count, 0);
}

void BltAlphaOpacityRowBase(uint8_t* dst, const uint8_t* src, int32_t count, int32_t opacity)
{
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i o = _mm_set1_epi16(static_cast<short>(opacity));
    for (; i + 4 <= count; i += 4, dst += 16, src += 16) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        // T[o][as] per pixel, back in each pixel's alpha byte.
        const __m128i as = _mm_srli_epi32(s, 24);
        const __m128i scaled = Div255(_mm_mullo_epi16(as, o)); // as sits in the low lane of each pixel
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(scaled, zero)) == 0xFFFF)
            continue;
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), MixFour(s, d, _mm_slli_epi32(scaled, 24)));
    }
#endif
    for (; i < count; ++i, dst += 4, src += 4) {
        const uint32_t a = Div255(static_cast<uint32_t>(opacity) * src[3]);
        if (a != 0)
            MixPixel(dst, src, a);
    }
}

void CopyColourRowBase(uint8_t* dst, const uint8_t* src, int32_t count)
{
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i alpha_mask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 4 <= count; i += 4, dst += 16, src += 16) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst),
                         _mm_or_si128(_mm_andnot_si128(alpha_mask, s), _mm_and_si128(alpha_mask, d)));
    }
#endif
    for (; i < count; ++i, dst += 4, src += 4)
        Store(dst, (Load(dst) & 0xFF000000u) | (Load(src) & 0x00FFFFFFu));
}

void CopyOpaqueRowBase(uint8_t* dst, const uint8_t* src, int32_t count)
{
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i alpha_mask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 4 <= count; i += 4, dst += 16, src += 16) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_or_si128(s, alpha_mask));
    }
#endif
    for (; i < count; ++i, dst += 4, src += 4)
        Store(dst, Load(src) | 0xFF000000u);
}

#if defined(__x86_64__)

// The same kernels eight pixels at a time, for machines with AVX2; the remainder goes to the
// narrower ones.

[[gnu::target("avx2")]] inline __m256i Div255x8(__m256i product)
{
    return _mm256_mulhi_epu16(_mm256_add_epi16(product, _mm256_set1_epi16(1)), _mm256_set1_epi16(257));
}

[[gnu::target("avx2")]] inline __m256i MixEight(__m256i s, __m256i d, __m256i alpha)
{
    const __m256i zero = _mm256_setzero_si256();
    // Each pixel's alpha byte copied over its four bytes, and its complement 255 - a.
    const __m256i spread = _mm256_setr_epi8(3, 3, 3, 3, 7, 7, 7, 7, 11, 11, 11, 11, 15, 15, 15, 15, 3, 3, 3,
                                            3, 7, 7, 7, 7, 11, 11, 11, 11, 15, 15, 15, 15);
    const __m256i a = _mm256_shuffle_epi8(alpha, spread);
    const __m256i inverse = _mm256_xor_si256(a, _mm256_set1_epi8(-1));
    const __m256i lo = _mm256_add_epi16(
        Div255x8(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(a, zero))),
        Div255x8(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi8(inverse, zero))));
    const __m256i hi = _mm256_add_epi16(
        Div255x8(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(a, zero))),
        Div255x8(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi8(inverse, zero))));
    const __m256i alpha_mask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    return _mm256_blendv_epi8(_mm256_packus_epi16(lo, hi), d, alpha_mask);
}

template <bool KEYED>
[[gnu::target("avx2")]] void BltAlphaRowAvx2Of(uint8_t* dst, const uint8_t* src, int32_t count, uint32_t key)
{
    const __m256i alpha_mask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i key_lanes = _mm256_set1_epi32(static_cast<int>(key));
    int32_t i = 0;
    for (; i + 8 <= count; i += 8, dst += 32, src += 32) {
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
        if constexpr (KEYED)
            s = _mm256_andnot_si256(_mm256_cmpeq_epi32(_mm256_andnot_si256(alpha_mask, s), key_lanes), s);
        const __m256i alpha = _mm256_and_si256(s, alpha_mask);
        if (_mm256_testz_si256(s, alpha_mask))
            continue;
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst));
        __m256i out;
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(alpha, alpha_mask)) == -1)
            out = _mm256_blendv_epi8(s, d, alpha_mask);
        else
            out = MixEight(s, d, s);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), out);
    }
    BltAlphaRowBaseOf<KEYED>(dst, src, count - i, key);
}

[[gnu::target("avx2")]] void BltAlphaRowAvx2(uint8_t* dst, const uint8_t* src, int32_t count)
{
    BltAlphaRowAvx2Of<false>(dst, src, count, 0);
}

[[gnu::target("avx2")]] void BltAlphaOpacityRowAvx2(uint8_t* dst, const uint8_t* src, int32_t count,
                                                    int32_t opacity)
{
    const __m256i o = _mm256_set1_epi16(static_cast<short>(opacity));
    int32_t i = 0;
    for (; i + 8 <= count; i += 8, dst += 32, src += 32) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
        const __m256i scaled = Div255x8(_mm256_mullo_epi16(_mm256_srli_epi32(s, 24), o));
        if (_mm256_testz_si256(scaled, scaled))
            continue;
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), MixEight(s, d, _mm256_slli_epi32(scaled, 24)));
    }
    BltAlphaOpacityRowBase(dst, src, count - i, opacity);
}

[[gnu::target("avx2")]] void CopyColourRowAvx2(uint8_t* dst, const uint8_t* src, int32_t count)
{
    const __m256i alpha_mask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    int32_t i = 0;
    for (; i + 8 <= count; i += 8, dst += 32, src += 32) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), _mm256_blendv_epi8(s, d, alpha_mask));
    }
    CopyColourRowBase(dst, src, count - i);
}

[[gnu::target("avx2")]] void CopyOpaqueRowAvx2(uint8_t* dst, const uint8_t* src, int32_t count)
{
    const __m256i alpha_mask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    int32_t i = 0;
    for (; i + 8 <= count; i += 8, dst += 32, src += 32) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), _mm256_or_si256(s, alpha_mask));
    }
    CopyOpaqueRowBase(dst, src, count - i);
}

bool HasAvx2()
{
    static const bool s_has_avx2 = __builtin_cpu_supports("avx2");
    return s_has_avx2;
}

#else

constexpr [[gnu::target("avx2")]] void CopyOpaqueRowAvx2(uint8_t* dst, const uint8_t* src, int32_t count)
{
    const __m256i alpha_mask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    int32_t i = 0;
    for (; i + 8 <= count; i += 8, dst += 32, src += 32) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), _mm256_or_si256(s, alpha_mask));
    }
    CopyOpaqueRowBase(dst, src, count - i);
}

bool HasAvx2()
{
    return false;
}

#endif

} // namespace

void BltAlphaRow(uint8_t* dst, const uint8_t* src, int32_t count)
{
#if defined(__x86_64__)
    if (HasAvx2())
        return BltAlphaRowAvx2(dst, src, count);
#endif
    BltAlphaRowBase(dst, src, count);
}

void BltAlphaKeyedRow(uint8_t* dst, const uint8_t* src, int32_t count, uint32_t key)
{
    key &= 0x00FFFFFFu;
#if defined(__x86_64__)
    if (HasAvx2())
        return BltAlphaRowAvx2Of<true>(dst, src, count, key);
#endif
    BltAlphaRowBaseOf<true>(dst, src, count, key);
}

void BltAlphaOpacityRow(uint8_t* dst, const uint8_t* src, int32_t count, int32_t opacity)
{
#if defined(__x86_64__)
    if (HasAvx2())
        return BltAlphaOpacityRowAvx2(dst, src, count, opacity);
#endif
    BltAlphaOpacityRowBase(dst, src, count, opacity);
}

void CopyColourRow(uint8_t* dst, const uint8_t* src, int32_t count)
{
#if defined(__x86_64__)
    if (HasAvx2())
        return CopyColourRowAvx2(dst, src, count);
#endif
    CopyColourRowBase(dst, src, count);
}

void FillRow(uint8_t* dst, int32_t count, uint32_t colour)
{
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(static_cast<int>(colour));
    for (; i + 4 <= count; i += 4, dst += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), four);
#endif
    for (; i < count; ++i, dst += 4)
        Store(dst, colour);
}

void SetAlphaRow(uint8_t* dst, int32_t count, uint8_t alpha)
{
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i alpha_mask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i value = _mm_set1_epi32(static_cast<int>(uint32_t{alpha} << 24));
    for (; i + 4 <= count; i += 4, dst += 16) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_or_si128(_mm_andnot_si128(alpha_mask, d), value));
    }
#endif
    for (; i < count; ++i, dst += 4)
        dst[3] = alpha;
}

int32_t ClearRunLength(const uint8_t* src, int32_t count)
{
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i alpha_mask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 8 <= count; i += 8, src += 32) {
        const __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src)),
                                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(a, alpha_mask), _mm_setzero_si128())) != 0xFFFF)
            break;
    }
#endif
    return i;
}

int32_t OpaqueRunLength(const uint8_t* src, int32_t count)
{
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i alpha_mask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 8 <= count; i += 8, src += 32) {
        const __m128i a = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src)),
                                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(a, alpha_mask), alpha_mask)) != 0xFFFF)
            break;
    }
#endif
    return i;
}

void CopyOpaqueRow(uint8_t* dst, const uint8_t* src, int32_t count)
{
#if defined(__x86_64__)
    if (HasAvx2())
        return CopyOpaqueRowAvx2(dst, src, count);
#endif
    CopyOpaqueRowBase(dst, src, count);
}

namespace {

#if defined(__SSE2__)
// Whether the sixteen pixels at src are all blank.
inline bool BlankBlock(const uint8_t* src)
{
    const auto* at = reinterpret_cast<const __m128i*>(src);
    const __m128i any = _mm_or_si128(_mm_or_si128(_mm_loadu_si128(at), _mm_loadu_si128(at + 1)),
                                     _mm_or_si128(_mm_loadu_si128(at + 2), _mm_loadu_si128(at + 3)));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) == 0xFFFF;
}
#endif

} // namespace

int32_t BlankRunLength(const uint8_t* src, int32_t count)
{
    int32_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= count && BlankBlock(src + static_cast<size_t>(i) * 4); i += 16) {
    }
#endif
    while (i < count && Load(src + static_cast<size_t>(i) * 4) == 0)
        ++i;
    return i;
}

int32_t BlankTailLength(const uint8_t* src, int32_t count)
{
    int32_t n = count;
#if defined(__SSE2__)
    for (; n >= 16 && BlankBlock(src + static_cast<size_t>(n - 16) * 4); n -= 16) {
    }
#endif
    while (n > 0 && Load(src + static_cast<size_t>(n - 1) * 4) == 0)
        --n;
    return count - n;
}

} // namespace graphics
