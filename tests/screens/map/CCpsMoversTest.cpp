#include <array>
#include <set>

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/EffectClock.h"
#include "platform/kernel/VirtualClock.h"
#include "screens/map/CStatusPlate.h"
#include "screens/map/TownMapFixture.h"
#include "townmap/DemoTown.h"

namespace {

class CCpsMoversThreadTest : public TownMapFixture
{
protected:
    // One mover at (5, 10), 1 x 2, whose program starts by facing down (a tick that ignores how
    // the first instruction was primed), then runs the given instructions.
    void LoadProgram(tools::MoveProgram program, uint8_t state = 0x41, std::vector<std::string> rows = {})
    {
        tools::MoverBlockSpec spec;
        spec.movers = {{state, 0, 1, 2, 5, 10, 0x10, 0}};
        program.insert(program.begin(), {1, 2});
        spec.programs = {program};
        Load(rows.empty() ? Free(20, 20) : rows, spec);
    }
    // Ticks and notes the mover's X, Y and Count after each.
    std::vector<std::array<int, 3>> Ticks(int count)
    {
        std::vector<std::array<int, 3>> seen;
        for (int i = 0; i < count; ++i) {
            m_map.StepMovers();
            seen.push_back({Mover(0).X(), Mover(0).Y(), Mover(0).Count()});
        }
        return seen;
    }
};

using Seen = std::vector<std::array<int, 3>>;

} // namespace

TEST_F(CCpsMoversThreadTest, ProgramsRunTickByTick)
{
    struct Case
    {
        const char* what;
        tools::MoveProgram program;
        int ticks;
        Seen seen; // x, y, count after each tick
    } cases[] = {
        {"0x21 steps once", {{2, 1}}, 4, {{5, 10, 0}, {5, 9, 0}, {5, 9, 0}, {5, 8, 0}}},
        {"0x20 for ever", {{2, 0}}, 4, {{5, 10, 0}, {5, 9, 255}, {5, 8, 255}, {5, 7, 255}}},
        {"wait 15 lasts four ticks",
         {{9, 15}, {5, 1}},
         6,
         {{5, 10, 0}, {5, 10, 7}, {5, 10, 3}, {5, 10, 1}, {5, 10, 0}, {6, 10, 0}}},
        {"wait 0 one tick", {{9, 0}, {5, 1}}, 3, {{5, 10, 0}, {5, 10, 0}, {6, 10, 0}}},
        {"wait 1 one tick", {{9, 1}, {5, 1}}, 3, {{5, 10, 0}, {5, 10, 0}, {6, 10, 0}}},
        {"left twice", {{4, 2}}, 3, {{5, 10, 0}, {4, 10, 1}, {3, 10, 0}}},
    };
    for (const Case& c : cases) {
        LoadProgram(c.program);
        EXPECT_EQ(Ticks(c.ticks), c.seen) << c.what;
    }
}

TEST_F(CCpsMoversThreadTest, FacingAndTheTrail)
{
    LoadProgram({});
    MapMover mover = Mover(0);
    // Opcode 1 with 4 faces right with frame 0 and takes one tick.
    mover.SetOpcode(1), mover.SetCount(4), mover.SetFacing(0x07);
    m_map.RunMoveProgram(mover);
    EXPECT_EQ(mover.Facing(), 0x30);
    EXPECT_EQ(mover.Count(), 0);

    for (uint16_t i = 0; i < 32; ++i)
        m_map.TrailRing[i] = {i, static_cast<uint16_t>(100 + i), static_cast<uint8_t>(i)};
    m_map.TrailHead = 10;
    mover.SetOpcode(6), mover.SetCount(2);
    m_map.RunMoveProgram(mover);
    EXPECT_EQ(mover.X(), 5) << "(10 - 5) mod 32";
    m_map.RunMoveProgram(mover);
    EXPECT_EQ(mover.X(), 7) << "(10 - 3) mod 32";
    EXPECT_EQ(mover.Count(), 0);

    // Operand 0, fetched: the newest entry, then for ever the oldest, (head + 1) mod 32.
    LoadProgram({{6, 0}});
    for (uint16_t i = 0; i < 32; ++i)
        m_map.TrailRing[i] = {i, static_cast<uint16_t>(100 + i), static_cast<uint8_t>(i)};
    m_map.TrailHead = 0;
    m_map.StepMovers(); // the facing instruction
    m_map.StepMovers();
    EXPECT_EQ(Mover(0).X(), 31) << "the newest entry";
    EXPECT_EQ(Mover(0).Count(), 255);
    for (uint16_t head : {0, 5, 31}) {
        m_map.TrailHead = head;
        m_map.StepMovers();
        EXPECT_EQ(Mover(0).X(), (head + 1) % 32) << "the oldest entry, head " << head;
        EXPECT_EQ(Mover(0).Y(), 100 + (head + 1) % 32);
    }
}

