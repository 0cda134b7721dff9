// The dialog sheets the game reads by their plain names in every language, played headless by the
// built game in English: the exec scene's question and a numbered notice line (dialogs_alone.mes)
// each show the words of all four languages, every line on the screen as the font alone draws it
// (kept as build/demo_dialog_words_question.png and _notice.png).

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"
#include "sheetgen/DemoSheets.h"
#include "sheetgen/EveryLanguageWords.h"
#include "sheetgen/SheetGenerator.h"

namespace {

namespace fs = std::filesystem;
using Frame = platform::PngPicture;

// The words' place on a sheet inside the cell of that id.
tools::EveryLanguagePlace PlaceIn(const std::vector<tools::EveryLanguagePlace>& places,
                                  const std::vector<tools::SheetCell>& cells, uint32_t id,
                                  tools::SheetCell& cell)
{
    for (const tools::SheetCell& c : cells)
        if (c.id == id && c.state == 0)
            cell = c;
    for (const tools::EveryLanguagePlace& place : places)
        if (place.box.x >= cell.x && place.box.y >= cell.y && place.box.x < cell.x + cell.width &&
            place.box.y < cell.y + cell.height)
            return place;
    return {};
}

// Pixels of the text cell, shown with its top left corner at (left, top), that differ from its
// lines as the font draws them on the cell's colour; each language's words must be among the
// lines.
int DifferingFromEveryLanguage(const Frame& frame, const tools::EveryLanguagePlace& place,
                               const tools::SheetCell& cell, int left, int top)
{
    const tools::EveryLanguageLayout layout =
        tools::LayOutEveryLanguage(place.words, place.box, place.largest_em);
    std::string all;
    for (const tools::EveryLanguageLine& line : layout.lines)
        all += line.text + "\n";
    for (const std::string* words :
         {&place.words.japanese, &place.words.english, &place.words.simplified, &place.words.traditional})
        EXPECT_NE(all.find(*words), std::string::npos) << *words;
    const uint32_t ground = tools::CellColour(cell.id, 0);
    tools::AkbPicture alone;
    alone.width = cell.width;
    alone.height = cell.height;
    alone.pixels.assign(static_cast<size_t>(cell.width) * cell.height, ground);
    tools::TextStyle style;
    style.pixel_height = layout.em;
    style.colour = tools::WordsColour(ground, 0);
    for (const tools::EveryLanguageLine& line : layout.lines)
        tools::DrawText(alone, {line.box.x - cell.x, line.box.y - cell.y, line.box.width, line.box.height},
                        line.text, style);
    int differing = 0;
    int ink = 0;
    for (int32_t y = 0; y < cell.height; ++y)
        for (int32_t x = 0; x < cell.width; ++x) {
            const uint32_t wanted = alone.At(x, y) & 0xFFFFFFu;
            ink += wanted != (ground & 0xFFFFFFu) ? 1 : 0;
            differing +=
                (frame.pixels[static_cast<size_t>(top + y) * frame.width + left + x] & 0xFFFFFFu) != wanted
                    ? 1
                    : 0;
        }
    EXPECT_GT(ink, 1000) << place.words.english;
    return differing;
}

TEST(DemoDialogWordsTest, AQuestionAndANoticeShowTheWordsOfEveryLanguage)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) {
        config.SetInt("/Config/Language", 0);
        config.SetString("/GameFile/Script/StartUp", "dialogs_alone.mes");
    });
    HeadlessDemoPlayer x(home);
    x.StartGame();

    // The question without the box: its panel at (520, 415), its line at (558, 444), its yes and
    // no read above their words.
    tools::SheetCell line{};
    const tools::EveryLanguagePlace question = PlaceIn(
        tools::DialogEveryLanguagePlaces(), tools::DialogSheetCells(), tools::DIALOG_SHEET_LINE + 12, line);
    ASSERT_EQ(question.words.english, tools::DialogQuestion(12).english);
    const auto question_shown = [](const Frame& frame) {
        return FrameCellAt(frame, 540, 640) == tools::DIALOG_SHEET_PANEL_SIMPLE &&
               FrameCellAt(frame, 560, 446) == tools::DIALOG_SHEET_LINE + 12 &&
               FrameCellAt(frame, 830, 574) == 0u && FrameCellAt(frame, 1090, 574) == 1u;
    };
    const std::optional<Frame> asked = x.WaitFor(question_shown);
    ASSERT_TRUE(asked) << "no question\n" << x.Account();
    EXPECT_TRUE(platform::WritePngFile(home.Build() / "demo_dialog_words_question.png", *asked));
    EXPECT_EQ(DifferingFromEveryLanguage(*asked, question, line, 558, 444), 0);

    // Yes; then the numbered notice: the small panel at (520, 455), its line at (558, 464).
    tools::SheetCell notice_line{};
    const tools::EveryLanguagePlace notice =
        PlaceIn(tools::NoticeEveryLanguagePlaces(), tools::NoticeSheetCells(), tools::NOTICE2_SHEET_LINE + 13,
                notice_line);
    ASSERT_EQ(notice.words.english, tools::NoticeLineWords(13).english);
    const std::optional<Frame> told = x.ClickUntil(830, 597, [](const Frame& frame) {
        return FrameCellAt(frame, 540, 480) == tools::NOTICE_SHEET_PANEL_SMALL &&
               FrameCellAt(frame, 560, 466) == tools::NOTICE2_SHEET_LINE + 13;
    });
    ASSERT_TRUE(told) << "no notice after the question\n" << x.Account();
    EXPECT_TRUE(platform::WritePngFile(home.Build() / "demo_dialog_words_notice.png", *told));
    EXPECT_EQ(DifferingFromEveryLanguage(*told, notice, notice_line, 558, 464), 0);

    // OK: the script, and with it the game, ends.
    x.Click(958, 597);
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
}

} // namespace
