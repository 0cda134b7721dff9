#include "script/ScriptValue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/kernel/FileApi.h"
#include "platform/kernel/Unicode.h"
#include "support/TempDir.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<uint8_t> bytes;
    for (int value : values)
        bytes.push_back(static_cast<uint8_t>(value));
    return bytes;
}

std::vector<uint8_t> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void PutFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

HANDLE Open(const std::string& path, bool write)
{
    const std::u16string wide = platform::Utf8ToUtf16(path);
    return CreateFileW(wide.c_str(), write ? GENERIC_WRITE : GENERIC_READ, 0, nullptr,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

class ScriptValueTest : public ::testing::Test
{
protected:
    // Writes the values through the disk form and answers the file's bytes.
    std::vector<uint8_t> WriteAll(const std::vector<ScriptValue>& values)
    {
        HANDLE file = Open(m_path, true);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        for (const ScriptValue& value : values)
            value.Write(file);
        CloseHandle(file);
        return FileBytes(m_path);
    }

    TempDir m_dir;
    std::string m_path = m_dir.PathOf("values.bin");
};

TEST_F(ScriptValueTest, DiskFormIsTypeIntegerLengthAndBytes)
{
    ScriptValue number = ScriptValue::FromInteger(-2);
    ScriptValue text = ScriptValue::FromText(CStringUTF8("あい"));
    text.Integer = 0x01020304; // kept even on a text value
    const std::vector<uint8_t> bytes = WriteAll({number, text, ScriptValue()});
    EXPECT_THAT(bytes, ElementsAreArray(Bytes({0,    0,    0,    0,    0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, //
                                               1,    0,    0,    0,    4,    3,    2,    1,    6, 0, 0, 0, //
                                               0xE3, 0x81, 0x82, 0xE3, 0x81, 0x84,                         //
                                               0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, 0})));
    std::string gathered;
    number.AppendTo(gathered);
    text.AppendTo(gathered);
    ScriptValue().AppendTo(gathered);
    EXPECT_EQ(std::vector<uint8_t>(gathered.begin(), gathered.end()), bytes);
}

TEST_F(ScriptValueTest, ReadBackIsByteForByte)
{
    ScriptValue odd;
    odd.Type = 5;
    odd.Integer = INT32_MIN;
    odd.Text = CStringUTF8("x");
    const std::vector<uint8_t> first =
        WriteAll({ScriptValue::FromText(CStringUTF8("名前")), odd, ScriptValue()});

    HANDLE file = Open(m_path, false);
    std::vector<ScriptValue> read(3);
    for (ScriptValue& value : read)
        EXPECT_TRUE(value.Read(file));
    CloseHandle(file);
    EXPECT_EQ(read[0].Type, 1u);
    EXPECT_STREQ(read[0].Text.GetText(), "名前");
    EXPECT_EQ(read[1].Type, 5u); // an unknown type code is kept
    EXPECT_EQ(read[1].Integer, INT32_MIN);
    EXPECT_TRUE(read[2].Text.IsEmpty());
    EXPECT_EQ(WriteAll(read), first);
}

TEST_F(ScriptValueTest, ShortOrDamagedRecordsAreRefusedAndChangeNothing)
{
    struct Case
    {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* text;
        bool complete;
    };
    const std::vector<Case> cases = {
        {"text cut short", Bytes({1, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0, 'a', 'b', 'c'}), "old", false},
        {"zero byte inside the text", Bytes({1, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 'a', 'b', 0, 'c'}), "ab",
         true},
        {"length of 4 GB over two bytes", Bytes({1, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 'o', 'k'}),
         "old", false},
        {"header cut short", Bytes({1, 0, 0}), "old", false},
    };
    for (const Case& item : cases) {
        SCOPED_TRACE(item.what);
        PutFile(m_path, item.bytes);
        HANDLE file = Open(m_path, false);
        ScriptValue value = ScriptValue::FromText(CStringUTF8("old"));
        EXPECT_EQ(value.Read(file), item.complete);
        CloseHandle(file);
        EXPECT_STREQ(value.Text.GetText(), item.text);
    }
}

TEST(AddScriptValues, FollowsTheLeftOperandsType)
{
    ScriptValue odd;
    odd.Type = 5;
    odd.Integer = 3;
    odd.Text = CStringUTF8("t");
    const ScriptValue sum = AddScriptValues(odd, ScriptValue::FromInteger(1));
    EXPECT_EQ(sum.Type, 0u);
    EXPECT_EQ(sum.Integer, 0);
    EXPECT_TRUE(sum.Text.IsEmpty());

    ScriptValue text = ScriptValue::FromText(CStringUTF8("a"));
    text.Integer = 9;
    const ScriptValue joined = AddScriptValues(text, odd);
    EXPECT_EQ(joined.Type, 1u);
    EXPECT_EQ(joined.Integer, 0);
    EXPECT_STREQ(joined.Text.GetText(), "at");

    const ScriptValue wrapped = AddScriptValues(ScriptValue::FromInteger(INT32_MAX), text);
    EXPECT_EQ(wrapped.Integer, INT32_MIN + 8);
}
