#include "screens/system/CConfig.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerOf.h"
#include "mapwrite/MapTableWriter.h"
#include "screens/ScreenFixture.h"
#include "sheetgen/SheetGenerator.h"
#include "support/ResidentPages.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;
constexpr int END_PUMP = 400;

std::vector<tools::ArchiveEntry> ConfigData()
{
    std::vector<tools::MapText> texts{{0, u"text"}};
    for (int id :
         {57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 76, 77, 78, 79, 80, 86, 169, 170, 307})
        texts.push_back({id, u"HELP TEXT"});
    std::vector<tools::ArchiveEntry> data{{"CONFIG00.AREA", tools::BuildAreaFile(tools::ConfigAreas())}};
    for (const char* name : {"SYSTEM_EN.MAP", "SYSTEM_CN.MAP", "SYSTEM_TW.MAP", "SYSTEM.MAP"})
        data.push_back({name, tools::BuildMapTable(texts)});
    return data;
}

std::vector<tools::ArchiveEntry> ConfigPictures()
{
    return {{"SYSTEMSOUND_P.AKB",
             tools::EncodeAkb(tools::BuildSheet(tools::CONFIG_SHEET_WIDTH, tools::CONFIG_SHEET_HEIGHT,
                                                tools::ConfigSheetCells()),
                              {})},
            {"SYSTEMCOVER.AKB", tools::EncodeAkb(tools::MakePicture(1600, 1443, 0), {})},
            {"SYSTEM_BG.AKB",
             tools::EncodeAkb(
                 tools::BuildSheet(1920, 1080, {{0, 0, 1920, 1080, tools::CONFIG_SHEET_BACKGROUND, 0, ""}}),
                 {})}};
}

const tools::AreaRecord& Area(uint32_t id)
{
    static const std::vector<tools::AreaRecord> areas = tools::ConfigAreas();
    for (const tools::AreaRecord& area : areas)
        if (area.id == id)
            return area;
    throw std::logic_error("no such area");
}

POINT Centre(uint32_t id)
{
    const tools::AreaRecord& area = Area(id);
    return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
}

class CConfigThreadTest : public ScreenFixture
{
protected:
    CConfigThreadTest()
        : ScreenFixture(ConfigData(), ConfigPictures())
    {
        EXPECT_EQ(m_config.CreateParts(), 1);
    }

    // Runs the page with the step at every pump; the page is cancelled at END_PUMP if still open.
    int32_t RunPage(std::function<void(int)> step)
    {
        m_escape_at = -10;
        OnPump([&](int pump) {
            step(pump);
            if (pump == END_PUMP)
                m_escape_at = pump;
            if (pump == m_escape_at)
                m_keyboard.down = {1};
            if (pump == m_escape_at + 2)
                m_keyboard.down.clear();
        });
        PointAt(0, 0);
        ScriptValue out = ScriptValue::FromInteger(99);
        m_config.Run(&out);
        OnPump(nullptr);
        m_keyboard.down.clear();
        m_mouse.left_down = 0;
        return out.Integer;
    }

    // Clicks at a point: pointer there at the pump, button down for two pumps.
    void ClickAt(int pump, int at, POINT point)
    {
        if (pump == at)
            PointAt(point.x, point.y);
        if (pump == at + 1)
            m_mouse.left_down = 1;
        if (pump == at + 3)
            m_mouse.left_down = 0;
    }

    int32_t Stored(const char* key) { return m_app.Config().GetInt(key, -1); }

    // Whether any pixel of the help line shows something else than the background.
    bool HelpShown()
    {
        for (int y = 1004; y < 1044; y += 2)
            for (int x = 109; x < 1109; x += 2)
                if (ShownCell(x, y) != Cell(tools::CONFIG_SHEET_BACKGROUND, 0))
                    return true;
        return false;
    }

    CConfig m_config;
    int m_escape_at = -10; // Escape goes down at this pump and up two later
};

