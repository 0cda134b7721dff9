#include "foundation/CApiDialog.h"

#include "foundation/AppLink.h"
#include "foundation/CLangTextTable.h"
#include "platform/user/MessageBoxApi.h"

HINSTANCE GetAppInstance()
{
    AppLink* app = GetAppLink();
    return app != nullptr ? app->GetInstanceHandle() : nullptr;
}

CApiDialog::CApiDialog(uint32_t template_id, const CLangTextTable* texts)
    : m_template_id(template_id & 0xFFFF)
    , m_texts(texts)
{}

void CApiDialog::OnOK(int32_t)
{
    EndDialog(m_handle, 1);
}

void CApiDialog::OnCancel(int32_t)
{
    EndDialog(m_handle, 0);
}

INT_PTR CApiDialog::DialogProc(HWND, UINT message, WPARAM w_param, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (LOWORD(w_param) == IDOK) {
            OnOK(1);
            return 1;
        }
        if (LOWORD(w_param) == IDCANCEL) {
            OnCancel(1);
            return 1;
        }
        return 0;
    case WM_SYSCOMMAND:
        if ((w_param & 0xFFF0) == SC_CLOSE) {
            OnCancel(1);
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

INT_PTR CApiDialog::DoModal(HWND parent)
{
    return DialogBoxParamW(GetAppInstance(), MAKEINTRESOURCEW(static_cast<WORD>(m_template_id)), parent,
                           &CApiDialog::SharedDialogProc, reinterpret_cast<LPARAM>(this));
}

HWND CApiDialog::CreateModeless(HWND parent)
{
    return CreateDialogParamW(GetAppInstance(), MAKEINTRESOURCEW(static_cast<WORD>(m_template_id)), parent,
                              &CApiDialog::SharedDialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CApiDialog::SharedDialogProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, GWLP_USERDATA, l_param);
        if (auto* object = reinterpret_cast<CApiDialog*>(l_param))
            object->SetHandle(window);
    }
    auto* object = reinterpret_cast<CApiDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (object == nullptr)
        return 0;
    const INT_PTR result = object->DialogProc(window, message, w_param, l_param);
    if (message == WM_NCDESTROY) {
        // The window is gone; the object may live on and must not reach it any more.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (object->GetHandle() == window)
            object->SetHandle(nullptr);
    }
    return result;
}

std::u16string CApiDialog::Text(int32_t text_id) const
{
    if (m_texts == nullptr)
        return {};
    const char16_t* text = m_texts->GetTextPtr(text_id);
    return text != nullptr ? std::u16string(text) : std::u16string();
}

void CApiDialog::SetItemText(int32_t control_id, int32_t text_id)
{
    const std::u16string text = Text(text_id);
    if (text.empty())
        return;
    if (control_id == 0)
        SetWindowTextW(m_handle, text.c_str());
    else
        SetDlgItemTextW(m_handle, control_id, text.c_str());
}
