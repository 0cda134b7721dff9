#include "sheetgen/MapSheets.h"

#include "screens/map/CTimeSelect.h"
#include "screens/map/SubMapLayout.h"

namespace tools {

namespace {

constexpr int32_t SCHOOL_KIND = 2;
constexpr int32_t SCREEN_WIDTH = 1920;
constexpr int32_t SCREEN_HEIGHT = 1080;

std::vector<uint8_t> Encode(const AkbPicture& picture)
{
    return EncodeAkb(picture, {});
}

// The name as languages ask for it: plain (Japanese), "_en", and with every_language "_ch" and
// "_tw" too. The sub maps' large pictures come in the first two only, to keep the archive small.
std::vector<std::string> LanguageNames(const std::string& name, bool every_language)
{
    const size_t dot = name.rfind('.');
    std::vector<std::string> names{name, name.substr(0, dot) + "_en" + name.substr(dot)};
    if (every_language)
        for (const char* suffix : {"_ch", "_tw"})
            names.push_back(name.substr(0, dot) + suffix + name.substr(dot));
    return names;
}

} // namespace

std::vector<SheetCell> PlateSheetCells()
{
    std::vector<SheetCell> cells{
        {0, 0, 316, 136, PLATE_CALENDAR, 0, "CAL"},   {0, 326, 321, 79, PLATE_MONEY, 0, "MONEY"},
        {350, 168, 20, 48, PLATE_COLON, 0, ""},       {370, 168, 32, 52, PLATE_MORNING, 0, "AM"},
        {402, 168, 32, 52, PLATE_AFTERNOON, 0, "PM"}, {250, 216, 18, 40, PLATE_SEPARATOR, 0, ""},
        {280, 405, 14, 21, PLATE_COMMA, 0, ""}};
    for (uint32_t w = 0; w < 7; ++w)
        cells.push_back(
            {75 * static_cast<int32_t>(w), 136, 75, 32, PLATE_WEEKDAY + w, 0, "W" + std::to_string(w)});
    for (uint32_t d = 0; d < 10; ++d) {
        const int32_t i = static_cast<int32_t>(d);
        const std::string label = std::to_string(d);
        cells.push_back({35 * i, 168, 35, 48, PLATE_TIME_DIGIT + d, 0, label});
        cells.push_back({25 * i, 216, 25, 33, PLATE_DATE_DIGIT + d, 0, label});
        cells.push_back({28 * i, 405, 28, 36, PLATE_MONEY_DIGIT + d, 0, label});
    }
    for (int32_t s = 0; s < 3; ++s) {
        cells.push_back({0, 441 + 52 * s, 324, 52, PLATE_BUTTON_GAME_MODE, s, "MODE-" + std::to_string(s)});
        cells.push_back({0, 597 + 52 * s, 324, 52, PLATE_BUTTON_OTHER, s, "OTHER-" + std::to_string(s)});
    }
    return cells;
}

std::vector<SheetCell> IconSheetCells()
{
    std::vector<SheetCell> cells;
    for (uint32_t c = 0; c < 26; ++c) {
        const int32_t i = static_cast<int32_t>(c);
        cells.push_back({i % 5 * 144, i / 5 * 144, 144, 144, ICON_FACE + c, 0, "F" + std::to_string(c)});
    }
    cells.push_back({432, 864, 144, 144, ICON_FACE + 26, 0, "F26"});
    cells.push_back({144, 720, 144, 144, ICON_FACE_GRID26, 0, "G26"});
    const int32_t frames[6][2] = {{720, 0}, {904, 0}, {1088, 0}, {904, 256}, {1088, 256}, {904, 512}};
    for (uint32_t f = 0; f < 6; ++f)
        cells.push_back(
            {frames[f][0], frames[f][1], 184, 256, ICON_FRAME + f, 0, "FRAME" + std::to_string(f)});
    cells.push_back({784, 540, 64, 96, ICON_BADGE, 0, "B"});
    return cells;
}

std::vector<SheetCell> SubMapPartsCells(int32_t kind)
{
    const SubMapKindLayout& layout = GetSubMapLayout(kind);
    std::vector<SheetCell> cells;
    for (int32_t s = 0; s < 3; ++s) {
        cells.push_back({layout.Back.Sheet.X, layout.Back.Sheet.Y + SUBMAP_BACK_SIZE * s, SUBMAP_BACK_SIZE,
                         SUBMAP_BACK_SIZE, SUBMAP_BACK_ITEM, s, "BACK"});
        for (size_t k = 0; k < layout.Spots.size(); ++k) {
            const SubMapSpot& spot = layout.Spots[k];
            const auto id = static_cast<uint32_t>(k);
            cells.push_back({spot.SheetX, spot.SheetY + spot.Height * s, spot.Width, spot.Height, id, s,
                             "S" + std::to_string(k) + "-" + std::to_string(s)});
            if (kind == SUBMAP_KIND_FIRST && static_cast<int32_t>(k) == SUBMAP_SPOT19_INDEX)
                cells.push_back({spot.SheetX, SUBMAP_SPOT19_SHEET_Y[1] + spot.Height * s, spot.Width,
                                 spot.Height, SUBMAP_SPOT19_ALT, s, "ALT-" + std::to_string(s)});
        }
    }
    return cells;
}

AkbPicture SubMapPartsSheet(int32_t kind)
{
    const SubMapKindLayout& layout = GetSubMapLayout(kind);
    return BuildSheet(layout.SheetWidth, layout.SheetHeight, SubMapPartsCells(kind));
}

AkbPicture SubMapBackground(int32_t kind)
{
    return BuildSheet(
        SCREEN_WIDTH, SCREEN_HEIGHT,
        {{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, SUBMAP_BACKGROUND + static_cast<uint32_t>(kind), 0, "MAP"}});
}

std::vector<AreaRecord> SubMapAreas(int32_t kind)
{
    const SubMapKindLayout& layout = GetSubMapLayout(kind);
    std::vector<AreaRecord> areas{{SUBMAP_BACK_ITEM, layout.Back.Screen.X, layout.Back.Screen.Y,
                                   layout.Back.Screen.X + SUBMAP_BACK_SIZE,
                                   layout.Back.Screen.Y + SUBMAP_BACK_SIZE}};
    for (size_t k = 0; k < layout.Spots.size(); ++k) {
        const SubMapSpot& spot = layout.Spots[k];
        areas.push_back(
            {static_cast<uint32_t>(k), spot.X, spot.Y, spot.X + spot.Width, spot.Y + spot.Height});
    }
    return areas;
}

std::vector<SheetCell> AreaSelectSheetCells()
{
    std::vector<SheetCell> cells;
    for (int32_t column = 0; column < 9; ++column)
        for (int32_t state = 0; state < 4; ++state)
            cells.push_back({column * 122, state * 125, 122, 125,
                             AREA_SHEET_BUTTON + static_cast<uint32_t>(column), state,
                             "B" + std::to_string(column)});
    cells.push_back({0, 500, 1102, 80, AREA_SHEET_HELP_BAR, 0, "HELP"});
    return cells;
}

std::vector<AreaRecord> AreaSelectAreas(int32_t mode)
{
    if (mode == 4)
        return {{0xFF00, 1780, 942, 1902, 1067}};
    std::vector<AreaRecord> areas;
    for (int32_t k = 0; k < 3; ++k)
        areas.push_back({0xFF00u + static_cast<uint32_t>(k), 1389 - 130 * k, 803, 1511 - 130 * k, 928});
    for (int32_t k = 3; k < 5; ++k)
        areas.push_back({0xFF00u + static_cast<uint32_t>(k), 122 * k + 43, 803, 122 * k + 165, 928});
    // A record with a bare item, which the character-area screen reads as a fixed button.
    areas.push_back({1, 0, 1000, 100, 1080});
    return areas;
}

AkbPicture AreaIdPicture()
{
    AkbPicture picture = MakePicture(1920, 1080, 0xFF000000u);
    for (int32_t group = 0; group <= 13; ++group)
        for (int32_t y = AREA_ID_STRIP_TOP; y < AREA_ID_STRIP_BOTTOM; ++y)
            for (int32_t x = AreaIdStripLeft(group); x < AreaIdStripLeft(group) + 120; ++x)
                picture.At(x, y) = 0xFF000000u | (1u << 16) | (static_cast<uint32_t>(group) << 8);
    return picture;
}

std::vector<AreaRecord> AreaPlaceAreas()
{
    return {{0x0102, 200, 600, 400, 700}, {0x0C05, 500, 600, 700, 700}};
}

std::vector<SheetCell> TimeSheetCells()
{
    std::vector<SheetCell> cells{{576, 0, 740, 650, TIME_SHEET_DIAL, 0, "DIAL"},
                                 {0, 888, 544, 136, TIME_SHEET_PANEL, 0, "PANEL"}};
    for (int32_t mode = 0; mode < 4; ++mode)
        cells.push_back({576, 650 + 80 * mode, 480, 80, TIME_SHEET_CAPTION + static_cast<uint32_t>(mode), 0,
                         "CAPTION" + std::to_string(mode)});
    for (int32_t state = 0; state < 3; ++state) {
        const std::string suffix = "-" + std::to_string(state);
        for (int32_t k = 0; k < TIME_RING_COUNT; ++k)
            cells.push_back({(k % 4) * TIME_RING_WIDTH, (state + (k / 4) * 3) * TIME_RING_HEIGHT,
                             TIME_RING_WIDTH, TIME_RING_HEIGHT, static_cast<uint32_t>(k), state,
                             "T" + std::to_string(k) + suffix});
        cells.push_back({1056, 650 + 120 * state, 456, 120, TIME_ID_NINTH, state, "NINTH" + suffix});
        cells.push_back({1316, 158 * state, 158, 158, TIME_ID_BACK, state, "BACK" + suffix});
    }
    return cells;
}

std::vector<AreaRecord> TimeSelectAreas()
{
    std::vector<AreaRecord> areas;
    for (uint32_t k = 0; k < TIME_RING_COUNT; ++k) {
        const TimeRingPosition at = TIME_RING_POSITIONS[k];
        areas.push_back({k, at.X, at.Y, at.X + TIME_RING_WIDTH, at.Y + TIME_RING_HEIGHT});
    }
    areas.push_back({TIME_ID_NINTH, 732, 435, 732 + 456, 435 + 120});
    areas.push_back({TIME_ID_BACK, 1288, 670, 1288 + 158, 670 + 158});
    return areas;
}

std::vector<NamedFile> MapPictureFiles()
{
    std::vector<NamedFile> files;
    const std::vector<uint8_t> plate =
        Encode(BuildSheet(PLATE_SHEET_WIDTH, PLATE_SHEET_HEIGHT, PlateSheetCells()));
    for (const char* sheet : {"callender_p.akb", "cal_p.akb"})
        for (const std::string& name : LanguageNames(sheet, true))
            files.push_back({name, plate});
    const std::vector<uint8_t> area_sheet =
        Encode(BuildSheet(AREA_SHEET_WIDTH, AREA_SHEET_HEIGHT, AreaSelectSheetCells()));
    for (const std::string& name : LanguageNames("select_p.akb", true))
        files.push_back({name, area_sheet});
    files.push_back({"area_ids.akb", Encode(AreaIdPicture())});
    const std::vector<uint8_t> time_sheet =
        Encode(BuildSheet(TIME_SHEET_WIDTH, TIME_SHEET_HEIGHT, TimeSheetCells()));
    for (const std::string& name : LanguageNames("time_p.akb", true))
        files.push_back({name, time_sheet});
    files.push_back(
        {"icon_p.akb", Encode(BuildSheet(ICON_SHEET_WIDTH, ICON_SHEET_HEIGHT, IconSheetCells()))});
    for (int32_t kind : {SUBMAP_KIND_FIRST, SUBMAP_KIND_SECOND, SCHOOL_KIND}) {
        const SubMapKindLayout& layout = GetSubMapLayout(kind);
        const std::vector<uint8_t> background = Encode(SubMapBackground(kind));
        const std::vector<uint8_t> parts = Encode(SubMapPartsSheet(kind));
        for (const std::string& name : LanguageNames(layout.Background, false))
            files.push_back({name, background});
        for (const std::string& name : LanguageNames(layout.PartsSheet, false))
            files.push_back({name, parts});
    }
    return files;
}

std::vector<NamedFile> MapDataFiles()
{
    std::vector<NamedFile> files;
    for (int32_t kind : {SUBMAP_KIND_FIRST, SUBMAP_KIND_SECOND, SCHOOL_KIND})
        files.push_back({GetSubMapLayout(kind).AreaFile, BuildAreaFile(SubMapAreas(kind))});
    files.push_back({"areasel_00.area", BuildAreaFile(AreaSelectAreas(0))});
    files.push_back({"areasel_04.area", BuildAreaFile(AreaSelectAreas(4))});
    files.push_back({"area_places.area", BuildAreaFile(AreaPlaceAreas())});
    files.push_back({"TimeSelect.area", BuildAreaFile(TimeSelectAreas())});
    return files;
}

} // namespace tools
