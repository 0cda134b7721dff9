#pragma once
// The document: the one owner of the game state, the script context and the running scripts,
// and of the sprite layers registered by number.
// FIXME: only the members graphics code and the script engine reach so far; the document's own
// start-up, frame, registries and teardown complete the class. The script-stack operations are
// declared here and defined by the document when it is built.

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "foundation/CStringUTF8.h"

class CScript;
class CSpriteLayer;
class FlagBuffer;
class ScriptContext;
class ScriptValueTable;
struct ScriptValue;

class CVeskDoc
{
public:
    // Thrown by value to unwind to the document's frame.
    enum tagDOCUMENT_CODE : uint32_t
    {
        DOCUMENT_QUIT = 0,
        DOCUMENT_SCRIPT_END = 1,
        DOCUMENT_SCRIPT_RETURN = 2,
        DOCUMENT_RESTORE_STACK = 3,
        DOCUMENT_RETURN_TO_TITLE = 4,
    };

    // A caller waiting for the script it called to end.
    struct SuspendedScript
    {
        uint32_t Position = 0;
        std::shared_ptr<CScript> Script;
    };

    CVeskDoc();
    ~CVeskDoc();

    // The registry owns its layers; registering a number again replaces (and frees) the old one.
    void RegisterSpriteLayer(int32_t number, CSpriteLayer* layer);
    void UnregisterSpriteLayer(int32_t number);
    CSpriteLayer* GetSpriteLayer(int32_t number);

    // The current game state's engine state word; 0 when there is no game state.
    uint32_t GetEngineStateWord();

    // "%s(%u)\n%s" with the current script's name and line, or the message alone.
    CStringUTF8 FormatScriptError(const CStringUTF8& message);
    // Suspends the current script at its position and makes the given one current from its
    // start; a script that is not resident also goes on the script stack.
    void CallScript(const std::shared_ptr<CScript>& script);
    // Drops every stacked script that is not resident and makes the given one the only one.
    void ReplaceScript(const std::shared_ptr<CScript>& script);
    // Lets go of the current script unless it is resident and resumes the last suspended
    // caller; 0 when none waits.
    uint32_t PopScript();
    // One game frame: one step of the current script, with the document codes it throws.
    uint32_t OnFrame();
    // Steps the script frame by frame until it ends with the END instruction.
    void RunNestedFrames(CScript& script);
    // One record per stacked script in group 0xFFFF of the table.
    void SaveScriptStack(ScriptValueTable& table);

    std::unique_ptr<FlagBuffer> m_current_state;
    std::unique_ptr<ScriptValueTable> SaveDataTable;
    std::unique_ptr<ScriptValueTable> SaveDataSnapshot;
    std::vector<std::unique_ptr<std::vector<ScriptValue>>> LocalFrameStack; // top = last
    std::unique_ptr<ScriptContext> m_script_context;
    std::shared_ptr<CScript> m_current_script;
    std::vector<std::shared_ptr<CScript>> m_script_stack;
    std::vector<SuspendedScript> m_suspended_callers;
    std::vector<std::shared_ptr<CScript>> m_resident_scripts;
    std::vector<int32_t> MeasuredLineWidths;
    int32_t MeasuredWidthTotal = 0;

private:
    std::map<int32_t, std::unique_ptr<CSpriteLayer>> m_sprite_layers;
};

CVeskDoc* GetDocument();
