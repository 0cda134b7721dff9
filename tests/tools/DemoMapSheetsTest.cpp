#include "sheetgen/DemoMapSheets.h"

#include "demopics/TripPictures.h"
#include "graphics/CAkb.h"
#include "graphics/CLayerFile.h"
#include "screens/map/CTimeSelect.h"
#include "screens/map/SubMapLayout.h"

#include <gtest/gtest.h>

namespace {

struct Ink
{
    int pixels = 0;
    uint64_t brightness = 0;
};

// The pixels of a cell that are not its colour, and their summed brightness.
Ink InkOf(const tools::AkbPicture& sheet, const tools::SheetCell& cell)
{
    Ink ink;
    const uint32_t colour = tools::CellColour(cell.id, cell.state);
    for (int32_t y = cell.y; y < cell.y + cell.height; ++y)
        for (int32_t x = cell.x; x < cell.x + cell.width; ++x)
            if (const uint32_t pixel = sheet.At(x, y); pixel != colour) {
                ++ink.pixels;
                ink.brightness += ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF);
            }
    return ink;
}

bool Keeps(const tools::AkbPicture& sheet, const tools::SheetCell& cell, int32_t dx, int32_t dy)
{
    return sheet.At(cell.x + dx, cell.y + dy) == tools::CellColour(cell.id, cell.state);
}

} // namespace

// Where the demo's frame checks read a cell, the worded sheets keep the cell's colour: the
// plate's calendar and its digits' corners, the faces' middles, the time selection's dial,
// caption corner and ninth button, the character pictures, back buttons and name strips, the
// diary pages' middles and the sub maps' back buttons.
TEST(DemoMapSheets, TheCheckedPointsKeepTheirCellColour)
{
    for (const tools::WordsLanguage language :
         {tools::WordsLanguage::Japanese, tools::WordsLanguage::English}) {
        SCOPED_TRACE(language == tools::WordsLanguage::English ? "English" : "Japanese");
        const tools::AkbPicture plate = tools::DemoPlateSheet(language);
        for (const tools::SheetCell& cell : tools::PlateSheetCells()) {
            SCOPED_TRACE(cell.label);
            if (cell.id == tools::PLATE_CALENDAR) {
                EXPECT_TRUE(Keeps(plate, cell, 284, 52));
                EXPECT_TRUE(Keeps(plate, cell, 300, 120));
            } else if (cell.id >= tools::PLATE_TIME_DIGIT && cell.id < tools::PLATE_COMMA) {
                EXPECT_TRUE(Keeps(plate, cell, 1, 1)) << "a digit's corner";
            }
        }
        const tools::AkbPicture time = tools::DemoTimeSheet(language);
        for (const tools::SheetCell& cell : tools::TimeSheetCells()) {
            SCOPED_TRACE(cell.label);
            if (cell.id == tools::TIME_SHEET_DIAL) {
                EXPECT_TRUE(Keeps(time, cell, 370, 220));
            } else if (cell.id >= tools::TIME_SHEET_CAPTION && cell.id < tools::TIME_SHEET_CAPTION + 4) {
                EXPECT_TRUE(Keeps(time, cell, 2, 2));
            } else if (cell.id == static_cast<uint32_t>(TIME_ID_NINTH)) {
                EXPECT_TRUE(Keeps(time, cell, cell.width / 2, cell.height / 2));
            }
        }
        const tools::AkbPicture characters = tools::DemoCharListSheet(language);
        for (const tools::SheetCell& cell : tools::CharListSheetCells()) {
            SCOPED_TRACE(cell.label);
            EXPECT_TRUE(Keeps(characters, cell, cell.width / 2, cell.width == 320 ? 58 : cell.height / 2));
        }
        const tools::AkbPicture names = tools::DemoNameListSheet(language);
        for (const tools::SheetCell& cell : tools::NameListSheetCells())
            EXPECT_TRUE(Keeps(names, cell, 160, 24)) << cell.label;
        for (int32_t n = 0; n < 4; ++n)
            EXPECT_TRUE(Keeps(tools::DemoDiarySheet(n, language),
                              {0, 0, 1500, 1000, tools::DIARY_SHEET + static_cast<uint32_t>(n), 0, ""}, 750,
                              500));
        for (int32_t kind = 0; kind < 3; ++kind) {
            const tools::AkbPicture parts = tools::DemoSubMapPartsSheet(kind, language);
            for (const tools::SheetCell& cell : tools::SubMapPartsCells(kind)) {
                if (cell.id == static_cast<uint32_t>(SUBMAP_BACK_ITEM)) {
                    EXPECT_TRUE(Keeps(parts, cell, cell.width / 2, cell.height / 2)) << cell.label;
                }
            }
        }
    }
    const tools::AkbPicture icons = tools::DemoIconSheet(tools::WordsLanguage::Japanese);
    for (const tools::SheetCell& cell : tools::IconSheetCells()) {
        if (cell.width == 144) {
            EXPECT_TRUE(Keeps(icons, cell, 72, 72)) << cell.label;
        }
    }
}

