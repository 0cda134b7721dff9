#include <gtest/gtest.h>

#include <map>

#include "../ScriptTestFixture.h"
#include "script/ScriptState.h"
#include "script/commands/IFunc.h"

using ::testing::ElementsAre;

namespace {

// Pops the sub-function number and two arguments in pop order and pushes first - second, so a
// test sees both the dispatch and the argument order.
class SubtractGroup final : public IFunc
{
public:
    void Call(CScript&) override
    {
        const int32_t sub = Context->PopValue().Integer;
        const int32_t first = Context->PopValue().Integer;
        const int32_t second = Context->PopValue().Integer;
        Context->PushInteger(sub * 1000 + first - second);
    }
};

// The script switching of the script group, enough for these tests: 1 calls a script by name,
// 2 calls it as a resident script.
class ScriptSwitchGroup final : public IFunc
{
public:
    explicit ScriptSwitchGroup(std::map<std::string, ScriptRef>& scripts)
        : m_scripts(scripts)
    {}
    void Call(CScript&) override
    {
        const int32_t sub = Context->PopValue().Integer;
        // Attaching makes a new object each time; the map hands its script over.
        const auto found = m_scripts.find(Context->PopValue().Text.GetText());
        ASSERT_NE(found, m_scripts.end());
        const ScriptRef script = found->second;
        m_scripts.erase(found);
        if (sub == 2) {
            script->SetResident();
            GetScriptState().m_resident_scripts.push_back(script);
        }
        GetScriptState().CallScript(script);
    }

private:
    std::map<std::string, ScriptRef>& m_scripts;
};

// The choice key part of the select group.
class ChoiceKeyGroup final : public IFunc
{
public:
    void Call(CScript&) override
    {
        Context->PopValue();
        const int32_t key = Context->PopValue().Integer;
        Context->CurrentChoiceKey = key;
        Context->ChoiceBranches[key].clear();
    }
};

} // namespace

class ScriptFunctionTest : public ScriptTest
{
protected:
    ScriptFunctionTest()
    {
        State().Variables.resize(8);
        Context().SetLibraryGroup(21, [this] { return std::make_unique<ScriptSwitchGroup>(m_scripts); });
        Context().SetLibraryGroup(1, [] { return std::make_unique<ChoiceKeyGroup>(); });
    }

    std::map<std::string, ScriptRef> m_scripts;
};

TEST_F(ScriptFunctionTest, FunctionReadsItsArgumentsLastPushedFirst)
{
    Run(Assemble(R"(
        func 7, 2
            ldlocal 0
            ldlocal 1
            sub
            return
        endfunc
        push 10
        push 3
        call 7
        stvar 0
        end
    )"));
    EXPECT_EQ(State().Variables[0].Integer, -7) << m_listing; // 3 - 10
    EXPECT_TRUE(Stack().empty());
    EXPECT_TRUE(GetScriptState().LocalFrameStack.empty());
    EXPECT_TRUE(TakeMessageBoxes().empty());
}

TEST_F(ScriptFunctionTest, NestedCallsEachGetTheirOwnFrame)
{
    ScriptRef script = Assemble(R"(
        func 5, 1
            ldlocal 0
            push 1
            le
            jz recurse
            push 1
            return
        recurse:
            ldlocal 0
            ldlocal 0
            push 1
            sub
            call 5
            mul
            return
        endfunc
        push 5
        call 5
        stvar 0
        end
    )");
    const int live_before = CScript::GetLiveScriptCount();
    Run(script);
    EXPECT_EQ(State().Variables[0].Integer, 120) << m_listing;
    EXPECT_TRUE(GetScriptState().LocalFrameStack.empty());
    EXPECT_TRUE(GetScriptState().m_script_stack.empty());
    EXPECT_TRUE(GetScriptState().m_suspended_callers.empty());
    // The current script, the stack and the suspended callers all shared one object; it is
    // still alive only through the test and the registered function.
    EXPECT_EQ(CScript::GetLiveScriptCount(), live_before);
    EXPECT_EQ(script.use_count(), 2);
    Context().Functions.clear();
    EXPECT_EQ(script.use_count(), 1);
}

TEST_F(ScriptFunctionTest, DuplicateFunctionIsReportedAndTheFirstBodyRuns)
{
    Run(Assemble(R"(
        func 7, 0
            push 1
            return
        endfunc
        line 9
        func 7, 0
            push 2
            return
        endfunc
        call 7
        end
    )"));
    EXPECT_THAT(StackIntegers(), ElementsAre(1)) << m_listing;
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "test.mes(9)\nLiblary ID:7 は既に登録されている関数です");
}

TEST_F(ScriptFunctionTest, CallOfAnUnknownFunctionLeavesItsArguments)
{
    Run(Assemble("push 4\npush 5\ncall 9\nend"));
    EXPECT_THAT(StackIntegers(), ElementsAre(4, 5));
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "test.mes(0)\nLiblary ID:9 は登録されていない関数です");
    EXPECT_TRUE(GetScriptState().LocalFrameStack.empty());
}

