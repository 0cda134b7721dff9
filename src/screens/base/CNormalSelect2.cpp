#include "screens/base/CNormalSelect2.h"

#include "app/CVeskDoc.h"
#include "script/vm/ScriptContext.h"

void CNormalSelect2::ModalLoop()
{
    Result = ScriptValue::FromInteger(-1);
    ScriptContext* context = GetDocument()->m_script_context.get();
    if (context == nullptr)
        return;
    auto found = context->ChoiceBranches.find(context->CurrentChoiceKey);
    if (found != context->ChoiceBranches.end() && !found->second.empty())
        Result = ScriptValue::FromInteger(found->second.front().Value);
}
