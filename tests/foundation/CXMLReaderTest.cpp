#include "foundation/CXMLReader.h"

#include <gtest/gtest.h>

namespace {

std::string Take(CXMLReader& reader, uint32_t advance)
{
    return reader.ReadChar(advance).GetStdString();
}

} // namespace

TEST(CXMLReader, CountsLinesOnlyWhenALineFeedIsTaken)
{
    CXMLReader reader(CStringUTF8("a\n\nb\r\nc"));
    EXPECT_EQ(Take(reader, 1), "a");
    EXPECT_EQ(Take(reader, 0), "\n"); // looking does not count
    EXPECT_EQ(reader.GetLine(), 1u);
    EXPECT_EQ(Take(reader, 2), "\n"); // skipping two counts only the first
    EXPECT_EQ(reader.GetLine(), 2u);
    EXPECT_EQ(Take(reader, 1), "b");
    EXPECT_EQ(Take(reader, 1), "\r");
    EXPECT_EQ(Take(reader, 1), "\n");
    EXPECT_EQ(reader.GetLine(), 3u);
    EXPECT_EQ(Take(reader, 1), "c");
    EXPECT_TRUE(reader.IsAtEnd());
}

TEST(CXMLReader, HandsOutWholeUtf8Characters)
{
    // "a", U+3042 (3 bytes), U+1F600 (4 bytes), "b"
    CXMLReader reader(CStringUTF8("a\xE3\x81\x82\xF0\x9F\x98\x80"
                                  "b"));
    EXPECT_EQ(Take(reader, 1), "a");
    EXPECT_EQ(reader.PeekChar(1).GetStdString(), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Take(reader, 1), "\xE3\x81\x82");
    EXPECT_EQ(Take(reader, 1), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Take(reader, 1), "b");
    EXPECT_EQ(reader.GetPosition(), 4u);
    EXPECT_EQ(Take(reader, 1), "");
}

TEST(CXMLReader, PeekSkipsTabsFromItsOffsetOn)
{
    CXMLReader reader(CStringUTF8("\t<\t\t?x"));
    EXPECT_EQ(reader.PeekChar(0).GetStdString(), "<"); // the tab at the position is skipped too
    EXPECT_EQ(reader.PeekChar(1).GetStdString(), "<");
    EXPECT_EQ(reader.PeekChar(2).GetStdString(), "?");
    EXPECT_EQ(reader.PeekChar(4).GetStdString(), "?");
    EXPECT_EQ(reader.PeekChar(5).GetStdString(), "x");
    EXPECT_EQ(reader.PeekChar(6).GetStdString(), "");
    EXPECT_EQ(reader.GetPosition(), 0u);
}

TEST(CXMLReader, SeesNothingAtOrPastTheEnd)
{
    CXMLReader reader(CStringUTF8("ab<"));
    EXPECT_EQ(Take(reader, 2), "a");
    EXPECT_EQ(Take(reader, 0), "<");
    EXPECT_EQ(reader.PeekChar(1).GetStdString(), "");
    EXPECT_EQ(reader.PeekChar(3).GetStdString(), "");
    // A skip of a longer sequence than is left moves past the end; everything is empty there.
    EXPECT_EQ(Take(reader, 4), "<");
    EXPECT_TRUE(reader.IsAtEnd());
    EXPECT_EQ(Take(reader, 1), "");
    EXPECT_EQ(reader.PeekChar(0).GetStdString(), "");
    EXPECT_EQ(reader.ReadWord().GetStdString(), "");
    reader.SkipSpaces();
    CStringUTF8 out;
    reader.ReadQuoted(out);
    EXPECT_EQ(out.GetStdString(), "");
    EXPECT_EQ(reader.GetLine(), 1u);
}

TEST(CXMLReader, ReadsQuotedValues)
{
    struct Case
    {
        const char* text;
        const char* value;
        const char* next; // the character left at the position
    };
    const Case cases[] = {
        {"\"1.0\" ?>", "1.0", " "},         {"'UTF-8'?>", "UTF-8", "?"},
        {"\"a'b\"c", "a'b", "c"},      // only the opening character closes
        {"'open\nrest", "open", "\n"}, // unterminated: ends at the line feed, which stays
        {"\"to the end", "to the end", ""},
    };
    for (const Case& c : cases) {
        CXMLReader reader{CStringUTF8(c.text)};
        CStringUTF8 out("x");
        reader.ReadQuoted(out);
        EXPECT_EQ(out.GetStdString(), std::string("x") + c.value) << c.text;
        EXPECT_EQ(Take(reader, 0), c.next) << c.text;
        EXPECT_EQ(reader.GetLine(), 1u) << c.text;
    }
}