TEST_F(CConfigThreadTest, OpensAtTheTopAndShowsTheLastRowsAtTheBottom)
{
    m_app.Config().SetInt("/Config/MesWnd/Speed", 100);
    m_app.Config().SetInt("/Config/MesWnd/Red", 100);
    m_app.Config().SetInt("/Config/MesWnd/Alpha", 0); // an opaque swatch
    struct Check
    {
        int x, y;
        Cell cell;
    };
    const std::vector<Check> top{
        {1800, 400, {0x0E00, 2}},                                   // this page's tab is current
        {1800, 580, {0x0E01, 0}},                                   // the sound tab
        {1667, 160, {0x0D00, 3}},                                   // up arrow disabled at the top
        {1667, 968, {0x0D01, 0}},                                   // down arrow
        {1667, 181 + 125, {0x0D02, 0}},                             // thumb at the top of the track
        {684 + 100, 317 + 25, {tools::CONFIG_SHEET_SWITCH_ON, 0}},  // text-speed switch on
        {111 + 521 + 26, 314 + 27, {tools::CONFIG_SHEET_KNOB, 0}},  // a knob at 1.0 inside its track
        {1014 + 429 + 26, 760 + 27, {tools::CONFIG_SHEET_KNOB, 0}}, // colour knob at 1.0
        {684 + 100, 478 + 25, {tools::CONFIG_SHEET_SWITCH_OFF, 0}}, // one-message switch off
        {1236, 84, {tools::CONFIG_SHEET_GAME_MODE_OFF, 0}},
        {1800, 1000, {0x1000, 0}},
        {12, 12, {tools::CONFIG_SHEET_BACKGROUND, 0}},
    };
    const std::vector<Check> bottom{
        {1667, 160, {0x0D00, 0}},
        {1667, 968, {0x0D01, 3}},
        {1667, 697 + 125, {0x0D02, 0}},
        {31 + 400, 1218 + 184 - 715 + 40, {0x0C00, 2}}, // the stored system choice
        {872 + 400, 1358 + 184 - 715 + 40, {0x0C05, 0}},
    };
    RECT hole_top{};
    RECT hole_bottom{1, 1, 1, 1};
    int32_t offset = -1;
    m_mouse.SetCursorShape(118); // a hand left by another screen
    RunPage([&](int pump) {
        if (pump == 30) {
            EXPECT_EQ(m_mouse.GetCursorShape(), -1);
            Capture("config_offset0.png");
            for (const Check& c : top)
                EXPECT_EQ(ShownCell(c.x, c.y), c.cell) << "top " << c.x << "," << c.y;
            EXPECT_EQ(Shown(530, 700), 0xFFFF0000u) << "the window colour through the sample hole";
            hole_top = m_config.GetSampleHole();
            m_mouse.wheel = -40;
        }
        if (pump == 40) {
            Capture("config_offset715.png");
            offset = m_config.GetScrollOffset();
            for (const Check& c : bottom)
                EXPECT_EQ(ShownCell(c.x, c.y), c.cell) << "bottom " << c.x << "," << c.y;
            hole_bottom = m_config.GetSampleHole();
            m_escape_at = pump;
        }
    });
    EXPECT_EQ(offset, CONFIG_SCROLL_RANGE);
    EXPECT_EQ(hole_top.left, 525);
    EXPECT_EQ(hole_top.top, 673);
    EXPECT_EQ(hole_top.right, 1315);
    EXPECT_EQ(hole_top.bottom, 731);
    EXPECT_EQ(hole_bottom.right - hole_bottom.left, 0) << "scrolled out";
}

// The page's controls are drawn again on each open: closed, the page holds none of its pixels,
// and the next open shows them again.
TEST_F(CConfigThreadTest, AClosedPageGivesItsPixelsBack)
{
    for (int round = 0; round < 2; ++round) {
        size_t drawn = 0;
        Cell toggle{};
        RunPage([&](int pump) {
            if (pump == 30) {
                drawn = ResidentBytes(SpriteLayerOf(m_config.PageImage()));
                Capture();
                toggle = ShownCell(684 + 100, 478 + 25);
                m_escape_at = 32;
            }
        });
        EXPECT_GT(drawn, 0u) << "round " << round;
        EXPECT_EQ(toggle, Cell(tools::CONFIG_SHEET_SWITCH_OFF, 0)) << "round " << round;
        EXPECT_EQ(ResidentBytes(SpriteLayerOf(m_config.PageImage())), 0u) << "round " << round;
    }
}

