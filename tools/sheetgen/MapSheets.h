#pragma once
// Colour-coded sheets and area files of the map screens: the calendar plate's sheet, the icon
// sheet, and per sub-map kind its background, parts sheet and ".area" file, all laid out from the
// screens' own tables, so a test reads back which cell a drawn pixel came from.

#include <cstdint>
#include <string>
#include <vector>

#include "akbwriter/AkbWriter.h"
#include "areawriter/AreaWriter.h"
#include "sheetgen/SheetGenerator.h"

namespace tools {

// Ids of the plate's cells (states are 0 unless noted); their code colours are dark slates.
inline constexpr uint32_t PLATE_CALENDAR = 0x2430;
inline constexpr uint32_t PLATE_MONEY = 0x2431;
inline constexpr uint32_t PLATE_WEEKDAY = 0x2438;    // + weekday
inline constexpr uint32_t PLATE_TIME_DIGIT = 0x2530; // + digit
inline constexpr uint32_t PLATE_COLON = 0x253A;
inline constexpr uint32_t PLATE_MORNING = 0x253B;
inline constexpr uint32_t PLATE_AFTERNOON = 0x253C;
inline constexpr uint32_t PLATE_DATE_DIGIT = 0x2630; // + digit
inline constexpr uint32_t PLATE_SEPARATOR = 0x263A;
inline constexpr uint32_t PLATE_MONEY_DIGIT = 0x2640; // + digit
inline constexpr uint32_t PLATE_COMMA = 0x264A;
inline constexpr uint32_t PLATE_BUTTON_GAME_MODE = 0x2730; // state 0..2
inline constexpr uint32_t PLATE_BUTTON_OTHER = 0x2731;     // state 0..2
inline constexpr int32_t PLATE_SHEET_WIDTH = 525;
inline constexpr int32_t PLATE_SHEET_HEIGHT = 753;
std::vector<SheetCell> PlateSheetCells();

// Ids of the icon sheet's cells.
inline constexpr uint32_t ICON_FACE = 0x2830;        // + character 0..25, + 26 the marker's cell
inline constexpr uint32_t ICON_FACE_GRID26 = 0x2850; // where 26 falls on the faces' grid
inline constexpr uint32_t ICON_FRAME = 0x2930;       // + 0 plain .. 4 fifth style, + 5 the marker's frame
inline constexpr uint32_t ICON_BADGE = 0x2940;
inline constexpr int32_t ICON_SHEET_WIDTH = 1272;
inline constexpr int32_t ICON_SHEET_HEIGHT = 1008;
std::vector<SheetCell> IconSheetCells();

// Sub maps: spot k's cells carry id k in states 0..2, the back button id 100; the first map's
// second picture of spot 19 carries SUBMAP_SPOT19_ALT. The background is one cell of
// SUBMAP_BACKGROUND + kind.
inline constexpr uint32_t SUBMAP_SPOT19_ALT = 0x113;
inline constexpr uint32_t SUBMAP_BACKGROUND = 0x1A30;
std::vector<SheetCell> SubMapPartsCells(int32_t kind);
AkbPicture SubMapPartsSheet(int32_t kind);
AkbPicture SubMapBackground(int32_t kind);
// The back button first, where a spot may lie under it, then the spots in order.
std::vector<AreaRecord> SubMapAreas(int32_t kind);

// The area screens' sheet ("select_p.akb"): the button picture of column k (0 decide, 1 area
// select, 2 back, 3 decide in mode 2, 4 corner back, 5 quick save, 6 quick load, 7 save, 8 load) in state s
// is a cell of id AREA_SHEET_BUTTON + k, the help bar one cell of AREA_SHEET_HELP_BAR.
inline constexpr uint32_t AREA_SHEET_BUTTON = 0x2030;
inline constexpr uint32_t AREA_SHEET_HELP_BAR = 0x2040;
inline constexpr int32_t AREA_SHEET_WIDTH = 1102;
inline constexpr int32_t AREA_SHEET_HEIGHT = 580;
std::vector<SheetCell> AreaSelectSheetCells();
// "areasel_00.area" (the five fixed buttons and a record of id 1 at 0..100 x 1000..1080) and
// "areasel_04.area" (the corner back button).
std::vector<AreaRecord> AreaSelectAreas(int32_t mode);

// An id picture of the screen's size ("area_ids.akb"): group g (0..13) item 1 fills the strip
// x 130 g + 10 .. 130 g + 130, y 232 .. 500, the rest is id 0; and an ".area" source
// ("area_places.area") of places 0x0102 and 0x0C05 for the area screen's own table. The strips
// start below the calendar plate and the scenes' captions, which the place screen opens over.
inline constexpr int32_t AREA_ID_STRIP_TOP = 232;
inline constexpr int32_t AREA_ID_STRIP_BOTTOM = 500;
inline int32_t AreaIdStripLeft(int32_t group)
{
    return 130 * group + 10;
}
AkbPicture AreaIdPicture();
std::vector<AreaRecord> AreaPlaceAreas();

// The time selection's sheet ("time_p.akb"): ring button k in state s is a cell of id k, the
// ninth button id 8, the back button id 256; the dial, the panel and the captions of modes 0..3
// carry the ids below. "TimeSelect.area": the ring, the ninth button, then the back button.
inline constexpr uint32_t TIME_SHEET_DIAL = 0x2B30;
inline constexpr uint32_t TIME_SHEET_PANEL = 0x2B31;
inline constexpr uint32_t TIME_SHEET_CAPTION = 0x2B38; // + mode
inline constexpr int32_t TIME_SHEET_WIDTH = 1512;
inline constexpr int32_t TIME_SHEET_HEIGHT = 1024;
std::vector<SheetCell> TimeSheetCells();
std::vector<AreaRecord> TimeSelectAreas();

// Every file of the map screens as (file name, bytes): the plate's two sheets, the icon sheet,
// and the three sub-map sets, each sheet under the names the languages load it by.
struct NamedFile
{
    std::string name;
    std::vector<uint8_t> bytes;
};
std::vector<NamedFile> MapPictureFiles();
std::vector<NamedFile> MapDataFiles();

} // namespace tools
