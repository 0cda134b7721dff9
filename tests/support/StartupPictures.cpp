#include "support/StartupPictures.h"

#include "akbwriter/AkbWriter.h"

std::vector<tools::ArchiveEntry> StartupPictureEntries()
{
    const std::vector<uint8_t> tiny = tools::EncodeAkb(tools::MakePicture(1, 1, 0), {});
    std::vector<tools::ArchiveEntry> entries;
    for (const char* name :
         {"CALLENDER_P.AKB", "CALLENDER_P_EN.AKB", "CALLENDER_P_CH.AKB", "CALLENDER_P_TW.AKB", "ICON_P.AKB"})
        entries.push_back({name, tiny});
    entries.push_back({"SEL_P.AKB", tiny}); // the choice window's sheet
    return entries;
}