TEST_F(CConfigThreadTest, ArrowsAndWheelMoveTheViewAndStopAtItsEnds)
{
    struct Step
    {
        const char* what;
        int arrow; // -1 none, 0 up, 1 down
        int wheel;
        int32_t offset;
    } steps[] = {
        {"up at the top is inert", 0, 0, 0},
        {"a wheel step", -1, -1, 35},
        {"and back", -1, 1, 0},
        {"down arrow", 1, 0, 71},
        {"the wheel to the end", -1, -30, 715},
        {"down at the end is inert", 1, 0, 715},
        {"up arrow", 0, 0, 643},
    };
    std::vector<int32_t> seen;
    RunPage([&](int pump) {
        const int index = pump / 20 - 1;
        if (index < 0 || index > static_cast<int>(std::size(steps)))
            return;
        if (pump % 20 == 0 && index > 0)
            seen.push_back(m_config.GetScrollOffset());
        if (index == static_cast<int>(std::size(steps))) {
            m_escape_at = pump;
            return;
        }
        const Step& s = steps[index];
        if (s.arrow >= 0)
            ClickAt(pump % 20, 1, Centre(0x0D00 + static_cast<uint32_t>(s.arrow)));
        else if (pump % 20 == 1)
            m_mouse.wheel = s.wheel;
    });
    ASSERT_EQ(seen.size(), std::size(steps));
    for (size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen[i], steps[i].offset) << steps[i].what;
}

TEST_F(CConfigThreadTest, SlidersWorkOnlyWhileTheirSwitchIsOn)
{
    m_app.Config().SetInt("/Config/OneMes", 0);
    m_app.Config().SetInt("/Config/OneMesSpeed", 100);
    m_app.Config().SetInt("/Config/MesWnd/ShowSpeedEnable", 1);
    bool help_off = true;
    bool help_on = false;
    RunPage([&](int pump) {
        const POINT off_slider{135 + 100, Centre(0x0401).y};
        ClickAt(pump, 20, off_slider);
        if (pump == 28) {
            Capture();
            help_off = HelpShown();
        }
        ClickAt(pump, 30, POINT{135 + 130, Centre(0x0001).y});
        if (pump == 38) {
            Capture();
            help_on = HelpShown();
        }
        if (pump == 40)
            PointAtCentre(Area(0x1000));
        if (pump == 41)
            m_mouse.left_down = 1;
        if (pump == 43)
            m_mouse.left_down = 0;
    });
    EXPECT_FALSE(help_off) << "a slider whose switch is off has no help";
    EXPECT_TRUE(help_on);
    EXPECT_EQ(Stored("/Config/OneMesSpeed"), 100) << "clicks on an off slider are ignored";
    EXPECT_EQ(Stored("/Config/MesWnd/Speed"), 24) << "130 of 521, truncated";
}

TEST_F(CConfigThreadTest, EveryWayOutSavesAndSetsTheTopPage)
{
    struct Case
    {
        const char* name;
        uint32_t button; // 0: Escape
        int32_t result;
        int32_t keep_view;
        int32_t top_page;
    } cases[] = {
        {"leave", 0x1000, -1, 0, 0},
        {"escape", 0, -1, 0, 0},
        {"sound tab", 0x0E01, 1, 1, 1},
    };
    for (const Case& c : cases) {
        m_app.Config().SetInt("/Config/TopPage", 1);
        m_app.Config().SetInt("/Config/MesWnd/KutoutenWait", 1);
        const int32_t result = RunPage([&](int pump) {
            ClickAt(pump, 20, Centre(0x0100));
            if (c.button != 0)
                ClickAt(pump, 30, Centre(c.button));
            else if (pump == 31)
                m_escape_at = pump;
        });
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(m_config.KeepView, c.keep_view) << c.name;
        EXPECT_EQ(Stored("/Config/TopPage"), c.top_page) << c.name;
        EXPECT_EQ(Stored("/Config/MesWnd/KutoutenWait"), 0) << c.name << " saves";
    }
}

