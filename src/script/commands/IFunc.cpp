#include "script/commands/IFunc.h"

#include "foundation/CInputView.h"
#include "foundation/GameDocument.h"

IFunc::IFunc()
    : Document(GetGameDocument())
    , Context(Document->m_script_context.get())
    , InputView(GetInputView())
    , CurrentState(Document->m_current_state.get())
{}
