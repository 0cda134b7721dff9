#include "screens/map/CCharSelect.h"

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "graphics/CFontDIB.h"
#include "screens/map/CharacterFixture.h"
#include "sheetgen/MapSheets.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;
constexpr int OPEN = 30; // pumps the opening fade may take
constexpr uint32_t NONE = 0xFFFFFFFFu;
const std::vector<int32_t> PAIRED{1, 10, 0, 3, 8, 4, 5, 11, 12, 2, 15, 14, 13, 7, 6, 16, 16, 17};

class RecordingFont : public CFontDIB
{
public:
    void DrawText(CStringUTF8, int32_t x, int32_t y, uint32_t, uint32_t, ILayer*, uint32_t) override
    {
        glyphs.emplace_back(x, y);
    }
    std::vector<std::pair<int32_t, int32_t>> glyphs;
};

// Opens the help line's font and texts to the test.
class CharScreen : public CCharSelect
{
public:
    CFontDIB* HelpFont() override { return font != nullptr ? font : CCharSelect::HelpFont(); }
    CStringUTF8 HelpText(int32_t id) override
    {
        last_help = id;
        return CCharSelect::HelpText(id);
    }
    RecordingFont* font = nullptr;
    int32_t last_help = -1;
};

int32_t CellX(int32_t i)
{
    return 160 + i % 5 * 320;
}

int32_t CellY(int32_t i)
{
    return 20 + i / 5 * 224;
}

class CCharSelectThreadTest : public CharacterFixture
{
protected:
    CCharSelectThreadTest()
    {
        for (uint32_t i = 0; i < 18; ++i)
            State().Flags[i] = 1;
    }

    int32_t Run(CharScreen& screen, int32_t kind, std::function<void(int)> step, int budget = OPEN + 30)
    {
        int32_t result = 0;
        RunUntil(screen, std::move(step), budget, [&] { result = screen.RunWithMode(kind).Integer; });
        return result;
    }
    Cell Picture(int32_t i) { return ShownCell(CellX(i) + 160, CellY(i) + 100); }
    Cell Name(int32_t i) { return ShownCell(CellX(i) + 160, CellY(i) + 184); }
    Cell SideButton(int32_t k) { return ShownCell(160 + 122 * k + 61, 933 + 90); }
    std::function<void(int)> ClickSide(int32_t k) { return ClickAt(160 + 122 * k + 61, 933 + 62, OPEN); }
    std::function<void(int)> ClickCell(int32_t i) { return ClickAt(CellX(i) + 160, CellY(i) + 112, OPEN); }
};

} // namespace