TEST_F(CCpsMoversThreadTest, ABlockedStepKeepsItsCountAndReportsZero)
{
    LoadProgram({{2, 3}}, 0x51, {"....................", ".....#.............."});
    Mover(0).SetY(1);
    m_map.StepMovers(); // the facing instruction
    EXPECT_EQ(m_map.StepMovers(), 0);
    EXPECT_EQ(Mover(0).Count(), 3);
    EXPECT_EQ(Mover(0).Y(), 1);
    EXPECT_EQ(m_map.StepMovers(), 0);
    EXPECT_EQ(Mover(0).Count(), 3);
}

TEST_F(CCpsMoversThreadTest, MessagesOfNonMovesShowOnceAndOpcode7Ends)
{
    LoadProgram({{7, 2}, {10, 1}, {11, 1}, {5, 1}});
    for (int tick = 0; tick < 6; ++tick)
        m_map.StepMovers();
    EXPECT_EQ(Mover(0).X(), 6) << "opcode 7 ran its two ticks and the program went on";
    LoadProgram({{7, 2}});
    for (int tick = 0; tick < 3; ++tick)
        m_map.StepMovers();
    EXPECT_EQ(Mover(0).Count(), 0);
}

TEST_F(CCpsMoversThreadTest, EveryEdgeBlocks)
{
    struct Case
    {
        const char* what;
        uint16_t x, y;
        uint16_t (CCps::*step)(MapMover, int32_t);
        uint16_t result;
        uint16_t to_x, to_y;
    } cases[] = {
        {"up at row 0", 4, 0, &CCps::StepUp, 65535, 4, 0},
        {"up", 4, 3, &CCps::StepUp, 0, 4, 2},
        {"down at the bottom", 4, 6, &CCps::StepDown, 65535, 4, 6},
        {"down", 4, 5, &CCps::StepDown, 0, 4, 6},
        {"left at column 0", 0, 3, &CCps::StepLeft, 65535, 0, 3},
        {"right at the right edge", 9, 3, &CCps::StepRight, 65535, 9, 3},
        {"right", 8, 3, &CCps::StepRight, 0, 9, 3},
    };
    LoadProgram({}, 0x11, Free(10, 8));
    for (const Case& c : cases) {
        MapMover mover = Mover(0);
        mover.SetX(c.x), mover.SetY(c.y);
        EXPECT_EQ((m_map.*c.step)(mover, 1), c.result) << c.what;
        EXPECT_EQ(mover.X(), c.to_x) << c.what;
        EXPECT_EQ(mover.Y(), c.to_y) << c.what;
    }
}

