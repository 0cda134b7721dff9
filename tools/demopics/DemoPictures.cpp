#include "demopics/DemoPictures.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "textpaint/ShapePainter.h"
#include "textpaint/TextPainter.h"

#include "demopics/TripPictures.h"

namespace tools {

namespace {

constexpr int32_t CELL = 64;

uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// The game's name on a title plate, in its upper part: the title's checks read the plate lower.
void TitleWords(AkbPicture& picture, const std::string& name, const std::string& second_line)
{
    TextStyle style;
    style.colour = Argb(255, 60, 40, 80);
    style.pixel_height = 60;
    style.bold = true;
    DrawText(picture, {1000, 166, 800, 76}, name, style);
    style.pixel_height = 32;
    style.bold = false;
    DrawText(picture, {1000, 244, 800, 46}, second_line, style);
}

} // namespace

CaptionBox SceneCaptionBox(const std::string& words, int32_t top)
{
    // Under the calendar plate's corner, and low enough that the backlog's band and its first
    // entry cover it whole rather than cut it.
    return {24, top + 152, MeasureText(words, CAPTION_EM) + CAPTION_EM, 2 * CAPTION_EM};
}

void DrawSceneCaption(AkbPicture& picture, const std::string& words, int32_t top)
{
    DrawSceneCaption(picture, words, SceneCaptionBox(words, top));
}

void DrawSceneCaption(AkbPicture& picture, const std::string& words, const CaptionBox& box)
{
    // A picture of marks alone has no caption: no band either.
    if (words.empty())
        return;
    FillRect(picture, box.left, box.top, box.width, box.height, CAPTION_BAND);
    TextStyle style;
    style.pixel_height = CAPTION_EM;
    style.colour = Argb(255, 255, 230, 120);
    DrawText(picture, {box.left, box.top, box.width, box.height}, words, style);
}

const CellWords& EveningCaption()
{
    static const CellWords words{"冬の町", "The winter town", "冬日小镇", "冬日小鎮"};
    return words;
}

CaptionBox EveningCaptionBox(WordsLanguage language)
{
    // The story's choice plays over this picture: its plates fill the middle from y 164 down, its
    // previous-page arrow stands above them in the middle, and the calendar plate takes the top
    // left corner; the time of day's dial stands from x 590 to 1330 and the side menu's tab from
    // x 1846. The evening's name stands between the two, above the plates, where the backlog's
    // cover hides it whole, and within the character selection's top row of cells (x 160 to
    // 1760), which hide it whole too: none of it shows beside them.
    CaptionBox box = SceneCaptionBox(WordsIn(EveningCaption(), language), 0);
    box.left = 1750 - box.width;
    box.top = 88;
    return box;
}

AkbPicture DrawCursorSheet()
{
    AkbPicture sheet = MakePicture(CELL * 2, CELL * 3, 0);
    const uint32_t colours[3] = {Argb(255, 240, 240, 255), Argb(255, 255, 210, 120),
                                 Argb(255, 160, 255, 170)};
    for (int32_t row = 0; row < 3; ++row) {
        for (int32_t frame = 0; frame < 2; ++frame) {
            // An arrow pointing up-left, its outline dark; the second frame is one pixel larger.
            const int32_t size = 40 + frame * 4;
            for (int32_t y = 0; y < size; ++y) {
                for (int32_t x = 0; x <= y / 2 + y / 4 && x < size; ++x) {
                    const bool edge = x == 0 || x == y / 2 + y / 4 || y == size - 1;
                    sheet.At(frame * CELL + x, row * CELL + y) = edge ? Argb(255, 20, 20, 30) : colours[row];
                }
            }
        }
    }
    return sheet;
}

AkbPicture DrawBackground(int32_t width, int32_t height)
{
    AkbPicture picture = MakePicture(width, height, 0);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t r = static_cast<uint32_t>(20 + 60 * x / width);
            const uint32_t g = static_cast<uint32_t>(30 + 90 * y / height);
            const uint32_t b = static_cast<uint32_t>(90 + 120 * (width - x) / width);
            picture.At(x, y) = Argb(255, r, g, b);
        }
    }
    return picture;
}

