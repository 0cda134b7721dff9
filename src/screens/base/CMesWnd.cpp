#include "screens/base/CMesWnd.h"

#include <algorithm>
#include <cmath>

#include "app/CAppTask.h"
#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "app/ConfigSettings.h"
#include "foundation/CLangTextFile.h"
#include "screens/base/CFaceVoice.h"
#include "script/FlagBuffer.h"
#include "script/commands/CFuncOneMes.h"
#include "script/vm/ScriptContext.h"

namespace {

inline constexpr size_t VARIABLE_REPLAY = 69;
inline constexpr float CHARACTER_WAIT_SCALE = 150.0f;
inline constexpr double AUTO_STEP_SCALE = 250.0;
inline constexpr uint32_t AUTO_BASE_MS = 500;
inline constexpr float READ_SKIP_SCALE = 500.0f;

float Unit(float value)
{
    return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
}

int32_t Utf8Count(const CStringUTF8& text)
{
    int32_t count = 0;
    for (const char c : std::string(text.GetText()))
        if ((static_cast<uint8_t>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

} // namespace

int32_t CMesWnd::IsReplayMode()
{
    const FlagBuffer* state = CurrentFlagBuffer();
    return state != nullptr && VARIABLE_REPLAY < state->Variables.size() &&
                   state->Variables[VARIABLE_REPLAY].Integer != 0
               ? 1
               : 0;
}

bool CMesWnd::IsCurrentMessageRead()
{
    if (IsReplayMode() != 0)
        return true;
    CFuncOneMes read;
    return read.IsRead(static_cast<int32_t>(CurrentMessageNumber)) == 1;
}

void CMesWnd::OnClose()
{
    ISelect::OnClose();
    if (m_scene_skip_ended == 0) {
        CFuncOneMes read;
        read.MarkRead(static_cast<int32_t>(CurrentMessageNumber));
    }
    m_scene_skip_ended = 0;
    ShowHoverHelp(-1, 0);
    GameWork->ClearStatusBits(STATUS_SNAPSHOT_TAKEN);
    if (CFaceVoice* face = GameWork->m_face_voice.get()) {
        if (CAppTask* runner = GetAppTask())
            runner->RemoveTask(face);
        face->Clear();
    }
    GameWork->ClearStatusBits(STATUS_SNAPSHOT_WANTED);
}

void CMesWnd::LoadMessageText(MessageText& text, int32_t index)
{
    text = MessageText{};
    text.Text = GetBacklogEntryString(index);
    ScriptContext* context = GetDocument()->m_script_context.get();
    const LogBuffer* entry = nullptr;
    if (context != nullptr && index >= 0 && static_cast<size_t>(index) < context->Backlog.Entries.size())
        entry = context->Backlog.Entries[static_cast<size_t>(index)].get();
    if (entry != nullptr && entry->MessageId >= 0)
        text.TextId = static_cast<uint32_t>(entry->MessageId);
    if (text.TextId == MESSAGE_TEXT_NO_ID) {
        text.Count = Utf8Count(text.Text);
        return;
    }
    text.Text = "";
    CLangTextFile file;
    file.Open(entry->TextTable);
    text.Count = file.SplitText(static_cast<int>(text.TextId & 0xFFFF), text.Pieces);
}

uint32_t CMesWnd::CharacterWait(float speed)
{
    return static_cast<uint32_t>((1.0f - Unit(speed)) * CHARACTER_WAIT_SCALE);
}

uint32_t CMesWnd::AutoModeDeadline(uint32_t now, int32_t count, float auto_speed)
{
    const auto step = static_cast<uint32_t>((1.0 - static_cast<double>(Unit(auto_speed))) * AUTO_STEP_SCALE);
    if (step == 0)
        return now;
    return now + static_cast<uint32_t>((count - 1) / 2) * step + AUTO_BASE_MS;
}

uint32_t CMesWnd::ReadSkipDeadline(uint32_t now, float one_mes_speed)
{
    return now + static_cast<uint32_t>((1.0f - Unit(one_mes_speed)) * READ_SKIP_SCALE);
}

int32_t CMesWnd::ConfiguredWindowY()
{
    return std::clamp(GetConfigMesWndPosY(), MESWND_MIN_Y, MESWND_MAX_Y);
}
