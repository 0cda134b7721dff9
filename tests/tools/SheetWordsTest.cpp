#include "sheetgen/DemoSheets.h"

#include "akbwriter/AkbWriter.h"
#include "castnames/CastNamesWriter.h"
#include "demopics/DemoPictures.h"
#include "sheetgen/BacklogSheet.h"
#include "sheetgen/ChoiceSheet.h"
#include "sheetgen/DemoMapSheets.h"
#include "sheetgen/EveryLanguageWords.h"
#include "sheetgen/FlagSheets.h"
#include "sheetgen/MusicSheets.h"
#include "sheetgen/SlotSheet.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

namespace {

bool IsCell(const tools::AkbPicture& sheet, int32_t x, int32_t y, const tools::SheetCell& cell)
{
    return sheet.At(x, y) == tools::CellColour(cell.id, cell.state);
}

uint32_t Brightness(uint32_t colour)
{
    return ((colour >> 16) & 0xFF) + ((colour >> 8) & 0xFF) + (colour & 0xFF);
}

struct Ink
{
    int pixels = 0;
    uint64_t brightness = 0;
};

// The pixels of the cell that are not its colour: inside the words' box, and outside it.
std::pair<Ink, Ink> InkOf(const tools::AkbPicture& sheet, const tools::SheetCell& cell,
                          const tools::TextBox& box)
{
    Ink inside;
    Ink outside;
    for (int32_t y = cell.y; y < cell.y + cell.height; ++y)
        for (int32_t x = cell.x; x < cell.x + cell.width; ++x) {
            if (IsCell(sheet, x, y, cell) || (sheet.At(x, y) >> 24) == 0)
                continue; // the cell's colour, or clear: no ink
            const bool in = x >= box.x && x < box.x + box.width && y >= box.y && y < box.y + box.height;
            Ink& ink = in ? inside : outside;
            ++ink.pixels;
            ink.brightness += Brightness(sheet.At(x, y));
        }
    return {inside, outside};
}

} // namespace

// Every title button carries its words in the language of its picture, inside the words' box
// only: the rest of the cell, its tag gone, keeps the colour the frame checks read, but for its
// clear right end; the states read apart, the disabled words dimmer than the normal ones.
TEST(SheetWords, TitleButtonsCarryTheirWordsInTheirBoxAndStatesReadApart)
{
    const tools::WordsLayout layout{tools::WordsPlace::Left, 30};
    const tools::AkbPicture japanese = tools::DemoTitleSheet(tools::WordsLanguage::Japanese);
    const tools::AkbPicture english = tools::DemoTitleSheet(tools::WordsLanguage::English);
    int differing = 0;
    for (const tools::SheetCell& cell : tools::TitleSheetCells()) {
        SCOPED_TRACE(cell.label);
        const tools::TextBox box = tools::CellWordsBox(cell, layout);
        for (const tools::AkbPicture* sheet : {&japanese, &english}) {
            const auto [inside, outside] = InkOf(*sheet, cell, box);
            EXPECT_GT(inside.pixels, 150) << "no words";
            EXPECT_EQ(outside.pixels, 0) << "ink or a tag outside the words' box";
            // The button's right end is clear, short of the settings' window-colour sample.
            int opaque = 0;
            for (int32_t y = cell.y; y < cell.y + cell.height; ++y)
                for (int32_t x = cell.x + tools::TITLE_BUTTONS_RIGHT - 64; x < cell.x + cell.width; ++x)
                    opaque += (sheet->At(x, y) >> 24) != 0 ? 1 : 0;
            EXPECT_EQ(opaque, 0) << "the button reaches under the window-colour sample";
        }
        for (int32_t y = cell.y; y < cell.y + cell.height; ++y)
            for (int32_t x = box.x; x < box.x + box.width; ++x)
                differing += japanese.At(x, y) != english.At(x, y);
        if (cell.state == 0) {
            tools::SheetCell disabled = cell;
            disabled.state = 3;
            disabled.y = cell.y + 3 * cell.height;
            const Ink normal = InkOf(english, cell, box).first;
            const Ink dim = InkOf(english, disabled, tools::CellWordsBox(disabled, layout)).first;
            EXPECT_LT(dim.brightness / static_cast<uint64_t>(dim.pixels),
                      normal.brightness / static_cast<uint64_t>(normal.pixels));
            tools::SheetCell hover = cell;
            hover.state = 1;
            hover.y = cell.y + cell.height;
            EXPECT_GT(InkOf(english, hover, tools::CellWordsBox(hover, layout)).first.pixels, normal.pixels)
                << "hover is underlined";
        }
    }
    EXPECT_GT(differing, 10000) << "the languages' words differ";
    EXPECT_EQ(tools::DemoTitleSheet(tools::WordsLanguage::English).pixels, english.pixels)
        << "not deterministic";
}

