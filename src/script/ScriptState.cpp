#include "script/ScriptState.h"

#include <algorithm>
#include <array>
#include <span>

#include "foundation/AppLink.h"
#include "foundation/CArchiveManager.h"
#include "foundation/CExecException.h"
#include "foundation/CString.h"
#include "foundation/CreationFault.h"
#include "foundation/GameDocument.h"
#include "foundation/InstalledSource.h"
#include "platform/kernel/IdleWait.h"
#include "platform/kernel/SyncApi.h"
#include "platform/kernel/TimeApi.h"
#include "script/FlagBuffer.h"
#include "script/ScriptValueTable.h"
#include "script/SelectManager.h"
#include "script/save/SaveStore.h"
#include "script/vm/CScript.h"
#include "script/vm/ScriptContext.h"

namespace {

InstalledSource<ScriptState> s_source;

} // namespace

ScriptState::ScriptState() = default;

ScriptState::~ScriptState() = default;

std::shared_ptr<CScript> ScriptState::AttachScript(const CStringUTF8& name)
{
    std::shared_ptr<CScript> script;
    if (!IsCreationFaultInjected("Failed to create the Script Object"))
        script = std::make_shared<CScript>();
    if (!script)
        throw CExecException("Failed to create the Script Object");
    // The shared archive closes with the last script, so the next attach opens it again.
    if (CScript::GetScriptArchive() == nullptr) {
        std::unique_ptr<CArchiveManager> archive = m_open_archive ? m_open_archive() : nullptr;
        if (archive == nullptr)
            throw CExecException("Failed to create the Script Archive");
        CScript::SetScriptArchive(std::move(archive));
    }
    try {
        script->Load(name);
    } catch (const CString& message) {
        CScript::GetScriptArchive()->CloseEntry();
        throw CExecException(FormatScriptError(message));
    } catch (const CExecException&) {
        // Raised by the script's own error report, which has named the script already.
        CScript::GetScriptArchive()->CloseEntry();
        throw;
    }
    return script;
}

void ScriptState::ReplaceScript(const std::shared_ptr<CScript>& script)
{
    m_suspended_callers.clear();
    std::erase_if(m_script_stack, [](const std::shared_ptr<CScript>& s) { return !s->IsEnded(); });
    m_current_script = script;
    m_script_stack.push_back(script);
    // The game state names its script, so that a flag file saved from it restarts there.
    if (m_current_state)
        m_current_state->Name = script->GetName();
}

void ScriptState::CallScript(const std::shared_ptr<CScript>& script)
{
    m_suspended_callers.push_back(
        SuspendedScript{m_current_script ? m_current_script->GetPosition() : 0, m_current_script});
    m_current_script = script;
    script->ResetTables();
    if (!script->IsEnded()) {
        m_script_stack.push_back(script);
        if (m_current_state)
            m_current_state->Name = script->GetName();
    }
}

uint32_t ScriptState::PopScript()
{
    if (m_current_script && !m_current_script->IsEnded()) {
        m_current_script.reset();
        if (!m_script_stack.empty())
            m_script_stack.pop_back();
    }
    if (m_suspended_callers.empty())
        return 0;
    SuspendedScript caller = std::move(m_suspended_callers.back());
    m_suspended_callers.pop_back();
    m_current_script = std::move(caller.Script);
    if (!m_current_script)
        return 0;
    m_current_script->SetPosition(caller.Position);
    return 1;
}

void ScriptState::RunNestedFrames(CScript& script)
{
    // The script's first opcode is due at once, and so is the caller's next turn once it ends:
    // neither loop's rest may wait for a note the other loop's last step made.
    platform::NoteDueTime(timeGetTime());
    struct NoteEnd
    {
        ~NoteEnd() { platform::NoteDueTime(timeGetTime()); }
    } note_end;
    try {
        for (;;) {
            AppLink* app = GetAppLink();
            if (app != nullptr && app->PumpMessage() == 0)
                return;
            Sleep(0);
            if (GameDocument* document = GetGameDocument())
                document->EventFlagOp(EVENT_FLAG_TICK, 0);
            const uint32_t position = script.GetPosition();
            m_script_context->Step(script);
            // As a frame's step: a script that moved on has its next opcode due now.
            if (script.GetPosition() != position)
                platform::NoteDueTime(timeGetTime());
        }
    } catch (GameDocument::tagDOCUMENT_CODE code) {
        if (code != GameDocument::DOCUMENT_SCRIPT_END)
            throw;
    }
}

void ScriptState::AttachAndRunScript(const uint8_t* code, uint32_t size)
{
    auto script = std::make_shared<CScript>();
    script->LoadCode(std::span<const uint8_t>(code, size), "Attach Script");
    RunNestedFrames(*script);
}

