// An already-read file ("onemes.dat" of the save folder) loaded into a buffer of the size the
// first two bytes give (messages, little-endian); the rest of the input is the file.
#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "app/CVeskDoc.h"
#include "script/commands/CFuncOneMes.h"
#include "script/vm/ScriptContext.h"

int FuzzReadBuffer(const uint8_t* data, size_t size)
{
    PrepareFuzzProcess();
    if (size < 2)
        return 0;
    FuzzApplication();
    WriteFuzzFile("onemes.dat", data + 2, size - 2);
    // Every command group reads the document it works for as it is made.
    GetDocument();
    ScriptContext context;
    CFuncOneMes group;
    group.Context = &context;
    group.ResizeReadBuffer(data[0] | data[1] << 8);
    group.LoadReadBuffer();
    group.IsRead(0);
    return 0;
}
