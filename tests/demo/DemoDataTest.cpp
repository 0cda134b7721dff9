// The built demo's archives hold what its screens offer: every heroine the gallery's and the scene
// replay's heroine page lets a player pick opens a page whose sheet is in the picture archive; its
// settings name the game as its title screen does.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "demopics/DemoPictures.h"
#include "foundation/CXMLDocument.h"
#include "foundation/CArchiveFile.h"
#include "screens/base/CHitAreaTable.h"

namespace {

namespace fs = std::filesystem;

std::string Upper(std::string name)
{
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return name;
}

TEST(DemoData, EveryHeroineOfTheExtrasHasHerSheets)
{
    const HeadlessDemoHome home;
    const fs::path demo = home.Build() / "demo";
    ASSERT_TRUE(fs::exists(demo / "layer.arc")) << "build the demo target first";

    CArchiveFile data;
    ASSERT_EQ(data.OpenArchive(CStringUTF8((demo / "data.arc").string()), true, false), 1);
    ASSERT_TRUE(data.OpenRead(CStringUTF8("cgmode.area")));
    std::vector<uint8_t> image(data.GetSize());
    ASSERT_NE(data.ReadAll(image.data()), 0);
    CHitAreaTable heroines;
    ASSERT_TRUE(heroines.Parse(image.data(), image.size()));

    CArchiveFile layer;
    ASSERT_EQ(layer.OpenArchive(CStringUTF8((demo / "layer.arc").string()), false, false), 1);
    constexpr std::string_view LETTERS = "ROFJKPSEQBDIHANCU";
    int offered = 0;
    for (const HitArea& area : heroines.Records()) {
        if (area.Id >= LETTERS.size())
            continue;
        ++offered;
        const char letter = LETTERS[area.Id];
        for (const std::string& sheet :
             {std::string("cgmode_thm") + letter + "00.akb", std::string("sc_") + letter + ".akb"})
            EXPECT_TRUE(layer.Exists(CStringUTF8(Upper(sheet)))) << "heroine " << area.Id << ": " << sheet;
    }
    EXPECT_EQ(offered, static_cast<int>(LETTERS.size()));
}

// The version box names the game by the title the settings give it: the title screen's.
TEST(DemoData, TheGameTitleIsTheTitleScreensName)
{
    const HeadlessDemoHome home;
    CXMLDocument system(CStringUTF8((home.Build() / "demo" / "SystemInfo.xml").string()));
    ASSERT_EQ(system.Load(), 1u);
    EXPECT_STREQ(system.GetString("/GameTitle", "").GetText(), tools::GAME_NAME_ENGLISH);
}

} // namespace
