#include "screens/system/CLoadDialog.h"

#include "screens/system/SaveLoadLayout.h"

using namespace saveload_layout;

void CLoadDialog::LoadChosenSlot(uint32_t slot)
{
    if (Confirm(DIALOG_KIND_LOAD))
        LoadSlot(slot);
}

void CLoadDialog::DecideRow(int32_t row)
{
    LoadChosenSlot(SlotOfRow(row));
    // Declined, or the slot was refused: the screen stays.
    DrawControl(ID_ROW + row, 0, true);
    m_hovered = -1;
}
