#pragma once
// Colour-coded sheets and area files of the character selection, the diary viewer and the
// comment mode, laid out from the screens' own tables so a test reads back which cell a drawn
// pixel came from. The comment mode's buttons live in "cgscenemode_p.akb" (GalleryModeSheet), the
// save and load columns in the area screens' "select_p.akb".

#include <cstdint>
#include <vector>

#include "sheetgen/MapSheets.h"

namespace tools {

// "charlist_p.akb" and "charlist.akb": character c in row r (0 normal .. 3 disabled) is cell
// CHARLIST_CHARACTER + c in state r; the placeholder CHARLIST_PLACEHOLDER; the back button of
// button kind k (1..4) in state v is CHARLIST_BACK + k.
inline constexpr uint32_t CHARLIST_CHARACTER = 0x2130;
inline constexpr uint32_t CHARLIST_PLACEHOLDER = 0x2148;
inline constexpr uint32_t CHARLIST_BACK = 0x2150;
inline constexpr int32_t CHARLIST_WIDTH = 1920;
inline constexpr int32_t CHARLIST_HEIGHT = 3584;
std::vector<SheetCell> CharListSheetCells();
// "name_list.akb": character c's name in the first column is NAME_LIST_PLAIN + c, in the second
// NAME_LIST_PAIRED + c.
inline constexpr uint32_t NAME_LIST_PLAIN = 0x2230;
inline constexpr uint32_t NAME_LIST_PAIRED = 0x2250;
std::vector<SheetCell> NameListSheetCells();
// "diary00.akb" .. "diary03.akb": one 1500 x 1000 cell of DIARY_SHEET + n.
inline constexpr uint32_t DIARY_SHEET = 0x2330;
AkbPicture DiarySheet(int32_t n);

// "charselect.area" (square back button when square is set: "charselect2.area"): cells 0..17,
// the side buttons 256..259, the back button 512, and a stray cell id CHAR_SELECT_STRAY_ID of
// group 0 at CharSelectStrayArea.
inline constexpr uint32_t CHAR_SELECT_STRAY_ID = 20;
std::vector<AreaRecord> CharSelectAreas(bool square);
// "comment.area": the close button, id 0.
std::vector<AreaRecord> CommentAreas();
// "commentmode.area": tabs 0..3, mode buttons 256..258, the label 259, back 512, unlock 1280 and
// a stray id COMMENT_MODE_STRAY_ID of group 0 below the tabs.
inline constexpr uint32_t COMMENT_MODE_STRAY_ID = 5;
std::vector<AreaRecord> CommentModeAreas();

// The screens' pictures and area files by name, each picture under the names the languages load
// it by.
std::vector<NamedFile> CharacterPictureFiles();
std::vector<NamedFile> CharacterDataFiles();

} // namespace tools
