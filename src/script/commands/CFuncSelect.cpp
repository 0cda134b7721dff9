#include "script/commands/CFuncSelect.h"

#include "foundation/GameDocument.h"
#include "script/FlagBuffer.h"
#include "script/ScriptScreenTable.h"
#include "script/ScriptState.h"
#include "script/SelectManager.h"
#include "script/vm/ScriptContext.h"

void CFuncSelect::Call(CScript&)
{
    const int32_t sub = Context->PopInteger();
    switch (sub) {
    case 0: {
        const int32_t key = Context->PopInteger();
        Context->CurrentChoiceKey = key;
        Context->ChoiceBranches[key].clear();
        break;
    }
    case 1:
        if (GetScriptState().m_select_manager)
            ClearSelectBuffers(*GetScriptState().m_select_manager);
        break;
    case 2: {
        ScriptValue result = ScriptValue::FromInteger(-1);
        RunScriptScreen(ScriptScreen::Choice, &result);
        Context->Push(result);
        break;
    }
    case 6:
    case 7:
        Context->PopValue();
        break;
    case 8:
        GetScriptState().RestoreTopScriptPosition();
        if (GetScriptState().m_current_script && CurrentState != nullptr)
            GetScriptState().m_current_script->JumpToTableB(static_cast<uint32_t>(CurrentState->ChoicePosition()));
        break;
    default:
        break;
    }
}
