#pragma once
// Picture sheets for screen tests and the demo: cells of given sizes at given origins, each
// filled with a colour that encodes its control id and state, with a small label in its top-left
// corner, so a test reading a pixel of a drawn screen knows which cell was copied there.
// Also the layouts of the screens' sheets and area files, one function pair per screen.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "akbwriter/AkbWriter.h"
#include "areawriter/AreaWriter.h"

namespace tools {

struct SheetCell
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t id = 0;   // control id: group x 256 + item, group below 256
    int32_t state = 0; // 0..3
    std::string label; // digits, capitals and '-' are drawn; other characters leave a gap
};

// Opaque: red the id's group, green its item, blue 0x40 + 0x30 x state.
uint32_t CellColour(uint32_t id, int32_t state);
// The id and state a cell colour encodes; false for a colour no cell has.
bool DecodeCellColour(uint32_t colour, uint32_t& id, int32_t& state);
// Label pixels: the corner of a cell at (x, y) to (x + LABEL_MARGIN + width, y + 9) may hold them.
inline constexpr int32_t LABEL_MARGIN = 2;
inline constexpr int32_t LABEL_HEIGHT = 7;

// A width x height picture of the background colour with every cell drawn in order.
AkbPicture BuildSheet(int32_t width, int32_t height, const std::vector<SheetCell>& cells,
                      uint32_t background = 0x00000000);

// The confirmation dialog ("dialog_p.akb"): panels, question lines of kinds 0 to 12, the yes and
// no buttons and the box, each in four states. Ids of the pieces that are not controls:
inline constexpr uint32_t DIALOG_SHEET_PANEL_BOX = 0x7F00;    // the panel with the box
inline constexpr uint32_t DIALOG_SHEET_PANEL_SIMPLE = 0x7F01; // the panel without
inline constexpr uint32_t DIALOG_SHEET_LINE = 0x7000;         // + kind: the question line
inline constexpr int32_t DIALOG_SHEET_WIDTH = 1907;
inline constexpr int32_t DIALOG_SHEET_HEIGHT = 1931;
std::vector<SheetCell> DialogSheetCells();
// "dialog.area" (with the box) and "dialog2.area" (without).
std::vector<AreaRecord> DialogAreas(bool with_box);

// The title screens' sheet ("title_p.akb"): every button's column of four state pictures. A
// button's cells carry its id (page x 256 + item); the back buttons of pages 1 to 4 and of the
// special title share one column, whose cells carry TITLE_SHEET_BACK.
inline constexpr int32_t TITLE_SHEET_WIDTH = 2892;
inline constexpr int32_t TITLE_SHEET_HEIGHT = 1760;
inline constexpr uint32_t TITLE_SHEET_BACK = 0x7E00;
std::vector<SheetCell> TitleSheetCells();
// The title's area files by name ("title.area" to "title4.area", "titleSP.area"): each button's
// rectangle on the screen with its item number as the id.
std::vector<std::pair<std::string, std::vector<AreaRecord>>> TitleAreaFiles();
// The areas of one page of the title (0 to 4), or of the special title (page -1).
std::vector<AreaRecord> TitleAreas(int32_t page);

} // namespace tools
