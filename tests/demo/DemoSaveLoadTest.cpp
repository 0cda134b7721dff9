// The save and load screens reached from the side menu of the story's message window, played
// headless by the built game with auto mode off and scripted input: on the second message the
// side menu's Return to title asks with its do-not-ask-again box empty, ticked by a click
// (build/demo_story_saveload_return_*.png); then the side menu's save button, the new-save row and a comment
// typed into the note (build/demo_saveload_note.png); the save screen then shows the slot with its thumbnail
// of the scene and the comment (build/demo_saveload_saved.png), and slot 1 holds the comment on disk. The
// story goes on to Yuki's line, the side menu's load button loads slot 1, and the window shows the second
// message again (build/demo_saveload_loaded.png); the story then goes on from there to its last message.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "foundation/ByteCursor.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"
#include "screens/system/SaveLoadLayout.h"
#include "script/FlagBuffer.h"
#include "script/save/SaveSlotTable.h"
#include "sheetgen/SaveLoadSheets.h"
#include "sheetgen/SheetGenerator.h"

namespace {

namespace fs = std::filesystem;
using namespace saveload_layout;

constexpr int SLOT_ROW_Y = LIST_Y + ROW_HEIGHT; // the first slot, below the new-save row
constexpr int LINE_Y = STORY_LINE_Y;

// 待ち合わせは時計塔の下だ。: thirteen cells on one line, no name on the plate.
bool SecondMessage(const platform::PngPicture& frame)
{
    return StoryPromptShown(frame) && !StoryNamePlateShown(frame) && StoryTextIn(frame, 0, 1, LINE_Y) > 50 &&
           StoryTextIn(frame, 11, 12, LINE_Y) > 20 && StoryTextIn(frame, 14, 19, LINE_Y) == 0 &&
           StoryTextIn(frame, 0, 19, LINE_Y + 60) == 0;
}

// The last message runs onto a second line.
bool LastMessage(const platform::PngPicture& frame)
{
    return StoryPromptShown(frame) && StoryTextIn(frame, 0, 19, LINE_Y) > 200 &&
           StoryTextIn(frame, 0, 3, LINE_Y + 60) > 50;
}

// Pixels inside a rectangle that pass a test of their red, green and blue.
template <typename Test>
int CountIn(const platform::PngPicture& frame, int x0, int y0, int x1, int y1, Test test)
{
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const uint32_t pixel =
                frame.pixels[static_cast<size_t>(y) * static_cast<size_t>(frame.width) + x];
            count += test((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
        }
    }
    return count;
}

// The comment's orange text over the row.
int OrangeIn(const platform::PngPicture& frame, int x0, int y0, int x1, int y1)
{
    return CountIn(frame, x0, y0, x1, y1, [](uint32_t r, uint32_t g, uint32_t b) {
        return r >= 200 && g >= 90 && g <= 200 && b < 80;
    });
}

// Light grey to white: no channel under 80 (the sheet's cells all lack one).
int LightIn(const platform::PngPicture& frame, int x0, int y0, int x1, int y1)
{
    return CountIn(frame, x0, y0, x1, y1, [](uint32_t r, uint32_t g, uint32_t b) {
        return std::min({r, g, b}) >= 80;
    });
}

// The save note (its window at (520, 375)) with the typed comment on its text line from (727, 494).
bool NoteWithComment(const platform::PngPicture& frame)
{
    return FrameCellAt(frame, 530, 400) == tools::DIALOG_SHEET_NOTE_FRAME &&
           WhiteIn(frame, 740, 494, 810, 522) > 150;
}

bool SavedSlotShown(const platform::PngPicture& frame)
{
    const std::optional<uint32_t> row = FrameCellAt(frame, LIST_X + 4, SLOT_ROW_Y + ROW_HEIGHT / 2);
    return FrameCellAt(frame, 10, 1070) == tools::SAVELOAD_CELL_BACKGROUND && row.has_value() &&
           *row >= tools::SAVELOAD_CELL_ROW + 3 && *row < tools::SAVELOAD_CELL_ROW + 9 &&
           OrangeIn(frame, LIST_X + TEXT_X, SLOT_ROW_Y + TEXT_Y, LIST_X + TEXT_X + 200,
                    SLOT_ROW_Y + TEXT_Y + TEXT_HEIGHT) > 50;
}

// Yuki's line: her name on the plate, its page complete.
bool YukisLine(const platform::PngPicture& frame)
{
    return StoryNamePlateShown(frame) && StoryPromptShown(frame);
}

// The side menu home from its slide, its save and load buttons in place.
bool SideMenuIn(const platform::PngPicture& frame)
{
    return FrameCellAt(frame, 1520 + 3, 1000) == tools::SIDE_MENU_SHEET_PANEL &&
           FrameCellAt(frame, 1620 + 3, 152 + 3) == 0xF01u && FrameCellAt(frame, 1620 + 3, 250 + 3) == 0xF02u;
}

// The do-not-ask-again box of a question with the box and of the save note (both at (1027, 624)):
// its tick is the only white inside its rim.
int TickIn(const platform::PngPicture& frame)
{
    return WhiteIn(frame, 520 + 507 + 5, 375 + 249 + 5, 520 + 507 + 39, 375 + 249 + 39);
}

// A question with the box: its panel, and its yes and no read above their words.
bool QuestionWithBox(const platform::PngPicture& frame)
{
    return FrameCellAt(frame, 530, 385) == tools::DIALOG_SHEET_PANEL_BOX &&
           FrameCellAt(frame, 828, 534) == 0u && FrameCellAt(frame, 1090, 534) == 1u;
}

bool SaveLoadScreen(const platform::PngPicture& frame)
{
    return FrameCellAt(frame, 10, 1070) == tools::SAVELOAD_CELL_BACKGROUND;
}

TEST(DemoSaveLoadTest, ASaveFromTheSideMenuIsLoadedBackAtItsMessage)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    const fs::path save = home.Path() / "vesk/demo/Save";
    home.EditConfig([&](CXMLDocument& config) {
        config.SetInt("/Config/AutoRead", 0);
        config.SetInt("/Config/Dialog/01/Enable", 0); // the load runs without its question
        config.SetString("/GameFile/Script/StartUp", "saveload_alone.mes");
    });
    HeadlessDemoPlayer x(home);
    x.StartGame();
    using Frame = platform::PngPicture;
    // Each click once the screen has settled, with the pointer resting on its place first, so the
    // control under it is hovered when it lands; again while what it leads to does not show.
    const auto click = [&x](int at_x, int at_y, const std::function<bool(const Frame&)>& shown) {
        return x.ActUntil(
            [&x, at_x, at_y] {
                x.Move(at_x, at_y);
                x.WaitFrames(6);
                x.Click(at_x, at_y);
            },
            shown);
    };
    // The pointer at the right edge slides the side menu in.
    const auto side_menu = [&x] { return x.ActUntil([&x] { x.Move(1900, 500); }, SideMenuIn); };
    ASSERT_TRUE(x.WaitFor([](const Frame& frame) { return StoryPromptShown(frame); })) << x.Output();
    // The first message's page is done: on to the second; the side menu's save button, and the
    // new-save row opens the note.
    ASSERT_TRUE(click(700, 300, SecondMessage)) << "no second message\n" << x.Output();
    ASSERT_TRUE(side_menu()) << "no side menu\n" << x.Output();
    // Return to title asks with its box empty, the question being on; a click ticks it (the
    // question off) and a second empties it; No stays in the story.
    const std::optional<Frame> asked = click(1720, 588, QuestionWithBox);
    ASSERT_TRUE(asked) << "Return to title asked nothing\n" << x.Output();
    EXPECT_EQ(TickIn(*asked), 0) << "the box is ticked while the question is on";
    x.Keep(*asked, "saveload_return_asked");
    const std::optional<Frame> ticked = x.ClickUntil(
        1049, 646, [](const Frame& frame) { return QuestionWithBox(frame) && TickIn(frame) > 30; });
    ASSERT_TRUE(ticked) << "a click on the box did not tick it\n" << x.Output();
    x.Keep(*ticked, "saveload_return_ticked");
    ASSERT_TRUE(x.ClickUntil(1049, 646,
                             [](const Frame& frame) { return QuestionWithBox(frame) && TickIn(frame) == 0; }))
        << "a second click did not empty the box\n"
        << x.Output();
    ASSERT_TRUE(click(1090, 557, SecondMessage)) << "No left the story\n" << x.Output();
    ASSERT_TRUE(side_menu()) << "no side menu\n" << x.Output();
    ASSERT_TRUE(click(1720, 196, SaveLoadScreen)) << "no save screen\n" << x.Output();
    ASSERT_TRUE(click(
        800, LIST_Y + 60,
        [](const Frame& frame) { return FrameCellAt(frame, 530, 400) == tools::DIALOG_SHEET_NOTE_FRAME; }))
        << "no note\n"
        << x.Output();
    // Typed with no input method: committed at once. Typed once only: a second would add to it.
    x.Type("雪の朝");
    const std::optional<Frame> note = x.WaitFor(NoteWithComment);
    ASSERT_TRUE(note) << "no comment in the note\n" << x.Output();
    // The note's clear button and its box show what they do; the new-save row under the
    // note's shade still reads (its words dimmed, not dark on dark).
    EXPECT_GT(WhiteIn(*note, 520 + 636, 375 + 105, 520 + 690, 375 + 159), 30) << "the clear button";
    EXPECT_GT(WhiteIn(*note, 520 + 557, 375 + 249, 520 + 857, 375 + 293), 20) << "the box's words";
    EXPECT_EQ(TickIn(*note), 0) << "the note's box is ticked while the note is on";
    EXPECT_GT(CountIn(*note, LIST_X + 8, LIST_Y + 10, LIST_X + 600, LIST_Y + 113,
                      [](uint32_t r, uint32_t g, uint32_t b) {
                          return std::min({r, g, b}) >= 110;
                      }),
              300)
        << "the new-save row";
    platform::WritePngFile(home.Build() / "demo_saveload_note.png", *note);