// Each language's form of a sheet carries that language's words alone, in one line: the dialog's
// questions and buttons and the place screens' buttons carry no English but in English, and the
// cells keep their colour beside the words, inside a button's rim.
TEST(SheetWords, EachLanguagesSheetCarriesItsOwnWords)
{
    const tools::WordsLanguage languages[] = {tools::WordsLanguage::Japanese, tools::WordsLanguage::English,
                                              tools::WordsLanguage::Simplified,
                                              tools::WordsLanguage::Traditional};
    const auto cells_differ = [](const tools::AkbPicture& a, const tools::AkbPicture& b,
                                 const tools::SheetCell& cell) {
        for (int32_t y = cell.y; y < cell.y + cell.height; ++y)
            for (int32_t x = cell.x; x < cell.x + cell.width; ++x)
                if (a.At(x, y) != b.At(x, y))
                    return true;
        return false;
    };
    const auto check = [&](const char* sheet_name, tools::AkbPicture (*draw)(tools::WordsLanguage),
                           const std::vector<tools::SheetCell>& cells,
                           bool (*worded)(const tools::SheetCell&)) {
        std::vector<tools::AkbPicture> sheets;
        for (const tools::WordsLanguage language : languages)
            sheets.push_back(draw(language));
        for (const tools::SheetCell& cell : cells) {
            if (!worded(cell))
                continue;
            SCOPED_TRACE(std::string(sheet_name) + " " + cell.label);
            for (size_t i = 0; i < sheets.size(); ++i) {
                EXPECT_GT(InkOf(sheets[i], cell, {cell.x, cell.y, cell.width, cell.height}).first.pixels, 60)
                    << "language " << i;
                EXPECT_TRUE(IsCell(sheets[i], cell.x + 5, cell.y + cell.height / 2, cell));
                // Japanese and Chinese may share a word of Chinese characters; none is English.
                EXPECT_TRUE(i == 1 || cells_differ(sheets[i], sheets[1], cell))
                    << "language " << i << " shows English";
            }
        }
    };
    check("dialog", tools::DemoDialogSheet, tools::DialogSheetCells(), [](const tools::SheetCell& cell) {
        return (cell.id >= tools::DIALOG_SHEET_LINE && cell.id <= tools::DIALOG_SHEET_LINE + 12) ||
               (cell.width == 222 && cell.height == 73 && cell.id <= 1 && !cell.label.starts_with("OK"));
    });
    check("places", tools::DemoAreaSheet, tools::AreaSelectSheetCells(), [](const tools::SheetCell& cell) {
        return cell.id >= tools::AREA_SHEET_BUTTON && cell.id < tools::AREA_SHEET_BUTTON + 9 &&
               cell.state == 0;
    });
    EXPECT_TRUE(tools::DialogQuestion(3).english.starts_with("Return"));
    // Kinds 9 and 10 are asked only by the scene replay's and the gallery's unlock buttons.
    for (const int32_t kind : {9, 10}) {
        EXPECT_TRUE(tools::DialogQuestion(kind).english.starts_with("Unlock every")) << kind;
        EXPECT_NE(tools::DialogQuestion(kind).japanese.find("開放"), std::string::npos) << kind;
    }
    // The place screens load "select_p.akb" by its plain name in every language: it stands alone.
    int forms = 0;
    for (const tools::NamedFile& file : tools::DemoMapPictureFiles())
        forms += file.name.starts_with("select_p") ? 1 : 0;
    EXPECT_EQ(forms, 1);
}

