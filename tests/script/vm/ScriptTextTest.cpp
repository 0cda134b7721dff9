#include <gtest/gtest.h>

#include <clocale>

#include "../RecordingFont.h"
#include "../ScriptTestFixture.h"
#include "app/TestApp.h"
#include "graphics/CEffectWait.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "script/ScriptState.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

using ::testing::ElementsAre;

class ScriptTextTest : public ScriptTest
{
protected:
    ScriptTextTest() { State().Variables.resize(80); }

    void SetLayout() { SetTestTextLayout(State()); }
    std::string Drawn() const { return m_font->Text(); }

    // The layout with the box (100, 50)-(1900, 1000) and the pen at (300, 400); a shifted run
    // moves it by (5, -20) and draws with cells of 6 and lines of 14.
    void SetShiftedLayout()
    {
        SetLayout();
        std::vector<ScriptValue>& v = State().Values;
        for (size_t k = 0; k < 6; ++k)
            v[46 + k] = ScriptValue::FromInteger(SHIFTED_BOX[k]);
        v[36] = ScriptValue::FromInteger(5);
        v[37] = ScriptValue::FromInteger(-20);
        v[38] = ScriptValue::FromInteger(12);
        v[39] = ScriptValue::FromInteger(14);
    }
    void ExpectBoxRestored()
    {
        for (size_t k = 0; k < 6; ++k)
            EXPECT_EQ(State().Values[46 + k].Integer, SHIFTED_BOX[k]) << 46 + k;
        EXPECT_FALSE(State().TestEngineState(0x40000000));
    }
    static constexpr int32_t SHIFTED_BOX[6] = {100, 50, 1900, 1000, 300, 400};

    void StartRecording(uint32_t bits, int entries = 3)
    {
        for (int k = 0; k < entries; ++k)
            Context().Backlog.Entries.push_back(std::make_unique<LogBuffer>());
        State().SetEngineStateWord(bits);
    }
    std::vector<uint8_t> RecordedCode() { return Context().Backlog.GetCurrentEntry()->Code; }

    ScopedRecordingFont m_font{DOCUMENT_FONT_MAIN};
    ScopedRecordingFont m_small_font{DOCUMENT_FONT_FIFTH};
};

TEST_F(ScriptTextTest, RunStartedByALeadByteNeedsNoOpcode)
{
    // 0x82A0 is あ; the one-byte form 0x01 stands for 0x829F, ぁ.
    ScriptRef script = Assemble("text x\"82 A0 01\"\nend");
    EXPECT_EQ(script->ReadCode(0), 0x82);
    GetScriptState().ReplaceScript(script);
    EXPECT_EQ(StepCurrent(), -1);
    EXPECT_EQ(script->GetPosition(), 4u);
    EXPECT_EQ(Drawn(), "あぁ");
}

TEST_F(ScriptTextTest, OneByteFormsCoverHiraganaAndFullWidthDigits)
{
    // Bytes 0x01-0x53 are 0x829F-0x82F1 (ぁ to ん); 0xB1-0xBA are the digits ０ to ９.
    Run(Assemble("text0a x\"53 B1 BA 80 F0\"\nend"));
    // 0x80 stands for 0x821E and 0xF0 for 0x828E, which CP932 leaves unassigned; the text shows
    // whatever the code page makes of them, after the three known characters.
    EXPECT_EQ(Drawn().rfind("ん０９", 0), 0u) << Drawn();
}

