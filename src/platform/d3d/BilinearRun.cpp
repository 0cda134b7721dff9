#include "platform/d3d/BilinearRun.h"

#include <cstring>
#include <initializer_list>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

// The weights of the general sampler with the sum regrouped by rows, which is the same integer.
void SampleBilinearRunNarrow(uint32_t* out, int count, const uint8_t* bits, size_t pitch, int64_t tx,
                             int64_t ty, int64_t step_x, int64_t step_y)
{
    auto texels = [&](int64_t x, int64_t y) {
        return bits + static_cast<size_t>(y >> 16) * pitch + static_cast<size_t>(x >> 16) * 4;
    };
    int i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi32(32768);
    // Lanes 0-3 get the first 16-bit value of the word, lanes 4-7 the second.
    auto spread = [](uint32_t pair) {
        const __m128i v = _mm_cvtsi32_si128(static_cast<int>(pair));
        const __m128i twice = _mm_unpacklo_epi16(v, v);
        return _mm_unpacklo_epi32(twice, twice);
    };
    for (; i + 2 <= count; i += 2) {
        const int64_t tx_b = tx + step_x;
        const int64_t ty_b = ty + step_y;
        const uint32_t fx_a = static_cast<uint32_t>((tx >> 8) & 0xFF);
        const uint32_t fy_a = static_cast<uint32_t>((ty >> 8) & 0xFF);
        const uint32_t fx_b = static_cast<uint32_t>((tx_b >> 8) & 0xFF);
        const uint32_t fy_b = static_cast<uint32_t>((ty_b >> 8) & 0xFF);
        const uint8_t* p_a = texels(tx, ty);
        const uint8_t* p_b = texels(tx_b, ty_b);
        const __m128i wx_a = spread((256 - fx_a) | fx_a << 16);
        const __m128i wx_b = spread((256 - fx_b) | fx_b << 16);
        // Per pixel: (t00, t10) and (t01, t11), each weighted across x.
        const __m128i top_a = _mm_mullo_epi16(
            _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p_a)), zero), wx_a);
        const __m128i bottom_a = _mm_mullo_epi16(
            _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p_a + pitch)), zero), wx_a);
        const __m128i top_b = _mm_mullo_epi16(
            _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p_b)), zero), wx_b);
        const __m128i bottom_b = _mm_mullo_epi16(
            _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p_b + pitch)), zero), wx_b);
        // Row sums (at most 255 x 256) of both pixels: lanes 0-3 pixel a, 4-7 pixel b.
        const __m128i top = _mm_add_epi16(_mm_unpacklo_epi64(top_a, top_b), _mm_unpackhi_epi64(top_a, top_b));
        const __m128i bottom =
            _mm_add_epi16(_mm_unpacklo_epi64(bottom_a, bottom_b), _mm_unpackhi_epi64(bottom_a, bottom_b));
        const __m128i wy_top = spread((256 - fy_a) | (256 - fy_b) << 16);
        const __m128i wy_bottom = spread(fy_a | fy_b << 16);
        const __m128i top_lo = _mm_mullo_epi16(top, wy_top);
        const __m128i top_hi = _mm_mulhi_epu16(top, wy_top);
        const __m128i bottom_lo = _mm_mullo_epi16(bottom, wy_bottom);
        const __m128i bottom_hi = _mm_mulhi_epu16(bottom, wy_bottom);
        const __m128i sum_a = _mm_add_epi32(
            _mm_add_epi32(_mm_unpacklo_epi16(top_lo, top_hi), _mm_unpacklo_epi16(bottom_lo, bottom_hi)),
            half);
        const __m128i sum_b = _mm_add_epi32(
            _mm_add_epi32(_mm_unpackhi_epi16(top_lo, top_hi), _mm_unpackhi_epi16(bottom_lo, bottom_hi)),
            half);
        const __m128i words = _mm_packs_epi32(_mm_srli_epi32(sum_a, 16), _mm_srli_epi32(sum_b, 16));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(words, words));
        tx = tx_b + step_x;
        ty = ty_b + step_y;
    }
