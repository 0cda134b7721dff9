#include <stdexcept>

#include <gtest/gtest.h>

#include "mapwrite/MapTableWriter.h"

using Bytes = std::vector<uint8_t>;

TEST(MapTableWriter, LaysOutPairsThenTexts)
{
    const tools::MapText texts[] = {{7, u"Hi"}, {-1, u"\u3042"}};
    const Bytes expected = {2,    0,    0,    0,          // count
                            7,    0,    0,    0,          // id 7
                            20,   0,    0,    0,          // at 4 + 2 x 8
                            0xFF, 0xFF, 0xFF, 0xFF,       // id -1
                            26,   0,    0,    0,          // at 20 + 2 x 3
                            'H',  0,    'i',  0,    0, 0, // "Hi" and its 0 unit
                            0x42, 0x30, 0,    0};         // U+3042
    EXPECT_EQ(tools::BuildMapTable(texts), expected);
}

TEST(MapTableWriter, ParsesAListing)
{
    const std::vector<tools::MapText> texts =
        tools::ParseMapListing("# system texts\n1 Quit\r\n\n2\t  two spaces\\nthen \xEF\xBE\xAF\n30 \n");
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].id, 1);
    EXPECT_EQ(texts[0].text, u"Quit");
    EXPECT_EQ(texts[1].id, 2);
    EXPECT_EQ(texts[1].text, u"  two spaces\\nthen \uFFAF"); // markup kept, the name mark from UTF-8
    EXPECT_EQ(texts[2].id, 30);
    EXPECT_EQ(texts[2].text, u"");
}

TEST(MapTableWriter, RefusesLinesWithoutIdAndText)
{
    for (const char* listing : {"Quit\n", "12\n", "12x text\n", "-\n"})
        EXPECT_THROW(tools::ParseMapListing(listing), std::invalid_argument) << listing;
}
