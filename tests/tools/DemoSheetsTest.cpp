#include "sheetgen/DemoSheets.h"

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "demopics/DemoPictures.h"
#include "sheetgen/BacklogSheet.h"
#include "sheetgen/ChoiceSheet.h"
#include "sheetgen/DemoMapSheets.h"
#include "sheetgen/MusicSheets.h"
#include "sheetgen/SaveLoadSheets.h"
#include "sheetgen/SlotSheet.h"

namespace {

// The code colour's red is the id's group: up to this one a cell reads as a dark slate or navy
// part; above it, with the blue of a state, as the purple of a placeholder block.
constexpr uint32_t SLATE_GROUPS = 0x3A;

struct Sheet
{
    std::string name;
    tools::AkbPicture picture;
    std::vector<tools::SheetCell> cells;
};

} // namespace

// What a player sees of the demo's parts is drawn as a game's: every cell whose middle still
// shows its code colour shows a slate one, but for the few parts whose colour says what they are
// (the slot machine's reels, the music bar's fill).
TEST(DemoSheets, ThePartsAPlayerSeesAreSlatesNotPlaceholderPurple)
{
    using tools::WordsLanguage;
    std::vector<Sheet> sheets{
        {"choice", tools::DemoChoiceSheet(WordsLanguage::Japanese), tools::ChoiceSheetCells()},
        {"dialog", tools::DemoDialogSheet(WordsLanguage::Simplified), tools::DialogSheetCells()},
        {"notice", tools::DemoNoticeSheet(WordsLanguage::Traditional), tools::NoticeSheetCells()},
        {"message", tools::DemoMessageSheet(WordsLanguage::Japanese), tools::MessageSheetCells()},
        {"side menu", tools::DemoSideMenuSheet(WordsLanguage::Simplified), tools::SideMenuSheetCells()},
        {"title", tools::DemoTitleSheet(WordsLanguage::English), tools::TitleSheetCells()},
        {"backlog", tools::DemoBacklogSheet(WordsLanguage::Traditional), tools::BacklogSheetCells()},
        {"settings", tools::DemoConfigSheet(WordsLanguage::Japanese), tools::ConfigSheetCells()},
        {"save and load", tools::DemoSaveLoadSheet(WordsLanguage::English), tools::SaveLoadSheetCells()},
        {"slot", tools::DemoSlotSheet(), tools::SlotSheetCells()},
        {"gallery list", tools::DemoGalleryListSheet(WordsLanguage::English), tools::GalleryListCells()},
        {"gallery", tools::DemoGalleryModeSheet(WordsLanguage::English), tools::GalleryModeCells()},
        {"gallery covers", tools::DemoGalleryCoverSheet(WordsLanguage::English), tools::GalleryCoverCells()},
        {"music rows", tools::DemoMusicRowSheet(WordsLanguage::English), tools::MusicRowCells()},
        {"music controls", tools::DemoMusicControlSheet(WordsLanguage::English), tools::MusicControlCells()},
        {"characters", tools::DemoCharListSheet(WordsLanguage::English), tools::CharListSheetCells()},
        {"names", tools::DemoNameListSheet(WordsLanguage::English), tools::NameListSheetCells()},
        {"place buttons", tools::DemoAreaSheet(WordsLanguage::Simplified), tools::AreaSelectSheetCells()},
        {"time", tools::DemoTimeSheet(WordsLanguage::English), tools::TimeSheetCells()},
        {"plate", tools::DemoPlateSheet(WordsLanguage::English), tools::PlateSheetCells()},
        {"faces", tools::DemoIconSheet(WordsLanguage::Traditional), tools::IconSheetCells()},
    };
    for (int32_t kind = 0; kind < 3; ++kind) {
        sheets.push_back({"sub map " + std::to_string(kind),
                          tools::DemoSubMapPartsSheet(kind, WordsLanguage::English),
                          tools::SubMapPartsCells(kind)});
        // The background's one cell, read where the sub map's checks read it.
        sheets.push_back(
            {"sub map background " + std::to_string(kind),
             tools::DemoSubMapBackground(kind, WordsLanguage::English),
             {{900, 1040, 120, 40, tools::SUBMAP_BACKGROUND + static_cast<uint32_t>(kind), 0, ""}}});
    }
    std::set<uint32_t> accents{tools::MUSIC_BAR_FULL, tools::SLOT_CELL_BLANK};
    for (uint32_t digit = 0; digit < 10; ++digit)
        accents.insert(tools::SLOT_CELL_DIGIT + digit);

    int read = 0;
    for (const Sheet& sheet : sheets) {
        SCOPED_TRACE(sheet.name);
        for (const tools::SheetCell& cell : sheet.cells) {
            const int32_t x = cell.x + cell.width / 2;
            const int32_t y = cell.y + cell.height / 2;
            if (x >= sheet.picture.width || y >= sheet.picture.height)
                continue;
            uint32_t id = 0;
            int32_t state = 0;
            if (!tools::DecodeCellColour(sheet.picture.At(x, y), id, state) || id != cell.id)
                continue; // drawn over: words or a mark
            ++read;
            if (accents.count(id) != 0)
                continue;
            EXPECT_LE(id >> 8, SLATE_GROUPS) << std::hex << "cell " << cell.id << " shows 0x" << id << " at "
                                             << std::dec << x << ", " << y;
        }
    }
    EXPECT_GT(read, 500) << "the middles no longer show code colours: read them elsewhere";
    // The CG pictures, where the gallery's checks read them; the overlay is keyed there.
    for (const auto& [name, picture] : tools::CaptionedCGPictures(tools::WordsLanguage::Japanese)) {
        if (picture.At(200, 900) == 0xFF00FF00u)
            continue;
        uint32_t id = 0;
        int32_t state = 0;
        ASSERT_TRUE(tools::DecodeCellColour(picture.At(200, 900), id, state)) << name;
        EXPECT_LE(id >> 8, SLATE_GROUPS) << name;
    }
}