TEST_F(CConfigThreadTest, DefaultsAreStoredOnlyWhenThePageIsLeft)
{
    m_app.Config().SetInt("/Config/MesWnd/Speed", 50);
    m_app.Config().SetInt("/Config/GameMode", 0);
    m_app.Config().SetInt("/Config/Dialog/03/Enable", 0);
    int32_t during = -1;
    RunPage([&](int pump) {
        ClickAt(pump, 20, Centre(0x0F00));
        if (pump == 30) {
            during = Stored("/Config/MesWnd/Speed");
            Capture();
            EXPECT_EQ(ShownCell(1236, 84), Cell(tools::CONFIG_SHEET_GAME_MODE_ON, 0)) << "redrawn at once";
            m_escape_at = pump;
        }
    });
    EXPECT_EQ(during, 50);
    EXPECT_EQ(Stored("/Config/MesWnd/Speed"), 80);
    EXPECT_EQ(Stored("/Config/GameMode"), 1);
    EXPECT_EQ(Stored("/Config/Dialog/03/Enable"), 1);
}

TEST_F(CConfigThreadTest, ADocumentCodeClosesWithoutSaving)
{
    m_app.Config().SetInt("/Config/MesWnd/KutoutenWait", 1);
    bool thrown = false;
    try {
        RunPage([&](int pump) {
            ClickAt(pump, 20, Centre(0x0100));
            if (pump == 30)
                throw CVeskDoc::DOCUMENT_RETURN_TO_TITLE;
        });
    } catch (CVeskDoc::tagDOCUMENT_CODE) {
        thrown = true;
    }
    OnPump(nullptr);
    EXPECT_TRUE(thrown);
    EXPECT_EQ(Stored("/Config/MesWnd/KutoutenWait"), 1);
    EXPECT_EQ(m_config.MesWndKutoutenWait, 1) << "the block is read again";
}

TEST_F(CConfigThreadTest, CursorKeysFollowTheTable)
{
    m_app.Config().SetInt("/Config/MesWnd/Alpha", 0);
    struct Case
    {
        const char* name;
        uint32_t from;
        uint32_t key;
        POINT to;
    } cases[] = {
        {"switch 1 down to switch 4", 0x0100, 208, Centre(0x0400)},
        {"switch 0 right to switch 7", 0x0000, 205, Centre(0x0700)},
        {"colour 2 up to the knob of colour 0", 0x0802, 200, {224 + 26, 760 + 27}},
        {"leave up to defaults", 0x1000, 200, Centre(0x0F00)},
        {"to a dialog switch below the view: stays", 0x0802, 208, Centre(0x0802)},
    };
    for (const Case& c : cases) {
        POINT reached{-1, -1};
        RunPage([&](int pump) {
            if (pump == 20)
                PointAt(Centre(c.from).x, Centre(c.from).y);
            if (pump == 22)
                m_keyboard.down = {c.key};
            if (pump == 24)
                m_keyboard.down.clear();
            if (pump == 30) {
                reached = m_mouse.position;
                m_escape_at = pump;
            }
        });
        EXPECT_EQ(reached.x, c.to.x) << c.name;
        EXPECT_EQ(reached.y, c.to.y) << c.name;
    }
}

TEST_F(CConfigThreadTest, TheSampleTypesOneCharacterAFrameAtFullSpeed)
{
    m_app.Config().SetInt("/Config/MesWnd/Speed", 100);
    m_app.Config().SetInt("/Config/MesWnd/ShowSpeedEnable", 1);
    m_app.Config().SetInt("/Config/Language", 0);
    // Cells of the typed label that hold any pixel.
    auto typed_cells = [&] {
        int cells = 0;
        CSpriteLayer* page = m_config.PageImage();
        for (int cell = 0; cell < 20; ++cell) {
            bool any = false;
            for (int y = 498; y < 538 && !any; ++y)
                for (int x = 736 + 20 * cell; x < 756 + 20 * cell && !any; ++x)
                    any = (page->GetPixelPtr(x, y)[3]) != 0;
            cells += any ? 1 : 0;
        }
        return cells;
    };
    std::vector<int> counts;
    RunPage([&](int pump) {
        if (pump >= 13 && pump < 100) {
            counts.push_back(typed_cells());
            if (pump >= 20 && pump < 23)
                Capture("config_sample_" + std::to_string(pump - 20) + ".png");
        }
        if (pump == 100)
            m_escape_at = pump;
    });
    // "Message Sample": 13 cells hold ink.
    const auto full = std::find(counts.begin(), counts.end(), 13);
    ASSERT_NE(full, counts.end()) << "the whole label is typed";
    for (auto it = counts.begin() + 1; it != full; ++it)
        EXPECT_LE(*it - *(it - 1), 1) << "one character a frame";
    const auto cleared = std::find_if(full, counts.end(), [](int n) { return n < 13; });
    ASSERT_NE(cleared, counts.end()) << "typing starts again";
    EXPECT_GE(cleared - full, 500 / 16) << "after holding the whole label half a second";
    EXPECT_LE(*cleared, 1);
}

