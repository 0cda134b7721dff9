// The input script of headless runs: what each line becomes, and the lines it refuses whole.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/TestInput.h"

namespace {

using platform::ParseTestInputScript;
using platform::TestInputStep;
using Kind = TestInputStep::Kind;

TEST(TestInputTest, LinesBecomeStepsInTheirOrder)
{
    std::vector<TestInputStep> steps;
    std::string error;
    ASSERT_TRUE(ParseTestInputScript("# title\n"
                                     "10 key 0x0D\n"
                                     "\n"
                                     "20 click 300 540   # New game\n"
                                     "20 rclick 5 6\r\n"
                                     "30 wheel -2\n"
                                     "31 down 16\n"
                                     "32 up 16\n"
                                     "40 text 雪 です\n",
                                     steps, error))
        << error;
    ASSERT_EQ(steps.size(), 9u);
    EXPECT_EQ(steps[0].kind, Kind::KeyDown);
    EXPECT_EQ(steps[0].value, 13);
    EXPECT_TRUE(steps[0].released);
    // A click moves first, then presses where it moved.
    EXPECT_EQ(steps[1].kind, Kind::Move);
    EXPECT_FALSE(steps[1].released);
    EXPECT_EQ(steps[2].kind, Kind::ButtonDown);
    EXPECT_EQ(steps[2].value, 1);
    EXPECT_EQ(steps[2].at.x, 300);
    EXPECT_EQ(steps[2].at.y, 540);
    EXPECT_TRUE(steps[2].released);
    EXPECT_EQ(steps[4].value, 3);
    EXPECT_EQ(steps[5].kind, Kind::Wheel);
    EXPECT_EQ(steps[5].value, -2);
    EXPECT_FALSE(steps[6].released);
    EXPECT_EQ(steps[7].kind, Kind::KeyUp);
    EXPECT_EQ(steps[8].text, "雪 です");
    EXPECT_EQ(steps[8].turn, 40);
}

TEST(TestInputTest, ABadLineRefusesTheWholeScriptAndNamesTheLine)
{
    const struct
    {
        const char* script;
        const char* error;
    } cases[] = {
        {"5 key 13\nx key 13\n", "line 2: expected <turn> <action>"},
        {"5 key 13\n4 key 13\n", "line 2: turns must ascend"},
        {"5 jump 1\n", "line 1: unknown action 'jump'"},
        {"5 click 300\n", "line 1: bad arguments for 'click'"},
        {"5 move 1 2 3\n", "line 1: bad arguments for 'move'"},
        {"5 key 13x\n", "line 1: bad arguments for 'key'"},
        {"5 text\n", "line 1: bad arguments for 'text'"},
        {"5 wheel 99999999999\n", "line 1: bad arguments for 'wheel'"},
    };
    for (const auto& c : cases) {
        std::vector<TestInputStep> steps;
        std::string error;
        EXPECT_FALSE(ParseTestInputScript(c.script, steps, error)) << c.script;
        EXPECT_EQ(error, c.error) << c.script;
        EXPECT_TRUE(steps.empty()) << c.script;
    }
}

} // namespace
