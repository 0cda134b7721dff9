// The flag group (library 14) driven by assembled scripts: flag files written and read through
// the tool's independent writer and dumps, the range copies at their bounds against shorter and
// missing files, the merge, clear and fill, and the restart after a load.

#include "script/commands/CFuncFlag.h"

#include <gtest/gtest.h>

#include "GameFileFixture.h"
#include "mesasm/MesAssembler.h"
#include "script/ScriptState.h"

namespace {

using tools::GameFileKind;

constexpr const char* RANGE_REPORT = "test.mes(1)\nフラグバッファを超えて読み込もうとしています";

class CFuncFlagTest : public GameFileTest
{
protected:
    // Flags 0..9 hold 10..19, words 0..1 hold 100 and 101, a text variable and a byte.
    static constexpr const char* FILE_LISTING = "name file.mes\n"
                                                "flags 10\nflag 0 10\nflag 1 11\nflag 2 12\nflag 3 13\n"
                                                "flag 4 14\nflag 5 15\nflag 6 16\nflag 7 17\nflag 8 18\n"
                                                "flag 9 19\nwords 2\nword 0 100\nword 1 101\n"
                                                "variables 3\nvariable 2 text old\nbytes 1\nbyte 0 5\n";

    // Steps the current script until it throws a document code; that code.
    int StepToCode()
    {
        for (int step = 0; step < 100; ++step) {
            if (const int code = StepCurrent(); code != -1)
                return code;
        }
        return -1;
    }

    std::vector<int> FlagsOfState() { return std::vector<int>(State().Flags.begin(), State().Flags.end()); }
};

} // namespace

TEST_F(CFuncFlagTest, SizesSavesAndReloadsTheState)
{
    RunSource("line 1\n"
              "lib 14, 0, 4, 2, 1, 3\n" // flags, words, bytes, variables
              "push 7\npush 2\nstflag\n"
              "push 9\npush 1\nstvar\n"
              "lib 14, 2, 5\n"
              "end\n");
    ASSERT_TRUE(TakeMessageBoxes().empty());
    ExpectFile("FLAG005", GameFileKind::Flag,
               "name test.mes\nvalues 56\nflags 4\nflag 2 7\nwords 2\nvariables 3\nvariable 1 9\nbytes 1\n");

    Put("FLAG006", GameFileKind::Flag, FILE_LISTING);
    RunSource("line 1\nlib 14, 12, 6\nend\n");
    EXPECT_STREQ(State().Name.GetText(), "file.mes");
    EXPECT_EQ(FlagsOfState(), (std::vector<int>{10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
    EXPECT_STREQ(State().Variables[2].Text.GetText(), "old");
}

TEST_F(CFuncFlagTest, RangeLoadsStopAtTheLastEntryBothArraysHold)
{
    Put("FLAG001", GameFileKind::Flag, FILE_LISTING);
    State().Flags.assign(10, 0);
    RunSource("line 1\nlib 14, 3, 1, 7, 3\nend\n"); // start + count = size: copies 7, 8, 9
    EXPECT_TRUE(TakeMessageBoxes().empty());
    EXPECT_EQ(FlagsOfState(), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 17, 18, 19}));

    State().Flags.assign(10, 0);
    RunSource("line 1\nlib 14, 3, 1, 8, 3\nend\n"); // one more: 8 and 9, then the report
    EXPECT_EQ(TakeMessageBoxes(), std::vector<std::string>{RANGE_REPORT});
    EXPECT_EQ(FlagsOfState(), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 18, 19}));

    // Words are bounded by the words, and the file's shorter array stops the copy too.
    State().Words.assign(4, 0);
    RunSource("line 1\nlib 14, 4, 1, 0, 4\nend\n");
    EXPECT_EQ(TakeMessageBoxes(), std::vector<std::string>{RANGE_REPORT});
    EXPECT_EQ(State().Words, (std::vector<uint16_t>{100, 101, 0, 0}));

    // Values with their texts; bytes; a negative start reports at once.
    State().Variables.resize(3);
    State().Bytes.assign(1, 0);
    RunSource("line 1\nlib 14, 6, 1, 2, 1\nlib 14, 5, 1, 0, 1\nlib 14, 5, 1, -1, 1\nend\n");
    EXPECT_EQ(TakeMessageBoxes(), std::vector<std::string>{RANGE_REPORT});
    EXPECT_EQ(State().Variables[2].Type, 1u);
    EXPECT_STREQ(State().Variables[2].Text.GetText(), "old");
    EXPECT_EQ(State().Bytes[0], 5);

    // A missing file is reported and changes nothing.
    RunSource("line 1\nlib 14, 3, 9, 0, 10\nend\n");
    EXPECT_EQ(TakeMessageBoxes(),
              std::vector<std::string>{"test.mes(1)\n" + m_folder + "FLAG009 が存在しません"});
    EXPECT_EQ(FlagsOfState(), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 18, 19}));
}

