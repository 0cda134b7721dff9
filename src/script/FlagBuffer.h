#pragma once
// The whole state of one play-through: a name, three arrays of small integers and two arrays of
// script values. The document owns the current one; save slots, backlog records and choice
// snapshots keep copies. Main thread only.

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/ByteCursor.h"
#include "foundation/CStringUTF8.h"
#include "foundation/GameValues.h"
#include "platform/kernel/WinTypes.h"
#include "script/ScriptValue.h"

inline constexpr size_t FLAG_BUFFER_VALUE_COUNT = 56;
inline constexpr size_t FLAG_FILE_NAME_FIELD = 260;
// Entries of Flags and Variables with a fixed meaning.
inline constexpr size_t FLAG_DISTRICT = 8005;
inline constexpr size_t FLAG_LOCATION = 8006;
inline constexpr size_t VARIABLE_WRITING_DIRECTION = 75;
inline constexpr size_t VARIABLE_SP_MODE = 80;

class FlagBuffer
{
public:
    // Empty name and arrays, then the fixed Values entries, each the empty value.
    FlagBuffer();

    // Copies the name and all five arrays; assigning a buffer to itself changes nothing.
    void Assign(const FlagBuffer& other);

    // The flag file form, little-endian: the name in a 260-byte zero-padded field (a longer name
    // is cut), then Values, Flags, Words, Variables and Bytes, each a u32 count and its elements.
    // Write answers whether every byte was written. Read takes the rest of the file and answers
    // whether it held a whole flag file: counts are checked against the bytes left before
    // anything is allocated, and the buffer changes only on success. Values keeps the file's count,
    // so a load and save gives the same bytes; readers of the fixed entries check their index.
    [[nodiscard]] bool Write(HANDLE file) const;
    bool Read(HANDLE file);
    bool ReadFrom(ByteCursor& cursor);
    void AppendTo(std::string& out) const;

    // Named entries. A buffer whose arrays were sized smaller by a file read answers 0 for an
    // entry it does not hold, and a write to such an entry does nothing.
    int32_t Weekday() const { return ValueInteger(VALUE_WEEKDAY); }
    void SetWeekday(int32_t weekday) { SetValueInteger(VALUE_WEEKDAY, weekday); }
    int32_t GameDate() const { return ValueInteger(VALUE_GAME_DATE); }
    void SetGameDate(int32_t date) { SetValueInteger(VALUE_GAME_DATE, date); }
    int32_t Money() const { return ValueInteger(VALUE_MONEY); }
    void SetMoney(int32_t money) { SetValueInteger(VALUE_MONEY, money); }
    int32_t GameTime() const { return ValueInteger(VALUE_GAME_TIME); }
    void SetGameTime(int32_t time) { SetValueInteger(VALUE_GAME_TIME, time); }
    int32_t ResumePosition() const { return ValueInteger(VALUE_RESUME_POSITION); }
    int32_t ChoicePosition() const { return ValueInteger(VALUE_CHOICE_POSITION); }
    uint32_t EngineStateWord() const { return static_cast<uint32_t>(ValueInteger(VALUE_ENGINE_STATE)); }
    void SetEngineStateWord(uint32_t word)
    {
        SetValueInteger(VALUE_ENGINE_STATE, static_cast<int32_t>(word));
    }
    // True when every one of the bits is set; a buffer without Values has every bit clear.
    bool TestEngineState(uint32_t bits) const { return (EngineStateWord() & bits) == bits; }
    // OR and AND-NOT into the word, setting its type to integer; nothing without Values.
    void SetEngineStateBits(uint32_t bits);
    void ClearEngineStateBits(uint32_t bits);
    uint8_t District() const { return FlagAt(FLAG_DISTRICT); }
    void SetDistrict(uint8_t district) { SetFlagAt(FLAG_DISTRICT, district); }
    uint8_t Location() const { return FlagAt(FLAG_LOCATION); }
    void SetLocation(uint8_t location) { SetFlagAt(FLAG_LOCATION, location); }
    int32_t SpMode() const { return VariableInteger(VARIABLE_SP_MODE); }
    void SetSpMode(int32_t mode);

    CStringUTF8 Name;
    std::vector<uint8_t> Flags;
    std::vector<uint16_t> Words;
    std::vector<uint8_t> Bytes;
    std::vector<ScriptValue> Values;
    std::vector<ScriptValue> Variables;

private:
    int32_t ValueInteger(size_t index) const { return index < Values.size() ? Values[index].Integer : 0; }
    void SetValueInteger(size_t index, int32_t integer);
    int32_t VariableInteger(size_t index) const
    {
        return index < Variables.size() ? Variables[index].Integer : 0;
    }
    uint8_t FlagAt(size_t index) const { return index < Flags.size() ? Flags[index] : 0; }
    void SetFlagAt(size_t index, uint8_t value);
};
