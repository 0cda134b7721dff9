// The table the shell and the screens fill with the screens script commands open and drive.

#include "script/ScriptScreenTable.h"

#include <vector>

#include <gtest/gtest.h>

#include "script/IScriptMessageScreen.h"
#include "script/IScriptMessageWindow.h"
#include "script/ScriptValue.h"
#include "script/vm/CScript.h"

TEST(ScriptScreenTable, RunsTheRegisteredScreenAndNothingOnceItIsRemoved)
{
    ScriptValue answer = ScriptValue::FromInteger(-1);
    RegisterScriptScreen(ScriptScreen::Choice, nullptr);
    EXPECT_FALSE(RunScriptScreen(ScriptScreen::Choice, &answer));
    EXPECT_EQ(answer.Integer, -1);

    RegisterScriptScreen(ScriptScreen::Choice, [](const ScriptScreenCall&, ScriptValue* out) {
        *out = ScriptValue::FromInteger(3);
    });
    EXPECT_TRUE(RunScriptScreen(ScriptScreen::Choice, &answer));
    EXPECT_EQ(answer.Integer, 3);

    // A screen torn down while it runs (a soft reset from inside the choice) finishes its call.
    int calls = 0;
    RegisterScriptScreen(ScriptScreen::Choice, [&calls](const ScriptScreenCall&, ScriptValue*) {
        RegisterScriptScreen(ScriptScreen::Choice, nullptr);
        ++calls;
    });
    EXPECT_TRUE(RunScriptScreen(ScriptScreen::Choice, &answer));
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(RunScriptScreen(ScriptScreen::Choice, &answer));
}

TEST(ScriptScreenTable, TheScreenGetsWhatTheCommandPoppedAndTheScript)
{
    std::vector<int32_t> integers;
    CStringUTF8 text;
    const CScript* seen = nullptr;
    RegisterScriptScreen(ScriptScreen::MiniGame, [&](const ScriptScreenCall& call, ScriptValue*) {
        integers = {call.IntegerAt(0), call.IntegerAt(2), call.IntegerAt(3)};
        text = call.TextAt(1);
        seen = call.Script;
    });
    CScript script;
    EXPECT_TRUE(RunScriptScreen(ScriptScreen::MiniGame, nullptr,
                                ScriptScreenCall{{ScriptValue::FromInteger(4), ScriptValue::FromText("hit"),
                                                  ScriptValue::FromInteger(9)},
                                                 &script}));
    RegisterScriptScreen(ScriptScreen::MiniGame, nullptr);
    // Past the popped values a screen reads 0 and an empty text, never beyond the list.
    EXPECT_EQ(integers, (std::vector<int32_t>{4, 9, 0}));
    EXPECT_STREQ(text.GetText(), "hit");
    EXPECT_EQ(seen, &script);
}

TEST(ScriptScreenTable, WithoutTheShellThereIsNoWindowAndNoMessageScreen)
{
    RegisterScriptMessageWindow(nullptr);
    RegisterScriptMessageScreen(nullptr);
    EXPECT_EQ(FindScriptMessageWindow(), nullptr);
    EXPECT_EQ(MakeScriptMessageScreen(), nullptr);
}
