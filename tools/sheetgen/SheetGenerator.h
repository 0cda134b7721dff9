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

// Opaque: red the id's group, green its item, blue by the state: 0x70 normal, 0xA0 hover, 0xD0
// pressed, 0x40 disabled (the dimmest).
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
// no buttons and the box, each in four states. Ids of the pieces that are not controls, whose
// code colours are dark slates (the panels a shade apart from their lines):
inline constexpr uint32_t DIALOG_SHEET_PANEL_BOX = 0x1D30;    // the panel with the box
inline constexpr uint32_t DIALOG_SHEET_PANEL_SIMPLE = 0x1D31; // the panel without
inline constexpr uint32_t DIALOG_SHEET_LINE = 0x1E38;         // + kind: the question line
inline constexpr uint32_t DIALOG_SHEET_NOTE_FRAME = 0x1D34;   // the save note's window
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
inline constexpr uint32_t TITLE_SHEET_BACK = 0x1838;
std::vector<SheetCell> TitleSheetCells();
// The title's area files by name ("title.area" to "title4.area", "titleSP.area"): each button's
// rectangle on the screen with its item number as the id.
std::vector<std::pair<std::string, std::vector<AreaRecord>>> TitleAreaFiles();
// The areas of one page of the title (0 to 4), or of the special title (page -1).
std::vector<AreaRecord> TitleAreas(int32_t page);

// The extras sheets and areas of the CG gallery. "modelist_p.akb": heroine button i in state s
// is cell id i. "cgscenemode_p.akb": tabs 256..259, return 512, the arrows 1024 and 1025 in the
// gallery's column, the unlock button 1280 (its complete picture in state 3), the cell frame
// (a strip along the cell's top, the rest clear), the locked cell and the two highlights.
// Below them the comment mode's entry tabs 0..3 and its unlock button 1280 (complete: state 3).
// "modecover_p.akb": group g's cover is id GALLERY_COVER + g, the overlay GALLERY_COVER + 17.
inline constexpr uint32_t GALLERY_FRAME = 0x1B30; // the gallery's ids are dark slates
inline constexpr uint32_t GALLERY_LOCKED = 0x1B31;
inline constexpr uint32_t GALLERY_HOVER = 0x1B32;
inline constexpr uint32_t GALLERY_PRESSED = 0x1B33;
inline constexpr uint32_t GALLERY_COVER = 0x1B40;
inline constexpr int32_t GALLERY_FRAME_HEIGHT = 8;
inline constexpr int32_t GALLERY_LIST_SHEET_WIDTH = 1480;
inline constexpr int32_t GALLERY_LIST_SHEET_HEIGHT = 3328;
inline constexpr int32_t GALLERY_MODE_SHEET_WIDTH = 2487;
inline constexpr int32_t GALLERY_MODE_SHEET_HEIGHT = 1432;
inline constexpr int32_t GALLERY_COVER_SHEET_WIDTH = 2976;
inline constexpr int32_t GALLERY_COVER_SHEET_HEIGHT = 1339;
std::vector<SheetCell> GalleryListCells();
std::vector<SheetCell> GalleryModeCells();
std::vector<SheetCell> GalleryCoverCells();
AkbPicture GalleryListSheet();
AkbPicture GalleryModeSheet();
AkbPicture GalleryCoverSheet();
// A 1470 x 1100 sheet of 490 x 275 thumbnails, cell j with id first_id + j, 12 cells.
std::vector<SheetCell> ThumbnailCells(uint32_t first_id);
AkbPicture ThumbnailSheet(uint32_t first_id);
// The demo's CG pictures by file name: the bases "r01_0.akb", "r02_0.akb" and "o01_0.akb" of
// 1920 x 1080, each one cell of id DEMO_CG_BASE + its variant; "x01_0.akb", the one picture of
// every other heroine's CG, one cell of DEMO_CG_BASE + 0x14; "r03_0.akb" of 1920 x 2160 whose
// lower half is DEMO_CG_BASE + 0x13; the overlay "r01_f1.akb", key colour 0xFF00FF00 around a
// 400 x 400 cell DEMO_CG_OVERLAY at (760, 340).
// Their code colours are a steel blue, a sky at dusk behind the CGs' shapes.
inline constexpr uint32_t DEMO_CG_BASE = 0x3A5A;
inline constexpr uint32_t DEMO_CG_OVERLAY = 0x3A7A;
std::vector<std::pair<std::string, AkbPicture>> DemoCGPictures();
// "cgmode.area" (heroine level) and "cgview.area" (page level).
std::vector<AreaRecord> GalleryAreas(bool page_level);
// The message window's parts ("message_p.akb"): the seven window buttons in four states (ids 0 to
// 6), the nine balloon pieces and three pointers, the prompt's frames (two columns of three at
// (665, 624) and (723, 624)) and the name plate's background at (600, 560).
inline constexpr uint32_t MESSAGE_SHEET_BALLOON = 0x7E00; // + row x 3 + column
inline constexpr uint32_t MESSAGE_SHEET_POINTER = 0x7E10; // + 0 below, 1 beside, 2 above the text
inline constexpr uint32_t MESSAGE_SHEET_PROMPT = 0x1C60;  // + column x 3 + frame; dark slate, as the plate
inline constexpr uint32_t MESSAGE_SHEET_NAME_PLATE = 0x1C50;
inline constexpr int32_t MESSAGE_SHEET_WIDTH = 2048;
inline constexpr int32_t MESSAGE_SHEET_HEIGHT = 1024;
// The plate's frame colour; the plate's shape is opaque inside a margin of this many pixels.
inline constexpr uint32_t MESSAGE_SHEET_FRAME_COLOUR = 0xFFE0E8F0;
inline constexpr int32_t MESSAGE_SHEET_PLATE_MARGIN = 8;
std::vector<SheetCell> MessageSheetCells();
// The cells on a clear sheet, with the plate's shape (alpha only, 1730 x 280 at the top left) and
// its frame (a 4-pixel border, clear inside, below the shape).
AkbPicture MessageSheet();
// "mes_o.area": the window buttons, then the window body (0x200) and the edge button, the last
// two relative to the window's top.
std::vector<AreaRecord> MessageAreas();

