#include <gtest/gtest.h>

#include "screens/map/TownMapFixture.h"
#include "townmap/DemoTown.h"

namespace {

class CCpsMapDataThreadTest : public TownMapFixture
{};

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t size)
{
    bytes.resize(size);
    return bytes;
}

std::vector<uint8_t> WithHeader(std::vector<uint8_t> bytes, uint16_t width, uint16_t height)
{
    bytes[0] = static_cast<uint8_t>(width), bytes[1] = static_cast<uint8_t>(width >> 8);
    bytes[2] = static_cast<uint8_t>(height), bytes[3] = static_cast<uint8_t>(height >> 8);
    return bytes;
}

} // namespace

TEST_F(CCpsMapDataThreadTest, AWalkMapFillsTheColumnMajorGridAndResetsCameraAndCheck)
{
    m_map.CellAt(5, 5).SetBlock(7);
    m_map.Camera.CamX = 9;
    m_map.EventCheckPending = 1;
    m_map.files["walk.map"] = tools::BuildWalkMap({"#.8", ".#."});
    ASSERT_EQ(m_map.LoadWalkMap("walk.map"), 1u);
    const uint8_t blocks[2][3] = {{0x10, 0, 8}, {0, 0x10, 0}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(m_map.CellAt(x, y).Tile0(), y * 256 + x) << x << ", " << y;
            EXPECT_EQ(m_map.CellAt(x, y).Tile1(), 0x8000 + y * 256 + x) << x << ", " << y;
            EXPECT_EQ(m_map.BlockAt(x, y), blocks[y][x]) << x << ", " << y;
        }
    EXPECT_EQ(m_map.BlockAt(5, 5), 7) << "cells outside the map keep their contents";
    EXPECT_EQ(m_map.Camera.CamX, 0);
    EXPECT_EQ(m_map.Camera.MapWidth, 3);
    EXPECT_EQ(m_map.Camera.MapHeight, 2);
    EXPECT_EQ(m_map.EventCheckPending, 0);
    EXPECT_TRUE(m_map.WalkMapBuffer.empty());
}

TEST_F(CCpsMapDataThreadTest, DamagedOrMissingFilesAreRefusedAndLeaveNothing)
{
    const std::vector<uint8_t> sound = tools::BuildWalkMap(Free(4, 3));
    m_map.CellAt(0, 0).SetBlock(9);
    struct Case
    {
        const char* what;
        std::vector<uint8_t> bytes;
    } walk_maps[] = {
        {"256 columns", WithHeader(sound, 256, 1)},
        {"193 rows", WithHeader(sound, 1, 193)},
        {"one byte short", Cut(sound, sound.size() - 1)},
        {"no header", Cut(sound, 3)},
    };
    for (const Case& c : walk_maps) {
        m_map.files["bad.map"] = c.bytes;
        EXPECT_EQ(m_map.LoadWalkMap("bad.map"), 0u) << c.what;
        EXPECT_TRUE(m_map.WalkMapBuffer.empty()) << c.what;
        EXPECT_EQ(m_map.BlockAt(0, 0), 9) << c.what;
    }
    EXPECT_EQ(m_map.LoadWalkMap("missing.map"), 0u);
    EXPECT_EQ(m_map.LoadMovers("missing.bin"), 0u);
    EXPECT_EQ(m_map.MoverCount, 0u);
    EXPECT_EQ(m_map.LoadEventAreas("missing.dat", 2), 0u);
    m_map.files["tiny.bin"] = {1, 2, 3};
    EXPECT_EQ(m_map.LoadMovers("tiny.bin"), 0u);
    EXPECT_TRUE(m_map.MoveProgramData.Empty());
}

TEST_F(CCpsMapDataThreadTest, MoversComeFromTheirRecordsFlagBytesAndFirstInstruction)
{
    tools::MoverBlockSpec spec;
    spec.movers = {{0x41, 0, 1, 2, 0, 0, 0, 0}, {0x01, 0, 1, 2, 0, 0, 0, 1}, {0x01, 0, 2, 2, 0, 0, 0, 1}};
    spec.programs = {{{2, 3}}, {{9, 15}, {5, 1}}};
    State().Flags[7091 + 3] = 7;
    State().Flags[7092 + 3] = 4;
    State().Flags[7093 + 3] = 0x31;
    m_map.files["movers.bin"] = tools::BuildMoverBlock(spec);
    ASSERT_EQ(m_map.LoadMovers("movers.bin"), 1u);
    EXPECT_EQ(m_map.MoverCount, 3u) << "(restart offset - 9) / 14";
    const MapMover second = Mover(1);
    EXPECT_EQ(second.X(), 7);
    EXPECT_EQ(second.Y(), 4);
    EXPECT_EQ(second.Facing(), 0x31);
    EXPECT_EQ(second.Opcode(), 9);
    EXPECT_EQ(second.Count(), 16) << "operand + 1";
    EXPECT_EQ(second.Pc(), tools::ProgramOffset(spec, 1) + 1) << "after the primed byte";
    EXPECT_EQ(Mover(0).Opcode(), 2);
    EXPECT_EQ(Mover(0).Count(), 4);

    // The count is capped by the records the block holds and by the list's size.
    std::vector<uint8_t> bytes = tools::BuildMoverBlock(spec);
    bytes[2] = 0xFF, bytes[3] = 0x7F; // restart table far past the block
    m_map.files["many.bin"] = bytes;
    ASSERT_EQ(m_map.LoadMovers("many.bin"), 1u);
    EXPECT_LE(m_map.MoverCount, (bytes.size() - 8) / 14);
    EXPECT_LE(m_map.MoverCount, 64u);
    for (int tick = 0; tick < 20; ++tick)
        m_map.StepMovers(); // whatever the records hold, nothing leaves the block
    bytes = tools::BuildMoverBlock(spec);
    bytes[2] = 5, bytes[3] = 0; // below 9: no movers
    m_map.files["none.bin"] = bytes;
    ASSERT_EQ(m_map.LoadMovers("none.bin"), 1u);
    EXPECT_EQ(m_map.MoverCount, 0u);
}

