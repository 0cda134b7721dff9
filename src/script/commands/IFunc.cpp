#include "script/commands/IFunc.h"

#include "app/CVeskDoc.h"
#include "foundation/CInputView.h"

IFunc::IFunc()
    : Document(GetDocument())
    , Context(Document->m_script_context.get())
    , InputView(GetInputView())
    , CurrentState(Document->m_current_state.get())
{}
