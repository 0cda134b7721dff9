#include <functional>

#include <gtest/gtest.h>

#include "arcpack/ArchiveWriter.h"
#include "foundation/CArchiveManager.h"
#include "foundation/CLangTextFile.h"
#include "foundation/CString.h"
#include "mapwrite/MapTableWriter.h"
#include "support/FakeDocumentLink.h"
#include "support/WorkingDir.h"

namespace {

std::vector<uint8_t> Table(const std::vector<tools::MapText>& texts)
{
    return tools::BuildMapTable(texts);
}

} // namespace

class CLangTextFileTest : public ::testing::Test
{
protected:
    CLangTextFileTest()
    {
        const std::vector<tools::MapText> texts = {
            {1, u"ab\u3042\u3044"},
            {2, u"ab\\r\u3042\u3044\\r"},
            {3, u"aaaaaa bbbbb cc\\ndd\\rhidden\\r"},
        };
        std::vector<tools::ArchiveEntry> entries;
        for (const char* name : {"MSG_EN.MAP", "MSG_CN.MAP", "MSG_TW.MAP", "MSG.MAP"})
            entries.push_back({name, Table(texts)});
        m_dir.Write("data.arc", tools::BuildArchive(entries, tools::ArchiveEncoding::Lzss));
        m_archive = std::make_unique<CArchiveManager>("data.arc", true, true);
        m_document.m_data_archive = m_archive.get();
        // The game state's message text area (Values 34, 35, 46..49): x 100..200, y 50..500, 20-pixel font
        // (10 a unit), 30-pixel lines.
        m_document.m_game_values[34] = 20;
        m_document.m_game_values[35] = 30;
        m_document.m_game_values[46] = 100;
        m_document.m_game_values[47] = 50;
        m_document.m_game_values[48] = 200;
        m_document.m_game_values[49] = 500;
    }

    WorkingDir m_dir;
    FakeDocumentLink m_document;
    std::unique_ptr<CArchiveManager> m_archive;
};

TEST_F(CLangTextFileTest, OpensATableOnceForTheSameName)
{
    CLangTextFile file;
    EXPECT_EQ(file.GetTextWidth(1), 0); // nothing open yet
    file.Open("msg");
    EXPECT_EQ(file.GetName(), "msg");
    const CLangTextTable* first = file.GetTable();
    m_document.m_data_archive = nullptr; // a second load would fail now
    file.Open("msg");
    EXPECT_EQ(file.GetTable(), first);
    try {
        file.Open("other");
        FAIL() << "no exception";
    } catch (const CString& error) {
        EXPECT_STREQ(error.GetText(), "ファイルオープンエラー\nother_en.map");
    }
}

TEST_F(CLangTextFileTest, MeasuresTextsInHalfWidthUnits)
{
    CLangTextFile file;
    file.Open("msg");
    EXPECT_EQ(file.GetTextWidth(1), 6);
    EXPECT_EQ(file.GetTextWidth(2), 2);
    EXPECT_EQ(file.GetTextWidth(99), 0);
}

TEST_F(CLangTextFileTest, SplitsSimplifiedChineseToTheGameStatesTextArea)
{
    CLangTextFile file;
    file.Open("msg");
    std::vector<char16_t> units;
    m_document.m_language = 1;
    // "aaaaaa " ends at 170; "bbbbb" would end at 220, past 200: a new line; "cc" fits behind it.
    EXPECT_EQ(file.SplitText(3, units), 21);
    EXPECT_EQ(std::u16string(units.begin(), units.end()), u"aaaaaa \\nbbbbb cc\\ndd");
    m_document.m_language = 0; // other languages keep the text's own lines
    EXPECT_EQ(file.SplitText(3, units), 19);
    EXPECT_EQ(std::u16string(units.begin(), units.end()), u"aaaaaa bbbbb cc\\ndd");
}
