#include "app/CVeskDoc.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <random>
#include <utility>

#include "app/AppMessageBox.h"
#include "app/CGameWork.h"
#include "app/CVeskView.h"
#include "app/CWinApp.h"
#include "foundation/CArchiveFile.h"
#include "foundation/CArchiveManager.h"
#include "foundation/CExecException.h"
#include "foundation/CInputView.h"
#include "foundation/CLangTextTable.h"
#include "foundation/CString.h"
#include "foundation/ConfigSettings.h"
#include "foundation/CreationFault.h"
#include "foundation/IAppTask.h"
#include "foundation/ScopedLock.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CAnimeManager.h"
#include "graphics/CAppTask.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CFontDIB.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/CSpriteLayerFile.h"
#include "graphics/SpriteLayerOf.h"
#include "movie/CMoviePlayer.h"
#include "platform/kernel/HeapApi.h"
#include "platform/kernel/IdleWait.h"
#include "platform/kernel/SyncApi.h"
#include "platform/kernel/TimeApi.h"
#include "platform/user/WindowApi.h"
#include "screens/base/ISelect.h"
#include "script/FlagBuffer.h"
#include "script/ScriptValueTable.h"
#include "script/SelectManager.h"
#include "script/commands/CFuncMusic.h"
#include "script/exec/CFuncExec.h"
#include "script/vm/CScript.h"
#include "script/vm/ScriptContext.h"
#include "sound/IWaveManager.h"
#include "sound/SoundSystem.h"

namespace {

// Owned here: made by GetDocument on the main thread, freed by DeleteDocument. Atomic: the
// app-task thread reads it while the game runs.
std::atomic<CVeskDoc*> g_document{nullptr};

constexpr uint32_t ENGINE_STATE_AT_START = 0x53;
constexpr uint32_t MT_DEFAULT_SEED = 5489;

CStringUTF8 FileInfoString(const char* key, const char* default_value)
{
    CWinApp* app = GetApp();
    return app != nullptr ? app->GetFileInfoString(key, default_value) : CStringUTF8(default_value);
}

// The one box for a game archive that is missing or unreadable. Its words are built in: the
// language tables may live in the very archive that failed.
CStringUTF8 ArchiveFailureText(const CStringUTF8& path)
{
    static constexpr const char* TEXTS[] = {
        "%s is missing or damaged.\nPlease install the game again.",
        "%s 丢失或已损坏。\n请重新安装游戏。",
        "%s 遺失或已損毀。\n請重新安裝遊戲。",
        "%s が見つからないか、壊れています。\nゲームをもう一度インストールしてください。",
    };
    CStringUTF8 text;
    text.Format(TEXTS[std::clamp(GetConfigLanguage(), LANGUAGE_ENGLISH, LANGUAGE_JAPANESE)], path.GetText());
    return text;
}

// Every archive of the ";"-separated list opens with a whole index, or the game cannot go on:
// without this a damaged archive shows one box for each file the start-up then misses.
void RequireArchives(const CStringUTF8& list, bool compressed)
{
    std::string piece;
    const std::string text = list.GetStdString() + ";";
    for (const char c : text) {
        if (c != ';') {
            piece.push_back(c);
            continue;
        }
        CArchiveFile probe;
        if (probe.OpenArchive(CStringUTF8(piece.c_str()), compressed, false) == 0)
            throw CExecException(ArchiveFailureText(CStringUTF8(piece.c_str())));
        piece.clear();
    }
}

// "/GameFile/<Kind>Archive/Encode" of "FileInfo.xml", 1 when absent.
bool IsEncoded(const char* key)
{
    CWinApp* app = GetApp();
    CXMLDocument* info = app != nullptr ? app->GetFileInfoDocument() : nullptr;
    return (info != nullptr ? info->GetInt(key, 1) : 1) == 1;
}

void SetIntegerValue(FlagBuffer& state, size_t index, int32_t integer)
{
    if (index < state.Values.size())
        state.Values[index] = ScriptValue::FromInteger(integer);
}

} // namespace