TEST_F(CCpsMoversThreadTest, BlockedCornersSlideByTheirBits)
{
    // The mover stands at (4, 4), 1 x 2: its footprint is (4, 5). Up tests row 4, left tests (3, 5).
    struct Case
    {
        const char* what;
        std::vector<std::string> rows;
        bool up; // else left
        uint8_t diagonal;
        uint16_t result;
        uint16_t to_x, to_y;
    } cases[] = {
        {"0x08, right free",
         {"........", "........", "........", "........", "....8...", "...#....", "........"},
         true,
         0,
         0,
         5,
         4},
        {"0x08, both occupied",
         {"........", "........", "........", "........", "....8...", "...#.#..", "........"},
         true,
         0,
         65535,
         4,
         4},
        {"0x08, right occupied",
         {"........", "........", "........", "........", "....8...", ".....#..", "........"},
         true,
         0,
         0,
         3,
         4},
        {"0x04, left occupied",
         {"........", "........", "........", "........", "....4...", "...#....", "........"},
         true,
         0,
         0,
         5,
         4},
        {"0x04, left free",
         {"........", "........", "........", "........", "....4...", "........", "........"},
         true,
         0,
         0,
         3,
         4},
        {"no bits",
         {"........", "........", "........", "........", "....#...", "........", "........"},
         true,
         0,
         65535,
         4,
         4},
        {"0x08 during a diagonal",
         {"........", "........", "........", "........", "....8...", "........", "........"},
         true,
         255,
         65535,
         4,
         4},
        {"0x02, below free",
         {"........", "........", "........", "........", "........", "...2....", "........"},
         false,
         0,
         0,
         4,
         5},
        {"0x02, both occupied",
         {"........", "........", "........", "........", "....#...", "...2....", "....#..."},
         false,
         0,
         65535,
         4,
         4},
        {"0x01, above occupied",
         {"........", "........", "........", "........", "....#...", "...1....", "........"},
         false,
         0,
         0,
         4,
         5},
        {"0x01, above free",
         {"........", "........", "........", "........", "........", "...1....", "........"},
         false,
         0,
         0,
         4,
         3},
    };
    for (const Case& c : cases) {
        LoadProgram({}, 0x11, c.rows);
        MapMover mover = Mover(0);
        mover.SetX(4), mover.SetY(4);
        m_map.DiagonalStep = c.diagonal;
        EXPECT_EQ(c.up ? m_map.StepUp(mover, 1) : m_map.StepLeft(mover, 1), c.result) << c.what;
        EXPECT_EQ(mover.X(), c.to_x) << c.what;
        EXPECT_EQ(mover.Y(), c.to_y) << c.what;
    }
}

TEST_F(CCpsMoversThreadTest, TheCameraFollowsWithinItsMarginsAndMirrorsToFlagBytes)
{
    struct Case
    {
        const char* what;
        uint16_t (CCps::*step)(MapMover, int32_t);
        uint16_t x, y;
        int32_t cam_x, cam_y;
        bool fast;
        uint16_t to_x, to_y;
        int32_t to_cam_x, to_cam_y;
    } cases[] = {
        {"right into the margin", &CCps::StepRight, 26, 5, 0, 0, false, 27, 5, 1, 0},
        {"right outside it", &CCps::StepRight, 20, 5, 0, 0, false, 21, 5, 0, 0},
        {"left into the margin", &CCps::StepLeft, 25, 5, 5, 0, false, 24, 5, 4, 0},
        {"up into the margin", &CCps::StepUp, 5, 17, 0, 5, false, 5, 16, 0, 4},
        {"down into the margin", &CCps::StepDown, 5, 13, 0, 0, false, 5, 14, 0, 1},
        {"fast right: two cells", &CCps::StepRight, 10, 5, 0, 0, true, 12, 5, 0, 0},
        {"fast up outside the zone: one", &CCps::StepUp, 5, 30, 0, 5, true, 5, 29, 0, 5},
        {"fast up inside the zone: two", &CCps::StepUp, 5, 17, 0, 5, true, 5, 15, 0, 3},
    };
    for (const Case& c : cases) {
        LoadProgram({}, 0x21, Free(100, 60));
        MapMover mover = Mover(0);
        mover.SetX(c.x), mover.SetY(c.y);
        m_map.Camera.CamX = c.cam_x, m_map.Camera.CamY = c.cam_y;
        State().Flags[7097] = static_cast<uint8_t>(c.cam_x);
        State().Flags[7098] = static_cast<uint8_t>(c.cam_y);
        m_map.FastStep = c.fast;
        EXPECT_EQ((m_map.*c.step)(mover, 1), 0) << c.what;
        EXPECT_EQ(mover.X(), c.to_x) << c.what;
        EXPECT_EQ(mover.Y(), c.to_y) << c.what;
        EXPECT_EQ(m_map.Camera.CamX, c.to_cam_x) << c.what;
        EXPECT_EQ(m_map.Camera.CamY, c.to_cam_y) << c.what;
        EXPECT_EQ(State().Flags[7097], c.to_cam_x) << c.what;
        EXPECT_EQ(State().Flags[7098], c.to_cam_y) << c.what;
    }
}

