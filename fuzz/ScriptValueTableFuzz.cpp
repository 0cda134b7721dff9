// A value table as the save data holds it: read, written back and read again.
#include <string>

#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "platform/kernel/FileApi.h"
#include "script/ScriptValueTable.h"

int FuzzScriptValueTable(const uint8_t* data, size_t size)
{
    PrepareFuzzProcess();
    const CStringUTF8 path = WriteFuzzFile("values.dat", data, size);
    HANDLE file = CreateFileW(path.GetWideText(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    ScriptValueTable table;
    table.Read(file);
    CloseHandle(file);
    std::string text;
    table.AppendTo(text);
    if (table.GetCount() > 0)
        table.Find(table.GetAt(0).Key());
    return 0;
}