// The hover help stands over a window button with its lowest band ending 15 pixels into the
// button, and left of a side-menu button with its pointer at x 1620, 100 pixels into the row:
// what reaches there is clear in the balloon, and panel in the button, so no help covers the
// button it names.
TEST(DemoSheets, HoverHelpLeavesTheButtonItNamesInSight)
{
    const tools::AkbPicture message = tools::DemoMessageSheet(tools::WordsLanguage::English);
    for (const tools::SheetCell& cell : tools::MessageSheetCells()) {
        const bool lowest =
            cell.id >= tools::MESSAGE_SHEET_BALLOON + 6 && cell.id < tools::MESSAGE_SHEET_BALLOON + 9;
        if (!lowest && cell.id != tools::MESSAGE_SHEET_POINTER)
            continue;
        for (int32_t y = 15; y < cell.height; ++y)
            for (int32_t x = 0; x < cell.width; ++x)
                ASSERT_EQ(message.At(cell.x + x, cell.y + y) >> 24, 0u)
                    << std::hex << cell.id << std::dec << " at " << x << ", " << y;
    }
    const tools::AkbPicture menu = tools::DemoSideMenuSheet(tools::WordsLanguage::Traditional);
    for (const tools::SheetCell& cell : tools::SideMenuSheetCells()) {
        if (cell.id <= 0xF00 || cell.id >= 0xF09)
            continue;
        for (int32_t x = 0; x < 100; x += 9) {
            uint32_t id = 0;
            int32_t state = 0;
            const bool coded =
                tools::DecodeCellColour(menu.At(cell.x + x, cell.y + cell.height / 2), id, state);
            ASSERT_FALSE(coded && id == cell.id) << std::hex << cell.id << std::dec << " at " << x;
        }
    }
}

namespace {

bool HasDigit(const std::string& words)
{
    for (const char c : words)
        if (c >= '0' && c <= '9')
            return true;
    return false;
}

// Both languages' words, neither empty nor numbered: a name a player reads, not a placeholder.
void ExpectNamed(const tools::CellWords& words, const std::string& what)
{
    EXPECT_FALSE(words.japanese.empty()) << what;
    EXPECT_FALSE(words.english.empty()) << what;
    EXPECT_FALSE(HasDigit(words.japanese) || HasDigit(words.english))
        << what << ": " << words.japanese << " / " << words.english;
}

} // namespace

// The notices, the settings' system cells and the thumbnails of the gallery and the scene replay
// say what they are in words; a heroine's scenes each have a name of their own.
TEST(DemoSheets, NoticesSystemCellsAndThumbnailsAreNamedNotNumbered)
{
    for (int32_t kind = 0; kind <= 4; ++kind)
        ExpectNamed(tools::NoticeKindWords(kind), "notice kind " + std::to_string(kind));
    ExpectNamed(tools::NoticeKindNoteWords(), "notice note");
    for (int32_t line = 0; line < 16; ++line)
        ExpectNamed(tools::NoticeLineWords(line), "notice line " + std::to_string(line));
    for (int32_t item = 0; item < 6; ++item)
        ExpectNamed(tools::RightClickActionWords(item), "system cell " + std::to_string(item));

    const uint32_t sheets[] = {0x3430, 0x3450, 0x3470, 0x3530, 0x3532,
                               0x3533, 0x3534, 0x3630, 0x3640, 0x3650};
    for (const uint32_t first : sheets)
        for (int32_t cell = 0; cell < 12; ++cell)
            ExpectNamed(tools::ThumbnailWords(first, cell),
                        "thumbnail " + std::to_string(cell) + " of sheet " + std::to_string(first));
    // A scene sheet's cells 0 to 7 are the first page, 9 to 11 the second's first three.
    for (const uint32_t first : {0x3630u, 0x3640u, 0x3650u}) {
        std::set<std::string> names;
        for (const int32_t cell : {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11})
            names.insert(tools::ThumbnailWords(first, cell).english);
        EXPECT_EQ(names.size(), 11u) << "scenes of sheet " << first << " named alike";
    }
}