    // The note's save button: the slot with its thumbnail and the comment.
    const std::optional<Frame> saved = click(829, 581, SavedSlotShown);
    ASSERT_TRUE(saved) << "no saved slot\n" << x.Output();
    // The thumbnail is the scene at the save without the window: the black ground only, none of
    // the window's frame or text (grey once scaled down).
    const int x0 = LIST_X + THUMB_X, y0 = SLOT_ROW_Y + THUMB_Y;
    EXPECT_EQ(LightIn(*saved, x0, y0, x0 + 190, y0 + 110), 0);
    EXPECT_GT(CountIn(*saved, x0, y0, x0 + 190, y0 + 110,
                      [](uint32_t r, uint32_t g, uint32_t b) {
                          return std::max({r, g, b}) < 16;
                      }),
              18000);
    platform::WritePngFile(home.Build() / "demo_saveload_saved.png", *saved);
    // An empty row, hovered after slot 1 (whose help line it clears), shows the plain background
    // as the rows under it do: nothing of the background's top-left corner (a caption) under them.
    const auto help_shown = [](const Frame& frame) {
        return WhiteIn(frame, HELP_X, HELP_Y, 1100, 1044) > 50;
    };
    x.Move(800, SLOT_ROW_Y + 60);
    ASSERT_TRUE(x.WaitFor([&](const Frame& frame) { return SaveLoadScreen(frame) && help_shown(frame); }))
        << "no help line on slot 1\n"
        << x.Output();
    x.Move(800, LIST_Y + ROW_HEIGHT * 4 + 60);
    const std::optional<Frame> empty_row =
        x.WaitFor([&](const Frame& frame) { return SaveLoadScreen(frame) && !help_shown(frame); });
    ASSERT_TRUE(empty_row) << "the help line stayed\n" << x.Output();
    x.Keep(*empty_row, "saveload_empty_row_hovered");
    int not_background = 0;
    for (int y = LIST_Y + ROW_HEIGHT * 2; y < LIST_Y + LIST_HEIGHT; y += 2)
        for (int at = LIST_X; at < LIST_X + 800; at += 2)
            not_background += FrameCellAt(*empty_row, at, y) != tools::SAVELOAD_CELL_BACKGROUND;
    EXPECT_EQ(not_background, 0) << "under the empty rows 2 to 6";

