#include "script/ScriptValueTable.h"

#include <algorithm>
#include <array>

#include "platform/kernel/FileApi.h"

namespace {

void AppendU32(std::string& out, uint32_t value)
{
    const char bytes[4] = {static_cast<char>(value), static_cast<char>(value >> 8),
                           static_cast<char>(value >> 16), static_cast<char>(value >> 24)};
    out.append(bytes, 4);
}

// One little-endian word; false when the file ends first.
bool ReadU32(HANDLE file, uint32_t& value)
{
    std::array<uint8_t, 4> bytes{};
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), 4, &read, nullptr) || read != 4)
        return false;
    value = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
            (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
    return true;
}

} // namespace

void ScriptValueTable::Store(const ScriptValueArray& record)
{
    for (ScriptValueArray& existing : m_records) {
        if (existing.Key() == record.Key()) {
            if (&existing != &record)
                existing.Values = record.Values;
            return;
        }
    }
    m_records.push_back(record);
    SortByKey();
}

void ScriptValueTable::RemoveGroup(uint16_t group)
{
    std::erase_if(m_records, [group](const ScriptValueArray& record) { return record.Group == group; });
}

void ScriptValueTable::RemoveAt(size_t position)
{
    if (position < m_records.size())
        m_records.erase(m_records.begin() + static_cast<std::ptrdiff_t>(position));
}

void ScriptValueTable::Assign(const ScriptValueTable& other)
{
    if (&other == this)
        return;
    m_records = other.m_records;
    SortByKey();
}

void ScriptValueTable::Free()
{
    m_records.clear();
    m_records.shrink_to_fit();
}

ScriptValueArray* ScriptValueTable::Find(uint32_t key)
{
    for (ScriptValueArray& record : m_records) {
        if (record.Key() == key)
            return &record;
    }
    return nullptr;
}

const ScriptValueArray* ScriptValueTable::Find(uint32_t key) const
{
    return const_cast<ScriptValueTable*>(this)->Find(key);
}

void ScriptValueTable::AppendTo(std::string& out) const
{
    AppendU32(out, static_cast<uint32_t>(m_records.size()));
    for (const ScriptValueArray& record : m_records) {
        AppendU32(out, record.Key());
        AppendU32(out, static_cast<uint32_t>(record.Values.size()));
        for (const ScriptValue& value : record.Values)
            value.AppendTo(out);
    }
}

void ScriptValueTable::Write(HANDLE file) const
{
    std::string bytes;
    AppendTo(bytes);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void ScriptValueTable::Read(HANDLE file)
{
    m_records.clear();
    uint32_t record_count = 0;
    if (!ReadU32(file, record_count))
        return;
    for (uint32_t r = 0; r < record_count; ++r) {
        uint32_t key = 0;
        if (!ReadU32(file, key))
            return;
        ScriptValueArray& record = m_records.emplace_back();
        record.SetKey(key);
        uint32_t value_count = 0;
        if (!ReadU32(file, value_count))
            return;
        for (uint32_t v = 0; v < value_count; ++v) {
            if (!record.Values.emplace_back().Read(file))
                return;
        }
    }
}

void ScriptValueTable::SortByKey()
{
    std::sort(m_records.begin(), m_records.end(),
              [](const ScriptValueArray& a, const ScriptValueArray& b) { return a.Key() < b.Key(); });
}