namespace {

bool Opaque(const tools::AkbPicture& picture, int32_t left, int32_t top, int32_t width, int32_t height)
{
    for (int32_t y = top; y < top + height; ++y)
        for (int32_t x = left; x < left + width; ++x)
            if ((picture.At(x, y) >> 24) != 0xFF)
                return false;
    return true;
}

bool Overlap(const tools::CaptionBox& box, int32_t left, int32_t top, int32_t width, int32_t height)
{
    return box.left < left + width && left < box.left + box.width && box.top < top + height &&
           top < box.top + box.height;
}

} // namespace

// A screen's picture hides what the screen it opened over left up: the flag and slot screens'
// names stand on opaque bands (the town's calendar plate stays under them), the backlog's cover
// is opaque, the sound settings' name stays above the window its panel scrolls in, and the
// evening's name stands clear of the time of day's dial and the side menu's tab.
TEST(DemoSheets, ScreensHideWhatTheyOpenOverAndKeepTheirNamesClear)
{
    const tools::AkbPicture plain = tools::BuildSheet(1920, 1080, {{0, 0, 1920, 1080, 0x1234, 0, ""}});
    for (int32_t language = 0; language < 4; ++language) {
        const tools::WordsLanguage words = tools::LanguageOfIndex(language);
        EXPECT_TRUE(Opaque(tools::DemoFlagListBackground(language), 24, 16, 120, 68)) << language;
        EXPECT_TRUE(Opaque(tools::DemoSlotBackground(language), 24, 16, 120, 68)) << language;
        EXPECT_TRUE(Opaque(tools::DemoFlagScheduleBackground(words), 260, 16, 300, 60)) << language;
        EXPECT_TRUE(Opaque(tools::DemoBacklogCover(words), 0, 0, 1920, 1080)) << language;

        const tools::AkbPicture sound = tools::DemoSoundBackground(plain, words);
        int32_t named = 0;
        for (int32_t y = 0; y < 100; ++y)
            for (int32_t x = 0; x < 1632; ++x)
                if (sound.At(x, y) != plain.At(x, y)) {
                    EXPECT_LT(y, tools::SOUND_PANEL_TOP)
                        << language << ": the name at (" << x << ", " << y << ")";
                    ++named;
                }
        EXPECT_GT(named, 1000) << language << ": no name on the sound settings";

        // The save note shows its question's line from row 54 down: a new save's and an
        // overwrite's words stand there whole, the rows above bare. In Japanese it reads the plain
        // sheet, which every language is shown.
        const tools::AkbPicture dialog =
            tools::DemoDialogSheet(language == 3 ? tools::WordsLanguage::Marks : words);
        for (const tools::SheetCell& cell : tools::DialogSheetCells()) {
            if (cell.id != tools::DIALOG_SHEET_LINE && cell.id != tools::DIALOG_SHEET_LINE + 4)
                continue;
            int32_t above = 0;
            int32_t shown = 0;
            for (int32_t y = 0; y < cell.height; ++y)
                for (int32_t x = 0; x < cell.width; ++x)
                    if (dialog.At(cell.x + x, cell.y + y) != dialog.At(cell.x + 2, cell.y + 2))
                        ++(y < 54 ? above : shown);
            EXPECT_EQ(above, 0) << language << ": question " << cell.id - tools::DIALOG_SHEET_LINE;
            EXPECT_GT(shown, 100) << language << ": question " << cell.id - tools::DIALOG_SHEET_LINE;
        }
        // The save note's text line is framed on its window, before anything is typed into it:
        // the rim of the window's own colour runs round the line (727, 494 on the screen) and
        // stops short of the clear button.
        for (const tools::SheetCell& cell : tools::DialogSheetCells()) {
            if (cell.id != tools::DIALOG_SHEET_NOTE_FRAME)
                continue;
            const uint32_t rim = dialog.At(cell.x + 1, cell.y + 1);
            const uint32_t inside = dialog.At(cell.x + 300, cell.y + 133);
            EXPECT_NE(inside, rim) << language;
            for (const auto& [x, y] :
                 {std::pair{300, 116}, std::pair{300, 149}, std::pair{204, 133}, std::pair{631, 133}})
                EXPECT_EQ(dialog.At(cell.x + x, cell.y + y), rim)
                    << language << ": (" << x << ", " << y << ")";
            EXPECT_NE(dialog.At(cell.x + 640, cell.y + 133), rim) << language << ": over the clear button";
        }

        const tools::CaptionBox evening = tools::EveningCaptionBox(words);
        EXPECT_FALSE(Overlap(evening, 590, 48, 740, 682))
            << language << ": under the time of day's dial and its top button";
        EXPECT_FALSE(Overlap(evening, 1846, 24, 66, 68)) << language << ": under the side menu's tab";
        EXPECT_TRUE(evening.left >= 160 && evening.left + evening.width <= 1760 && evening.top >= 20 &&
                    evening.top + evening.height <= 244)
            << language << ": partly beside the character selection's top row of cells";
        // The place screen's strips open over the scenes' pictures.
        const int32_t strips_width = tools::AreaIdStripLeft(13) + 120 - tools::AreaIdStripLeft(0);
        const int32_t strips_height = tools::AREA_ID_STRIP_BOTTOM - tools::AREA_ID_STRIP_TOP;
        for (const tools::CaptionBox& caption :
             {evening, tools::SceneCaptionBox(tools::WordsIn(tools::EveningCaption(), words), 0)})
            EXPECT_FALSE(Overlap(caption, tools::AreaIdStripLeft(0), tools::AREA_ID_STRIP_TOP, strips_width,
                                 strips_height))
                << language << ": a caption at (" << caption.left << ", " << caption.top
                << ") under the place screen's strips";
        // The character-area screen's places open over them too.
        for (const tools::AreaRecord& place : tools::FigurePlaceAreas())
            for (const tools::CaptionBox& caption :
                 {evening, tools::SceneCaptionBox(tools::WordsIn(tools::EveningCaption(), words), 0)})
                EXPECT_FALSE(Overlap(caption, place.left, place.top, place.right - place.left,
                                     place.bottom - place.top))
                    << language << ": a caption under place " << (place.id >> 8);
    }
}