    // The screen's close button, on to Yuki's line; the side menu's load button and slot 1, the
    // first row of the load screen, bring the second message back.
    ASSERT_TRUE(click(1790, 950, SecondMessage)) << "the save screen did not close\n" << x.Output();
    ASSERT_TRUE(click(700, 300, YukisLine)) << "no line of Yuki's\n" << x.Output();
    ASSERT_TRUE(side_menu()) << "no side menu\n" << x.Output();
    ASSERT_TRUE(click(1720, 294, SaveLoadScreen)) << "no load screen\n" << x.Output();
    const std::optional<Frame> loaded = click(800, LIST_Y + 60, SecondMessage);
    ASSERT_TRUE(loaded) << "the second message did not come back\n" << x.Output();
    platform::WritePngFile(home.Build() / "demo_saveload_loaded.png", *loaded);
    // The story goes on from there to its last message; the end of the scene ends the game.
    ASSERT_TRUE(click(700, 300, YukisLine)) << "no line of Yuki's after the load\n" << x.Output();
    ASSERT_TRUE(click(700, 300, LastMessage)) << "no last message after the load\n" << x.Output();
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();

    // Slot 1 on disk, with the typed comment.
    std::ifstream file(save / "FLAG000", std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
    ByteCursor cursor(bytes);
    FlagBuffer system;
    ASSERT_TRUE(system.ReadFrom(cursor));
    GrowToSlotTable(system.Bytes);
    const SaveSlotTable table{std::span<uint8_t>(system.Bytes)};
    EXPECT_TRUE(table.IsUsed(1));
    EXPECT_EQ(table.Get(1).GetComment().GetStdString(), "雪の朝");
}

} // namespace
