#pragma once
// The document: the one owner of the game state, the script context and the running scripts,
// the archives, the fonts, the fade, work and stack layers, the movie players, the animation
// manager and the sprite registries. StartGame builds all of it once; OnFrame serves the
// request word and steps the current script; the destructor tears it all down again. Scripts
// unwind to the frame by throwing a tagDOCUMENT_CODE. Main thread only, except that the
// animation manager runs on the app-task thread once started.

#include <array>
#include <atomic>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <vector>

#include "app/CDocument.h"
#include "app/EventManager.h"
#include "app/SelectManager.h"
#include "foundation/CCriticalSection.h"
#include "foundation/CStringUTF8.h"
#include "foundation/DocumentLink.h"
#include "sound/SoundGroups.h"

class CAnimeManager;
class CArchiveFile;
class CArchiveManager;
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
struct ScriptValue;

// Bits of the request word, shared with the game work's lock-status word.
inline constexpr uint32_t REQUEST_EXIT = 0x1;
inline constexpr uint32_t REQUEST_SYSTEM_SETTINGS = 0x2;
inline constexpr uint32_t REQUEST_RETURN_TO_TITLE = 0x4;
inline constexpr uint32_t REQUEST_WINDOW_SETTINGS = 0x8;
inline constexpr uint32_t REQUEST_SOUND_SETTINGS = 0x10;

// Operations of CVeskDoc::EventFlagOp.
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


class CVeskDoc : public CDocument, public DocumentLink
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
    ~CVeskDoc() override;

    void StartGame() override;
    uint32_t OnFrame() override;
    // Releases what StartGame made, in its fixed order; safe on a half-made document.
    void Teardown();

    // op 0 clears the bits of the request word, 1 sets them, 2 tests them, 3 runs one event
    // tick; false for every other op and without an event manager.
    bool EventFlagOp(uint32_t op, uint32_t bits);
    uint32_t GetRequestWord() const;
    EventManager* GetEventManager() { return m_event_manager.get(); }

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
    // "%s(%u)\n%s" with the current script's name and line before the message, or the message alone.
    CStringUTF8 FormatScriptError(CStringUTF8 message) override;

    // The registry owns its layers. A number registered again under another layer frees the
    // old one; either way the script author is told.
    // The animation tasks look layers up and blit from them on the app-task thread: they hold
    // GetSpriteLayerLock() for the whole use, and registering or freeing a layer takes it too.
    void RegisterSpriteLayer(int32_t number, CSpriteLayer* layer);
    void UnregisterSpriteLayer(int32_t number);
    CSpriteLayer* GetSpriteLayer(int32_t number);
    CCriticalSection& GetSpriteLayerLock() { return m_sprite_layer_lock; }
    // The layer registered under the number, or null; unlike GetSpriteLayer it registers nothing.
    CSpriteLayer* FindSpriteLayer(int32_t number);

    // The current game state's engine state word; 0 without a game state or its values.
    uint32_t GetEngineStateWord() override;
    void SetEngineStateBits(uint32_t bits);
    void ClearEngineStateBits(uint32_t bits);

    // DocumentLink
    CArchiveFile* GetUpdateArchive() override { return m_update_archive.get(); }
    CArchiveManager* GetDataArchive() override { return m_data_archive.get(); }
    int32_t GetGameValue(size_t index) override;
    int GetLanguage() override { return m_language; }
    void ShowLanguageMessage(const CStringUTF8& text, int32_t id) override;
    void PlayEffectSound(const CStringUTF8& name) override;
    void SetLanguage(int language) { m_language = language; }

    const FlagBuffer* GetGameState() { return m_current_state.get(); }
    CSpriteLayerFile* GetLayerFile() { return m_layer_file.get(); }
    CFadeSprite* GetFadeSprite() { return m_fade_sprite.get(); }
    CSpriteLayer* GetWorkLayer() { return m_work_layer.get(); }
    CSpriteLayer* GetStackLayer() { return m_stack_layer.get(); }
    CFontDIB* GetFont(int index) { return m_fonts[index].get(); }
    // Puts a glyph renderer in a font's place and hands back the one it replaces.
    std::unique_ptr<CFontDIB> ReplaceFont(int index, std::unique_ptr<CFontDIB> font);
    CMoviePlayer* GetMoviePlayer() { return m_movie_player.get(); }
    CAnimeManager* GetAnimeManager() { return m_anime_manager.get(); }
    uint32_t GetUpdateFlag() const { return m_update_flag; }

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

private:
    void StartSoundDevice();
    void CreateFonts();
    void CreateLayers();
    void CreateMoviePlayer();
    void InitialGameState();
    void CreateScriptContext();
    void StartAnimeManager();
    void LoadStartScript();
    // Answers the frame's result for a code caught there.
    uint32_t OnDocumentCode(tagDOCUMENT_CODE code);

    std::unique_ptr<EventManager> m_event_manager;
    std::unique_ptr<uint32_t> m_request_word;
    std::unique_ptr<CArchiveManager> m_data_archive;
    std::unique_ptr<CSpriteLayerFile> m_layer_file;
    std::unique_ptr<CArchiveFile> m_update_archive;
    std::unique_ptr<CFadeSprite> m_fade_sprite;
    std::unique_ptr<CSpriteLayer> m_work_layer;
    std::unique_ptr<CSpriteLayer> m_stack_layer;
    std::array<std::unique_ptr<CFontDIB>, DOCUMENT_FONT_COUNT> m_fonts;
    // The engine state word for other threads, refreshed whenever the main thread reads or
    // changes it (every frame at least).
    std::atomic<uint32_t> m_published_engine_state{0};
    CCriticalSection m_sprite_layer_lock{LOCK_LEVEL_SPRITE_LAYER_REGISTRY}; // guards m_sprite_layers
    std::map<int32_t, std::unique_ptr<CSpriteLayer>> m_sprite_layers;
    std::unique_ptr<CMoviePlayer> m_movie_player;
    std::unique_ptr<CAnimeManager> m_anime_manager;
    uint32_t m_update_flag = 0;
    int32_t m_language = 0;
    bool m_sound_started = false;
};

// The singleton, made on first call; throws CExecException "Failed to create the Document
// Object" when it cannot be made.
CVeskDoc* GetDocument();
// Frees the singleton (the application's exit); the next GetDocument makes a new one.
void DeleteDocument();
