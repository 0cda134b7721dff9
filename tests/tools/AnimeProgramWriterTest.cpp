#include "animeasm/AnimeProgramWriter.h"

#include <gtest/gtest.h>

using namespace tools;

namespace {

uint32_t WordAt(const std::vector<uint8_t>& bytes, size_t at)
{
    return uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16 |
           uint32_t{bytes[at + 3]} << 24;
}

} // namespace

TEST(AnimeProgramWriter, LaysOutOffsetsCommandsAndCode)
{
    AnimeProgramWriter writer;
    EXPECT_EQ(writer.AddCommand(AnimeCommand{3, 1, 2, 3, 4, 5, 6}), 0u);
    writer.SetSlotCode(2, 5, AnimeCode().Wait(0x01020304).Command(0, 200).End());
    const std::vector<uint8_t> program = writer.Build();
    // Command table from byte 1280: seven little-endian words.
    for (uint32_t i = 0; i < 7; ++i)
        EXPECT_EQ(WordAt(program, 1280 + 4 * i), i == 0 ? 3u : i);
    // Slot 2/5 sits at offset index 2 x 32 + 5 = 69.
    const uint32_t code = WordAt(program, 69 * 4);
    ASSERT_LT(code + 11, program.size() + 1);
    const std::vector<uint8_t> expected = {2, 4, 3, 2, 1, 200, 0, 0, 0, 0, 255};
    EXPECT_EQ(std::vector<uint8_t>(program.begin() + code, program.begin() + code + 11), expected);
    // Every other slot points at a stop opcode past the command table.
    const uint32_t other = WordAt(program, 0);
    EXPECT_GE(other, 1280u + 28u);
    EXPECT_EQ(program[other], 255);
    EXPECT_EQ(WordAt(program, 319 * 4), other);
}

TEST(AnimeProgramWriter, TextAssemblesToTheSameBytes)
{
    AnimeProgramWriter writer;
    writer.AddCommand(AnimeCommand{1, 10, 20, 30, 40, 50, 60});
    writer.SetSlotCode(0, 0, AnimeCode().LoopA(3).Command(0).Hold(2).EndLoopA().Stop());
    writer.SetSlotCode(9, 31,
                       AnimeCode().Nop().LoopB(0).Wait(1).EndLoopB().Restart().Byte(7).Word(0x10).End());
    std::string error;
    const auto assembled = AssembleAnimeProgram(R"(
        ; one command, two slots
        command colorkey 10 20 30 40 50 60
        slot 0 0
            loop 3
            cmd 0
            hold 2      ; two frames
            endloop
            stop
        slot 9 31
            nop
            loopb 0
            wait 1
            endloopb
            restart
            byte 7
            word 0x10
            end
    )",
                                                error);
    ASSERT_TRUE(assembled) << error;
    EXPECT_EQ(*assembled, writer.Build());
}

TEST(AnimeProgramWriter, TextErrorsNameTheLine)
{
    const char* bad[] = {
        "slot 0 0\n  wait\n",      // operand missing
        "hold 3\n",                // code before any slot
        "slot 10 0\n",             // group out of range
        "slot 0 0\n  jump 4\n",    // unknown statement
        "command 0 1 2 3\n",       // too few numbers
        "slot 0 0\n  cmd 1 255\n", // not a command opcode
        "slot 0 0\n  byte 300\n",
    };
    for (const char* text : bad) {
        std::string error;
        EXPECT_FALSE(AssembleAnimeProgram(text, error)) << text;
        EXPECT_EQ(error.rfind("line ", 0), 0u) << text << " -> " << error;
    }
}
