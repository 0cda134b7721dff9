#include "script/ScriptValueTable.h"

#include <algorithm>

#include "platform/kernel/FileApi.h"

namespace {

// The least bytes a record's header and a value's disk form take.
constexpr size_t RECORD_HEADER_SIZE = 8;
constexpr size_t VALUE_DISK_MIN_SIZE = 12;

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
    if (std::erase_if(m_records, [group](const ScriptValueArray& record) { return record.Group == group; }) >
        0)
        SortByKey();
}

void ScriptValueTable::Remove(uint16_t group, uint16_t index)
{
    std::erase_if(m_records, [group, index](const ScriptValueArray& record) {
        return record.Group == group && record.Index == index;
    });
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

bool ScriptValueTable::Write(HANDLE file) const
{
    std::string bytes;
    AppendTo(bytes);
    return WriteAllBytes(file, bytes);
}

bool ScriptValueTable::Read(HANDLE file)
{
    return ReadWholeLayout(file, *this);
}

bool ScriptValueTable::ReadFrom(ByteCursor& cursor)
{
    uint32_t record_count = 0;
    if (!cursor.ReadU32(record_count) || !cursor.CanHold(record_count, RECORD_HEADER_SIZE))
        return false;
    std::vector<ScriptValueArray> records(record_count);
    for (ScriptValueArray& record : records) {
        uint32_t key = 0, value_count = 0;
        if (!cursor.ReadU32(key) || !cursor.ReadU32(value_count) ||
            !cursor.CanHold(value_count, VALUE_DISK_MIN_SIZE))
            return false;
        record.SetKey(key);
        record.Values.resize(value_count);
        for (ScriptValue& value : record.Values) {
            if (!value.ReadFrom(cursor))
                return false;
        }
    }
    // Kept in file order: lookups scan, and the next Store or removal puts the keys in order.
    m_records = std::move(records);
    return true;
}

void ScriptValueTable::SortByKey()
{
    std::sort(m_records.begin(), m_records.end(),
              [](const ScriptValueArray& a, const ScriptValueArray& b) { return a.Key() < b.Key(); });
}
