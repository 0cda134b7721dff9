// A flag file, the saved image of a game state: read whole from a file and from a cursor over its
// bytes, then listed.
#include <span>
#include <string>

#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "foundation/ByteCursor.h"
#include "platform/kernel/FileApi.h"
#include "script/FlagBuffer.h"

int FuzzFlagBuffer(const uint8_t* data, size_t size)
{
    PrepareFuzzProcess();
    FlagBuffer buffer;
    ByteCursor cursor(std::span<const uint8_t>(data, size));
    buffer.ReadFrom(cursor);
    const CStringUTF8 path = WriteFuzzFile("flag.dat", data, size);
    HANDLE file = CreateFileW(path.GetWideText(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    FlagBuffer from_file;
    from_file.Read(file);
    CloseHandle(file);
    std::string text;
    from_file.AppendTo(text);
    from_file.TestEngineState(1);
    return 0;
}
