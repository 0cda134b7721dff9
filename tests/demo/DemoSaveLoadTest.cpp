// The save and load screens reached from the side menu of the story's message window, played
// headless by the built game with auto mode off and scripted input: on the second message the
// side menu's save button, the new-save row and a comment typed into the note
// (build/demo_saveload_note.png); the save screen then shows the slot with its thumbnail of the
// scene and the comment (build/demo_saveload_saved.png), and slot 1 holds the comment on disk. The story goes
// on to Yuki's line, the side menu's load button loads slot 1, and the window shows the second message again
// (build/demo_saveload_loaded.png); the story then goes on from there to its last message.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "foundation/ByteCursor.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"
#include "screens/system/SaveLoadLayout.h"
#include "script/FlagBuffer.h"
#include "script/save/SaveSlotTable.h"
#include "sheetgen/SaveLoadSheets.h"

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

// The player's input. Pointer moves repeat over ranges (they change nothing but the hover), and
// each click follows a move to its place, so the control under it is hovered when it lands.
void WriteInput(const fs::path& path)
{
    std::ofstream out(path);
    auto moves = [&](int from, int to, int x, int y) {
        for (int turn = from; turn <= to; turn += 50)
            out << turn << " move " << x << " " << y << "\n";
    };
    auto click = [&](int turn, int x, int y) {
        moves(turn - 200, turn - 50, x, y);
        out << turn << " click " << x << " " << y << "\n";
    };
    click(900, 700, 300);          // the first message's page is done: on to the second
    moves(1200, 1400, 1900, 500);  // the pointer at the right edge slides the side menu in
    click(1650, 1720, 196);        // its save button
    click(2300, 800, LIST_Y + 60); // the new-save row opens the note
    out << "2900 text 雪の朝\n";   // typed with no input method: committed at once
    click(3300, 829, 581);         // the note's save button
    click(4300, 1790, 950);        // the screen's close button
    click(4900, 700, 300);         // on to Yuki's line
    moves(5300, 5500, 1900, 500);
    click(5800, 1720, 294);        // the side menu's load button
    click(6400, 800, LIST_Y + 60); // slot 1, the first row of the load screen
    click(7500, 700, 300);         // the second message again: on to Yuki's line
    click(8100, 700, 300);         // the last message
    click(8700, 700, 300);         // the end of the scene ends the game
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
    const fs::path input = home.Path() / "input.txt";
    WriteInput(input);
    std::system(home.Command("VESK_INPUT_SCRIPT='" + input.string() + "' VESK_CLOSE_AFTER_FRAMES=10000",
                             HANG_KILL_SECONDS)
                    .c_str());

    std::vector<fs::path> frames;
    for (const auto& entry : fs::directory_iterator(home.Path() / "frames"))
        frames.push_back(entry.path());
    std::sort(frames.begin(), frames.end());
    enum Seen
    {
        NONE,
        NOTE,
        SAVED,
        PASSED,
        LOADED,
        ENDED
    };
    Seen seen = NONE;
    for (const fs::path& path : frames) {
        const std::optional<platform::PngPicture> frame = platform::ReadPngFile(path);
        ASSERT_TRUE(frame.has_value()) << path;
        if (seen == NONE && NoteWithComment(*frame)) {
            // The note's clear button and its show-again box say what they do; the new-save row
            // under the note's shade still reads (its words dimmed, not dark on dark).
            EXPECT_GT(WhiteIn(*frame, 520 + 636, 375 + 105, 520 + 690, 375 + 159), 30) << "the clear button";
            EXPECT_GT(WhiteIn(*frame, 520 + 557, 375 + 249, 520 + 857, 375 + 293), 100)
                << "the show-again box";
            EXPECT_GT(CountIn(*frame, LIST_X + 8, LIST_Y + 10, LIST_X + 600, LIST_Y + 113,
                              [](uint32_t r, uint32_t g, uint32_t b) {
                                  return std::min({r, g, b}) >= 110;
                              }),
                      300)
                << "the new-save row";
            fs::copy_file(path, home.Build() / "demo_saveload_note.png",
                          fs::copy_options::overwrite_existing);
            seen = NOTE;
        } else if (seen == NOTE && SavedSlotShown(*frame)) {
            // The thumbnail is the scene at the save without the window: the black ground only,
            // none of the window's frame or text (grey once scaled down).
            const int x0 = LIST_X + THUMB_X, y0 = SLOT_ROW_Y + THUMB_Y;
            EXPECT_EQ(LightIn(*frame, x0, y0, x0 + 190, y0 + 110), 0);
            EXPECT_GT(CountIn(*frame, x0, y0, x0 + 190, y0 + 110,
                              [](uint32_t r, uint32_t g, uint32_t b) {
                                  return std::max({r, g, b}) < 16;
                              }),
                      18000);
            fs::copy_file(path, home.Build() / "demo_saveload_saved.png",
                          fs::copy_options::overwrite_existing);
            seen = SAVED;
        } else if (seen == SAVED && StoryNamePlateShown(*frame) && StoryPromptShown(*frame)) {
            seen = PASSED;
        } else if (seen == PASSED && SecondMessage(*frame)) {
            fs::copy_file(path, home.Build() / "demo_saveload_loaded.png",
                          fs::copy_options::overwrite_existing);
            seen = LOADED;
        } else if (seen == LOADED && LastMessage(*frame)) {
            seen = ENDED;
        }
    }
    std::ifstream log(home.Path() / "out.txt");
    EXPECT_EQ(seen, ENDED) << "frames seen in order: " << seen
                           << " (note 1, saved 2, past the save 3, loaded 4, story on 5)\n"
                           << std::string((std::istreambuf_iterator<char>(log)), {});

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
