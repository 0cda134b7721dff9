#include "game/hints/CastNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppMessageBox.h"
#include "arcpack/ArchiveWriter.h"
#include "castnames/CastNamesWriter.h"
#include "foundation/CArchiveManager.h"
#include "support/FakeDocumentLink.h"
#include "support/WorkingDir.h"

namespace {

std::optional<CastNames> ParseText(const std::string& text, size_t* line = nullptr)
{
    return CastNames::Parse({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, line);
}

TEST(CastNames, ReadsKeysAndTextsByRole)
{
    const std::optional<CastNames> names =
        ParseText("\xEF\xBB\xBFtown\t町名\r\n\nheroine01.given\tヒロイン\tB\nunknown\tx\ntown\tsecond\n");
    ASSERT_TRUE(names);
    EXPECT_EQ(names->Get("town"), "町名");
    EXPECT_EQ(names->HeroineGiven(1), "ヒロイン\tB"); // a tab in the text belongs to it
    EXPECT_TRUE(names->HeroineGiven(2).IsEmpty());
    EXPECT_TRUE(names->Get("nursery").IsEmpty());
}

TEST(CastNames, DamagedFilesGiveNoNames)
{
    const struct
    {
        std::string text;
        size_t line;
    } damaged[] = {
        {"town\t\xFF\n", 1},                 // not UTF-8
        {"town\t\xE3\x81\n", 1},             // cut off sequence
        {"town\t\xC0\xAF\n", 1},             // overlong
        {"town\t\xED\xA0\x80\n", 1},         // surrogate
        {"town\tA\nnursery\n", 2},           // no tab
        {"town\tA\n\tB\n", 2},               // empty key
        {std::string("town\tA\0B\n", 9), 1}, // NUL
        {std::string(CAST_NAMES_MAX_BYTES + 1, 'a'), 0},
    };
    for (const auto& [text, line] : damaged) {
        size_t found = 99;
        EXPECT_FALSE(ParseText(text, &found));
        EXPECT_EQ(found, line);
    }
}

TEST(CastNames, WriterCoversEveryRoleTheHintsRead)
{
    const std::string file = tools::WriteCastNames(tools::DemoCastNames());
    const std::optional<CastNames> names = ParseText(file);
    ASSERT_TRUE(names);
    for (uint32_t heroine = 0; heroine < 15; ++heroine) {
        EXPECT_FALSE(names->HeroineGiven(heroine).IsEmpty());
        EXPECT_FALSE(names->HeroineFamily(heroine).IsEmpty());
    }
    for (const char* key :
         {CAST_TOWN, CAST_NEIGHBOUR_TOWN, CAST_POND_PARK, CAST_NURSERY, CAST_TV_STATION, CAST_STUDIO,
          CAST_SIDE_A_GIVEN, CAST_SIDE_B_GIVEN, CAST_SIDE_C_FAMILY, CAST_SIDE_D_FAMILY, CAST_VIDEO_TITLE})
        EXPECT_FALSE(names->Get(key).IsEmpty()) << key;
    // Real names, as a player reads them on the event cards: no stand-in word ("town name",
    // "side character", "title"), and no side character named as a heroine.
    for (const char* key :
         {CAST_TOWN, CAST_NEIGHBOUR_TOWN, CAST_POND_PARK, CAST_NURSERY, CAST_TV_STATION, CAST_STUDIO,
          CAST_SIDE_A_GIVEN, CAST_SIDE_B_GIVEN, CAST_SIDE_C_FAMILY, CAST_SIDE_D_FAMILY, CAST_VIDEO_TITLE}) {
        const std::string name = names->Get(key).GetStdString();
        for (const char* stand_in : {"名", "脇役", "メイ", "ＳＴＵＤＩＯ"})
            EXPECT_EQ(name.find(stand_in), std::string::npos) << key << ": " << name;
        for (uint32_t heroine = 0; heroine < 15; ++heroine)
            EXPECT_NE(name, names->HeroineGiven(heroine).GetStdString()) << key;
    }
    EXPECT_THROW(tools::WriteCastNames({{"a\tb", "x"}}), std::invalid_argument);
    EXPECT_THROW(tools::WriteCastNames({{"a", "x\ny"}}), std::invalid_argument);
}

TEST(CastNames, MissingFileIsReportedOnceAndGivesEmptyNames)
{
    std::vector<std::string> boxes;
    SetAppMessageBoxHook([&](UINT, const CStringUTF8& text) {
        boxes.push_back(text.GetStdString());
        return 1;
    });
    ResetCastNames();
    EXPECT_TRUE(GetCastNames().Get(CAST_TOWN).IsEmpty());
    EXPECT_TRUE(GetCastNames().HeroineGiven(1).IsEmpty());
    SetAppMessageBoxHook({});
    ResetCastNames();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "castnames.txt が存在しません");
}

TEST(CastNames, LoadsFromTheDataArchiveAndReportsDamageOnce)
{
    const std::string good = tools::WriteCastNames(tools::DemoCastNames());
    const struct
    {
        std::string file;
        const char* report; // null: none
    } cases[] = {
        {good, nullptr},
        {"town\tA\nbroken line\n", "castnames.txt が壊れています (2 行目)"},
    };
    for (const auto& c : cases) {
        WorkingDir folder;
        FakeDocumentLink document;
        const std::vector<tools::ArchiveEntry> entries = {
            {tools::UpperCaseName(CAST_NAMES_FILE), std::vector<uint8_t>(c.file.begin(), c.file.end())}};
        folder.Write("data.arc", tools::BuildArchive(entries, tools::ArchiveEncoding::Lzss));
        CArchiveManager archives("data.arc", true, true);
        document.m_data_archive = &archives;
        std::vector<std::string> boxes;
        SetAppMessageBoxHook([&](UINT, const CStringUTF8& text) {
            boxes.push_back(text.GetStdString());
            return 1;
        });
        ResetCastNames();
        const bool named = !GetCastNames().Get(CAST_TOWN).IsEmpty();
        GetCastNames();
        SetAppMessageBoxHook({});
        ResetCastNames();
        EXPECT_EQ(named, c.report == nullptr);
        ASSERT_EQ(boxes.size(), c.report ? 1u : 0u) << (boxes.empty() ? "" : boxes[0]);
        if (c.report) {
            EXPECT_EQ(boxes[0], c.report);
        }
    }
}

} // namespace