CVeskDoc* GetDocument()
{
    if (CVeskDoc* document = g_document.load())
        return document;
    CVeskDoc* document = nullptr;
    if (!IsCreationFaultInjected("Failed to create the Document Object"))
        document = new (std::nothrow) CVeskDoc;
    if (document == nullptr)
        throw CExecException("Failed to create the Document Object");
    g_document = document;
    return document;
}

namespace {

// Installed before main, so code below the shell that asks first still gets the document made.
const bool g_source_installed =
    (SetGameDocumentSource([]() -> GameDocument* { return GetDocument(); }),
     SetGameMoviePlayerSource([]() { return GetDocument()->GetMoviePlayer(); }),
     SetGameSoundChannelsSource([]() { return &GetDocument()->GetSoundChannels(); }),
     SetSpriteLayerRegistrySource([]() { return &GetDocument()->GetSpriteLayers(); }),
     SetScriptStateSource([]() { return &GetDocument()->GetScript(); }), true);

} // namespace

void DeleteDocument()
{
    delete g_document.exchange(nullptr);
}

CVeskDoc::CVeskDoc()
{
    m_script.SetArchiveOpener([]() {
        RequireArchives(FileInfoString("/GameFile/ScriptArchive/File", "script.arc"),
                        IsEncoded("/GameFile/ScriptArchive/Encode"));
        std::unique_ptr<CArchiveManager> archive;
        if (!IsCreationFaultInjected("Failed to create the Script Archive"))
            archive.reset(new (std::nothrow) CArchiveManager(FileInfoString("/GameFile/ScriptArchive/File", "script.arc"),
                                                             IsEncoded("/GameFile/ScriptArchive/Encode"), true));
        return archive;
    });
}

CVeskDoc::~CVeskDoc()
{
    Teardown();
}

void CVeskDoc::SetLanguage(int language)
{
    m_language = language;
    // The choice window sizes the language's font (the second for simplified, the third for
    // traditional Chinese); text drawn with any other font would keep that font's size in cells
    // of another, each character's cell wiping part of the one before.
    m_script.FontIndex = language == LANGUAGE_SIMPLIFIED_CHINESE    ? 1
                         : language == LANGUAGE_TRADITIONAL_CHINESE ? 2
                                                                    : 0;
}

void CVeskDoc::StartGame()
{
    SetLanguage(GetConfigLanguage());
    StartSoundDevice();
    m_script.m_current_state = Make<FlagBuffer>("Failed to create the Flag Object");
    m_script.SaveDataTable = Make<ScriptValueTable>("Failed to create the SaveManager");
    m_script.SaveDataSnapshot = Make<ScriptValueTable>("Failed to create the SaveManager");
    m_script.m_select_manager = Make<SelectManager>("Failed to create the Select Manager");
    m_event_manager = Make<EventManager>("Failed to create the Event Manager");
    m_request_word = Make<uint32_t>("Failed to create the App Event Object", 0u);
    m_event_manager->RequestWord = m_request_word.get();
    SetDocumentLink(this);

    // A missing update archive is no error: the game simply has no update.
    std::unique_ptr<CArchiveFile> update(new (std::nothrow) CArchiveFile);
    if (update != nullptr &&
        update->OpenArchive(FileInfoString("/GameFile/UpdateArchive/File", "update.arc"), false, false)) {
        m_update_archive = std::move(update);
        m_update_flag = 1;
    }

    m_layers.CreateFonts();
    m_layers.CreateLayerFile(FileInfoString("/GameFile/LayerArchive/File", "layer.arc"));
    m_layers.CreateLayers();
    CreateMoviePlayer();
    InitialGameState();
    RequireArchives(FileInfoString("/GameFile/DataArchive/File", "data.arc"),
                    IsEncoded("/GameFile/DataArchive/Encode"));
    m_data_archive = Make<CArchiveManager>("Failed to create the Data Archive",
                                           FileInfoString("/GameFile/DataArchive/File", "data.arc"),
                                           IsEncoded("/GameFile/DataArchive/Encode"), true);
    CreateScriptContext();
    CGameWork* work = GetGameWork();
    work->CreateObjects();
    m_layers.StartAnimeManager();
    work->m_system_language->Load("system");
    GetView()->RelabelMenus(GetConfigLanguage());
    LoadStartScript();
}

