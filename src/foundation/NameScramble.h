#pragma once
// The one transform that hides entry names in archives (".arc") and in embedded FLAG images.
// Byte k of a name (counting from 0) is stored rotated left by 1 + k % 7 bits; reading rotates it
// back. A rotation keeps 0 as 0 and every other byte non-zero, so a stored name still ends at its
// first zero byte, and the transform needs no key. The archive and FLAG writers in tools/ and the
// readers in foundation/ all go through these functions.

#include <cstddef>
#include <cstdint>
#include <span>

constexpr uint8_t ScrambleNameByte(uint8_t plain, size_t index)
{
    const unsigned shift = 1 + static_cast<unsigned>(index % 7);
    return static_cast<uint8_t>((plain << shift) | (plain >> (8 - shift)));
}

constexpr uint8_t UnscrambleNameByte(uint8_t stored, size_t index)
{
    const unsigned shift = 1 + static_cast<unsigned>(index % 7);
    return static_cast<uint8_t>((stored >> shift) | (stored << (8 - shift)));
}

inline void ScrambleName(std::span<uint8_t> name)
{
    for (size_t k = 0; k < name.size(); ++k)
        name[k] = ScrambleNameByte(name[k], k);
}

inline void UnscrambleName(std::span<uint8_t> name)
{
    for (size_t k = 0; k < name.size(); ++k)
        name[k] = UnscrambleNameByte(name[k], k);
}