TEST_F(ScriptFunctionTest, MissingArgumentsAreReportedAndEmpty)
{
    Run(Assemble(R"(
        func 3, 2
            ldlocal 1
            return
        endfunc
        push 8
        call 3
        end
    )"));
    EXPECT_THAT(StackIntegers(), ElementsAre(0));
    EXPECT_EQ(TakeMessageBoxes().size(), 1u);
}

TEST_F(ScriptFunctionTest, ImpossibleParameterCountIsRefused)
{
    Run(Assemble(R"(
        func 3, -1
            return
        endfunc
        call 3
        end
    )"));
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "test.mes(0)\nLiblary ID:3 は引数 4294967295 個では登録できない関数です");
    EXPECT_EQ(boxes[1], "test.mes(0)\nLiblary ID:3 は登録されていない関数です");
}

TEST_F(ScriptFunctionTest, FunctionOfAResidentScriptServesOtherScripts)
{
    m_scripts["lib.mes"] = Assemble(R"(
        func 3, 1
            ldlocal 0
            push 100
            add
            return
        endfunc
        end
    )",
                                    "lib.mes");
    ScriptRef main_script = Assemble(R"(
        lib 21, 2, "lib.mes"
        push 5
        call 3
        stvar 0
        end
    )",
                                     "main.mes");
    Run(main_script);
    EXPECT_EQ(State().Variables[0].Integer, 105) << m_listing;
    ASSERT_EQ(GetScriptState().m_resident_scripts.size(), 1u);
    EXPECT_TRUE(GetScriptState().m_resident_scripts[0]->IsResident());
    EXPECT_TRUE(TakeMessageBoxes().empty());
}

TEST_F(ScriptFunctionTest, FunctionOutlivesTheEndOfItsNonResidentScript)
{
    ScriptRef library = Assemble(R"(
        func 4, 0
            push 44
            return
        endfunc
        end
    )",
                                 "lib.mes");
    m_scripts["lib.mes"] = library;
    ScriptRef main_script = Assemble(R"(
        lib 21, 1, "lib.mes"
        call 4
        stvar 0
        end
    )",
                                     "main.mes");
    const std::weak_ptr<CScript> watch = library;
    library.reset();
    Run(main_script);
    EXPECT_EQ(State().Variables[0].Integer, 44);
    // The script that defined the function ended and left the script stack; the function kept
    // it alive and called it again after that.
    EXPECT_FALSE(watch.expired());
    Context().Functions.clear();
    EXPECT_TRUE(watch.expired());
}

TEST_F(ScriptFunctionTest, LibraryCallPopsArgumentsInListedOrder)
{
    Context().SetLibraryGroup(11, [] { return std::make_unique<SubtractGroup>(); });
    Run(Assemble("lib 11, 2, 30, 12\nend"));
    EXPECT_THAT(StackIntegers(), ElementsAre(2018)) << m_listing;
}

