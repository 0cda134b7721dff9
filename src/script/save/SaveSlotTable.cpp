#include "script/save/SaveSlotTable.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "script/FlagBuffer.h"

namespace {

void PutU16(uint8_t* at, uint16_t value)
{
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

uint16_t GetU16(const uint8_t* at)
{
    return static_cast<uint16_t>(at[0] | at[1] << 8);
}

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

} // namespace

SaveSlotHeader SaveSlotHeader::OfState(const FlagBuffer& state)
{
    SaveSlotHeader header;
    header.Used = 1;
    header.GameDate = static_cast<uint16_t>(state.GameDate());
    header.Weekday = static_cast<uint16_t>(state.Weekday());
    header.GameTime = static_cast<uint16_t>(state.GameTime());
    header.Money = static_cast<uint16_t>(state.Money());
    return header;
}

SaveSlotHeader SaveSlotHeader::OfStoredState(uint32_t slot, FlagBuffer& state)
{
    const SaveSlotHeader fields = OfState(state);
    if (slot < SLOT_FIRST || slot > SLOT_LAST || state.Bytes.size() < SLOT_TABLE_SIZE)
        return fields;
    const SaveSlotTable table(state.Bytes);
    const int32_t group = SlotGroupOf(slot);
    const uint16_t last_saved = table.GetLastSaved();
    const uint16_t continued = table.GetContinue();
    for (const uint16_t saved :
         group == 1 ? std::array{last_saved, continued} : std::array{continued, last_saved}) {
        if (saved < SLOT_FIRST || saved > SLOT_LAST || SlotGroupOf(saved) != group)
            continue;
        const SaveSlotHeader header = table.Get(saved);
        if (header.Used == 1 && header.GameDate == fields.GameDate && header.Weekday == fields.Weekday &&
            header.GameTime == fields.GameTime && header.Money == fields.Money)
            return header;
    }
    return fields;
}

void SaveSlotHeader::Encode(std::span<uint8_t, SLOT_HEADER_SIZE> out) const
{
    uint8_t* at = out.data();
    at[0] = Used;
    const uint16_t words[] = {GameDate, Weekday, GameTime, Money, Year, Month, Day, Hour, Minute, Second};
    for (size_t i = 0; i < std::size(words); ++i)
        PutU16(at + 1 + 2 * i, words[i]);
    std::memcpy(at + SLOT_COMMENT_OFFSET, Comment.data(), Comment.size());
}

SaveSlotHeader SaveSlotHeader::Decode(std::span<const uint8_t, SLOT_HEADER_SIZE> in)
{
    const uint8_t* at = in.data();
    SaveSlotHeader header;
    header.Used = at[0];
    uint16_t* words[] = {&header.GameDate, &header.Weekday, &header.GameTime, &header.Money, &header.Year,
                         &header.Month,    &header.Day,     &header.Hour,     &header.Minute, &header.Second};
    for (size_t i = 0; i < std::size(words); ++i)
        *words[i] = GetU16(at + 1 + 2 * i);
    std::memcpy(header.Comment.data(), at + SLOT_COMMENT_OFFSET, header.Comment.size());
    return header;
}

void SaveSlotHeader::SetComment(const CStringUTF8& text)
{
    Comment.fill(0);
    const std::u16string wide = text.ToWide();
    size_t units = std::min<size_t>(wide.size(), SLOT_COMMENT_UNITS);
    if (units > 0 && units < wide.size() && IsHighSurrogate(wide[units - 1]))
        --units;
    for (size_t i = 0; i < units; ++i)
        PutU16(Comment.data() + 2 * i, static_cast<uint16_t>(wide[i]));
}

CStringUTF8 SaveSlotHeader::GetComment() const
{
    std::u16string wide;
    for (size_t i = 0; i + 1 < Comment.size(); i += 2) {
        const char16_t unit = GetU16(Comment.data() + i);
        if (unit == 0)
            break;
        wide.push_back(unit);
    }
    return CStringUTF8(wide.c_str());
}

SaveSlotTable::SaveSlotTable(std::span<uint8_t> bytes)
    : m_bytes(bytes)
{}

uint8_t* SaveSlotTable::Header(uint32_t slot) const
{
    if (slot >= SLOT_HEADER_COUNT || m_bytes.size() < SLOT_TABLE_SIZE)
        return nullptr;
    return m_bytes.data() + SLOT_HEADER_SIZE * slot;
}

SaveSlotHeader SaveSlotTable::Get(uint32_t slot) const
{
    const uint8_t* at = Header(slot);
    return at ? SaveSlotHeader::Decode(std::span<const uint8_t, SLOT_HEADER_SIZE>(at, SLOT_HEADER_SIZE))
              : SaveSlotHeader{};
}

void SaveSlotTable::Put(uint32_t slot, const SaveSlotHeader& header)
{
    if (uint8_t* at = Header(slot))
        header.Encode(std::span<uint8_t, SLOT_HEADER_SIZE>(at, SLOT_HEADER_SIZE));
}

bool SaveSlotTable::IsUsed(uint32_t slot) const
{
    const uint8_t* at = Header(slot);
    return at != nullptr && at[0] != 0;
}

void SaveSlotTable::Copy(uint32_t from, uint32_t to)
{
    const uint8_t* source = Header(from);
    uint8_t* target = Header(to);
    if (source != nullptr && target != nullptr)
        std::memmove(target, source, SLOT_HEADER_SIZE);
}

void SaveSlotTable::Clear(uint32_t slot)
{
    if (uint8_t* at = Header(slot)) {
        at[0] = 0;
        std::memset(at + SLOT_COMMENT_OFFSET, 0, SLOT_COMMENT_CLEARED_BYTES);
    }
}

int32_t SaveSlotTable::CountUsed(int32_t group) const
{
    int32_t count = 0;
    for (uint32_t slot = SlotGroupFirst(group); slot <= SlotGroupLast(group) && IsUsed(slot); ++slot)
        ++count;
    return count;
}

uint16_t SaveSlotTable::GetLastSaved() const
{
    return m_bytes.size() >= SLOT_TABLE_SIZE ? GetU16(m_bytes.data() + SLOT_LAST_SAVED_OFFSET) : 0;
}

void SaveSlotTable::SetLastSaved(uint16_t slot)
{
    if (m_bytes.size() >= SLOT_TABLE_SIZE)
        PutU16(m_bytes.data() + SLOT_LAST_SAVED_OFFSET, slot);
}

uint16_t SaveSlotTable::GetContinue() const
{
    return m_bytes.size() >= SLOT_TABLE_SIZE ? GetU16(m_bytes.data() + SLOT_CONTINUE_OFFSET) : 0;
}

void SaveSlotTable::SetContinue(uint16_t slot)
{
    if (m_bytes.size() >= SLOT_TABLE_SIZE)
        PutU16(m_bytes.data() + SLOT_CONTINUE_OFFSET, slot);
}

void GrowToSlotTable(std::vector<uint8_t>& bytes)
{
    if (bytes.size() < SLOT_TABLE_SIZE)
        bytes.resize(SLOT_TABLE_SIZE);
}
