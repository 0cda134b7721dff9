#include "screens/base/CHitAreaTable.h"

#include <gtest/gtest.h>

#include <limits>

#include "areawriter/AreaWriter.h"
#include "screens/ScreenFixture.h"

namespace {

CHitAreaTable Parsed(const std::vector<tools::AreaRecord>& records)
{
    const std::vector<uint8_t> file = tools::BuildAreaFile(records);
    CHitAreaTable table;
    EXPECT_TRUE(table.Parse(file.data(), file.size()));
    return table;
}

int32_t IdAt(const CHitAreaTable& table, int32_t x, int32_t y)
{
    const HitArea* area = table.HitTest(x, y);
    return area ? static_cast<int32_t>(area->Id) : -1;
}

} // namespace

TEST(CHitAreaTable, HitTestKeepsFileOrderAndTheHalfOpenRule)
{
    // Two overlapping records, an empty one and one turned inside out.
    const CHitAreaTable table =
        Parsed({{7, 10, 20, 30, 40}, {8, 25, 35, 50, 60}, {9, 0, 0, 0, 0}, {10, 5, 5, 1, 9}});
    struct Case
    {
        int32_t x, y, id;
    } cases[] = {
        {10, 20, 7},  // left and top edges inside
        {29, 39, 7},  // last pixel inside
        {30, 37, 8},  // x on the first's right edge: outside it, inside the second
        {27, 37, 7},  // in the overlap the earlier record wins
        {49, 59, 8},  //
        {50, 40, -1}, // right edge of the second
        {40, 60, -1}, // bottom edge
        {0, 0, -1},   // an empty record holds nothing
        {3, 6, -1},   // nor does one with right before left
    };
    for (const Case& c : cases)
        EXPECT_EQ(IdAt(table, c.x, c.y), c.id) << c.x << "," << c.y;
    EXPECT_EQ(IdAt(Parsed({}), 0, 0), -1) << "count 0: an empty table";
}

TEST(CHitAreaTable, DamagedFilesAreRefusedAndTheRecordsKept)
{
    CHitAreaTable table = Parsed({{1, 0, 0, 10, 10}});
    const std::vector<uint8_t> two = tools::BuildAreaFile({{2, 0, 0, 5, 5}, {3, 5, 5, 9, 9}});
    const std::vector<uint8_t> damaged[] = {
        std::vector<uint8_t>(two.begin(), two.end() - 1), // cut inside a record
        tools::BuildAreaFile({{2, 0, 0, 5, 5}}, 3),       // count past the records
        tools::BuildAreaFile({{2, 0, 0, 5, 5}}, std::numeric_limits<uint32_t>::max()), // must not allocate
        tools::BuildAreaFile({{2, 0, 0, 5, 5}}, 214748365), // past what a file can hold
        {1, 0},                                             // no whole count
    };
    for (const auto& file : damaged) {
        EXPECT_FALSE(table.Parse(file.data(), file.size()));
        ASSERT_EQ(table.Records().size(), 1u);
        EXPECT_EQ(table.Records()[0].Id, 1u);
    }
    // Bytes after the last record are left alone; a second file replaces the first.
    std::vector<uint8_t> longer = two;
    longer.push_back(0xAB);
    EXPECT_TRUE(table.Parse(longer.data(), longer.size()));
    EXPECT_EQ(IdAt(table, 0, 0), 2);
    EXPECT_EQ(IdAt(table, 6, 6), 3);
}

TEST(AreaWriter, TextRecordsAndErrors)
{
    std::vector<tools::AreaRecord> records;
    int line = 0;
    ASSERT_TRUE(tools::ParseAreaText("# yes\n0x100 1 2 3 4\n\n-1 -5 0 0 0\n", records, line));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].id, 0x100u);
    EXPECT_EQ(records[1].id, 0xFFFFFFFFu);
    EXPECT_EQ(records[1].left, -5);
    EXPECT_FALSE(tools::ParseAreaText("1 2 3 4 5\n1 2 3\n", records, line));
    EXPECT_EQ(line, 2);
    EXPECT_FALSE(tools::ParseAreaText("1 2 3 4 5 6\n", records, line));
}

class CHitAreaTableLoadThreadTest : public ScreenFixture
{
protected:
    CHitAreaTableLoadThreadTest()
        : ScreenFixture({{"ONE.AREA",
                          tools::BuildAreaFile({{4, 0, 0, 1, 1}, {5, -3, 0, 0, 0}, {4, 100, 100, 200, 200}})},
                         {"TWO.AREA", tools::BuildAreaFile({{6, 10, 10, 20, 20}})},
                         {"BAD.AREA", tools::BuildAreaFile({{6, 10, 10, 20, 20}}, 1000000)}})
    {}
};

TEST_F(CHitAreaTableLoadThreadTest, LoadReplacesAndReportsDamagedOrMissingFiles)
{
    CHitAreaTable table;
    ASSERT_TRUE(table.Load("one.area"));
    EXPECT_EQ(table.Records().size(), 3u);
    ASSERT_TRUE(table.Load("two.area"));
    EXPECT_EQ(IdAt(table, 15, 15), 6);
    EXPECT_EQ(table.Records().size(), 1u);
    EXPECT_TRUE(m_messages.empty());

    EXPECT_FALSE(table.Load("bad.area"));
    EXPECT_FALSE(table.Load("none.area"));
    EXPECT_EQ(m_messages.size(), 2u);
    EXPECT_EQ(IdAt(table, 15, 15), 6) << "the records of the last good file stay";
}

TEST_F(CHitAreaTableLoadThreadTest, TheCursorGoesToTheCentreOfTheFirstRecordWithTheId)
{
    CHitAreaTable table;
    ASSERT_TRUE(table.Load("one.area"));
    PointAt(77, 88);
    table.MoveCursorToArea(4); // the first of two: (0, 0)-(1, 1) has centre (0, 0)
    table.MoveCursorToArea(5); // (-3, 0)-(0, 0): centre x -1, rounding toward zero
    table.MoveCursorToArea(9); // no such id: nothing moves
    ASSERT_EQ(m_mouse.warps.size(), 2u);
    EXPECT_EQ(m_mouse.warps[0].x, 0);
    EXPECT_EQ(m_mouse.warps[0].y, 0);
    // Centre -1 becomes window pixel trunc(-1 + 0.5) = 0; a centre rounded down (-2) would give -1.
    EXPECT_EQ(m_mouse.warps[1].x, 0);
    EXPECT_EQ(m_mouse.warps[1].y, 0);
}
