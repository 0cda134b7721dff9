// The exec commands on the story's message window and on the script's own message screen.

#include "script/exec/CFuncExec.h"

#include <algorithm>

#include "script/IScriptMessageScreen.h"
#include "script/IScriptMessageWindow.h"
#include "script/ScriptScreenTable.h"
#include "script/vm/ScriptContext.h"

void CFuncExec::MessageWindow()
{
    const int32_t sub = Context->PopInteger();
    IScriptMessageWindow* window = FindScriptMessageWindow();
    switch (sub) {
    case 10:
        if (window != nullptr)
            window->ClearTextArea();
        return;
    case 11:
        if (window != nullptr)
            window->Hide();
        return;
    case 14:
        if (window != nullptr)
            window->HideSprites();
        return;
    case 15: {
        const int32_t face = std::max(Context->PopInteger() - 1, 0);
        if (window != nullptr)
            window->ShowFace(face);
        return;
    }
    case 16:
        if (window != nullptr)
            window->HideFace();
        return;
    case 28:
        RunScriptScreen(ScriptScreen::StatusPlateShow, nullptr);
        return;
    case 29:
        RunScriptScreen(ScriptScreen::StatusPlateHide, nullptr);
        return;
    case 30:
        RunScriptScreen(ScriptScreen::StatusPlateCalendar, nullptr);
        return;
    default:
        return;
    }
}

void CFuncExec::MessageScreen()
{
    const int32_t sub = Context->PopInteger();
    switch (sub) {
    case 0:
        m_message_screen.reset();
        m_message_screen = MakeScriptMessageScreen();
        return;
    case 1:
        if (m_message_screen != nullptr)
            m_message_screen->ResetTextArea();
        return;
    case 2:
        if (m_message_screen != nullptr)
            m_message_screen->Show();
        return;
    case 3: {
        const int32_t mode = Context->PopInteger();
        const CStringUTF8 text = Context->PopValue().Text;
        return PushResult(m_message_screen != nullptr ? m_message_screen->RunText(mode, text) : 0);
    }
    case 4:
        m_message_screen.reset();
        return;
    default:
        return;
    }
}
