#include "script/commands/CFuncScript.h"

#include "foundation/GameDocument.h"
#include "script/ScriptState.h"
#include "script/vm/ScriptContext.h"

void CFuncScript::ReplaceByName(const CStringUTF8& name)
{
    ReplaceWith(GetScriptState().AttachScript(name));
}

void CFuncScript::ReplaceWith(const std::shared_ptr<CScript>& script)
{
    if (script)
        GetScriptState().ReplaceScript(script);
    Context->ValueStack.clear();
}

void CFuncScript::Call(CScript&)
{
    const int32_t sub = Context->PopInteger();
    if (sub < 0 || sub > 2)
        return;
    const CStringUTF8 name = Context->PopValue().Text;
    if (sub == 0) {
        ReplaceByName(name);
        return;
    }
    std::shared_ptr<CScript> script = GetScriptState().AttachScript(name);
    if (sub == 2) {
        script->SetResident();
        GetScriptState().m_resident_scripts.push_back(script);
    }
    GetScriptState().CallScript(script);
    if (sub == 1)
        Context->ValueStack.clear();
}