TEST_F(CCpsMoversThreadTest, ABlockedPathStepEndsTheWalkAndRestores)
{
    tools::MoverBlockSpec spec;
    spec.movers = {{0x51, 0, 1, 2, 5, 2, 0, 0}, {0x00, 0, 1, 2, 9, 9, 0, 0}};
    spec.programs = {{{13, 0}}};
    std::vector<std::string> rows = Free(20, 12);
    rows[2][5] = '#';
    Load(rows, spec);
    m_map.DirectionGrid[3 * 255 + 5] = 1; // up from the foot cell (5, 3) into the wall
    m_map.WalkEndRestore = {1, Mover(1).Bytes(), 0x03, 14, 0};
    m_map.EventCheckMode = 1;
    m_map.EventCheckPending = 0;
    Mover(0).SetState(0x51);
    EXPECT_EQ(m_map.RunMoveProgram(Mover(0)), 0) << "the tail does not run";
    EXPECT_EQ(Mover(1).State(), 0x03);
    EXPECT_EQ(Mover(1).Opcode(), 14);
    EXPECT_EQ(m_map.WalkEndRestore.Armed, 0);
    EXPECT_EQ(m_map.EventCheckPending, 1);

    // A free path step moves, writes the direction value and grows the trail.
    m_map.DirectionGrid[3 * 255 + 5] = 4;
    const uint16_t head = m_map.TrailHead;
    EXPECT_EQ(m_map.StepAlongPath(Mover(0)), 0);
    EXPECT_EQ(Mover(0).X(), 6);
    EXPECT_EQ(State().Values[3].Integer, 3);
    EXPECT_EQ(m_map.TrailHead, (head + 1) % 32);
}

TEST_F(CCpsMoversThreadTest, SteeringByKeysMouseAndCancel)
{
    LoadProgram({}, 0x41, Free(48, 27));
    MapMover mover = Mover(0);
    mover.SetX(10), mover.SetY(10); // the figure's rectangle (400, 400)-(440, 480)
    struct Case
    {
        const char* what;
        std::set<uint32_t> keys;
        int32_t left, right, hold;
        POINT at;
        bool plate;
        uint16_t bits;
    } cases[] = {
        {"arrow up", {200}, 0, 0, 0, {0, 0}, false, 1},
        {"numeric 4 and 2", {75, 80}, 0, 0, 0, {0, 0}, false, 10},
        {"right arrow and numeric 8", {205, 72}, 0, 0, 0, {0, 0}, false, 5},
        {"mouse above", {}, 1, 0, 0, {420, 300}, false, 1},
        {"mouse below and left", {}, 1, 0, 0, {100, 600}, false, 10},
        {"mouse right", {}, 1, 0, 0, {900, 440}, false, 4},
        {"mouse on the figure", {}, 1, 0, 0, {420, 440}, false, 0},
        {"mouse replaces the keys", {200}, 1, 0, 0, {900, 440}, false, 4},
        {"mouse on the plate's button", {}, 1, 0, 0, {700, 40}, true, 0},
        {"the button's rectangle only while the plate shows", {}, 1, 0, 0, {700, 40}, false, 5},
        {"right button without bits", {}, 0, 1, 0, {0, 0}, false, 254},
        {"right button with bits", {208}, 0, 1, 0, {0, 0}, false, 8},
        {"escape", {1}, 0, 0, 0, {0, 0}, false, 254},
        {"delete", {211}, 0, 0, 0, {0, 0}, false, 254},
        {"touch hold", {}, 0, 0, 1, {0, 0}, false, 254},
        {"nothing", {}, 0, 0, 0, {0, 0}, false, 0},
    };
    CSprite* calendar = GetGameWork()->GetStatusPlate()->GetCalendarSprite();
    ASSERT_NE(calendar, nullptr);
    State().Flags[8003] = 1;
    for (const Case& c : cases) {
        m_keyboard.down = c.keys;
        m_mouse.left_down = c.left;
        m_mouse.right_down = c.right;
        m_mouse.long_press = c.hold;
        PointAt(c.at.x, c.at.y);
        calendar->SetVisibleFlag(c.plate ? 1 : 0);
        EXPECT_EQ(m_map.ReadSteering(mover), c.bits) << c.what;
    }
    m_keyboard.down.clear();
    m_mouse.left_down = m_mouse.right_down = m_mouse.long_press = 0;
    calendar->SetVisibleFlag(0);
}

