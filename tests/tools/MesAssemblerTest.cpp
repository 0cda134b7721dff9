#include "mesasm/MesAssembler.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mesasm/MesDisassembler.h"

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

namespace {

std::vector<uint8_t> Code(const std::string& source)
{
    const tools::AssembledScript script = tools::AssembleScript(source);
    EXPECT_TRUE(script.Ok) << script.Error;
    return tools::CodeOf(script.File);
}

std::string ErrorOf(const std::string& source)
{
    const tools::AssembledScript script = tools::AssembleScript(source);
    EXPECT_FALSE(script.Ok);
    return script.Error;
}

} // namespace

TEST(MesAssembler, HeaderTablesAndForwardLabels)
{
    const tools::AssembledScript script = tools::AssembleScript(R"(
        .resume start
        .choice later
    start:  jmp later      ; a forward reference
            push -1
    later:  resume start
            end
    )");
    ASSERT_TRUE(script.Ok) << script.Error;
    EXPECT_THAT(script.File, ElementsAreArray(std::vector<uint8_t>{
                                 1,    0,    0,    0,    1,    0, 0, 0, // one resume and one choice entry
                                 0,    0,    0,    0,                   // start: offset 0
                                 10,   0,    0,    0,                   // later: offset 10
                                 0x15, 0,    0,    0,    10,            // jmp later
                                 0x32, 0xFF, 0xFF, 0xFF, 0xFF,          // push -1
                                 0x19, 0,    0,    0,    0,             // resume table index 0
                                 0x00}));
}

TEST(MesAssembler, LiteralsInTheirEncodings)
{
    EXPECT_THAT(Code("push 0x7FFFFFFF\npush \"é\\n\"\npush sj\"あ\"\npush x\"01 ff\""),
                ElementsAreArray(std::vector<uint8_t>{0x32, 0x7F, 0xFF, 0xFF, 0xFF, //
                                                      0x33, 0xC3, 0xA9, 0x0A, 0x00, // UTF-8
                                                      0x33, 0x82, 0xA0, 0x00,       // CP932
                                                      0x33, 0x01, 0xFF, 0x00}));
}

TEST(MesAssembler, StoryTextUsesOneByteFormsAndStartsEitherWay)
{
    // あ 0x82A0 is 0x02 in its one-byte form, which is no lead byte, so the run needs 0A;
    // 亜 0x889F has no one-byte form and starts the run with its lead byte; １ 0x8250 is 0xB2;
    // ア 0x8341 lies past the one-byte range.
    EXPECT_THAT(Code("text \"あ\"\ntext \"亜あ\"\ntext \"１ア\"\ntext0a \"亜\"\ntextwide \"あ\""),
                ElementsAreArray(std::vector<uint8_t>{0x0A, 0x02, 0x00,             //
                                                      0x88, 0x9F, 0x02, 0x00,       //
                                                      0x0A, 0xB2, 0x83, 0x41, 0x00, //
                                                      0x0A, 0x88, 0x9F, 0x00,       //
                                                      0x82, 0xA0, 0x00}));
    EXPECT_THAT(Code("rawtext \"a\"\nnewline\nshifted\nescape 9"),
                ElementsAreArray(std::vector<uint8_t>{0x0B, 'a', 0x00, 0x1C, 0x00, 0x1C, 0x01, 0x1C, 0x09}));
}

TEST(MesAssembler, CallsPushTheirArgumentsLastFirst)
{
    EXPECT_THAT(Code("lib 21, 2, \"a\", 5\ncall 9\nline 3\nstflag 4\nldvar"),
                ElementsAreArray(std::vector<uint8_t>{0x32, 0,    0,    0, 5,  // last argument first
                                                      0x33, 'a',  0x00,        //
                                                      0x32, 0,    0,    0, 2,  // sub-function
                                                      0x32, 0,    0,    0, 21, // library ID
                                                      0x18,                    //
                                                      0x32, 0,    0,    0, 9,  0x17, 0x32, 0,    0,   0,
                                                      3,    0xFF, 0x32, 0, 0,  0,    4,    0x0C, 0x05}));
}

TEST(MesAssembler, FunctionsAndChoicesSkipTheirBodies)
{
    EXPECT_THAT(Code("func 7, 2\nreturn\nendfunc\nchoice 1\nend\nendchoice\nbranch 2, 0"),
                ElementsAreArray(std::vector<uint8_t>{0x32, 0, 0, 0, 2,  // parameter count
                                                      0x32, 0, 0, 0, 7,  // ID
                                                      0x16, 0, 0, 0, 16, // after the body
                                                      0x01,              // body
                                                      0x32, 0, 0, 0, 1,  0x1B, 0, 0, 0, 27, 0x00,
                                                      0x32, 0, 0, 0, 2,  0x1B, 0, 0, 0, 0}));
}

TEST(MesAssembler, ErrorsNameTheirLine)
{
    EXPECT_EQ(ErrorOf("push 1\nfrobnicate"), "line 2: unknown instruction \"frobnicate\"");
    EXPECT_EQ(ErrorOf("jmp nowhere"), "line 1: label \"nowhere\" is not defined");
    EXPECT_EQ(ErrorOf("a:\na:"), "line 2: label \"a\" is defined twice");
    EXPECT_EQ(ErrorOf("\nfunc 1, 0\nreturn"), "line 2: \"endfunc\" has no end");
    EXPECT_EQ(ErrorOf("endchoice"), "line 1: \"endchoice\" closes nothing");
    EXPECT_EQ(ErrorOf("text \"abc\""), "line 1: story text holds a character without a two-byte code");
    EXPECT_EQ(ErrorOf("a:\nresume a"), "line 2: label \"a\" is not in the resume table");
    EXPECT_EQ(ErrorOf("push 1\n.resume gone"), "line 2: label \"gone\" is not defined");
    EXPECT_EQ(ErrorOf(".choice gone"), "line 1: label \"gone\" is not defined");
    EXPECT_EQ(ErrorOf("push \"open"), "line 1: a text is not closed");
    EXPECT_EQ(ErrorOf("push 0x100000000"), "line 1: bad integer \"0x100000000\"");
}

TEST(MesDisassembler, ListsInstructionsWithOffsets)
{
    const tools::AssembledScript script =
        tools::AssembleScript(".resume a\na: push 3\ntext \"あ\"\njz a\npush \"t\"\nop 0x77\nend");
    ASSERT_TRUE(script.Ok);
    EXPECT_EQ(tools::DisassembleScript(script.File), ".resume 0 -> 000000\n"
                                                     "000000  push 3 (00000003)\n"
                                                     "000005  text0a [82A0]\n"
                                                     "000008  jz 0 (00000000)\n"
                                                     "00000D  push \"t\"\n"
                                                     "000010  op 0x77\n"
                                                     "000011  end\n");
    EXPECT_THAT(tools::DisassembleScript({1, 0, 0, 0, 9, 0, 0, 0}), HasSubstr("run past the end"));
}
