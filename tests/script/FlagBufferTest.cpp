#include "script/FlagBuffer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "flagwrite/FlagFileWriter.h"
#include "flagwrite/SaveDataWriter.h"
#include "foundation/CFile.h"
#include "script/ScriptValueTable.h"
#include "support/TempDir.h"

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

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Serialized(const FlagBuffer& buffer)
{
    std::string out;
    buffer.AppendTo(out);
    return Bytes(out.begin(), out.end());
}

// Reads the bytes as a whole flag file would be read from disk.
bool ReadBytes(FlagBuffer& buffer, const Bytes& bytes)
{
    static const TempDir dir; // one folder for every read of the run
    const std::string path = dir.PathOf("FLAG001");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    CFile file;
    EXPECT_TRUE(file.OpenRead(CStringUTF8(path.c_str())));
    return buffer.Read(file.GetHandle());
}

// A buffer with something in every array.
FlagBuffer Filled()
{
    FlagBuffer buffer;
    buffer.Name = CStringUTF8("day1.mes");
    buffer.Values[7] = ScriptValue::FromInteger(1224);
    buffer.Flags = {1, 0, 0xFF};
    buffer.Words = {0x1234, 7};
    buffer.Variables = {ScriptValue::FromText(CStringUTF8("名前")), ScriptValue::FromInteger(-2)};
    buffer.Bytes = {9};
    return buffer;
}

const char* const FILLED_LISTING = "name day1.mes\n"
                                   "value 7 1224\n"
                                   "flags 3\nflag 0 1\nflag 2 255\n"
                                   "words 2\nword 0 4660\nword 1 7\n"
                                   "variables 2\nvariable 0 text 名前\nvariable 1 -2\n"
                                   "bytes 1\nbyte 0 9\n";

} // namespace

TEST(FlagBufferFile, AFreshBufferIsNineHundredFiftyTwoBytes)
{
    Bytes golden(952, 0);
    golden[260] = 56; // nValues; the values, then four zero counts, are all zero bytes
    EXPECT_EQ(Serialized(FlagBuffer()), golden);
    EXPECT_EQ(Serialized(FlagBuffer()), tools::WriteFlagFile(tools::FlagFileContents{}));
}

TEST(FlagBufferFile, LayoutMatchesTheIndependentWriterAndReadsBack)
{
    const Bytes bytes = tools::WriteFlagFile(tools::ParseFlagListing(FILLED_LISTING));
    EXPECT_EQ(Serialized(Filled()), bytes) << tools::DumpFlagFile(Serialized(Filled()));
    FlagBuffer read;
    ASSERT_TRUE(ReadBytes(read, bytes));
    EXPECT_EQ(Serialized(read), bytes);
    EXPECT_STREQ(read.Variables[0].Text.GetText(), "名前");
    EXPECT_EQ(read.Words[0], 0x1234);
}

TEST(FlagBufferFile, NamesUpTo260BytesRoundTripLongerOnesAreCut)
{
    FlagBuffer buffer;
    const std::string exact(260, 'n');
    buffer.Name = CStringUTF8(exact.c_str());
    FlagBuffer read;
    ASSERT_TRUE(ReadBytes(read, Serialized(buffer)));
    EXPECT_EQ(read.Name.GetStdString(), exact);

    buffer.Name = CStringUTF8((exact + "tail").c_str());
    EXPECT_EQ(Serialized(buffer).size(), 952u);
    ASSERT_TRUE(ReadBytes(read, Serialized(buffer)));
    EXPECT_EQ(read.Name.GetStdString(), exact);
}

