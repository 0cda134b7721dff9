#include "app/CProgress.h"

#include "platform/user/ControlsApi.h"

namespace {

constexpr int32_t CONTROL_BAR = 1027;

} // namespace

CProgress g_progress_dialog;

BOOL CProgress::OnInitDialog()
{
    SendDlgItemMessageW(m_handle, CONTROL_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageW(m_handle, CONTROL_BAR, PBM_SETSTEP, 0, 0);
    return TRUE;
}
