// The already-read group (library 24) driven by assembled scripts: the bit order, the sizes, the
// reports with their exact texts, and "onemes.dat" saved and loaded at other sizes.

#include "script/commands/CFuncOneMes.h"

#include <gtest/gtest.h>

#include "GameFileFixture.h"

namespace {

using tools::GameFileKind;

class CFuncOneMesTest : public GameFileTest
{
protected:
    std::vector<uint8_t>& Bits() { return Context().ReadBuffer; }
};

} // namespace

TEST_F(CFuncOneMesTest, SizesRoundUpToWholeBytes)
{
    const std::vector<std::pair<int, size_t>> sizes = {{1, 1},  {8, 1},  {9, 2},   {0, 0},
                                                       {-7, 0}, {-8, 0}, {-100, 0}};
    for (const auto& [count, bytes] : sizes) {
        SCOPED_TRACE(count);
        RunSource("line 1\nlib 24, 0, " + std::to_string(count) + "\nend\n");
        EXPECT_EQ(Bits().size(), bytes);
    }
}

TEST_F(CFuncOneMesTest, SizesPastSixteenMillionMessagesAreRefused)
{
    RunSource("line 1\nlib 24, 0, 16777216\nend\n");
    EXPECT_EQ(Bits().size(), 2u * 1024 * 1024);
    for (const char* count : {"16777217", "2147483647"}) {
        RunSource(std::string("line 1\nlib 24, 0, ") + count + "\nend\n");
        EXPECT_EQ(TakeMessageBoxes().size(), 1u) << count;
        EXPECT_EQ(Bits().size(), 2u * 1024 * 1024) << count;
    }
}

TEST_F(CFuncOneMesTest, MarksAndTestsInBitOrder)
{
    RunSource("line 1\nlib 24, 0, 64\n"
              "lib 24, 4, 0\nlib 24, 4, 9\nlib 24, 4, 63\nlib 24, 4, -1\n"
              "lib 24, 5, 9\nlib 24, 5, 10\nlib 24, 5, 63\nlib 24, 5, -1\n"
              "end\n");
    EXPECT_TRUE(TakeMessageBoxes().empty());
    EXPECT_EQ(Bits(), (std::vector<uint8_t>{0x80, 0x40, 0, 0, 0, 0, 0, 0x01}));
    EXPECT_EQ(StackIntegers(), (std::vector<int32_t>{1, 0, 1, 1}));

    RunSource("line 3\nlib 24, 5, 64\nlib 24, 4, 64\nend\n");
    EXPECT_EQ(
        TakeMessageBoxes(),
        (std::vector<std::string>{
            "test.mes(3)\n既読バッファを超えてチェックしようとしています。 n = 64  adv = test.mes line = 3",
            "test.mes(3)\n既読バッファを超えて登録しようとしています。 n = 64 adv = test.mes  line = 3"}));
    EXPECT_EQ(StackIntegers(), (std::vector<int32_t>{1, 0, 1, 1, 0}));

    RunSource("line 1\nlib 24, 1\nend\n");
    EXPECT_EQ(Bits(), std::vector<uint8_t>(8, 0));
}

TEST_F(CFuncOneMesTest, SavesAndLoadsAsManyBytesAsTheBufferHolds)
{
    RunSource("line 1\nlib 24, 3\nlib 24, 2\nend\n");
    EXPECT_EQ(TakeMessageBoxes(),
              (std::vector<std::string>{"test.mes(1)\n既読バッファが作成されていません",
                                        "test.mes(1)\n既読バッファが作成されていません"}));
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "onemes.dat"));

    RunSource("line 1\nlib 24, 0, 800\nlib 24, 4, 0\nlib 24, 4, 399\nlib 24, 4, 799\nlib 24, 3\nend\n");
    EXPECT_TRUE(TakeMessageBoxes().empty());
    ExpectFile("onemes.dat", GameFileKind::ReadBuffer, "messages 800\nread 0\nread 399\nread 799\n");
    EXPECT_EQ(Get("onemes.dat").size(), 100u);

    // Into 50 bytes: the file's first 50.
    RunSource("line 1\nlib 24, 0, 400\nlib 24, 1\nlib 24, 2\nend\n");
    EXPECT_EQ(Bits().size(), 50u);
    EXPECT_EQ(Bits()[0], 0x80);
    EXPECT_EQ(Bits()[49], 0x01);

    // A shorter file fills only its own length.
    Put("onemes.dat", GameFileKind::ReadBuffer, "messages 16\nread 8\n");
    Bits().assign(4, 0xFF);
    RunSource("line 1\nlib 24, 2\nend\n");
    EXPECT_EQ(Bits(), (std::vector<uint8_t>{0, 0x80, 0xFF, 0xFF}));

    // A missing file is reported and leaves the bits.
    std::filesystem::remove(m_dir.Path() / "onemes.dat");
    RunSource("line 1\nlib 24, 2\nend\n");
    EXPECT_EQ(TakeMessageBoxes(),
              std::vector<std::string>{"test.mes(1)\n" + m_folder + "onemes.dat が存在しません"});
    EXPECT_EQ(Bits(), (std::vector<uint8_t>{0, 0x80, 0xFF, 0xFF}));
}

TEST_F(CFuncOneMesTest, AFailedSaveKeepsTheOldFile)
{
    Put("onemes.dat", GameFileKind::ReadBuffer, "messages 8\nread 1\n");
    std::filesystem::create_directory(m_dir.Path() / "onemes.dat.tmp"); // the temporary cannot be made
    Bits() = {0xFF, 0xFF};
    CFuncOneMes group;
    EXPECT_FALSE(group.SaveReadBuffer());
    EXPECT_EQ(TakeMessageBoxes(), std::vector<std::string>{m_folder + "onemes.dat が作成出来ません"});
    ExpectFile("onemes.dat", GameFileKind::ReadBuffer, "messages 8\nread 1\n");
}
