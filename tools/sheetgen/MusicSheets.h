#pragma once
// Colour-coded sheets and the area file of the music room: "music_p.akb" (track rows by page,
// track and state), "musicmode_p.akb" (tabs, return, page tabs, player buttons, the slider's
// bars and knob, the scroll thumb), the track pictures and "musicmode.area".

#include <cstdint>
#include <vector>

#include "akbwriter/AkbWriter.h"
#include "areawriter/AreaWriter.h"
#include "sheetgen/SheetGenerator.h"

namespace tools {

// A row cell of track t on page p: id MUSIC_ROW_CELL + 32 p + t, in its state.
inline constexpr uint32_t MUSIC_ROW_CELL = 0x1920;
// The track picture of slot s (page x 23 + index).
inline constexpr uint32_t MUSIC_PICTURE = 0x1A40;
// A dark groove; its filled part a light green.
inline constexpr uint32_t MUSIC_BAR_EMPTY = 0x1962;
inline constexpr uint32_t MUSIC_BAR_FULL = 0xA0C8;
// The knob is id 1025 (the slider's group) in states 0 to 2, the thumb id 1536 in states 0 to 2;
// every other control is its own area id.
inline constexpr uint32_t MUSIC_KNOB = 1025;
// Wide enough for the last player button, whose cell ends at x 1647.
inline constexpr int32_t MUSIC_CONTROL_SHEET_WIDTH = 1648;

std::vector<SheetCell> MusicRowCells();
std::vector<SheetCell> MusicControlCells();
AkbPicture MusicRowSheet();
AkbPicture MusicControlSheet();
AkbPicture MusicTrackPicture(int32_t slot);
std::vector<AreaRecord> MusicAreas();

} // namespace tools
