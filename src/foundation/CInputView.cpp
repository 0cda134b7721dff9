#include "foundation/CInputView.h"

#include <new>

#include "foundation/CExecException.h"
#include "foundation/DocumentLink.h"
#include "foundation/IKeyboard.h"
#include "foundation/IMouse.h"

namespace {

CInputView* g_input_view = nullptr; // owned here: made by GetInputView, freed by DeleteInputView

} // namespace

CInputView* GetInputView()
{
    if (g_input_view == nullptr) {
        g_input_view = new (std::nothrow) CInputView;
        if (g_input_view == nullptr)
            throw CExecException("Failed to create the View Object");
    }
    return g_input_view;
}

void DeleteInputView()
{
    delete g_input_view;
    g_input_view = nullptr;
}

bool CInputView::IsKeyDown(uint32_t scan_code)
{
    return m_keyboard != nullptr && m_keyboard->IsKeyDown(scan_code) != 0;
}

bool CInputView::InSkipMode()
{
    DocumentLink* document = GetDocumentLink();
    return document != nullptr && (document->GetEngineStateWord() & ENGINE_STATE_SKIP_MODE) != 0;
}

int32_t CInputView::IsActionTriggered(uint32_t code, int32_t edge)
{
    if (code < 255)
        return IsKeyDown(code) ? 1 : 0;
    IMouse* mouse = m_mouse;
    switch (code) {
    case INPUT_OK:
        if (IsKeyDown(SCAN_ENTER) || IsKeyDown(SCAN_KEYPAD_ENTER))
            return 1;
        if (mouse == nullptr)
            return 0;
        if (edge ? mouse->IsLeftClicked() : mouse->IsLeftDown())
            return 1;
        return mouse->GetTouchTap() != 0 ? 1 : 0;
    case INPUT_CANCEL:
        if (IsKeyDown(SCAN_ESCAPE) || IsKeyDown(SCAN_DELETE))
            return 1;
        if (mouse == nullptr)
            return 0;
        if (edge ? mouse->IsRightClicked() : mouse->IsRightDown())
            return 1;
        return mouse->GetTouchState() != 0 ? 1 : 0;
    case INPUT_SHIFT:
        return !InSkipMode() && (IsKeyDown(SCAN_LEFT_SHIFT) || IsKeyDown(SCAN_RIGHT_SHIFT)) ? 1 : 0;
    case INPUT_CTRL:
        return !InSkipMode() && (IsKeyDown(SCAN_LEFT_CONTROL) || IsKeyDown(SCAN_RIGHT_CONTROL)) ? 1 : 0;
    case INPUT_EXTRA:
        return !InSkipMode() && (m_extra[0] != 0 || m_extra[1] != 0) ? 1 : 0;
    case INPUT_EXTRA_FIRST:
        return !InSkipMode() && m_extra[0] != 0 ? 1 : 0;
    case INPUT_LEFT: {
        if (mouse == nullptr)
            return 0;
        const int32_t result =
            (mouse->GetTouchTap() || (edge ? mouse->IsLeftClicked() : mouse->IsLeftDown())) ? 1 : 0;
        mouse->ResetTouch(0);
        return result;
    }
    case INPUT_RIGHT: {
        if (mouse == nullptr)
            return 0;
        const int32_t result =
            (mouse->GetTouchState() || (edge ? mouse->IsRightClicked() : mouse->IsRightDown())) ? 1 : 0;
        mouse->ResetTouch(1);
        return result;
    }
    case INPUT_MIDDLE:
        return mouse != nullptr && mouse->IsMiddleDown() ? 1 : 0;
    case INPUT_DRAG:
        return mouse != nullptr && mouse->IsDragging() ? 1 : 0;
    default:
        return 0;
    }
}
