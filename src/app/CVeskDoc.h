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
#include "graphics/SpriteLayerRegistry.h"
#include "script/ScriptState.h"
#include "sound/SoundChannels.h"

class CArchiveFile;
class CArchiveManager;
class CMoviePlayer;

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
    // Also picks the typesetters' font: the Chinese languages draw with their own.
    void SetLanguage(int language);
    SpriteLayerRegistry& GetSpriteLayers() { return m_layers; }
    ScriptState& GetScript() { return m_script; }
    CMoviePlayer* GetMoviePlayer() { return m_movie_player.get(); }
    SoundChannels& GetSoundChannels() { return m_sound_channels; }

    // GameDocument
    bool EventFlagOp(uint32_t op, uint32_t bits) override;
    uint32_t GetRequestWord() const override;
    void SetEngineStateBits(uint32_t bits) override;
    void ClearEngineStateBits(uint32_t bits) override;
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
    void CreateMoviePlayer();
    void InitialGameState();
    void CreateScriptContext();
    void LoadStartScript();
    // Answers the frame's result for a code caught there.
    uint32_t OnDocumentCode(tagDOCUMENT_CODE code);
    // The stack layer's pixels given back while no snapshot is held.
    void ReleaseSnapshot();

    std::unique_ptr<EventManager> m_event_manager;
    std::unique_ptr<uint32_t> m_request_word;
    std::unique_ptr<CArchiveManager> m_data_archive;
    std::unique_ptr<CArchiveFile> m_update_archive;
    // The engine state word for other threads, refreshed whenever the main thread reads or
    // changes it (every frame at least).
    std::atomic<uint32_t> m_published_engine_state{0};
    SpriteLayerRegistry m_layers;
    ScriptState m_script;
    SoundChannels m_sound_channels;
    std::unique_ptr<CMoviePlayer> m_movie_player;
    uint32_t m_update_flag = 0;
    int32_t m_language = 0;
    bool m_sound_started = false;
};

// The singleton, made on first call; throws CExecException "Failed to create the Document
// Object" when it cannot be made.
CVeskDoc* GetDocument();
// Frees the singleton (the application's exit); the next GetDocument makes a new one.
void DeleteDocument();
