// The choice, shake, screen, script and interface groups driven by assembled scripts over a
// started game: what each sub-function pops and pushes, the choice lists and the jump back to the
// last choice, the shaken layer, the fade sprite's reveals under their conditions, the script
// switches and the input waits with their skip-mode rules.

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "GroupTestFixture.h"
#include "app/CGameWork.h"
#include "arcpack/ArchiveWriter.h"
#include "foundation/CInputView.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "mapwrite/MapTableWriter.h"
#include "platform/kernel/TimeApi.h"
#include "screens/base/CNormalSelect2.h"
#include "script/ScriptState.h"
#include "script/SelectManager.h"
#include "support/ThreadTest.h"

namespace {

class ControlGroupsThreadTest : public ThreadTestOn<GroupTest>
{
protected:
    ControlGroupsThreadTest()
    {
        GameFiles files;
        files.scripts = {{"callee.mes", "push 77\nstvalue 4\nend"}};
        // The demo's story tables, whose texts the demo's choice scene shows.
        for (const char* language : {"", "_en", "_cn", "_tw"}) {
            std::ifstream listing(std::string(std::getenv("VESK_SOURCE_DIR")) + "/demo/text/story" +
                                  language + ".txt");
            const std::string text((std::istreambuf_iterator<char>(listing)),
                                   std::istreambuf_iterator<char>());
            files.data.push_back({tools::UpperCaseName(std::string("story") + language + ".map"),
                                  tools::BuildMapTable(tools::ParseMapListing(text))});
        }
        StartGame(std::move(files));
    }

