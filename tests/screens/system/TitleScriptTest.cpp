// A title scene run by the document's frames over the title screens: every answer reaches the
// script, which shows the title again until a game is started.

#include <string>

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "screens/system/CTitle.h"
#include "screens/system/CTitleSP.h"
#include "screens/system/TitleFixture.h"
#include "script/FlagBuffer.h"
#include "sheetgen/SheetGenerator.h"

namespace {

constexpr uint32_t ESCAPE = 1;
constexpr uint32_t ENTER = 28;

// The title until a game starts (answer 0); every other answer shows it again.
std::string TitleScene()
{
    return R"(
        line 1
        lib 25, 0, "/Config/Demo/SkipTitle", 0
        jz shown
        end
shown:
        lib 14, 6, 0, 53, 5
        lib 19, 10, 0
        lib 29, 31
again:  line 2
        lib 29, 28, 0
        jz started
        jmp again
started:
        end
)";
}

class TitleScriptThreadTest : public TitleFixture
{
protected:
    // How many times a title screen of the type was on top of the active screens at a step.
    template <typename Screen>
    std::function<void()> CountOpen(int& count)
    {
        return [&count] {
            const auto& active = GetGameWork()->GetActiveScreens();
            if (!active.empty() && dynamic_cast<Screen*>(active.back()) != nullptr)
                ++count;
        };
    }
};

TEST_F(TitleScriptThreadTest, EveryAnswerReachesTheSceneWhichShowsTheTitleUntilAGameStarts)
{
    const std::string scene = TitleScene();
    ASSERT_NE(scene.find("lib 29, 28"), std::string::npos);
    const auto main = tools::TitleAreas(0);
    const auto page_1 = tools::TitleAreas(1);
    const auto page_3 = tools::TitleAreas(3);
    const auto page_4 = tools::TitleAreas(4);
    State().Flags[1898] = 1;
    int shown = 0;
    std::vector<std::function<void()>> steps(5, Wait()); // the animation: 320 and 64 ticks
    for (const auto& more : std::vector<std::vector<std::function<void()>>>{
             {CountOpen<CTitle>(shown), Click(main, 4), Click(page_1, 0)},                   // 0x101
             {CountOpen<CTitle>(shown), Click(main, 4), Click(page_1, 1), Click(page_1, 1)}, // 0x103
             // The pointer rests on page 1's item 2: down to 3, up to 2, Enter opens page 3.
             {CountOpen<CTitle>(shown), Click(main, 4), Key(SCAN_DOWN), Key(SCAN_UP), Key(ENTER),
              Click(page_3, 1)}, // 0x106
             {CountOpen<CTitle>(shown), [this] { State().Flags[2026] = 1; }, Click(main, 0), Key(ESCAPE),
              Click(main, 0), Click(page_4, 1)}}) // back from page 4, then a start in mode 1
        steps.insert(steps.end(), more.begin(), more.end());
    RunScript(scene, steps);
    EXPECT_EQ(shown, 4) << "the title came back after each answer of a sub-page";
    EXPECT_EQ(GetGameWork()->GetActiveScreens().size(), 1u)
        << "the scene ended with the start; the plate stays";
    EXPECT_EQ(State().Values[13].Integer, 1);
    EXPECT_EQ(State().Values[2].Integer, 4);

    // The command takes the start page and pushes the answer, leaving the stack below alone.
    RunScript("push 777\nlib 29, 28, 1\nstvalue 3\nstvalue 4\nend\n", {Wait(), Click(page_1, 0)});
    EXPECT_EQ(State().Values[3].Integer, 0x101);
    EXPECT_EQ(State().Values[4].Integer, 777);
}

TEST_F(TitleScriptThreadTest, TheSpecialTitleAnswersTheSceneInTheSecondScenario)
{
    State().SetSpMode(1);
    const auto areas = tools::TitleAreas(-1);
    int shown = 0;
    std::vector<std::function<void()>> steps(5, Wait());
    for (const auto& step : {CountOpen<CTitleSP>(shown), Click(areas, 3), Wait(), CountOpen<CTitleSP>(shown),
                             Key(ESCAPE), Wait(), CountOpen<CTitleSP>(shown), Click(areas, 0)})
        steps.push_back(step);
    RunScript(TitleScene(), steps);
    EXPECT_EQ(shown, 3) << "back and cancel (answer 1) bring the special title back";
    EXPECT_EQ(GetGameWork()->GetActiveScreens().size(), 1u) << "only the plate, listed at start-up";
    // The page argument is not the special title's: a start answers 0 whatever was pushed.
    State().Values[2] = ScriptValue::FromInteger(9);
    RunScript("push 777\nlib 29, 28, 5\nstvalue 3\nstvalue 4\nend\n", {Wait(), Click(areas, 0)});
    EXPECT_EQ(State().Values[3].Integer, 0);
    EXPECT_EQ(State().Values[4].Integer, 777);
    EXPECT_EQ(State().Values[2].Integer, 0);
}

} // namespace
