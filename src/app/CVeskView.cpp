#include "app/CVeskView.h"

CVeskView* GetView()
{
    static auto* s_view = new CVeskView; // never destroyed: hooks may leave it during static destruction
    return s_view;
}

void CVeskView::HidePopupMenu()
{
    ClearStatusBits(VIEW_STATUS_HIDE_POPUP);
    if (m_popup != nullptr && m_popup->IsVisible())
        m_popup->Hide();
}

void CVeskView::RelabelMenus(int32_t) {}