// Every control of these screens carries words, each state its own look: hover underlined (more
// ink than normal), the disabled character dimmer than the normal one; the languages' words
// differ, and the same sheet comes out the same twice.
TEST(DemoMapSheets, EveryControlCarriesWordsAndItsStatesReadApart)
{
    const auto worded = [](const tools::AkbPicture& sheet, const std::vector<tools::SheetCell>& cells,
                           const auto& is_control) {
        for (const tools::SheetCell& cell : cells) {
            if (!is_control(cell))
                continue;
            SCOPED_TRACE(cell.label);
            const Ink ink = InkOf(sheet, cell);
            EXPECT_GT(ink.pixels, 120) << "no words";
            if (cell.state == 1) {
                tools::SheetCell normal = cell;
                normal.state = 0;
                normal.y = cell.y - cell.height;
                EXPECT_GT(ink.pixels, InkOf(sheet, normal).pixels) << "hover is underlined";
            }
        }
    };
    const tools::AkbPicture time = tools::DemoTimeSheet(tools::WordsLanguage::English);
    worded(time, tools::TimeSheetCells(), [](const tools::SheetCell& cell) {
        return cell.id < static_cast<uint32_t>(TIME_RING_COUNT) && cell.width == TIME_RING_WIDTH;
    });
    worded(tools::DemoPlateSheet(tools::WordsLanguage::Japanese), tools::PlateSheetCells(),
           [](const tools::SheetCell& cell) {
               return cell.id == tools::PLATE_BUTTON_GAME_MODE || cell.id == tools::PLATE_BUTTON_OTHER ||
                      (cell.id >= tools::PLATE_WEEKDAY && cell.id < tools::PLATE_WEEKDAY + 7);
           });
    for (int32_t kind = 0; kind < 3; ++kind)
        worded(tools::DemoSubMapPartsSheet(kind, tools::WordsLanguage::English),
               tools::SubMapPartsCells(kind), [](const tools::SheetCell&) { return true; });
    const tools::AkbPicture characters = tools::DemoCharListSheet(tools::WordsLanguage::Japanese);
    worded(characters, tools::CharListSheetCells(), [](const tools::SheetCell& cell) {
        return cell.id < tools::CHARLIST_PLACEHOLDER && cell.state < 3;
    });
    worded(tools::DemoIconSheet(tools::WordsLanguage::Simplified), tools::IconSheetCells(),
           [](const tools::SheetCell& cell) { return cell.width == 144; });
    for (const tools::SheetCell& cell : tools::CharListSheetCells())
        if (cell.id < tools::CHARLIST_PLACEHOLDER && cell.state == 3) {
            tools::SheetCell normal = cell;
            normal.state = 0;
            normal.y = cell.y - 3 * cell.height;
            const Ink dim = InkOf(characters, cell);
            const Ink bright = InkOf(characters, normal);
            EXPECT_LT(dim.brightness / static_cast<uint64_t>(dim.pixels),
                      bright.brightness / static_cast<uint64_t>(bright.pixels))
                << cell.label;
        }

    EXPECT_NE(tools::DemoTimeSheet(tools::WordsLanguage::Japanese).pixels, time.pixels);
    EXPECT_EQ(tools::DemoTimeSheet(tools::WordsLanguage::English).pixels, time.pixels) << "not deterministic";
    EXPECT_NE(tools::DemoDiarySheet(0, tools::WordsLanguage::English).pixels,
              tools::DemoDiarySheet(1, tools::WordsLanguage::English).pixels);
}

