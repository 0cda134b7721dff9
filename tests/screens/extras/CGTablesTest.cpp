#include "screens/extras/CGTables.h"

#include <gtest/gtest.h>

#include "cgtablewrite/CGTableWriter.h"

namespace {

std::span<const uint8_t> Bytes(const std::string& text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

std::string Repeat(const std::string& line, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += line;
    return text;
}

TEST(CGTables, TheWritersPairLoadsWithItsGroupsAndRows)
{
    const tools::CGTableFiles files =
        tools::WriteCGTables({{0, 3, "cg_r01.akb"}, {0, 1, "cg_r02.akb"}, {2, 2, "cg_f01.akb"}},
                             {{0, "r01.akb", {}}, {1, "r01.akb", {"r01a.akb"}}, {2, "r01.akb", {"r01b.akb"}},
                              {3, "r02.akb", {}}, {4, "f01.akb", {"A", "B", "C", "D", "E", "F", "G"}}, {5, "f01.akb", {}}});
    std::string error;
    const std::optional<CGTables> tables = CGTables::Parse(Bytes(files.list), Bytes(files.compose), &error);
    ASSERT_TRUE(tables) << error;
    EXPECT_EQ(tables->GroupFirstRow(2), 2);
    EXPECT_EQ(tables->GroupRowCount(0), 2);
    EXPECT_EQ(tables->GroupRowCount(1), 0);
    EXPECT_EQ(tables->GroupOfRow(2), 2);
    const std::vector<CGRow> rows = tables->BuildRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2].FirstVariant, 4);
    EXPECT_EQ(rows[2].Variants, (std::vector<int32_t>{4, 5})) << "walked in table order from the first variant";
    EXPECT_EQ(rows[2].Composition->Overlays.size(), 7u);
    EXPECT_EQ(rows[3].FirstVariant, -1) << "the terminator";
    EXPECT_EQ(rows[3].Composition, nullptr);
}

// Each damage of either file is refused, with the tables empty.
TEST(CGTables, DamagedFilesAreRefused)
{
    const std::string compose = "0\ta.akb\n1\tb.akb\n2\tc.akb\n";
    const std::string list = "0\t0\t2\tcg_a.akb\n";
    const std::string long_name(260, 'n');
    struct Case
    {
        const char* what;
        std::string list, compose;
    } cases[] = {
        {"bad number", "0\tx\t1\tcg_a.akb\n", compose},
        {"bad number", "0\t0\t0\tcg_a.akb\n", compose},
        {"bad number", list, "1e\ta.akb\n"},
        {"group out of order", "1\t0\t1\tcg_a.akb\n0\t1\t1\tcg_b.akb\n", compose},
        {"group above 16", "17\t0\t1\tcg_a.akb\n", compose},
        {"more than 24 rows", Repeat("3\t0\t1\tcg_a.akb\n", 25), compose},
        {"variant id outside", list, compose + "928\td.akb\n"},
        {"variant id outside", list, "-1\td.akb\n" + compose},
        {"variant id twice", list, compose + "1\td.akb\n"},
        {"empty name", list, "0\ta.akb\t\tx.akb\n1\tb.akb\n"},
        {"empty name", "0\t0\t1\t\n", compose},
        {"name over 259 bytes", list, "0\t" + long_name + "\n1\tb.akb\n"},
        {"over seven overlays", list, "0\ta\t1\t2\t3\t4\t5\t6\t7\t8\n1\tb.akb\n"},
        {"no composition row", "0\t5\t1\tcg_a.akb\n", compose},
        {"walk past the end", "0\t1\t3\tcg_a.akb\n", compose},
        {"missing field", "0\t0\tcg_a.akb\n", compose},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(CGTables::Parse(Bytes(c.list), Bytes(c.compose), &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
    EXPECT_TRUE(CGTables::Parse(Bytes("# only a comment\n\n" + list), Bytes(compose)));
    EXPECT_THROW(tools::WriteCGTables({{0, 2, "cg_a.akb"}}, {{0, "a.akb", {}}}), std::invalid_argument)
        << "the writer refuses what the loader refuses";
}

TEST(CGTables, TwentyFourRowsOfAGroupLoad)
{
    std::vector<tools::CGRowSpec> rows(24, {16, 1, "cg_u.akb"});
    EXPECT_NO_THROW(tools::WriteCGTables(rows));
}

} // namespace