namespace {

// Letters, kana or Chinese characters: words of some language.
bool HasWords(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<uint8_t>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length && i + k < text.size(); ++k)
            c = (c << 6) | (static_cast<uint8_t>(text[i + k]) & 0x3F);
        i += length;
        if ((c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= 0x3040 && c <= 0x30FF) ||
            (c >= 0x4E00 && c <= 0x9FFF))
            return true;
    }
    return false;
}

} // namespace

// The pictures the game shows by their plain names in every language carry no words of one
// language on their buttons: each names itself by a mark that reads alike in every language.
TEST(SheetWords, PicturesEveryLanguageSeesCarryMarksAlone)
{
    std::vector<tools::CellWords> words;
    for (uint32_t button = 0; button < 7; ++button)
        words.push_back(tools::MessageButtonWords(button));
    for (uint32_t button = 0; button < 9; ++button)
        words.push_back(tools::SideMenuWords(button));
    words.push_back(tools::BackWords());
    words.push_back(tools::CloseWords());
    for (const tools::CellWords& w : words) {
        const std::string mark = tools::WordsIn(w, tools::WordsLanguage::Marks);
        EXPECT_FALSE(mark.empty()) << w.english;
        EXPECT_FALSE(HasWords(mark)) << w.english << ": " << mark;
    }
    EXPECT_EQ(tools::WordsIn({"", "▲"}, tools::WordsLanguage::Marks), "▲");
    EXPECT_EQ(tools::WordsIn({"名前", "Name", "名字", "名字"}, tools::WordsLanguage::Marks), "");
}

namespace {

// The sheet's cell that holds the box whole.
std::optional<tools::SheetCell> CellHolding(const std::vector<tools::SheetCell>& cells,
                                            const tools::TextBox& box)
{
    for (const tools::SheetCell& cell : cells)
        if (cell.state == 0 && box.x >= cell.x && box.y >= cell.y &&
            box.x + box.width <= cell.x + cell.width && box.y + box.height <= cell.y + cell.height)
            return cell;
    return std::nullopt;
}

} // namespace

