// sheetgen: writes screens' picture sheets and area files, and reads cells back from frames. A
// picture with words that the game asks for by its language form is written under the name given
// for Japanese and under its "_en", "_ch" and "_tw" forms for the other languages; one the game
// reads by its plain name in every language carries marks (○, ×, ▲) or every language's words at
// once, no words of one language.
//   sheetgen dialog-sheet <folder>         "dialog_p.akb" and "dialog_p2.akb" into the folder
//   sheetgen dialog-areas <folder>         "dialog.area", "dialog2.area" and "dialog3.area"
//   sheetgen name-input-sheet <folder>     "keybord_p.akb" into the folder
//   sheetgen name-input-areas <folder>     "NameInput.area" into the folder
//   sheetgen gallery-sheets <folder>       the CG gallery's three sheets, every language's name
//   sheetgen gallery-areas <folder>        "cgmode.area" and "cgview.area"
//   sheetgen thumbnails <file> <first id>  a sheet of twelve thumbnails, ids from the first on
//   sheetgen cg-pictures <folder>          the demo's CG base pictures and overlay
//   sheetgen music-sheets <folder>         the music room's two sheets and "musicmode.area"
//   sheetgen music-picture <file> <slot>   a track picture of the music room
//   sheetgen map-pictures <folder>         the map screens' sheets and pictures into the folder
//   sheetgen map-data <folder>             the sub maps' area files into the folder
//   sheetgen message-sheets <folder>       "message_p.akb" and "sidemenu_p.akb" into the folder
//   sheetgen message-areas <folder>        "mes_o.area" and "mesmenu.area" into the folder
//   sheetgen config-sheet <folder>         the settings pages' pictures: "systemsound_p.akb",
//                                          "systemcover.akb", "system_bg.akb", "sound_bg.akb" and
//                                          "sound_cover.akb"
//   sheetgen config-areas <folder>         "config00.area" and "config01.area"
//   sheetgen title-sheet <folder>          "title_p.akb" and its language variants into the folder
//   sheetgen title-areas <folder>          "title.area" to "title4.area" and "titleSP.area"
//   sheetgen slot-sheet <folder>           "slot_p.akb", the four "slot_bg" forms and the
//                                          1920 x 2160 "slot_tall.akb" forms into the folder
//   sheetgen slot-areas <folder>           "slot.area" into the folder
//   sheetgen backlog-sheets <folder>       "log_p.akb" and "log_cover.akb" into the folder
//   sheetgen backlog-areas <folder>        "backlog00.area" into the folder
//   sheetgen flag-pictures <folder>        the flag screens' sheets in every language's name
//   sheetgen flag-data <folder>            "FlagMng.area", "FlagDetails.area" and "sysmenu.carea"
//   sheetgen choice-sheet <folder>         "sel_p.akb" into the folder
//   sheetgen saveload-sheets <folder>      "saveload_p.akb" and "saveload_bg.akb" in every
//                                          language's name
//   sheetgen saveload-areas <folder>       "saveload.area" and "savenote.area"
//   sheetgen preview <folder>              the demo's worded sheets as PNG files, to look at
//   sheetgen find-cell <frame.png> <x> <y> <id> [state]
//   sheetgen find-cells <frame.png> <x>,<y>,<id>[,<state>]...   all of them
//                                          exit 0 when the pixel shows a cell of the control id
//                                          (in that state, when given)
//   sheetgen find-first <x>,<y>,<id>[,<state>]... -- <frame.png>...
//                                          prints the first frame that shows all of them; exit 1
//                                          when none does
#include "platform/d3d/PngWriter.h"
#include "platform/gdi/PngCodec.h"
#include "sheetgen/BacklogSheet.h"
#include "sheetgen/CharacterSheets.h"
#include "sheetgen/ChoiceSheet.h"
#include "sheetgen/DemoMapSheets.h"
#include "sheetgen/DemoSheets.h"
#include "sheetgen/FlagSheets.h"
#include "sheetgen/MapSheets.h"
#include "sheetgen/MusicSheets.h"
#include "sheetgen/SaveLoadSheets.h"
#include "sheetgen/SheetGenerator.h"
#include "sheetgen/SlotSheet.h"
#include "textpaint/LanguageWords.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