TEST_F(CCpsMapDataThreadTest, AProgramOutsideTheBlockOrOnAZeroByteIdles)
{
    tools::MoverBlockSpec spec;
    spec.movers = {{0x01, 0, 1, 2, 3, 3, 0x10, 5}, {0x01, 0, 1, 2, 3, 3, 0x10, 1}};
    spec.programs = {{{3, 1}}, {}};
    Load(Free(8, 8), spec);
    EXPECT_EQ(Mover(0).Pc(), 0xFFFF) << "program 5 has no restart entry";
    // Program 1 is only its zero byte: restarting lands on zero again.
    Mover(1).SetCount(0);
    for (int tick = 0; tick < 3; ++tick) {
        EXPECT_EQ(m_map.RunMoveProgram(Mover(1)), 0) << tick;
        EXPECT_EQ(Mover(1).Count(), 0) << tick;
        EXPECT_EQ(m_map.RunMoveProgram(Mover(0)), 0) << tick;
    }
    EXPECT_EQ(Mover(0).Y(), 3);
    EXPECT_EQ(Mover(1).Y(), 3);
}

TEST_F(CCpsMapDataThreadTest, EventAreasByModeFacingAndFootprint)
{
    tools::MoverBlockSpec spec;
    spec.movers = {{0x41, 0, 1, 2, 4, 4, 0x30, 0}};
    spec.programs = {{{9, 0}}};
    Load(Free(12, 12), spec);
    struct Case
    {
        const char* what;
        std::vector<tools::EventAreaRecord> areas;
        bool end_record;
        uint8_t facing;
        uint32_t mode;
        std::vector<uint16_t> answers; // of three checks in a row
    } cases[] = {
        {"first record ends",
         {{0xFFFF, 0, 0, 11, 11, 15}, {7, 0, 0, 11, 11, 15}},
         true,
         0x30,
         1,
         {0xFFFF, 0xFFFF, 0xFFFF}},
        {"no end record", {{7, 4, 5, 4, 5, 15}}, false, 0x30, 1, {7, 7, 7}},
        {"mode 2 disarms without a match", {{7, 0, 0, 1, 1, 15}}, true, 0x30, 2, {0xFFFF, 0xFFFF, 0xFFFF}},
        {"mode 2 answers once", {{7, 4, 5, 4, 5, 15}}, true, 0x30, 2, {7, 0xFFFF, 0xFFFF}},
        {"mode 3 once while inside", {{7, 4, 5, 4, 5, 15}}, true, 0x30, 3, {7, 0xFFFF, 0xFFFF}},
        {"facing right allowed", {{7, 4, 5, 4, 5, 0x08}}, true, 0x30, 1, {7, 7, 7}},
        {"facing left not allowed", {{7, 4, 5, 4, 5, 0x08}}, true, 0x20, 1, {0xFFFF, 0xFFFF, 0xFFFF}},
        {"facing up by bit 0", {{7, 4, 5, 4, 5, 0x01}}, true, 0x00, 1, {7, 7, 7}},
        {"no directions", {{7, 4, 5, 4, 5, 0}}, true, 0x30, 1, {0xFFFF, 0xFFFF, 0xFFFF}},
        {"top row never triggers", {{7, 4, 4, 4, 4, 15}}, true, 0x30, 1, {0xFFFF, 0xFFFF, 0xFFFF}},
        {"first of two", {{8, 4, 5, 4, 5, 15}, {9, 0, 0, 11, 11, 15}}, true, 0x30, 1, {8, 8, 8}},
    };
    for (const Case& c : cases) {
        Mover(0).SetFacing(c.facing);
        m_map.files["areas.dat"] = tools::BuildEventAreaFile(c.areas, c.end_record);
        ASSERT_EQ(m_map.LoadEventAreas("areas.dat", c.mode), 1u);
        std::vector<uint16_t> answers;
        for (int i = 0; i < 3; ++i)
            answers.push_back(m_map.CheckEventAreas());
        EXPECT_EQ(answers, c.answers) << c.what;
    }
    m_map.files["areas.dat"] = tools::BuildEventAreaFile({{7, 4, 5, 4, 5, 15}});
    ASSERT_EQ(m_map.LoadEventAreas("areas.dat", 0), 1u);
    EXPECT_EQ(m_map.EventCheckPending, 0);
    EXPECT_EQ(m_map.CheckEventAreas(), 0xFFFF) << "mode 0 leaves the check disarmed";
}

