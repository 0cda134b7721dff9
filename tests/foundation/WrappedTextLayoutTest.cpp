#include "foundation/WrappedTextLayout.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using Placed = std::vector<std::pair<std::string, POINT>>;

Placed LayOut(const char* text, int32_t& last_row)
{
    Placed placed;
    last_row = LayOutWrappedText(CStringUTF8(text), RECT{90, 20, 1102, 60}, 40, 20,
                                 [&](const CStringUTF8& c, int32_t x, int32_t y) {
                                     placed.emplace_back(c.GetText(), POINT{x, y});
                                 });
    return placed;
}

// The language tables carry a line break as the two characters backslash and n: it starts a new
// line and is not drawn, like a line feed.
TEST(WrappedTextLayoutTest, TheTablesLineBreakMarkupStartsANewLineUndrawn)
{
    for (const char* text : {"ab\\ncd", "ab\ncd"}) {
        SCOPED_TRACE(text);
        int32_t last_row = 0;
        const Placed placed = LayOut(text, last_row);
        ASSERT_EQ(placed.size(), 4u);
        EXPECT_EQ(placed[1].first, "b");
        EXPECT_EQ(placed[2].first, "c");
        EXPECT_EQ(placed[2].second.x, 90);
        EXPECT_EQ(placed[2].second.y, 60);
        EXPECT_EQ(last_row, 60);
    }
    // A backslash before anything else is a character of the text.
    int32_t last_row = 0;
    const Placed placed = LayOut("a\\b", last_row);
    ASSERT_EQ(placed.size(), 3u);
    EXPECT_EQ(placed[1].first, "\\");
    EXPECT_EQ(last_row, 20);
}

// Fifty half cells to a line: an English help line is laid out character by character, cut at
// the edge wherever that falls in a word.
TEST(WrappedTextLayoutTest, EnglishIsCutAtTheEdge)
{
    const std::string text = "Walk to the station before the last train leaves tonight";
    int32_t last_row = 0;
    const Placed placed = LayOut(text.c_str(), last_row);
    std::vector<std::string> lines;
    for (const auto& [c, at] : placed) {
        const auto row = static_cast<size_t>((at.y - 20) / 40);
        lines.resize(std::max(lines.size(), row + 1));
        lines[row] += c;
        EXPECT_LE(at.x + 20, 90 + 1000) << c;
    }
    EXPECT_THAT(lines, ::testing::ElementsAre(text.substr(0, 50), text.substr(50)));
    EXPECT_EQ(last_row, 60);
}

} // namespace
