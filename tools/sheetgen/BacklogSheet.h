#pragma once
// Colour-coded pictures and the area file of the backlog: "log_p.akb" (row frames, every
// control's column of states, the thumb's three pieces in three states side by side),
// "log_cover.akb" (a clear screen with one band) and "backlog00.area".

#include <cstdint>
#include <vector>

#include "akbwriter/AkbWriter.h"
#include "areawriter/AreaWriter.h"
#include "sheetgen/SheetGenerator.h"

namespace tools {

inline constexpr int32_t BACKLOG_SHEET_WIDTH = 2113;
inline constexpr int32_t BACKLOG_SHEET_HEIGHT = 1080;
// Row frames in their state, the marked check box, the cover's band. A row's controls carry the
// row-0 id (check 0x200, jump 0x300), the voice button BACKLOG_VOICE; the thumb's pieces carry 0x402.
// Dark slate ids: the frames read as panels, not as the pure colours of the 0x7E00s.
inline constexpr uint32_t BACKLOG_FRAME = 0x1C40;
inline constexpr uint32_t BACKLOG_MARKED = 0x1C41;
inline constexpr uint32_t BACKLOG_COVER_BAND = 0x1C42;
// The demo's cover is opaque under its band, darker than the rows' frames: the backlog hides
// whatever screen it opened over.
inline constexpr uint32_t BACKLOG_COVER_BACKDROP = 0xFF0A0E1Cu;
inline constexpr uint32_t BACKLOG_VOICE = 0x1C78; // a teal, apart from the frame behind it

std::vector<SheetCell> BacklogSheetCells();
AkbPicture BacklogSheet();
AkbPicture BacklogCover();
// Every control; the close button under both 0xF00 and 0xF07.
std::vector<AreaRecord> BacklogAreas();

} // namespace tools