TEST_F(ScriptTextTest, AssembledStoryTextDecodesBack)
{
    SetLayout();
    Run(Assemble(R"(
        text "こんにちは、世界。"
        text "１２３かな"
        textwide "あいう"
        rawtext "UTF-8 テキスト"
        end
    )"));
    EXPECT_EQ(Drawn(), "こんにちは、世界。１２３かなあいうUTF-8 テキスト") << m_listing;
}

TEST_F(ScriptTextTest, ALeadByteBeforeTheEndingZeroEndsTheRunThere)
{
    ScriptRef script = Assemble("bytes 0x0A 0x01 0x82 0x00\npush 5\nend");
    GetScriptState().ReplaceScript(script);
    StepCurrent();
    EXPECT_EQ(script->GetPosition(), 4u);
    EXPECT_EQ(m_font->Calls.size(), 1u);
    RunFrames();
    EXPECT_THAT(StackIntegers(), ElementsAre(5));
}

TEST_F(ScriptTextTest, RecordingCodeBytesAppendsTheTextOpcodeTwice)
{
    StartRecording(0x80 | 0x200);
    GetScriptState().ReplaceScript(Assemble("text0a x\"02\"\nend"));
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
    EXPECT_EQ(Drawn(), "あ");
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
    SetShiftedLayout();
    State().Values[29] = ScriptValue::FromInteger(0x2 | 0x1);
    uint32_t state_during = 0;
    m_small_font->OnDraw = [&] { state_during = State().EngineStateWord(); };
    Run(Assemble("shifted\nrawtext \"ruby\"\nend\npush 1\nend"));
    EXPECT_EQ(state_during & 0x40000000u, 0x40000000u);
    // The reading goes to the small font at the shifted pen, with its own cell, the outline
    // turned into a shadow and no centring or baseline.
    ASSERT_EQ(m_small_font->Calls.size(), 4u);
    EXPECT_EQ(m_small_font->Calls[0].X, 305);
    EXPECT_EQ(m_small_font->Calls[0].Y, 380);
    EXPECT_EQ(m_small_font->Calls[1].X, 311);
    EXPECT_EQ(m_small_font->Calls[0].Flags, 0x8u | 0x1u);
    EXPECT_TRUE(m_font->Calls.empty());
    ExpectBoxRestored();
    EXPECT_THAT(StackIntegers(), ElementsAre(1));
}

TEST_F(ScriptTextTest, ShiftedRunRestoresTheBoxWhenACodeOrASkipIsThrownInside)
{
    // A script return thrown by the nested code leaves through the frame.
    SetShiftedLayout();
    Run(Assemble("shifted\nrawtext \"ruby\"\nreturn\nend"));
    ExpectBoxRestored();

    // A skip thrown while the reading is drawn leaves through the step.
    SetShiftedLayout();
    m_small_font->OnDraw = [] { throw CEffectWait::EVENT_SKIP; };
    ScriptRef script = Assemble("shifted\nrawtext \"ruby\"\nend\nend");
    GetScriptState().ReplaceScript(script);
    bool skipped = false;
    try {
        while (StepCurrent() == -1) {
        }
    } catch (CEffectWait::tagEVENT_SKIP) {
        skipped = true;
    }
    EXPECT_TRUE(skipped);
    ExpectBoxRestored();

    // The next message is drawn normally.
    m_small_font->OnDraw = nullptr;
    Run(Assemble("rawtext \"a\"\nend"));
    ASSERT_EQ(m_font->Calls.size(), 1u);
    EXPECT_EQ(m_font->Calls[0].X, 302);
}

TEST_F(ScriptTextTest, MessageTextIsTypesetIntoTheTextSpritesLayerAndThePenWrittenBack)
{
    SetLayout();
    std::vector<ScriptValue>& v = State().Values;
    v[29] = ScriptValue::FromInteger(0x2);
    v[32] = ScriptValue::FromInteger(0x101010);
    v[33] = ScriptValue::FromInteger(0xFFFFFF);
    v[53] = ScriptValue::FromInteger(7);
    auto sprite = std::make_unique<CSpriteLayer>();
    sprite->Create(0, 0, 64, 64, -1);
    ILayer* layer = sprite->GetLayer();
    GetSpriteLayerRegistry().RegisterSpriteLayer(7, sprite.release());
    Run(Assemble("text \"あい\"\nrawtext \"x\"\nend"));
    GetSpriteLayerRegistry().UnregisterSpriteLayer(7);
    ASSERT_EQ(m_font->Calls.size(), 3u);
    const GlyphCall& call = m_font->Calls[0];
    // Centred by (24 - 20) / 2 and set on the line: y = 50 - 6 + 30.
    EXPECT_EQ(call.X, 102);
    EXPECT_EQ(call.Y, 74);
    EXPECT_EQ(call.Colour, 0xFFFFFFu);
    EXPECT_EQ(call.SecondColour, 0x101010u);
    EXPECT_EQ(call.Target, layer);
    EXPECT_EQ(call.Flags, 0x2u);
    EXPECT_EQ(m_font->Calls[1].X, 126);
    EXPECT_EQ(m_font->Calls[2].X, 150);
    // Two full-width characters and one half-width move the pen 24 + 24 + 12.
    EXPECT_EQ(v[50].Integer, 160);
    EXPECT_EQ(v[51].Integer, 50);
}

TEST_F(ScriptTextTest, ASpriteNumberNamingNoSpriteDrawsNothingButRecordsAndMovesThePen)
{
    SetLayout();
    StartRecording(0x80);
    State().Values[53] = ScriptValue::FromInteger(4242);
    Run(Assemble("text \"あい\"\nend"));
    ASSERT_EQ(m_font->Calls.size(), 2u);
    EXPECT_EQ(m_font->Calls[0].Target, nullptr);
    EXPECT_EQ(State().Values[50].Integer, 148);
    EXPECT_STREQ(Context().Backlog.GetCurrentEntry()->BodyText.GetText(), "あい");
}

TEST_F(ScriptTextTest, VerticalWritingUsesTheTurnedRendererAndOtherDirectionsDrawNothing)
{
    SetLayout();
    State().Variables[75] = ScriptValue::FromInteger(1);
    State().Values[50] = ScriptValue::FromInteger(1800);
    Run(Assemble("text \"あい\"\nend"));
    ASSERT_EQ(m_font->Calls.size(), 2u);
    EXPECT_TRUE(m_font->Calls[0].Vertical);
    EXPECT_EQ(m_font->Calls[0].X, 1800);
    EXPECT_EQ(m_font->Calls[1].Y, 74 + 30);
    // The pen comes back through the same formula as horizontal text.
    EXPECT_EQ(State().Values[50].Integer, 1798);
    EXPECT_EQ(State().Values[51].Integer, 110);

    State().Variables[75] = ScriptValue::FromInteger(2);
    Run(Assemble("text \"う\"\nend"));
    EXPECT_EQ(m_font->Calls.size(), 2u);
    EXPECT_EQ(State().Values[50].Integer, 1798 - 2);
}

TEST_F(ScriptTextTest, MeasureModeAddsWidthsByLineOrIntoOneEntry)
{
    struct Case
    {
        uint32_t Bits;
        std::vector<int32_t> Widths;
    };
    for (const Case& c : {Case{0x20000000, {4, 3}}, Case{0x80000000, {7}}}) {
        SetLayout();
        GetScriptState().MeasuredLineWidths.clear();
        GetScriptState().MeasuredWidthTotal = 0;
        State().SetEngineStateWord(c.Bits);
        Run(Assemble("text \"あい\"\nnewline\nrawtext \"abc\"\nshifted\nrawtext \"ruby\"\nend\nend"));
        EXPECT_EQ(GetScriptState().MeasuredLineWidths, c.Widths) << std::hex << c.Bits;
        EXPECT_EQ(GetScriptState().MeasuredWidthTotal, 7);
        EXPECT_TRUE(m_font->Calls.empty());
        EXPECT_TRUE(m_small_font->Calls.empty());
        EXPECT_EQ(State().Values[50].Integer, 100);
    }
}

TEST_F(ScriptTextTest, RecordedCodeEndsInOneZeroAndClosingAppendsTwo)
{
    StartRecording(0x80);
    Run(Assemble("text \"あ\"\nend"));
    // The opcode, the one-byte form of あ and the run's terminator, then the one zero that ends
    // recorded code.
    EXPECT_THAT(RecordedCode(), ElementsAre(0x0A, 0x02, 0x00, 0x00));
    Run(Assemble("lib 22, 3\nend"));
    EXPECT_THAT(RecordedCode(), ElementsAre(0x0A, 0x02, 0x00, 0x00, 0x00));
    EXPECT_FALSE(State().TestEngineState(0x100));
}

TEST_F(ScriptTextTest, StoryTextDecodesTheSameUnderTheCAndEnglishLocales)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    // The English locale through the environment (it need not be installed), and the C locale
    // both through the environment and in the process.
    for (const char* locale : {"en_US.UTF-8", "C"}) {
        ScopedEnv all("LC_ALL", locale);
        ScopedEnv lang("LANG", locale);
        std::setlocale(LC_ALL, "");
        m_font->Calls.clear();
        Run(Assemble("text \"こんにちは、世界。\"\nend"));
        EXPECT_EQ(Drawn(), "こんにちは、世界。") << locale;
    }
    std::setlocale(LC_ALL, saved.c_str());
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
    // Each shifted run nests a frame loop on the machine stack; a thousand in a row must not
    // exhaust it. Sixteen nest, the others are refused, and the end of the code unwinds. (Each
    // loop turn gives up its time slice, so on a busy machine every run more costs a slice.)
    std::string source = "bytes";
    for (int k = 0; k < 1'000; ++k)
        source += " 0x1C 0x01";
    source += "\npush 1\nend";
    Run(Assemble(source));
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1'000u - 16u);
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
    EXPECT_TRUE(m_font->Calls.empty());
    EXPECT_STREQ(Context().Backlog.GetCurrentEntry()->BodyText.GetText(), "あ\n");
    EXPECT_EQ(State().Values[50].Integer, 300);
}
