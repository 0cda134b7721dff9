#include "platform/res/CursorResource.h"

#include <gtest/gtest.h>

namespace {

bool Bit(const std::array<uint8_t, 128>& bits, int x, int y)
{
    const int index = y * platform::CURSOR_SIDE + x;
    return (bits[static_cast<size_t>(index / 8)] >> (7 - index % 8)) & 1;
}

// Both hands: 32 x 32, hot spot (10, 10), a drawn shape with a black outline and a white inside,
// nothing black outside the mask; the open hand reaches higher than the closed one.
TEST(CursorResource, TheTwoHandsAreMonochromeCursorsWithTheirHotSpot)
{
    int top_of[2] = {-1, -1};
    int index = 0;
    for (const uint16_t id : {platform::CURSOR_OPEN_HAND_ID, platform::CURSOR_CLOSED_HAND_ID}) {
        const std::optional<platform::CursorImage> image = platform::FindCursorResource(id);
        ASSERT_TRUE(image) << id;
        EXPECT_EQ(image->hot_x, 10);
        EXPECT_EQ(image->hot_y, 10);
        int black = 0;
        int white = 0;
        for (int y = 0; y < platform::CURSOR_SIDE; ++y)
            for (int x = 0; x < platform::CURSOR_SIDE; ++x) {
                const bool drawn = Bit(image->mask, x, y);
                EXPECT_TRUE(drawn || !Bit(image->colour, x, y)) << x << ", " << y;
                black += drawn && Bit(image->colour, x, y);
                white += drawn && !Bit(image->colour, x, y);
                if (drawn && top_of[index] == -1)
                    top_of[index] = y;
            }
        EXPECT_GT(black, 40) << id;
        EXPECT_GT(white, 100) << id;
        ++index;
    }
    EXPECT_LT(top_of[0], top_of[1]) << "the open hand's fingers stand higher";
    EXPECT_FALSE(platform::FindCursorResource(119));
}

} // namespace
