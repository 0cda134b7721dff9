// An archive file: its index, and entries opened and read by the names the seeds use. The first
// byte chooses the reading: bit 0 compressed entries, bit 1 extraction of every entry.
#include <filesystem>
#include <vector>

#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "foundation/CArchiveFile.h"
#include "foundation/CString.h"

int FuzzArchive(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    PrepareFuzzProcess();
    const bool compressed = (data[0] & 1) != 0;
    const bool extract = (data[0] & 2) != 0;
    const CStringUTF8 path = WriteFuzzFile("fuzz.arc", data + 1, size - 1);
    CArchiveFile archive;
    try {
        if (archive.OpenArchive(path, compressed, false) == 0)
            return 0;
        for (const char* name : {"A.TXT", "B.DAT", "START.MES", "E", "PICTURE.AKB"}) {
            if (!archive.OpenRead(name))
                continue;
            std::vector<uint8_t> bytes(archive.GetSize());
            archive.GetPosition();
            archive.ReadAll(bytes.data());
            archive.Close();
        }
    } catch (const CString&) {
        // The archive's read errors are its answer to a damaged entry.
    }
    if (extract) {
        const std::string folder = FuzzScratchFolder() + "/extract";
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        std::filesystem::create_directories(folder);
        archive.ExtractEntry(CStringUTF8(folder));
    }
    archive.CloseArchive();
    return 0;
}
