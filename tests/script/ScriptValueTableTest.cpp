#include "script/ScriptValueTable.h"

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

ScriptValueArray Record(uint16_t group, uint16_t index, std::vector<ScriptValue> values = {})
{
    ScriptValueArray record;
    record.Group = group;
    record.Index = index;
    record.Values = std::move(values);
    return record;
}

std::vector<uint32_t> Keys(const ScriptValueTable& table)
{
    std::vector<uint32_t> keys;
    for (size_t k = 0; k < table.GetCount(); ++k)
        keys.push_back(table.GetAt(k).Key());
    return keys;
}

HANDLE Open(const std::string& path, bool write)
{
    const std::u16string wide = platform::Utf8ToUtf16(path);
    return CreateFileW(wide.c_str(), write ? GENERIC_WRITE : GENERIC_READ, 0, nullptr,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::vector<uint8_t> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

class ScriptValueTableTest : public ::testing::Test
{
protected:
    std::vector<uint8_t> WriteFile(const ScriptValueTable& table)
    {
        HANDLE file = Open(m_path, true);
        table.Write(file);
        CloseHandle(file);
        return FileBytes(m_path);
    }
    void PutFile(const std::vector<uint8_t>& bytes)
    {
        std::ofstream out(m_path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ScriptValueTable ReadFile()
    {
        ScriptValueTable table;
        table.Store(Record(9, 9)); // replaced by the read
        HANDLE file = Open(m_path, false);
        table.Read(file);
        CloseHandle(file);
        return table;
    }

    TempDir m_dir;
    std::string m_path = m_dir.PathOf("table.dat");
};

TEST_F(ScriptValueTableTest, RecordsStayOrderedByGroupThenIndex)
{
    ScriptValueTable table;
    table.Store(Record(1, 2));
    table.Store(Record(0, 5));
    table.Store(Record(1, 1));
    table.Store(Record(0xFFFF, 0));
    EXPECT_THAT(Keys(table), ElementsAre(0x00000005u, 0x00010001u, 0x00010002u, 0xFFFF0000u));
}

TEST_F(ScriptValueTableTest, StoringAnExistingKeyReplacesItsValues)
{
    ScriptValueTable table;
    table.Store(Record(1, 2, {ScriptValue::FromInteger(1), ScriptValue::FromInteger(2)}));
    table.Store(Record(1, 2, {ScriptValue::FromText(CStringUTF8("new"))}));
    ASSERT_EQ(table.GetCount(), 1u);
    ASSERT_EQ(table.GetAt(0).Values.size(), 1u);
    EXPECT_STREQ(table.GetAt(0).Values[0].Text.GetText(), "new");
    table.Store(table.GetAt(0)); // its own array: nothing changes
    EXPECT_STREQ(table.GetAt(0).Values[0].Text.GetText(), "new");
    EXPECT_EQ(table.Find(0x00010003), nullptr);
}

TEST_F(ScriptValueTableTest, RemovingGroupsAndRecords)
{
    ScriptValueTable table;
    for (uint16_t i = 0; i < 3; ++i) {
        table.Store(Record(0xFFFF, i));
        table.Store(Record(2, i));
    }
    table.RemoveGroup(7);
    EXPECT_EQ(table.GetCount(), 6u);
    table.RemoveGroup(SCRIPT_STACK_GROUP);
    EXPECT_THAT(Keys(table), ElementsAre(0x20000u, 0x20001u, 0x20002u));
    table.RemoveAt(1);
    EXPECT_THAT(Keys(table), ElementsAre(0x20000u, 0x20002u));

    ScriptValueTable empty;
    table.Assign(empty);
    EXPECT_EQ(table.GetCount(), 0u);
}

TEST_F(ScriptValueTableTest, FileFormIsCountThenKeyedRecords)
{
    ScriptValueTable table;
    EXPECT_THAT(WriteFile(table), ElementsAre(0, 0, 0, 0));
    EXPECT_EQ(ReadFile().GetCount(), 0u);

    table.Store(Record(1, 2, {ScriptValue::FromInteger(7), ScriptValue::FromText(CStringUTF8("a"))}));
    table.Store(Record(0, 0));
    const std::vector<uint8_t> bytes = WriteFile(table);
    EXPECT_THAT(
        bytes, ElementsAreArray(std::vector<uint8_t>{2, 0, 0, 0,             // two records
                                                     0, 0, 0, 0, 0, 0, 0, 0, // key 0, no values
                                                     2, 0, 1, 0, 2, 0, 0, 0, // index 2 of group 1, two values
                                                     0, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0,         // integer 7
                                                     1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 'a'})); // text "a"

    const ScriptValueTable read = ReadFile();
    EXPECT_THAT(Keys(read), ElementsAre(0u, 0x10002u));
    EXPECT_EQ(WriteFile(read), bytes);
}

TEST_F(ScriptValueTableTest, AFileOutOfOrderReadsAsItStandsUntilTheNextChange)
{
    PutFile({3, 0, 0, 0,                                                 // three records
             5, 0, 2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, // (2, 5) = 4
             1, 0, 0, 0, 0, 0, 0, 0,                                     // (0, 1)
             0, 0, 7, 0, 0, 0, 0, 0});                                   // (7, 0)
    const std::vector<uint8_t> bytes = FileBytes(m_path);
    ScriptValueTable table = ReadFile();
    EXPECT_THAT(Keys(table), ElementsAre(0x20005u, 0x00001u, 0x70000u));
    ASSERT_NE(table.Find(0x20005), nullptr);
    EXPECT_EQ(table.Find(0x20005)->Values.at(0).Integer, 4);
    EXPECT_EQ(WriteFile(table), bytes);

    ScriptValueTable removed = table;
    removed.RemoveGroup(9); // nothing removed: the order stands
    EXPECT_THAT(Keys(removed), ElementsAre(0x20005u, 0x00001u, 0x70000u));
    removed.Store(Record(7, 0)); // an existing key: no re-sort either
    EXPECT_THAT(Keys(removed), ElementsAre(0x20005u, 0x00001u, 0x70000u));
    removed.RemoveGroup(7);
    EXPECT_THAT(Keys(removed), ElementsAre(0x00001u, 0x20005u));
    table.Store(Record(1, 0));
    EXPECT_THAT(Keys(table), ElementsAre(0x00001u, 0x10000u, 0x20005u, 0x70000u));
}

TEST_F(ScriptValueTableTest, DamagedOrCutFilesAreRefusedAndChangeNothing)
{
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"four billion records", {0xFF, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0, 0, 0, 0, 0}},
        {"four billion values",
         {1, 0, 0, 0, 3, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0}},
        {"text past the end", {1, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0, 'a'}},
        {"record cut short", {1, 0, 0, 0, 3, 0, 0}},
        {"no count", {1, 0}},
        {"bytes after the table", {0, 0, 0, 0, 7}},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        PutFile(bytes);
        ScriptValueTable table;
        table.Store(Record(9, 9));
        HANDLE file = Open(m_path, false);
        EXPECT_FALSE(table.Read(file));
        CloseHandle(file);
        EXPECT_THAT(Keys(table), ElementsAre(0x90009u));
    }
}
