// The window's picture drawn by regions: whatever part a changed frame redraws must come out as the
// whole picture drawn afresh, scaled or not.
#include "platform/user/FrameComposer.h"

#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "platform/user/RectApi.h"
#include "platform/user/WindowFrame.h"

namespace {

using namespace platform;

constexpr int TARGET_WIDTH = 96;
constexpr int TARGET_HEIGHT = 64;
constexpr uint32_t BLACK = 0;

std::vector<uint32_t> ComposeWhole(const WindowFrame& frame, const RECT& destination)
{
    std::vector<uint32_t> pixels(TARGET_WIDTH * TARGET_HEIGHT, 0xDEADBEEFu);
    ComposeFrame({pixels.data(), TARGET_WIDTH, TARGET_WIDTH, TARGET_HEIGHT, BLACK}, &frame, destination,
                 RECT{0, 0, TARGET_WIDTH, TARGET_HEIGHT});
    return pixels;
}

TEST(FrameComposer, ARegionRedrawnForAChangeMatchesTheWholeDrawnAfresh)
{
    std::mt19937 random(61);
    // Unscaled and offset, halved, a third smaller, enlarged past the target, and stretched.
    const RECT destinations[] = {
        {7, 5, 7 + 37, 5 + 23}, {3, 2, 3 + 18, 2 + 11}, {0, 4, 25, 4 + 15}, {-9, -6, 89, 60}, {1, 1, 95, 63}};
    for (const RECT& destination : destinations) {
        WindowFrame frame;
        frame.width = 37;
        frame.height = 23;
        frame.pixels.resize(frame.width * frame.height);
        for (uint32_t& pixel : frame.pixels)
            pixel = random();
        std::vector<uint32_t> shown = ComposeWhole(frame, destination);
        for (int change = 0; change < 40; ++change) {
            const LONG left = static_cast<LONG>(random() % frame.width);
            const LONG top = static_cast<LONG>(random() % frame.height);
            // Single texels at the edges too: they reach the pixels that clamp to them.
            const RECT changed{left, top, left + 1 + static_cast<LONG>(random() % 4),
                               top + 1 + static_cast<LONG>(random() % 3)};
            for (LONG y = changed.top; y < std::min<LONG>(changed.bottom, frame.height); ++y)
                for (LONG x = changed.left; x < std::min<LONG>(changed.right, frame.width); ++x)
                    frame.pixels[y * frame.width + x] = random();
            ComposeFrame({shown.data(), TARGET_WIDTH, TARGET_WIDTH, TARGET_HEIGHT, BLACK}, &frame,
                         destination, ShownChange(changed, frame.width, frame.height, destination));
            ASSERT_EQ(shown, ComposeWhole(frame, destination))
                << "destination " << destination.left << "," << destination.top << " change " << change;
        }
        const RECT outside{frame.width, 0, frame.width + 5, 5};
        const RECT none = ShownChange(outside, frame.width, frame.height, destination);
        EXPECT_TRUE(IsRectEmpty(&none)) << "a change beside the frame shows nothing";
    }
}

TEST(FrameComposer, DrawsTheFrameInItsPlaceAndBlackAround)
{
    WindowFrame flat;
    flat.width = 40;
    flat.height = 30;
    flat.pixels.assign(flat.width * flat.height, 0xFF336699u);
    // Scaled down, up and unevenly, a flat frame stays flat to its edges.
    for (const RECT& destination : {RECT{10, 8, 30, 23}, RECT{2, 3, 93, 61}, RECT{0, 0, 27, 64}}) {
        const std::vector<uint32_t> shown = ComposeWhole(flat, destination);
        for (int y = 0; y < TARGET_HEIGHT; ++y)
            for (int x = 0; x < TARGET_WIDTH; ++x) {
                const bool inside = x >= destination.left && x < destination.right && y >= destination.top &&
                                    y < destination.bottom;
                ASSERT_EQ(shown[y * TARGET_WIDTH + x], inside ? 0xFF336699u : BLACK) << x << "," << y;
            }
    }

    // Unscaled, every pixel is the frame's own; without a frame the window is black.
    WindowFrame varied = flat;
    for (size_t i = 0; i < varied.pixels.size(); ++i)
        varied.pixels[i] = static_cast<uint32_t>(i * 2654435761u);
    const std::vector<uint32_t> copied = ComposeWhole(varied, RECT{50, 30, 90, 60});
    for (int y = 0; y < varied.height; ++y)
        for (int x = 0; x < varied.width; ++x)
            ASSERT_EQ(copied[(30 + y) * TARGET_WIDTH + 50 + x], varied.pixels[y * varied.width + x]);
    std::vector<uint32_t> empty(TARGET_WIDTH * TARGET_HEIGHT, 1);
    ComposeFrame({empty.data(), TARGET_WIDTH, TARGET_WIDTH, TARGET_HEIGHT, BLACK}, nullptr, RECT{},
                 RECT{0, 0, TARGET_WIDTH, TARGET_HEIGHT});
    EXPECT_EQ(empty, std::vector<uint32_t>(TARGET_WIDTH * TARGET_HEIGHT, BLACK));
}

} // namespace
