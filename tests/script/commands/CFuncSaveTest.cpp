// The save group (library 27) driven by assembled scripts: the table and its copies to and from
// Variables, the save data file against the tool's writer and dumps, the snapshot rule, and
// missing, damaged and unwritable files.

#include "script/commands/CFuncSave.h"

#include <gtest/gtest.h>

#include "GameFileFixture.h"
#include "script/ScriptState.h"

namespace {

using tools::GameFileKind;

class CFuncSaveTest : public GameFileTest
{
protected:
    CFuncSaveTest() { State().Variables.resize(20); }

    ScriptValueTable& Table() { return *GetScriptState().SaveDataTable; }
    ScriptValueTable& Snapshot() { return *GetScriptState().SaveDataSnapshot; }
    std::vector<int32_t> VariableIntegers(size_t from, size_t count)
    {
        std::vector<int32_t> integers;
        for (size_t i = from; i < from + count; ++i)
            integers.push_back(State().Variables[i].Integer);
        return integers;
    }
};

} // namespace

TEST_F(CFuncSaveTest, TheSmallestFileIsTwentyFourBytes)
{
    State().Variables[0] = ScriptValue::FromInteger(5);
    RunSource("line 1\nlib 27, 4, 0, 1, 2, 1\nlib 27, 11\nlib 27, 0, 1\nend\n");
    EXPECT_TRUE(TakeMessageBoxes().empty());
    EXPECT_EQ(Get("SaveData001.dat"),
              (Bytes{1, 0, 0, 0, 1, 0, 2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(CFuncSaveTest, RecordsGoToAndFromVariables)
{
    State().Variables[0] = ScriptValue::FromText(CStringUTF8("a"));
    State().Variables[1] = ScriptValue::FromInteger(7);
    // Group 65536 + 3 is group 3; a second store under one key replaces the first.
    RunSource("line 1\n"
              "lib 27, 4, 0, 2, 65539, 7\n"
              "lib 27, 4, 1, 1, 3, 7\n"
              "lib 27, 4, 0, 0, 3, 9\n" // no values
              "lib 27, 4, 0, 1, 3, 2\nlib 27, 4, 0, 1, 3, 5\nlib 27, 4, 0, 1, 4, 1\n"
              "lib 27, 2, 10, 3, 7\n"
              "lib 27, 2, 12, 3, 9\n"
              "lib 27, 2, 12, 3, 8\n"
              "lib 27, 3, 15, 3\n"
              "end\n");
    EXPECT_EQ(StackIntegers(), (std::vector<int32_t>{1, 1, 0, 4}));
    EXPECT_EQ(State().Variables[10].Integer, 7) << "the second store's one value";
    EXPECT_EQ(State().Variables[11].Integer, 0);
    EXPECT_EQ(VariableIntegers(15, 4), (std::vector<int32_t>{2, 5, 7, 9})) << "indexes in ascending order";

    // Removal of one key, of a group, of all.
    RunSource("line 1\nlib 27, 5, 3, 7\nlib 27, 3, 0, 3\nlib 27, 6, 3\nlib 27, 3, 0, 3\nlib 27, 3, 0, 4\n"
              "lib 27, 7\nlib 27, 3, 0, 4\nend\n");
    EXPECT_EQ(StackIntegers(), (std::vector<int32_t>{1, 1, 0, 4, 3, 0, 1, 0}));
}

TEST_F(CFuncSaveTest, AGroupOfThreeListsTwoFiveNine)
{
    for (int index : {9, 2, 5})
        RunSource("line 1\nlib 27, 4, 0, 1, 6, " + std::to_string(index) + "\nend\n");
    Stack().clear();
    RunSource("line 1\nlib 27, 3, 4, 6\nend\n");
    EXPECT_EQ(StackIntegers(), std::vector<int32_t>{3});
    EXPECT_EQ(VariableIntegers(4, 3), (std::vector<int32_t>{2, 5, 9}));
}

TEST_F(CFuncSaveTest, VariablesTheArrayLacksAreSkippedOrReadEmpty)
{
    State().Variables.resize(3);
    State().Variables[2] = ScriptValue::FromInteger(8);
    RunSource("line 1\nlib 27, 4, 2, 5, 1, 1\nlib 27, 4, 0, 2000000000, 1, 2\nend\n");
    ASSERT_NE(Table().Find(0x10001), nullptr);
    const auto& values = Table().Find(0x10001)->Values;
    ASSERT_EQ(values.size(), 3u) << "no longer than the array";
    EXPECT_EQ(values[0].Integer, 8);
    EXPECT_EQ(values[1].Integer, 0);
    EXPECT_EQ(Table().Find(0x10002)->Values.size(), 3u);
    ScriptValueArray record;
    record.SetKey(0x50005);
    record.Values = {ScriptValue::FromInteger(1), ScriptValue::FromInteger(2), ScriptValue::FromInteger(3)};
    Table().Store(record);
    RunSource("line 1\nlib 27, 2, -1, 5, 5\nend\n"); // entries -1, 0, 1: the first is skipped
    EXPECT_EQ(VariableIntegers(0, 3), (std::vector<int32_t>{2, 3, 8}));
    RunSource("line 1\nlib 27, 2, 2, 5, 5\nlib 27, 3, 2, 1\nend\n");
    EXPECT_EQ(State().Variables.size(), 3u) << "never grown";
    EXPECT_EQ(VariableIntegers(0, 3), (std::vector<int32_t>{2, 3, 1}))
        << "group 1 lists 1 and 2; only 1 fits";
    EXPECT_EQ(StackIntegers(), (std::vector<int32_t>{1, 1, 2}));
}

TEST_F(CFuncSaveTest, SavingAfterALoadWritesTheLoadedSnapshot)
{
    Put("SaveData002.dat", GameFileKind::SaveData,
        "record 3 1\nvalue 11\nvalue text 文\nrecord 65535 0\nvalue text day1.mes\n");
    RunSource("line 1\nlib 27, 1, 2\nlib 27, 4, 0, 1, 8, 8\nlib 27, 0, 3\nend\n");
    EXPECT_TRUE(TakeMessageBoxes().empty());
    EXPECT_EQ(Table().GetCount(), 3u);
    ExpectFile("SaveData003.dat", GameFileKind::SaveData,
               "record 3 1\nvalue 11\nvalue text 文\nrecord 65535 0\nvalue text day1.mes\n");
    RunSource("line 1\nlib 27, 11\nlib 27, 0, 3\nend\n");
    ExpectFile(
        "SaveData003.dat", GameFileKind::SaveData,
        "record 3 1\nvalue 11\nvalue text 文\nrecord 8 8\nvalue 0\nrecord 65535 0\nvalue text day1.mes\n");

    // A missing file leaves both tables empty.
    RunSource("line 1\nlib 27, 1, 4\nend\n");
    EXPECT_TRUE(TakeMessageBoxes().empty());
    EXPECT_EQ(Table().GetCount(), 0u);
    EXPECT_EQ(Snapshot().GetCount(), 0u);
}

TEST_F(CFuncSaveTest, DamagedFilesAreRefusedWithTheTablesUnchanged)
{
    const std::string good = "record 3 1\nvalue 11\nvalue text abc\n";
    const std::vector<std::string> damages = {"truncate 0",
                                              "truncate 3",
                                              "truncate 30",
                                              "truncate 38",
                                              "patch 0 0xff 0xff 0xff 0xff",
                                              "patch 8 0xff 0xff 0xff 0x7f",
                                              "patch 32 0xff 0 0 0",
                                              "patch 39 0"};
    for (const std::string& damage : damages) {
        SCOPED_TRACE(damage);
        Put("SaveData005.dat", GameFileKind::SaveData, good + damage);
        Table().Free();
        RunSource("line 1\nlib 27, 4, 0, 1, 1, 1\nlib 27, 11\nlib 27, 1, 5\nend\n");
        EXPECT_EQ(TakeMessageBoxes(),
                  std::vector<std::string>{"test.mes(1)\n" + m_folder + "SaveData005.dat is damaged."});
        ASSERT_EQ(Table().GetCount(), 1u);
        EXPECT_EQ(Table().GetAt(0).Key(), 0x10001u);
        EXPECT_EQ(Snapshot().GetCount(), 1u);
    }
    CFuncSave group;
    Put("SaveData006.dat", GameFileKind::SaveData, good);
    EXPECT_TRUE(group.LoadDataFile(6));
    EXPECT_FALSE(group.LoadDataFile(7));
}

TEST_F(CFuncSaveTest, AFileThatCannotBeWrittenIsReportedAndKept)
{
    Put("SaveData009.dat", GameFileKind::SaveData, "record 1 1\n");
    std::filesystem::create_directory(m_dir.Path() / "SaveData009.dat.tmp");
    RunSource("line 1\nlib 27, 4, 0, 1, 2, 2\nlib 27, 11\nlib 27, 0, 9\nend\n");
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("test.mes(1)\n" + m_folder + "SaveData009.dat が作成出来ません。\n", 0), 0u)
        << boxes[0];
    ExpectFile("SaveData009.dat", GameFileKind::SaveData, "record 1 1\n");
    CFuncSave group;
    EXPECT_FALSE(group.SaveDataFile(9));
    EXPECT_TRUE(group.SaveDataFile(10));
}