// The questions and notices of the plain dialog sheets, which every language is shown, carry the
// words of all four languages: each line on the sheet is that line as the font alone draws it, whole
// (a box a line taller either way inks nothing more), at a readable size. Every question a dialog
// asks, every notice and note, and the do-not-ask-again boxes have theirs.
TEST(SheetWords, PlainDialogSheetsCarryEveryQuestionAndNoticeInAllFourLanguages)
{
    struct Plain
    {
        tools::AkbPicture sheet;
        std::vector<tools::SheetCell> cells;
        std::vector<tools::EveryLanguagePlace> places;
    };
    const Plain plains[] = {
        {tools::DemoDialogSheet(tools::WordsLanguage::Marks), tools::DialogSheetCells(),
         tools::DialogEveryLanguagePlaces()},
        {tools::DemoNoticeSheet(tools::WordsLanguage::Marks), tools::NoticeSheetCells(),
         tools::NoticeEveryLanguagePlaces()},
    };
    std::set<std::string> worded;
    for (const Plain& plain : plains)
        for (const tools::EveryLanguagePlace& place : plain.places) {
            SCOPED_TRACE(place.words.english);
            const std::optional<tools::SheetCell> cell = CellHolding(plain.cells, place.box);
            ASSERT_TRUE(cell) << "words outside a cell";
            worded.insert(std::to_string(cell->id) + " " + place.words.english);
            const uint32_t ground = tools::CellColour(cell->id, 0);
            const tools::EveryLanguageLayout layout =
                tools::LayOutEveryLanguage(place.words, place.box, place.largest_em);
            EXPECT_GE(layout.em, 16);
            std::string all;
            for (const tools::EveryLanguageLine& line : layout.lines)
                all += line.text + "\n";
            for (const std::string* words : {&place.words.japanese, &place.words.english,
                                             &place.words.simplified, &place.words.traditional})
                EXPECT_NE(all.find(*words), std::string::npos) << *words;
            for (const tools::EveryLanguageLine& line : layout.lines) {
                SCOPED_TRACE(line.text);
                const int32_t margin = layout.em;
                tools::AkbPicture alone;
                alone.width = line.box.width;
                alone.height = line.box.height + 2 * margin;
                alone.pixels.assign(static_cast<size_t>(alone.width) * alone.height, ground);
                tools::TextStyle style;
                style.pixel_height = layout.em;
                style.colour = tools::WordsColour(ground, 0);
                tools::DrawText(alone, {0, 0, alone.width, alone.height}, line.text, style);
                int32_t ink = 0;
                int32_t outside = 0;
                int32_t differing = 0;
                for (int32_t y = 0; y < alone.height; ++y)
                    for (int32_t x = 0; x < alone.width; ++x) {
                        const bool inked = alone.At(x, y) != ground;
                        if (y < margin || y >= margin + line.box.height) {
                            outside += inked ? 1 : 0;
                            continue;
                        }
                        ink += inked ? 1 : 0;
                        differing +=
                            plain.sheet.At(line.box.x + x, line.box.y + y - margin) != alone.At(x, y) ? 1 : 0;
                    }
                EXPECT_GT(ink, 100);
                EXPECT_EQ(outside, 0) << "the line cut by its band";
                EXPECT_EQ(differing, 0) << "the line not on the sheet as the font draws it";
            }
        }
    // The questions of kinds 1 to 12 (kind 4's too, which the save note asks), the notices of both
    // sheets and kind 2's note, and the do-not-ask-again box's words on the dialog's and the note's panels.
    std::set<std::string> wanted;
    for (int32_t kind = 0; kind <= 12; ++kind)
        wanted.insert(std::to_string(tools::DIALOG_SHEET_LINE + kind) + " " +
                      tools::DialogQuestion(kind).english);
    for (int32_t kind = 0; kind < 4; ++kind)
        wanted.insert(std::to_string(tools::NOTICE_SHEET_LINE + kind) + " " +
                      tools::NoticeKindWords(kind).english);
    for (int32_t line = 0; line < 16; ++line)
        wanted.insert(std::to_string(tools::NOTICE2_SHEET_LINE + line) + " " +
                      tools::NoticeLineWords(line).english);
    wanted.insert(std::to_string(tools::NOTICE2_SHEET_NOTE) + " " + tools::NoticeKindNoteWords().english);
    wanted.insert(std::to_string(tools::NOTICE2_SHEET_KIND_4) + " " + tools::NoticeKindWords(4).english);
    for (const std::string& words : wanted)
        EXPECT_EQ(worded.count(words), 1u) << words;
    int32_t box_words = 0;
    for (const std::string& words : worded)
        box_words += words.starts_with(std::to_string(tools::DIALOG_SHEET_PANEL_BOX) + " Do not ask") ||
                     words.starts_with(std::to_string(tools::DIALOG_SHEET_NOTE_FRAME) + " Do not show");
    EXPECT_EQ(box_words, 2);
}

// Words lacking a language's line are refused rather than drawn in another language's place; a
// symbol or a number, given in English alone, reads the same in every language.
TEST(SheetWords, WordsWithoutALanguagesLineAreRefused)
{
    EXPECT_THROW(tools::WordsIn({"戻る", "Back"}, tools::WordsLanguage::Simplified), std::logic_error);
    EXPECT_THROW(tools::WordsIn({"戻る", "Back", "返回"}, tools::WordsLanguage::Traditional),
                 std::logic_error);
    EXPECT_EQ(tools::WordsIn({"戻る", "Back", "返回", "返回"}, tools::WordsLanguage::Traditional), "返回");
    EXPECT_EQ(tools::WordsIn({"", "▲"}, tools::WordsLanguage::Japanese), "▲");
}

// The schedule's seen mark is also the seen bar's block, of which a partial piece shows columns
// 17 to 68: they carry nothing but the mark's colour, so a part of a bar shows no piece of a word,
// while the whole mark carries its tick.
TEST(SheetWords, TheSeenBarsPartialBlockShowsNoPieceOfAWord)
{
    for (const tools::WordsLanguage language :
         {tools::WordsLanguage::Japanese, tools::WordsLanguage::English}) {
        const tools::AkbPicture sheet = tools::DemoFlagScheduleSheet(language);
        for (const tools::SheetCell& cell : tools::FlagScheduleCells()) {
            if (cell.id != tools::FLAG_SHEET_SEEN || cell.state != 0)
                continue;
            EXPECT_EQ(InkOf(sheet, cell, {cell.x + 17, cell.y, 52, cell.height}).first.pixels, 0);
            EXPECT_GT(InkOf(sheet, cell, {cell.x, cell.y, cell.width, cell.height}).first.pixels, 20)
                << "no tick";
        }
    }
}