// The side menu ("sidemenu_p.akb"): the panel and the nine buttons (ids 0xF00 + button) in four
// states.
inline constexpr uint32_t SIDE_MENU_SHEET_PANEL = 0x1C30; // a dark slate panel
inline constexpr int32_t SIDE_MENU_SHEET_WIDTH = 1920;
inline constexpr int32_t SIDE_MENU_SHEET_HEIGHT = 1080;
std::vector<SheetCell> SideMenuSheetCells();
// "mesmenu.area": the tab (0xF00) and slots 1 to 8 (ids 1 to 8) at their open places.
std::vector<AreaRecord> SideMenuAreas();

// The notices' pieces of "dialog_p.akb" (their OK button is control 0 at x 1686), and their own
// second sheet "dialog_p2.akb": sixteen 88-pixel lines, the 40-pixel note of kind 2, kind 4's line.
inline constexpr uint32_t NOTICE_SHEET_PANEL_SMALL = 0x1D32; // source y 660
inline constexpr uint32_t NOTICE_SHEET_PANEL_LARGE = 0x1D33; // source y 1120
inline constexpr uint32_t NOTICE_SHEET_LINE = 0x1E48;        // + kind 0 to 3
inline constexpr uint32_t NOTICE2_SHEET_LINE = 0x1F38;       // + line number
inline constexpr uint32_t NOTICE2_SHEET_NOTE = 0x1F48;
inline constexpr uint32_t NOTICE2_SHEET_KIND_4 = 0x1F49;
inline constexpr int32_t NOTICE2_SHEET_WIDTH = 805;
inline constexpr int32_t NOTICE2_SHEET_HEIGHT = 1536;
std::vector<SheetCell> NoticeSheetCells();
// "dialog3.area": the OK button.
std::vector<AreaRecord> NoticeAreas();

// The name entry's parts sheet "keybord_p.akb": every button in four states under its control
// id, the palette cell under 0x1000, and the pieces that are not controls.
inline constexpr uint32_t NAME_SHEET_CARET = 0x600;
inline constexpr uint32_t NAME_SHEET_NAME_LABEL = 0x601;
inline constexpr uint32_t NAME_SHEET_READING = 0x602;
inline constexpr uint32_t NAME_SHEET_BUTTON_BAND = 0x603;
inline constexpr uint32_t NAME_SHEET_NAME_BAND = 0x604;
inline constexpr int32_t NAME_SHEET_WIDTH = 1410;
inline constexpr int32_t NAME_SHEET_HEIGHT = 869;
std::vector<SheetCell> NameInputSheetCells();
// "NameInput.area": the buttons of the name entry.
std::vector<AreaRecord> NameInputAreas();

// The settings page's parts sheet ("systemsound_p.akb"): tabs, defaults and leave buttons,
// scroll arrows and thumb, knobs, switches, system cells, game-mode switch and the sample label
// rectangle, each state a cell. Ids of the pieces several controls share:
// Dark slates; a switch that is on a teal one.
inline constexpr uint32_t CONFIG_SHEET_KNOB = 0x2C30; // knobs and radios (state 2: selected)
inline constexpr uint32_t CONFIG_SHEET_SWITCH_ON = 0x2C60;
inline constexpr uint32_t CONFIG_SHEET_SWITCH_OFF = 0x2C32;
inline constexpr uint32_t CONFIG_SHEET_GAME_MODE_OFF = 0x2C33;
inline constexpr uint32_t CONFIG_SHEET_GAME_MODE_ON = 0x2C61;
inline constexpr uint32_t CONFIG_SHEET_SAMPLE = 0x2C35;
inline constexpr uint32_t CONFIG_SHEET_BACKGROUND = 0x2C36; // the whole of "system_bg.akb"
inline constexpr uint32_t CONFIG_SHEET_DIGIT = 0x2C40;      // + digit; + 10 the per-cent sign
inline constexpr int32_t CONFIG_SHEET_WIDTH = 2082;
inline constexpr int32_t CONFIG_SHEET_HEIGHT = 1040;
std::vector<SheetCell> ConfigSheetCells();
// "config00.area": every control, page controls at scroll offset 0, in screen pixels.
std::vector<AreaRecord> ConfigAreas();
// "config01.area" of the sound settings: panel controls at scroll offset 0, in screen pixels.
std::vector<AreaRecord> SoundConfigAreas();

} // namespace tools