TEST_F(CFuncFlagTest, RangeStoresGrowTheFileOrLeaveItByteForByte)
{
    Put("FLAG002", GameFileKind::Flag, "flags 2\nflag 0 1\nflag 1 1\nwords 1\nword 0 3\n");
    State().Flags = {7, 7, 7, 7, 7};
    State().Words = {8, 8};
    RunSource("line 1\nlib 14, 7, 2, 3, 2\nlib 14, 8, 2, 1, 1\nend\n");
    EXPECT_TRUE(TakeMessageBoxes().empty());
    ExpectFile("FLAG002", GameFileKind::Flag,
               "flags 5\nflag 0 1\nflag 1 1\nflag 3 7\nflag 4 7\nwords 2\nword 0 3\nword 1 8\n");

    // Past the state's array: reported, and the file is not written at all.
    const Bytes before = Get("FLAG002");
    RunSource("line 1\nlib 14, 7, 2, 4, 2\nend\n");
    EXPECT_EQ(TakeMessageBoxes(), std::vector<std::string>{RANGE_REPORT});
    EXPECT_EQ(Get("FLAG002"), before);

    // Count 0 on a missing file: reported, then a fresh buffer's file.
    RunSource("line 1\nlib 14, 7, 3, 0, 0\nend\n");
    EXPECT_EQ(TakeMessageBoxes(),
              std::vector<std::string>{"test.mes(1)\n" + m_folder + "FLAG003 が存在しません"});
    ExpectFile("FLAG003", GameFileKind::Flag, "");
    EXPECT_EQ(Get("FLAG003").size(), 952u);

    // Variables and bytes, texts included.
    State().Variables = {ScriptValue::FromText(CStringUTF8("名"))};
    State().Bytes = {4};
    RunSource("line 1\nlib 14, 10, 3, 0, 1\nlib 14, 9, 3, 0, 1\nend\n");
    ExpectFile("FLAG003", GameFileKind::Flag, "variables 1\nvariable 0 text 名\nbytes 1\nbyte 0 4\n");
}

TEST_F(CFuncFlagTest, MergeOrsTheFlagsIntoTheFile)
{
    Put("FLAG000", GameFileKind::Flag, "name sys\nflags 2\nflag 0 1\nflag 1 4\nbytes 1\nbyte 0 9\n");
    State().Flags = {2, 0, 0x80};
    RunSource("line 1\nlib 14, 11, 0\nend\n");
    EXPECT_TRUE(TakeMessageBoxes().empty());
    // 0x01 | 0x02 = 0x03; the shorter file grows; everything else stays the file's.
    ExpectFile("FLAG000", GameFileKind::Flag,
               "name sys\nflags 3\nflag 0 3\nflag 1 4\nflag 2 128\nbytes 1\nbyte 0 9\n");

    // A damaged file is reported and left as it is.
    Put("FLAG004", GameFileKind::Flag, "flags 2\ntruncate 900");
    RunSource("line 1\nlib 14, 11, 4\nend\n");
    EXPECT_EQ(TakeMessageBoxes(),
              std::vector<std::string>{"test.mes(1)\n" + m_folder + "FLAG004 is damaged."});
    ExpectFile("FLAG004", GameFileKind::Flag, "flags 2\ntruncate 900");
}

