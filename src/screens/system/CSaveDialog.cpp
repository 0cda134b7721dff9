#include "screens/system/CSaveDialog.h"

#include "script/commands/CFuncFlag.h"

namespace {

constexpr uint32_t AUTO_SAVE_SLOT = 101;

} // namespace

// FIXME: the least auto save until the save screen is in: the game state into the slot's flag
// file, without shifting the auto-save group.
void CSaveDialog::AutoSave()
{
    CFuncFlag flags;
    flags.SaveFlagFile(AUTO_SAVE_SLOT);
}
