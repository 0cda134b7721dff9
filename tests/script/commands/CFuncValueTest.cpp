// Numbers in the message: formatting, the pen, measure mode and what the backlog records.

#include "script/commands/CFuncValue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "../RecordingFont.h"
#include "../ScriptTestFixture.h"
#include "script/ScriptState.h"

namespace {

using ::testing::ElementsAre;

struct FormatCase
{
    int32_t Value;
    uint32_t Digits;
    int32_t FullWidth;
    const char* Text;
};

TEST(FormatNumber, FormatsUnsignedWithPaddingAndFullWidthDigits)
{
    const FormatCase cases[] = {
        {7, 3, 0, "007"}, {7, 3, 1, "００７"},      {-1, 0, 0, "4294967295"},
        {42, 0, 0, "42"}, {1234, 2, 1, "１２３４"}, {5, 1, 2, "5"}, // only 1 asks for full width
    };
    for (const FormatCase& c : cases) {
        NumberDisplaySpec spec;
        spec.Value = c.Value;
        spec.Digits = c.Digits;
        spec.FullWidth = c.FullWidth;
        EXPECT_STREQ(FormatNumber(spec).GetText(), c.Text) << c.Value;
    }
    // A digit count no line could show pads only as far as the longest line.
    NumberDisplaySpec spec;
    spec.Value = 5;
    spec.Digits = 0x7FFF'FFFF;
    const CStringUTF8 padded = FormatNumber(spec);
    EXPECT_EQ(padded.GetLength(), 256);
    EXPECT_EQ(padded.GetStdString().back(), '5');
}

class CFuncValueTest : public ScriptTest
{
protected:
    CFuncValueTest()
    {
        State().Variables.resize(80);
        SetTestTextLayout(State());
        Context().Backlog.Allocate(2);
    }
    void SetNumberStyle(int32_t full_width, int32_t digits)
    {
        State().Values[40] = ScriptValue::FromInteger(full_width);
        State().Values[41] = ScriptValue::FromInteger(digits);
    }

    ScopedRecordingFont m_font{DOCUMENT_FONT_MAIN};
};

TEST_F(CFuncValueTest, NumberStartsAtThePenAndWritesBackOnlyPenX)
{
    SetNumberStyle(0, 3);
    Run(Assemble("lib 11, 0, 7\nend"));
    // No centring: x from the pen itself; y set on the line as message text is.
    ASSERT_EQ(m_font->Calls.size(), 3u);
    EXPECT_EQ(m_font->Text(), "007");
    EXPECT_EQ(m_font->Calls[0].X, 100);
    EXPECT_EQ(m_font->Calls[0].Y, 74);
    EXPECT_EQ(m_font->Calls[2].X, 124);
    EXPECT_EQ(State().Values[50].Integer, 136);

    // A number that wraps leaves pen Y where it was.
    m_font->Calls.clear();
    State().Values[50] = ScriptValue::FromInteger(1890);
    State().Variables[75] = ScriptValue::FromInteger(1); // numbers stay horizontal
    Run(Assemble("lib 11, 0, 7\nend"));
    ASSERT_EQ(m_font->Calls.size(), 3u);
    EXPECT_FALSE(m_font->Calls[1].Vertical);
    EXPECT_EQ(m_font->Calls[1].X, 100);
    EXPECT_EQ(m_font->Calls[1].Y, 104);
    EXPECT_EQ(State().Values[50].Integer, 124);
    EXPECT_EQ(State().Values[51].Integer, 50);
}

TEST_F(CFuncValueTest, MeasureModeCountsCharactersNotWidth)
{
    SetNumberStyle(1, 3);
    State().SetEngineStateWord(0x80000000);
    Run(Assemble("lib 11, 0, 7\nlib 11, 0, 12\nend"));
    EXPECT_THAT(GetScriptState().MeasuredLineWidths, ElementsAre(6));
    EXPECT_EQ(GetScriptState().MeasuredWidthTotal, 6);
    EXPECT_TRUE(m_font->Calls.empty());
    EXPECT_EQ(State().Values[50].Integer, 100);
}

TEST_F(CFuncValueTest, RecordedNumbersCarryAMarkerTheirBytesAndAZero)
{
    struct Case
    {
        int32_t FullWidth;
        std::vector<uint8_t> Code;
        const char* Body;
    };
    const Case cases[] = {
        {0, {11, '4', '2', 0, 0}, "42"},
        // As a Shift-JIS run, which is how the replay reads what follows marker 10.
        {1, {10, 0x82, 0x53, 0x82, 0x51, 0, 0}, "４２"},
    };
    for (const Case& c : cases) {
        Context().Backlog.Reset();
        State().SetEngineStateWord(0x80);
        SetNumberStyle(c.FullWidth, 0);
        Run(Assemble("lib 22, 2\nlib 11, 0, 42\nend"));
        const LogBuffer* entry = Context().Backlog.GetCurrentEntry();
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->Code, c.Code) << c.FullWidth;
        EXPECT_STREQ(entry->BodyText.GetText(), c.Body);
    }
}

TEST_F(CFuncValueTest, OtherSubFunctionsPopNothingMore)
{
    Run(Assemble("push 5\nlib 11, 1\nend"));
    EXPECT_THAT(StackIntegers(), ElementsAre(5));
    EXPECT_TRUE(m_font->Calls.empty());
}

} // namespace