#endif
    for (; i < count; ++i, tx += step_x, ty += step_y) {
        const uint32_t fx = static_cast<uint32_t>((tx >> 8) & 0xFF);
        const uint32_t fy = static_cast<uint32_t>((ty >> 8) & 0xFF);
        const uint8_t* t00 = texels(tx, ty);
        const uint8_t* t01 = t00 + pitch;
        uint8_t texel[4];
        for (int c = 0; c < 4; ++c) {
            const uint32_t top = t00[c] * (256 - fx) + t00[c + 4] * fx;
            const uint32_t bottom = t01[c] * (256 - fx) + t01[c + 4] * fx;
            texel[c] = static_cast<uint8_t>((top * (256 - fy) + bottom * fy + 32768) >> 16);
        }
        std::memcpy(out + i, texel, 4);
    }
}

#if defined(__x86_64__)

namespace {

// (top x (256 - f) + bottom x f + 32768) >> 16 in 32-bit lanes, top and bottom at most 65,280.
[[gnu::target("avx2")]] inline __m256i Mix32(__m256i top, __m256i bottom, __m256i f)
{
    const __m256i sum =
        _mm256_add_epi32(_mm256_slli_epi32(top, 8), _mm256_mullo_epi32(_mm256_sub_epi32(bottom, top), f));
    return _mm256_srli_epi32(_mm256_add_epi32(sum, _mm256_set1_epi32(32768)), 16);
}

// Two pixels' texel pairs of one row, (t0, t1) each, weighted across x: t0 x (256 - f) + t1 x f per
// channel, as 32-bit lanes, pixel a's four channels then pixel b's.
[[gnu::target("avx2")]] inline __m256i RowPair(const uint8_t* a, const uint8_t* b, __m256i weights)
{
    // Each channel of t0 next to the same channel of t1, widened to 16 bits, for the multiply-add.
    const __m256i widen = _mm256_setr_epi8(0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1, 0, -1, 4,
                                           -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1);
    const __m256i texels =
        _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a))),
                                _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b)), 1);
    return _mm256_madd_epi16(_mm256_shuffle_epi8(texels, widen), weights);
}

// Pixels a and b of a step: their texel pairs weighted across x by their lanes of wx, then mixed
// across y by their lanes of fy; `pick` names the two lanes.
[[gnu::target("avx2")]] inline __m256i MixPair(const uint8_t* bits, size_t pitch, int32_t a, int32_t b,
                                               __m256i wx, __m256i fy, __m256i pick)
{
    const __m256i weights = _mm256_permutevar8x32_epi32(wx, pick);
    return Mix32(RowPair(bits + a, bits + b, weights), RowPair(bits + a + pitch, bits + b + pitch, weights),
                 _mm256_permutevar8x32_epi32(fy, pick));
}