// The sample types in each language, traditional Chinese too, and its label fills the cells.
TEST_F(CConfigThreadTest, TheSampleTypesInEveryLanguage)
{
    m_app.Config().SetInt("/Config/MesWnd/Speed", 100);
    m_app.Config().SetInt("/Config/MesWnd/ShowSpeedEnable", 1);
    // Traditional Chinese first: a page opened in another language before would lend it its label.
    for (int language : {2, 0, 1, 3}) {
        m_app.Config().SetInt("/Config/Language", language);
        GetDocument()->SetLanguage(language);
        int most = 0;
        RunPage([&](int pump) {
            if (pump >= 13 && pump < 60) {
                int inked = 0;
                CSpriteLayer* page = m_config.PageImage();
                for (int x = 501; x < 501 + 790; x += 2)
                    for (int y = 498; y < 538; y += 2)
                        inked += page->GetPixelPtr(x, y)[3] != 0 ? 1 : 0;
                most = std::max(most, inked);
            }
            if (pump == 60)
                m_escape_at = pump;
        });
        EXPECT_GT(most, 100) << "language " << language << ": the sample types";
    }
}

// At rest the page only types its sample: each step draws the sample box and leaves the view
// (the picture below, the hole and the cover) as it stands, which a step that rebuilt it redrew
// whole, many times a second, and copies only the sample's rows of the page into the mask: a mark
// put into the mask above them stays through every step. The screen still follows the typing.
TEST_F(CConfigThreadTest, TheSampleTypingAtRestRedrawsOnlyTheSample)
{
    struct Parts : CConfig
    {
        using ISystemParts::MaskLayer;
        using ISystemParts::ViewLayer;
    };
    constexpr uint32_t MARK = 0xFF123456;
    const auto mask_at = [](int x, int y) {
        uint32_t value = 0;
        std::memcpy(&value, Parts::MaskLayer()->GetLayer()->GetPixelPtr(x, y), sizeof value);
        return value;
    };
    m_app.Config().SetInt("/Config/MesWnd/Speed", 100);
    m_app.Config().SetInt("/Config/MesWnd/ShowSpeedEnable", 1);
    m_app.Config().SetInt("/Config/Language", 0);
    const auto view_writes = [] { return Parts::ViewLayer()->GetLayer()->GetWriteCount(); };
    // The shown sample box, as a sum over its cells' pixels.
    const auto shown_box = [&] {
        Capture();
        uint64_t sum = 0;
        for (int y = 673 + 9; y < 673 + 49; y += 4)
            for (int x = 760; x < 760 + 13 * 20; x += 2)
                sum = sum * 31 + Shown(x, y);
        return sum;
    };
    uint64_t writes_at_rest = 0;
    int first_view_write = 0; // the pump that found the view written, if any
    std::vector<uint64_t> boxes;
    RunPage([&](int pump) {
        if (pump == 20) {
            writes_at_rest = view_writes();
            LiveDrawLock lock;
            Parts::MaskLayer()->GetLayer()->FillRect(800, 600, 4, 4, MARK, 1);
        }
        if (pump > 20 && pump <= 90) {
            EXPECT_EQ(mask_at(801, 601), MARK)
                << "the page copied over the mask beyond the sample's rows at pump " << pump;
            if (first_view_write == 0 && view_writes() != writes_at_rest)
                first_view_write = pump;
            if (pump % 5 == 0)
                boxes.push_back(shown_box());
        }
        if (pump == 91)
            m_escape_at = pump;
    });
    EXPECT_EQ(first_view_write, 0) << "the view was drawn again at rest";
    std::sort(boxes.begin(), boxes.end());
    EXPECT_GE(std::unique(boxes.begin(), boxes.end()) - boxes.begin(), 3) << "the shown sample types";
}

} // namespace
