#include "app/CVeskDoc.h"

#include <utility>

#include "app/CWinApp.h"
#include "graphics/CSpriteLayer.h"
#include "platform/kernel/SyncApi.h"
#include "script/FlagBuffer.h"
#include "script/ScriptValueTable.h"
#include "script/vm/CScript.h"
#include "script/vm/ScriptContext.h"

CVeskDoc::CVeskDoc() = default;

CVeskDoc::~CVeskDoc() = default;

void CVeskDoc::RegisterSpriteLayer(int32_t number, CSpriteLayer* layer)
{
    m_sprite_layers[number].reset(layer);
}

void CVeskDoc::UnregisterSpriteLayer(int32_t number)
{
    m_sprite_layers.erase(number);
}

CSpriteLayer* CVeskDoc::GetSpriteLayer(int32_t number)
{
    auto it = m_sprite_layers.find(number);
    return it == m_sprite_layers.end() ? nullptr : it->second.get();
}

uint32_t CVeskDoc::GetEngineStateWord()
{
    return m_current_state ? m_current_state->EngineStateWord() : 0;
}

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
        if (m_current_state)
            m_current_state->Name = script->GetName();
    }
}

void CVeskDoc::ReplaceScript(const std::shared_ptr<CScript>& script)
{
    m_suspended_callers.clear();
    std::erase_if(m_script_stack,
                  [](const std::shared_ptr<CScript>& stacked) { return !stacked->IsResident(); });
    m_current_script = script;
    m_script_stack.push_back(script);
}

uint32_t CVeskDoc::PopScript()
{
    // Scripts are shared: the one that ends may still be a suspended caller (a script function
    // whose body lies in its caller) and lives on through that reference.
    if (m_current_script && !m_current_script->IsResident()) {
        m_current_script.reset();
        if (!m_script_stack.empty())
            m_script_stack.pop_back();
    }
    if (m_suspended_callers.empty())
        return 0;
    SuspendedScript caller = std::move(m_suspended_callers.back());
    m_suspended_callers.pop_back();
    m_current_script = std::move(caller.Script);
    if (m_current_script)
        m_current_script->SetPosition(caller.Position);
    return m_current_script ? 1 : 0;
}

uint32_t CVeskDoc::OnFrame()
{
    // FIXME: the event tick runs first once the request dispatch is in.
    if (!m_current_script || !m_script_context)
        return 0;
    try {
        const std::shared_ptr<CScript> script = m_current_script; // stays alive through the step
        m_script_context->Step(*script);
        return 1;
    } catch (tagDOCUMENT_CODE code) {
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
            // FIXME: code 3 rebuilds the script stack from the save data once saves are in.
            return 1;
        }
    }
}

void CVeskDoc::RunNestedFrames(CScript& script)
{
    try {
        for (;;) {
            // Without an application object (tools, tests) there are no messages to pump.
            if (CWinApp* application = GetApp(); application && application->PumpMessage() == 0)
                return;
            Sleep(0);
            // FIXME: the event tick runs here once the request dispatch is in.
            m_script_context->Step(script);
        }
    } catch (tagDOCUMENT_CODE code) {
        if (code != DOCUMENT_SCRIPT_END)
            throw;
    }
}

void CVeskDoc::SaveScriptStack(ScriptValueTable& table)
{
    table.RemoveGroup(SCRIPT_STACK_GROUP);
    for (size_t i = 0; i < m_script_stack.size(); ++i) {
        const bool top = i + 1 == m_script_stack.size();
        ScriptValueArray record;
        record.SetKey(static_cast<uint32_t>(SCRIPT_STACK_GROUP) << 16 | static_cast<uint32_t>(i));
        record.Values.push_back(ScriptValue::FromText(m_script_stack[i]->GetName()));
        const int32_t position = top && m_current_state
                                     ? m_current_state->ResumePosition()
                                     : static_cast<int32_t>(m_script_stack[i]->GetPosition());
        record.Values.push_back(ScriptValue::FromInteger(position));
        record.Values.push_back(ScriptValue::FromInteger(top ? 1 : 0));
        table.Store(record);
    }
}

CVeskDoc* GetDocument()
{
    static auto* s_document = new CVeskDoc;
    return s_document;
}
