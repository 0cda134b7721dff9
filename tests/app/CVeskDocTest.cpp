// The document's frame with each document code, its script stack (attach, replace, call, return,
// save and restore), the nested frame loop, the request word and the layer registry.

#include "DocumentFixture.h"

#include <gtest/gtest.h>

#include "app/AppMessageBox.h"
#include "app/CGameWork.h"
#include "app/CMouse.h"
#include "app/CVeskDoc.h"
#include "app/CVeskView.h"
#include "arcpack/ArchiveWriter.h"
#include "foundation/CExecException.h"
#include "foundation/GameCursor.h"
#include "foundation/GameDocument.h"
#include "foundation/MainView.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "mesasm/MesAssembler.h"
#include "platform/kernel/IdleWait.h"
#include "platform/kernel/SyncApi.h"
#include "platform/kernel/TimeApi.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/commands/IFunc.h"
#include "script/vm/CScript.h"
#include "script/vm/ScriptContext.h"
#include "support/ResidentPages.h"

namespace {

// Library group 11: sub-function n throws document code n.
class ThrowCodeGroup final : public IFunc
{
public:
    void Call(CScript&) override { throw static_cast<CVeskDoc::tagDOCUMENT_CODE>(Context->PopInteger()); }
};

class CVeskDocThreadTest : public DocumentFixture
{
protected:
    CVeskDoc* Start(const std::map<std::string, std::string>& scripts)
    {
        WriteScripts(scripts);
        CVeskDoc* document = GetDocument();
        document->StartGame();
        document->GetScript().m_current_state->Variables.resize(16);
        document->GetScript().m_script_context->SetLibraryGroup(11, [] { return std::make_unique<ThrowCodeGroup>(); });
        return document;
    }
    int32_t Variable(size_t index)
    {
        const FlagBuffer& state = *GetDocument()->GetScript().m_current_state;
        return index < state.Variables.size() ? state.Variables[index].Integer : -1;
    }
    // Frames until the main loop would end, at most the limit.
    int RunFrames(int limit = 100)
    {
        int frames = 0;
        while (frames < limit && GetDocument()->OnFrame() != 0)
            ++frames;
        return frames;
    }
};

class JoiningHook final : public IWinHook
{
public:
    int32_t HookProc(HWND, UINT, WPARAM, LPARAM) override { return 0; }
};

const char* const SUB_SCRIPT = "push 2\nstvar 6\nend\n";

TEST_F(CVeskDocThreadTest, Code0EndsTheMainLoop)
{
    CVeskDoc* document = Start({{"start.mes", "lib 11, 0\npush 1\nstvar 1\nend"}});
    EXPECT_EQ(document->OnFrame(), 1u); // pushes the arguments
    EXPECT_EQ(document->OnFrame(), 1u);
    EXPECT_EQ(document->OnFrame(), 0u);
    EXPECT_NE(Variable(1), 1) << "nothing after the quit ran";
    EXPECT_NE(document->GetScript().m_current_script, nullptr);
}

TEST_F(CVeskDocThreadTest, AFrameThatMovesTheScriptOnHasTheNextOneDueAtOnce)
{
    // The main loop rests between frames: without the note a script that did not draw would
    // run one opcode a rest.
    CVeskDoc* document = Start({{"start.mes", "push 1\nstvar 1\nend"}});
    platform::SetIdleWait(+[](uint32_t) { return false; }); // this thread's rests take the notes
    EXPECT_EQ(document->OnFrame(), 1u);
    const std::optional<uint32_t> due = platform::TakeDueTime();
    platform::SetIdleWait(nullptr);
    ASSERT_TRUE(due.has_value());
    EXPECT_LE(static_cast<int32_t>(*due - timeGetTime()), 0);
}

TEST_F(CVeskDocThreadTest, Code1ResumesTheSuspendedCallerWhereItStopped)
{
    CVeskDoc* document = Start({{"start.mes", "push 1\nstvar 5\nend"}, {"sub.mes", SUB_SCRIPT}});
    const std::shared_ptr<CScript> caller = document->GetScript().m_current_script;
    document->GetScript().CallScript(document->GetScript().AttachScript("sub.mes"));
    EXPECT_STREQ(document->GetScript().m_current_state->Name.GetText(), "sub.mes");
    ASSERT_EQ(document->GetScript().m_script_stack.size(), 2u);
    int frames = 0;
    while (document->GetScript().m_current_script != caller && frames < 50) {
        EXPECT_EQ(document->OnFrame(), 1u);
        ++frames;
    }
    EXPECT_EQ(document->GetScript().m_current_script, caller) << "sub.mes ended; its caller goes on";
    EXPECT_EQ(caller->GetPosition(), 0u);
    EXPECT_EQ(document->GetScript().m_script_stack.size(), 1u);
    EXPECT_EQ(Variable(6), 2);
    EXPECT_NE(Variable(5), 1);
    EXPECT_LT(RunFrames(), 100) << "start.mes ends with nobody waiting";
    EXPECT_EQ(Variable(5), 1);
}

TEST_F(CVeskDocThreadTest, Code2DropsTheFunctionsLocalFrame)
{
    CVeskDoc* document = Start({{"start.mes", R"(
        func 4, 1
            ldlocal 0
            stvar 2
            return
        endfunc
        push 9
        call 4
        push 1
        stvar 3
        end
    )"}});
    size_t deepest = 0;
    int frames = 0;
    while (frames < 100 && document->OnFrame() != 0) {
        deepest = std::max(deepest, document->GetScript().LocalFrameStack.size());
        ++frames;
    }
    EXPECT_EQ(deepest, 1u);
    EXPECT_TRUE(document->GetScript().LocalFrameStack.empty());
    EXPECT_EQ(Variable(2), 9);
    EXPECT_EQ(Variable(3), 1) << "the caller went on after the return";
}

TEST_F(CVeskDocThreadTest, Code3RestoresTheSavedScriptStack)
{
    CVeskDoc* document =
        Start({{"start.mes", "lib 11, 3\nend"}, {"main.mes", SUB_SCRIPT}, {"sub.mes", SUB_SCRIPT}});
    ScriptValueArray bottom;
    bottom.SetKey(SCRIPT_STACK_KEY | 0);
    bottom.Values = {ScriptValue::FromText("main.mes"), ScriptValue::FromInteger(5),
                     ScriptValue::FromInteger(0)};
    ScriptValueArray top;
    top.SetKey(SCRIPT_STACK_KEY | 1);
    top.Values = {ScriptValue::FromText("sub.mes"), ScriptValue::FromInteger(0), ScriptValue::FromInteger(1)};
    document->GetScript().SaveDataTable->Store(bottom);
    document->GetScript().SaveDataTable->Store(top);

    EXPECT_EQ(RunFrames(3), 3);
    ASSERT_EQ(document->GetScript().m_script_stack.size(), 2u);
    EXPECT_STREQ(document->GetScript().m_script_stack[0]->GetName().GetText(), "main.mes");
    EXPECT_EQ(document->GetScript().m_script_stack[0]->GetPosition(), 5u);
    EXPECT_STREQ(document->GetScript().m_current_script->GetName().GetText(), "sub.mes");
    EXPECT_EQ(document->GetScript().m_current_script->GetPosition(), 0u);
    ASSERT_EQ(document->GetScript().m_suspended_callers.size(), 1u);
    EXPECT_EQ(document->GetScript().m_suspended_callers[0].Script, document->GetScript().m_script_stack[0]);
}

TEST_F(CVeskDocThreadTest, Code4AndUnknownCodesGoOn)
{
    CVeskDoc* document = Start({{"start.mes", "lib 11, 4\nlib 11, 77\npush 1\nstvar 4\nend"}});
    EXPECT_LT(RunFrames(), 100);
    EXPECT_EQ(Variable(4), 1);
    EXPECT_EQ(document->GetScript().m_current_script, nullptr);
}

// Back at the title the snapshot a save would take its picture from is no longer held: the stack
// layer gives its pixels back, unless a snapshot is still marked as taken.
TEST_F(CVeskDocThreadTest, ReturnToTitleGivesTheStackLayersPixelsBackUnlessASnapshotIsHeld)
{
    Start({{"start.mes", "lib 11, 4\nlib 11, 4\nend"}});
    ILayer* stack = GetSpriteLayerRegistry().GetStackLayer()->GetLayer();
    stack->FillRect(0, 0, 1920, 1080, 0xFF204060, 1);
    const size_t drawn = ResidentBytes(stack);
    ASSERT_GT(drawn, size_t{1920 * 1000 * 4});
    // Each code takes two frames: its push, then the call that throws it.
    GetGameWork()->SetStatusBits(STATUS_SNAPSHOT_TAKEN);
    EXPECT_EQ(RunFrames(2), 2);
    EXPECT_EQ(ResidentBytes(stack), drawn) << "the snapshot held was given back";
    GetGameWork()->ClearStatusBits(STATUS_SNAPSHOT_TAKEN);
    EXPECT_EQ(RunFrames(2), 2);
    EXPECT_EQ(ResidentBytes(stack), 0u);
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(stack->GetPixelPtr(100, 100)), 0u);
}

TEST_F(CVeskDocThreadTest, ResidentScriptSurvivesItsEndAndReplacement)
{
    CVeskDoc* document = Start({{"start.mes", "end"}, {"res.mes", "end"}, {"main.mes", "end"}});
    const std::shared_ptr<CScript> start = document->GetScript().m_current_script;
    std::shared_ptr<CScript> resident = document->GetScript().AttachScript("res.mes");
    resident->SetEnded();
    document->GetScript().m_resident_scripts.push_back(resident);
    document->GetScript().CallScript(resident);
    EXPECT_EQ(document->GetScript().m_script_stack.size(), 1u) << "a resident script is never stacked by a call";

    EXPECT_EQ(document->GetScript().PopScript(), 1u);
    EXPECT_EQ(document->GetScript().m_current_script, start);
    EXPECT_EQ(document->GetScript().m_script_stack.size(), 1u);

    document->GetScript().m_script_stack.push_back(resident);
    document->GetScript().ReplaceScript(document->GetScript().AttachScript("main.mes"));
    ASSERT_EQ(document->GetScript().m_script_stack.size(), 2u);
    EXPECT_EQ(document->GetScript().m_script_stack[0], resident);
    EXPECT_STREQ(document->GetScript().m_script_stack[1]->GetName().GetText(), "main.mes");
    EXPECT_TRUE(document->GetScript().m_suspended_callers.empty());
    EXPECT_EQ(document->GetScript().PopScript(), 0u);
}

TEST_F(CVeskDocThreadTest, ScriptStackSavesAndRestoresWithTheResumeLabel)
{
    CVeskDoc* document =
        Start({{"start.mes", "push 1\npush 2\nend"},
               {"top.mes",
                ".resume a\n.resume b\nresume 1\nend\na: push 1\nstvar 7\nend\nb: push 2\nstvar 7\nend"}});
    RunFrames(2);
    const uint32_t start_position = document->GetScript().m_current_script->GetPosition();
    document->GetScript().CallScript(document->GetScript().AttachScript("top.mes"));
    document->OnFrame(); // "resume 1" records label 1 as the place to come back to

    ScriptValueTable table;
    document->GetScript().SaveScriptStack(table);
    ASSERT_EQ(table.GetCount(), 2u);
    const ScriptValueArray* first = table.Find(0xFFFF0000u);
    const ScriptValueArray* second = table.Find(0xFFFF0001u);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(first->Values[0].Text.GetText(), "start.mes");
    EXPECT_EQ(first->Values[1].Integer, static_cast<int32_t>(start_position));
    EXPECT_EQ(first->Values[2].Integer, 0);
    EXPECT_STREQ(second->Values[0].Text.GetText(), "top.mes");
    EXPECT_EQ(second->Values[1].Integer, 1);
    EXPECT_EQ(second->Values[2].Integer, 1);

    // A later save replaces the group instead of adding to it.
    document->GetScript().SaveScriptStack(table);
    EXPECT_EQ(table.GetCount(), 2u);

    document->GetScript().ReplaceScript(document->GetScript().AttachScript("start.mes"));
    document->GetScript().RestoreScriptStack(table);
    ASSERT_EQ(document->GetScript().m_script_stack.size(), 2u);
    EXPECT_EQ(document->GetScript().m_script_stack[0]->GetPosition(), start_position);
    EXPECT_EQ(document->GetScript().m_current_script->GetPosition(), 0u);

    *document->GetScript().SaveDataTable = table;
    document->GetScript().RestoreTopScriptPosition();
    RunFrames();
    EXPECT_EQ(Variable(7), 2) << "resumed at label b, entry 1 of the resume table";
}

TEST_F(CVeskDocThreadTest, RestoreWithoutStackRecordsKeepsTheCurrentScript)
{
    CVeskDoc* document = Start({{"start.mes", "end"}});
    const std::shared_ptr<CScript> current = document->GetScript().m_current_script;
    ScriptValueTable table;
    ScriptValueArray other;
    other.SetKey(0x00010000u);
    other.Values = {ScriptValue::FromText("start.mes")};
    table.Store(other);
    document->GetScript().RestoreScriptStack(table);
    EXPECT_EQ(document->GetScript().m_current_script, current);
    EXPECT_EQ(document->GetScript().m_script_stack.size(), 1u);
}

TEST_F(CVeskDocThreadTest, ScriptErrorTextNamesTheScriptAndLine)
{
    CVeskDoc* document = GetDocument();
    EXPECT_STREQ(document->FormatScriptError("boom").GetText(), "boom");
    document = Start({{"start.mes", "line 42\nend"}});
    RunFrames(2);
    ASSERT_NE(document->GetScript().m_current_script, nullptr);
    EXPECT_STREQ(document->FormatScriptError("boom").GetText(), "start.mes(42)\nboom");
}

TEST_F(CVeskDocThreadTest, OnlyTheArchivesErrorTakesTheScriptNameAndLine)
{
    const tools::AssembledScript start = tools::AssembleScript("line 42\nend");
    const std::vector<tools::ArchiveEntry> entries = {{"START.MES", start.File}, {"CUT.MES", {1, 0, 0}}};
    m_dir.Write("script.arc", tools::BuildArchive(entries, tools::ArchiveEncoding::Lzss));
    CVeskDoc* document = GetDocument();
    document->StartGame();
    RunFrames(2);
    const auto failure = [&](const char* name) {
        try {
            document->GetScript().AttachScript(name);
        } catch (const CExecException& e) {
            return std::string(e.GetMessage().GetText());
        }
        return std::string("no failure");
    };
    EXPECT_EQ(failure("none.mes").rfind("start.mes(42)\n", 0), 0u);
    // A script refused while loading reports itself; a box that ends the game carries that text as it is.
    SetAppMessageBoxHook([](UINT, const CStringUTF8& text) -> int { throw CExecException(text); });
    const std::string refused = failure("cut.mes");
    SetAppMessageBoxHook(nullptr);
    EXPECT_EQ(refused.rfind("start.mes(42)\nスクリプトファイル", 0), 0u) << refused;
}

TEST_F(CVeskDocThreadTest, NestedFramesRunBareCodeToItsEnd)
{
    CVeskDoc* document = Start({{"start.mes", "end"}});
    const tools::AssembledScript assembled = tools::AssembleScript("push 11\nstvar 2\npush 12\nstvar 3\nend");
    const std::vector<uint8_t> code = tools::CodeOf(assembled.File);
    document->GetScript().AttachAndRunScript(code.data(), static_cast<uint32_t>(code.size()));
    EXPECT_EQ(Variable(2), 11);
    EXPECT_EQ(Variable(3), 12);
    EXPECT_STREQ(document->GetScript().m_current_script->GetName().GetText(), "start.mes");
}

TEST_F(CVeskDocThreadTest, NestedFramesPassOtherCodesOn)
{
    CVeskDoc* document = Start({{"start.mes", "end"}});
    const tools::AssembledScript assembled = tools::AssembleScript("lib 11, 4\nend");
    const std::vector<uint8_t> code = tools::CodeOf(assembled.File);
    EXPECT_THROW(document->GetScript().AttachAndRunScript(code.data(), static_cast<uint32_t>(code.size())),
                 CVeskDoc::tagDOCUMENT_CODE);
}

// Each rest of the nested loop, and the caller's first rest after it, find their turn due at
// once: a loop that starts or ends must not rest on a note the other loop took.
TEST_F(CVeskDocThreadTest, NestedFramesLeaveEveryTurnDueAtOnce)
{
    static std::vector<bool> due_at_rests;
    due_at_rests.clear();
    CVeskDoc* document = Start({{"start.mes", "end"}});
    platform::SetIdleWait(+[](uint32_t) {
        const std::optional<uint32_t> due = platform::TakeDueTime();
        due_at_rests.push_back(due.has_value() && static_cast<int32_t>(*due - timeGetTime()) <= 0);
        return false;
    });
    const tools::AssembledScript assembled = tools::AssembleScript("push 11\nstvar 2\nend");
    const std::vector<uint8_t> code = tools::CodeOf(assembled.File);
    document->GetScript().AttachAndRunScript(code.data(), static_cast<uint32_t>(code.size()));
    Sleep(0); // the caller's next rest
    platform::SetIdleWait(nullptr);
    EXPECT_EQ(Variable(2), 11);
    ASSERT_GE(due_at_rests.size(), 4u); // before push, stvar and end, then the caller's
    for (size_t i = 0; i < due_at_rests.size(); ++i)
        EXPECT_TRUE(due_at_rests[i]) << "rest " << i;
}

class ClosedWindowApp final : public TestApp
{
public:
    UINT PumpMessage() override { return 0; }
};

TEST_F(CVeskDocThreadTest, NestedFramesRunNothingOnceTheWindowIsGone)
{
    CVeskDoc* document = Start({{"start.mes", "end"}});
    ClosedWindowApp closed; // the newest application object answers the pump
    const tools::AssembledScript assembled = tools::AssembleScript("push 11\nstvar 2\nend");
    const std::vector<uint8_t> code = tools::CodeOf(assembled.File);
    document->GetScript().AttachAndRunScript(code.data(), static_cast<uint32_t>(code.size()));
    EXPECT_NE(Variable(2), 11);
}

TEST_F(CVeskDocThreadTest, RequestWordOperations)
{
    CVeskDoc* document = GetDocument();
    EXPECT_FALSE(document->EventFlagOp(EVENT_FLAG_SET, 0x1)) << "no event manager before the start-up";
    EXPECT_FALSE(document->EventFlagOp(EVENT_FLAG_TEST, 0x1));
    document = Start({{"start.mes", "end"}});
    document->EventFlagOp(EVENT_FLAG_SET, 0x14);
    EXPECT_EQ(document->GetRequestWord(), 0x14u);
    EXPECT_TRUE(document->EventFlagOp(EVENT_FLAG_TEST, 0x4));
    EXPECT_FALSE(document->EventFlagOp(EVENT_FLAG_TEST, 0x1));
    EXPECT_FALSE(document->EventFlagOp(EVENT_FLAG_TEST, 0));
    EXPECT_FALSE(document->EventFlagOp(4, 0x14));
    EXPECT_FALSE(document->EventFlagOp(EVENT_FLAG_CLEAR, 0x10));
    EXPECT_EQ(document->GetRequestWord(), 0x4u);
    EXPECT_FALSE(document->EventFlagOp(5, 0x4));
    EXPECT_EQ(document->GetRequestWord(), 0x4u);
}

CSpriteLayer* NewLayer()
{
    auto* layer = new CSpriteLayer;
    layer->Create(0, 0, 4, 4, -1);
    return layer;
}

TEST_F(CVeskDocThreadTest, RegisteringANumberAgainReplacesAndTellsTheAuthor)
{
    CSpriteLayer* first = NewLayer();
    CSpriteLayer* second = NewLayer();
    GetSpriteLayerRegistry().RegisterSpriteLayer(3, first);
    EXPECT_TRUE(TakeMessageBoxes().empty());
    GetSpriteLayerRegistry().RegisterSpriteLayer(3, second);
    EXPECT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(3), second);
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "既に3番のスプライトレイヤーは登録されています。");
    GetSpriteLayerRegistry().UnregisterSpriteLayer(3);
    EXPECT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(3), nullptr);
    GetSpriteLayerRegistry().UnregisterSpriteLayer(3);
}

