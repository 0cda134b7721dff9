#include "screens/system/CLoadDialog.h"

#include "screens/system/SaveLoadLayout.h"

using namespace saveload_layout;

void CLoadDialog::LoadChosenSlot(uint32_t slot)
{
    if (Confirm(DIALOG_KIND_LOAD))
        LoadSlot(slot);
}

void CLoadDialog::OnDecide()
{
    const int32_t group = m_hovered >> 8;
    const int32_t item = m_hovered & 0xFF;
    if (m_hovered < 0 || (group != 0 && group != 6) || item >= ROWS) {
        ISaveLoad::OnDecide();
        return;
    }
    if (group == 6 && IsRowUsed(item)) {
        Press(m_hovered);
        LoadChosenSlot(SlotOfRow(item));
        // Declined, or the slot was refused: the screen stays.
        DrawControl(m_hovered, 0, true);
        m_hovered = -1;
    } else if (group == 0 && HasDeleteButton(item)) {
        Press(m_hovered);
        if (ConfirmAndDeleteSlot(SlotOfRow(item))) {
            DrawPage();
            Present();
        }
    }
    ISelect::OnDecide();
}
