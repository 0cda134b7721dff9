#include "script/commands/CFuncScript.h"

#include "foundation/GameDocument.h"
#include "script/vm/ScriptContext.h"

void CFuncScript::ReplaceByName(const CStringUTF8& name)
{
    ReplaceWith(Document->AttachScript(name));
}

void CFuncScript::ReplaceWith(const std::shared_ptr<CScript>& script)
{
    if (script)
        Document->ReplaceScript(script);
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
    std::shared_ptr<CScript> script = Document->AttachScript(name);
    if (sub == 2) {
        script->SetResident();
        Document->m_resident_scripts.push_back(script);
    }
    Document->CallScript(script);
    if (sub == 1)
        Context->ValueStack.clear();
}
