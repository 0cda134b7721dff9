#include "sheetgen/SheetGenerator.h"

#include <gtest/gtest.h>

TEST(SheetGenerator, CellColoursNameTheirControlAndState)
{
    for (uint32_t id : {0u, 1u, 0x100u, 0xF08u, 0x7F01u})
        for (int32_t state = 0; state < 4; ++state) {
            uint32_t decoded_id = 0;
            int32_t decoded_state = -1;
            ASSERT_TRUE(tools::DecodeCellColour(tools::CellColour(id, state), decoded_id, decoded_state));
            EXPECT_EQ(decoded_id, id);
            EXPECT_EQ(decoded_state, state);
        }
    uint32_t id = 0;
    int32_t state = 0;
    EXPECT_FALSE(tools::DecodeCellColour(0xFF000000u, id, state)) << "black is no cell";
    EXPECT_FALSE(tools::DecodeCellColour(0xFFFFFFFFu, id, state)) << "nor is a label's white";
    EXPECT_FALSE(tools::DecodeCellColour(0x80000140u, id, state)) << "nor a see-through pixel";
    // A button reads at a glance: disabled (3) darker than normal, hover and pressed brighter.
    const auto brightness = [](uint32_t colour) {
        return ((colour >> 16) & 0xFF) + ((colour >> 8) & 0xFF) + (colour & 0xFF);
    };
    for (uint32_t control : {0u, 0x100u, 0x7E30u}) {
        EXPECT_LT(brightness(tools::CellColour(control, 3)), brightness(tools::CellColour(control, 0)));
        EXPECT_LT(brightness(tools::CellColour(control, 0)), brightness(tools::CellColour(control, 1)));
        EXPECT_LT(brightness(tools::CellColour(control, 1)), brightness(tools::CellColour(control, 2)));
    }
}

TEST(SheetGenerator, CellsKeepTheirLabelsInsideAndLaterCellsWin)
{
    const tools::AkbPicture sheet = tools::BuildSheet(
        40, 20, {{0, 0, 20, 20, 3, 1, "YES-1"}, {10, 10, 6, 6, 4, 2, "88888"}, {38, 18, 8, 8, 5, 0, ""}});
    EXPECT_EQ(sheet.At(19, 19), tools::CellColour(3, 1));
    EXPECT_EQ(sheet.At(15, 15), tools::CellColour(4, 2)) << "drawn after, on top";
    EXPECT_NE(sheet.At(2, 2), tools::CellColour(3, 1)) << "the label's first stroke";
    // The second cell's label is cut at its right edge: the first cell shows beside it.
    for (int32_t y = 10; y < 16; ++y)
        EXPECT_EQ(sheet.At(16, y), tools::CellColour(3, 1)) << y;
    EXPECT_EQ(sheet.At(39, 19), tools::CellColour(5, 0)) << "a cell past the edge is clipped";
    EXPECT_EQ(sheet.At(30, 2), 0u);
}

TEST(SheetGenerator, TheDialogsAreasLieOnItsButtons)
{
    // The yes button of the layout with the box: the panel at (520, 375), the button at (198, 145).
    const std::vector<tools::AreaRecord> box = tools::DialogAreas(true);
    ASSERT_EQ(box.size(), 3u);
    EXPECT_EQ(box[0].left, 718);
    EXPECT_EQ(box[0].bottom - box[0].top, 73);
    EXPECT_EQ(box[2].id, 0x100u);
    EXPECT_EQ(tools::DialogAreas(false).size(), 2u);
}

// No cell of the message window's and side menu's sheets covers another and each fits its sheet,
// so a frame pixel names the one cell that was copied there.
TEST(SheetGenerator, MessageAndSideMenuCellsStandApart)
{
    struct Sheet
    {
        std::vector<tools::SheetCell> cells;
        int32_t width, height;
    };
    for (const Sheet& sheet :
         {Sheet{tools::MessageSheetCells(), tools::MESSAGE_SHEET_WIDTH, tools::MESSAGE_SHEET_HEIGHT},
          Sheet{tools::SideMenuSheetCells(), tools::SIDE_MENU_SHEET_WIDTH, tools::SIDE_MENU_SHEET_HEIGHT}}) {
        for (size_t i = 0; i < sheet.cells.size(); ++i) {
            const tools::SheetCell& a = sheet.cells[i];
            EXPECT_LE(a.x + a.width, sheet.width) << a.id;
            EXPECT_LE(a.y + a.height, sheet.height) << a.id;
            for (size_t j = i + 1; j < sheet.cells.size(); ++j) {
                const tools::SheetCell& b = sheet.cells[j];
                const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y ||
                                   b.y + b.height <= a.y;
                EXPECT_TRUE(apart) << std::hex << a.id << "/" << a.state << " and " << b.id << "/" << b.state;
            }
        }
    }
}