AkbPicture DrawTitlePlate()
{
    AkbPicture plate = MakePicture(512, 128, Argb(255, 0, 255, 0)); // key colour around the plate
    for (int32_t y = 16; y < 112; ++y) {
        for (int32_t x = 16; x < 496; ++x)
            plate.At(x, y) = ((x / 32 + y / 32) % 2) ? Argb(255, 250, 250, 245) : Argb(255, 200, 60, 80);
    }
    return plate;
}

AkbPicture DrawEveningBackground(int32_t width, int32_t height)
{
    AkbPicture picture = MakePicture(width, height, EVENING_GROUND);
    for (int32_t y = 0; y < height / 2; ++y) {
        for (int32_t x = 0; x < width; ++x)
            picture.At(x, y) = EVENING_SKY;
    }
    return picture;
}

AkbPicture DrawSpriteSheet()
{
    AkbPicture sheet = MakePicture(SHEET_CELL * 4, SHEET_CELL, SHEET_KEY);
    const int32_t centre = SHEET_CELL / 2;
    for (int32_t frame = 0; frame < 4; ++frame) {
        for (int32_t y = 0; y < SHEET_CELL; ++y) {
            for (int32_t x = 0; x < SHEET_CELL; ++x) {
                if (std::abs(x - centre) + std::abs(y - centre) <= centre - 4)
                    sheet.At(frame * SHEET_CELL + x, y) = SHEET_COLOURS[frame];
            }
        }
    }
    return sheet;
}

AkbPicture DrawStandingCharacter(uint32_t colour)
{
    AkbPicture picture = MakePicture(2048, 1100, 0);
    for (int32_t y = 190; y < 410; ++y) {
        for (int32_t x = 914; x < 1134; ++x) {
            if ((x - 1024) * (x - 1024) + (y - 300) * (y - 300) <= 110 * 110)
                picture.At(x, y) = STAGE_SKIN;
        }
    }
    for (int32_t y = 420; y < 1100; ++y) {
        for (int32_t x = 884; x < 1164; ++x)
            picture.At(x, y) = colour;
    }
    return picture;
}

AkbPicture DrawStandingFace()
{
    AkbPicture face = MakePicture(2048, 420, 0);
    const auto fill = [&face](int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour) {
        for (int32_t y = top; y < bottom; ++y)
            for (int32_t x = left; x < right; ++x)
                face.At(x, y) = colour;
    };
    fill(974, 280, 994, 300, Argb(255, 32, 32, 32));
    fill(1054, 280, 1074, 300, Argb(255, 32, 32, 32));
    fill(984, 340, 1064, 352, STAGE_MOUTH);
    return face;
}

AkbPicture DrawStageBackground()
{
    AkbPicture picture = MakePicture(1920, 1080, STAGE_SKY);
    for (int32_t y = 300; y < 780; ++y)
        for (int32_t x = 600; x < 1320; ++x)
            picture.At(x, y) = STAGE_HOUSE;
    return picture;
}

AkbPicture DrawSun()
{
    AkbPicture sun = MakePicture(64, 64, Argb(255, 0, 255, 0));
    for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 64; ++x)
            if ((x - 32) * (x - 32) + (y - 32) * (y - 32) <= 28 * 28)
                sun.At(x, y) = STAGE_SUN;
    return sun;
}

AkbPicture DrawSnowFlake()
{
    AkbPicture flake = MakePicture(64, 64, 0);
    for (int32_t y = 0; y < 64; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            const int32_t d = (x - 32) * (x - 32) + (y - 32) * (y - 32);
            if (d <= 30 * 30)
                flake.At(x, y) = Argb(static_cast<uint32_t>(255 - d * 255 / 900), 255, 255, 255);
        }
    }
    return flake;
}

AkbPicture DrawPetals()
{
    AkbPicture petals = MakePicture(64, 640, 0);
    for (int32_t frame = 0; frame < 10; ++frame) {
        // A petal that turns: its width shrinks and grows again over the frames.
        const int32_t half = 8 + std::abs(5 - frame) * 4;
        for (int32_t y = 8; y < 56; ++y)
            for (int32_t x = 32 - half; x < 32 + half; ++x)
                if ((x - 32) * (x - 32) * 24 * 24 + (y - 32) * (y - 32) * half * half <=
                    half * half * 24 * 24)
                    petals.At(x, frame * 64 + y) = Argb(255, 250, 180, 200);
    }
    return petals;
}

