#pragma once
// The script engine's state: the game state, the save tables, the select manager, the script
// context, the running script with its stack and suspended callers, the function frames, the
// text measures and the answers scripts give the screens that run them. The document owns one,
// makes its parts at the start of the game and frees them at teardown; the fields stay empty
// until then. Main thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "foundation/CStringUTF8.h"

class CArchiveManager;
class CScript;
class FlagBuffer;
class ScriptContext;
class ScriptValueTable;
class SelectManager;
struct ScriptValue;

// Saved script-stack records: key SCRIPT_STACK_KEY | index in group 0xFFFF of a table.
inline constexpr uint32_t SCRIPT_STACK_KEY = 0xFFFF0000u;

class ScriptState
{
public:
    // A caller waiting for the script it called to end.
    struct SuspendedScript
    {
        uint32_t Position = 0;
        std::shared_ptr<CScript> Script;
    };
    // Opens the shared script archive; throws CExecException with the start-up text.
    using ArchiveOpener = std::function<std::unique_ptr<CArchiveManager>()>;

    ScriptState();
    ~ScriptState();
    ScriptState(const ScriptState&) = delete;
    ScriptState& operator=(const ScriptState&) = delete;

    void SetArchiveOpener(ArchiveOpener opener) { m_open_archive = std::move(opener); }

    // A script loaded by name from the shared script archive; throws CExecException.
    std::shared_ptr<CScript> AttachScript(const CStringUTF8& name);
    // Drops every stacked script that is not resident and makes the given one the only one.
    void ReplaceScript(const std::shared_ptr<CScript>& script);
    // Suspends the current script at its position and makes the given one current from its
    // start; a script that is not resident also goes on the script stack.
    void CallScript(const std::shared_ptr<CScript>& script);
    // Lets go of the current script unless it is resident and resumes the last suspended
    // caller; 0 when none waits.
    uint32_t PopScript();
    // Pumps, ticks and steps the script frame by frame until it ends with code 1 or the window
    // is gone; other codes go on to the caller.
    void RunNestedFrames(CScript& script);
    // Runs bare bytecode to its end in a nested frame loop.
    void AttachAndRunScript(const uint8_t* code, uint32_t size);
    // One record per stacked script in group 0xFFFF of the table.
    void SaveScriptStack(ScriptValueTable& table);
    void RestoreScriptStack(ScriptValueTable& table);
    void RestoreTopScriptPosition();
    // Why the table's script stack could not be rebuilt (a script the game does not hold, a
    // caller's place past its script's end), or empty when it can: a save made by other scripts
    // is refused whole before a load changes anything.
    CStringUTF8 CheckScriptStack(const ScriptValueTable& table);
    // The reason, in the player's language, that a save or flag file naming the script cannot be
    // played on: the game does not hold it.
    static CStringUTF8 MissingScriptReason(const CStringUTF8& name);
    // "%s(%u)\n%s" with the current script's name and line before the message, or the message alone.
    CStringUTF8 FormatScriptError(const CStringUTF8& message) const;
    // Frees every part; safe on a half-made state.
    void Clear();

    // Fields the script engine reaches directly.
    std::unique_ptr<FlagBuffer> m_current_state;
    std::unique_ptr<ScriptValueTable> SaveDataTable;    // the save manager
    std::unique_ptr<ScriptValueTable> SaveDataSnapshot; // the second save manager
    std::unique_ptr<SelectManager> m_select_manager;
    std::vector<std::unique_ptr<std::vector<ScriptValue>>> LocalFrameStack; // top = last
    std::unique_ptr<ScriptContext> m_script_context;
    std::shared_ptr<CScript> m_current_script;
    std::vector<std::shared_ptr<CScript>> m_script_stack; // oldest first
    std::vector<std::shared_ptr<CScript>> m_resident_scripts;
    std::vector<SuspendedScript> m_suspended_callers;
    int32_t MeasuredWidthTotal = 0;
    // The typesetters' current font among the first three: 1 the second, 2 the third, else the first.
    int32_t FontIndex = 0;
    std::vector<int32_t> MeasuredLineWidths;
    // The answer of a script that a screen runs for an integer or a list.
    int32_t ScriptResult = 0;
    std::vector<int32_t> ScriptResultList;

private:
    ArchiveOpener m_open_archive;
};

// The document's script state, made with it on first use. The shell installs the source once
// before main; without one the state is one of its own.
ScriptState& GetScriptState();
void SetScriptStateSource(ScriptState* (*source)());