TEST_F(CCpsMoversThreadTest, TheStepWaitMeasuresElapsedTimeAcrossTheClocksWrap)
{
    OnPump(nullptr);
    // A stamp just before the 32-bit clock wrapped, read after it: long past, no wait.
    m_map.LastStepTime = GetEffectTime() + 0x80000000u;
    m_map.WaitForNextStep();
    EXPECT_LE(Pumps(), 1);
    // A fresh stamp waits its interval (33 ms at the normal speed, 16 ms a pump).
    m_map.LastStepTime = GetEffectTime();
    const int before = Pumps();
    m_map.WaitForNextStep();
    EXPECT_GE(Pumps() - before, 2);
    EXPECT_GE(GetEffectTime() - m_map.LastStepTime, 33u);
}

TEST_F(CCpsMoversThreadTest, OpcodeFifteenWalksItsStepsInOneTickAndMayTakeSecondCells)
{
    struct Case
    {
        uint8_t opcode;
        bool fast;
        int x; // after one tick from 5
    } cases[] = {{13, true, 6}, {15, false, 8}, {15, true, 11}};
    for (const Case& c : cases) {
        tools::MoverBlockSpec spec;
        spec.movers = {{0x51, 0, 1, 2, 5, 2, 0x30, 0}};
        spec.programs = {{{c.opcode, 0}}};
        Load(Free(30, 8), spec);
        for (size_t x = 0; x < 30; ++x)
            m_map.DirectionGrid[3 * 255 + x] = 4; // right along the foot's row
        m_map.PathLength = 3;
        Mover(0).SetOpcode(c.opcode);
        Mover(0).SetCount(1);
        m_map.FastStep = c.fast;
        m_map.RunMoveProgram(Mover(0));
        EXPECT_EQ(Mover(0).X(), c.x) << int(c.opcode) << " fast " << c.fast;
        EXPECT_EQ(Mover(0).Opcode(), 13) << int(c.opcode);
    }
    m_map.FastStep = false;
}

