#include "screens/base/CFaceVoice.h"

#include <algorithm>
#include <cstring>

#include "foundation/CArchiveManager.h"
#include "foundation/CString.h"
#include "foundation/DocumentLink.h"
#include "foundation/ScopedLock.h"
#include "graphics/DataArchiveRead.h"

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
    ScopedLock lock(m_lock);
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

void CFaceVoice::Clear()
{
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
