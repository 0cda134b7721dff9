// A compiled script loaded and run for a bounded number of steps. In the first target the library
// groups are replaced by one that does nothing, so the run exercises the loader and the
// interpreter alone; the second keeps the real groups that need no window (value, flag, backlog,
// one-message, save, and the typesetting the value group reaches), so the sizes scripts ask of
// them are tried too. Never a screen that waits for the player.
#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "app/CVeskDoc.h"
#include "foundation/CExecException.h"
#include "foundation/CString.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/commands/IFunc.h"
#include "script/vm/CScript.h"
#include "script/vm/ScriptContext.h"

namespace {

constexpr int MAX_STEPS = 2000;
constexpr int32_t LIBRARY_GROUPS = 30;
constexpr int32_t WINDOWLESS_GROUPS[] = {11, 14, 22, 24, 27};

class NoGroup : public IFunc
{
public:
    void Call(CScript&) override {}
};

void ResetScriptMembers()
{
    GetScriptState().m_script_context.reset();
    GetScriptState().m_current_script.reset();
    GetScriptState().m_script_stack.clear();
    GetScriptState().m_suspended_callers.clear();
    GetScriptState().m_resident_scripts.clear();
    GetScriptState().LocalFrameStack.clear();
    GetScriptState().MeasuredLineWidths.clear();
    GetScriptState().m_current_state.reset();
    GetScriptState().SaveDataTable.reset();
    GetScriptState().SaveDataSnapshot.reset();
}

int RunScript(const uint8_t* data, size_t size, bool windowless_groups)
{
    PrepareFuzzProcess();
    CVeskDoc& document = *GetDocument();
    ResetScriptMembers();
    GetScriptState().m_current_state = std::make_unique<FlagBuffer>();
    GetScriptState().SaveDataTable = std::make_unique<ScriptValueTable>();
    GetScriptState().SaveDataSnapshot = std::make_unique<ScriptValueTable>();
    GetScriptState().m_script_context = std::make_unique<ScriptContext>();
    for (int32_t id = 0; id < LIBRARY_GROUPS; ++id) {
        if (!windowless_groups || std::ranges::find(WINDOWLESS_GROUPS, id) == std::end(WINDOWLESS_GROUPS))
            GetScriptState().m_script_context->SetLibraryGroup(id, [] { return std::make_unique<NoGroup>(); });
    }
    GetScriptState().m_script_context->SeedRandom(1);

    FuzzApplication().m_pumps_left = MAX_STEPS;

    auto script = std::make_shared<CScript>();
    if (script->LoadImage(std::vector<uint8_t>(data, data + size), CStringUTF8("fuzz.mes"))) {
        GetScriptState().ReplaceScript(script);
        try {
            for (int step = 0; step < MAX_STEPS && document.OnFrame() != 0; ++step) {
            }
        } catch (const CExecException&) {
        } catch (const CString&) {
        } catch (CVeskDoc::tagDOCUMENT_CODE) {
        }
    }
    ResetScriptMembers();
    return 0;
}

} // namespace

int FuzzScript(const uint8_t* data, size_t size)
{
    return RunScript(data, size, false);
}

int FuzzScriptCommands(const uint8_t* data, size_t size)
{
    return RunScript(data, size, true);
}
