#pragma once
// Colour-coded pictures and area files of the flag screens: the heroine list ("flaglist_p.akb",
// "flaglist_bg.akb" with their language forms), the event schedule ("flagschedule_p.akb" with
// its forms, "flagschedule_bg.akb", the transparent 1702 x 2400 "flagschedule_plate.akb"),
// "FlagMng.area", "FlagDetails.area" and a "sysmenu.carea" map with one tab block.

#include <cstdint>
#include <vector>

#include "akbwriter/AkbWriter.h"
#include "areawriter/AreaWriter.h"
#include "sheetgen/MapSheets.h"

namespace tools {

// The list: heroine n's button is cell id n in states 0 to 2, the back button id 256.
// The list background of language l (0 to 3, 3 the plain name) is one cell of this id + l.
inline constexpr uint32_t FLAG_LIST_BACKGROUND = 0x1F58;
// The schedule's pieces that are not controls (the arrows are ids 0 and 1 in states 0 to 3, the
// thumb id 2, the back button 256). Their ids spread their colours apart, so a player tells the
// clock, the marks, today's band and the plates from each other at a glance.
inline constexpr uint32_t FLAG_SHEET_DIGIT = 0xDC00; // + digit
inline constexpr uint32_t FLAG_SHEET_COLON = 0xDC0A;
inline constexpr uint32_t FLAG_SHEET_AM = 0xDC0B;
inline constexpr uint32_t FLAG_SHEET_PM = 0xDC0C;
inline constexpr uint32_t FLAG_SHEET_SEEN = 0x28A0; // also the bar's blocks
inline constexpr uint32_t FLAG_SHEET_MISSED = 0xC828;
inline constexpr uint32_t FLAG_SHEET_POSSIBLE = 0xE6C8;
inline constexpr uint32_t FLAG_SHEET_TODAY = 0xF08C;
inline constexpr uint32_t FLAG_SHEET_ROW_PLATE = 0x3C44;
// The canvas the rows are drawn on: opaque, as the schedule blends it over its background.
inline constexpr uint32_t FLAG_SCHEDULE_PLATE = 0x2A30;
// + piece: first row 0 left, 1 and 2 the pointers up, 3 middle, 4 right; second row 5 left,
// 6 middle, 7 right; last row 8 left, 9 pointer down, 10 middle, 11 pointer down, 12 right.
inline constexpr uint32_t FLAG_SHEET_PANEL = 0x1F60;
inline constexpr uint32_t FLAG_SCHEDULE_BACKGROUND = 0x1C24;
// The byte of the map's one tab block, and the block.
inline constexpr uint8_t FLAG_MENU_MAP_TAB = 3;
inline constexpr int32_t FLAG_MENU_MAP_BLOCK[4] = {0, 0, 160, 80};

std::vector<SheetCell> FlagListCells();
std::vector<SheetCell> FlagScheduleCells();
AkbPicture FlagListSheet();
AkbPicture FlagListBackground(int32_t language);
AkbPicture FlagScheduleSheet();
AkbPicture FlagScheduleBackground();
std::vector<AreaRecord> FlagManagerAreas();
std::vector<AreaRecord> FlagDetailsAreas();
std::vector<uint8_t> SystemMenuMap();

// Every picture under the names the languages load it by, and the data files.
std::vector<NamedFile> FlagPictureFiles();
std::vector<NamedFile> FlagDataFiles();

} // namespace tools