TEST_F(CCpsMapDataThreadTest, ComposedMoversFillTheirViewCellsInOrder)
{
    const auto compose = [&](std::vector<tools::MoverRecord> movers) {
        tools::MoverBlockSpec spec;
        spec.movers = std::move(movers);
        spec.programs = {{{9, 0}}};
        spec.patterns = {11, 12, 0, 0};
        Load(Free(60, 30), spec);
        m_map.BuildViewCells();
        m_map.ComposeMovers();
    };
    const auto cell = [&](int c, int r) { return m_map.ViewCells[ViewIndex(c, r)]; };
    // Equal Y to the first record: the later mover goes behind; a third tile is dropped.
    compose({{0x01, 0, 1, 1, 2, 5, 0, 0}, {0x01, 0, 1, 1, 2, 5, 0, 0}, {0x01, 0, 1, 1, 2, 5, 0, 0}});
    EXPECT_EQ(cell(2, 5).MoverA, (0 << 10) | 11);
    EXPECT_EQ(cell(2, 5).MoverB, (1 << 10) | 11);
    EXPECT_EQ(cell(2, 5).Tile0, 5 * 256 + 2);
    // Lower than the first record: in front, the earlier tile behind.
    compose({{0x01, 0, 1, 2, 2, 5, 0, 0}, {0x01, 0, 1, 1, 2, 6, 0, 0}});
    EXPECT_EQ(cell(2, 6).MoverA, (1 << 10) | 11);
    EXPECT_EQ(cell(2, 6).MoverB, (0 << 10) | 12);
    // An overlay mover marks Tile1; inactive movers take no ordinal, stopped ones do.
    compose({{0xFF, 0, 1, 1, 9, 9, 0, 0}, {0x00, 0, 1, 1, 9, 9, 0, 0}, {0x05, 0, 1, 1, 6, 5, 0, 0}});
    EXPECT_EQ(cell(6, 5).Tile1, 0x8000 | (1 << 10) | 11);
    EXPECT_EQ(cell(6, 5).MoverA, 0xFFFF);
    // Columns 40 to 47 hold their own cells, not the next row's first ones.
    compose({{0x01, 0, 1, 1, 44, 5, 0, 0}});
    EXPECT_EQ(cell(44, 5).Tile0, 5 * 256 + 44);
    EXPECT_EQ(cell(44, 5).MoverA, (0 << 10) | 11);
    EXPECT_EQ(cell(4, 6).MoverA, 0xFFFF);
    EXPECT_EQ(cell(4, 6).Tile0, 6 * 256 + 4);
    // A pattern past the block's end is skipped.
    compose({{0x01, 200, 1, 1, 3, 3, 0, 0}});
    EXPECT_EQ(cell(3, 3).MoverA, 0xFFFF);
}

TEST_F(CCpsMapDataThreadTest, TheDemoTownLoadsWalksAndReachesItsEventArea)
{
    for (const tools::DemoTownFile& file : tools::DemoTownData())
        m_map.files[file.name] = file.bytes;
    ASSERT_EQ(m_map.LoadWalkMap("town.map"), 1u);
    for (uint32_t n : {7091u, 7092u, 7093u}) // the leader's place comes from the state
        State().Flags[n] = n == 7091u ? 8 : n == 7092u ? 10 : 0x00;
    ASSERT_EQ(m_map.LoadMovers("town.mvr"), 1u);
    ASSERT_EQ(m_map.LoadEventAreas("town.evt", 3), 1u);
    EXPECT_EQ(m_map.MoverCount, 2u); // the leader and one walker
    EXPECT_EQ(m_map.Camera.MapWidth, 60);
    // Held up arrow: the leader walks up from (8, 10) to the house's door area (8, 9)..(9, 9).
    m_keyboard.down = {200};
    uint16_t id = 0xFFFF;
    for (int tick = 0; tick < 3 && id == 0xFFFF; ++tick) {
        m_map.StepMovers();
        id = m_map.CheckEventAreas();
    }
    m_keyboard.down.clear();
    EXPECT_EQ(id, 1);
    EXPECT_EQ(m_map.CheckEventAreas(), 0xFFFF) << "reported once while inside";
}
