#include "platform/imm/ImmApi.h"

#include "platform/imm/InputMethod.h"
#include "platform/kernel/ErrorApi.h"
#include "platform/user/WindowManager.h"

namespace {

using platform::InputMethod;

InputMethod* MethodOf(HIMC context)
{
    InputMethod& method = InputMethod::GetInstance();
    if (!method.IsContext(context)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return &method;
}

} // namespace

HIMC ImmGetContext(HWND window)
{
    return InputMethod::GetInstance().Context(window);
}

BOOL ImmReleaseContext(HWND, HIMC context)
{
    return MethodOf(context) != nullptr;
}

BOOL ImmGetOpenStatus(HIMC context)
{
    InputMethod* method = MethodOf(context);
    return method != nullptr && method->IsOpen();
}

BOOL ImmSetOpenStatus(HIMC context, BOOL open)
{
    InputMethod* method = MethodOf(context);
    if (method == nullptr)
        return FALSE;
    method->SetOpen(open != FALSE);
    return TRUE;
}

BOOL ImmGetConversionStatus(HIMC context, LPDWORD conversion, LPDWORD sentence)
{
    InputMethod* method = MethodOf(context);
    if (method == nullptr)
        return FALSE;
    if (conversion != nullptr)
        *conversion = method->Conversion();
    if (sentence != nullptr)
        *sentence = method->Sentence();
    return TRUE;
}

BOOL ImmSetConversionStatus(HIMC context, DWORD conversion, DWORD sentence)
{
    InputMethod* method = MethodOf(context);
    if (method == nullptr)
        return FALSE;
    method->SetModes(conversion, sentence);
    return TRUE;
}

LONG ImmGetCompositionStringW(HIMC context, DWORD index, LPVOID buffer, DWORD buffer_size)
{
    InputMethod* method = MethodOf(context);
    if (method == nullptr)
        return IMM_ERROR_GENERAL;
    return method->GetCompositionString(index, buffer, buffer_size);
}

BOOL ImmSetCompositionWindow(HIMC context, LPCOMPOSITIONFORM form)
{
    InputMethod* method = MethodOf(context);
    if (method == nullptr || form == nullptr)
        return FALSE;
    method->SetCompositionForm(*form);
    return TRUE;
}

BOOL ImmGetCompositionWindow(HIMC context, LPCOMPOSITIONFORM form)
{
    InputMethod* method = MethodOf(context);
    if (method == nullptr || form == nullptr)
        return FALSE;
    *form = method->CompositionForm();
    return TRUE;
}

BOOL ImmSetCandidateWindow(HIMC context, LPCANDIDATEFORM form)
{
    InputMethod* method = MethodOf(context);
    if (method == nullptr || form == nullptr || form->dwIndex > 3)
        return FALSE;
    method->SetCandidateForm(*form);
    return TRUE;
}

BOOL ImmNotifyIME(HIMC context, DWORD action, DWORD index, DWORD)
{
    InputMethod* method = MethodOf(context);
    if (method == nullptr || action != NI_COMPOSITIONSTR)
        return FALSE;
    platform::WindowManager& manager = platform::WindowManager::GetInstance();
    const HWND window = method->ContextWindow();
    switch (index) {
    case CPS_CANCEL:
        if (manager.Device() != nullptr)
            manager.Device()->ClearComposition();
        method->Cancel(window);
        return TRUE;
    case CPS_COMPLETE:
        if (method->IsComposing()) {
            const std::u16string text = method->CompositionText();
            if (manager.Device() != nullptr)
                manager.Device()->ClearComposition();
            method->Commit(window, text);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL WINNLSEnableIME(HWND, BOOL enable)
{
    return InputMethod::GetInstance().SetEnabled(enable != FALSE);
}