TEST_F(CCharSelectThreadTest, ListKindsChooseOrderNamesHelpAndBackButton)
{
    struct Case
    {
        int32_t kind;
        bool paired;
        uint32_t names;
        uint32_t help_base;
        Cell back; // sampled at (1460, 762), inside both looks
        int32_t on_escape;
    };
    const Case cases[] = {
        {0, false, tools::NAME_LIST_PLAIN, 318, {tools::CHARLIST_BACK + 1, 0}, -1},
        {1, true, tools::NAME_LIST_PAIRED, 336, {NONE, 0}, 99},
        {6, true, tools::NAME_LIST_PLAIN, 318, {tools::CHARLIST_BACK + 4, 0}, -1},
        {2, false, tools::NAME_LIST_PLAIN, 318, {NONE, 0}, 99},
        {5, false, tools::NAME_LIST_PLAIN, 318, {NONE, 0}, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        CharScreen screen;
        ASSERT_TRUE(screen.Setup());
        std::vector<Cell> pictures, names;
        int32_t hover_help = -1;
        const int32_t result = Run(screen, c.kind, [&](int pump) {
            if (pump == 1)
                PointAt(CellX(2) + 160, CellY(2) + 100);
            if (pump == OPEN - 5) {
                hover_help = screen.last_help;
                PointAt(0, 0);
            }
            if (pump == OPEN) {
                Capture("charselect_kind" + std::to_string(c.kind) + ".png");
                for (int32_t i = 0; i < 18; ++i) {
                    pictures.push_back(Picture(i));
                    names.push_back(Name(i));
                }
                EXPECT_EQ(screen.last_help, 311 + c.kind) << "off every item";
                EXPECT_EQ(ShownCell(1460, 762).first, c.back.first);
            }
            KeyAt(1, OPEN + 2)(pump);
        });
        EXPECT_EQ(result, c.on_escape);
        for (int32_t i = 0; i < 18; ++i) {
            const int32_t character = c.paired ? PAIRED[static_cast<size_t>(i)] : i;
            EXPECT_EQ(pictures[static_cast<size_t>(i)], Cell(tools::CHARLIST_CHARACTER + character, 0)) << i;
            EXPECT_EQ(names[static_cast<size_t>(i)], Cell(c.names + static_cast<uint32_t>(character), 0))
                << i;
        }
        EXPECT_EQ(hover_help, static_cast<int32_t>(c.help_base) + (c.paired ? PAIRED[2] : 2));
        // A second refresh keeps the same eighteen entries.
        screen.RefreshAll();
        EXPECT_EQ(screen.CellOrder.size(), 18u);
    }
}

TEST_F(CCharSelectThreadTest, CellStatesDecideLookAndChoice)
{
    struct Case
    {
        int32_t cell;
        uint8_t state;
        Cell shown;
        int32_t result;
        int32_t help; // after hovering the cell
    };
    const Case cases[] = {
        {0, 0, {tools::CHARLIST_CHARACTER + 0, 3}, 99, 318},
        {0, 1, {tools::CHARLIST_CHARACTER + 0, 1}, 1, 318},
        {3, 2, {tools::CHARLIST_PLACEHOLDER, 0}, 99, 311},
        {3, 3, {NONE, 0}, 99, 311},
        {4, 7, {tools::CHARLIST_CHARACTER + 4, 1}, 99, 322},
        {17, 1, {tools::CHARLIST_CHARACTER + 17, 1}, 18, 335},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cell " << c.cell << " state " << int(c.state));
        State().Flags[static_cast<size_t>(c.cell)] = c.state;
        CharScreen screen;
        ASSERT_TRUE(screen.Setup());
        Cell shown;
        int32_t help = -1;
        TakeOkCancelSounds();
        const int32_t result = Run(screen, 0, [&](int pump) {
            ClickCell(c.cell)(pump);
            if (pump == OPEN - 2) {
                Capture();
                shown = ShownCell(CellX(c.cell) + 160, CellY(c.cell) + 100);
                help = screen.last_help;
            }
        });
        EXPECT_EQ(shown.first, c.shown.first);
        if (c.shown.first != NONE) {
            EXPECT_EQ(shown.second, c.shown.second);
        }
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(help, c.help);
        EXPECT_EQ(TakeOkCancelSounds().empty(), c.result == 99);
        State().Flags[static_cast<size_t>(c.cell)] = 1;
    }
}

TEST_F(CCharSelectThreadTest, WithoutFlagBytesEveryCellIsGreyAndNothingCanBeChosen)
{
    State().Flags.clear();
    CharScreen screen;
    ASSERT_TRUE(screen.Setup());
    std::vector<Cell> shown;
    EXPECT_EQ(Run(screen, 0,
                  [&](int pump) {
                      ClickCell(7)(pump);
                      if (pump == OPEN + 10)
                          Capture();
                      if (pump == OPEN + 10)
                          for (int32_t i = 0; i < 18; ++i)
                              shown.push_back(Picture(i));
                  }),
              99);
    for (int32_t i = 0; i < 18; ++i)
        EXPECT_EQ(shown[static_cast<size_t>(i)], Cell(tools::CHARLIST_CHARACTER + i, 3)) << i;
}

TEST_F(CCharSelectThreadTest, AStrayCellIdIsIgnored)
{
    CharScreen screen;
    ASSERT_TRUE(screen.Setup());
    TakeOkCancelSounds();
    EXPECT_EQ(Run(screen, 0, ClickAt(1280, 800, OPEN)), 99);
    EXPECT_EQ(screen.HoverId, static_cast<int32_t>(tools::CHAR_SELECT_STRAY_ID));
    EXPECT_TRUE(TakeOkCancelSounds().empty());
}

TEST_F(CCharSelectThreadTest, SideButtonsActOnlyWhileDrawnEnabled)
{
    GetDocument()->SetEngineStateBits(0x4);
    State().Variables[53].Integer = 1;
    State().Variables[57].Integer = 1;
    // In replay mode all four are drawn disabled and none acts: no sound, no save, no load.
    State().Variables[69].Integer = 1;
    for (int32_t k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        CharScreen screen;
        ASSERT_TRUE(screen.Setup());
        Cell drawn;
        TakeOkCancelSounds();
        EXPECT_NO_THROW(Run(screen, 0, [&](int pump) {
            ClickSide(k)(pump);
            if (pump == OPEN - 2) {
                Capture();
                drawn = SideButton(k);
            }
        }));
        EXPECT_EQ(drawn.second, 3);
        EXPECT_TRUE(TakeOkCancelSounds().empty());
    }
    State().Variables[69].Integer = 0;

    // Quick load without a quick save does nothing.
    State().Variables[57].Integer = 0;
    {
        CharScreen screen;
        ASSERT_TRUE(screen.Setup());
        TakeOkCancelSounds();
        EXPECT_NO_THROW(Run(screen, 0, ClickSide(3)));
        EXPECT_TRUE(TakeOkCancelSounds().empty());
    }
    // The quick save's sound says a save was made: refused (the system file cannot be opened), it
    // says so in a box, writes nothing and stays silent.
    const auto saved_sounds = [this] { return std::ranges::count(TakeOkCancelSounds(), "play ses_003.wav"); };
    const std::filesystem::path system_file = m_dir.Path() / "FLAG000";
    std::filesystem::remove(system_file);
    std::filesystem::create_directory(system_file);
    {
        CharScreen screen;
        ASSERT_TRUE(screen.Setup());
        TakeOkCancelSounds();
        m_messages.clear();
        Run(screen, 0, ClickSide(1));
        EXPECT_EQ(m_messages.size(), 1u);
        EXPECT_EQ(saved_sounds(), 0);
        EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "FLAG201"));
        EXPECT_EQ(State().Variables[57].Integer, 0);
    }
    std::filesystem::remove(system_file);
    // A quick save made sounds, stays on the screen and redraws quick load as enabled.
    {
        CharScreen screen;
        ASSERT_TRUE(screen.Setup());
        Cell before, after, save;
        Run(screen, 0, [&](int pump) {
            ClickSide(1)(pump);
            if (pump == OPEN - 2) {
                Capture();
                before = SideButton(3);
            }
            if (pump == OPEN + 20) {
                Capture("charselect_after_quick_save.png");
                after = SideButton(3);
                save = SideButton(0);
            }
        });
        EXPECT_EQ(saved_sounds(), 1);
        EXPECT_EQ(State().Variables[57].Integer, 1);
        EXPECT_EQ(before, Cell(tools::AREA_SHEET_BUTTON + 6, 3));
        EXPECT_EQ(after, Cell(tools::AREA_SHEET_BUTTON + 6, 0));
        EXPECT_EQ(save, Cell(tools::AREA_SHEET_BUTTON + 7, 0)) << "save drawn enabled";
    }
}

