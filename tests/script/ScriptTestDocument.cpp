#include "ScriptTestDocument.h"

#include <utility>

#include "app/CInputView.h"
#include "mesasm/MesAssembler.h"
#include "mesasm/MesDisassembler.h"
#include "platform/kernel/WinTypes.h"

namespace {

CVeskDoc* g_document = nullptr;
std::vector<std::string> g_message_boxes;

} // namespace

int AppMessageBox(UINT, CStringUTF8 text)
{
    g_message_boxes.emplace_back(text.GetText());
    return 1;
}

std::vector<std::string> TakeMessageBoxes()
{
    return std::exchange(g_message_boxes, {});
}

CVeskDoc* GetDocument()
{
    return g_document;
}

CInputView* GetInputView()
{
    return nullptr;
}

CVeskDoc::CVeskDoc() = default;

CVeskDoc::~CVeskDoc() = default;

CStringUTF8 CVeskDoc::FormatScriptError(const CStringUTF8& message)
{
    CStringUTF8 text;
    if (m_current_script)
        text.Format("%s(%u)\n%s", m_current_script->GetName().GetText(), m_current_script->Line,
                    message.GetText());
    else
        text.Format("%s", message.GetText());
    return text;
}

void CVeskDoc::CallScript(const std::shared_ptr<CScript>& script)
{
    m_suspended_callers.push_back(
        SuspendedScript{m_current_script ? m_current_script->GetPosition() : 0, m_current_script});
    m_current_script = script;
    script->ResetTables();
    if (!script->IsResident()) {
        m_script_stack.push_back(script);
        m_current_state->Name = script->GetName();
    }
}

void CVeskDoc::ReplaceScript(const std::shared_ptr<CScript>& script)
{
    m_suspended_callers.clear();
    std::erase_if(m_script_stack, [](const std::shared_ptr<CScript>& s) { return !s->IsResident(); });
    m_current_script = script;
    m_script_stack.push_back(script);
}

uint32_t CVeskDoc::PopScript()
{
    if (m_current_script && !m_current_script->IsResident()) {
        m_current_script.reset();
        if (!m_script_stack.empty())
            m_script_stack.pop_back();
    }
    if (m_suspended_callers.empty()) {
        m_current_script.reset();
        return 0;
    }
    SuspendedScript caller = std::move(m_suspended_callers.back());
    m_suspended_callers.pop_back();
    caller.Script->SetPosition(caller.Position);
    m_current_script = std::move(caller.Script);
    return 1;
}

uint32_t CVeskDoc::OnFrame()
{
    if (!m_current_script)
        return 0;
    try {
        std::shared_ptr<CScript> script = m_current_script;
        m_script_context->Step(*script);
        return 1;
    } catch (CVeskDoc::tagDOCUMENT_CODE code) {
        switch (code) {
        case DOCUMENT_QUIT:
            return 0;
        case DOCUMENT_SCRIPT_RETURN:
            if (!LocalFrameStack.empty())
                LocalFrameStack.pop_back();
            return PopScript();
        case DOCUMENT_SCRIPT_END:
            return PopScript();
        default:
            return 1;
        }
    }
}

void CVeskDoc::RunNestedFrames(CScript& script)
{
    try {
        for (;;)
            m_script_context->Step(script);
    } catch (CVeskDoc::tagDOCUMENT_CODE code) {
        if (code != DOCUMENT_SCRIPT_END)
            throw;
    }
}

void CVeskDoc::SaveScriptStack(ScriptValueTable& table)
{
    table.RemoveGroup(SCRIPT_STACK_GROUP);
    for (size_t i = 0; i < m_script_stack.size(); ++i) {
        ScriptValueArray record;
        record.SetKey(0xFFFF0000u | static_cast<uint32_t>(i));
        const bool top = i + 1 == m_script_stack.size();
        record.Values.push_back(ScriptValue::FromText(m_script_stack[i]->GetName()));
        record.Values.push_back(
            ScriptValue::FromInteger(top ? m_current_state->ResumePosition()
                                         : static_cast<int32_t>(m_script_stack[i]->GetPosition())));
        record.Values.push_back(ScriptValue::FromInteger(top ? 1 : 0));
        table.Store(record);
    }
}

ScriptTest::ScriptTest()
    : m_document(std::make_unique<CVeskDoc>())
{
    m_document->m_current_state = std::make_unique<FlagBuffer>();
    m_document->SaveDataTable = std::make_unique<ScriptValueTable>();
    m_document->SaveDataSnapshot = std::make_unique<ScriptValueTable>();
    g_document = m_document.get();
    m_document->m_script_context = std::make_unique<ScriptContext>();
    TakeMessageBoxes();
}

ScriptTest::~ScriptTest()
{
    m_document.reset();
    g_document = nullptr;
    TakeMessageBoxes();
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
    m_document->ReplaceScript(script);
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
        std::shared_ptr<CScript> script = m_document->m_current_script;
        m_document->m_script_context->Step(*script);
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
