#pragma once
// The slot machine's pictures and areas for tests and the demo: the parts sheet "slot_p.akb"
// with every cell the machine copies (coloured by SheetGenerator's code), the background
// "slot_bg.akb" in one colour per language, "slot.area" over the lever and the stop buttons, and
// a tall picture whose every row says its own number.

#include <cstdint>
#include <string>
#include <vector>

#include "akbwriter/AkbWriter.h"
#include "areawriter/AreaWriter.h"
#include "sheetgen/SheetGenerator.h"

namespace tools {

inline constexpr int32_t SLOT_SHEET_WIDTH = 2364;
inline constexpr int32_t SLOT_SHEET_HEIGHT = 1040;
// Cell ids of the parts that are not controls (the lever is area 0, the stop column area 256).
// The reels' ids are a warm cream, as reels are; the rest dark slates.
inline constexpr uint32_t SLOT_CELL_DIGIT = 0xF0D8; // + digit
inline constexpr uint32_t SLOT_CELL_BLANK = 0xF0E2;
inline constexpr uint32_t SLOT_CELL_LEFT_LAMP = 0x2A40;  // state 0 off, 1 on
inline constexpr uint32_t SLOT_CELL_RIGHT_LAMP = 0x2A41; // state 0 off, 1 on
inline constexpr uint32_t SLOT_CELL_KNOB = 0x2A42;       // state 0 at rest, 1 waiting for the pull
inline constexpr uint32_t SLOT_CELL_LEVER = 0;           // states 0 normal, 1 hover, 2 pressed, 3 lit
inline constexpr uint32_t SLOT_CELL_STOP = 0x100;        // states 0 normal, 1 hover, 2 pressed
inline constexpr uint32_t SLOT_CELL_STOP_LAMP = 0x2A43;  // state 0 unlit, 1 lit
inline constexpr uint32_t SLOT_CELL_BACKGROUND = 0x2A48; // state = language index

std::vector<SheetCell> SlotSheetCells();
AkbPicture BuildSlotSheet();
// The background of a language (0 English, 1 and 2 Chinese, 3 Japanese): one cell over the screen.
AkbPicture BuildSlotBackground(int32_t language);
// The file names of the background of each language, in language order.
std::vector<std::string> SlotBackgroundNames();
std::vector<AreaRecord> SlotAreas();
// 1920 pixels wide; row y is opaque 0xFF, (y >> 8), (y & 0xFF), 0x99.
// Rows of TallPictureRowColour, with a caption (on TALL_CAPTION_FILL, at the right) every
// TALL_CAPTION_STEP rows in the language (an index, 3 Japanese) alone; "slot_tall.akb" under the
// language's name.
inline constexpr int32_t TALL_CAPTION_STEP = 540;
inline constexpr uint32_t TALL_CAPTION_FILL = 0xFF181424u;
AkbPicture BuildTallPicture(int32_t height, int32_t language = 3);
uint32_t TallPictureRowColour(int32_t y);

} // namespace tools