TEST_F(CCharSelectThreadTest, CursorKeysFollowTheTable)
{
    struct Case
    {
        int32_t from; // -1: pointer off every item
        uint32_t key;
        int32_t to;
    };
    const Case cases[] = {
        {4, 205, 256},   {9, 205, 258}, {13, 205, 13}, // 260 is not in the file: no warp
        {257, 200, 259}, {-1, 208, 0},  {7, 200, 2},   {10, 203, 10}, {258, 203, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " key " << c.key);
        CharScreen screen;
        ASSERT_TRUE(screen.Setup());
        Run(screen, 0, [&](int pump) {
            if (pump == 1) {
                if (c.from == -1)
                    PointAt(0, 0);
                else if (c.from >= 256)
                    PointAt(160 + 122 * (c.from - 256) + 61, 933 + 62);
                else
                    PointAt(CellX(c.from) + 160, CellY(c.from) + 112);
            }
            KeyAt(c.key, OPEN)(pump);
        });
        EXPECT_EQ(screen.HoverId, c.to);
    }
    EXPECT_EQ(CCharSelect::KeyTarget(13, 205), 260);
}

TEST_F(CCharSelectThreadTest, LongHelpWrapsOntoTwoCentredLines)
{
    CharScreen screen;
    ASSERT_TRUE(screen.Setup());
    RecordingFont font;
    screen.font = &font;
    screen.DrawHelpText(CStringUTF8(std::string(60, 'a').c_str()), 40, 1);
    ASSERT_EQ(font.glyphs.size(), 60u);
    EXPECT_EQ(font.glyphs[0], std::make_pair(90, 0));
    EXPECT_EQ(font.glyphs[49], std::make_pair(90 + 49 * 20, 0));
    EXPECT_EQ(font.glyphs[50], std::make_pair(90, 40));
    font.glyphs.clear();
    screen.DrawHelpText("short", 40, 1);
    EXPECT_EQ(font.glyphs.front(), std::make_pair(90, 20));
    font.glyphs.clear();
    screen.DrawHelpText("short", 40, 0);
    EXPECT_TRUE(font.glyphs.empty());
}

TEST_F(CCharSelectThreadTest, Parts)
{
    CharScreen screen;
    EXPECT_FALSE(screen.IsComplete());
    // Nothing is drawn from parts never made.
    screen.DrawItem(0, 0, 0);
    ASSERT_TRUE(screen.Setup());
    EXPECT_TRUE(screen.IsComplete());
    screen.BuildParts(0);
    EXPECT_TRUE(screen.IsComplete());
    screen.Release();
    screen.Release();
    EXPECT_FALSE(screen.IsComplete());
}
