#include "foundation/WrappedTextLayout.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

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

// Fifty half cells to a line: an English help line breaks between words, the space at the line
// end is not carried over, and only a word longer than a line is cut.
TEST(WrappedTextLayoutTest, EnglishBreaksBetweenWords)
{
    const std::string words = "Walk to the station before the last train leaves, then take it home";
    const std::string long_word(60, 'x');
    for (const std::string& text : {words, "ab " + long_word}) {
        SCOPED_TRACE(text);
        int32_t last_row = 0;
        const Placed placed = LayOut(text.c_str(), last_row);
        std::vector<std::string> lines;
        for (const auto& [c, at] : placed) {
            const auto row = static_cast<size_t>((at.y - 20) / 40);
            lines.resize(std::max(lines.size(), row + 1));
            lines[row] += c;
            EXPECT_LE(at.x + 20, 90 + 1000) << c;
        }
        ASSERT_EQ(lines.size(), 2u);
        if (text == words) {
            EXPECT_EQ(lines[0], "Walk to the station before the last train leaves, ");
            EXPECT_EQ(lines[1], "then take it home");
        } else {
            EXPECT_EQ(lines[0], "ab " + long_word.substr(0, 47));
        }
    }
}

} // namespace
