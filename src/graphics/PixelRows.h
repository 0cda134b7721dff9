#pragma once
// Row kernels of the hottest pixel operations, vectorised where the machine allows. Each gives
// exactly what the per-pixel rule gives: floor(i x j / 255) is computed as ((i x j + 1) x 257) >> 16,
// which equals it for every product of two bytes.

#include <cstdint>

namespace graphics {

// Colour bytes = mix(as, s, d); destination alpha kept.
void BltAlphaRow(uint8_t* dst, const uint8_t* src, int32_t count);
// As BltAlphaRow, source pixels whose colour bytes equal the key's left out.
void BltAlphaKeyedRow(uint8_t* dst, const uint8_t* src, int32_t count, uint32_t key);
// As BltAlphaRow with as replaced by T[opacity][as]; opacity 1..254.
void BltAlphaOpacityRow(uint8_t* dst, const uint8_t* src, int32_t count, int32_t opacity);
// Colour bytes copied, destination alpha kept.
void CopyColourRow(uint8_t* dst, const uint8_t* src, int32_t count);
// Whole pixels copied with their alpha byte set to 0xFF.
void CopyOpaqueRow(uint8_t* dst, const uint8_t* src, int32_t count);
// Every pixel set to the colour.
void FillRow(uint8_t* dst, int32_t count, uint32_t colour);
// Every pixel's alpha byte set, colour bytes kept.
void SetAlphaRow(uint8_t* dst, int32_t count, uint8_t alpha);
// The length of the run of pixels from the start whose alpha byte is 0, in steps of eight.
int32_t ClearRunLength(const uint8_t* src, int32_t count);
// The same for pixels whose alpha byte is 0xFF.
int32_t OpaqueRunLength(const uint8_t* src, int32_t count);
// The exact length of the run of blank pixels (all four bytes 0) from the start of the row, and
// the one that ends the row.
int32_t BlankRunLength(const uint8_t* src, int32_t count);
int32_t BlankTailLength(const uint8_t* src, int32_t count);

} // namespace graphics
