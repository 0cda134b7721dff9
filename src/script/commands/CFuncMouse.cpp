#include "script/commands/CFuncMouse.h"

#include "foundation/CInputView.h"
#include "foundation/IMouse.h"
#include "graphics/CDirect3D.h"
#include "script/FlagBuffer.h"
#include "script/vm/ScriptContext.h"

namespace {

constexpr size_t VALUE_CURSOR_X = 27;
constexpr size_t VALUE_CURSOR_Y = 28;

} // namespace

void CFuncMouse::Call(CScript&)
{
    const int32_t function = Context->PopInteger();
    IMouse* mouse = InputView != nullptr ? InputView->GetMouse() : nullptr;
    switch (function) {
    case 0:
    case 1:
        if (mouse != nullptr)
            mouse->ShowCursor(function == 0 ? TRUE : FALSE);
        break;
    case 2: {
        if (mouse == nullptr || CurrentState == nullptr || CurrentState->Values.size() <= VALUE_CURSOR_Y)
            break;
        POINT window{};
        mouse->GetPosition(&window);
        const POINT screen = CDirect3D::GetInstance()->WindowToLogical(window);
        CurrentState->Values[VALUE_CURSOR_X] = ScriptValue::FromInteger(screen.x);
        CurrentState->Values[VALUE_CURSOR_Y] = ScriptValue::FromInteger(screen.y);
        break;
    }
    case 3: {
        const int32_t x = Context->PopInteger();
        const int32_t y = Context->PopInteger();
        if (mouse == nullptr)
            break;
        const POINT window = CDirect3D::GetInstance()->LogicalToWindow(POINT{x, y});
        mouse->SetPosition(window.x, window.y);
        break;
    }
    case 4:
        Context->PushInteger(mouse != nullptr ? mouse->GetWheel() : 0);
        break;
    case 5: {
        const int32_t count = Context->PopInteger();
        if (mouse != nullptr)
            mouse->SetWheel(count);
        break;
    }
    default:
        break;
    }
}