// The trip's pictures carry a caption under the calendar plate's corner, not in it, and keep
// their colours at the points the train trip's checks read.
TEST(TripPictures, CarryACaptionClearOfTheCheckedPoints)
{
    struct Case
    {
        const char* name;
        tools::AkbPicture picture;
        int32_t top;
        std::vector<std::pair<std::pair<int32_t, int32_t>, uint32_t>> kept;
    };
    const Case cases[] = {
        {"station",
         tools::DrawStation(tools::WordsLanguage::Traditional),
         0,
         {{{100, 100}, tools::STATION_SKY}, {{960, 600}, tools::STATION_SKY}}},
        {"line map",
         tools::DrawLineMap(tools::LINE_PAPER[3], tools::WordsLanguage::Simplified),
         0,
         {{{100, 100}, tools::LINE_PAPER[3]}}},
        {"set",
         tools::DrawSetSky(tools::WordsLanguage::English),
         0,
         {{{960, 100}, tools::SET_SKY}, {{960, 600}, tools::SET_SKY}}},
        {"epilogue",
         tools::DrawEpilogue(tools::WordsLanguage::Japanese),
         0,
         {{{100, 100}, tools::EPILOGUE_SKY}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& [at, colour] : c.kept)
            EXPECT_EQ(c.picture.At(at.first, at.second), colour) << at.first << ", " << at.second;
        const uint32_t ground = c.kept.front().second;
        int caption = 0;
        for (int32_t y = c.top + 152; y < c.top + 220; ++y)
            for (int32_t x = 24; x < 400; ++x)
                caption += c.picture.At(x, y) != ground;
        EXPECT_GT(caption, 5000) << "no caption";
        // The calendar plate's corner, where a caption would stand half under it.
        int corner = 0;
        for (int32_t y = c.top + 16; y < c.top + 84; ++y)
            for (int32_t x = 24; x < 332; ++x)
                corner += c.picture.At(x, y) != ground;
        EXPECT_EQ(corner, 0) << "a caption under the calendar plate";
    }
}

// The train and the line map's station marks are clear around their drawing: each picture ends
// with its drawing and stores only the rows around it, as many as the loader takes for a layer of
// its own, so that the rest of their layers is never written nor read.
TEST(TripPictures, TheClearPicturesEndWithTheirDrawingAndStoreOnlyItsRows)
{
    const auto pictures = tools::BuildTripPictures();
    for (const auto& [name, height, drawn_from] :
         {std::tuple{"Y04BTR.AKB", tools::TRAIN_BOTTOM, tools::TRAIN_TOP},
          std::tuple{"SENRO_1_O.AKB", tools::LINE_MARKS_HEIGHT, tools::LINE_TRACK_Y - 36}}) {
        SCOPED_TRACE(name);
        const auto entry = std::find_if(pictures.begin(), pictures.end(),
                                        [&](const auto& picture) { return picture.first == name; });
        ASSERT_NE(entry, pictures.end());
        const CAkb akb(entry->second.data(), entry->second.size());
        ASSERT_TRUE(akb.IsWellFormed());
        EXPECT_EQ(akb.GetHeight(), height);
        const RECT stored = akb.GetContentRect();
        EXPECT_GT(stored.top, 0) << "clear rows stored";
        EXPECT_LE(stored.top, drawn_from);
        EXPECT_LE(int64_t{akb.GetWidth()} * stored.top, MAX_UNBACKED_PIXELS) << "the loader refuses it";
    }
}
