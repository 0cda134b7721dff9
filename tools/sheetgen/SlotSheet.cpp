#include "sheetgen/SlotSheet.h"

#include "textpaint/LanguageWords.h"
#include "textpaint/ShapePainter.h"
#include "textpaint/TextPainter.h"

namespace tools {

std::vector<SheetCell> SlotSheetCells()
{
    std::vector<SheetCell> cells;
    // Digits 0 to 3 on the first row after the blank cell, 4 to 9 on the second.
    cells.push_back({0, 0, 216, 387, SLOT_CELL_BLANK, 0, "BLANK"});
    for (int32_t digit = 0; digit < 10; ++digit) {
        const int32_t x = digit < 4 ? 432 + 216 * digit : 216 * (digit - 4);
        const int32_t y = digit < 4 ? 0 : 387;
        cells.push_back(
            {x, y, 216, 387, SLOT_CELL_DIGIT + static_cast<uint32_t>(digit), 0, std::to_string(digit)});
    }
    for (int32_t on = 0; on < 2; ++on) {
        cells.push_back({1296, 330 * on, 330, 330, SLOT_CELL_LEFT_LAMP, on, "LAMP-L" + std::to_string(on)});
        cells.push_back({1626, 330 * on, 330, 330, SLOT_CELL_RIGHT_LAMP, on, "LAMP-R" + std::to_string(on)});
    }
    cells.push_back({1296, 660, 56, 80, SLOT_CELL_KNOB, 0, "K0"});
    cells.push_back({1352, 660, 56, 80, SLOT_CELL_KNOB, 1, "K1"});
    for (int32_t state = 0; state < 4; ++state)
        cells.push_back(
            {1956, 208 * state, 204, 208, SLOT_CELL_LEVER, state, "LEVER-" + std::to_string(state)});
    for (int32_t state = 0; state < 3; ++state)
        cells.push_back(
            {2160, 208 * state, 204, 208, SLOT_CELL_STOP, state, "STOP-" + std::to_string(state)});
    for (int32_t lit = 0; lit < 2; ++lit)
        cells.push_back(
            {2160, 624 + 208 * lit, 204, 208, SLOT_CELL_STOP_LAMP, lit, "STOP-L" + std::to_string(lit)});
    return cells;
}

AkbPicture BuildSlotSheet()
{
    return BuildSheet(SLOT_SHEET_WIDTH, SLOT_SHEET_HEIGHT, SlotSheetCells());
}

AkbPicture BuildSlotBackground(int32_t language)
{
    return BuildSheet(1920, 1080, {{0, 0, 1920, 1080, SLOT_CELL_BACKGROUND, language, "BG"}});
}

std::vector<std::string> SlotBackgroundNames()
{
    return {"slot_bg_en.akb", "slot_bg_ch.akb", "slot_bg_tw.akb", "slot_bg.akb"};
}

std::vector<AreaRecord> SlotAreas()
{
    return {{0, 191, 544, 395, 752},
            {256, 608, 544, 812, 752},
            {257, 859, 544, 1063, 752},
            {258, 1110, 544, 1314, 752}};
}

uint32_t TallPictureRowColour(int32_t y)
{
    return 0xFF000000u | (static_cast<uint32_t>(y >> 8) & 0xFF) << 16 |
           (static_cast<uint32_t>(y) & 0xFF) << 8 | 0x99;
}

AkbPicture BuildTallPicture(int32_t height, int32_t language)
{
    AkbPicture picture = MakePicture(1920, height, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < 1920; ++x)
            picture.At(x, y) = TallPictureRowColour(y);
    // Its caption down the right side, so that every screenful of the scroll says what it shows.
    constexpr int32_t EM = 34;
    const int32_t parts = (height + TALL_CAPTION_STEP - 1) / TALL_CAPTION_STEP;
    for (int32_t part = 0; part < parts; ++part) {
        const std::string n = std::to_string(part + 1);
        const std::string of = std::to_string(parts);
        const CellWords caption{"景品の絵 " + n + "/" + of, "The prize picture, " + n + " of " + of,
                                "奖品图 " + n + "/" + of, "獎品圖 " + n + "/" + of};
        const std::string words = WordsIn(caption, LanguageOfIndex(language));
        const int32_t width = MeasureText(words, EM) + EM;
        const int32_t top = part * TALL_CAPTION_STEP + 16;
        FillRect(picture, 1920 - 24 - width, top, width, 2 * EM, TALL_CAPTION_FILL);
        TextStyle style;
        style.pixel_height = EM;
        style.colour = 0xFFFFE678u;
        DrawText(picture, {1920 - 24 - width, top, width, 2 * EM}, words, style);
    }
    return picture;
}

} // namespace tools