// A three-byte body with a fully opaque rectangle.
static AkbOptions OpaqueRgb()
{
    AkbOptions options;
    options.rgb_alpha = 255;
    return options;
}

AkbPicture DrawTitleBackground(uint32_t colour)
{
    AkbPicture picture = MakePicture(1920, 1080, colour);
    for (int32_t y = 160; y < 400; ++y)
        for (int32_t x = 1000; x < 1800; ++x)
            picture.At(x, y) = TITLE_PLATE;
    return picture;
}

AkbPicture DrawFlower()
{
    AkbPicture flower = MakePicture(FLOWER_SIZE, FLOWER_SIZE, 0);
    const double centre = FLOWER_SIZE / 2.0;
    for (int32_t y = 0; y < FLOWER_SIZE; ++y)
        for (int32_t x = 0; x < FLOWER_SIZE; ++x) {
            const double dx = x + 0.5 - centre;
            const double dy = y + 0.5 - centre;
            const double radius = std::sqrt(dx * dx + dy * dy);
            // Five petals: the edge swings with the angle.
            const double edge = centre * (0.7 + 0.3 * std::cos(5.0 * std::atan2(dy, dx)));
            if (radius < centre * 0.25)
                flower.At(x, y) = FLOWER_COLOUR;
            else if (radius < edge)
                flower.At(x, y) = 0xFFFFE6F0;
        }
    return flower;
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> BuildTitlePictures()
{
    std::vector<std::pair<std::string, std::vector<uint8_t>>> pictures;
    const std::pair<const char*, uint32_t> backgrounds[] = {{"TITLE_N_BG", TITLE_BACKGROUND},
                                                            {"TITLE_BG2", TITLE_BACKGROUND_2},
                                                            {"SPTITLE01", SP_TITLE_BACKGROUND}};
    for (const auto& [name, colour] : backgrounds) {
        AkbOptions plate_only;
        plate_only.content = AkbRect{1000, 160, 1800, 400};
        plate_only.fill = colour;
        plate_only.rgb_alpha = 255;
        // The game's name and the plate's second line in the picture's language alone.
        struct Words
        {
            const char* suffix;
            const char* name;
            const char* story;
            const char* cleared;
            const char* saves; // the special title's: whose saves its continue and load offer
        };
        static constexpr Words LANGUAGES[] = {
            {"", GAME_NAME_JAPANESE, "短い冬の物語", "クリア後",
             "続きとロードはクリア後の物語のセーブ。最初の物語は「戻る」から"},
            {"_EN", GAME_NAME_ENGLISH, "A short winter story", "After the ending",
             "Continue and Load: this story's saves. The first story's: Back"},
            {"_CH", "冬日小镇", "一个短短的冬天的故事", "通关之后",
             "继续和读取：通关之后的存档。最初的故事：返回"},
            {"_TW", "冬日小鎮", "一個短短的冬天的故事", "通關之後",
             "繼續和讀取：通關之後的存檔。最初的故事：返回"}};
        for (const Words& words : LANGUAGES) {
            AkbPicture picture = DrawTitleBackground(colour);
            TitleWords(picture, words.name, colour == SP_TITLE_BACKGROUND ? words.cleared : words.story);
            if (colour == SP_TITLE_BACKGROUND) {
                TextStyle note;
                note.colour = Argb(255, 60, 40, 80);
                note.pixel_height = 26;
                DrawText(picture, {1010, 300, 780, 80}, words.saves, note);
            }
            pictures.push_back({std::string(name) + words.suffix + ".AKB", EncodeAkb(picture, plate_only)});
        }
    }
    pictures.push_back({"HANA_0000.AKB", EncodeAkb(DrawFlower(), {})});
    // The extras draw only their controls: the backdrop the title lays under them has no plate
    // for the list and the picture to cut into.
    for (int32_t language = 0; language < 4; ++language) {
        AkbPicture extras = MakePicture(1920, 1080, TITLE_BACKGROUND_2);
        DrawSceneCaption(extras, WordsIn({"おまけ", "Extras", "特典", "特典"}, LanguageOfIndex(language)));
        pictures.push_back({LanguageName("OMAKE_BG.AKB", language), EncodeAkb(extras, OpaqueRgb())});
    }
    return pictures;
}

AkbPicture CaptionedBackground(WordsLanguage language)
{
    AkbPicture picture = DrawBackground(1920, 1080);
    // A morning sky: three clouds and a low sun, above where the message window stands.
    for (const auto& [x, y] : {std::pair{420, 330}, std::pair{760, 220}, std::pair{1240, 380}}) {
        FillDisc(picture, x, y, 60, Argb(255, 170, 190, 230));
        FillDisc(picture, x + 70, y - 20, 75, Argb(255, 170, 190, 230));
        FillDisc(picture, x + 150, y, 60, Argb(255, 170, 190, 230));
    }
    FillDisc(picture, 1500, 600, 90, Argb(255, 250, 190, 90));
    DrawSceneCaption(
        picture,
        WordsIn({"朝の駅前", "Morning, station square", "早晨的车站前广场", "早晨的車站前廣場"}, language));
    return picture;
}

AkbPicture CaptionedEveningBackground(WordsLanguage language)
{
    AkbPicture picture = DrawEveningBackground(1920, 1080);
    // Hills on the horizon and a row of houses under a low winter sun.
    for (int32_t k = 0; k < 5; ++k)
        FillTriangle(picture, 200 + 380 * k, 470, 180, Argb(255, 180, 100, 70));
    for (int32_t k = 0; k < 4; ++k)
        FillRect(picture, 120 + 460 * k, 560, 140, 110, Argb(255, 90, 60, 110));
    DrawSceneCaption(picture, WordsIn(EveningCaption(), language), EveningCaptionBox(language));
    return picture;
}

AkbPicture CaptionedStageBackground(WordsLanguage language)
{
    AkbPicture picture = DrawStageBackground();
    // The house's windows and door.
    FillRect(picture, 680, 380, 120, 100, Argb(255, 250, 220, 120));
    FillRect(picture, 1120, 380, 120, 100, Argb(255, 250, 220, 120));
    FillRect(picture, 900, 620, 120, 160, Argb(255, 110, 70, 50));
    DrawSceneCaption(picture, WordsIn({"家の前", "In front of the house", "家门前", "家門前"}, language));
    return picture;
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> BuildDemoPictures()
{
    std::vector<std::pair<std::string, std::vector<uint8_t>>> pictures = BuildTitlePictures();
    std::vector<std::pair<std::string, std::vector<uint8_t>>> story = {
        {"CURSOR.AKB", EncodeAkb(DrawCursorSheet(), {})},
        {"TITLE.AKB", EncodeAkb(DrawTitlePlate(), {})},
        {"SHEET.AKB", EncodeAkb(DrawSpriteSheet(), {})},
        {"A_BODY.AKB", EncodeAkb(DrawStandingCharacter(STAGE_FIRST_BODY), {})},
        {"C_BODY.AKB", EncodeAkb(DrawStandingCharacter(STAGE_SECOND_BODY), {})},
        {"A_FLASH.AKB", EncodeAkb(DrawStandingCharacter(STAGE_FLASH_BODY), {})},
        {"A_FACE.AKB", EncodeAkb(DrawStandingFace(), {})},
        {"ST_SUN.AKB", EncodeAkb(DrawSun(), {})},
        {"SNOWBALL.AKB", EncodeAkb(DrawSnowFlake(), {})},
        {"HANA.AKB", EncodeAkb(DrawPetals(), {})},
    };
    pictures.insert(pictures.end(), story.begin(), story.end());
    // The backgrounds with a caption, in each language.
    for (int32_t language = 0; language < 4; ++language) {
        const WordsLanguage words = LanguageOfIndex(language);
        pictures.push_back(
            {LanguageName("BG_DEMO.AKB", language), EncodeAkb(CaptionedBackground(words), OpaqueRgb())});
        pictures.push_back({LanguageName("BG_EVENING.AKB", language),
                            EncodeAkb(CaptionedEveningBackground(words), OpaqueRgb())});
        // The stage is a picture slot's base: the slot registry knows it by its plain name, which
        // every language is shown, so that one carries no caption.
        pictures.push_back(
            {LanguageName("ST_BG.AKB", language),
             EncodeAkb(CaptionedStageBackground(language == 3 ? WordsLanguage::Marks : words), OpaqueRgb())});
    }
    std::vector<std::pair<std::string, std::vector<uint8_t>>> trip = BuildTripPictures();
    pictures.insert(pictures.end(), trip.begin(), trip.end());
    return pictures;
}

} // namespace tools
