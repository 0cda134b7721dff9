// The game work's screens in the script's screen table.

#include "app/ShellScriptScreens.h"

#include <memory>

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "screens/base/CMesWnd.h"
#include "screens/map/CAreaBase.h"
#include "script/IScriptMessageWindow.h"
#include "script/ScriptScreenTable.h"

// A screen the work replaces or frees is never reached: the table reads the work's pointer at
// each call, and an absent screen leaves the command's preset answer.
TEST(ShellScriptScreens, TheWorksScreensAreFoundThroughItsPointersAtEachCall)
{
    CGameWork* work = GetGameWork();
    work->ExchangeScreen(std::unique_ptr<CMesWnd>());
    work->ExchangeScreen(std::unique_ptr<CAreaBase>());
    EXPECT_EQ(FindScriptMessageWindow(), nullptr);

    work->ExchangeScreen(std::make_unique<CMesWnd>());
    EXPECT_EQ(FindScriptMessageWindow(), static_cast<IScriptMessageWindow*>(work->GetMessageWindow()));
    work->ExchangeScreen(std::make_unique<CMesWnd>());
    EXPECT_EQ(FindScriptMessageWindow(), static_cast<IScriptMessageWindow*>(work->GetMessageWindow()));
    work->ExchangeScreen(std::unique_ptr<CMesWnd>());
    EXPECT_EQ(FindScriptMessageWindow(), nullptr);

    ScriptValue answer = ScriptValue::FromInteger(5);
    EXPECT_TRUE(
        RunScriptScreen(ScriptScreen::AreaBase, &answer, ScriptScreenCall{{ScriptValue::FromInteger(1)}}));
    EXPECT_EQ(answer.Integer, 5);
}
