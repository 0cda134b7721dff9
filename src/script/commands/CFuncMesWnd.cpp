#include "script/commands/CFuncMesWnd.h"

#include "script/IScriptMessageWindow.h"
#include "script/ScriptScreenTable.h"
#include "script/vm/ScriptContext.h"

void CFuncMesWnd::Call(CScript&)
{
    const int32_t function = Context->PopInteger();
    IScriptMessageWindow* window = FindScriptMessageWindow();
    switch (function) {
    case 0:
        if (window != nullptr)
            window->ApplyWindowColor();
        break;
    case 1:
        if (window != nullptr)
            window->ResetTextArea();
        break;
    case 2: {
        const int32_t show = Context->PopInteger();
        if (window == nullptr)
            break;
        if (show == 1)
            window->Show();
        else
            window->Hide();
        break;
    }
    case 3: {
        const int32_t mode = Context->PopInteger();
        const int32_t number = Context->PopInteger();
        ScriptValue result = ScriptValue::FromInteger(0);
        if (window != nullptr)
            window->RunMessage(result, mode, number);
        Context->Push(result);
        break;
    }
    default:
        break;
    }
}
