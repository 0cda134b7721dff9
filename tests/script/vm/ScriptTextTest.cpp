#include <gtest/gtest.h>

#include "../ScriptTestFixture.h"
#include "app/TestApp.h"
#include "support/TempDir.h"

using ::testing::ElementsAre;

class ScriptTextTest : public ScriptTest
{
protected:
    ScriptTextTest()
    {
        Context().SetMessageHandler(
            [this](const CStringUTF8& text) { m_messages.emplace_back(text.GetText()); });
        State().Variables.resize(80);
    }

    void StartRecording(uint32_t bits, int entries = 3)
    {
        for (int k = 0; k < entries; ++k)
            Context().Backlog.Entries.push_back(std::make_unique<LogBuffer>());
        State().SetEngineStateWord(bits);
    }
    std::vector<uint8_t> RecordedCode() { return Context().Backlog.GetCurrentEntry()->Code; }

    std::vector<std::string> m_messages;
};

TEST_F(ScriptTextTest, RunStartedByALeadByteNeedsNoOpcode)
{
    // 0x82A0 is あ; the one-byte form 0x01 stands for 0x829F, ぁ.
    ScriptRef script = Assemble("text x\"82 A0 01\"\nend");
    EXPECT_EQ(script->ReadCode(0), 0x82);
    Document().ReplaceScript(script);
    EXPECT_EQ(StepCurrent(), -1);
    EXPECT_EQ(script->GetPosition(), 4u);
    EXPECT_THAT(m_messages, ElementsAre("あぁ"));
}

TEST_F(ScriptTextTest, OneByteFormsCoverHiraganaAndFullWidthDigits)
{
    // Bytes 0x01-0x53 are 0x829F-0x82F1 (ぁ to ん); 0xB1-0xBA are the digits ０ to ９.
    Run(Assemble("text0a x\"53 B1 BA 80 F0\"\nend"));
    ASSERT_EQ(m_messages.size(), 1u);
    // 0x80 stands for 0x821E and 0xF0 for 0x828E, which CP932 leaves unassigned; the text shows
    // whatever the code page makes of them, after the three known characters.
    EXPECT_EQ(m_messages[0].rfind("ん０９", 0), 0u) << m_messages[0];
}

TEST_F(ScriptTextTest, AssembledStoryTextDecodesBack)
{
    Run(Assemble(R"(
        text "こんにちは、世界。"
        text "１２３かな"
        textwide "あいう"
        rawtext "UTF-8 テキスト"
        end
    )"));
    EXPECT_THAT(m_messages, ElementsAre("こんにちは、世界。", "１２３かな", "あいう", "UTF-8 テキスト"))
        << m_listing;
}

TEST_F(ScriptTextTest, ALeadByteBeforeTheEndingZeroEndsTheRunThere)
{
    ScriptRef script = Assemble("bytes 0x0A 0x01 0x82 0x00\npush 5\nend");
    Document().ReplaceScript(script);
    StepCurrent();
    EXPECT_EQ(script->GetPosition(), 4u);
    ASSERT_EQ(m_messages.size(), 1u);
    RunFrames();
    EXPECT_THAT(StackIntegers(), ElementsAre(5));
}

TEST_F(ScriptTextTest, RecordingCodeBytesAppendsTheTextOpcodeTwice)
{
    StartRecording(0x80 | 0x200);
    Document().ReplaceScript(Assemble("text0a x\"02\"\nend"));
    StepCurrent();
    // Step 3 records 0x0A, the fetch records it again; text bytes go in while 0x100 is set.
    EXPECT_THAT(RecordedCode(), ElementsAre(0x0A, 0x0A, 0x02, 0x00, 0x00));
    EXPECT_STREQ(Context().Backlog.GetCurrentEntry()->BodyText.GetText(), "あ");
    EXPECT_TRUE(State().TestEngineState(0x100));
}

TEST_F(ScriptTextTest, RecordingWithoutCodeBitsLeavesOperandsOut)
{
    StartRecording(0x80);
    Run(Assemble("text0a x\"02\"\npush 7\nnewline\nend"));
    EXPECT_THAT(RecordedCode(), ElementsAre(0x0A, 0x02, 0x00, 0x1C, 0x00, 0x00));
    EXPECT_STREQ(Context().Backlog.GetCurrentEntry()->BodyText.GetText(), "あ\n");
}

TEST_F(ScriptTextTest, OneMessageOpensOneBacklogRecordWithASnapshot)
{
    StartRecording(0x80, 2);
    State().SetMoney(300);
    Run(Assemble("text \"あ\"\ntext \"い\"\nend"));
    EXPECT_EQ(Context().Backlog.CurrentIndex, 0);
    EXPECT_STREQ(Context().Backlog.GetCurrentEntry()->BodyText.GetText(), "あい");
    const FlagBuffer& snapshot = Context().Backlog.GetCurrentEntry()->StateSnapshot;
    EXPECT_EQ(snapshot.Money(), 300);
    // The snapshot is taken with the open-record bit cleared and the snapshot bit set.
    EXPECT_EQ(snapshot.EngineStateWord(), 0x80u | 0x1000u);
    EXPECT_EQ(State().EngineStateWord(), 0x80u | 0x100u);
}

TEST_F(ScriptTextTest, RecordingWithoutRecordsIsReported)
{
    StartRecording(0x80, 0);
    Run(Assemble("text \"あ\"\nend"));
    EXPECT_THAT(m_messages, ElementsAre("あ"));
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "test.mes(0)\n履歴バッファが作成されていません");
    EXPECT_FALSE(State().TestEngineState(0x100));
}

