#pragma once
// The demo's map and character screens with their words: the calendar plate, the presence faces,
// the sub maps, the time selection, the character selection and the diary pages. The cells are
// those of the screen tests' plain sheets (MapSheets.h, CharacterSheets.h); the words keep clear
// of the points the demo's frame checks read (each function says which).

#include <vector>

#include "sheetgen/CharacterSheets.h"
#include "sheetgen/MapSheets.h"
#include "sheetgen/SheetWords.h"

namespace tools {

// Character c as the presence rules number them (0..25), heroines numbered as the cast names file
// numbers them; 26 the marker of somebody unnamed.
CellWords CharacterWords(int32_t character);

// The plate's cells: weekdays, digits, marks and the game-mode button's two rows in the language,
// the money's name left of its digits. The calendar's background stays plain; the digits' top-left
// corners keep the cells' colour.
AkbPicture DemoPlateSheet(WordsLanguage language);
// "icon_p.akb": each face carries its name along its bottom; the face's middle keeps its colour.
AkbPicture DemoIconSheet(WordsLanguage language);
// A sub map's parts: each spot the place it leads to, the back button its word.
AkbPicture DemoSubMapPartsSheet(int32_t kind, WordsLanguage language);
// A sub map's background with the map's name in its top-left corner.
AkbPicture DemoSubMapBackground(int32_t kind, WordsLanguage language);
// The place and area screens' buttons with their words.
AkbPicture DemoAreaSheet(WordsLanguage language);
// What the area screens over "area_ids.akb" (places_file false) and "area_places.area" show of
// their places: a framed, named spot over each hit area, the rest clear.
AkbPicture DemoAreaSpots(bool places_file, WordsLanguage language);
// The character-area screen: the figure ("a_body.akb", standing position 0 at full size: its
// 2048 x 1100 picture centred on the screen, its top-left corner at FIGURE_X, FIGURE_Y) with the
// places round it, in three columns clear of the figure, the scenes' captions and the screen's
// buttons. FigurePlaceAreas: place group g (1..13) answers id g x 256 + 1 over its rectangle on the
// screen. "figure_ids.akb", the figure's id picture, holds those ids where the rectangles lie on
// it (each moved by the figure's corner), 0 elsewhere; "area_figure.akb" draws each place framed
// and named on the screen, in the player's language.
inline constexpr int32_t FIGURE_X = -64;
inline constexpr int32_t FIGURE_Y = 35;
std::vector<AreaRecord> FigurePlaceAreas();
AkbPicture DemoFigureIdPicture();
AkbPicture DemoFigureSpots(WordsLanguage language);
// The time selection: the ring's times of day, the ninth button along its top, the modes'
// captions across the whole cell and the back button.
CellWords TimeRingWords(int32_t button);
CellWords TimeCaptionWords(int32_t mode);
AkbPicture DemoTimeSheet(WordsLanguage language);
// The character pictures their name along their top, the placeholder and back buttons theirs; the
// name strips the name in their left half. The middles keep their colour.
AkbPicture DemoCharListSheet(WordsLanguage language);
AkbPicture DemoNameListSheet(WordsLanguage language);
// Diary page n (0..3): a title and a few dated lines in its upper part; its middle keeps its colour.
AkbPicture DemoDiarySheet(int32_t n, WordsLanguage language);

// Every map screen picture as MapPictureFiles names them and every character screen picture as
// CharacterPictureFiles names them, with their words.
std::vector<NamedFile> DemoMapPictureFiles();
std::vector<NamedFile> DemoCharacterPictureFiles();

} // namespace tools
