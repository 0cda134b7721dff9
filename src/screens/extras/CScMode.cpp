#include "screens/extras/CScMode.h"

#include "app/CVeskDoc.h"
#include "script/FlagBuffer.h"

void CScMode::SetFlag(int32_t index, int32_t value)
{
    FlagBuffer* state = GetDocument()->m_current_state.get();
    if (state != nullptr && index >= 0 && static_cast<size_t>(index) < state->Flags.size())
        state->Flags[static_cast<size_t>(index)] = static_cast<uint8_t>(value);
}
