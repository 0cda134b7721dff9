#pragma once
// The demo game's pictures, drawn by code: the cursor sheet (two frames of 64 x 64 in each of
// three rows), two full-screen backgrounds, a small title plate and a sheet of four 64 x 64
// sprite frames.

#include <string>
#include <utility>
#include <vector>

#include "akbwriter/AkbWriter.h"
#include "textpaint/LanguageWords.h"

namespace tools {

AkbPicture DrawCursorSheet();
AkbPicture DrawBackground(int32_t width, int32_t height);
AkbPicture DrawTitlePlate();
// An evening sky over a dark ground, split at the screen's middle row.
AkbPicture DrawEveningBackground(int32_t width, int32_t height);
// Four frames side by side: an opaque diamond of the frame's colour on clear pixels of the key
// colour (pure green), so that both keyed and alpha copies leave the surroundings alone.
AkbPicture DrawSpriteSheet();

// Colours of the evening background and of the sheet's frames, for checks of drawn frames.
inline constexpr uint32_t EVENING_SKY = 0xFFF0965A;
inline constexpr uint32_t EVENING_GROUND = 0xFF3C285A;
inline constexpr uint32_t SHEET_KEY = 0x0000FF00;
inline constexpr int32_t SHEET_CELL = 64;
inline constexpr uint32_t SHEET_COLOURS[4] = {0xFFFFE650, 0xFF78DCFF, 0xFFFF78C8, 0xFF8CFF78};

// The title's pictures: full-screen backgrounds of one colour with a lighter plate where the
// game's name stands, and the flower of the title animation (FLOWER_SIZE square, clear around
// its petals, FLOWER_COLOUR at its centre).
inline constexpr uint32_t TITLE_BACKGROUND = 0xFF203C78;    // "title_n_bg.akb"
inline constexpr uint32_t TITLE_BACKGROUND_2 = 0xFF3C2878;  // "title_bg2.akb"
inline constexpr uint32_t SP_TITLE_BACKGROUND = 0xFF5A2046; // "sptitle01.akb"
inline constexpr uint32_t TITLE_PLATE = 0xFFF0E6C8;
inline constexpr uint32_t FLOWER_COLOUR = 0xFFFF8CB4;
inline constexpr int32_t FLOWER_SIZE = 128;
AkbPicture DrawTitleBackground(uint32_t colour);
AkbPicture DrawFlower();
// The title pictures by entry name, each under its language-variant names too; the plate carries
// the game's name in its upper part. With them the extras' backdrop "omake_bg.akb" and its forms:
// the second background's colour, captioned, without the plate.
std::vector<std::pair<std::string, std::vector<uint8_t>>> BuildTitlePictures();

// The characters scene: a 2048 x 1100 standing character (a skin head disc over a body of the
// colour, on clear pixels), a 2048 x 420 face layer of eyes and a mouth for it, a sky with a house
// in the middle of the screen, a 64 x 64 sun on the key colour (pure green) for a picture slot,
// a snowflake, and ten 64 x 64 petal frames in a column.
AkbPicture DrawStandingCharacter(uint32_t colour);
AkbPicture DrawStandingFace();
AkbPicture DrawStageBackground();
AkbPicture DrawSun();
AkbPicture DrawSnowFlake();
AkbPicture DrawPetals();

inline constexpr uint32_t STAGE_SKY = 0xFF7090C0;
inline constexpr uint32_t STAGE_HOUSE = 0xFFB08060;
inline constexpr uint32_t STAGE_SUN = 0xFFFFE040;
inline constexpr uint32_t STAGE_SKIN = 0xFFF0D0B0;
inline constexpr uint32_t STAGE_MOUTH = 0xFFC03040;
inline constexpr uint32_t STAGE_FIRST_BODY = 0xFF3060C0;  // "A_BODY.AKB"
inline constexpr uint32_t STAGE_SECOND_BODY = 0xFF40A050; // "C_BODY.AKB"
inline constexpr uint32_t STAGE_FLASH_BODY = 0xFFFFF8F0;  // "A_FLASH.AKB"

// The demo's backgrounds as the story shows them: the pictures above with their caption (the
// scene's name, top left; the evening's top right) and a few shapes of their own, clear of the
// points the scenes' checks read.
AkbPicture CaptionedBackground(WordsLanguage language);
AkbPicture CaptionedEveningBackground(WordsLanguage language);
AkbPicture CaptionedStageBackground(WordsLanguage language);

// A caption's band on its picture.
struct CaptionBox
{
    int32_t left, top, width, height;
};
inline constexpr int32_t CAPTION_EM = 34;
inline constexpr uint32_t CAPTION_BAND = 0xFF181424;

// The scene's name at the left under the calendar plate (y 152 to 220), pale yellow on a dark
// band: never the pure white the checks of the message text count, and clear of the points the
// scenes' checks read. `top` moves it down, for a picture taller than the screen.
CaptionBox SceneCaptionBox(const std::string& words, int32_t top = 0);
void DrawSceneCaption(AkbPicture& picture, const std::string& words, int32_t top = 0);
void DrawSceneCaption(AkbPicture& picture, const std::string& words, const CaptionBox& box);

// The game's name on the Japanese and the English title; the settings give the game its Japanese
// name, by which the message boxes and the version box name it.
inline constexpr const char* GAME_NAME_JAPANESE = "冬の町";
inline constexpr const char* GAME_NAME_ENGLISH = "Winter Town";

// The evening picture's name and where it stands: at the top right, clear of the choice that
// plays over the picture. The story's first day plays over it from the morning to the afternoon,
// so the name tells the place, not an hour.
const CellWords& EveningCaption();
CaptionBox EveningCaptionBox(WordsLanguage language);

// Archive entry names and their AKB bytes.
std::vector<std::pair<std::string, std::vector<uint8_t>>> BuildDemoPictures();

} // namespace tools
