#include "screens/system/CSaveDialog.h"

#include "app/CVeskDoc.h"
#include "screens/system/CLoadDialog.h"
#include "script/FlagBuffer.h"
#include "script/commands/CFuncFlag.h"
#include "script/commands/CFuncSave.h"

namespace {

constexpr uint32_t AUTO_SAVE_SLOT = 101;
constexpr uint32_t QUICK_SLOT = 201;
constexpr size_t VARIABLE_QUICK_SAVE_EXISTS = 57;

} // namespace

// FIXME: the least auto save until the save screen is in: the game state into the slot's flag
// file, without shifting the auto-save group.
void CSaveDialog::AutoSave()
{
    CFuncFlag flags;
    flags.SaveFlagFile(AUTO_SAVE_SLOT);
}

void CSaveDialog::QuickSave()
{
    FlagBuffer* state = GetDocument()->m_current_state.get();
    if (state != nullptr && state->Variables.size() > VARIABLE_QUICK_SAVE_EXISTS)
        state->Variables[VARIABLE_QUICK_SAVE_EXISTS] = ScriptValue::FromInteger(1);
    CFuncFlag flags;
    CFuncSave save;
    if (flags.SaveFlagFile(QUICK_SLOT) != 0) {
        save.SaveScriptStack();
        save.SaveDataFile(QUICK_SLOT);
    }
}

void CLoadDialog::QuickLoad()
{
    CFuncSave save;
    save.LoadDataFile(QUICK_SLOT);
    CFuncFlag flags;
    flags.LoadAndRestart(QUICK_SLOT);
}
