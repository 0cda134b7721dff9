#include "support/StartupPictures.h"

#include "akbwriter/AkbWriter.h"
#include "areawriter/AreaWriter.h"
#include "sheetgen/SheetGenerator.h"

std::vector<tools::ArchiveEntry> StartupPictureEntries()
{
    const std::vector<uint8_t> tiny = tools::EncodeAkb(tools::MakePicture(1, 1, 0), {});
    std::vector<tools::ArchiveEntry> entries;
    for (const char* name :
         {"CALLENDER_P.AKB", "CALLENDER_P_EN.AKB", "CALLENDER_P_CH.AKB", "CALLENDER_P_TW.AKB", "ICON_P.AKB",
          "MESSAGE_P.AKB", "SIDEMENU_P.AKB"})
        entries.push_back({name, tiny});
    for (const char* suffix : {"", "_EN", "_CH", "_TW"})
        for (const char* sheet : {"FLAGLIST_P", "FLAGLIST_BG"})
            entries.push_back({std::string(sheet) + suffix + ".AKB", tiny});
    // Traditional Chinese falls back to the unsuffixed save sheet.
    for (const char* suffix : {"", "_EN", "_CH"})
        entries.push_back({std::string("SAVELOAD_P") + suffix + ".AKB", tiny});
    entries.push_back({"SEL_P.AKB", tiny}); // the choice window's sheet
    return entries;
}

std::vector<tools::ArchiveEntry> StartupDataEntries()
{
    return {{"MES_O.AREA", tools::BuildAreaFile(tools::MessageAreas())},
            {"MESMENU.AREA", tools::BuildAreaFile(tools::SideMenuAreas())}};
}
