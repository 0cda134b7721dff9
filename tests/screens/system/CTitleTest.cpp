#include "screens/system/CTitle.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "demopics/DemoPictures.h"
#include "graphics/CSpriteLayer.h"
#include "screens/system/TitleFixture.h"
#include "script/FlagBuffer.h"
#include "sheetgen/SheetGenerator.h"

namespace {

constexpr uint32_t ESCAPE = 1;
const std::vector<tools::AreaRecord> MAIN = tools::TitleAreas(0);
const std::vector<tools::AreaRecord> PAGE_1 = tools::TitleAreas(1);
const std::vector<tools::AreaRecord> PAGE_3 = tools::TitleAreas(3);
const std::vector<tools::AreaRecord> PAGE_4 = tools::TitleAreas(4);

std::pair<uint32_t, int32_t> Cell(int32_t page, int32_t item, int32_t state)
{
    return {static_cast<uint32_t>(page * 256 + item), state};
}

class CTitleThreadTest : public TitleFixture
{
protected:
    explicit CTitleThreadTest(bool sheet = true)
        : TitleFixture(sheet)
    {}

    int32_t RunTitle(CTitle& title, int32_t page, std::vector<std::function<void()>> steps)
    {
        return RunSteps(
            title,
            [&] {
                ScriptValue out;
                title.RunFromPage(&out, page);
            },
            std::move(steps));
    }

