#include "script/commands/IFunc.h"

#include "foundation/CInputView.h"
#include "foundation/GameDocument.h"
#include "script/ScriptState.h"

IFunc::IFunc()
    : Document(GetGameDocument())
    , Context(GetScriptState().m_script_context.get())
    , InputView(GetInputView())
    , CurrentState(GetScriptState().m_current_state.get())
{}