TEST_F(ScriptTextTest, FullRingRecyclesTheOldestRecord)
{
    StartRecording(0x80, 3);
    for (const char* text : {"あ", "い", "う", "え"}) {
        Run(Assemble(std::string("text \"") + text + "\"\nend"));
        State().ClearEngineStateBits(0x100); // the message window closes each record
    }
    ASSERT_EQ(Context().Backlog.Entries.size(), 3u);
    EXPECT_EQ(Context().Backlog.CurrentIndex, 2);
    EXPECT_STREQ(Context().Backlog.Entries[0]->BodyText.GetText(), "い");
    EXPECT_STREQ(Context().Backlog.Entries[2]->BodyText.GetText(), "え");
}

TEST_F(ScriptTextTest, NewLineMovesThePenByWritingDirection)
{
    std::vector<ScriptValue>& v = State().Values;
    v[46] = ScriptValue::FromInteger(100);
    v[47] = ScriptValue::FromInteger(10);
    v[50] = ScriptValue::FromInteger(300);
    v[51] = ScriptValue::FromInteger(40);
    v[31] = ScriptValue::FromInteger(30);
    v[30] = ScriptValue::FromInteger(24);
    Run(Assemble("newline\nend"));
    EXPECT_EQ(v[50].Integer, 100);
    EXPECT_EQ(v[51].Integer, 70);

    State().Variables[75] = ScriptValue::FromInteger(1);
    v[50] = ScriptValue::FromInteger(500);
    Run(Assemble("newline\nend"));
    EXPECT_EQ(v[50].Integer, 476);
    EXPECT_EQ(v[51].Integer, 10);
}

TEST_F(ScriptTextTest, ShiftedRunRestoresTheBoxAndPen)
{
    std::vector<ScriptValue>& v = State().Values;
    for (int k = 46; k <= 51; ++k)
        v[k] = ScriptValue::FromInteger(k * 10);
    v[36] = ScriptValue::FromInteger(5);
    v[37] = ScriptValue::FromInteger(-20);
    uint32_t state_during = 0;
    int32_t pen_x_during = 0;
    Context().SetMessageHandler([&](const CStringUTF8&) {
        state_during = State().EngineStateWord();
        pen_x_during = State().Values[50].Integer;
    });
    Run(Assemble("shifted\nrawtext \"ruby\"\nend\npush 1\nend"));
    EXPECT_EQ(state_during & 0x40000000u, 0x40000000u);
    EXPECT_EQ(pen_x_during, 505);
    for (int k = 46; k <= 51; ++k)
        EXPECT_EQ(v[k].Integer, k * 10) << k;
    EXPECT_FALSE(State().TestEngineState(0x40000000));
    EXPECT_THAT(StackIntegers(), ElementsAre(1));
}

TEST_F(ScriptTextTest, UnknownEscapeIsReported)
{
    Run(Assemble("escape 7\npush 1\nend"));
    EXPECT_THAT(StackIntegers(), ElementsAre(1));
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "test.mes(0)\n不明なエスケープシーケンスが使われています。");
}

TEST_F(ScriptTextTest, DeeplyNestedShiftedRunsAreCutOff)
{
    // Each shifted run nests a frame loop on the machine stack; fifty thousand in a row must
    // not exhaust it. Sixteen nest, the others are refused, and the end of the code unwinds.
    std::string source = "bytes";
    for (int k = 0; k < 50'000; ++k)
        source += " 0x1C 0x01";
    source += "\npush 1\nend";
    Run(Assemble(source));
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 50'000u - 16u);
    EXPECT_EQ(boxes[0], "test.mes(0)\nシフトテキストの入れ子が深すぎます");
    EXPECT_THAT(StackIntegers(), ElementsAre(1));
    EXPECT_FALSE(State().TestEngineState(0x40000000));
}

TEST_F(ScriptTextTest, SceneSkipRecordsTheTextButDrawsAndMovesNothing)
{
    TempDir dir;
    TestApp app;
    app.UseConfigFile(dir.PathOf("config.xml"));
    app.Config().SetInt("/Config/SceneSkip", 1);
    StartRecording(0x80);
    State().Values[46] = ScriptValue::FromInteger(100);
    State().Values[50] = ScriptValue::FromInteger(300);
    Run(Assemble("text \"あ\"\nnewline\nend"));
    EXPECT_TRUE(m_messages.empty());
    EXPECT_STREQ(Context().Backlog.GetCurrentEntry()->BodyText.GetText(), "あ\n");
    EXPECT_EQ(State().Values[50].Integer, 300);
}