    int32_t Value(size_t index) { return State().Values[index].Integer; }
    CFadeSprite& Fade() { return *GetSpriteLayerRegistry().GetFadeSprite(); }
};

struct StackCase
{
    const char* source;
    std::vector<int32_t> stack; // after "push 100, push 200" and the source
};

TEST_F(ControlGroupsThreadTest, SubFunctionsPopAndPushWhatTheyList)
{
    const StackCase cases[] = {
        {"lib 1, 3", {100, 200}},          {"lib 1, 4", {100, 200}},     {"lib 1, 5", {100, 200}},
        {"lib 1, 6, 55", {100, 200}},      {"lib 1, 7, 55", {100, 200}}, {"lib 1, 9", {100, 200}},
        {"lib 1, 1", {100, 200}},          {"lib 3, 0", {100, 200}},     {"lib 3, 7", {100, 200}},
        {"lib 20, 4", {100, 200, 0}},      {"lib 20, 5", {100, 200}},    {"lib 26, 5, 55", {100, 200, 0}},
        {"lib 26, 1, 259", {100, 200, 0}}, {"lib 26, -1", {100, 200}},   {"lib 26, 6", {100, 200}},
        {"lib 26, 2", {100, 200}},         {"lib 26, 3", {100, 200}},    {"lib 28, 2", {100, 200}},
        {"lib 21, 3", {100, 200}},
    };
    for (const StackCase& c : cases) {
        SelectManager& list = *GetScriptState().m_select_manager;
        list.Buffers.clear();
        list.Buffers.push_back(std::make_unique<SelectBuffer>());
        list.Buffers.push_back(std::make_unique<SelectBuffer>());
        RunSource(std::string("push 100\npush 200\n") + c.source + "\nend");
        EXPECT_EQ(StackIntegers(), c.stack) << c.source;
        const size_t snapshots = std::string(c.source) == "lib 1, 1" ? 0 : 2;
        EXPECT_EQ(list.Buffers.size(), snapshots) << c.source;
        Stack().clear();
    }
    EXPECT_TRUE(TakeMessageBoxes().empty());
}

TEST_F(ControlGroupsThreadTest, AReusedChoiceKeyStartsEmptyAndTheWindowAnswersFromIt)
{
    // The one plate of the window is centred above the message window; Enter picks it once the
    // window has faded in.
    m_mouse.position = {960, 386};
    m_app.on_pump = [this, shown_at = -1](int pumps) mutable {
        if (shown_at < 0) {
            if (GetGameWork()->GetChoiceWindow()->IsShown() != 0)
                shown_at = pumps;
            return;
        }
        if (pumps - shown_at == 1000)
            m_keyboard.down.insert(SCAN_ENTER);
        if (pumps - shown_at == 1010)
            m_keyboard.down.erase(SCAN_ENTER);
    };
    RunSource(R"(
        lib 1, 0, 7
        branch 3, second
        end
second: branch 4, again
        end
again:  lib 1, 0, 7
        branch 9, run
        end
run:    lib 1, 2
        end)");
    EXPECT_EQ(Context().CurrentChoiceKey, 7);
    ASSERT_EQ(Context().ChoiceBranches[7].size(), 1u);
    EXPECT_EQ(Context().ChoiceBranches[7][0].Value, 9);
    EXPECT_EQ(StackIntegers(), std::vector<int32_t>{10});
    m_app.on_pump = nullptr;
}

TEST_F(ControlGroupsThreadTest, DemoChoiceSceneTurnsThePageAndTakesTheBranchPicked)
{
    std::ifstream file(std::string(std::getenv("VESK_SOURCE_DIR")) + "/demo/script/scene_choice.mes");
    const std::string scene((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(scene.empty());
    // Once the window has faded in: Enter over the next arrow, then over page 1's one plate, then
    // on through the line that answers the choice.
    m_app.on_pump = [this, shown_at = -1](int pumps) mutable {
        if (shown_at < 0) {
            if (GetGameWork()->GetChoiceWindow()->IsShown() != 0)
                shown_at = pumps;
            return;
        }
        const int since = pumps - shown_at;
        if (since == 1000)
            m_mouse.position = {960, 662};
        if (since == 3000)
            m_mouse.position = {960, 218};
        if (since == 1010 || since == 3010)
            m_keyboard.down.insert(SCAN_ENTER);
        if (since == 1020 || since == 3020)
            m_keyboard.down.erase(SCAN_ENTER);
        // Then Enter again now and then: the line after the choice waits for it.
        if (since > 3020 && since % 1000 == 10)
            m_keyboard.down.insert(SCAN_ENTER);
        if (since > 3020 && since % 1000 == 20)
            m_keyboard.down.erase(SCAN_ENTER);
    };
    // The story's and the choice's text sprites and the system flag file, as the game has them.
    RunSource(
        "lib 19, 0, 100, 1920, 280, 20, 0\nlib 19, 0, 101, 1920, 864, 0, 0\nlib 14, 0, 16, 4, 31600, 96\n"
        "lib 14, 2, 0\n" +
        scene);
    m_app.on_pump = nullptr;
    EXPECT_EQ(GetGameWork()->GetChoiceWindow()->GetPage(), 1);
    EXPECT_EQ(State().Variables[90].Integer, 9); // the ninth place: value 8 + 1
    EXPECT_EQ(State().Variables[91].Integer, 8);
    EXPECT_EQ(State().Variables[38].Integer, 0); // the choices' text ids put back
    ASSERT_EQ(GetScriptState().m_select_manager->Buffers.size(), 1u);
    EXPECT_THAT(TakeMessageBoxes(), ::testing::IsEmpty());
}

TEST_F(ControlGroupsThreadTest, GoingBackToTheChoiceJumpsThroughTheChoiceTable)
{
    RunSource(R"(
        .choice back
        choicepoint 0
        lib 1, 8
        push 111
        stvalue 2
        end
back:   push 222
        stvalue 3
        end)");
    EXPECT_EQ(Value(2), 0);
    EXPECT_EQ(Value(3), 222);
}

TEST_F(ControlGroupsThreadTest, ShakeMovesLayerZeroForEachStepAndPutsItBack)
{
    auto* layer = new CSpriteLayer;
    layer->Create(0, 0, 4, 4, -1);
    GetSpriteLayerRegistry().RegisterSpriteLayer(0, layer);
    const DWORD start = timeGetTime();
    RunSource("lib 3, 1, 4, -4\nend");
    EXPECT_EQ(layer->GetPosition().x, 4);
    EXPECT_EQ(layer->GetPosition().y, -4);
    EXPECT_GE(timeGetTime() - start, static_cast<DWORD>(28));
    RunSource("lib 3, 2\nend");
    EXPECT_EQ(layer->GetPosition().x, 0);
    EXPECT_EQ(layer->GetPosition().y, 0);

    GetSpriteLayerRegistry().UnregisterSpriteLayer(0);
    const int pumps = Pumps();
    RunSource("push 1\nlib 3, 1, 4, -4\nlib 3, 2\nend");
    EXPECT_EQ(StackIntegers(), std::vector<int32_t>{1});
    EXPECT_EQ(Pumps(), pumps) << "nothing to shake, nothing to wait for";
}

TEST_F(ControlGroupsThreadTest, RevealsRunOnlyOverAShownFadeSprite)
{
    const int pumps = Pumps();
    RunSource("lib 20, 1, 100\nlib 20, 3, 1, 100\nlib 20, 4\nend");
    EXPECT_EQ(StackIntegers(), std::vector<int32_t>{0});
    EXPECT_EQ(Pumps(), pumps);
    Stack().clear();

    // A fade to a colour over a negative time ends shown and opaque at once.
    RunSource("lib 20, 0, 0x102030, -5\nlib 20, 4\nend");
    EXPECT_EQ(StackIntegers(), std::vector<int32_t>{1});
    EXPECT_EQ(Fade().GetAlpha(), 255);
    Stack().clear();

    RunSource("lib 20, 1, -100\nlib 20, 4\nend");
    EXPECT_EQ(StackIntegers(), std::vector<int32_t>{0});
    EXPECT_EQ(Fade().GetAlpha(), 0) << "faded to clear";
    EXPECT_LT(Pumps() - pumps, 100);
    Stack().clear();

    Fade().SetVisibleFlag(1);
    RunSource("lib 20, 3, 1, -100\nlib 20, 4\nend");
    EXPECT_EQ(StackIntegers(), std::vector<int32_t>{0});
}

TEST_F(ControlGroupsThreadTest, SceneSkipLeavesTheFadeAloneButStillAnswers)
{
    m_app.Config().SetInt("/Config/SceneSkip", 1);
    Fade().SetVisibleFlag(1);
    Fade().SetAlpha(128);
    const int pumps = Pumps();
    RunSource(R"(
        push 5
        lib 20, 0, 0xFF0000, 10
        lib 20, 1, 10
        lib 20, 2, 0, 1, 10
        lib 20, 3, 1, 10
        lib 20, 4
        end)");
    EXPECT_EQ(StackIntegers(), (std::vector<int32_t>{5, 1}));
    EXPECT_EQ(Fade().GetAlpha(), 128);
    EXPECT_EQ(Pumps(), pumps);
    Fade().SetVisibleFlag(0);
}

TEST_F(ControlGroupsThreadTest, ScriptSwitchesEmptyTheStackExceptTheResidentCall)
{
    struct Case
    {
        int sub;
        std::vector<int32_t> stack;
        int32_t caller_went_on; // Values[6]
        size_t residents;
    };
    const Case cases[] = {{0, {}, 0, 0}, {1, {}, 9, 0}, {2, {5, 6}, 9, 1}};
    for (const Case& c : cases) {
        State().Values[4] = ScriptValue::FromInteger(0);
        State().Values[6] = ScriptValue::FromInteger(0);
        GetScriptState().m_resident_scripts.clear();
        RunSource("push 5\npush 6\nlib 21, " + std::to_string(c.sub) +
                  ", \"callee.mes\"\npush 9\nstvalue 6\nend");
        EXPECT_EQ(StackIntegers(), c.stack) << c.sub;
        EXPECT_EQ(Value(4), 77) << "the callee ran, sub " << c.sub;
        EXPECT_EQ(Value(6), c.caller_went_on) << c.sub;
        ASSERT_EQ(GetScriptState().m_resident_scripts.size(), c.residents) << c.sub;
        if (c.residents != 0) {
            EXPECT_TRUE(GetScriptState().m_resident_scripts[0]->IsResident());
        }
        Stack().clear();
    }
}

TEST_F(ControlGroupsThreadTest, InterfaceInputsAndExtraWords)
{
    m_keyboard.down = {SCAN_LEFT_CONTROL};
    RunSource("lib 26, 1, 259\nlib 26, 4, 7\nend");
    EXPECT_EQ(StackIntegers(), std::vector<int32_t>{1});
    EXPECT_EQ(GetInputView()->GetExtraInput(0), 1);
    EXPECT_EQ(GetInputView()->GetExtraInput(1), 1);
    RunSource("lib 26, 4, 0\nend");
    EXPECT_EQ(GetInputView()->GetExtraInput(0), 0);
    EXPECT_EQ(GetInputView()->GetExtraInput(1), 0);
}

TEST_F(ControlGroupsThreadTest, InputWaitFollowsTheSkipModeRule)
{
    struct Case
    {
        const char* name;
        bool skip_mode;
        int32_t time;
        int press_ok_at; // pump at which Enter goes down (and up 10 pumps later); 0 never
        int min_pumps;
        int max_pumps;
        DWORD min_ms;
    };
    const Case cases[] = {
        {"click wait, Ctrl outside skip mode", false, 0, 0, 0, 1, 0},
        {"click wait, Ctrl in skip mode", true, 0, 30, 40, 42, 0},
        {"timed wait, Ctrl outside skip mode", false, 100, 0, 0, 0, 0},
        {"timed wait, Ctrl in skip mode", true, 100, 0, 1, 200, 100},
    };
    for (const Case& c : cases) {
        m_keyboard.down = {SCAN_LEFT_CONTROL};
        if (c.skip_mode)
            Document().SetEngineStateBits(ENGINE_STATE_SKIP_MODE);
        else
            Document().ClearEngineStateBits(ENGINE_STATE_SKIP_MODE);
        const int start_pumps = Pumps();
        m_app.on_pump = [&, c](int pumps) {
            if (c.press_ok_at == 0)
                return;
            if (pumps - start_pumps == c.press_ok_at)
                m_keyboard.down.insert(SCAN_ENTER);
            if (pumps - start_pumps == c.press_ok_at + 10)
                m_keyboard.down.erase(SCAN_ENTER);
        };
        const DWORD start = timeGetTime();
        RunSource("lib 26, 0, " + std::to_string(c.time) + "\nend");
        EXPECT_GE(Pumps() - start_pumps, c.min_pumps) << c.name;
        EXPECT_LE(Pumps() - start_pumps, c.max_pumps) << c.name;
        EXPECT_GE(timeGetTime() - start, c.min_ms) << c.name;
    }
    m_app.on_pump = nullptr;
    Document().ClearEngineStateBits(ENGINE_STATE_SKIP_MODE);
}

} // namespace
