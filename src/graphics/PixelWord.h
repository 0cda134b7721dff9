#pragma once
// A pixel's four bytes read and written as one word.
//
// Under GCC's ThreadSanitizer a word copied with memcpy is checked as a range of bytes, at many
// times the cost of a plain word access, and the pixel loops of a fade or a scaled copy pay it
// for every pixel of the screen at every step. Pixel rows of the 32-bit layers lie on word
// boundaries, so there the word is read in place, through a type that may alias the bytes.
// Elsewhere memcpy stays, which makes no claim on alignment.

#include <cstdint>
#include <cstring>

namespace graphics {

#if defined(__SANITIZE_THREAD__)
using AliasedPixelWord = uint32_t __attribute__((may_alias));

inline uint32_t LoadPixel(const uint8_t* p)
{
    return *reinterpret_cast<const AliasedPixelWord*>(p);
}

inline void StorePixel(uint8_t* p, uint32_t value)
{
    *reinterpret_cast<AliasedPixelWord*>(p) = value;
}
#else
inline uint32_t LoadPixel(const uint8_t* p)
{
    uint32_t value;
    std::memcpy(&value, p, 4);
    return value;
}

inline void StorePixel(uint8_t* p, uint32_t value)
{
    std::memcpy(p, &value, 4);
}
#endif

} // namespace graphics
