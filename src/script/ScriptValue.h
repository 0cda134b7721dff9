#pragma once
// The one datum of compiled scripts: an integer or a text. Values live on the interpreter's
// stack, in the game-state banks, in keyed value tables and in save and flag files. Plain data,
// copied by value; no thread owns it beyond its holder.

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/ByteCursor.h"
#include "foundation/CStringUTF8.h"
#include "platform/kernel/WinTypes.h"

inline constexpr uint32_t SCRIPT_VALUE_INTEGER = 0;
inline constexpr uint32_t SCRIPT_VALUE_TEXT = 1;

struct ScriptValue
{
    uint32_t Type = SCRIPT_VALUE_INTEGER; // a value read from a file keeps whatever code it holds
    int32_t Integer = 0;
    CStringUTF8 Text;

    ScriptValue() = default;
    static ScriptValue FromInteger(int32_t integer)
    {
        ScriptValue value;
        value.Integer = integer;
        return value;
    }
    static ScriptValue FromText(const CStringUTF8& text)
    {
        ScriptValue value;
        value.Type = SCRIPT_VALUE_TEXT;
        value.Text = text;
        return value;
    }

    // Back to the empty value: type 0, integer 0, empty text.
    void Clear()
    {
        Type = SCRIPT_VALUE_INTEGER;
        Integer = 0;
        Text.Empty();
    }

    // Disk form, little-endian: u32 type, u32 integer, u32 byte length L, L bytes of UTF-8
    // without terminator; the text ends at its first zero byte. Write answers whether every
    // byte was written. Read answers whether the whole record was there; a length beyond the
    // file's end is refused before anything is allocated, and the value changes only on success.
    bool Write(HANDLE file) const;
    bool Read(HANDLE file);
    bool ReadFrom(ByteCursor& cursor);
    // The disk form appended to a byte string, for writers that gather a file before writing.
    void AppendTo(std::string& out) const;
};

// Type 0 left operand: integer sum (wrapping). Type 1: the texts joined, whatever the right
// operand's type. Any other type: the empty value.
ScriptValue AddScriptValues(const ScriptValue& a, const ScriptValue& b);

// Sets type 0 and the integer, leaving the text as it is.
inline void SetIntegerValue(ScriptValue& value, int32_t integer)
{
    value.Type = SCRIPT_VALUE_INTEGER;
    value.Integer = integer;
}

// Element i of a value array, for the command groups.
inline ScriptValue& ScriptValueAt(std::vector<ScriptValue>& array, size_t i)
{
    return array[i];
}
