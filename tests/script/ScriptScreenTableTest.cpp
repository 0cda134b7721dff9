// The table the shell fills with the screens script commands open.

#include "script/ScriptScreenTable.h"

#include <gtest/gtest.h>

#include "script/ScriptValue.h"

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
