#include "sheetgen/DemoSheets.h"

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
            if (IsCell(sheet, x, y, cell))
                continue;
            const bool in = x >= box.x && x < box.x + box.width && y >= box.y && y < box.y + box.height;
            Ink& ink = in ? inside : outside;
            ++ink.pixels;
            ink.brightness += Brightness(sheet.At(x, y));
        }
    return {inside, outside};
}

} // namespace

// Every title button carries its words in the language of its picture, inside the words' box
// only: the rest of the cell, its tag gone, keeps the colour the frame checks read; the states
// read apart, the disabled words dimmer than the normal ones.
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

// The dialog's questions, which have no language form, carry both languages on two lines, and the
// yes and no buttons theirs; the cells' middle columns keep their colour between the lines.
TEST(SheetWords, DialogQuestionsCarryBothLanguages)
{
    const tools::AkbPicture sheet = tools::DemoDialogSheet();
    for (const tools::SheetCell& cell : tools::DialogSheetCells()) {
        const bool question = cell.id >= tools::DIALOG_SHEET_LINE && cell.id <= tools::DIALOG_SHEET_LINE + 12;
        if (!question && !(cell.width == 222 && cell.height == 73 && cell.id <= 1))
            continue;
        SCOPED_TRACE(cell.label);
        tools::TextBox upper{cell.x, cell.y, cell.width, cell.height / 2};
        tools::TextBox lower{cell.x, cell.y + cell.height / 2, cell.width, cell.height - cell.height / 2};
        EXPECT_GT(InkOf(sheet, cell, upper).first.pixels, 100) << "no Japanese line";
        EXPECT_GT(InkOf(sheet, cell, lower).first.pixels, 80) << "no English line";
        EXPECT_TRUE(IsCell(sheet, cell.x + 2, cell.y + cell.height / 2, cell));
    }
    EXPECT_FALSE(tools::DialogQuestion(3).english.empty());
}
