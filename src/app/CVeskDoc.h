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
#include "foundation/CCriticalSection.h"
#include "foundation/CStringUTF8.h"
#include "foundation/GameDocument.h"

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

class CVeskDoc : public CDocument, public GameDocument
{
public:
    CVeskDoc();
    ~CVeskDoc() override;

    void StartGame() override;
    uint32_t OnFrame() override;
    // Releases what StartGame made, in its fixed order; safe on a half-made document.
    void Teardown();

    EventManager* GetEventManager() { return m_event_manager.get(); }
    void SetLanguage(int language) { m_language = language; }
    // Puts a glyph renderer in a font's place and hands back the one it replaces.
    std::unique_ptr<CFontDIB> ReplaceFont(int index, std::unique_ptr<CFontDIB> font);

    // GameDocument
    bool EventFlagOp(uint32_t op, uint32_t bits) override;
    uint32_t GetRequestWord() const override;
    std::shared_ptr<CScript> AttachScript(const CStringUTF8& name) override;
    void ReplaceScript(const std::shared_ptr<CScript>& script) override;
    void CallScript(const std::shared_ptr<CScript>& script) override;
    uint32_t PopScript() override;
    void RunNestedFrames(CScript& script) override;
    void AttachAndRunScript(const uint8_t* code, uint32_t size) override;
    void SaveScriptStack(ScriptValueTable& table) override;
    void RestoreScriptStack(ScriptValueTable& table) override;
    void RestoreTopScriptPosition() override;
    CStringUTF8 CheckScriptStack(const ScriptValueTable& table) override;
    void RegisterSpriteLayer(int32_t number, CSpriteLayer* layer) override;
    void UnregisterSpriteLayer(int32_t number) override;
    CSpriteLayer* GetSpriteLayer(int32_t number) override;
    CCriticalSection& GetSpriteLayerLock() override { return m_sprite_layer_lock; }
    CSpriteLayer* FindSpriteLayer(int32_t number) override;
    void SetEngineStateBits(uint32_t bits) override;
    void ClearEngineStateBits(uint32_t bits) override;
    const FlagBuffer* GetGameState() override { return m_current_state.get(); }
    CSpriteLayerFile* GetLayerFile() override { return m_layer_file.get(); }
    CFadeSprite* GetFadeSprite() override { return m_fade_sprite.get(); }
    CSpriteLayer* GetWorkLayer() override { return m_work_layer.get(); }
    CSpriteLayer* GetStackLayer() override { return m_stack_layer.get(); }
    CFontDIB* GetFont(int index) override { return m_fonts[index].get(); }
    CMoviePlayer* GetMoviePlayer() override { return m_movie_player.get(); }
    CAnimeManager* GetAnimeManager() override { return m_anime_manager.get(); }
    uint32_t GetUpdateFlag() const override { return m_update_flag; }

    // DocumentLink
    CArchiveFile* GetUpdateArchive() override { return m_update_archive.get(); }
    CArchiveManager* GetDataArchive() override { return m_data_archive.get(); }
    int32_t GetGameValue(size_t index) override;
    int GetLanguage() override { return m_language; }
    // "%s(%u)\n%s" with the current script's name and line before the message, or the message alone.
    CStringUTF8 FormatScriptError(CStringUTF8 message) override;
    void ShowLanguageMessage(const CStringUTF8& text, int32_t id) override;
    void PlayEffectSound(const CStringUTF8& name) override;
    // The current game state's engine state word; 0 without a game state or its values.
    uint32_t GetEngineStateWord() override;

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
