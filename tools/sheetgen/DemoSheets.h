#pragma once
// The demo's sheets with their words: the same cells as the screen tests' plain sheets, each
// control named in the language its picture is loaded for (see SheetWords.h).

#include <string>
#include <utility>
#include <vector>

#include "sheetgen/MapSheets.h"
#include "sheetgen/SheetWords.h"

namespace tools {

// Words several screens share.
CellWords BackWords();
CellWords CloseWords();
CellWords AmWords();
CellWords PmWords();

// The screens' caption bands under their names: opaque, so nothing under the picture shows
// through.
inline constexpr uint32_t CAPTION_BAND_DARK = 0xFF101018u;

// The title's buttons: page 0 to 4 and item, or the shared back button (page -1).
CellWords TitleButtonWords(int32_t page, int32_t item);
// The buttons' pictures end at this screen x, clear of the settings' window-colour sample.
inline constexpr int32_t TITLE_BUTTONS_RIGHT = 520;
AkbPicture DemoTitleSheet(WordsLanguage language);

// The message window's buttons and the side menu's.
CellWords MessageButtonWords(uint32_t button);
CellWords SideMenuWords(uint32_t button);
AkbPicture DemoMessageSheet(WordsLanguage language);
AkbPicture DemoSideMenuSheet(WordsLanguage language);

// The confirmation dialog's question of a kind (0 to 12), the notices' lines, yes, no and OK.
CellWords DialogQuestion(int32_t kind);
// The one-button notices: "dialog_p.akb"'s fixed kinds 0 to 4 (kind 2's note beneath its line,
// kind 4's line from the second sheet) and the second sheet's numbered lines 0 to 15.
CellWords NoticeKindWords(int32_t kind);
CellWords NoticeKindNoteWords();
CellWords NoticeLineWords(int32_t line);
// A language's form of the two sheets carries that language's words; the plain form (marks),
// which the game shows in every language, each question and notice in all four (see
// EveryLanguageWords.h) and its yes and no buttons their marks and short words.
AkbPicture DemoDialogSheet(WordsLanguage language);
AkbPicture DemoNoticeSheet(WordsLanguage language);
// Where the plain forms carry words in all four languages: the box on the sheet, the words, and
// the largest em they are drawn at.
struct EveryLanguagePlace
{
    TextBox box;
    CellWords words;
    int32_t largest_em = 0;
};
std::vector<EveryLanguagePlace> DialogEveryLanguagePlaces();
std::vector<EveryLanguagePlace> NoticeEveryLanguagePlaces();

// The settings pages' parts, and the system page's cover ("systemcover.akb", 1600 x 1443, laid
// over the scrolling page): each control's name beside it and each slider's track, a groove of
// SLIDER_GROOVE along the knob centre's range.
inline constexpr uint32_t SLIDER_GROOVE = 0xFF8A82A6u;
AkbPicture DemoConfigSheet(WordsLanguage language);
AkbPicture DemoConfigCover(WordsLanguage language);
// The settings' six system cells: what the right button does in the message window, by item.
CellWords RightClickActionWords(int32_t item);
// The sound page's cover ("sound_cover.akb" and its forms, 1632 x 1449): each level's name and
// its slider's track.
AkbPicture DemoSoundCover(WordsLanguage language);

// The extras: the CG gallery's three sheets (heroine list, mode parts, covers), a sheet of CG or
// scene thumbnails, the CG pictures, the music room's two sheets and its track pictures.
AkbPicture DemoGalleryListSheet(WordsLanguage language);
AkbPicture DemoGalleryModeSheet(WordsLanguage language);
AkbPicture DemoGalleryCoverSheet(WordsLanguage language);
// The gallery's covers: each heroine's name card in the preview area's right part, clear of the
// page buttons the page draws over its left part (cover x 0 to 174, y 129 to 371) and of the
// scene cell above it (rows up to 111); the rest of the cover is clear.
inline constexpr int32_t GALLERY_CARD_X = 196;
inline constexpr int32_t GALLERY_CARD_Y = 176;
inline constexpr int32_t GALLERY_CARD_WIDTH = 290;
inline constexpr int32_t GALLERY_CARD_HEIGHT = 110;
// A thumbnail sheet's cell (0 to 11) by the sheet's first id: the CG or scene it shows, named.
CellWords ThumbnailWords(uint32_t first_id, int32_t cell);
AkbPicture DemoThumbnailSheet(uint32_t first_id, WordsLanguage language);
std::vector<std::pair<std::string, AkbPicture>> CaptionedCGPictures(WordsLanguage language);
AkbPicture DemoMusicRowSheet(WordsLanguage language);
AkbPicture DemoMusicControlSheet(WordsLanguage language);
AkbPicture DemoMusicTrackPicture(int32_t slot, WordsLanguage language);

// The slot machine's parts, the save and load screen's parts, the backlog's parts and band, the
// name entry's parts and the choice's page buttons.
AkbPicture DemoSlotSheet();
// The slot machine's background in a language (0 to 3): its name, the controls' words and how
// the machine at rest is played or left.
AkbPicture DemoSlotBackground(int32_t language);
AkbPicture DemoSaveLoadSheet(WordsLanguage language);
// The save and load screens' background in a language (0 to 3): one plain colour, no caption,
// since the list and each hovered row show its top-left region, not what lies at their place.
AkbPicture DemoSaveLoadBackground(int32_t language);
AkbPicture DemoBacklogSheet(WordsLanguage language);
AkbPicture DemoBacklogCover(WordsLanguage language);
AkbPicture DemoNameInputSheet(WordsLanguage language);
AkbPicture DemoChoiceSheet(WordsLanguage language);

// The flag screens: the heroine list and its background of a language (0 English, 1 and 2
// Chinese, 3 Japanese), the schedule's parts, its background with the days' dates over the grid
// and its canvas with each row's heroine.
AkbPicture DemoFlagListSheet(WordsLanguage language);
AkbPicture DemoFlagListBackground(int32_t language);
AkbPicture DemoFlagScheduleSheet(WordsLanguage language);
AkbPicture DemoFlagScheduleBackground(WordsLanguage language);
AkbPicture DemoFlagScheduleCanvas(WordsLanguage language);
// Every flag screen picture as FlagPictureFiles names them, with the words.
std::vector<NamedFile> DemoFlagPictureFiles();

// The rim that frames a drawn part in its state: muted when normal, white under the pointer, gold
// pressed, dim disabled. A side where the part joins another (a plate's tiled middle) stays open.
struct RimSides
{
    bool left = true;
    bool top = true;
    bool right = true;
    bool bottom = true;
};
uint32_t RimColour(int32_t state);
void DrawRim(AkbPicture& sheet, const SheetCell& cell, int32_t thickness, RimSides sides = {});

// A screen's background of a language (0 English, 1 simplified and 2 traditional Chinese, 3
// Japanese) with the screen's name in its top-left corner.
AkbPicture DemoScreenBackground(AkbPicture background, int32_t language, const CellWords& name);
// The sound settings' background: its name in a band above the window its panel scrolls in.
inline constexpr int32_t SOUND_PANEL_TOP = 40;
AkbPicture DemoSoundBackground(AkbPicture background, WordsLanguage language);

} // namespace tools
