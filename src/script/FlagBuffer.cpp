#include "script/FlagBuffer.h"

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