TEST_F(ScriptFunctionTest, LibraryIdWithoutGroupIsReportedAndKeepsTheArguments)
{
    Run(Assemble(R"(
        line 3
        lib 5, 1, 99
        lib 0, 7
        lib 30, 8
        lib -1, 9
        end
    )"));
    EXPECT_THAT(StackIntegers(), ElementsAre(99, 1, 7, 8, 9)) << m_listing;
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 4u);
    for (const std::string& box : boxes)
        EXPECT_EQ(box, "test.mes(3)\n登録されていないファンクションの呼び出しです");
}

TEST_F(ScriptFunctionTest, ExecGroupLivesWithTheContext)
{
    auto exec = std::make_unique<SubtractGroup>();
    Context().SetExecGroup(std::move(exec));
    Run(Assemble("lib 29, 0, 9, 4\nlib 29, 1, 1, 1\nend"));
    EXPECT_THAT(StackIntegers(), ElementsAre(5, 1000));
}

TEST_F(ScriptFunctionTest, ChoiceBranchesGoUnderTheCurrentKey)
{
    ScriptRef script = Assemble(R"(
        lib 1, 0, 5
        choice 10
            push 1
            stvar 0
            end
        endchoice
        choice 20
            push 2
            stvar 0
            end
        endchoice
        lib 1, 0, 6
        branch 30, after
        push 3
        stvar 0
        end
    after:
        end
    )");
    Run(script);
    EXPECT_EQ(State().Variables[0].Integer, 0) << m_listing; // no branch body ran
    ASSERT_EQ(Context().ChoiceBranches[5].size(), 2u);
    ASSERT_EQ(Context().ChoiceBranches[6].size(), 1u);
    EXPECT_EQ(Context().ChoiceBranches[5][0].Value, 10);
    EXPECT_EQ(Context().ChoiceBranches[5][1].Value, 20);
    EXPECT_EQ(Context().ChoiceBranches[6][0].Value, 30);
    // "lib 1, 0, 5" is three pushes and the call (16 bytes); "push 10" and the branch
    // instruction end at 26, where the first body starts.
    EXPECT_EQ(Context().ChoiceBranches[5][0].BodyAddress.Offset, 26u);
    EXPECT_EQ(Context().ChoiceBranches[5][0].BodyAddress.Script, script);

    // Going into the second branch runs its body.
    const CodeAddress body = Context().ChoiceBranches[5][1].BodyAddress;
    body.Script->SetPosition(body.Offset);
    GetScriptState().ReplaceScript(body.Script);
    RunFrames();
    EXPECT_EQ(State().Variables[0].Integer, 2);

    // Selecting a used key again empties its list.
    Run(Assemble("lib 1, 0, 5\nend"));
    EXPECT_TRUE(Context().ChoiceBranches[5].empty());
    EXPECT_EQ(Context().ChoiceBranches[6].size(), 1u);
}

TEST_F(ScriptFunctionTest, EndOfACalledScriptResumesTheCaller)
{
    m_scripts["sub.mes"] = Assemble("push 2\nend", "sub.mes");
    ScriptRef main_script = Assemble("push 1\nlib 21, 1, \"sub.mes\"\npush 3\nend", "main.mes");
    GetScriptState().ReplaceScript(main_script);
    EXPECT_EQ(RunFrames(), 8);
    EXPECT_THAT(StackIntegers(), ElementsAre(1, 2, 3));
    EXPECT_STREQ(State().Name.GetText(), "sub.mes");
    EXPECT_EQ(Document().OnFrame(), 0u); // nothing left to run
}

TEST_F(ScriptFunctionTest, EndlessRecursionIsCutOff)
{
    Run(Assemble(R"(
        func 1, 1
            push 0
            call 1
            return
        endfunc
        push 0
        call 1
        end
    )"),
        100'000);
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "test.mes(0)\nLiblary ID:1 の呼び出しが 10000 段を超えています");
    EXPECT_TRUE(GetScriptState().LocalFrameStack.empty()); // every return unwound its frame
}
