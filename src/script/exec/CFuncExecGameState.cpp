// The exec commands on the game state and its files: the save slot's blank thumbnail, the auto
// save, the calendar table, the flag copy and the stash.

#include "script/exec/CFuncExec.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "foundation/GameDocument.h"
#include "foundation/ScreenSettings.h"
#include "foundation/WriteFileAtomically.h"
#include "graphics/CDirect3D.h"
#include "graphics/SpriteLayerRegistry.h"
#include "script/FlagBuffer.h"
#include "script/ScriptScreenTable.h"
#include "script/ScriptWork.h"
#include "script/save/SaveStore.h"
#include "script/vm/ScriptContext.h"
#include "script/vm/ScriptError.h"

// Rows of month 1 to 12, day 1 first; 0 past the month's last day.
const uint8_t CALENDAR_TABLE[12][31] = {
    {12, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 12, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6},
    {7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 11, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6},
    {7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 14, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2},
    {2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 10, 3},
    {4, 5, 14, 15, 9, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6},
    {7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1},
    {2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4},
    {5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7},
    {1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 9, 2, 3, 4, 5, 6, 7, 1, 10, 3, 4, 5, 6, 7, 1, 2},
    {3, 4, 5, 6, 7, 1, 2, 3, 4, 13, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5},
    {6, 7, 9, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 15, 9, 2, 3, 4, 5, 6, 7, 0},
    {1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 10, 3, 4, 5, 6, 7, 1, 2, 3},
};

namespace {

bool IsFlagIndex(const FlagBuffer& state, int64_t index)
{
    return index >= 0 && static_cast<uint64_t>(index) < state.Flags.size();
}

} // namespace

void CFuncExec::WriteThumbnail()
{
    const int32_t slot = Context->PopInteger();
    const int32_t width = Context->PopInteger();
    const int32_t height = Context->PopInteger();
    if (slot < 0 || width < 0 || height < 0)
        return;
    // No thumbnail is larger than the screen it is taken from; a larger size is a script's fault.
    CStringUTF8 text;
    if (width > LOGICAL_WIDTH || height > LOGICAL_HEIGHT) {
        ReportScriptError(text.Format("サムネイルの大きさ %d x %d は画面を超えています", width, height));
        return;
    }
    const std::vector<uint8_t> bytes(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    (void)SaveStore::WriteThumbnail(static_cast<uint32_t>(slot), bytes, ThumbnailFailure::Report);
}

void CFuncExec::AutoSave()
{
    FlagBuffer& state = *CurrentState;
    if (state.Variables.size() <= AUTO_SAVE_GUARD_VARIABLE)
        return;
    ScriptValue& guard = state.Variables[AUTO_SAVE_GUARD_VARIABLE];
    if (ScriptWork* work = GetScriptWork(); guard.Integer == 0 && work != nullptr) {
        work->SetStatusBits(STATUS_SNAPSHOT_WANTED);
        guard = ScriptValue::FromInteger(1);
        work->ClearStatusBits(STATUS_SNAPSHOT_TAKEN);
        if ((work->GetStatus() & (STATUS_SNAPSHOT_WANTED | STATUS_SNAPSHOT_TAKEN)) ==
            STATUS_SNAPSHOT_WANTED) {
            CDirect3D* display = CDirect3D::GetInstance();
            // The thumbnail is made from the layer every other snapshot goes to.
            if (display->IsLive() && GetSpriteLayerRegistry().GetStackLayer() != nullptr)
                display->CaptureScreen(GetSpriteLayerRegistry().GetStackLayer());
            work->SetStatusBits(STATUS_SNAPSHOT_TAKEN);
        }
        RunScriptScreen(ScriptScreen::AutoSave, nullptr);
        work->ClearStatusBits(STATUS_SNAPSHOT_WANTED);
    }
    // The saved game holds the guard at 1, so reaching this command again after a load saves
    // nothing a second time.
    state.Variables[AUTO_SAVE_GUARD_VARIABLE] = ScriptValue::FromInteger(0);
}

void CFuncExec::WriteCalendar()
{
    std::vector<uint8_t>& bytes = CurrentState->Bytes;
    if (CALENDAR_BYTE + CALENDAR_BYTES > bytes.size())
        return;
    std::fill_n(bytes.begin() + CALENDAR_BYTE, CALENDAR_BYTES, 0);
    for (size_t month = 0; month < 12; ++month)
        std::copy_n(CALENDAR_TABLE[month], 31, bytes.begin() + CALENDAR_BYTE + month * 32);
}

void CFuncExec::CopyFlags()
{
    const int32_t count = Context->PopInteger();
    FlagBuffer& state = *CurrentState;
    const int64_t base =
        state.Values.size() > FLAG_COPY_BASE_VALUE ? state.Values[FLAG_COPY_BASE_VALUE].Integer : 0;
    // A count beyond the stack cannot have its indices: only what is there is popped.
    const int32_t available = static_cast<int32_t>(std::min<size_t>(Context->ValueStack.size(), INT32_MAX));
    for (int32_t i = 0; i < std::min(count, available); ++i) {
        const int64_t source = static_cast<int64_t>(Context->PopInteger()) + 2;
        const int64_t target = base + i;
        if (IsFlagIndex(state, source) && IsFlagIndex(state, target))
            state.Flags[static_cast<size_t>(target)] = state.Flags[static_cast<size_t>(source)];
    }
}

void CFuncExec::Stash()
{
    const int32_t which = Context->PopInteger();
    if (which == 0)
        m_stash->Assign(*CurrentState);
    else
        CurrentState = m_stash.get();
}
