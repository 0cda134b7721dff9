// The built demo's archives hold what its screens offer: every heroine the gallery's and the scene
// replay's heroine page lets a player pick opens a page whose sheet is in the picture archive, and
// every CG of the gallery's list has its row's sheet and its pictures there for the viewer.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "foundation/CArchiveFile.h"
#include "screens/base/CHitAreaTable.h"
#include "screens/extras/CGTables.h"

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

std::vector<uint8_t> ReadEntry(CArchiveFile& archive, const char* name)
{
    if (!archive.OpenRead(CStringUTF8(name)))
        return {};
    std::vector<uint8_t> bytes(archive.GetSize());
    if (!bytes.empty() && archive.ReadAll(bytes.data()) == 0)
        bytes.clear();
    return bytes;
}

TEST(DemoData, EveryCGOfTheGalleryHasItsRowSheetAndPictures)
{
    const HeadlessDemoHome home;
    const fs::path demo = home.Build() / "demo";
    ASSERT_TRUE(fs::exists(demo / "layer.arc")) << "build the demo target first";
    CArchiveFile data;
    ASSERT_EQ(data.OpenArchive(CStringUTF8((demo / "data.arc").string()), true, false), 1);
    const std::vector<uint8_t> list = ReadEntry(data, "cglist.txt");
    const std::vector<uint8_t> compose = ReadEntry(data, "cgcompose.txt");
    const std::optional<CGTables> tables = CGTables::Parse(list, compose);
    ASSERT_TRUE(tables.has_value());
    CArchiveFile layer;
    ASSERT_EQ(layer.OpenArchive(CStringUTF8((demo / "layer.arc").string()), false, false), 1);
    for (const CGListRow& row : tables->ListRows()) {
        if (row.SheetName.empty()) // the terminator's
            continue;
        EXPECT_TRUE(layer.Exists(CStringUTF8(Upper(row.SheetName)))) << row.SheetName;
    }
    for (const CGCompositionRow& row : tables->Compositions()) {
        EXPECT_TRUE(layer.Exists(CStringUTF8(Upper(row.BaseName)))) << row.BaseName;
        for (const std::string& overlay : row.Overlays)
            EXPECT_TRUE(layer.Exists(CStringUTF8(Upper(overlay)))) << overlay;
    }
    EXPECT_GE(tables->ListRows().size(), 17u) << "a CG for every heroine";
}

} // namespace
