// The least of a document for the interpreter benchmark: a game state and a script context;
// nothing in the measured loop reaches the script-stack operations.
#include "app/CInputView.h"
#include "app/CVeskDoc.h"
#include "script/FlagBuffer.h"
#include "script/ScriptValueTable.h"
#include "script/vm/ScriptContext.h"

int AppMessageBox(UINT, CStringUTF8)
{
    return 1;
}

CVeskDoc* GetDocument()
{
    static CVeskDoc* s_document = [] {
        auto* document = new CVeskDoc; // never destroyed: lives as long as the benchmark
        document->m_current_state = std::make_unique<FlagBuffer>();
        document->SaveDataTable = std::make_unique<ScriptValueTable>();
        document->SaveDataSnapshot = std::make_unique<ScriptValueTable>();
        document->m_script_context = std::make_unique<ScriptContext>();
        return document;
    }();
    return s_document;
}

CInputView* GetInputView()
{
    return nullptr;
}

CVeskDoc::CVeskDoc() = default;
CVeskDoc::~CVeskDoc() = default;

CStringUTF8 CVeskDoc::FormatScriptError(const CStringUTF8& message)
{
    return message;
}

void CVeskDoc::CallScript(const std::shared_ptr<CScript>& script)
{
    m_current_script = script;
}

void CVeskDoc::ReplaceScript(const std::shared_ptr<CScript>& script)
{
    m_current_script = script;
}

uint32_t CVeskDoc::PopScript()
{
    return 0;
}

uint32_t CVeskDoc::OnFrame()
{
    return 0;
}

void CVeskDoc::RunNestedFrames(CScript&) {}

void CVeskDoc::SaveScriptStack(ScriptValueTable&) {}
