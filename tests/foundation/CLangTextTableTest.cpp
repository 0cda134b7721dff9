#include <functional>

#include <gtest/gtest.h>

#include "arcpack/ArchiveWriter.h"
#include "foundation/CArchiveManager.h"
#include "foundation/CLangTextTable.h"
#include "foundation/CString.h"
#include "mapwrite/MapTableWriter.h"
#include "support/FakeDocumentLink.h"
#include "support/WorkingDir.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Table(const std::vector<tools::MapText>& texts)
{
    return tools::BuildMapTable(texts);
}

std::string ThrownText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const CString& error) {
        return error.GetText();
    }
    return "(nothing thrown)";
}

void PutLittleEndian(Bytes& bytes, size_t offset, uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        bytes[offset + k] = static_cast<uint8_t>(value >> (8 * k));
}

} // namespace

class CLangTextTableTest : public ::testing::Test
{
protected:
    // "system" in four languages inside a compressed "data.arc", as the game ships it.
    void WriteSystemTables(bool with_traditional_chinese = true)
    {
        std::vector<tools::ArchiveEntry> entries = {
            {"SYSTEM_EN.MAP", Table({{0, u"Quit"}, {1, u"Title"}, {7, u"Settings"}})},
            {"SYSTEM_CN.MAP", Table({{0, u"退出"}, {7, u"设置"}})},
            {"SYSTEM.MAP", Table({{0, u"終了"}, {7, u"環境設定"}, {0, u"二番目"}})},
        };
        if (with_traditional_chinese)
            entries.push_back({"SYSTEM_TW.MAP", Table({{0, u"結束"}, {7, u"設定"}})});
        m_dir.Write("data.arc", tools::BuildArchive(entries, tools::ArchiveEncoding::Lzss));
        m_archive = std::make_unique<CArchiveManager>("data.arc", true, true);
        m_document.m_data_archive = m_archive.get();
    }

    WorkingDir m_dir;
    FakeDocumentLink m_document;
    std::unique_ptr<CArchiveManager> m_archive;
};

TEST_F(CLangTextTableTest, FourLanguagesAnswerById)
{
    WriteSystemTables();
    CLangTextTable table;
    table.Load("system");
    EXPECT_EQ(table.GetText(0, 0), "Quit");
    EXPECT_EQ(table.GetText(0, 1), "退出");
    EXPECT_EQ(table.GetText(0, 2), "結束");
    EXPECT_EQ(table.GetText(0, 3), "終了"); // the first of the two pairs with id 0
    EXPECT_EQ(table.GetText(7, 2), "設定");
    EXPECT_EQ(table.GetText(1, 0), "Title");
    EXPECT_EQ(table.GetText(1, 3), ""); // no such id in Japanese
    EXPECT_EQ(table.GetText(0, 4), ""); // no such language

    m_document.m_language = 3; // -1 and GetTextPtr follow the document's language
    EXPECT_EQ(table.GetText(7), "環境設定");
    EXPECT_EQ(std::u16string(table.GetTextPtr(7)), u"環境設定");
    EXPECT_EQ(std::u16string(table.GetTextPtr(99)), u"");
    m_document.m_language = 1;
    EXPECT_EQ(std::u16string(table.GetTextPtr(0)), u"退出");
}

TEST_F(CLangTextTableTest, EveryLanguageFileMustExist)
{
    WriteSystemTables(false);
    CLangTextTable table;
    EXPECT_EQ(ThrownText([&] { table.Load("system"); }), "ファイルオープンエラー\nsystem_tw.map");
}

TEST_F(CLangTextTableTest, MalformedTablesGiveNoTextsAndReadNothingOutside)
{
    const Bytes good = Table({{1, u"one"}, {2, u"two"}});
    // Layout: count, pairs (1 at 20, 2 at 28), "one\0" at 20..27, "two\0" at 28..35.
    Bytes big_count = good;
    PutLittleEndian(big_count, 0, 0x20000000);
    Bytes offset_past_end = good;
    PutLittleEndian(offset_past_end, 8, 36);
    Bytes unterminated = good;
    unterminated.resize(34); // "two" loses its 0 unit
    const Bytes header_only = {1, 0};

    CLangTextTable table;
    table.AddEntries(big_count, 0);
    EXPECT_EQ(table.GetText(1, 0), "");
    table.AddEntries(offset_past_end, 0);
    EXPECT_EQ(table.GetText(1, 0), "");
    EXPECT_EQ(table.GetText(2, 0), "two");
    table.AddEntries(unterminated, 0);
    EXPECT_EQ(table.GetText(1, 0), "one");
    EXPECT_EQ(table.GetText(2, 0), "");
    table.AddEntries(header_only, 0);
    EXPECT_EQ(table.GetText(1, 0), "");
    table.AddEntries(Bytes{}, 0);
    EXPECT_EQ(table.GetText(1, 0), "");
}

TEST(CLangTextTable, ReadsTextsAtOddOffsets)
{
    // count 2; id 5 at byte 21, id 6 at byte 30: "Hi\0" from byte 21, then "Yo\0" from byte 30.
    Bytes file(36, 0);
    PutLittleEndian(file, 0, 2);
    PutLittleEndian(file, 4, 5);
    PutLittleEndian(file, 8, 21);
    PutLittleEndian(file, 12, 6);
    PutLittleEndian(file, 16, 30);
    file[21] = 'H';
    file[23] = 'i';
    file[30] = 'Y';
    file[32] = 'o';
    CLangTextTable table;
    table.AddEntries(file, 2);
    EXPECT_EQ(table.GetText(5, 2), "Hi");
    EXPECT_EQ(table.GetText(6, 2), "Yo");
}

TEST(CLangTextTable, LargeTableWithoutEndsLoadsInLinearTime)
{
    // Half a MiB of pairs that all point into half a MiB of text without a 0 unit: each text
    // searched to the end of the file once made this load quadratic.
    constexpr uint32_t COUNT = 1u << 16;
    constexpr size_t TEXT_START = 4 + 8 * size_t{COUNT};
    Bytes file(2 * TEXT_START, 0xAA);
    PutLittleEndian(file, 0, COUNT);
    for (uint32_t k = 0; k < COUNT; ++k) {
        PutLittleEndian(file, 4 + 8 * k, k);
        PutLittleEndian(file, 8 + 8 * k, static_cast<uint32_t>(TEXT_START + k % 64));
    }
    CLangTextTable table;
    table.AddEntries(file, 0);
    EXPECT_EQ(table.GetText(0, 0), "");
    EXPECT_EQ(table.GetText(static_cast<int>(COUNT - 1), 0), "");
}

TEST(LoadMapFile, NeedsTheDocumentsDataArchive)
{
    EXPECT_EQ(ThrownText([] { LoadMapFile("system.map"); }), "ファイルオープンエラー\nsystem.map");
}