void CVeskDoc::StartSoundDevice()
{
    if (IsCreationFaultInjected("Failed to initialize the DirectSound"))
        throw CExecException("Failed to initialize the DirectSound");
    if (IsCreationFaultInjected("Failed to create the Work Memory"))
        throw CExecException("Failed to create the Work Memory");
    if (const char* failure = CreateSoundSystem(GetView()->GetHandle()))
        throw CExecException(failure);
    m_sound_started = true;
}

void CVeskDoc::CreateMoviePlayer()
{
    if (!IsCreationFaultInjected("media manager"))
        m_movie_player.reset(new (std::nothrow) CMoviePlayer(this));
    if (m_movie_player == nullptr)
        return;
    m_movie_player->Create();
}

void CVeskDoc::InitialGameState()
{
    FlagBuffer& state = *m_script.m_current_state;
    SetIntegerValue(state, 55, static_cast<int32_t>(ENGINE_STATE_AT_START));
    SetIntegerValue(state, 35, 0xFFFFFF);
    SetIntegerValue(state, 32, 0);
    SetIntegerValue(state, 40, 1);
}

void CVeskDoc::CreateScriptContext()
{
    m_script.m_script_context = Make<ScriptContext>("Failed to create the Script Manager");
    m_script.m_script_context->SeedRandom(MT_DEFAULT_SEED);
    std::random_device device;
    const uint32_t seed = device();
    m_script.m_script_context->SeedRandom(seed);
    m_script.m_script_context->RandomSeed = seed;
    // The exec group reaches the document through the singleton; only the singleton runs scripts.
    if (g_document == this) {
        auto exec = Make<CFuncExec>("Failed to create the Script Manager");
        m_script.m_script_context->SetExecGroup(std::move(exec));
    }
}

void CVeskDoc::LoadStartScript()
{
    CWinApp* app = GetApp();
    const CStringUTF8 name = app != nullptr ? app->GetConfigString("/GameFile/Script/StartUp", "start.mes", 0)
                                            : CStringUTF8("start.mes");
    m_script.ReplaceScript(m_script.AttachScript(name));
}

void CVeskDoc::Teardown()
{
    // The channels' sound objects go before the sound system they play on.
    m_sound_channels.Clear();
    if (m_movie_player)
        m_movie_player->Release();
    m_layers.StopAnimeManager();
    if (g_document.load() == this || g_document.load() == nullptr)
        GetGameWork()->DestroyObjects();
    if (m_script.m_script_context) {
        m_script.m_script_context->Release();
        m_script.m_script_context.reset();
    }
    if (GetDocumentLink() == this)
        SetDocumentLink(nullptr);
    m_event_manager.reset();
    m_request_word.reset();
    if (m_movie_player) {
        m_movie_player->Release();
        m_movie_player.reset();
    }
    m_layers.ReleaseFonts();
    m_layers.ReleaseLayers();
    m_layers.ReleaseLayerFile();
    m_data_archive.reset();
    m_update_archive.reset();
    m_update_flag = 0;
    m_script.Clear();
    if (m_sound_started) {
        ReleaseSoundSystem();
        m_sound_started = false;
    }
}

bool CVeskDoc::EventFlagOp(uint32_t op, uint32_t bits)
{
    if (!m_event_manager || m_request_word == nullptr)
        return false;
    uint32_t& word = *m_request_word;
    switch (op) {
    case EVENT_FLAG_CLEAR:
        word &= ~bits;
        return false;
    case EVENT_FLAG_SET:
        word |= bits;
        return false;
    case EVENT_FLAG_TEST:
        return (word & bits) != 0;
    case EVENT_FLAG_TICK:
        RunEventTick(m_event_manager.get());
        return false;
    default:
        return false;
    }
}

uint32_t CVeskDoc::GetRequestWord() const
{
    return m_request_word ? *m_request_word : 0;
}

