// The backlog command group over the script context's store: sizing, the ring, opening and
// closing records, reset, and the queries with their handles.

#include "script/commands/CFuncBackLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "../RecordingFont.h"
#include "../ScriptTestFixture.h"
#include "foundation/CExecException.h"

namespace {

using ::testing::ElementsAre;

class CFuncBackLogTest : public ScriptTest
{
protected:
    CFuncBackLogTest() { State().Variables.resize(80); }

    // Runs one message the way the scripts do: text opens the record, sub-function 3 closes it.
    void RunMessage(const std::string& text) { Run(Assemble("text \"" + text + "\"\nlib 22, 3\nend")); }
    int32_t Query(int32_t sub, int32_t index)
    {
        Stack().clear();
        Run(Assemble("lib 22, " + std::to_string(sub) + ", " + std::to_string(index) + "\nend"));
        return Stack().empty() ? -999 : Stack().back().Integer;
    }
    std::string QueryText(int32_t index)
    {
        Stack().clear();
        Run(Assemble("lib 22, 7, " + std::to_string(index) + "\nend"));
        return Stack().empty() ? "<none>" : Stack().back().Text.GetText();
    }

    ScopedRecordingFont m_font{DOCUMENT_FONT_MAIN};
};

TEST_F(CFuncBackLogTest, FiftyRecordsAndAFiftyFirstRecyclesTheOldest)
{
    State().SetEngineStateWord(0x80);
    Run(Assemble("lib 22, 0, 50\nend"));
    const char* const kana[] = {"あ", "い", "う", "え", "お", "か", "き", "く"};
    for (int k = 0; k < 51; ++k)
        RunMessage(std::string(kana[k % 7]) + kana[k / 7]);
    ASSERT_EQ(Context().Backlog.Entries.size(), 50u);
    EXPECT_EQ(Query(4, 0), 50);
    EXPECT_EQ(CountBacklogEntries(), 50);
    CFuncBackLog group;
    // Message 0 is gone; message 1 is the oldest, message 50 the newest.
    EXPECT_STREQ(group.GetEntryString(0).GetText(), "いあ");
    EXPECT_STREQ(group.GetEntryString(49).GetText(), "いく");
    EXPECT_STREQ(group.GetEntryString(50).GetText(), "");
    EXPECT_EQ(Context().Backlog.CurrentIndex, 49);
}

TEST_F(CFuncBackLogTest, RecordingWithoutRecordsReportsOncePerLine)
{
    State().SetEngineStateWord(0x80);
    Run(Assemble("text \"あ\"\ntext \"い\"\nend"));
    const std::vector<std::string> boxes = TakeMessageBoxes();
    EXPECT_THAT(boxes, ElementsAre("test.mes(0)\n履歴バッファが作成されていません",
                                   "test.mes(0)\n履歴バッファが作成されていません"));
    EXPECT_EQ(m_font->Text(), "あい");
}

TEST_F(CFuncBackLogTest, ClosingTwiceChangesTheRecordOnce)
{
    State().SetEngineStateWord(0x80);
    Run(Assemble("lib 22, 0, 2\ntext \"あ\"\nlib 22, 3\nlib 22, 3\nend"));
    EXPECT_THAT(Context().Backlog.GetCurrentEntry()->Code, ElementsAre(0x0A, 0x02, 0x00, 0x00, 0x00));
    EXPECT_FALSE(State().TestEngineState(0x100));
    // Without recording, closing does nothing at all, not even clear the open bit.
    State().SetEngineStateWord(0x100);
    Run(Assemble("lib 22, 3\nend"));
    EXPECT_TRUE(State().TestEngineState(0x100));
}

TEST_F(CFuncBackLogTest, ResetEmptiesTheRecordsButKeepsThem)
{
    State().SetEngineStateWord(0x80);
    Run(Assemble("lib 22, 0, 3\nend"));
    RunMessage("あ");
    RunMessage("い");
    Context().Backlog.Entries[0]->HasVoice = 1;
    Context().Backlog.Entries[0]->HeadText = CStringUTF8("名前");
    EXPECT_EQ(Query(6, 0), 1);
    EXPECT_EQ(QueryText(0), "名前");
    Run(Assemble("lib 22, 1\nend"));
    EXPECT_EQ(CountBacklogEntries(), 0);
    EXPECT_EQ(Context().Backlog.Entries.size(), 3u);
    EXPECT_EQ(Context().Backlog.CurrentIndex, -1);
    for (int32_t index : {-1, 0, 1, 2, 3}) {
        EXPECT_EQ(Query(5, index), 0) << index;
        EXPECT_EQ(Query(6, index), 0) << index;
        EXPECT_EQ(QueryText(index), "") << index;
    }
    // The next message takes the first record again, with nothing of the message it held: no
    // table message, table or table name to reveal or draw in place of its own text.
    LogBuffer& first = *Context().Backlog.Entries[0];
    first.MessageId = 5;
    first.TextTable = CStringUTF8("trip");
    first.HeadTextId = 7;
    RunMessage("う");
    EXPECT_EQ(Context().Backlog.CurrentIndex, 0);
    EXPECT_EQ(Query(4, 0), 1);
    EXPECT_EQ(first.MessageId, -1);
    EXPECT_TRUE(first.TextTable.IsEmpty());
    EXPECT_EQ(first.HeadTextId, -1);
}

TEST_F(CFuncBackLogTest, AllocatingNothingOrLessChangesNothing)
{
    Run(Assemble("lib 22, 0, 0\nlib 22, 0, -4\nend"));
    EXPECT_TRUE(Context().Backlog.Entries.empty());
    Run(Assemble("push 9\nlib 22, 8\nend"));
    EXPECT_EQ(Stack().back().Integer, 9);
}

TEST_F(CFuncBackLogTest, HandlesMapBackToTheirRecordsCode)
{
    State().SetEngineStateWord(0x80);
    Run(Assemble("lib 22, 0, 4\nend"));
    RunMessage("あ");
    RunMessage("い");
    const int32_t first = Query(5, 0);
    const int32_t second = Query(5, 1);
    EXPECT_NE(first, 0);
    EXPECT_NE(first, second);
    const BacklogStore& backlog = Context().Backlog;
    EXPECT_EQ(backlog.FindCode(first), &backlog.Entries[0]->Code);
    EXPECT_EQ(backlog.FindCode(second), &backlog.Entries[1]->Code);
    // Indexes past the used records give 0, and handles that name no record map to nothing.
    EXPECT_EQ(Query(5, 2), 0);
    for (int32_t handle : {0, -1, 3, 4, 5, 0x7FFFFFFF, static_cast<int32_t>(0x80000000)})
        EXPECT_EQ(backlog.FindCode(handle), nullptr) << handle;
}

TEST_F(CFuncBackLogTest, OpenRecordBitSurvivesADirectNextEntry)
{
    FlagBuffer& state = State();
    state.SetEngineStateWord(0x80 | 0x100);
    BacklogStore& backlog = Context().Backlog;
    EXPECT_FALSE(backlog.NextEntry());
    backlog.Allocate(1);
    ASSERT_TRUE(backlog.NextEntry());
    EXPECT_EQ(state.EngineStateWord(), 0x80u | 0x100u);
    EXPECT_EQ(backlog.GetCurrentEntry()->StateSnapshot.EngineStateWord(), 0x80u | 0x1000u);
    // A full ring of one recycles its only record.
    backlog.GetCurrentEntry()->BodyText = CStringUTF8("あ");
    ASSERT_TRUE(backlog.NextEntry());
    EXPECT_EQ(backlog.Entries.size(), 1u);
    EXPECT_TRUE(backlog.GetCurrentEntry()->BodyText.IsEmpty());
}

} // namespace

TEST_F(CFuncBackLogTest, TheCountSkipsEmptyEntriesWhereverTheyStand)
{
    BacklogStore& store = Context().Backlog;
    store.Entries.clear();
    EXPECT_EQ(CountBacklogEntries(), 0);
    for (bool content : {false, true, false, false, true, true, false}) {
        store.Entries.push_back(std::make_unique<LogBuffer>());
        if (content)
            store.Entries.back()->Code = {1, 0};
    }
    EXPECT_EQ(CountBacklogEntries(), 3);
    for (auto& entry : store.Entries)
        entry->Code.clear();
    EXPECT_EQ(CountBacklogEntries(), 0);
}

namespace {

// A script asking for millions of records gets the allocation failure, not the machine's memory.
TEST_F(CFuncBackLogTest, AllocationStopsAtTheCap)
{
    BacklogStore& backlog = Context().Backlog;
    Run(Assemble("lib 22, 0, 50\nend"));
    EXPECT_EQ(backlog.Entries.size(), 50u);
    EXPECT_THROW(Run(Assemble("lib 22, 0, 1000000\nend")), CExecException);
    EXPECT_EQ(backlog.Entries.size(), MAX_BACKLOG_ENTRIES);
}

} // namespace