TEST(FlagBufferFile, ValuesKeepTheFileCountAndMissingFixedEntriesReadAsZero)
{
    FlagBuffer read;
    const Bytes short_file = tools::WriteFlagFile(tools::ParseFlagListing("values 10\nvalue 9 5\nflags 1\n"));
    ASSERT_TRUE(ReadBytes(read, short_file));
    ASSERT_EQ(read.Values.size(), 10u);
    EXPECT_EQ(read.Values[9].Integer, 5);
    EXPECT_EQ(Serialized(read), short_file) << "a load and save rewrites nothing";
    EXPECT_EQ(read.EngineStateWord(), 0u);
    EXPECT_EQ(read.GameTime(), 0);
    read.SetEngineStateBits(1);
    read.SetMoney(3);
    EXPECT_EQ(read.Values.size(), 10u);
    EXPECT_EQ(Serialized(read), short_file);

    ASSERT_TRUE(ReadBytes(read, tools::WriteFlagFile(tools::ParseFlagListing("values 60\nvalue 59 3\n"))));
    ASSERT_EQ(read.Values.size(), 60u);
    EXPECT_EQ(read.Values[59].Integer, 3);
}

TEST(FlagBufferFile, TruncatedDamagedAndHugeCountFilesAreRefusedUnchanged)
{
    const Bytes whole = tools::WriteFlagFile(tools::ParseFlagListing(FILLED_LISTING));
    std::vector<std::pair<std::string, Bytes>> cases;
    // The offsets of each count: values at 260, flags after the 56 values (one holds 0 text bytes).
    const size_t flags_at = 264 + 56 * 12;
    const size_t words_at = flags_at + 4 + 3;
    const size_t variables_at = words_at + 4 + 4;
    const size_t bytes_at = variables_at + 4 + (12 + 6) + 12;
    // Cuts on both sides of every field boundary.
    for (const size_t boundary :
         {size_t{1}, size_t{260}, size_t{264}, size_t{276}, flags_at, flags_at + 4, words_at, words_at + 4,
          variables_at, variables_at + 4, variables_at + 16, bytes_at, bytes_at + 4, whole.size()}) {
        for (const size_t size : {boundary - 1, boundary + 1}) {
            if (size < whole.size())
                cases.emplace_back("cut at " + std::to_string(size),
                                   Bytes(whole.begin(), whole.begin() + static_cast<long>(size)));
        }
    }
    for (const size_t at : {size_t{260}, flags_at, words_at, variables_at, bytes_at}) {
        for (const char* count : {"0xff 0xff 0xff 0xff", "0xff 0xff 0xff 0x3f", "0x00 0x00 0x01 0x00"}) {
            cases.emplace_back(
                "count " + std::string(count) + " at " + std::to_string(at),
                tools::WriteGameFile(tools::GameFileKind::Flag, std::string(FILLED_LISTING) + "patch " +
                                                                    std::to_string(at) + " " + count));
        }
    }
    cases.emplace_back("text length past the end",
                       tools::WriteGameFile(tools::GameFileKind::Flag,
                                            std::string(FILLED_LISTING) + "patch " +
                                                std::to_string(variables_at + 12) + " 0xff 0xff 0 0"));
    cases.emplace_back(
        "a byte after the layout",
        tools::WriteGameFile(tools::GameFileKind::Flag, std::string(FILLED_LISTING) + "patch 1000 7"));
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        FlagBuffer target = Filled();
        target.Name = CStringUTF8("kept");
        const Bytes before = Serialized(target);
        EXPECT_FALSE(ReadBytes(target, bytes)) << tools::DumpFlagFile(bytes);
        EXPECT_EQ(Serialized(target), before);
    }
}

TEST(FlagBufferFile, WritesAnswerWhetherEveryByteWasWritten)
{
    TempDir dir;
    const CStringUTF8 path(dir.PathOf("FLAG001").c_str());
    CFile file;
    ASSERT_TRUE(file.OpenWrite(path, CREATE_ALWAYS));
    EXPECT_TRUE(Filled().Write(file.GetHandle()));
    EXPECT_TRUE(ScriptValueTable().Write(file.GetHandle()));
    ASSERT_TRUE(file.Close());
    ASSERT_TRUE(file.OpenRead(path)); // a handle that cannot write
    EXPECT_FALSE(Filled().Write(file.GetHandle()));
    EXPECT_FALSE(ScriptValueTable().Write(file.GetHandle()));
    EXPECT_FALSE(ScriptValue::FromInteger(1).Write(file.GetHandle()));
}
