#include "script/ScriptValue.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "platform/kernel/FileApi.h"

namespace {

constexpr size_t DISK_HEADER_SIZE = 12;

// The text of a record: up to its first zero byte.
CStringUTF8 TextOf(std::span<const uint8_t> bytes)
{
    const auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
    return CStringUTF8(std::string(bytes.begin(), end).c_str());
}

} // namespace

void ScriptValue::AppendTo(std::string& out) const
{
    const uint32_t length = static_cast<uint32_t>(Text.GetLength());
    AppendU32(out, Type);
    AppendU32(out, static_cast<uint32_t>(Integer));
    AppendU32(out, length);
    out.append(Text.GetText(), length);
}

bool ScriptValue::Write(HANDLE file) const
{
    std::string bytes;
    AppendTo(bytes);
    return WriteAllBytes(file, bytes);
}

bool ScriptValue::Read(HANDLE file)
{
    std::array<uint8_t, DISK_HEADER_SIZE> header{};
    DWORD read = 0;
    if (!ReadFile(file, header.data(), static_cast<DWORD>(header.size()), &read, nullptr) ||
        read != header.size())
        return false;
    ByteCursor fields(header);
    uint32_t type = 0, integer = 0, length = 0;
    fields.ReadU32(type);
    fields.ReadU32(integer);
    fields.ReadU32(length);
    const DWORD size = GetFileSize(file, nullptr);
    const DWORD position = SetFilePointer(file, 0, nullptr, FILE_CURRENT);
    if (size == INVALID_FILE_SIZE || position == INVALID_SET_FILE_POINTER || position > size ||
        length > size - position)
        return false;
    std::vector<uint8_t> text(length);
    if (length != 0 && (!ReadFile(file, text.data(), length, &read, nullptr) || read != length))
        return false;
    Type = type;
    Integer = static_cast<int32_t>(integer);
    Text = TextOf(text);
    return true;
}

bool ScriptValue::ReadFrom(ByteCursor& cursor)
{
    uint32_t type = 0, integer = 0, length = 0;
    std::span<const uint8_t> text;
    if (!cursor.ReadU32(type) || !cursor.ReadU32(integer) || !cursor.ReadU32(length) ||
        !cursor.ReadBytes(length, text))
        return false;
    Type = type;
    Integer = static_cast<int32_t>(integer);
    Text = TextOf(text);
    return true;
}

ScriptValue AddScriptValues(const ScriptValue& a, const ScriptValue& b)
{
    ScriptValue result;
    if (a.Type == SCRIPT_VALUE_INTEGER) {
        result.Integer =
            static_cast<int32_t>(static_cast<uint32_t>(a.Integer) + static_cast<uint32_t>(b.Integer));
    } else if (a.Type == SCRIPT_VALUE_TEXT) {
        result.Type = SCRIPT_VALUE_TEXT;
        result.Text = a.Text;
        result.Text.Append(b.Text.GetText());
    }
    return result;
}
