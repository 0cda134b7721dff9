#include "script/FlagBuffer.h"

#include <gtest/gtest.h>

TEST(FlagBuffer, FreshBufferHoldsTheFixedValuesAndNothingElse)
{
    FlagBuffer buffer;
    ASSERT_EQ(buffer.Values.size(), 56u);
    for (const ScriptValue& value : buffer.Values) {
        EXPECT_EQ(value.Type, 0u);
        EXPECT_EQ(value.Integer, 0);
        EXPECT_TRUE(value.Text.IsEmpty());
    }
    EXPECT_TRUE(buffer.Name.IsEmpty());
    EXPECT_TRUE(buffer.Flags.empty());
    EXPECT_TRUE(buffer.Words.empty());
    EXPECT_TRUE(buffer.Bytes.empty());
    EXPECT_TRUE(buffer.Variables.empty());
}

TEST(FlagBuffer, NamedEntriesAddressTheirFixedSlots)
{
    FlagBuffer buffer;
    buffer.Flags.resize(9000);
    buffer.Variables.resize(100);
    buffer.Values[19].Type = 1; // a stored text must turn back into an integer on write
    buffer.SetWeekday(3);
    buffer.SetGameDate(1301);
    buffer.SetMoney(-50);
    buffer.SetGameTime(1830);
    buffer.SetEngineStateWord(0x53);
    buffer.SetDistrict(2);
    buffer.SetLocation(7);
    buffer.SetSpMode(1);
    EXPECT_EQ(buffer.Values[4].Integer, 3);
    EXPECT_EQ(buffer.Values[7].Integer, 1301);
    EXPECT_EQ(buffer.Values[12].Integer, -50);
    EXPECT_EQ(buffer.Values[19].Integer, 1830);
    EXPECT_EQ(buffer.Values[19].Type, 0u);
    EXPECT_EQ(buffer.Values[55].Integer, 0x53);
    EXPECT_EQ(buffer.Flags[8005], 2);
    EXPECT_EQ(buffer.Flags[8006], 7);
    EXPECT_EQ(buffer.Variables[80].Integer, 1);
    EXPECT_EQ(buffer.GameDate(), 1301);
    EXPECT_EQ(buffer.District(), 2);
    EXPECT_EQ(buffer.SpMode(), 1);
}

TEST(FlagBuffer, EngineStateBitsOnABufferWithoutValuesCountAsClear)
{
    FlagBuffer buffer;
    buffer.SetEngineStateBits(0x80 | 0x100);
    EXPECT_TRUE(buffer.TestEngineState(0x180));
    buffer.ClearEngineStateBits(0x100);
    EXPECT_EQ(buffer.EngineStateWord(), 0x80u);

    buffer.Values.clear(); // as a flag file with no values would leave it
    buffer.SetEngineStateBits(0x1);
    EXPECT_TRUE(buffer.Values.empty());
    EXPECT_FALSE(buffer.TestEngineState(0x1));
    EXPECT_EQ(buffer.District(), 0); // Flags empty: nothing to read, nothing written
    buffer.SetDistrict(4);
    EXPECT_TRUE(buffer.Flags.empty());
}

TEST(FlagBuffer, AssignCopiesEveryArrayIndependently)
{
    FlagBuffer source;
    source.Name = CStringUTF8("op01.mes");
    source.Flags = {1, 2, 3};
    source.Words = {0xFFFF};
    source.Bytes = {9};
    source.Variables.resize(2);
    source.Variables[1] = ScriptValue::FromText(CStringUTF8("name"));
    source.Values[0] = ScriptValue::FromText(CStringUTF8("text"));

    FlagBuffer copy;
    copy.Assign(source);
    source.Variables[1].Text = CStringUTF8("changed");
    source.Flags[0] = 42;
    EXPECT_STREQ(copy.Name.GetText(), "op01.mes");
    EXPECT_EQ(copy.Flags, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(copy.Words, (std::vector<uint16_t>{0xFFFF}));
    EXPECT_EQ(copy.Bytes, (std::vector<uint8_t>{9}));
    EXPECT_STREQ(copy.Variables[1].Text.GetText(), "name");
    EXPECT_STREQ(copy.Values[0].Text.GetText(), "text");

    copy.Assign(copy);
    EXPECT_STREQ(copy.Values[0].Text.GetText(), "text");
}