// Eight pixels at a time: coordinates and weights in 32-bit lanes (the caller checks that every
// position and texel offset of the run fits), then two pixels per step through RowPair and Mix32.
[[gnu::target("avx2")]] int SampleEight(uint32_t* out, int count, const uint8_t* bits, size_t pitch,
                                        int64_t tx, int64_t ty, int64_t step_x, int64_t step_y)
{
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i x = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(tx)),
                                 _mm256_mullo_epi32(lanes, _mm256_set1_epi32(static_cast<int32_t>(step_x))));
    __m256i y = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(ty)),
                                 _mm256_mullo_epi32(lanes, _mm256_set1_epi32(static_cast<int32_t>(step_y))));
    const __m256i advance_x = _mm256_set1_epi32(static_cast<int32_t>(step_x * 8));
    const __m256i advance_y = _mm256_set1_epi32(static_cast<int32_t>(step_y * 8));
    const __m256i row_bytes = _mm256_set1_epi32(static_cast<int32_t>(pitch));
    const __m256i byte_mask = _mm256_set1_epi32(0xFF);
    const __m256i full = _mm256_set1_epi32(256);
    // Lane pairs (0, 1), (2, 3), (4, 5), (6, 7), each lane repeated over a pixel's four channels.
    const __m256i pick0 = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
    const __m256i pick1 = _mm256_setr_epi32(2, 2, 2, 2, 3, 3, 3, 3);
    const __m256i pick2 = _mm256_setr_epi32(4, 4, 4, 4, 5, 5, 5, 5);
    const __m256i pick3 = _mm256_setr_epi32(6, 6, 6, 6, 7, 7, 7, 7);
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    alignas(32) int32_t offsets[8];
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i fx = _mm256_and_si256(_mm256_srli_epi32(x, 8), byte_mask);
        const __m256i fy = _mm256_and_si256(_mm256_srli_epi32(y, 8), byte_mask);
        // (256 - fx, fx) as the two 16-bit halves of each lane.
        const __m256i wx = _mm256_or_si256(_mm256_sub_epi32(full, fx), _mm256_slli_epi32(fx, 16));
        _mm256_store_si256(reinterpret_cast<__m256i*>(offsets),
                           _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srli_epi32(y, 16), row_bytes),
                                            _mm256_slli_epi32(_mm256_srli_epi32(x, 16), 2)));
        // The four pairs written out, so that their results stay in registers.
        const __m256i mixed0 = MixPair(bits, pitch, offsets[0], offsets[1], wx, fy, pick0);
        const __m256i mixed1 = MixPair(bits, pitch, offsets[2], offsets[3], wx, fy, pick1);
        const __m256i mixed2 = MixPair(bits, pitch, offsets[4], offsets[5], wx, fy, pick2);
        const __m256i mixed3 = MixPair(bits, pitch, offsets[6], offsets[7], wx, fy, pick3);
        // Packing works within 128-bit halves: pixels come out 0 2 4 6 1 3 5 7.
        const __m256i words =
            _mm256_packus_epi16(_mm256_packus_epi32(mixed0, mixed1), _mm256_packus_epi32(mixed2, mixed3));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_permutevar8x32_epi32(words, order));
        x = _mm256_add_epi32(x, advance_x);
        y = _mm256_add_epi32(y, advance_y);
    }
    return i;
}

bool HasAvx2()
{
    static const bool s_has_avx2 = __builtin_cpu_supports("avx2");
    return s_has_avx2;
}

// Whether every position of the run and every texel offset it reads fits the kernel's 32-bit lanes;
// positions are linear in k, so the run's two ends bound them.
bool FitsEightWide(int count, size_t pitch, int64_t tx, int64_t ty, int64_t step_x, int64_t step_y)
{
    constexpr int64_t LIMIT = int64_t{1} << 31;
    for (const int64_t k : {int64_t{0}, int64_t{count - 1}}) {
        const int64_t x = tx + k * step_x;
        const int64_t y = ty + k * step_y;
        if (x < 0 || y < 0 || x >= LIMIT || y >= LIMIT)
            return false;
        if (((y >> 16) + 1) * static_cast<int64_t>(pitch) + ((x >> 16) + 1) * 4 >= LIMIT)
            return false;
    }
    return true;
}

} // namespace

#endif

void SampleBilinearRun(uint32_t* out, int count, const uint8_t* bits, size_t pitch, int64_t tx, int64_t ty,
                       int64_t step_x, int64_t step_y)
{
#if defined(__x86_64__)
    if (count >= 8 && HasAvx2() && FitsEightWide(count, pitch, tx, ty, step_x, step_y)) {
        const int done = SampleEight(out, count, bits, pitch, tx, ty, step_x, step_y);
        out += done;
        count -= done;
        tx += done * step_x;
        ty += done * step_y;
    }
#endif
    SampleBilinearRunNarrow(out, count, bits, pitch, tx, ty, step_x, step_y);
}

} // namespace platform
