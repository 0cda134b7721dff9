#include "screens/extras/StaticNameTables.h"

#include <gtest/gtest.h>

#include "castnames/CastNamesWriter.h"
#include "game/hints/CastNames.h"

namespace {

std::vector<CStringUTF8> DemoTable()
{
    const std::string file = tools::WriteCastNames(tools::DemoCastNames());
    const std::optional<CastNames> names =
        CastNames::Parse(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(file.data()), file.size()));
    return BuildMosaicTable(*names);
}

TEST(StaticNameTables, PageThumbnailNames)
{
    EXPECT_EQ(GetPageThumbnailName(0, 2), "cgmode_thmR02.akb");
    EXPECT_EQ(GetPageThumbnailName(16, 1), "cgmode_thmU01.akb");
    EXPECT_EQ(GetPageThumbnailName(15, 0), "cgmode_thmC00.akb");
    for (const auto& [group, page] : {std::pair{15, 1}, {15, 2}, {2, 2}, {17, 0}, {-1, 0}, {0, 3}})
        EXPECT_TRUE(GetPageThumbnailName(group, page).IsEmpty()) << group << ", " << page;
    int filled = 0;
    for (int32_t group = 0; group < 17; ++group)
        for (int32_t page = 0; page < 3; ++page)
            filled += GetPageThumbnailName(group, page).IsEmpty() ? 0 : 1;
    EXPECT_EQ(filled, 39);
}

TEST(StaticNameTables, MosaicTableAndLookup)
{
    const std::vector<CStringUTF8> table = DemoTable();
    ASSERT_EQ(table.size(), MOSAIC_STORY_COUNT + MOSAIC_EXTRA_COUNT);
    EXPECT_EQ(table.front(), "a08_1_moz.akb");
    EXPECT_EQ(table[25], "ex_b_nameb01a_1_moz.akb") << "the extras after the stems a to e";
    EXPECT_EQ(table.back(), "u07_moz.akb");
    struct Case
    {
        const char* picture;
        const char* found;
    } cases[] = {
        {"k11.akb", "k11_moz.akb"},
        {"K11.AKB", ""},
        {"event/k11.akb", "k11_moz.akb"},
        {"C:\\data\\ev\\k11.akb", "k11_moz.akb"},
        {"a\\b/r15a_3.akb", "r15a_3_moz.akb"},
        {"ex_q_nameq02_3.akb", "ex_q_nameq02_3_moz.akb"},
        {"k11", "k11_moz.akb"},
        {"k12.akb", ""},
        {"k11/", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindMosaicName(c.picture, table).GetStdString(), c.found) << c.picture;
    EXPECT_EQ(BuildMosaicTable(CastNames()).size(), MOSAIC_STORY_COUNT) << "no names, no extra entries";
}

} // namespace