    // A step that checks, on the drawn screen, the sheet cell of an item of an area set.
    std::function<void()> Expect(const std::vector<tools::AreaRecord>& areas, uint32_t item,
                                 std::pair<uint32_t, int32_t> cell, std::string what)
    {
        const tools::AreaRecord area = Area(areas, item);
        return [this, area, cell, what] { EXPECT_EQ(ShownAt(area), cell) << what; };
    }
};

TEST_F(CTitleThreadTest, SaveGatesDrawContinueAndLoadDisabledAndMakeThemInert)
{
    struct Case
    {
        int32_t quick_save;
        int32_t any_save;
    };
    for (const Case c : {Case{0, 0}, Case{1, 0}, Case{0, 1}, Case{1, 1}}) {
        SCOPED_TRACE(testing::Message() << "variables 57 and 53: " << c.quick_save << ", " << c.any_save);
        State().Variables[57] = ScriptValue::FromInteger(c.quick_save);
        State().Variables[53] = ScriptValue::FromInteger(c.any_save);
        CTitle title;
        ASSERT_EQ(title.Setup(), 1);
        const int32_t result =
            RunTitle(title, 0,
                     {Expect(MAIN, 1, Cell(0, 1, c.quick_save ? 0 : 3), "continue at rest"),
                      Expect(MAIN, 2, Cell(0, 2, c.any_save ? 0 : 3), "load at rest"),
                      [this] { TakeOkCancelSounds(); }, Click(MAIN, 1),
                      [&] {
                          EXPECT_EQ(TakeOkCancelSounds().empty(), c.quick_save == 0) << "continue's sound";
                          // A slot that does not load leaves the title open with the item normal.
                          EXPECT_EQ(ShownAt(Area(MAIN, 1)), Cell(0, 1, c.quick_save ? 0 : 3));
                      },
                      Click(MAIN, 2),
                      Key(1), // leaves the load screen the item opened (on the title itself: nothing)
                      [&] {
                          EXPECT_EQ(TakeOkCancelSounds().empty(), c.any_save == 0) << "load's sound";
                          EXPECT_EQ(ShownAt(Area(MAIN, 2)), Cell(0, 2, c.any_save ? 0 : 3));
                          EXPECT_EQ(title.GetHovered(), 2) << "the hover is kept";
                      }});
        EXPECT_EQ(result, -99) << "no item closed the title";
    }
}

TEST_F(CTitleThreadTest, StartClosesWithModeZeroOrOpensPageFourByTheFlag)
{
    CTitle plain;
    plain.Setup();
    State().Values[13] = ScriptValue::FromInteger(7);
    EXPECT_EQ(RunTitle(plain, 0, {Click(MAIN, 0)}), 0);
    EXPECT_EQ(State().Values[13].Integer, 0);
    EXPECT_EQ(State().Values[2].Integer, 0);
    EXPECT_EQ(LayerZeroAt(Area(MAIN, 0)), Cell(0, 0, 0)) << "start is drawn normal and painted into layer 0";
    EXPECT_EQ(LayerZeroAt(Area(MAIN, 5)), Cell(0, 5, 0));

    // With flag byte 2026 start leads to page 4, whose first items act only with flag byte 1898.
    State().Flags[2026] = 1;
    for (const int32_t extra : {0, 1}) {
        State().Flags[1898] = static_cast<uint8_t>(extra);
        for (const uint32_t item : {0u, 1u}) {
            SCOPED_TRACE(testing::Message() << "flag 1898 " << extra << ", item " << item);
            CTitle title;
            title.Setup();
            State().Values[13] = ScriptValue::FromInteger(7);
            const int32_t result = RunTitle(
                title, 0,
                {Click(MAIN, 0), [&] { EXPECT_EQ(title.GetPage(), 4); },
                 Expect(PAGE_4, item, Cell(4, static_cast<int32_t>(item), 0), "never drawn disabled"),
                 [this] { TakeOkCancelSounds(); }, Click(PAGE_4, item)});
            EXPECT_EQ(result, extra ? 0 : -99);
            EXPECT_EQ(State().Values[13].Integer, extra ? static_cast<int32_t>(item) : 7);
            if (!extra) {
                EXPECT_TRUE(TakeOkCancelSounds().empty());
            }
        }
    }
}

TEST_F(CTitleThreadTest, EscapeGoesBackOnePageWithTheOkSound)
{
    struct Case
    {
        int32_t page;
        int32_t back_to;
    };
    for (const Case c : {Case{0, 0}, Case{1, 0}, Case{2, 1}, Case{3, 1}, Case{4, 0}}) {
        SCOPED_TRACE(testing::Message() << "page " << c.page);
        CTitle title;
        title.Setup();
        TakeOkCancelSounds();
        RunTitle(title, c.page, {Key(ESCAPE), [&] {
                                     EXPECT_EQ(title.GetPage(), c.back_to);
                                     const auto sounds = TakeOkCancelSounds();
                                     EXPECT_EQ(sounds.empty(), c.page == 0);
                                     if (!sounds.empty()) {
                                         EXPECT_EQ(sounds.back(), "play ses_001.wav");
                                     }
                                 }});
    }
}

TEST_F(CTitleThreadTest, ResultItemsReachTheCallerWithThePageStored)
{
    State().Flags[1898] = 1;
    struct Case
    {
        int32_t page;
        uint32_t item;
        int32_t result;
    };
    for (const Case c : {Case{1, 0, 0x101}, Case{2, 0, 0x102}, Case{2, 1, 0x103}, Case{2, 2, 0x104},
                         Case{3, 0, 0x105}, Case{3, 1, 0x106}}) {
        SCOPED_TRACE(testing::Message() << "page " << c.page << " item " << c.item);
        m_layer_zero->FillRect(0, 0, 1920, 1080, TITLE_TEST_LAYER_COLOUR, 1);
        CTitle title;
        title.Setup();
        const auto& areas = c.page == 3 ? PAGE_3 : PAGE_1;
        EXPECT_EQ(RunTitle(title, c.page, {Click(areas, c.item)}), c.result);
        EXPECT_EQ(State().Values[2].Integer, c.page);
        // Page 3 leaves layer 0 as it was; the others paint their buttons, the chosen one pressed.
        const auto painted = LayerZeroAt(Area(areas, c.item));
        if (c.page == 3)
            EXPECT_EQ(EffectPixel(*m_layer_zero, 300, 800), TITLE_TEST_LAYER_COLOUR);
        else
            EXPECT_EQ(painted, Cell(c.page, static_cast<int32_t>(c.item), 2));
    }
}

// Continue and the load screen throw their document code once the saved state is in place: the
// title unwinds without storing its page or painting its buttons over the background.
TEST_F(CTitleThreadTest, ALoadUnwindingTheTitleLeavesTheLoadedStateAndTheBackgroundAlone)
{
    m_layer_zero->FillRect(0, 0, 1920, 1080, TITLE_TEST_LAYER_COLOUR, 1);
    State().Values[2] = ScriptValue::FromInteger(77);
    bool unwound = false;
    const ISelect* gone = nullptr;
    {
        CTitle title;
        gone = &title;
        title.Setup();
        RunSteps(title,
                 [&] {
                     try {
                         ScriptValue out;
                         title.RunFromPage(&out, 1);
                     } catch (CVeskDoc::tagDOCUMENT_CODE) {
                         unwound = true;
                     }
                 },
                 {Wait(), [] { throw CVeskDoc::DOCUMENT_RESTORE_STACK; }});
    }
    EXPECT_TRUE(unwound);
    EXPECT_EQ(State().Values[2].Integer, 77);
    const tools::AreaRecord& button = Area(PAGE_1, 0);
    EXPECT_EQ(EffectPixel(*m_layer_zero, (button.left + button.right) / 2, (button.top + button.bottom) / 2),
              TITLE_TEST_LAYER_COLOUR);
    const auto& active = GetGameWork()->GetActiveScreens();
    EXPECT_EQ(std::find(active.begin(), active.end(), gone), active.end());
}

TEST_F(CTitleThreadTest, PageTwoWithoutTheFlagShowsItsFirstItemsDisabledAndInert)
{
    CTitle title;
    title.Setup();
    TakeOkCancelSounds();
    const int32_t result =
        RunTitle(title, 2,
                 {Expect(PAGE_1, 0, Cell(2, 0, 3), "item 0"), Expect(PAGE_1, 1, Cell(2, 1, 3), "1"),
                  Expect(PAGE_1, 2, Cell(2, 2, 0), "item 2"), Click(PAGE_1, 0), Click(PAGE_1, 1),
                  [&] {
                      EXPECT_TRUE(TakeOkCancelSounds().empty());
                      EXPECT_EQ(title.GetPage(), 2) << "argument 2 opens page 2";
                  },
                  Click(PAGE_1, 3), [&] { EXPECT_EQ(title.GetPage(), 1) << "back"; }});
    EXPECT_EQ(result, -99);
}

TEST_F(CTitleThreadTest, PagesChangeByTheirItemsAndAStartPageOutsideTheRangeShowsPageZero)
{
    CTitle title;
    title.Setup();
    RunTitle(title, 9,
             {[&] { EXPECT_EQ(title.GetPage(), 0); }, Expect(MAIN, 0, Cell(0, 0, 0), "page 0 in view"),
              Click(MAIN, 4), [&] { EXPECT_EQ(title.GetPage(), 1); }, Click(PAGE_1, 2),
              [&] { EXPECT_EQ(title.GetPage(), 3); }, Click(PAGE_3, 2),
              [&] { EXPECT_EQ(title.GetPage(), 1); }, Click(PAGE_1, 1),
              [&] { EXPECT_EQ(title.GetPage(), 2); },
              Expect(PAGE_1, 3, {tools::TITLE_SHEET_BACK, 0}, "page 2's back button"),
              [this] { EXPECT_NE(ShownAt(Area(MAIN, 0)).first, 0u) << "page 0 faded out"; }, Click(PAGE_1, 3),
              Click(PAGE_1, 3), [&] { EXPECT_EQ(title.GetPage(), 0); }});
}

TEST_F(CTitleThreadTest, ArrowKeysMoveTheHoverAndStopAtTheEnds)
{
    CTitle title;
    title.Setup();
    RunTitle(title, 0,
             {Key(SCAN_DOWN), [&] { EXPECT_EQ(title.GetHovered(), 0) << "none hovered: item 0"; },
              Key(SCAN_UP), [&] { EXPECT_EQ(title.GetHovered(), 0) << "up on item 0 stays"; }, Key(SCAN_DOWN),
              Key(SCAN_DOWN), Key(SCAN_DOWN), Key(SCAN_DOWN), Key(SCAN_DOWN),
              [&] { EXPECT_EQ(title.GetHovered(), 5); }, Key(SCAN_DOWN),
              [&] { EXPECT_EQ(title.GetHovered(), 5) << "down on the last item stays"; },
              Expect(MAIN, 5, Cell(0, 5, 1), "the hovered item"), Key(SCAN_LEFT),
              [&] { EXPECT_EQ(title.GetHovered(), 5) << "left with a hover does nothing"; }});
}

class CTitleWithoutSheetThreadTest : public CTitleThreadTest
{
protected:
    CTitleWithoutSheetThreadTest()
        : CTitleThreadTest(false)
    {}
};

TEST_F(CTitleWithoutSheetThreadTest, MissingPicturesAndButtonsDrawNothingAndTheItemsStillWork)
{
    CTitle title;
    EXPECT_EQ(title.Setup(), 1) << "the buttons are made without their sheet";
    EXPECT_EQ(RunTitle(title, 0, {Click(MAIN, 0)}), 0);

    CTitle bare; // Setup never ran: no buttons at all
    EXPECT_EQ(RunTitle(bare, 1, {Click(PAGE_1, 0)}), 0x101);
    bare.BuildParts(0);
    EXPECT_EQ(EffectPixel(*m_layer_zero, 1400, 300), tools::TITLE_PLATE) << "the rebuilt background";
}

} // namespace