// The schedule clock's a.m. and p.m. marks, 32 pixels across, carry their words whole in every
// language, not cut by the words' box: centred words cut reach both its sides.
TEST(SheetWords, TheClocksMarksCarryTheirWordsWhole)
{
    for (const tools::WordsLanguage language :
         {tools::WordsLanguage::Japanese, tools::WordsLanguage::English, tools::WordsLanguage::Simplified,
          tools::WordsLanguage::Traditional}) {
        const tools::AkbPicture sheet = tools::DemoFlagScheduleSheet(language);
        for (const tools::SheetCell& cell : tools::FlagScheduleCells()) {
            if (cell.id != tools::FLAG_SHEET_AM && cell.id != tools::FLAG_SHEET_PM)
                continue;
            SCOPED_TRACE(testing::Message() << "language " << static_cast<int>(language) << " mark " << cell.id);
            const tools::TextBox box = tools::CellWordsBox(cell, {tools::WordsPlace::Centre, 40});
            bool ink = false, left = false, right = false;
            for (int32_t y = cell.y; y < cell.y + cell.height; ++y)
                for (int32_t x = cell.x; x < cell.x + cell.width; ++x)
                    if (Brightness(sheet.At(x, y)) >= 600) {
                        ink = true;
                        left = left || x == box.x;
                        right = right || x == box.x + box.width - 1;
                    }
            EXPECT_TRUE(ink);
            EXPECT_FALSE(left && right) << "cut at the sides";
        }
    }
}

// Each CG carries a caption in its top-left corner and shapes of its own on the right, so two CGs
// tell apart at a glance; the middle and the lower left, where the viewer's checks read the CG's
// colour, keep it.
TEST(SheetWords, CGPicturesCarryACaptionAndShapesOfTheirOwn)
{
    const auto pictures = tools::CaptionedCGPictures(tools::WordsLanguage::English);
    std::vector<const tools::AkbPicture*> bases;
    for (const auto& [name, picture] : pictures) {
        if (name == "r01_f1.akb")
            continue;
        SCOPED_TRACE(name);
        const uint32_t ground = picture.At(960, 540);
        uint32_t id = 0;
        int32_t state = 0;
        EXPECT_TRUE(tools::DecodeCellColour(ground, id, state)) << "the middle keeps the cell's colour";
        EXPECT_EQ(picture.At(300, 900), ground);
        EXPECT_EQ(picture.At(0, 0), ground) << "the tag is gone";
        int caption = 0;
        for (int32_t y = 30; y < 110; ++y)
            for (int32_t x = 40; x < 600; ++x)
                caption += picture.At(x, y) != ground;
        EXPECT_GT(caption, 20000) << "no caption";
        bases.push_back(&picture);
    }
    ASSERT_EQ(bases.size(), 5u);
    // The right-hand shapes differ from CG to CG, not only in colour: compare what is ground.
    for (size_t i = 0; i < bases.size(); ++i)
        for (size_t j = i + 1; j < bases.size(); ++j) {
            int differing = 0;
            for (int32_t y = 100; y < 1000; y += 4)
                for (int32_t x = 1250; x < 1900; x += 4)
                    differing += (bases[i]->At(x, y) == bases[i]->At(960, 540)) !=
                                 (bases[j]->At(x, y) == bases[j]->At(960, 540));
            EXPECT_GT(differing, 1000) << i << " and " << j;
        }
}