// The character-area screen's places: groups 1 to 13, each once, each answered by the figure's id
// picture over the whole of its rectangle on the screen and nowhere else, each rectangle on the
// screen above the story text and the buttons (y 780 on) and clear of every pixel of the figure.
// The demo's frames show each drawn there in every language.
TEST(DemoSheets, TheFigurePlacesAreAnsweredOverTheirRectanglesClearOfTheFigure)
{
    const std::vector<tools::AreaRecord> places = tools::FigurePlaceAreas();
    const tools::AkbPicture ids = tools::DemoFigureIdPicture();
    const tools::AkbPicture figure = tools::DrawStandingCharacter(tools::STAGE_FIRST_BODY);
    ASSERT_EQ(places.size(), 13u);
    int64_t answered = 0;
    for (int32_t y = 0; y < ids.height; ++y)
        for (int32_t x = 0; x < ids.width; ++x)
            answered += (ids.At(x, y) & 0xFFFFFFu) != 0;
    int64_t area = 0;
    for (size_t k = 0; k < places.size(); ++k) {
        const tools::AreaRecord& place = places[k];
        EXPECT_EQ(place.id, ((k + 1) << 8) | 1);
        EXPECT_TRUE(place.left >= 0 && place.top >= 0 && place.right <= 1920 && place.bottom <= 780)
            << "place " << k + 1;
        area += int64_t{place.right - place.left} * (place.bottom - place.top);
        int32_t wrong = 0;
        int32_t covered = 0;
        for (int32_t y = place.top; y < place.bottom; ++y)
            for (int32_t x = place.left; x < place.right; ++x) {
                const uint32_t id = ids.At(x - tools::FIGURE_X, y - tools::FIGURE_Y);
                wrong += (((id >> 8) & 0xFFu) << 8 | ((id >> 16) & 0xFFu)) != place.id;
                covered += (figure.At(x - tools::FIGURE_X, y - tools::FIGURE_Y) >> 24) != 0;
            }
        EXPECT_EQ(wrong, 0) << "place " << k + 1 << ": pixels of its rectangle answer another id";
        EXPECT_EQ(covered, 0) << "place " << k + 1 << ": under the figure";
    }
    EXPECT_EQ(answered, area) << "the id picture answers outside the places, or they overlap";
}
