#include "script/vm/ScriptContext.h"

#include <gtest/gtest.h>

#include <climits>

#include "../ScriptTestFixture.h"
#include "script/ScriptState.h"
#include "script/SelectManager.h"

using ::testing::ElementsAre;

class ScriptContextTest : public ScriptTest
{};

TEST_F(ScriptContextTest, ArithmeticWrapsAndTruncatesTowardZero)
{
    Run(Assemble(R"(
        push 7
        push 3
        sub
        push 6
        push -4
        mul
        push -7
        push 2
        div
        push -7
        push 2
        mod
        push 0x7FFFFFFF
        push 1
        add
        push 0x10000
        push 0x10000
        mul
        end
    )"));
    EXPECT_THAT(StackIntegers(), ElementsAre(4, -24, -3, -1, INT_MIN, 0)) << m_listing;
    EXPECT_TRUE(TakeMessageBoxes().empty());
}

TEST_F(ScriptContextTest, ZeroDivisorsAndTheOverflowingQuotientGiveZero)
{
    Run(Assemble(R"(
        push 5
        push 0
        div
        push 5
        push 0
        mod
        push -2147483648
        push -1
        div
        push -2147483648
        push -1
        mod
        push 9
        push 4
        mod
        end
    )"));
    EXPECT_THAT(StackIntegers(), ElementsAre(0, 0, 0, 0, 1)) << m_listing;
    EXPECT_TRUE(TakeMessageBoxes().empty());
}

TEST_F(ScriptContextTest, OnlyAnIntegerLeftOperandComputes)
{
    Run(Assemble(R"(
        push "ab"
        push 5
        sub
        push 10
        push "x"
        sub
        push "ab"
        push 3
        mul
        push 12
        push "x"
        band
        push 12
        push 10
        band
        push 12
        push 3
        bor
        end
    )"));
    // A text right operand contributes its integer, which is 0 for a pushed text.
    EXPECT_THAT(StackIntegers(), ElementsAre(0, 10, 0, 0, 8, 15)) << m_listing;
}

TEST_F(ScriptContextTest, AddJoinsTextsAndSumsIntegers)
{
    Run(Assemble(R"(
        push "ab"
        push "cd"
        add
        push "ab"
        push 5
        add
        push 3
        push "x"
        add
        end
    )"));
    ASSERT_EQ(Stack().size(), 3u);
    EXPECT_EQ(Stack()[0].Type, 1u);
    EXPECT_STREQ(Stack()[0].Text.GetText(), "abcd");
    EXPECT_EQ(Stack()[1].Type, 1u);
    EXPECT_STREQ(Stack()[1].Text.GetText(), "ab"); // an integer contributes its empty text
    EXPECT_EQ(Stack()[2].Type, 0u);
    EXPECT_EQ(Stack()[2].Integer, 3);
    EXPECT_TRUE(Stack()[2].Text.IsEmpty());
}

TEST_F(ScriptContextTest, ComparisonsAreSignedAndTyped)
{
    Run(Assemble(R"(
        push -1
        push 1
        lt
        push -1
        push 1
        gt
        push 4
        push 4
        le
        push 3
        push 4
        ge
        push "a"
        push 0
        eq
        push "a"
        push 0
        ne
        push "abc"
        push "abc"
        eq
        push "abc"
        push "abd"
        eq
        push "abc"
        push "abd"
        ne
        push 7
        push 7
        eq
        push 1
        push 2
        and
        push 1
        push 1
        and
        push 2
        push 0
        or
        push 0
        push 1
        or
        end
    )"));
    EXPECT_THAT(StackIntegers(), ElementsAre(1, 0, 1, 0, 0, 1, 1, 0, 1, 1, 0, 1, 0, 1)) << m_listing;
}

TEST_F(ScriptContextTest, RandomFollowsTheEnginesDrawForAFixedSeed)
{
    Context().SeedRandom(5489);
    // The first outputs of mt19937 seeded with 5489 are 3499211612, 581869302, 3890346734. Ranges
    // below 191932355 draw from [0, 191932354]: 3499211612 mod 191932355 = 44429222, which is
    // 2 mod 10; a range of 0 draws nothing and gives 0; a negative range draws too:
    // 581869302 mod 191932355 = 6072237, which is 2 mod -5; 3890346734 mod 191932355 = 51699634,
    // which is 634 mod 1000.
    Run(Assemble(R"(
        push 10
        rand
        push 0
        rand
        push -5
        rand
        push 1000
        rand
        end
    )"));
    EXPECT_THAT(StackIntegers(), ElementsAre(2, 0, 2, 634)) << m_listing;

    // A large range draws from [0, n - 1] itself: the fourth output, 3586334585, less
    // 2147483647 is 1438850938.
    Run(Assemble("push 2147483647\nrand\npush 1\nrand\nend"));
    EXPECT_THAT(StackIntegers(), ElementsAre(2, 0, 2, 634, 1438850938, 0));
}

TEST_F(ScriptContextTest, ConditionalJumpTestsTheIntegerWhateverTheType)
{
    State().Variables.resize(4);
    Run(Assemble(R"(
        push 0
        jz skip1
        push 1
        stvar 0
    skip1:
        push 1
        jz skip2
        push 1
        stvar 1
    skip2:
        push "text"
        jz skip3
        push 1
        stvar 2
    skip3:
        jmp skip4
        push 1
        stvar 3
    skip4:
        end
    )"));
    EXPECT_EQ(State().Variables[0].Integer, 0) << m_listing;
    EXPECT_EQ(State().Variables[1].Integer, 1);
    EXPECT_EQ(State().Variables[2].Integer, 0);
    EXPECT_EQ(State().Variables[3].Integer, 0);
    EXPECT_TRUE(Stack().empty());
}

TEST_F(ScriptContextTest, CountingLoopSumsOneToTen)
{
    State().Variables.resize(2);
    const int steps = Run(Assemble(R"(
        push 1
        stvar 0          ; i
    loop:
        ldvar 1
        ldvar 0
        add
        stvar 1          ; sum += i
        ldvar 0
        push 1
        add
        stvar 0
        ldvar 0
        push 11
        lt
        jz done
        jmp loop
    done:
        end
    )"));
    EXPECT_EQ(State().Variables[1].Integer, 55) << m_listing;
    EXPECT_EQ(State().Variables[0].Integer, 11);
    EXPECT_GT(steps, 100);
}

TEST_F(ScriptContextTest, StoresClampOrCutAsEachBankDoes)
{
    State().Flags.resize(4);
    State().Words.resize(4);
    State().Bytes.resize(12);
    Run(Assemble(R"(
        push 300
        stflag 0
        push -5
        stflag 1
        push -1
        stword 0
        push 65537
        stword 1
        push 300
        stbyte 0
        push 0x01020304
        stbyte32 1
        push 0xABCD1234
        stbyte16 4
        ldbyte16 2
        ldbyte32 1
        ldbyte 0
        ldflag 0
        ldword 1
        end
    )"));
    EXPECT_EQ(State().Flags[0], 255);
    EXPECT_EQ(State().Flags[1], 0);
    EXPECT_EQ(State().Words[0], 0);
    EXPECT_EQ(State().Words[1], 1);
    EXPECT_EQ(State().Bytes[0], 44);
    // Element 1 of the 32-bit view is bytes 4-7, little-endian; element 4 of the 16-bit view
    // is bytes 8-9.
    EXPECT_THAT(State().Bytes, ElementsAre(44, 0, 0, 0, 0x04, 0x03, 0x02, 0x01, 0x34, 0x12, 0, 0));
    EXPECT_THAT(StackIntegers(), ElementsAre(0x0304, 0x01020304, 44, 255, 1)) << m_listing;
    EXPECT_TRUE(TakeMessageBoxes().empty());
}

TEST_F(ScriptContextTest, ValueBanksKeepTypeAndText)
{
    State().Variables.resize(3);
    Run(Assemble(R"(
        push "名前"
        stvalue 3
        ldvalue 3
        push "x"
        add
        stvar 2
        end
    )"));
    EXPECT_EQ(State().Values[3].Type, 1u);
    EXPECT_STREQ(State().Values[3].Text.GetText(), "名前");
    EXPECT_STREQ(State().Variables[2].Text.GetText(), "名前x");
}

TEST_F(ScriptContextTest, OutOfRangeBankAccessReadsEmptyAndIgnoresStores)
{
    State().Flags.resize(10);
    State().Bytes.resize(6);
    Run(Assemble(R"(
        line 12
        ldflag 10
        push 7
        stflag -1
        ldbyte32 1
        push 5
        stbyte16 3
        ldvalue 56
        ldlocal 0
        push 1
        stlocal 0
        end
    )"));
    EXPECT_THAT(StackIntegers(), ElementsAre(0, 0, 0, 0)) << m_listing;
    for (const ScriptValue& value : Stack())
        EXPECT_EQ(value.Type, 0u);
    EXPECT_THAT(State().Bytes, ElementsAre(0, 0, 0, 0, 0, 0));
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 7u); // one report per faulty access
    EXPECT_EQ(boxes[0], "test.mes(12)\nFlags[10] は範囲外の番号です（10 個）");
    EXPECT_EQ(boxes[1], "test.mes(12)\nFlags[-1] は範囲外の番号です（10 個）");
    EXPECT_EQ(boxes[5], "test.mes(12)\n関数の外で Locals[0] を読み込んでいます");
    EXPECT_EQ(boxes[6], "test.mes(12)\n関数の外で Locals[0] に書き込んでいます");
}

TEST_F(ScriptContextTest, BankAccessWithoutGameStateIsReported)
{
    ScriptRef script = Assemble("ldflag 0\npush 1\nstvar 0\nend");
    GetScriptState().m_current_state.reset();
    Run(script);
    EXPECT_THAT(StackIntegers(), ElementsAre(0));
    EXPECT_EQ(TakeMessageBoxes().size(), 2u);
}

TEST_F(ScriptContextTest, PoppingAnEmptyStackReportsEachTimeAndYieldsEmpty)
{
    Run(Assemble("add\nend"));
    EXPECT_THAT(StackIntegers(), ElementsAre(0));
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "test.mes(0)\nスタックが存在しません");
}

TEST_F(ScriptContextTest, DiscardAndLineInstructions)
{
    ScriptRef script = Assemble(R"(
        push 1
        push 2
        push 3
        push 4
        drop3
        line 42
        op 0x20
        op 0xFA
        end
    )");
    Run(script);
    EXPECT_THAT(StackIntegers(), ElementsAre(1));
    EXPECT_EQ(script->Line, 42u);
}

TEST_F(ScriptContextTest, ResumeAndChoicePointsRefreshTheSnapshot)
{
    ScriptValueArray record;
    record.SetKey(0x00010002);
    record.Values.push_back(ScriptValue::FromInteger(5));
    GetScriptState().SaveDataTable->Store(record);
    ScriptRef script = Assemble(R"(
        .resume here
        .resume there
        .choice pick
    here:
        resume there
        end
    there:
    pick:
        choicepoint pick
        end
    )");
    GetScriptState().ReplaceScript(script);
    StepCurrent();
    EXPECT_EQ(State().Values[52].Integer, 1);
    ASSERT_EQ(GetScriptState().SaveDataSnapshot->GetCount(), 1u);
    EXPECT_EQ(GetScriptState().SaveDataSnapshot->GetAt(0).Values[0].Integer, 5);

    record.Values[0] = ScriptValue::FromInteger(6);
    GetScriptState().SaveDataTable->Store(record);
    EXPECT_EQ(script->JumpToTableB(0), script->JumpToTableA(1));
    // The choice point also records a snapshot: the live table and the script stack.
    GetScriptState().m_select_manager = std::make_unique<SelectManager>();
    GetScriptState().m_script_stack = {script};
    State().Variables.assign(3, ScriptValue::FromInteger(4));
    StepCurrent();
    EXPECT_EQ(State().Values[54].Integer, 0);
    EXPECT_EQ(GetScriptState().SaveDataSnapshot->GetAt(0).Values[0].Integer, 6);
    const SelectManager& list = *GetScriptState().m_select_manager;
    ASSERT_EQ(list.Buffers.size(), 1u);
    EXPECT_EQ(list.Current, 0);
    const SelectBuffer& snapshot = *list.Buffers[0];
    EXPECT_EQ(snapshot.GetVariables().size(), 3u);
    ASSERT_NE(snapshot.Table.Find(0x00010002), nullptr);
    EXPECT_EQ(snapshot.Table.Find(0x00010002)->Values[0].Integer, 6);
    const ScriptValueArray* stack = snapshot.Table.Find(SCRIPT_STACK_KEY);
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(stack->Values[0].Text, "test.mes");
    EXPECT_EQ(stack->Values[2].Integer, 1);
    GetScriptState().m_script_stack.clear();
    GetScriptState().m_select_manager.reset();
}

TEST_F(ScriptContextTest, ReadingPastTheEndOfTheCodeEndsTheScript)
{
    ScriptRef script = Assemble("push 1\npush 2");
    EXPECT_EQ(Run(script), 2);
    EXPECT_THAT(StackIntegers(), ElementsAre(1, 2));
    EXPECT_EQ(GetScriptState().m_current_script, nullptr);
}

TEST_F(ScriptContextTest, OperandCutOffByTheEndReadsZeroBytes)
{
    ScriptRef script = Assemble("bytes 0x32 0x00 0x01");
    Run(script);
    EXPECT_THAT(StackIntegers(), ElementsAre(0x00010000));
}

TEST_F(ScriptContextTest, JumpPastTheEndIsReportedAndEndsTheScript)
{
    State().Variables.resize(1);
    ScriptRef script = Assemble("jmp 1000\npush 1\nstvar 0\nend");
    EXPECT_EQ(Run(script), 1);
    EXPECT_EQ(State().Variables[0].Integer, 0);
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "test.mes(0)\nコード位置 1000 はコードの終端を越えています（17 バイト）");
}
