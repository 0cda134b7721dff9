#include "ScriptTestFixture.h"

#include <utility>

#include "app/AppMessageBox.h"
#include "mesasm/MesAssembler.h"
#include "mesasm/MesDisassembler.h"
#include "platform/kernel/WinTypes.h"
#include "script/ScriptState.h"

namespace {

std::vector<std::string> g_message_boxes;

} // namespace

std::vector<std::string> TakeMessageBoxes()
{
    return std::exchange(g_message_boxes, {});
}

ScriptTest::ScriptTest()
    : m_document(GetDocument())
{
    ClearScriptMembers();
    GetScriptState().m_current_state = std::make_unique<FlagBuffer>();
    GetScriptState().SaveDataTable = std::make_unique<ScriptValueTable>();
    GetScriptState().SaveDataSnapshot = std::make_unique<ScriptValueTable>();
    GetScriptState().m_script_context = std::make_unique<ScriptContext>();
    SetAppMessageBoxHook([](UINT, const CStringUTF8& text) {
        g_message_boxes.emplace_back(text.GetText());
        return 1;
    });
    TakeMessageBoxes();
}

ScriptTest::~ScriptTest()
{
    ClearScriptMembers();
    SetAppMessageBoxHook(nullptr);
    TakeMessageBoxes();
}

void ScriptTest::ClearScriptMembers()
{
    // The context first: its functions and branches hold scripts, its backlog snapshots read
    // the document.
    GetScriptState().m_script_context.reset();
    GetScriptState().m_current_script.reset();
    GetScriptState().m_script_stack.clear();
    GetScriptState().m_suspended_callers.clear();
    GetScriptState().m_resident_scripts.clear();
    GetScriptState().LocalFrameStack.clear();
    GetScriptState().MeasuredLineWidths.clear();
    GetScriptState().m_current_state.reset();
    GetScriptState().SaveDataTable.reset();
    GetScriptState().SaveDataSnapshot.reset();
}

ScriptRef ScriptTest::Assemble(const std::string& source, const char* name)
{
    const tools::AssembledScript assembled = tools::AssembleScript(source);
    EXPECT_TRUE(assembled.Ok) << assembled.Error;
    m_listing = tools::DisassembleScript(assembled.File);
    auto script = std::make_shared<CScript>();
    script->LoadImage(assembled.File, CStringUTF8(name));
    return script;
}

int ScriptTest::Run(const ScriptRef& script, int step_limit)
{
    GetScriptState().ReplaceScript(script);
    return RunFrames(step_limit);
}

int ScriptTest::RunFrames(int step_limit)
{
    int steps = 0;
    while (steps < step_limit && m_document->OnFrame() != 0)
        ++steps;
    return steps;
}

int ScriptTest::StepCurrent()
{
    try {
        std::shared_ptr<CScript> script = GetScriptState().m_current_script;
        GetScriptState().m_script_context->Step(*script);
    } catch (CVeskDoc::tagDOCUMENT_CODE code) {
        return static_cast<int>(code);
    }
    return -1;
}

std::vector<int32_t> ScriptTest::StackIntegers()
{
    std::vector<int32_t> integers;
    for (const ScriptValue& value : Stack())
        integers.push_back(value.Integer);
    return integers;
}