bool Write(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        std::fprintf(stderr, "sheetgen: cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

bool HasCell(const platform::PngPicture& picture, int x, int y, uint32_t wanted, int32_t wanted_state)
{
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height)
        return false;
    uint32_t id = 0;
    int32_t state = 0;
    const uint32_t pixel = picture.pixels[static_cast<size_t>(y) * static_cast<size_t>(picture.width) + x];
    return tools::DecodeCellColour(pixel | 0xFF000000u, id, state) && id == wanted &&
           (wanted_state < 0 || state == wanted_state);
}

struct CellCheck
{
    int x = 0;
    int y = 0;
    uint32_t id = 0;
    int32_t state = -1;
};

// "x,y,id[,state]" arguments; nothing when one cannot be read.
std::optional<std::vector<CellCheck>> ParseChecks(char** args, int count)
{
    std::vector<CellCheck> checks(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        int id = 0;
        CellCheck& check = checks[static_cast<size_t>(i)];
        if (std::sscanf(args[i], "%d,%d,%i,%d", &check.x, &check.y, &id, &check.state) < 3)
            return std::nullopt;
        check.id = static_cast<uint32_t>(id);
    }
    return checks;
}

bool HasCells(const platform::PngPicture& picture, const std::vector<CellCheck>& checks)
{
    return std::all_of(checks.begin(), checks.end(), [&](const CellCheck& check) {
        return HasCell(picture, check.x, check.y, check.id, check.state);
    });
}

// Every "x,y,id[,state]" argument must hold: 0 when all do, 1 when one does not, 2 for a frame
// that cannot be read or an argument that cannot.
int FindCells(const char* path, char** args, int count)
{
    const std::optional<std::vector<CellCheck>> checks = ParseChecks(args, count);
    const std::optional<platform::PngPicture> picture = platform::ReadPngFile(path);
    if (!checks || !picture)
        return 2;
    return HasCells(*picture, *checks) ? 0 : 1;
}

// One process for a whole run of frames: a script that started one per frame spent most of its
// time starting them (seconds a frame under the sanitizers).
int FindFirst(char** args, int count)
{
    int split = 0;
    while (split < count && std::strcmp(args[split], "--") != 0)
        ++split;
    const std::optional<std::vector<CellCheck>> checks = ParseChecks(args, split);
    if (split == 0 || split == count || !checks)
        return 2;
    for (int i = split + 1; i < count; ++i) {
        // A frame cut off by the run's end reads as none of them, as it would on its own.
        const std::optional<platform::PngPicture> picture = platform::ReadPngFile(args[i]);
        if (picture && HasCells(*picture, *checks)) {
            std::printf("%s\n", args[i]);
            return 0;
        }
    }
    return 1;
}

// A picture in every language: the name as given for Japanese, its "_en", "_ch" and "_tw" forms
// for the others.
template <typename Draw>
bool WriteForms(const std::string& path, const Draw& draw)
{
    for (int32_t language = 0; language < 4; ++language)
        if (!Write(tools::LanguageName(path, language),
                   tools::EncodeAkb(draw(tools::LanguageOfIndex(language)), {})))
            return false;
    return true;
}

// A picture the game loads by its plain name in every language: marks or every language's words,
// no words of one language, under that name.
template <typename Draw>
bool WritePlain(const std::string& path, const Draw& draw)
{
    return Write(path, tools::EncodeAkb(draw(tools::WordsLanguage::Marks), {}));
}

// A picture some screens load by its language form and others by its plain name: the English and
// Chinese forms with their words, the plain name as a picture every language reads.
template <typename Draw>
bool WriteFormsOverMarks(const std::string& path, const Draw& draw)
{
    for (int32_t language = 0; language < 3; ++language)
        if (!Write(tools::LanguageName(path, language),
                   tools::EncodeAkb(draw(tools::LanguageOfIndex(language)), {})))
            return false;
    return WritePlain(path, draw);
}

// The demo's worded sheets as PNG files, to look at.
bool WritePreviews(const std::string& folder)
{
    const std::pair<const char*, tools::AkbPicture> sheets[] = {
        {"title_p", tools::DemoTitleSheet(tools::WordsLanguage::Japanese)},
        {"title_p_en", tools::DemoTitleSheet(tools::WordsLanguage::English)},
        {"title_p_ch", tools::DemoTitleSheet(tools::WordsLanguage::Simplified)},
        {"title_p_tw", tools::DemoTitleSheet(tools::WordsLanguage::Traditional)},
        {"message_p", tools::DemoMessageSheet(tools::WordsLanguage::Marks)},
        {"sidemenu_p", tools::DemoSideMenuSheet(tools::WordsLanguage::Marks)},
        {"dialog_p", tools::DemoDialogSheet(tools::WordsLanguage::Marks)},
        {"dialog_p_ch", tools::DemoDialogSheet(tools::WordsLanguage::Simplified)},
        {"dialog_p2", tools::DemoNoticeSheet(tools::WordsLanguage::Marks)},
        {"systemsound_p", tools::DemoConfigSheet(tools::WordsLanguage::Marks)},
        {"systemsound_p_tw", tools::DemoConfigSheet(tools::WordsLanguage::Traditional)},
        {"systemcover", tools::DemoConfigCover(tools::WordsLanguage::Marks)},
        {"keybord_p", tools::DemoNameInputSheet(tools::WordsLanguage::Marks)},
        {"log_p", tools::DemoBacklogSheet(tools::WordsLanguage::Marks)},
        {"icon_p", tools::DemoIconSheet(tools::WordsLanguage::Marks)},
        {"select_p", tools::DemoAreaSheet(tools::WordsLanguage::Marks)},
        {"modelist_p", tools::DemoGalleryListSheet(tools::WordsLanguage::Japanese)},
        {"cgscenemode_p_en", tools::DemoGalleryModeSheet(tools::WordsLanguage::English)},
        {"modecover_p", tools::DemoGalleryCoverSheet(tools::WordsLanguage::Japanese)},
        {"cg_r01_ch", tools::DemoThumbnailSheet(0x3530, tools::WordsLanguage::Simplified)},
        {"music_p_en", tools::DemoMusicRowSheet(tools::WordsLanguage::English)},
        {"musicmode_p", tools::DemoMusicControlSheet(tools::WordsLanguage::Japanese)},
        {"a000_tw", tools::DemoMusicTrackPicture(0, tools::WordsLanguage::Traditional)},
        {"slot_p", tools::DemoSlotSheet()},
        {"saveload_p_ch", tools::DemoSaveLoadSheet(tools::WordsLanguage::Simplified)},
        {"sel_p", tools::DemoChoiceSheet(tools::WordsLanguage::Marks)},
        {"callender_p", tools::DemoPlateSheet(tools::WordsLanguage::Japanese)},
        {"callender_p_en", tools::DemoPlateSheet(tools::WordsLanguage::English)},
        {"m_quosla_p", tools::DemoSubMapPartsSheet(0, tools::WordsLanguage::Japanese)},
        {"m_tavrelin_p_en", tools::DemoSubMapPartsSheet(1, tools::WordsLanguage::English)},
        {"m_school_p", tools::DemoSubMapPartsSheet(2, tools::WordsLanguage::Japanese)},
        {"m_quosla_bg", tools::DemoSubMapBackground(0, tools::WordsLanguage::Japanese)},
        {"time_p", tools::DemoTimeSheet(tools::WordsLanguage::Japanese)},
        {"time_p_en", tools::DemoTimeSheet(tools::WordsLanguage::English)},
        {"charlist_p", tools::DemoCharListSheet(tools::WordsLanguage::Japanese)},
        {"name_list_en", tools::DemoNameListSheet(tools::WordsLanguage::English)},
        {"diary00", tools::DemoDiarySheet(0, tools::WordsLanguage::Japanese)},
        {"diary01_en", tools::DemoDiarySheet(1, tools::WordsLanguage::English)},
        {"flagschedule_p", tools::DemoFlagScheduleSheet(tools::WordsLanguage::Japanese)},
        {"flagschedule_p_en", tools::DemoFlagScheduleSheet(tools::WordsLanguage::English)},
        {"flagschedule_p_ch", tools::DemoFlagScheduleSheet(tools::WordsLanguage::Simplified)},
        {"flagschedule_p_tw", tools::DemoFlagScheduleSheet(tools::WordsLanguage::Traditional)},
    };
    std::vector<std::pair<std::string, tools::AkbPicture>> all(std::begin(sheets), std::end(sheets));
    for (auto& cg : tools::CaptionedCGPictures(tools::WordsLanguage::Traditional))
        all.push_back(std::move(cg));
    for (const auto& [name, picture] : all) {
        std::vector<uint8_t> rgba(picture.pixels.size() * 4);
        for (size_t i = 0; i < picture.pixels.size(); ++i) {
            const uint32_t pixel = picture.pixels[i];
            rgba[4 * i] = static_cast<uint8_t>(pixel >> 16);
            rgba[4 * i + 1] = static_cast<uint8_t>(pixel >> 8);
            rgba[4 * i + 2] = static_cast<uint8_t>(pixel);
            rgba[4 * i + 3] = static_cast<uint8_t>(pixel >> 24);
        }
        if (!platform::WritePngRgba(folder + "/" + name + ".png", picture.width, picture.height, rgba.data(),
                                    static_cast<size_t>(picture.width) * 4))
            return false;
    }
    return true;
}

int FindCell(const char* path, int x, int y, uint32_t wanted, int32_t wanted_state)
{
    const std::optional<platform::PngPicture> picture = platform::ReadPngFile(path);
    if (!picture || x < 0 || y < 0 || x >= picture->width || y >= picture->height)
        return 2;
    return HasCell(*picture, x, y, wanted, wanted_state) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "dialog-sheet") == 0)
        return WriteFormsOverMarks(std::string(argv[2]) + "/dialog_p.akb", tools::DemoDialogSheet) &&
                       WritePlain(std::string(argv[2]) + "/dialog_p2.akb", tools::DemoNoticeSheet)
                   ? 0
                   : 1;
    if (argc == 3 && std::strcmp(argv[1], "name-input-sheet") == 0)
        return WritePlain(std::string(argv[2]) + "/keybord_p.akb", tools::DemoNameInputSheet) ? 0 : 1;
    if (argc == 3 && std::strcmp(argv[1], "name-input-areas") == 0)
        return Write(std::string(argv[2]) + "/NameInput.area", tools::BuildAreaFile(tools::NameInputAreas()))
                   ? 0
                   : 1;
    if (argc == 3 && std::strcmp(argv[1], "dialog-areas") == 0) {
        const std::string folder = std::string(argv[2]) + "/";
        return Write(folder + "dialog.area", tools::BuildAreaFile(tools::DialogAreas(true))) &&
                       Write(folder + "dialog2.area", tools::BuildAreaFile(tools::DialogAreas(false))) &&
                       Write(folder + "dialog3.area", tools::BuildAreaFile(tools::NoticeAreas()))
                   ? 0
                   : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "gallery-sheets") == 0) {
        for (const char* suffix : {"", "_en", "_ch", "_tw"}) {
            const tools::WordsLanguage language = tools::LanguageOfSuffix(suffix);
            const std::pair<const char*, tools::AkbPicture> sheets[] = {
                {"modelist_p", tools::DemoGalleryListSheet(language)},
                {"modecover_p", tools::DemoGalleryCoverSheet(language)}};
            for (const auto& [name, picture] : sheets)
                if (!Write(std::string(argv[2]) + "/" + name + suffix + ".akb",
                           tools::EncodeAkb(picture, {})))
                    return 1;
        }
        // The plain sheet is the Japanese gallery's; the diary takes its close button from it in
        // every language (see DemoGalleryModeSheet).
        return WriteForms(std::string(argv[2]) + "/cgscenemode_p.akb", tools::DemoGalleryModeSheet) ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "gallery-areas") == 0) {
        const std::string folder = std::string(argv[2]) + "/";
        return Write(folder + "cgmode.area", tools::BuildAreaFile(tools::GalleryAreas(false))) &&
                       Write(folder + "cgview.area", tools::BuildAreaFile(tools::GalleryAreas(true)))
                   ? 0
                   : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "music-sheets") == 0) {
        const std::string folder = std::string(argv[2]) + "/";
        for (const char* suffix : {"", "_en", "_ch", "_tw"}) {
            const tools::WordsLanguage language = tools::LanguageOfSuffix(suffix);
            const std::pair<const char*, tools::AkbPicture> sheets[] = {
                {"music_p", tools::DemoMusicRowSheet(language)},
                {"musicmode_p", tools::DemoMusicControlSheet(language)}};
            for (const auto& [name, picture] : sheets)
                if (!Write(folder + name + suffix + ".akb", tools::EncodeAkb(picture, {})))
                    return 1;
        }
        return Write(folder + "musicmode.area", tools::BuildAreaFile(tools::MusicAreas())) ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "cg-pictures") == 0) {
        // The viewer and the picture slots show them by their plain names, by which the seen-picture
        // registry knows them: those carry no caption. A script laying one as a plain picture asks
        // for its form.
        for (int32_t language = 0; language < 4; ++language) {
            const tools::WordsLanguage words =
                language == 3 ? tools::WordsLanguage::Marks : tools::LanguageOfIndex(language);
            for (const auto& [name, picture] : tools::CaptionedCGPictures(words))
                if (!Write(std::string(argv[2]) + "/" + tools::LanguageName(name, language),
                           tools::EncodeAkb(picture, {})))
                    return 1;
        }
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "music-picture") == 0) {
        const int32_t slot = std::atoi(argv[3]);
        return WritePlain(argv[2],
                          [&](tools::WordsLanguage language) {
                              return tools::DemoMusicTrackPicture(slot, language);
                          })
                   ? 0
                   : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "thumbnails") == 0) {
        const auto first = static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 0));
        return WritePlain(
                   argv[2],
                   [&](tools::WordsLanguage language) { return tools::DemoThumbnailSheet(first, language); })
                   ? 0
                   : 1;
    }
    if (argc == 3 && (std::strcmp(argv[1], "map-pictures") == 0 || std::strcmp(argv[1], "map-data") == 0)) {
        const bool pictures = std::strcmp(argv[1], "map-pictures") == 0;
        for (const tools::NamedFile& file : pictures ? tools::DemoMapPictureFiles() : tools::MapDataFiles())
            if (!Write(std::string(argv[2]) + "/" + file.name, file.bytes))
                return 1;
        for (const tools::NamedFile& file :
             pictures ? tools::DemoCharacterPictureFiles() : tools::CharacterDataFiles())
            if (!Write(std::string(argv[2]) + "/" + file.name, file.bytes))
                return 1;
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "message-sheets") == 0) {
        const std::string folder = std::string(argv[2]) + "/";
        return WritePlain(folder + "message_p.akb", tools::DemoMessageSheet) &&
                       WritePlain(folder + "sidemenu_p.akb", tools::DemoSideMenuSheet)
                   ? 0
                   : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "backlog-sheets") == 0) {
        const std::string folder = std::string(argv[2]) + "/";
        return WritePlain(folder + "log_p.akb", tools::DemoBacklogSheet) &&
                       WritePlain(folder + "log_cover.akb", tools::DemoBacklogCover)
                   ? 0
                   : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "backlog-areas") == 0)
        return Write(std::string(argv[2]) + "/backlog00.area", tools::BuildAreaFile(tools::BacklogAreas()))
                   ? 0
                   : 1;
    if (argc == 3 && std::strcmp(argv[1], "message-areas") == 0) {
        const std::string folder = std::string(argv[2]) + "/";
        return Write(folder + "mes_o.area", tools::BuildAreaFile(tools::MessageAreas())) &&
                       Write(folder + "mesmenu.area", tools::BuildAreaFile(tools::SideMenuAreas()))
                   ? 0
                   : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "config-sheet") == 0) {
        const std::string folder = std::string(argv[2]) + "/";
        const tools::AkbPicture plain =
            tools::BuildSheet(1920, 1080, {{0, 0, 1920, 1080, tools::CONFIG_SHEET_BACKGROUND, 0, "BG"}});
        const auto background = [&](const tools::CellWords& name) {
            return [&plain, name](tools::WordsLanguage language) {
                // Shown in every language: the name in every language at once.
                return language == tools::WordsLanguage::Marks
                           ? tools::DemoScreenBackground(plain, 0, tools::EveryLanguage(name))
                           : tools::DemoScreenBackground(plain, tools::IndexOfLanguage(language), name);
            };
        };
        // Traditional Chinese sound settings ask for their own sheet; every other page, the plain one.
        return Write(folder + "systemsound_p_tw.akb",
                     tools::EncodeAkb(tools::DemoConfigSheet(tools::WordsLanguage::Traditional), {})) &&
                       WritePlain(folder + "systemsound_p.akb", tools::DemoConfigSheet) &&
                       WritePlain(folder + "systemcover.akb", tools::DemoConfigCover) &&
                       WritePlain(folder + "system_bg.akb",
                                  background({"システム設定", "System settings", "系统设置", "系統設定"})) &&
                       WritePlain(folder + "sound_bg.akb",
                                  [&plain](tools::WordsLanguage language) {
                                      return tools::DemoSoundBackground(plain, language);
                                  }) &&
                       WriteForms(folder + "sound_cover.akb", tools::DemoSoundCover)
                   ? 0
                   : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "config-areas") == 0)
        return Write(std::string(argv[2]) + "/config00.area", tools::BuildAreaFile(tools::ConfigAreas())) &&
                       Write(std::string(argv[2]) + "/config01.area",
                             tools::BuildAreaFile(tools::SoundConfigAreas()))
                   ? 0
                   : 1;
    if (argc == 3 && std::strcmp(argv[1], "title-sheet") == 0) {
        // With alpha: each button's right end is clear (see DemoTitleSheet).
        for (const char* suffix : {"", "_en", "_ch", "_tw"})
            if (!Write(std::string(argv[2]) + "/title_p" + suffix + ".akb",
                       tools::EncodeAkb(tools::DemoTitleSheet(tools::LanguageOfSuffix(suffix)), {})))
                return 1;
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "title-areas") == 0) {
        for (const auto& [name, areas] : tools::TitleAreaFiles())
            if (!Write(std::string(argv[2]) + "/" + name, tools::BuildAreaFile(areas)))
                return 1;
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "slot-sheet") == 0) {
        const std::string folder = std::string(argv[2]) + "/";
        bool written = Write(folder + "slot_p.akb", tools::EncodeAkb(tools::DemoSlotSheet(), {}));
        const std::vector<std::string> names = tools::SlotBackgroundNames();
        for (int32_t language = 0; language < 4; ++language)
            written =
                written &&
                Write(folder + names[language], tools::EncodeAkb(tools::DemoSlotBackground(language), {})) &&
                Write(folder + tools::LanguageName("slot_tall.akb", language),
                      tools::EncodeAkb(tools::BuildTallPicture(2160, language), {}));
        return written ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "slot-areas") == 0)
        return Write(std::string(argv[2]) + "/slot.area", tools::BuildAreaFile(tools::SlotAreas())) ? 0 : 1;
    if (argc == 3 && (std::strcmp(argv[1], "flag-pictures") == 0 || std::strcmp(argv[1], "flag-data") == 0)) {
        const bool pictures = std::strcmp(argv[1], "flag-pictures") == 0;
        for (const tools::NamedFile& file : pictures ? tools::DemoFlagPictureFiles() : tools::FlagDataFiles())
            if (!Write(std::string(argv[2]) + "/" + file.name, file.bytes))
                return 1;
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "choice-sheet") == 0)
        return WritePlain(std::string(argv[2]) + "/sel_p.akb", tools::DemoChoiceSheet) ? 0 : 1;
    if (argc == 3 && std::strcmp(argv[1], "saveload-sheets") == 0) {
        const std::vector<std::string> sheets = tools::SaveLoadSheetNames();
        const std::vector<std::string> backgrounds = tools::SaveLoadBackgroundNames();
        for (size_t language = 0; language < sheets.size(); ++language) {
            const std::vector<uint8_t> sheet = tools::EncodeAkb(
                tools::DemoSaveLoadSheet(tools::LanguageOfIndex(static_cast<int32_t>(language))), {});
            const std::vector<uint8_t> background =
                tools::EncodeAkb(tools::DemoSaveLoadBackground(static_cast<int32_t>(language)), {});
            if (!Write(std::string(argv[2]) + "/" + sheets[language], sheet) ||
                !Write(std::string(argv[2]) + "/" + backgrounds[language], background))
                return 1;
        }
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "saveload-areas") == 0)
        return Write(std::string(argv[2]) + "/saveload.area", tools::BuildAreaFile(tools::SaveLoadAreas())) &&
                       Write(std::string(argv[2]) + "/savenote.area",
                             tools::BuildAreaFile(tools::SaveNoteAreas()))
                   ? 0
                   : 1;
    if (argc == 3 && std::strcmp(argv[1], "preview") == 0)
        return WritePreviews(argv[2]) ? 0 : 1;
    if (argc >= 4 && std::strcmp(argv[1], "find-cells") == 0)
        return FindCells(argv[2], argv + 3, argc - 3);
    if (argc >= 5 && std::strcmp(argv[1], "find-first") == 0)
        return FindFirst(argv + 2, argc - 2);
    if ((argc == 6 || argc == 7) && std::strcmp(argv[1], "find-cell") == 0)
        return FindCell(argv[2], std::atoi(argv[3]), std::atoi(argv[4]),
                        static_cast<uint32_t>(std::strtoul(argv[5], nullptr, 0)),
                        argc == 7 ? std::atoi(argv[6]) : -1);
    std::fprintf(stderr, "usage: sheetgen dialog-sheet <folder> | dialog-areas <folder> | "
                         "gallery-sheets <folder> | gallery-areas <folder> | thumbnails <file> <first id> | "
                         "cg-pictures <folder> | "
                         "music-sheets <folder> | music-picture <file> <slot> | "
                         "map-pictures <folder> | map-data <folder> | message-sheets <folder> | "
                         "message-areas <folder> | name-input-sheet <folder> | name-input-areas <folder> | "
                         "config-sheet <folder> | config-areas <folder> | title-sheet <folder> | "
                         "title-areas <folder> | slot-sheet <folder> | slot-areas <folder> | "
                         "backlog-sheets <folder> | backlog-areas <folder> | choice-sheet <folder> | "
                         "flag-pictures <folder> | flag-data <folder> | "
                         "preview <folder> | find-cell <frame.png> <x> <y> <id> [state] | find-cells "
                         "<frame.png> <x>,<y>,<id>[,<state>]... | find-first <x>,<y>,<id>[,<state>]... -- "
                         "<frame.png>...\n");
    return 1;
}