// The slot machine's pictures say what they are: every screenful of the scrolling picture shows
// its caption, and each language's background carries the controls' words and how the machine at
// rest is left, in that language alone (the sheet its controls come from has no words).
TEST(SheetWords, TheSlotMachinesPicturesSayWhatTheyShow)
{
    const tools::AkbPicture tall = tools::BuildTallPicture(2160);
    for (int32_t scroll : {0, 300, 540, 1080}) {
        int caption = 0;
        for (int32_t y = scroll; y < scroll + 1080; ++y)
            for (int32_t x = 1000; x < 1920; ++x)
                caption += tall.At(x, y) == tools::TALL_CAPTION_FILL;
        EXPECT_GT(caption, 5000) << "no caption seen from row " << scroll;
    }
    std::vector<tools::AkbPicture> backgrounds;
    for (int32_t language = 0; language < 4; ++language) {
        backgrounds.push_back(tools::DemoSlotBackground(language));
        const tools::AkbPicture& picture = backgrounds.back();
        const uint32_t ground = picture.At(960, 300);
        int under_lever = 0;
        // How the game is played, and what may be done once its reels have stopped.
        int play_line = 0;
        int after_line = 0;
        for (int32_t y = 756; y < 796; ++y)
            for (int32_t x = 191; x < 395; ++x)
                under_lever += picture.At(x, y) != ground;
        for (int32_t x = 160; x < 1760; ++x) {
            for (int32_t y = 900; y < 960; ++y)
                play_line += picture.At(x, y) != ground;
            for (int32_t y = 970; y < 1030; ++y)
                after_line += picture.At(x, y) != ground;
        }
        EXPECT_GT(under_lever, 50) << "language " << language;
        EXPECT_GT(play_line, 500) << "language " << language;
        EXPECT_GT(after_line, 500) << "language " << language;
    }
    // The face a shown result blinks to is lit, not a reel that lost its digit.
    const tools::AkbPicture sheet = tools::DemoSlotSheet();
    int lit = 0;
    for (int32_t y = 0; y < 387; ++y)
        for (int32_t x = 0; x < 216; ++x)
            lit += sheet.At(x, y) == 0xFFFFFFFFu;
    EXPECT_GT(lit, 2000);
    for (size_t a = 0; a < backgrounds.size(); ++a)
        for (size_t b = a + 1; b < backgrounds.size(); ++b)
            EXPECT_FALSE(backgrounds[a].pixels == backgrounds[b].pixels)
                << a << " and " << b << " read alike";
}

// The sheets whose cells the demo's frame checks read in their middle keep every cell's colour
// there, whatever words the cell carries: the title's and the music room's rows, the choice's page
// buttons, the gallery's tabs, arrows and locked cell, the slot machine's reels and buttons, and
// the backlog's voice button.
TEST(SheetWords, CheckedCellsKeepTheirColourInTheirMiddle)
{
    struct Sheet
    {
        const char* name;
        tools::AkbPicture picture;
        std::vector<tools::SheetCell> cells;
    };
    const std::vector<Sheet> sheets{
        {"title ja", tools::DemoTitleSheet(tools::WordsLanguage::Japanese), tools::TitleSheetCells()},
        {"title en", tools::DemoTitleSheet(tools::WordsLanguage::English), tools::TitleSheetCells()},
        {"music rows", tools::DemoMusicRowSheet(tools::WordsLanguage::Japanese), tools::MusicRowCells()},
        {"choice", tools::DemoChoiceSheet(tools::WordsLanguage::Traditional), tools::ChoiceSheetCells()},
        {"gallery", tools::DemoGalleryModeSheet(tools::WordsLanguage::English), tools::GalleryModeCells()},
        {"heroines", tools::DemoGalleryListSheet(tools::WordsLanguage::Japanese), tools::GalleryListCells()},
        {"slot", tools::DemoSlotSheet(), tools::SlotSheetCells()},
        {"backlog", tools::DemoBacklogSheet(tools::WordsLanguage::Simplified), tools::BacklogSheetCells()},
    };
    for (const Sheet& sheet : sheets) {
        SCOPED_TRACE(sheet.name);
        for (size_t i = 0; i < sheet.cells.size(); ++i) {
            const tools::SheetCell& cell = sheet.cells[i];
            if (sheet.name == std::string("backlog") && cell.id != tools::BACKLOG_VOICE)
                continue;
            // The game-mode icons carry their mark in their middle: no check reads them.
            if (sheet.name == std::string("choice") && cell.id >= tools::CHOICE_CELL_ICON)
                continue;
            // A later cell over the same place replaced this one.
            bool covered = false;
            for (size_t j = i + 1; j < sheet.cells.size(); ++j)
                covered = covered || (sheet.cells[j].x == cell.x && sheet.cells[j].y == cell.y);
            if (covered)
                continue;
            const int32_t x = cell.x + cell.width / 2;
            const int32_t y = cell.y + cell.height / 2;
            // The gallery's highlights are frames: the hovered cell shows through their middle.
            if (sheet.name == std::string("gallery") &&
                (cell.id == tools::GALLERY_HOVER || cell.id == tools::GALLERY_PRESSED)) {
                EXPECT_EQ(sheet.picture.At(x, y) >> 24, 0u) << std::hex << cell.id;
                EXPECT_EQ(sheet.picture.At(cell.x + 2, y) >> 24, 0xFFu) << std::hex << cell.id;
                continue;
            }
            EXPECT_EQ(sheet.picture.At(x, y), tools::CellColour(cell.id, cell.state))
                << std::hex << cell.id << " state " << cell.state << " at " << std::dec << x << ", " << y;
        }
    }
}

