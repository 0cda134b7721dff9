#pragma once
// Bilinear samples of 32-bit texels along a run of pixels, the sprite batch's inner loop. Texel
// positions are 16.16 fixed point with texel centres at whole values; the weights are the eight-bit
// fractions, and each channel is (sum of texel x weight over the four texels + 32768) >> 16. The run
// must need no addressing: for every pixel both x0 and x0 + 1, y0 and y0 + 1 lie in the texture.

#include <cstddef>
#include <cstdint>

namespace platform {

// Pixel k samples at (tx + k step_x, ty + k step_y). Uses the widest kernel the processor has; all
// kernels give the same bits.
void SampleBilinearRun(uint32_t* out, int count, const uint8_t* bits, size_t pitch, int64_t tx, int64_t ty,
                       int64_t step_x, int64_t step_y);
// The kernel for processors without AVX2.
void SampleBilinearRunNarrow(uint32_t* out, int count, const uint8_t* bits, size_t pitch, int64_t tx,
                             int64_t ty, int64_t step_x, int64_t step_y);

} // namespace platform
