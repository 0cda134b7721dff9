#pragma once
// Red and blue trading places in 32-bit pixels: between the device's RGBA textures and targets
// and the BGRA ones (a BGRA swap chain, the window's A-R-G-B words, which are B, G, R, A bytes).

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

#if defined(__SSE2__)
// Four pixels at a time.
inline __m128i SwapRedBlue(__m128i words)
{
    const __m128i green_alpha = _mm_set1_epi32(static_cast<int>(0xFF00FF00u));
    // Red and blue are the two 16-bit halves of each word once green and alpha are masked off.
    const __m128i red_blue = _mm_andnot_si128(green_alpha, words);
    const __m128i swapped = _mm_shufflehi_epi16(_mm_shufflelo_epi16(red_blue, 0xB1), 0xB1);
    return _mm_or_si128(_mm_and_si128(words, green_alpha), swapped);
}
#endif

// `count` pixels copied with red and blue exchanged; `to` and `from` do not overlap.
inline void CopySwappingRedBlue(uint8_t* to, const uint8_t* from, size_t count)
{
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i * 4),
                         SwapRedBlue(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i * 4))));
#endif
    for (; i < count; ++i) {
        to[i * 4] = from[i * 4 + 2];
        to[i * 4 + 1] = from[i * 4 + 1];
        to[i * 4 + 2] = from[i * 4];
        to[i * 4 + 3] = from[i * 4 + 3];
    }
}

} // namespace platform
