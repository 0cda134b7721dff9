#include "script/ScriptValue.h"

#include <algorithm>
#include <array>
#include <string>

#include "platform/kernel/FileApi.h"

namespace {

void PutU32(uint8_t* out, uint32_t value)
{
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
    out[2] = static_cast<uint8_t>(value >> 16);
    out[3] = static_cast<uint8_t>(value >> 24);
}

uint32_t GetU32(const uint8_t* in)
{
    return static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
           (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
}

// Text bytes come in bounded chunks, so a damaged length cannot make us reserve gigabytes for
// a file that holds a few bytes: memory grows only with what was really read.
constexpr uint32_t TEXT_CHUNK = 64 * 1024;

} // namespace

void ScriptValue::AppendTo(std::string& out) const
{
    const uint32_t length = static_cast<uint32_t>(Text.GetLength());
    uint8_t header[12];
    PutU32(header, Type);
    PutU32(header + 4, static_cast<uint32_t>(Integer));
    PutU32(header + 8, length);
    out.append(reinterpret_cast<const char*>(header), sizeof header);
    out.append(Text.GetText(), length);
}

void ScriptValue::Write(HANDLE file) const
{
    std::string bytes;
    AppendTo(bytes);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool ScriptValue::Read(HANDLE file)
{
    std::array<uint8_t, 12> header{};
    DWORD read = 0;
    if (!ReadFile(file, header.data(), static_cast<DWORD>(header.size()), &read, nullptr))
        read = 0;
    Type = GetU32(header.data());
    Integer = static_cast<int32_t>(GetU32(header.data() + 4));
    uint32_t remaining = GetU32(header.data() + 8);
    if (remaining == 0) {
        Text.Empty();
        return read == header.size();
    }
    std::string bytes;
    bool complete = read == header.size();
    while (complete && remaining > 0) {
        const uint32_t chunk = std::min(remaining, TEXT_CHUNK);
        const size_t old_size = bytes.size();
        bytes.resize(old_size + chunk, '\0');
        DWORD got = 0;
        if (!ReadFile(file, bytes.data() + old_size, chunk, &got, nullptr))
            got = 0;
        bytes.resize(old_size + got);
        complete = got == chunk;
        remaining -= chunk;
    }
    // The text ends at its first zero byte, as a zero-filled C buffer would.
    Text = CStringUTF8(bytes.c_str());
    return complete;
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
