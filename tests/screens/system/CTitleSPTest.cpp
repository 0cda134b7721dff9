#include "screens/system/CTitleSP.h"

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "screens/system/TitleFixture.h"
#include "script/FlagBuffer.h"
#include "sheetgen/SheetGenerator.h"

namespace {

constexpr uint32_t ESCAPE = 1;
const std::vector<tools::AreaRecord> AREAS = tools::TitleAreas(-1);

class CTitleSPThreadTest : public TitleFixture
{
protected:
    int32_t RunTitle(CTitleSP& title, std::vector<std::function<void()>> steps)
    {
        int32_t answer = -1;
        const int32_t result = RunSteps(
            title, [&] { answer = title.Register(); }, std::move(steps));
        EXPECT_EQ(answer, result);
        return result;
    }
};

TEST_F(CTitleSPThreadTest, StartBackAndEscapeAnswerWithTheirSounds)
{
    struct Case
    {
        const char* what;
        bool escape;
        uint32_t item;
        int32_t result;
        const char* sound;
        std::pair<uint32_t, int32_t> painted; // the item's cell in layer 0 afterwards
    };
    for (const Case& c : {Case{"start", false, 0, 0, "play ses_001.wav", {0, 0}},
                          Case{"back", false, 3, 1, "play ses_001.wav", {tools::TITLE_SHEET_BACK, 0}},
                          Case{"escape", true, 3, 1, "play ses_002.wav", {tools::TITLE_SHEET_BACK, 0}}}) {
        SCOPED_TRACE(c.what);
        CTitleSP title;
        ASSERT_EQ(title.Setup(), 1);
        TakeOkCancelSounds();
        EXPECT_EQ(RunTitle(title, {c.escape ? Key(ESCAPE) : Click(AREAS, c.item)}), c.result);
        const auto sounds = TakeOkCancelSounds();
        ASSERT_FALSE(sounds.empty());
        EXPECT_EQ(sounds.back(), c.sound);
        // Start and back are drawn normal again before the screen closes.
        EXPECT_EQ(LayerZeroAt(Area(AREAS, c.item)), c.painted);
        EXPECT_EQ(State().Values[2].Integer, 0);
    }
}

TEST_F(CTitleSPThreadTest, ALoadUnwindingTheTitleLeavesTheLoadedStateAndTheBackgroundAlone)
{
    m_layer_zero->FillRect(0, 0, 1920, 1080, TITLE_TEST_LAYER_COLOUR, 1);
    State().Values[2] = ScriptValue::FromInteger(77);
    bool unwound = false;
    {
        CTitleSP title;
        title.Setup();
        RunSteps(title,
                 [&] {
                     try {
                         title.Register();
                     } catch (CVeskDoc::tagDOCUMENT_CODE) {
                         unwound = true;
                     }
                 },
                 {Wait(), [] { throw CVeskDoc::DOCUMENT_RESTORE_STACK; }});
    }
    EXPECT_TRUE(unwound);
    EXPECT_EQ(State().Values[2].Integer, 77);
    const tools::AreaRecord& button = Area(AREAS, 0);
    EXPECT_EQ(EffectPixel(*m_layer_zero, (button.left + button.right) / 2, (button.top + button.bottom) / 2),
              TITLE_TEST_LAYER_COLOUR);
}

TEST_F(CTitleSPThreadTest, GatesAndArrowKeys)
{
    CTitleSP title;
    title.Setup();
    TakeOkCancelSounds();
    const int32_t result = RunTitle(
        title, {[&] { EXPECT_EQ(ShownAt(Area(AREAS, 1)), std::make_pair(1u, 3)) << "continue disabled"; },
                [&] { EXPECT_EQ(ShownAt(Area(AREAS, 2)), std::make_pair(2u, 3)) << "load disabled"; },
                Click(AREAS, 1), Click(AREAS, 2), [&] { EXPECT_TRUE(TakeOkCancelSounds().empty()); },
                Key(SCAN_UP), [&] { EXPECT_EQ(title.GetHovered(), 1) << "up from the pointed item"; },
                Key(SCAN_UP), Key(SCAN_UP), [&] { EXPECT_EQ(title.GetHovered(), 0) << "up on item 0 stays"; },
                Key(SCAN_DOWN), Key(SCAN_DOWN), Key(SCAN_DOWN), Key(SCAN_DOWN),
                [&] { EXPECT_EQ(title.GetHovered(), 3) << "down on item 3 stays"; }});
    EXPECT_EQ(result, -99);
}

} // namespace
