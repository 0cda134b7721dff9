// The dialog calls over DialogManager.
#include "platform/user/DialogApi.h"

#include <algorithm>
#include <string>

#include "platform/kernel/ErrorApi.h"
#include "platform/user/ControlsApi.h"
#include "platform/user/DialogControls.h"
#include "platform/user/DialogManager.h"
#include "platform/user/WindowManager.h"

namespace {

using platform::DialogManager;
using platform::WindowManager;
using platform::WindowObject;

constexpr DWORD ERROR_CONTROL_ID_NOT_FOUND = 1421;

// Templates are named by number.
bool TemplateId(LPCWSTR name, uint16_t& id)
{
    const uintptr_t value = reinterpret_cast<uintptr_t>(name);
    if (!IS_INTRESOURCE(value)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return false;
    }
    id = static_cast<uint16_t>(value);
    return true;
}

} // namespace

INT_PTR DialogBoxParamW(HINSTANCE, LPCWSTR template_name, HWND owner, DLGPROC procedure, LPARAM param)
{
    uint16_t id = 0;
    if (!TemplateId(template_name, id))
        return -1;
    return DialogManager::GetInstance().RunModal(id, owner, procedure, param);
}

HWND CreateDialogParamW(HINSTANCE, LPCWSTR template_name, HWND parent, DLGPROC procedure, LPARAM param)
{
    uint16_t id = 0;
    if (!TemplateId(template_name, id))
        return nullptr;
    return DialogManager::GetInstance().Create(id, parent, procedure, param);
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    return DialogManager::GetInstance().End(dialog, result) ? TRUE : FALSE;
}

BOOL IsDialogMessageW(HWND dialog, LPMSG message)
{
    if (message == nullptr)
        return FALSE;
    return DialogManager::GetInstance().IsDialogMessage(dialog, *message) ? TRUE : FALSE;
}

LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM w_param, LPARAM l_param)
{
    return DialogManager::GetInstance().DefaultProcedure(dialog, message, w_param, l_param);
}

HWND GetDlgItem(HWND dialog, int id)
{
    WindowManager& manager = WindowManager::GetInstance();
    for (HWND handle : manager.Windows()) {
        const WindowObject* object = manager.Find(handle);
        if (object->parent == dialog && (object->style & WS_CHILD) &&
            reinterpret_cast<intptr_t>(object->menu) == id)
            return handle;
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

int GetDlgCtrlID(HWND control)
{
    const WindowObject* object = WindowManager::GetInstance().Find(control);
    if (object == nullptr || !(object->style & WS_CHILD))
        return 0;
    return static_cast<int>(reinterpret_cast<intptr_t>(object->menu));
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text)
{
    const HWND control = GetDlgItem(dialog, id);
    return control != nullptr && SetWindowTextW(control, text);
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int max_count)
{
    const HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) {
        if (text != nullptr && max_count > 0)
            text[0] = 0;
        return 0;
    }
    return static_cast<UINT>(GetWindowTextW(control, text, max_count));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL is_signed)
{
    const std::string digits = is_signed ? std::to_string(static_cast<int>(value)) : std::to_string(value);
    const std::u16string text(digits.begin(), digits.end());
    return SetDlgItemTextW(dialog, id, text.c_str());
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM w_param, LPARAM l_param)
{
    const HWND control = GetDlgItem(dialog, id);
    return control != nullptr ? SendMessageW(control, message, w_param, l_param) : 0;
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check)
{
    for (int id = first; id <= last; ++id) {
        if (const HWND control = GetDlgItem(dialog, id))
            SendMessageW(control, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return TRUE;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check)
{
    const HWND control = GetDlgItem(dialog, id);
    if (control == nullptr)
        return FALSE;
    SendMessageW(control, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id)
{
    const HWND control = GetDlgItem(dialog, id);
    return control != nullptr ? static_cast<UINT>(SendMessageW(control, BM_GETCHECK, 0, 0)) : 0;
}

BOOL MapDialogRect(HWND dialog, LPRECT rect)
{
    if (rect == nullptr || DialogManager::GetInstance().RecordOf(dialog) == nullptr)
        return FALSE;
    rect->left = (rect->left * platform::dialog::BASE_UNIT_X + 2) / 4;
    rect->right = (rect->right * platform::dialog::BASE_UNIT_X + 2) / 4;
    rect->top = (rect->top * platform::dialog::BASE_UNIT_Y + 4) / 8;
    rect->bottom = (rect->bottom * platform::dialog::BASE_UNIT_Y + 4) / 8;
    return TRUE;
}
