// The demo's save scene, played headless by the built game from the evening scenes' own start
// (evening_alone.mes): two auto saves in a row leave slots 101 and 102 used (the first save
// pushed up by the second), their files in the save folder, and a thumbnail that the slot tool
// turns into build/demo_thumbnail.png.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "foundation/CXMLDocument.h"
#include "game/hints/HintReachability.h"
#include "slotwrite/SlotTableWriter.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

TEST(DemoSaveTest, TwoAutoSavesPushTheFirstToSlot102)
{
    const HeadlessDemoHome home;
    const fs::path& build = home.Build();
    ASSERT_TRUE(fs::exists(build / "demo/vesk")) << "build the demo target first";
    home.EditConfig(
        [](CXMLDocument& config) { config.SetString("/GameFile/Script/StartUp", "evening_alone.mes"); });
    const std::string h = home.Path().string();
    const fs::path save = home.Path() / "vesk/demo/Save";
    // The saves follow the characters scene; the game is ended once the second save is complete
    // (the system file names slot 102). No frame is needed but as the clock of the wait.
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Asked);
    x.SetClockRate(4);
    x.StartGame();
    const std::string slotwrite = (build / "tools/slotwrite").string();
    const std::string dump = "'" + slotwrite + "' dump '" + save.string() + "' >'" + h + "/dump.txt' 2>&1";
    const bool saved =
        x.WaitFor([&](const DemoPlayer::Frame&) {
             return fs::exists(save / "FLAG102") && std::system(dump.c_str()) == 0 &&
                    ReadText(home.Path() / "dump.txt").find("\nslot 102 ") != std::string::npos;
         }).has_value();
    x.Close();
    ASSERT_TRUE(saved) << ReadText(home.Path() / "dump.txt") << x.Output();

    const std::string listing = ReadText(home.Path() / "dump.txt");
    const tools::SlotTableListing table =
        tools::ParseSlotTableListing(listing.substr(0, listing.find("variable")));
    ASSERT_EQ(table.headers.size(), 2u) << listing;
    EXPECT_EQ(table.headers[0].slot, 101u);
    EXPECT_EQ(table.headers[0].time, 1845); // the newest save first
    EXPECT_EQ(table.headers[1].slot, 102u);
    EXPECT_EQ(table.headers[1].date, 1223); // the story's first day
    EXPECT_EQ(table.headers[1].time, 1830);
    EXPECT_EQ(table.headers[1].money, 1500);
    // Each row's weekday picture is its date's in the story's calendar.
    for (const tools::SlotListingHeader& header : table.headers)
        EXPECT_EQ(static_cast<int32_t>(header.weekday), DayOfWeek(header.date))
            << "slot " << header.slot << " dated " << header.date;
    EXPECT_EQ(table.last_saved, 101);
    EXPECT_EQ(table.continue_slot, 0); // an auto save is never continued from
    EXPECT_NE(listing.find("variable 53 1"), std::string::npos) << listing;
    EXPECT_NE(listing.find("files 102 FLAG102="), std::string::npos) << listing;
    EXPECT_EQ(listing.find("=0"), std::string::npos) << "a slot file is missing:\n" << listing;
    EXPECT_EQ(fs::file_size(save / "thm101"), tools::THUMBNAIL_FILE_BYTES);
    // The scene's evening ground (60, 40, 90) fills the bottom row, the first one in the file.
    std::ifstream thumbnail(save / "thm101", std::ios::binary);
    const std::vector<uint8_t> pixels((std::istreambuf_iterator<char>(thumbnail)), {});
    ASSERT_GE(pixels.size(), 4u);
    EXPECT_EQ(pixels[0] | pixels[1] << 8 | pixels[2] << 16, 0x3C285A);
    const std::string png = "'" + slotwrite + "' png '" + (save / "thm101").string() + "' '" +
                            (build / "demo_thumbnail.png").string() + "'";
    EXPECT_EQ(std::system(png.c_str()), 0);
    EXPECT_EQ(x.Output().find("Box"), std::string::npos) << x.Output();
}

} // namespace
