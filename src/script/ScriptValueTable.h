#pragma once
// Keyed arrays of script values with a file form. The document holds two: the table scripts
// edit while the game runs and the snapshot that a save writes; the saved script stack lives in
// group 0xFFFF. Records are kept in ascending order of their unsigned key. Main thread only.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/kernel/WinTypes.h"
#include "script/ScriptValue.h"

inline constexpr uint16_t SCRIPT_STACK_GROUP = 0xFFFF;

struct ScriptValueArray
{
    uint16_t Index = 0;
    uint16_t Group = 0;
    std::vector<ScriptValue> Values;

    uint32_t Key() const { return static_cast<uint32_t>(Group) << 16 | Index; }
    void SetKey(uint32_t key)
    {
        Index = static_cast<uint16_t>(key);
        Group = static_cast<uint16_t>(key >> 16);
    }
};

class ScriptValueTable
{
public:
    // Replaces the values of the record with the same key, or adds a copy of the record and
    // restores the key order.
    void Store(const ScriptValueArray& record);
    // Removes every record of the group, keeping the order of the rest.
    void RemoveGroup(uint16_t group);
    // Removes every record of the group and index, keeping the order of the rest.
    void Remove(uint16_t group, uint16_t index);
    // Removes the record at a position; later records move down by one.
    void RemoveAt(size_t position);
    // Becomes a copy of the other table.
    void Assign(const ScriptValueTable& other);
    void Free();

    // The record with the key, or null.
    ScriptValueArray* Find(uint32_t key);
    const ScriptValueArray* Find(uint32_t key) const;
    size_t GetCount() const { return m_records.size(); }
    ScriptValueArray& GetAt(size_t position) { return m_records[position]; }
    const ScriptValueArray& GetAt(size_t position) const { return m_records[position]; }

    // File form, little-endian: u32 record count, then per record u32 key, u32 value count and
    // the values in their disk form. Write answers whether every byte was written. Read takes
    // the rest of the file and answers whether it held a whole table: counts are checked against
    // the bytes left before anything is allocated, and the table changes only on success.
    bool Write(HANDLE file) const;
    bool Read(HANDLE file);
    bool ReadFrom(ByteCursor& cursor);
    void AppendTo(std::string& out) const;

private:
    void SortByKey();

    std::vector<ScriptValueArray> m_records;
};
