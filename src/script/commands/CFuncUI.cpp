#include "script/commands/CFuncUI.h"

#include "foundation/CInputView.h"
#include "foundation/GameDocument.h"
#include "foundation/MainView.h"
#include "foundation/WaitPass.h"
#include "platform/user/MenuApi.h"
#include "platform/user/WindowApi.h"
#include "script/commands/ScriptWaits.h"
#include "script/vm/ScriptContext.h"

namespace {

HWND MainWindow()
{
    return GetMainView().GetMainWindow();
}

} // namespace

bool CFuncUI::InSkipMode()
{
    return (Document->GetEngineStateWord() & ENGINE_STATE_SKIP_MODE) != 0;
}

bool CFuncUI::IsActive(uint32_t action)
{
    return InputView->IsActionTriggered(action, 0) != 0;
}

void CFuncUI::Call(CScript&)
{
    const uint32_t sub = static_cast<uint32_t>(Context->PopInteger());
    switch (sub) {
    case 0:
        WaitInput(Context->PopInteger());
        break;
    case 1:
        Context->PushInteger(IsActive(static_cast<uint32_t>(Context->PopInteger())) ? 1 : 0);
        break;
    case 2:
        if (HWND window = MainWindow())
            DrawMenuBar(window);
        break;
    case 3:
        if (HWND window = MainWindow())
            ShowWindow(window, SW_SHOW);
        break;
    case 4: {
        const int32_t flag = Context->PopInteger() != 0 ? 1 : 0;
        InputView->SetExtraInput(0, flag);
        InputView->SetExtraInput(1, flag);
        break;
    }
    case 5:
        Context->PopValue();
        Context->PushInteger(0);
        break;
    default:
        break;
    }
}

void CFuncUI::WaitInput(int32_t time)
{
    if (time >= 1) {
        if (!InSkipMode() && (IsActive(INPUT_SHIFT) || IsActive(INPUT_CTRL) || IsActive(INPUT_EXTRA)))
            return;
        if (!IsActive(INPUT_OK))
            WaitFromNow(Document, InputView, time, SCRIPT_SKIP_FLAGS, SCRIPT_REQUEST_MASK, 1);
        return;
    }
    while (RunWaitPass(Document)) {
        if (IsActive(INPUT_OK))
            break;
        if (!InSkipMode() && (IsActive(INPUT_CTRL) || IsActive(INPUT_EXTRA)))
            break;
    }
    // A held OK would end the next wait at once: wait for its release.
    while (IsActive(INPUT_OK) && RunWaitPass(Document)) {
        if (IsActive(INPUT_CTRL) || IsActive(INPUT_EXTRA))
            break;
    }
}
