#include "screens/base/CFaceVoice.h"

#include <algorithm>
#include <cstring>

#include "foundation/CArchiveManager.h"
#include "foundation/CString.h"
#include "foundation/DocumentLink.h"
#include "foundation/GameDocument.h"
#include "foundation/ScopedLock.h"
#include "graphics/CAnimeManager.h"
#include "graphics/CAppTask.h"
#include "graphics/DataArchiveRead.h"
#include "graphics/EffectClock.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerRegistry.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"

namespace {

uint32_t ReadU32(const std::vector<uint8_t>& bytes, size_t offset)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    return value;
}

} // namespace

bool CFaceVoice::LoadTable(const CStringUTF8& name)
{
    DocumentLink* link = GetDocumentLink();
    CArchiveManager* archive = link != nullptr ? link->GetDataArchive() : nullptr;
    if (archive == nullptr)
        return false;
    std::vector<uint8_t> bytes;
    try {
        bytes = ReadDataArchiveEntry(name.GetText());
    } catch (const CString&) {
        return false;
    }
    ScopedLock run(m_run_lock);
    ScopedLock lock(m_lock);
    // Items of the earlier table would point into bytes that are gone.
    m_items.clear();
    m_active = 0;
    m_table = std::move(bytes);
    return true;
}

size_t CFaceVoice::StartItems()
{
    ScopedLock lock(m_lock);
    m_items.clear();
    if (m_table.size() < FACE_VOICE_HEADER_BYTES)
        return 0;
    const size_t whole = (m_table.size() - FACE_VOICE_HEADER_BYTES) / FACE_VOICE_RECORD_BYTES;
    const size_t count = std::min<size_t>(ReadU32(m_table, 0), whole);
    if (count == 0)
        return 0;
    for (size_t i = 0; i < count; ++i)
        m_items.push_back(Item{FACE_VOICE_HEADER_BYTES + FACE_VOICE_RECORD_BYTES * i, 0});
    m_active = 1;
    m_items.front().Flag = 1;
    return count;
}

CFaceVoice::~CFaceVoice()
{
    if (CAppTask* runner = GetAppTask())
        runner->RemoveTask(this);
    Clear();
}

void CFaceVoice::Clear()
{
    ScopedLock run(m_run_lock);
    ScopedLock lock(m_lock);
    m_table.clear();
    m_items.clear();
    m_active = 0;
}

std::vector<CFaceVoice::Item> CFaceVoice::GetItems()
{
    ScopedLock lock(m_lock);
    return m_items;
}

FaceVoiceRecord CFaceVoice::GetRecord(size_t index)
{
    ScopedLock lock(m_lock);
    if (index >= m_items.size())
        return {};
    const size_t offset = m_items[index].Offset;
    return FaceVoiceRecord{ReadU32(m_table, offset), static_cast<int32_t>(ReadU32(m_table, offset + 4)),
                           static_cast<int32_t>(ReadU32(m_table, offset + 8))};
}

size_t CFaceVoice::GetTableSize()
{
    ScopedLock lock(m_lock);
    return m_table.size();
}

int32_t CFaceVoice::IsActive()
{
    ScopedLock lock(m_lock);
    return m_active;
}

namespace {

inline constexpr uint32_t NO_FACE = 0xFFFFFFFFu;
inline constexpr int32_t FACE_RECORD_GROUP = 11;

} // namespace

std::vector<FaceVoiceRecord> CFaceVoice::Records()
{
    std::vector<FaceVoiceRecord> out;
    ScopedLock lock(m_lock);
    if (m_active == 0)
        return out;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const size_t offset = m_items[i].Offset;
        out.push_back(FaceVoiceRecord{ReadU32(m_table, offset),
                                      static_cast<int32_t>(ReadU32(m_table, offset + 4)),
                                      static_cast<int32_t>(ReadU32(m_table, offset + 8))});
    }
    return out;
}

bool CFaceVoice::StartFace(const FaceVoiceRecord& record)
{
    if (static_cast<uint32_t>(record.Group) == NO_FACE)
        return false;
    GameDocument* document = GetGameDocument();
    CAnimeManager* anime = document != nullptr ? GetSpriteLayerRegistry().GetAnimeManager() : nullptr;
    if (anime == nullptr || !anime->HasSlotProgram(record.Group, record.Slot))
        return false;
    LiveDrawLock lock;
    anime->StopGroup(record.Group);
    anime->ArmSlot(record.Group, record.Slot);
    anime->StartSlot(record.Group, record.Slot);
    return true;
}

void CFaceVoice::Execute()
{
    // The draw lock before the run: the runner holds it already, and a face starts under it.
    LiveDrawLock draw;
    ScopedLock run(m_run_lock);
    if (IsActive() == 0)
        return;
    const uint32_t now = GetEffectTime();
    const uint32_t start = m_base_time.load();
    for (const FaceVoiceRecord& record : Records()) {
        if (static_cast<int32_t>(now - (start + record.Time)) >= 0)
            StartFace(record);
    }
    RequestRedraw();
}

void CFaceVoice::ApplyFaceItem(size_t index)
{
    const FaceVoiceRecord record = GetRecord(index);
    if (index >= GetItems().size())
        return;
    StartFace(record);
    const auto character = static_cast<uint32_t>(record.Group);
    GameDocument* document = GetGameDocument();
    if (document == nullptr)
        return;
    if (ScriptValueTable* table = GetScriptState().SaveDataTable.get())
        table->Remove(FACE_RECORD_GROUP, static_cast<uint16_t>(character));
    if (FlagBuffer* state = GetScriptState().m_current_state.get();
        state != nullptr && state->Variables.size() >= 2) {
        state->Variables[0] = ScriptValue::FromInteger(record.Group);
        state->Variables[1] = ScriptValue::FromInteger(record.Slot);
    }
    if (ScriptValueTable* table = GetScriptState().SaveDataTable.get()) {
        ScriptValueArray saved;
        saved.Group = FACE_RECORD_GROUP;
        saved.Index = static_cast<uint16_t>(character);
        saved.Values = {ScriptValue::FromInteger(record.Group), ScriptValue::FromInteger(record.Slot)};
        table->Store(saved);
    }
}

void CFaceVoice::ApplyAllItems()
{
    const size_t count = GetItems().size();
    for (size_t i = 0; i < count; ++i)
        ApplyFaceItem(i);
}
