#include "screens/base/CDialog.h"

#include "app/ConfigSettings.h"

int32_t CDialog::Setup(int32_t kind, int32_t)
{
    return GetConfigDialogEnable(kind) ? 1 : 0;
}