void ScriptState::SaveScriptStack(ScriptValueTable& table)
{
    table.RemoveGroup(SCRIPT_STACK_GROUP);
    for (size_t i = 0; i < m_script_stack.size(); ++i) {
        const bool top = i + 1 == m_script_stack.size();
        ScriptValueArray record;
        record.SetKey(SCRIPT_STACK_KEY | static_cast<uint32_t>(i));
        record.Values.push_back(ScriptValue::FromText(m_script_stack[i]->GetName()));
        const int32_t position = top && m_current_state
                                     ? m_current_state->ResumePosition()
                                     : static_cast<int32_t>(m_script_stack[i]->GetPosition());
        record.Values.push_back(ScriptValue::FromInteger(position));
        record.Values.push_back(ScriptValue::FromInteger(top ? 1 : 0));
        table.Store(record);
    }
}

void ScriptState::RestoreScriptStack(ScriptValueTable& table)
{
    for (uint32_t i = 0;; ++i) {
        const ScriptValueArray* record = table.Find(SCRIPT_STACK_KEY | i);
        if (record == nullptr || record->Values.size() < 3)
            return;
        // The record may move while scripts load; keep what is needed.
        const CStringUTF8 name = record->Values[0].Text;
        const int32_t position = record->Values[1].Integer;
        const bool top = record->Values[2].Integer != 0;
        std::shared_ptr<CScript> script = AttachScript(name);
        if (i == 0)
            ReplaceScript(script);
        else
            CallScript(script);
        if (!top)
            script->SetPosition(static_cast<uint32_t>(position));
    }
}

CStringUTF8 ScriptState::CheckScriptStack(const ScriptValueTable& table)
{
    CStringUTF8 reason;
    for (uint32_t i = 0;; ++i) {
        const ScriptValueArray* record = table.Find(SCRIPT_STACK_KEY | i);
        if (record == nullptr || record->Values.size() < 3)
            return reason;
        const CStringUTF8 name = record->Values[0].Text;
        const auto position = static_cast<uint32_t>(record->Values[1].Integer);
        const bool top = record->Values[2].Integer != 0;
        std::shared_ptr<CScript> script;
        try {
            script = AttachScript(name);
        } catch (const CExecException&) {
            return MissingScriptReason(name);
        }
        // The top script starts from its beginning; the others go on where they called.
        static constexpr std::array<const char*, 4> OUTSIDE = {
            "%s cannot go on from position %u: it lies outside the script.",
            "%s 的继续位置 %u 超出了脚本范围。",
            "%s 的繼續位置 %u 超出了腳本範圍。",
            "%s の続きの位置 %u がスクリプトの外です",
        };
        if (!top && position > script->GetCodeSize())
            return reason.Format(SaveStore::InPlayerLanguage(OUTSIDE), name.GetText(), position);
    }
}

CStringUTF8 ScriptState::MissingScriptReason(const CStringUTF8& name)
{
    static constexpr std::array<const char*, 4> TEXTS = {
        "The script %s is missing.",
        "缺少脚本 %s。",
        "缺少腳本 %s。",
        "スクリプト %s がありません",
    };
    CStringUTF8 reason;
    return reason.Format(SaveStore::InPlayerLanguage(TEXTS), name.GetText());
}

void ScriptState::RestoreTopScriptPosition()
{
    if (!SaveDataTable || !m_current_script)
        return;
    for (size_t i = 0; i < SaveDataTable->GetCount(); ++i) {
        const ScriptValueArray& record = SaveDataTable->GetAt(i);
        if (record.Group != SCRIPT_STACK_GROUP || record.Values.size() < 3 || record.Values[2].Integer == 0)
            continue;
        m_current_script->JumpToTableA(static_cast<uint32_t>(record.Values[1].Integer));
    }
}

CStringUTF8 ScriptState::FormatScriptError(const CStringUTF8& message) const
{
    CStringUTF8 text;
    if (m_current_script)
        text.Format("%s(%u)\n%s", m_current_script->GetName().GetText(), m_current_script->Line,
                    message.GetText());
    else
        text.Format("%s", message.GetText());
    return text;
}

void ScriptState::Clear()
{
    if (m_script_context) {
        m_script_context->Release();
        m_script_context.reset();
    }
    m_current_state.reset();
    LocalFrameStack.clear();
    m_select_manager.reset();
    SaveDataTable.reset();
    SaveDataSnapshot.reset();
    m_suspended_callers.clear();
    m_current_script.reset();
    m_script_stack.clear();
    m_resident_scripts.clear();
}

ScriptState& GetScriptState()
{
    if (ScriptState* object = s_source.Get())
        return *object;
    static ScriptState unowned;
    return unowned;
}

void SetScriptStateSource(ScriptState* (*source)())
{
    s_source.Set(source);
}
