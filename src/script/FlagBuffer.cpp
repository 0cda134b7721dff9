#include "script/FlagBuffer.h"

#include <algorithm>

#include "platform/kernel/FileApi.h"

namespace {

constexpr size_t VALUE_DISK_MIN_SIZE = 12;

void AppendValues(std::string& out, const std::vector<ScriptValue>& values)
{
    AppendU32(out, static_cast<uint32_t>(values.size()));
    for (const ScriptValue& value : values)
        value.AppendTo(out);
}

bool ReadValues(ByteCursor& cursor, std::vector<ScriptValue>& values)
{
    uint32_t count = 0;
    if (!cursor.ReadU32(count) || !cursor.CanHold(count, VALUE_DISK_MIN_SIZE))
        return false;
    values.resize(count);
    for (ScriptValue& value : values) {
        if (!value.ReadFrom(cursor))
            return false;
    }
    return true;
}

bool ReadBytes(ByteCursor& cursor, std::vector<uint8_t>& bytes)
{
    uint32_t count = 0;
    std::span<const uint8_t> data;
    if (!cursor.ReadU32(count) || !cursor.ReadBytes(count, data))
        return false;
    bytes.assign(data.begin(), data.end());
    return true;
}

bool ReadWords(ByteCursor& cursor, std::vector<uint16_t>& words)
{
    uint32_t count = 0;
    if (!cursor.ReadU32(count) || !cursor.CanHold(count, 2))
        return false;
    words.resize(count);
    for (uint16_t& word : words)
        cursor.ReadU16(word);
    return true;
}

} // namespace

FlagBuffer::FlagBuffer()
{
    Values.resize(FLAG_BUFFER_VALUE_COUNT);
}

void FlagBuffer::Assign(const FlagBuffer& other)
{
    if (&other == this)
        return;
    Name = other.Name;
    Flags = other.Flags;
    Words = other.Words;
    Bytes = other.Bytes;
    Values = other.Values;
    Variables = other.Variables;
}

void FlagBuffer::AppendTo(std::string& out) const
{
    const size_t name_length = std::min<size_t>(Name.GetLength(), FLAG_FILE_NAME_FIELD);
    out.append(Name.GetText(), name_length);
    out.append(FLAG_FILE_NAME_FIELD - name_length, '\0');
    AppendValues(out, Values);
    AppendU32(out, static_cast<uint32_t>(Flags.size()));
    out.append(reinterpret_cast<const char*>(Flags.data()), Flags.size());
    AppendU32(out, static_cast<uint32_t>(Words.size()));
    for (uint16_t word : Words)
        AppendU16(out, word);
    AppendValues(out, Variables);
    AppendU32(out, static_cast<uint32_t>(Bytes.size()));
    out.append(reinterpret_cast<const char*>(Bytes.data()), Bytes.size());
}

bool FlagBuffer::Write(HANDLE file) const
{
    std::string bytes;
    AppendTo(bytes);
    return WriteAllBytes(file, bytes);
}

bool FlagBuffer::Read(HANDLE file)
{
    return ReadWholeLayout(file, *this);
}

bool FlagBuffer::ReadFrom(ByteCursor& cursor)
{
    std::span<const uint8_t> name;
    if (!cursor.ReadBytes(FLAG_FILE_NAME_FIELD, name))
        return false;
    FlagBuffer read;
    const auto name_end = std::find(name.begin(), name.end(), uint8_t{0});
    read.Name = CStringUTF8(std::string(name.begin(), name_end).c_str());
    if (!ReadValues(cursor, read.Values) || !ReadBytes(cursor, read.Flags) ||
        !ReadWords(cursor, read.Words) || !ReadValues(cursor, read.Variables) ||
        !ReadBytes(cursor, read.Bytes))
        return false;
    Name = std::move(read.Name);
    Flags = std::move(read.Flags);
    Words = std::move(read.Words);
    Bytes = std::move(read.Bytes);
    Values = std::move(read.Values);
    Variables = std::move(read.Variables);
    return true;
}

void FlagBuffer::SetEngineStateBits(uint32_t bits)
{
    if (VALUE_ENGINE_STATE < Values.size())
        SetEngineStateWord(EngineStateWord() | bits);
}

void FlagBuffer::ClearEngineStateBits(uint32_t bits)
{
    if (VALUE_ENGINE_STATE < Values.size())
        SetEngineStateWord(EngineStateWord() & ~bits);
}

void FlagBuffer::SetSpMode(int32_t mode)
{
    if (VARIABLE_SP_MODE < Variables.size())
        SetIntegerValue(Variables[VARIABLE_SP_MODE], mode);
}

void FlagBuffer::SetValueInteger(size_t index, int32_t integer)
{
    if (index < Values.size())
        SetIntegerValue(Values[index], integer);
}

void FlagBuffer::SetFlagAt(size_t index, uint8_t value)
{
    if (index < Flags.size())
        Flags[index] = value;
}