// Text lands inside its box only, in Japanese as in English, and a longer line is wider.
TEST(TextPainter, DrawsInsideItsBoxInEitherScript)
{
    EXPECT_GT(tools::MeasureText("Settings", 30), tools::MeasureText("Set", 30));
    EXPECT_GT(tools::MeasureText("設定", 30), 50);
    for (const char* words :
         {"設定を保存しますか？", "Return to the title and quit the game, then some more"}) {
        SCOPED_TRACE(words);
        tools::AkbPicture picture = tools::MakePicture(400, 100, 0xFF000000u);
        tools::TextStyle style;
        style.pixel_height = 30;
        const tools::TextBox box{50, 20, 300, 50};
        tools::DrawText(picture, box, words, style);
        int inside = 0;
        int outside = 0;
        for (int32_t y = 0; y < 100; ++y)
            for (int32_t x = 0; x < 400; ++x) {
                const bool in = x >= box.x && x < box.x + box.width && y >= box.y && y < box.y + box.height;
                if (picture.At(x, y) != 0xFF000000u)
                    ++(in ? inside : outside);
            }
        EXPECT_GT(inside, 300);
        EXPECT_EQ(outside, 0);
    }
}

// People and places carry names, not numbers: every heroine and the town's other people, every
// place a sub map's spot asks, the same name in the cast names file the hints read.
TEST(SheetWords, PeopleAndPlacesAreNamedNotNumbered)
{
    const auto numbered = [](const std::string& words) {
        return words.empty() || words.find_first_of("0123456789") != std::string::npos;
    };
    std::set<std::string> heroines;
    for (int32_t person = 0; person < 26; ++person) {
        const tools::CellWords words = tools::CharacterWords(person);
        EXPECT_FALSE(numbered(words.japanese) || numbered(words.english)) << words.english;
        if (person < tools::DEMO_HEROINES)
            heroines.insert(words.english);
    }
    EXPECT_EQ(heroines.size(), size_t(tools::DEMO_HEROINES)) << "two heroines share a name";
    for (int32_t place = 0; place < 31; ++place) {
        const tools::DemoName name = tools::DemoPlaceName(place);
        EXPECT_FALSE(numbered(name.japanese) || numbered(name.english)) << name.english;
    }
    for (const auto& [key, text] : tools::DemoCastNames()) {
        if (key.starts_with("heroine")) {
            EXPECT_FALSE(numbered(text)) << key;
        }
    }
}

// The title's pictures name the game in the language of their file name alone: the four forms of
// each picture read apart on its plate.
TEST(SheetWords, TitlePicturesSpeakTheirOwnLanguage)
{
    std::map<std::string, std::vector<uint8_t>> pictures;
    for (auto& [name, bytes] : tools::BuildTitlePictures())
        pictures[name] = bytes;
    for (const char* base : {"TITLE_N_BG", "SPTITLE01"}) {
        SCOPED_TRACE(base);
        std::set<std::vector<uint8_t>> forms;
        for (const char* suffix : {"", "_EN", "_CH", "_TW"})
            forms.insert(pictures.at(std::string(base) + suffix + ".AKB"));
        EXPECT_EQ(forms.size(), 4u);
    }
}
