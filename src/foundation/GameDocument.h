#pragma once
// What every area below the shell reaches of the document: the game state and the fields the
// script engine works on directly, the sprite layer registry and its lock, the document's fade,
// work and stack layers, fonts, layer file, movie player and animation manager, the engine state
// bits, the script stack and the nested frames. The document in app/ implements it and makes
// everything it holds; this class only declares (forward declarations, no construction), so the
// fields stay empty until the document's StartGame fills them and are freed with the document.
// Main thread only, except the sprite layer registry under its lock and GetEngineStateWord.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "foundation/CCriticalSection.h"
#include "foundation/CStringUTF8.h"
#include "foundation/DocumentLink.h"
#include "foundation/SoundGroups.h"

class CAnimeManager;
class CFadeSprite;
class CFontDIB;
class CMoviePlayer;
class CScript;
class CSprite;
class CSpriteLayer;
class CSpriteLayerFile;
class FlagBuffer;
class IAppTask;
class IWaveManager;
class ScriptContext;
class ScriptValueTable;
class SelectManager;
struct ScriptValue;

// Bits of the request word, shared with the game work's lock-status word.
inline constexpr uint32_t REQUEST_EXIT = 0x1;
inline constexpr uint32_t REQUEST_SYSTEM_SETTINGS = 0x2;
inline constexpr uint32_t REQUEST_RETURN_TO_TITLE = 0x4;
inline constexpr uint32_t REQUEST_WINDOW_SETTINGS = 0x8;
inline constexpr uint32_t REQUEST_SOUND_SETTINGS = 0x10;

// Operations of EventFlagOp.
inline constexpr uint32_t EVENT_FLAG_CLEAR = 0;
inline constexpr uint32_t EVENT_FLAG_SET = 1;
inline constexpr uint32_t EVENT_FLAG_TEST = 2;
inline constexpr uint32_t EVENT_FLAG_TICK = 3;

// Saved script-stack records: key SCRIPT_STACK_KEY | index in group 0xFFFF of a table.
inline constexpr uint32_t SCRIPT_STACK_KEY = 0xFFFF0000u;

// Fonts of the document, in their order.
inline constexpr int DOCUMENT_FONT_MAIN = 0;
inline constexpr int DOCUMENT_FONT_SECOND = 1;
inline constexpr int DOCUMENT_FONT_THIRD = 2;
inline constexpr int DOCUMENT_FONT_VERTICAL = 3;
inline constexpr int DOCUMENT_FONT_FIFTH = 4;
inline constexpr int DOCUMENT_FONT_COUNT = 5;

inline constexpr int32_t STACK_LAYER_SIZE = 2048;

inline constexpr uint32_t ANIME_MANAGER_PERIOD = 20;

class GameDocument : public DocumentLink
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

    // op 0 clears the bits of the request word, 1 sets them, 2 tests them, 3 runs one event
    // tick; false for every other op and without an event manager.
    virtual bool EventFlagOp(uint32_t op, uint32_t bits) = 0;
    virtual uint32_t GetRequestWord() const = 0;

    // A script loaded by name from the shared script archive; throws CExecException.
    virtual std::shared_ptr<CScript> AttachScript(const CStringUTF8& name) = 0;
    // Drops every stacked script that is not resident and makes the given one the only one.
    virtual void ReplaceScript(const std::shared_ptr<CScript>& script) = 0;
    // Suspends the current script at its position and makes the given one current from its
    // start; a script that is not resident also goes on the script stack.
    virtual void CallScript(const std::shared_ptr<CScript>& script) = 0;
    // Lets go of the current script unless it is resident and resumes the last suspended
    // caller; 0 when none waits.
    virtual uint32_t PopScript() = 0;
    // Pumps, ticks and steps the script frame by frame until it ends with code 1 or the window
    // is gone; other codes go on to the caller.
    virtual void RunNestedFrames(CScript& script) = 0;
    // Runs bare bytecode to its end in a nested frame loop.
    virtual void AttachAndRunScript(const uint8_t* code, uint32_t size) = 0;
    // One record per stacked script in group 0xFFFF of the table.
    virtual void SaveScriptStack(ScriptValueTable& table) = 0;
    virtual void RestoreScriptStack(ScriptValueTable& table) = 0;
    virtual void RestoreTopScriptPosition() = 0;
    // Why the table's script stack could not be rebuilt (a script the game does not hold, a
    // caller's place past its script's end), or empty when it can: a save made by other scripts
    // is refused whole before a load changes anything.
    virtual CStringUTF8 CheckScriptStack(const ScriptValueTable& table) = 0;

    // The registry owns its layers. A number registered again under another layer frees the
    // old one; either way the script author is told.
    // The animation tasks look layers up and blit from them on the app-task thread: they hold
    // GetSpriteLayerLock() for the whole use, and registering or freeing a layer takes it too.
    virtual void RegisterSpriteLayer(int32_t number, CSpriteLayer* layer) = 0;
    virtual void UnregisterSpriteLayer(int32_t number) = 0;
    virtual CSpriteLayer* GetSpriteLayer(int32_t number) = 0;
    virtual CCriticalSection& GetSpriteLayerLock() = 0;
    // The layer registered under the number, or null; unlike GetSpriteLayer it registers nothing.
    virtual CSpriteLayer* FindSpriteLayer(int32_t number) = 0;

    virtual void SetEngineStateBits(uint32_t bits) = 0;
    virtual void ClearEngineStateBits(uint32_t bits) = 0;

    virtual const FlagBuffer* GetGameState() = 0;
    virtual CSpriteLayerFile* GetLayerFile() = 0;
    virtual CFadeSprite* GetFadeSprite() = 0;
    virtual CSpriteLayer* GetWorkLayer() = 0;
    virtual CSpriteLayer* GetStackLayer() = 0;
    virtual CFontDIB* GetFont(int index) = 0;
    virtual CMoviePlayer* GetMoviePlayer() = 0;
    virtual CAnimeManager* GetAnimeManager() = 0;
    virtual uint32_t GetUpdateFlag() const = 0;

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
    // The sprite commands' numbered sprites and sprite animations; owned.
    std::map<int32_t, std::unique_ptr<CSprite>> Sprites;
    std::map<int32_t, std::unique_ptr<IAppTask>> SpriteAnimes;
    // Filled by the script engine, emptied at teardown.
    std::array<std::vector<std::unique_ptr<IAppTask>>, 4> ObjectLists;
    // The sound command groups' channels (SOUND_GROUP_MUSIC ...), indexed by channel number;
    // the lists only grow and the document frees them with itself.
    std::array<std::vector<std::unique_ptr<IWaveManager>>, SOUND_GROUP_COUNT> SoundChannelList;

    // 1: the backlog draws its literal head lines with the language's text service rather than
    // its own face. Nothing sets it yet.
    int32_t m_layout_switch = 0;

protected:
    // Only the document makes and frees one, where every type above is complete.
    GameDocument() = default;
    ~GameDocument() override = default;
};

// The document, made on first use by the shell's source: code below the shell reaches it here,
// the shell itself through GetDocument. Throws what the source throws when it cannot be made;
// null only while no source is installed.
GameDocument* GetGameDocument();
// Installed once by the shell before main; the function may be called from any thread.
void SetGameDocumentSource(GameDocument* (*source)());
