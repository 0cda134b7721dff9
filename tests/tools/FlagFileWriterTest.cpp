#include "flagwrite/FlagFileWriter.h"

#include <gtest/gtest.h>
#include <stdexcept>

using tools::FlagFileContents;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes U32(uint32_t value)
{
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes joined;
    for (const Bytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

} // namespace

TEST(FlagFileWriterTest, TheLayoutIsNameValuesFlagsWordsVariablesBytes)
{
    FlagFileContents contents;
    contents.name = "start.mes";
    contents.values.resize(2);
    contents.values[1] = {.type = 0, .integer = -2, .text = ""};
    contents.flags = {7, 8};
    contents.words = {0x1234};
    contents.variables = {{.type = 1, .integer = 0, .text = "ab"}};
    contents.bytes = {9};

    Bytes name(260, 0);
    std::copy_n("start.mes", 9, name.begin());
    const Bytes expected =
        Join({name, U32(2), U32(0), U32(0), U32(0), U32(0), U32(0xFFFFFFFE), U32(0), U32(2), Bytes{7, 8},
              U32(1), Bytes{0x34, 0x12}, U32(1), U32(1), U32(0), U32(2), Bytes{'a', 'b'}, U32(1), Bytes{9}});
    EXPECT_EQ(tools::WriteFlagFile(contents), expected);
}

TEST(FlagFileWriterTest, ANameOfMoreThan260BytesIsCut)
{
    FlagFileContents contents;
    contents.name = std::string(300, 'n');
    contents.values.clear();
    const Bytes file = tools::WriteFlagFile(contents);
    ASSERT_EQ(file.size(), 260u + 5 * 4);
    EXPECT_EQ(file[259], 'n');
    EXPECT_EQ(file[260], 0); // the values' count follows at once
}

TEST(FlagFileWriterTest, AListingSizesTheArraysAndSetsElements)
{
    const FlagFileContents contents = tools::ParseFlagListing("# a comment\n"
                                                              "name title.mes  \n"
                                                              "values 56\n"
                                                              "flags 10   # trailing comment\n"
                                                              "words 3\n"
                                                              "variables 81\n"
                                                              "bytes 4\n"
                                                              "value 55 83\n"
                                                              "variable 80 text 日本語\n"
                                                              "flag 9 255\n"
                                                              "word 2 65535\n"
                                                              "byte 0 1\n");
    EXPECT_EQ(contents.name, "title.mes");
    EXPECT_EQ(contents.values.size(), 56u);
    EXPECT_EQ(contents.values[55].integer, 83);
    EXPECT_EQ(contents.values[55].type, 0u);
    EXPECT_EQ(contents.variables.size(), 81u);
    EXPECT_EQ(contents.variables[80].type, 1u);
    EXPECT_EQ(contents.variables[80].text, "日本語");
    EXPECT_EQ(contents.flags, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 255}));
    EXPECT_EQ(contents.words, (std::vector<uint16_t>{0, 0, 65535}));
    EXPECT_EQ(contents.bytes, (Bytes{1, 0, 0, 0}));
}

TEST(FlagFileWriterTest, MistakesInAListingNameTheirLine)
{
    const auto message = [](const std::string& listing) {
        try {
            tools::ParseFlagListing(listing);
        } catch (const std::invalid_argument& error) {
            return std::string(error.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message("flags 2\nflag 2 1\n").substr(0, 7), "line 2:"); // past the size
    EXPECT_EQ(message("flags 2\nflag 1 256\n").substr(0, 7), "line 2:");
    EXPECT_EQ(message("\n\nwhat 1\n").substr(0, 7), "line 3:");
    EXPECT_EQ(message("values -1\n").substr(0, 7), "line 1:");
}
