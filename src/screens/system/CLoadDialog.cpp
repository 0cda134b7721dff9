#include "screens/system/CLoadDialog.h"

void CLoadDialog::LoadChosenSlot(uint32_t slot)
{
    if (Confirm(DIALOG_KIND_LOAD))
        LoadSlot(slot);
}
