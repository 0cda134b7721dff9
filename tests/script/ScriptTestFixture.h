#pragma once
// A fixture for the script tests: fresh script members of the document for each test, recorded
// message boxes, and helpers that assemble and run scripts.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/CVeskDoc.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/vm/CScript.h"
#include "script/vm/ScriptContext.h"

// Texts shown by AppMessageBox since the last Take.
std::vector<std::string> TakeMessageBoxes();

class ScriptTest : public ::testing::Test
{
protected:
    ScriptTest();
    ~ScriptTest() override;

    // Assembles the source (failing the test on an error) into a loaded script.
    ScriptRef Assemble(const std::string& source, const char* name = "test.mes");
    // Makes the script the only one and runs frames until the game loop would end or the limit
    // of steps is reached; answers the number of steps taken.
    int Run(const ScriptRef& script, int step_limit = 10'000);
    int RunFrames(int step_limit = 10'000);
    // One step of the current script; the document code it threw, or -1.
    int StepCurrent();

    CVeskDoc& Document() { return *m_document; }
    ScriptContext& Context() { return *GetScriptState().m_script_context; }
    FlagBuffer& State() { return *GetScriptState().m_current_state; }
    std::vector<ScriptValue>& Stack() { return Context().ValueStack; }
    std::vector<int32_t> StackIntegers();
    void ClearScriptMembers();

    CVeskDoc* m_document;  // the process's document; its script members are fresh for each test
    std::string m_listing; // disassembly of the last assembled script, for failure messages
};
