#include "script/commands/CFuncOneMes.h"

#include <algorithm>
#include <span>

#include "foundation/CFile.h"
#include "foundation/GameDocument.h"
#include "foundation/WriteFileAtomically.h"
#include "script/ScriptState.h"
#include "script/save/SaveStore.h"
#include "script/vm/CScript.h"
#include "script/vm/ScriptContext.h"
#include "script/vm/ScriptError.h"

namespace {

void ReportNoBuffer()
{
    ReportScriptError(CStringUTF8("既読バッファが作成されていません"));
}

uint8_t BitOf(int32_t message)
{
    return static_cast<uint8_t>(0x80 >> (message & 7));
}

} // namespace

void CFuncOneMes::Call(CScript&)
{
    if (Context == nullptr)
        return;
    switch (Context->PopInteger()) {
    case 0:
        ResizeReadBuffer(Context->PopInteger());
        break;
    case 1:
        ClearReadBuffer();
        break;
    case 2:
        LoadReadBuffer();
        break;
    case 3:
        (void)SaveReadBuffer(); // a failure is reported by the save; scripts get no result
        break;
    case 4:
        MarkRead(Context->PopInteger());
        break;
    case 5: {
        const int32_t read = IsRead(Context->PopInteger());
        Context->PushInteger(read);
        break;
    }
    default:
        break;
    }
}

std::vector<uint8_t>* CFuncOneMes::Buffer()
{
    return Context != nullptr ? &Context->ReadBuffer : nullptr;
}

CStringUTF8 CFuncOneMes::ScriptName() const
{
    return Document != nullptr && GetScriptState().m_current_script ? GetScriptState().m_current_script->GetName()
                                                             : CStringUTF8();
}

int32_t CFuncOneMes::ScriptLine() const
{
    return Document != nullptr && GetScriptState().m_current_script
               ? static_cast<int32_t>(GetScriptState().m_current_script->Line)
               : 0;
}

void CFuncOneMes::ResizeReadBuffer(int32_t count)
{
    // A bit per message: sixteen million messages is far past any game's text, and a larger
    // count a script's fault, refused before it takes the memory.
    if (count > MAX_READ_BUFFER_MESSAGES) {
        CStringUTF8 text;
        ReportScriptError(text.Format("既読バッファの大きさ %d は上限を超えています", count));
        return;
    }
    if (std::vector<uint8_t>* buffer = Buffer())
        buffer->resize(static_cast<size_t>(std::max<int64_t>((int64_t{count} + 7) / 8, 0)));
}

void CFuncOneMes::ClearReadBuffer()
{
    if (std::vector<uint8_t>* buffer = Buffer())
        std::ranges::fill(*buffer, uint8_t{0});
}

void CFuncOneMes::LoadReadBuffer()
{
    std::vector<uint8_t>* buffer = Buffer();
    if (buffer == nullptr || buffer->empty()) {
        ReportNoBuffer();
        return;
    }
    const CStringUTF8 name = SaveStore::ReadBufferFileName();
    CFile file;
    if (!file.OpenRead(name)) {
        CStringUTF8 text;
        ReportScriptError(text.Format("%s が存在しません", name.GetText()));
        return;
    }
    // Read into a copy: a read that fails midway leaves the bits as they were.
    std::vector<uint8_t> bytes(buffer->size());
    if (!file.Read(bytes.data(), static_cast<DWORD>(bytes.size())))
        return;
    std::copy_n(bytes.begin(), file.GetBytesMoved(), buffer->begin());
}

bool CFuncOneMes::SaveReadBuffer()
{
    std::vector<uint8_t>* buffer = Buffer();
    if (buffer == nullptr || buffer->empty()) {
        ReportNoBuffer();
        return false;
    }
    const CStringUTF8 name = SaveStore::ReadBufferFileName();
    if (!WriteFileAtomically(name, *buffer)) {
        CStringUTF8 text;
        ReportScriptError(text.Format("%s が作成出来ません", name.GetText()));
        return false;
    }
    return true;
}

bool CFuncOneMes::HasReadBuffer()
{
    const std::vector<uint8_t>* buffer = Buffer();
    return buffer != nullptr && !buffer->empty();
}

void CFuncOneMes::MarkRead(int32_t message)
{
    std::vector<uint8_t>* buffer = Buffer();
    if (message < 0 || buffer == nullptr)
        return;
    const size_t byte = static_cast<size_t>(message) >> 3;
    if (byte < buffer->size()) {
        (*buffer)[byte] |= BitOf(message);
        return;
    }
    CStringUTF8 text;
    ReportScriptError(text.Format("既読バッファを超えて登録しようとしています。 n = %u adv = %s  line = %d",
                                  static_cast<uint32_t>(message), ScriptName().GetText(), ScriptLine()));
}

int32_t CFuncOneMes::IsRead(int32_t message)
{
    std::vector<uint8_t>* buffer = Buffer();
    if (message < 0)
        return 1;
    const size_t byte = static_cast<size_t>(message) >> 3;
    if (buffer != nullptr && byte < buffer->size())
        return ((*buffer)[byte] & BitOf(message)) != 0 ? 1 : 0;
    CStringUTF8 text;
    ReportScriptError(
        text.Format("既読バッファを超えてチェックしようとしています。 n = %u  adv = %s line = %d",
                    static_cast<uint32_t>(message), ScriptName().GetText(), ScriptLine()));
    return 0;
}
