#include "app/CTimeOut.h"

#include "foundation/CStringUTF8.h"
#include "platform/user/MessageBoxApi.h"

namespace {

constexpr int32_t LABEL_COUNTDOWN = 1019;
constexpr UINT_PTR COUNTDOWN_TIMER = 1;
constexpr UINT COUNTDOWN_STEP_MS = 1000;

} // namespace

BOOL CTimeOut::OnInitDialog()
{
    m_seconds_left = TIME_OUT_SECONDS;
    SetItemText(0, 11);
    SetItemText(IDOK, 30);
    SetItemText(IDCANCEL, 31);
    SetDlgItemTextW(m_handle, LABEL_COUNTDOWN, u"15秒後に自動的に元に戻ります。");
    return TRUE;
}

INT_PTR CTimeOut::DialogProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    switch (message) {
    case WM_SHOWWINDOW:
        if (w_param != 0)
            SetTimer(window, COUNTDOWN_TIMER, COUNTDOWN_STEP_MS, nullptr);
        return 0;
    case WM_TIMER:
        if (w_param != COUNTDOWN_TIMER)
            break;
        if (m_seconds_left > 0) {
            CStringUTF8 label;
            label.Format("%d秒後に自動的に元に戻ります。", m_seconds_left);
            SetDlgItemTextW(window, LABEL_COUNTDOWN, label.GetWideText());
            --m_seconds_left;
        } else {
            KillTimer(window, COUNTDOWN_TIMER);
            OnCancel(0);
        }
        return 1;
    default:
        break;
    }
    return CApiDialog::DialogProc(window, message, w_param, l_param);
}
