#include "platform/d3d/BilinearRun.h"

#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

using namespace platform;

namespace {

// The sampler's equation, texel by texel: the four texels around the position weighted by the
// products of their eight-bit fractions.
uint32_t Expected(const std::vector<uint8_t>& bits, size_t pitch, int64_t tx, int64_t ty)
{
    const uint32_t fx = static_cast<uint32_t>((tx >> 8) & 0xFF);
    const uint32_t fy = static_cast<uint32_t>((ty >> 8) & 0xFF);
    const uint8_t* t00 =
        bits.data() + static_cast<size_t>(ty >> 16) * pitch + static_cast<size_t>(tx >> 16) * 4;
    const uint8_t* t10 = t00 + 4;
    const uint8_t* t01 = t00 + pitch;
    const uint8_t* t11 = t01 + 4;
    uint32_t pixel = 0;
    for (int c = 0; c < 4; ++c) {
        const uint32_t sum = t00[c] * (256 - fx) * (256 - fy) + t10[c] * fx * (256 - fy) +
                             t01[c] * (256 - fx) * fy + t11[c] * fx * fy + 32768;
        pixel |= (sum >> 16) << (8 * c);
    }
    return pixel;
}

} // namespace

// Runs of every length, turned, zoomed and shrunk, forwards and backwards, up to the texture's last
// row and column: both kernels give the equation's bits for every pixel.
TEST(BilinearRunTest, EveryKernelGivesTheSamplersEquationAlongAnyRun)
{
    constexpr int WIDTH = 97;
    constexpr int HEIGHT = 61;
    constexpr size_t PITCH = WIDTH * 4 + 12;
    std::mt19937 random(7);
    std::vector<uint8_t> bits(PITCH * HEIGHT);
    for (uint8_t& byte : bits)
        byte = static_cast<uint8_t>(random());
    // Extremes where a wrong rounding or lane order would show.
    std::memset(bits.data(), 255, PITCH);
    std::memset(bits.data() + PITCH * (HEIGHT - 1), 0, PITCH);

    std::uniform_int_distribution<int64_t> x_at(0, (int64_t{WIDTH - 1} << 16) - 1);
    std::uniform_int_distribution<int64_t> y_at(0, (int64_t{HEIGHT - 1} << 16) - 1);
    std::vector<uint32_t> out(80);
    int runs = 0;
    for (int count = 1; count <= 70; ++count) {
        for (int trial = 0; trial < 40; ++trial, ++runs) {
            // Both ends inside, so every position between them is.
            int64_t x0 = x_at(random), y0 = y_at(random), x1 = x_at(random), y1 = y_at(random);
            if (trial == 0)
                x0 = x1 = (int64_t{WIDTH - 1} << 16) - 1, y1 = (int64_t{HEIGHT - 1} << 16) - 1;
            if (trial == 1)
                y1 = y0; // along a texel row
            const int64_t step_x = count > 1 ? (x1 - x0) / (count - 1) : 0;
            const int64_t step_y = count > 1 ? (y1 - y0) / (count - 1) : 0;
            for (auto kernel : {&SampleBilinearRun, &SampleBilinearRunNarrow}) {
                std::fill(out.begin(), out.end(), 0xDEADBEEFu);
                kernel(out.data(), count, bits.data(), PITCH, x0, y0, step_x, step_y);
                for (int k = 0; k < count; ++k)
                    ASSERT_EQ(out[k], Expected(bits, PITCH, x0 + k * step_x, y0 + k * step_y))
                        << "pixel " << k << " of " << count
                        << (kernel == &SampleBilinearRun ? " (widest)" : "");
                ASSERT_EQ(out[count], 0xDEADBEEFu) << "written past the run";
            }
        }
    }
    EXPECT_EQ(runs, 70 * 40);
}
