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

// Each CG carries a caption in its top-left corner and shapes of its own on the right, so two CGs
// tell apart at a glance; the middle and the lower left, where the viewer's checks read the CG's
// colour, keep it.
TEST(SheetWords, CGPicturesCarryACaptionAndShapesOfTheirOwn)
{
    const auto pictures = tools::CaptionedCGPictures();
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
    ASSERT_EQ(bases.size(), 4u);
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