TEST_F(CVeskDocThreadTest, RegisteringTheSameLayerAgainKeepsIt)
{
    CSpriteLayer* layer = NewLayer();
    GetSpriteLayerRegistry().RegisterSpriteLayer(6, layer);
    GetSpriteLayerRegistry().RegisterSpriteLayer(6, layer);
    ASSERT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(6), layer);
    EXPECT_EQ(layer->GetLayer()->GetWidth(), 4) << "the layer is still alive";
    EXPECT_EQ(TakeMessageBoxes().size(), 1u);
}

// Code below the shell reaches the shell's own singletons, made on its first use as before.
TEST_F(CVeskDocThreadTest, CodeBelowTheShellReachesTheShellsDocumentViewAndCursor)
{
    DeleteDocument();
    GameDocument* first = GetGameDocument();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, static_cast<GameDocument*>(GetDocument()));
    EXPECT_EQ(&GetScriptState(), &GetDocument()->GetScript());

    EXPECT_EQ(&GetMainView(), static_cast<MainView*>(GetView()));
    JoiningHook hook;
    GetMainView().AddWindowHook(&hook);
    EXPECT_TRUE(GetView()->GetHookList().Contains(&hook));
    GetMainView().RemoveWindowHook(&hook);
    EXPECT_FALSE(GetView()->GetHookList().Contains(&hook));
    EXPECT_EQ(GetMainView().GetMainWindow(), GetView()->GetHandle());
    DeleteView();

    EXPECT_EQ(GetGameCursor(), static_cast<GameCursor*>(GetMouse()));
    DeleteMouse();
}

} // namespace
