#include "sheetgen/CharacterSheets.h"

#include <string>

namespace tools {

namespace {

constexpr int32_t CELL_WIDTH = 320;
constexpr int32_t CELL_HEIGHT = 224;
constexpr int32_t CHARACTERS = 18;
constexpr int32_t NAME_HEIGHT = 48;

void AddUnderLanguageNames(std::vector<NamedFile>& files, const std::string& name,
                           const std::vector<uint8_t>& bytes)
{
    const size_t dot = name.rfind('.');
    for (const char* suffix : {"", "_en"})
        files.push_back({name.substr(0, dot) + suffix + name.substr(dot), bytes});
}

} // namespace

std::vector<SheetCell> CharListSheetCells()
{
    std::vector<SheetCell> cells;
    for (int32_t c = 0; c < CHARACTERS; ++c)
        for (int32_t row = 0; row < 4; ++row)
            cells.push_back({c % 5 * CELL_WIDTH, c / 5 * 896 + row * CELL_HEIGHT, CELL_WIDTH, CELL_HEIGHT,
                             CHARLIST_CHARACTER + static_cast<uint32_t>(c), row,
                             "C" + std::to_string(c) + "-" + std::to_string(row)});
    cells.push_back({960, 2688, CELL_WIDTH, CELL_HEIGHT, CHARLIST_PLACEHOLDER, 0, "PLACEHOLDER"});
    for (int32_t v = 0; v < 3; ++v) {
        for (int32_t kind = 1; kind <= 3; ++kind)
            cells.push_back({1600, (3 * kind - 3 + v) * 124, 320, 124,
                             CHARLIST_BACK + static_cast<uint32_t>(kind), v, "B" + std::to_string(kind)});
        cells.push_back({1600, 1116 + v * 158, 158, 158, CHARLIST_BACK + 4, v, "B4"});
    }
    return cells;
}

std::vector<SheetCell> NameListSheetCells()
{
    std::vector<SheetCell> cells;
    for (int32_t c = 0; c < CHARACTERS; ++c) {
        cells.push_back({0, c * NAME_HEIGHT, CELL_WIDTH, NAME_HEIGHT,
                         NAME_LIST_PLAIN + static_cast<uint32_t>(c), 0, "N" + std::to_string(c)});
        cells.push_back({CELL_WIDTH, c * NAME_HEIGHT, CELL_WIDTH, NAME_HEIGHT,
                         NAME_LIST_PAIRED + static_cast<uint32_t>(c), 0, "P" + std::to_string(c)});
    }
    return cells;
}

AkbPicture DiarySheet(int32_t n)
{
    return BuildSheet(
        1500, 1000,
        {{0, 0, 1500, 1000, DIARY_SHEET + static_cast<uint32_t>(n), 0, "DIARY" + std::to_string(n)}});
}

std::vector<AreaRecord> CharSelectAreas(bool square)
{
    std::vector<AreaRecord> areas;
    for (int32_t i = 0; i < CHARACTERS; ++i) {
        const int32_t left = 160 + i % 5 * CELL_WIDTH;
        const int32_t top = 20 + i / 5 * CELL_HEIGHT;
        areas.push_back({static_cast<uint32_t>(i), left, top, left + CELL_WIDTH, top + CELL_HEIGHT});
    }
    for (int32_t k = 0; k < 4; ++k)
        areas.push_back({static_cast<uint32_t>(256 + k), 160 + k * 122, 933, 282 + k * 122, 1058});
    areas.push_back({512, 1440, 742, square ? 1598 : 1760, square ? 900 : 866});
    // Where cell 18 would lie: an id the screen has no cell for.
    areas.push_back({CHAR_SELECT_STRAY_ID, 1120, 692, 1440, 916});
    return areas;
}

std::vector<AreaRecord> CommentAreas()
{
    return {{0, 1642, 928, 1861, 1054}};
}

std::vector<AreaRecord> CommentModeAreas()
{
    std::vector<AreaRecord> areas;
    for (int32_t i = 0; i < 4; ++i)
        areas.push_back({static_cast<uint32_t>(i), 1835, 100 + 93 * i, 1915, 183 + 93 * i});
    for (int32_t k = 0; k < 3; ++k)
        areas.push_back({static_cast<uint32_t>(256 + k), 27, 216 + 182 * k, 323, 390 + 182 * k});
    areas.push_back({259, 27, 762, 323, 890});
    areas.push_back({512, 27, 928, 246, 1054});
    areas.push_back({1280, 1624, 971, 1920, 1054});
    areas.push_back({COMMENT_MODE_STRAY_ID, 1835, 500, 1915, 583});
    return areas;
}

std::vector<NamedFile> CharacterPictureFiles()
{
    std::vector<NamedFile> files;
    const std::vector<uint8_t> characters =
        EncodeAkb(BuildSheet(CHARLIST_WIDTH, CHARLIST_HEIGHT, CharListSheetCells()), {});
    AddUnderLanguageNames(files, "charlist_p.akb", characters);
    AddUnderLanguageNames(files, "charlist.akb", characters);
    AddUnderLanguageNames(files, "name_list.akb", EncodeAkb(BuildSheet(640, 864, NameListSheetCells()), {}));
    for (int32_t n = 0; n < 4; ++n)
        AddUnderLanguageNames(files, "diary0" + std::to_string(n) + ".akb", EncodeAkb(DiarySheet(n), {}));
    return files;
}

std::vector<NamedFile> CharacterDataFiles()
{
    return {{"charselect.area", BuildAreaFile(CharSelectAreas(false))},
            {"charselect2.area", BuildAreaFile(CharSelectAreas(true))},
            {"comment.area", BuildAreaFile(CommentAreas())},
            {"commentmode.area", BuildAreaFile(CommentModeAreas())}};
}

} // namespace tools