namespace {

std::vector<tools::ArchiveEntry> DemoTownPictureEntries()
{
    std::vector<tools::ArchiveEntry> entries;
    for (const tools::DemoTownFile& file : tools::DemoTownPictures())
        entries.push_back({tools::UpperCaseName(file.name), file.bytes});
    return entries;
}

// The demo's town with its pictures, drawn into a screen-sized target tick by tick.
class CCpsTownTicksThreadTest : public TownMapFixture
{
protected:
    CCpsTownTicksThreadTest()
        : TownMapFixture(DemoTownPictureEntries())
        , m_saved_size(CCps::GetMapPictureSize())
    {
        CCps::SetMapPictureSize(2400, 1400);
        EXPECT_TRUE(m_map.CreateMapLayers());
        for (const tools::DemoTownFile& file : tools::DemoTownData())
            m_map.files[file.name] = file.bytes;
        const uint8_t places[] = {30, 14, 0x10, 4, 12, 0x30, 50, 30, 0x20};
        std::copy(std::begin(places), std::end(places), State().Flags.begin() + 7091);
        EXPECT_EQ(m_map.LoadWalkMap("town.map"), 1u);
        EXPECT_EQ(m_map.LoadMovers("town.mvr"), 1u);
        for (int slot : {0, 1})
            m_map.PictureSlot[static_cast<size_t>(slot)].reset(
                m_map.LoadSprite("town_chara.akb", nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
        m_map.LoadSprite("town_bg.akb", m_map.MapPicture.get(), LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0);
        m_map.LoadSprite("town_ov.akb", m_map.OverlayPicture.get(), LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1,
                         0);
        m_target = CreateSpriteOfType(0, 0, 1920, 1080, -1, LAYER_KIND_MEMORY);
    }
    ~CCpsTownTicksThreadTest() override { CCps::SetMapPictureSize(m_saved_size.cx, m_saved_size.cy); }

    // One step of the screen on the virtual clock, then the frame drawn.
    void Tick()
    {
        platform::VirtualClock::Advance(34);
        m_map.RunFrame();
        m_map.BuildViewCells();
        m_map.ComposeMovers();
        m_map.DrawMap(m_target.get());
    }
    std::pair<int, int> At(size_t i) { return {Mover(i).X(), Mover(i).Y()}; }

    SIZE m_saved_size;
    std::unique_ptr<CSpriteLayer> m_target;
};

} // namespace

TEST_F(CCpsTownTicksThreadTest, FixedRoundsAndTheSteeredLeaderOverFramesInBothModes)
{
    ASSERT_NE(m_map.PictureSlot[0], nullptr);
    // The walker's round starts with thirteen steps right; the leader stands while nothing steers
    // it.
    std::vector<std::pair<int, int>> leader, first;
    for (int tick = 0; tick < 13; ++tick) {
        Tick();
        leader.push_back(At(0));
        first.push_back(At(1));
    }
    WriteCapturePng(*m_target->GetLayer(), "townmap_ticks_picture.png");
    for (int tick = 0; tick < 13; ++tick) {
        EXPECT_EQ(leader[static_cast<size_t>(tick)], std::make_pair(30, 14)) << tick;
        EXPECT_EQ(first[static_cast<size_t>(tick)], std::make_pair(5 + tick, 12)) << tick;
    }
    // Right held: one cell a tick; with Shift, two. Drawn, the leader's figure stands on its cell.
    m_keyboard.down = {205};
    for (int tick = 0; tick < 3; ++tick)
        Tick();
    EXPECT_EQ(At(0), std::make_pair(33, 14));
    m_keyboard.down = {205, 42};
    for (int tick = 0; tick < 3; ++tick)
        Tick();
    m_keyboard.down.clear();
    EXPECT_EQ(At(0), std::make_pair(39, 14));
    const int figure_x = (39 - m_map.Camera.CamX) * 40 + 40;
    const int figure_y = (14 - m_map.Camera.CamY) * 40 + 20;
    EXPECT_EQ(EffectPixel(*m_target->GetLayer(), figure_x, figure_y) & 0xFFFF, 0x2080u)
        << "the leader's figure";
    WriteCapturePng(*m_target->GetLayer(), "townmap_ticks_steered.png");

    // Tile mode over the same ticks: every cell ends with the overlay blended over it, and the
    // town's overlay is opaque wherever no roof is.
    m_map.DrawMode = 1;
    for (int tick = 0; tick < 3; ++tick)
        Tick();
    WriteCapturePng(*m_target->GetLayer(), "townmap_ticks_tiles.png");
    EXPECT_EQ(EffectPixel(*m_target->GetLayer(), 20, 1060) & 0xFFFFFF, 0x00FF00u)
        << "the overlay over a free cell";
}
