// A FLAG image, the initial save set carried in the executable: every entry decoded and written.
#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "foundation/CFile.h"
#include "foundation/CFlagArc.h"

int FuzzFlagArc(const uint8_t* data, size_t size)
{
    PrepareFuzzProcess();
    CFlagArc archive(data, static_cast<DWORD>(size));
    const CStringUTF8 path = WriteFuzzFile("flag.out", nullptr, 0);
    for (size_t index = 0; index < archive.GetCount(); ++index) {
        archive.GetName(index);
        CFile file;
        if (!file.OpenWrite(path, CREATE_ALWAYS))
            return 0;
        archive.ReadEntry(index, &file);
        file.Close();
    }
    return 0;
}
