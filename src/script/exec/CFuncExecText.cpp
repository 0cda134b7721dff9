// The exec commands on texts: the hero name, the second texts of the newest backlog entry and the
// language text messages.

#include "script/exec/CFuncExec.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/CLangTextFile.h"
#include "foundation/CStringBase.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "script/FlagBuffer.h"
#include "script/ScriptWork.h"
#include "script/exec/HeroName.h"
#include "script/vm/ScriptContext.h"

namespace {

constexpr uint32_t ENGINE_STATE_NO_BACKLOG_TEXT = 0x400;

} // namespace

CStringUTF8 CFuncExec::GetHeroName() const
{
    std::string name;
    const std::vector<uint8_t>& bytes = CurrentState->Bytes;
    for (size_t i = HERO_NAME_BYTE; i < bytes.size() && i < HERO_NAME_BYTE + HERO_NAME_MAX_BYTES; ++i) {
        if (bytes[i] == 0)
            break;
        name.push_back(static_cast<char>(bytes[i]));
    }
    return CStringUTF8(name.c_str());
}

void CFuncExec::ShowHeroName()
{
    Context->PrepareBacklogEntry();
    Context->ShowMessageText(GetHeroName());
}

void CFuncExec::SetDefaultHeroName()
{
    const CStringUTF8 name = GetDefaultHeroName(GetConfigLanguage());
    std::vector<uint8_t>& bytes = CurrentState->Bytes;
    const size_t length = static_cast<size_t>(name.GetLength());
    if (HERO_NAME_BYTE + length + 1 > bytes.size())
        return;
    std::memcpy(bytes.data() + HERO_NAME_BYTE, name.GetText(), length);
    bytes[HERO_NAME_BYTE + length] = 0;
}

LogBuffer* CFuncExec::GetBacklogTarget()
{
    const uint32_t word = Document->GetEngineStateWord();
    if ((word & ENGINE_STATE_MEASURE) != 0 || (word & ENGINE_STATE_NO_BACKLOG_TEXT) != 0)
        return nullptr;
    const int32_t count = Context->Backlog.CountEntries();
    if (count <= 0 || static_cast<size_t>(count) > Context->Backlog.Entries.size())
        return nullptr;
    return Context->Backlog.Entries[static_cast<size_t>(count - 1)].get();
}

void CFuncExec::SetBacklogText()
{
    const CStringUTF8 text = Context->PopValue().Text;
    if (LogBuffer* entry = GetBacklogTarget())
        entry->HeadText = CStringUTF8(WideToUtf8(AnsiToWide(text.GetText())).c_str());
}

void CFuncExec::SetBacklogHeroName()
{
    const CStringUTF8 request = Context->PopValue().Text;
    CStringUTF8 name = GetHeroName();
    std::string suffix;
    if (!request.IsEmpty()) {
        switch (GetConfigLanguage()) {
        case 0:
            suffix = " Jr.";
            break;
        case 1:
        case 2:
        case 3:
            suffix = "二世";
            break;
        default:
            suffix = request.GetText();
            break;
        }
    }
    // The suffix stands after the name in the game state while the command runs, as far as the
    // array reaches, and is cleared again before it returns.
    std::vector<uint8_t>& bytes = CurrentState->Bytes;
    const size_t start = HERO_NAME_BYTE + static_cast<size_t>(name.GetLength());
    const size_t end = std::min(start + suffix.size(), bytes.size());
    for (size_t i = start; i < end; ++i)
        bytes[i] = static_cast<uint8_t>(suffix[i - start]);
    if (LogBuffer* entry = GetBacklogTarget())
        entry->HeadText = CStringUTF8((std::string(name.GetText()) + suffix).c_str());
    for (size_t i = start; i < end; ++i)
        bytes[i] = 0;
}

void CFuncExec::LanguageText()
{
    const int32_t sub = Context->PopInteger();
    if (sub < 0 || sub > 2)
        return;
    const ScriptValue argument = Context->PopValue();
    const uint32_t word = Document->GetEngineStateWord();
    ScriptWork* work = GetScriptWork();
    if (work == nullptr)
        return;
    if (work->m_text_file == nullptr)
        work->m_text_file = std::make_unique<CLangTextFile>();
    CLangTextFile& file = *work->m_text_file;
    switch (sub) {
    case 0: {
        if ((word & (ENGINE_STATE_MEASURE | ENGINE_STATE_MEASURE_LINES)) != 0)
            return;
        if ((word & ENGINE_STATE_NO_BACKLOG_TEXT) == 0) {
            const int32_t count = Context->Backlog.CountEntries();
            if (count > 0 && static_cast<size_t>(count) <= Context->Backlog.Entries.size())
                Context->Backlog.Entries[static_cast<size_t>(count - 1)]->TextTable = m_language_file;
        }
        file.Open(m_language_file);
        file.ShowMessage(static_cast<uint16_t>(argument.Integer));
        return;
    }
    case 1:
        if ((word & ENGINE_STATE_MEASURE) != 0 || (word & ENGINE_STATE_NO_BACKLOG_TEXT) != 0)
            return;
        if (const int32_t count = Context->Backlog.CountEntries();
            count > 0 && static_cast<size_t>(count) <= Context->Backlog.Entries.size())
            Context->Backlog.Entries[static_cast<size_t>(count - 1)]->MessageId = argument.Integer;
        return;
    default:
        m_language_file = argument.Text;
        file.Open(m_language_file);
        return;
    }
}