uint32_t CVeskDoc::OnFrame()
{
    GetEngineStateWord(); // publishes the word the last frame left for the animation tasks
    try {
        RunEventTick(m_event_manager.get());
        // The frame holds the script: a call or return inside the step may replace the field.
        std::shared_ptr<CScript> script = m_script.m_current_script;
        if (!script)
            return 0;
        const uint32_t position = script->GetPosition();
        m_script.m_script_context->Step(*script);
        // The loop rests between frames; a script that moved on has its next opcode due now.
        // One that stays where it was polls by running again, and lets the rest take its course.
        if (script->GetPosition() != position || m_script.m_current_script != script)
            platform::NoteDueTime(timeGetTime());
    } catch (tagDOCUMENT_CODE code) {
        platform::NoteDueTime(timeGetTime());
        return OnDocumentCode(code);
    }
    return 1;
}

uint32_t CVeskDoc::OnDocumentCode(tagDOCUMENT_CODE code)
{
    switch (code) {
    case DOCUMENT_QUIT:
        return 0;
    case DOCUMENT_SCRIPT_RETURN:
        if (!m_script.LocalFrameStack.empty())
            m_script.LocalFrameStack.pop_back();
        return m_script.PopScript() == 0 ? 0 : 1;
    case DOCUMENT_SCRIPT_END:
        return m_script.PopScript() == 0 ? 0 : 1;
    case DOCUMENT_RESTORE_STACK:
        if (m_script.SaveDataTable)
            m_script.RestoreScriptStack(*m_script.SaveDataTable);
        return 1;
    case DOCUMENT_RETURN_TO_TITLE:
        ReleaseSnapshot();
        // The game left behind freed what its screens made: the title is a quiet point to give
        // those pages back.
        platform::ReturnFreedHeap();
        return 1;
    default:
        return 1;
    }
}

void CVeskDoc::ReleaseSnapshot()
{
    // Back at the title no snapshot is held (a save takes its own first): the stack layer's
    // pixels go back to the system until the next one.
    const CGameWork* work = GetGameWork();
    if (work != nullptr && (work->GetStatus() & STATUS_SNAPSHOT_TAKEN) != 0)
        return;
    ClearSpriteLayers({GetSpriteLayerRegistry().GetStackLayer()});
}

int32_t CVeskDoc::GetGameValue(size_t index)
{
    if (!m_script.m_current_state || index >= m_script.m_current_state->Values.size())
        return 0;
    return m_script.m_current_state->Values[index].Integer;
}

uint32_t CVeskDoc::GetEngineStateWord()
{
    // The game state belongs to the main thread; other threads (animation tasks asking for skip
    // mode) get the word as the main thread last read or wrote it.
    if (!platform::IsUserInterfaceThread())
        return m_published_engine_state.load();
    const uint32_t word = m_script.m_current_state ? m_script.m_current_state->EngineStateWord() : 0;
    m_published_engine_state = word;
    return word;
}

void CVeskDoc::SetEngineStateBits(uint32_t bits)
{
    if (m_script.m_current_state)
        m_script.m_current_state->SetEngineStateBits(bits);
    GetEngineStateWord();
}

void CVeskDoc::ClearEngineStateBits(uint32_t bits)
{
    if (m_script.m_current_state)
        m_script.m_current_state->ClearEngineStateBits(bits);
    GetEngineStateWord();
}

void CVeskDoc::PlayEffectSound(const CStringUTF8& name)
{
    // A group object for the one call, as the script library builds them.
    CFuncMusic().Play(name, 0, 1);
}

void CVeskDoc::ShowLanguageMessage(const CStringUTF8& text, int32_t id)
{
    if (GetConfigSceneSkip() || !m_script.m_script_context || !m_script.m_current_state)
        return;
    m_script.m_script_context->PrepareBacklogEntry();
    if (m_script.m_current_state->TestEngineState(ENGINE_STATE_RECORDING | ENGINE_STATE_ENTRY_OPEN)) {
        if (LogBuffer* record = m_script.m_script_context->Backlog.GetCurrentEntry())
            record->MessageId = static_cast<uint16_t>(id);
    }
    m_script.m_script_context->ShowMessageText(text);
}

CStringUTF8 CVeskDoc::FormatScriptError(CStringUTF8 message)
{
    return m_script.FormatScriptError(message);
}