TEST_F(CFuncFlagTest, ClearKeepsTextsAndFillStaysInsideTheFlags)
{
    State().Flags = {1, 2, 3, 4, 5};
    State().Words = {9};
    State().Bytes = {9};
    State().Variables = {ScriptValue::FromText(CStringUTF8("keep"))};
    State().Values[12] = ScriptValue::FromInteger(500);
    RunSource("line 1\nlib 14, 13\nend\n");
    EXPECT_EQ(FlagsOfState(), (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(State().Words[0], 0);
    EXPECT_EQ(State().Bytes[0], 0);
    EXPECT_EQ(State().Variables[0].Type, 0u);
    EXPECT_STREQ(State().Variables[0].Text.GetText(), "keep");
    EXPECT_EQ(State().Money(), 500);

    RunSource("line 1\nlib 14, 14, 3, 1, 9\nlib 14, 14, 2, 2, 6\nend\n"); // end <= start: nothing
    EXPECT_EQ(FlagsOfState(), (std::vector<int>{0, 0, 0, 0, 0}));
    RunSource("line 1\nlib 14, 14, -5, 100, 0x107\nend\n"); // clamped to the array, low byte
    EXPECT_EQ(FlagsOfState(), (std::vector<int>{7, 7, 7, 7, 7}));
    RunSource("line 1\nlib 14, 14, 1, 3, 2\nlib 14, 0, -1, 0, 0, 0\nend\n");
    EXPECT_TRUE(State().Flags.empty()) << "a negative size empties the array";
}

TEST_F(CFuncFlagTest, LoadAndRestartThrowsCode3AlsoForAMissingFile)
{
    const std::vector<tools::ScriptSource> sources = {{"next.mes", "line 1\nend\n"}};
    const tools::AssembledArchive archive = tools::BuildScriptArchive(sources, tools::ArchiveEncoding::Lzss);
    ASSERT_TRUE(archive.Ok) << archive.Error;
    m_dir.Write("script.arc", archive.File);

    Put("FLAG007", GameFileKind::Flag, "name next.mes\nflags 1\nflag 0 42\n");
    GetScriptState().ReplaceScript(Assemble("line 1\nlib 14, 1, 7\nend\n"));
    EXPECT_EQ(StepToCode(), static_cast<int>(CVeskDoc::DOCUMENT_RESTORE_STACK));
    EXPECT_EQ(State().Flags, std::vector<uint8_t>{42});
    EXPECT_STREQ(GetScriptState().m_current_script->GetName().GetText(), "next.mes");

    GetScriptState().ReplaceScript(Assemble("line 1\nlib 14, 1, 8\nend\n"));
    EXPECT_STREQ(State().Name.GetText(), "test.mes") << "the document names the state's script";
    State().Name = CStringUTF8("next.mes");
    EXPECT_EQ(StepToCode(), static_cast<int>(CVeskDoc::DOCUMENT_RESTORE_STACK));
    EXPECT_EQ(TakeMessageBoxes(),
              std::vector<std::string>{"test.mes(1)\n" + m_folder + "FLAG008 が存在しません"});
    EXPECT_EQ(State().Flags, std::vector<uint8_t>{42}) << "the state as it was";
    EXPECT_STREQ(GetScriptState().m_current_script->GetName().GetText(), "next.mes");
}

// The start script's way with its own save: the save data read, then the restart. A save the
// game cannot restart into (a stacked script it does not hold, or none for the name the flag file
// gives) is refused with one report: nothing changes, and the script goes on to its next line.
TEST_F(CFuncFlagTest, ARestartIntoScriptsTheGameDoesNotHoldIsRefusedAndTheScriptGoesOn)
{
    const std::vector<tools::ScriptSource> sources = {{"next.mes", "line 1\nend\n"}};
    const tools::AssembledArchive archive = tools::BuildScriptArchive(sources, tools::ArchiveEncoding::Lzss);
    ASSERT_TRUE(archive.Ok) << archive.Error;
    m_dir.Write("script.arc", archive.File);
    Put("FLAG007", GameFileKind::Flag, "name next.mes\nflags 1\nflag 0 42\n");
    Put("SaveData007.dat", GameFileKind::SaveData,
        "record 65535 0\nvalue text next.mes\nvalue 0\nvalue 0\n"
        "record 65535 1\nvalue text gone.mes\nvalue 0\nvalue 1\n");
    Put("FLAG008", GameFileKind::Flag, "name lost.mes\nflags 1\nflag 0 43\n");
    Put("SaveData008.dat", GameFileKind::SaveData, "record 1 1\nvalue 5\n");
    const struct
    {
        int file;
        std::string report;
    } cases[] = {{7, "The script gone.mes is missing."}, {8, "The script lost.mes is missing."}};
    m_app.UseConfigFile(m_folder + "config.xml");
    m_app.Config().SetInt("/Config/Language", 0);
    for (const auto& c : cases) {
        const std::string n = std::to_string(c.file);
        GetScriptState().ReplaceScript(
            Assemble("line 1\nlib 27, 1, " + n + "\nlib 14, 1, " + n + "\nlib 14, 0, 3, 0, 0, 0\nend\n"));
        State().Flags.assign(1, 9);
        EXPECT_EQ(StepToCode(), static_cast<int>(CVeskDoc::DOCUMENT_SCRIPT_END)) << c.file;
        EXPECT_EQ(TakeMessageBoxes(),
                  std::vector<std::string>{"test.mes(1)\nThe game cannot start again from flag file " + n +
                                           ".\n" + c.report});
        EXPECT_EQ(FlagsOfState(), (std::vector<int>{9, 0, 0})) << "the state kept, the next line run";
    }
}

TEST_F(CFuncFlagTest, SecondScenarioNamesAndASaveThatCannotBeWritten)
{
    State().Variables.resize(81);
    State().SetSpMode(1);

    // A folder in place of the file: the rename fails, the system says why.
    std::filesystem::create_directory(m_dir.Path() / "SP_FLAG001");
    RunSource("line 1\nlib 14, 2, 1\nend\n");
    EXPECT_EQ(TakeMessageBoxes(),
              std::vector<std::string>{"test.mes(1)\n" + m_folder +
                                       "SP_FLAG001 が作成出来ません。\nAccess is denied."});
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "SP_FLAG001.tmp"));
}

// A count no flag file could hold is refused whole, with a report, before any memory is asked.
TEST_F(CFuncFlagTest, SizesPastTheCapsAreRefusedAndChangeNothing)
{
    for (const char* sizes : {"2000000000, 2, 1, 3", "4, 2, 1, 2147483647", "4, 2, 1048577, 3"}) {
        RunSource(std::string("line 1\nlib 14, 0, 4, 2, 1, 3\nlib 14, 0, ") + sizes + "\nend\n");
        EXPECT_EQ(TakeMessageBoxes(),
                  std::vector<std::string>{"test.mes(1)\nフラグバッファの大きさが上限を超えています"})
            << sizes;
        EXPECT_EQ(State().Flags.size(), 4u);
        EXPECT_EQ(State().Bytes.size(), 1u);
        EXPECT_EQ(State().Variables.size(), 3u);
    }
}
