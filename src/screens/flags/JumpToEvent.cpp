#include "screens/flags/JumpToEvent.h"

#include <memory>

#include "foundation/CExecException.h"
#include "foundation/GameDocument.h"
#include "foundation/PlayerMessage.h"
#include "game/hints/HintReachability.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/commands/CFuncScript.h"
#include "script/commands/CFuncVoice.h"
#include "script/vm/CScript.h"

namespace {

void RaiseFlag(FlagBuffer& state, size_t index)
{
    if (index < state.Flags.size())
        state.Flags[index] = 1;
}

} // namespace

void JumpToEvent(const FlagHintRecord& record)
{
    std::shared_ptr<CScript> scene;
    try {
        scene = GetScriptState().AttachScript(record.SceneFile);
    } catch (const CExecException& failure) {
        ShowPlayerMessage(0, failure.GetMessage());
        return;
    }
    if (FlagBuffer* state = GetScriptState().m_current_state.get()) {
        const int32_t date = record.FirstDate & 0xFFFF;
        if (state->GameDate() != date)
            RaiseFlag(*state, FLAG_JUMP_NEW_DAY);
        state->SetGameDate(date);
        state->SetWeekday(DayOfWeek(date));
        state->SetGameTime(record.EarliestTime & 0xFFFF);
        state->SetMoney(state->Money() - static_cast<int32_t>(record.Fare) * 100);
        state->SetDistrict(static_cast<uint8_t>(record.District));
        state->SetLocation(static_cast<uint8_t>(record.Location));
        state->SetEngineStateBits(ENGINE_STATE_JUMPED);
        if (record.Code != HINT_CODE_NONE)
            RaiseFlag(*state, record.Code);
        RaiseFlag(*state, FLAG_JUMP_TAKEN);
        RaiseFlag(*state, FLAG_JUMP_TRIP);
    }
    CFuncVoice().Stop(0);
    CFuncScript().ReplaceWith(scene);
    throw GameDocument::DOCUMENT_RETURN_TO_TITLE;
}
