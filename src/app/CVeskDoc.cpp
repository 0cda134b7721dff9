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
#include "movie/CMoviePlayer.h"
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

// A layer sprite for the document; the failure text when it cannot be made.
std::unique_ptr<CSpriteLayer> MakeLayerSprite(int32_t width, int32_t height, int32_t type,
                                              const char* failure)
{
    std::unique_ptr<CSpriteLayer> sprite;
    if (!IsCreationFaultInjected(failure))
        sprite = CreateSpriteOfType(0, 0, width, height, -1, type);
    if (sprite == nullptr)
        throw CExecException(failure);
    return sprite;
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
    (SetGameDocumentSource([]() -> GameDocument* { return GetDocument(); }), true);

} // namespace

void DeleteDocument()
{
    delete g_document.exchange(nullptr);
}

CVeskDoc::CVeskDoc() = default;

CVeskDoc::~CVeskDoc()
{
    Teardown();
}

void CVeskDoc::StartGame()
{
    m_language = GetConfigLanguage();
    StartSoundDevice();
    m_current_state = Make<FlagBuffer>("Failed to create the Flag Object");
    SaveDataTable = Make<ScriptValueTable>("Failed to create the SaveManager");
    SaveDataSnapshot = Make<ScriptValueTable>("Failed to create the SaveManager");
    m_select_manager = Make<SelectManager>("Failed to create the Select Manager");
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

    CreateFonts();
    m_layer_file =
        Make<CSpriteLayerFile>("Failed to create the Sprite Archive",
                               FileInfoString("/GameFile/LayerArchive/File", "layer.arc"), false, true);
    SetDocumentLayerFile(m_layer_file.get());
    CreateLayers();
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
    StartAnimeManager();
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

void CVeskDoc::CreateFonts()
{
    const char* failure = "Failed to create the Font Object";
    m_fonts[DOCUMENT_FONT_MAIN] = Make<CFontDIB>(failure);
    m_fonts[DOCUMENT_FONT_THIRD] = Make<CFontDIB>(failure);
    m_fonts[DOCUMENT_FONT_SECOND] = Make<CFontDIB>(failure);
    const CStringUTF8 face = GetLanguageFontName();
    m_fonts[DOCUMENT_FONT_MAIN]->Create(face);
    m_fonts[DOCUMENT_FONT_THIRD]->Create("SimHei");
    m_fonts[DOCUMENT_FONT_SECOND]->Create("SimHei");
    m_fonts[DOCUMENT_FONT_VERTICAL] = Make<CFontDIB>(failure);
    const CStringUTF8 vertical = CStringUTF8("@") + face;
    m_fonts[DOCUMENT_FONT_VERTICAL]->Create(vertical);
    m_fonts[DOCUMENT_FONT_FIFTH] = Make<CFontDIB>(failure);
    m_fonts[DOCUMENT_FONT_FIFTH]->Create(face);
}

std::unique_ptr<CFontDIB> CVeskDoc::ReplaceFont(int index, std::unique_ptr<CFontDIB> font)
{
    return std::exchange(m_fonts[static_cast<size_t>(index)], std::move(font));
}

void CVeskDoc::CreateLayers()
{
    m_fade_sprite = Make<CFadeSprite>("Failed to create the Fade Sprite");
    m_fade_sprite->ResetDrawParams();
    m_fade_sprite->CreateRenderTargets();
    const SIZE screen = GetScreenOriginalSize(1);
    m_work_layer = MakeLayerSprite(screen.cx, screen.cy, 0, "Failed to create the Work Layer");
    m_layer_file->SetWorkLayer(m_work_layer->GetLayer());
    m_stack_layer =
        MakeLayerSprite(STACK_LAYER_SIZE, STACK_LAYER_SIZE, 1, "Failed to create the Stack Layer");
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
    FlagBuffer& state = *m_current_state;
    SetIntegerValue(state, 55, static_cast<int32_t>(ENGINE_STATE_AT_START));
    SetIntegerValue(state, 35, 0xFFFFFF);
    SetIntegerValue(state, 32, 0);
    SetIntegerValue(state, 40, 1);
}

void CVeskDoc::CreateScriptContext()
{
    m_script_context = Make<ScriptContext>("Failed to create the Script Manager");
    m_script_context->SeedRandom(MT_DEFAULT_SEED);
    std::random_device device;
    const uint32_t seed = device();
    m_script_context->SeedRandom(seed);
    m_script_context->RandomSeed = seed;
    // The exec group reaches the document through the singleton; only the singleton runs scripts.
    if (g_document == this) {
        auto exec = Make<CFuncExec>("Failed to create the Script Manager");
        m_script_context->SetExecGroup(std::move(exec));
    }
}

void CVeskDoc::StartAnimeManager()
{
    m_anime_manager.reset(new (std::nothrow) CAnimeManager(ANIME_MANAGER_PERIOD));
    if (m_anime_manager == nullptr)
        return;
    if (CAppTask* runner = GetAppTask())
        runner->AddTask(m_anime_manager.get());
}

void CVeskDoc::LoadStartScript()
{
    CWinApp* app = GetApp();
    const CStringUTF8 name = app != nullptr ? app->GetConfigString("/GameFile/Script/StartUp", "start.mes", 0)
                                            : CStringUTF8("start.mes");
    ReplaceScript(AttachScript(name));
}

void CVeskDoc::Teardown()
{
    // The channels' sound objects go before the sound system they play on.
    for (auto& group : SoundChannelList)
        group.clear();
    if (m_movie_player)
        m_movie_player->Release();
    if (m_anime_manager) {
        if (CAppTask* runner = GetAppTask())
            runner->RemoveTask(m_anime_manager.get());
        m_anime_manager.reset();
    }
    if (g_document.load() == this || g_document.load() == nullptr)
        GetGameWork()->DestroyObjects();
    if (m_script_context) {
        m_script_context->Release();
        m_script_context.reset();
    }
    if (GetDocumentLink() == this)
        SetDocumentLink(nullptr);
    m_event_manager.reset();
    m_request_word.reset();
    for (auto& list : ObjectLists)
        list.clear();
    if (m_movie_player) {
        m_movie_player->Release();
        m_movie_player.reset();
    }
    for (auto& font : m_fonts) {
        if (font)
            font->Release();
        font.reset();
    }
    Sprites.clear();
    SpriteAnimes.clear();
    m_fade_sprite.reset();
    m_work_layer.reset();
    m_stack_layer.reset();
    {
        ScopedLock lock(m_sprite_layer_lock);
        m_sprite_layers.clear();
    }
    if (m_layer_file)
        SetDocumentLayerFile(nullptr);
    m_layer_file.reset();
    m_data_archive.reset();
    m_update_archive.reset();
    m_update_flag = 0;
    m_current_state.reset();
    LocalFrameStack.clear();
    m_select_manager.reset();
    SaveDataTable.reset();
    SaveDataSnapshot.reset();
    m_suspended_callers.clear();
    m_current_script.reset();
    m_script_stack.clear();
    m_resident_scripts.clear();
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
        std::shared_ptr<CScript> script = m_current_script;
        if (!script)
            return 0;
        const uint32_t position = script->GetPosition();
        m_script_context->Step(*script);
        // The loop rests between frames; a script that moved on has its next opcode due now.
        // One that stays where it was polls by running again, and lets the rest take its course.
        if (script->GetPosition() != position || m_current_script != script)
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
        if (!LocalFrameStack.empty())
            LocalFrameStack.pop_back();
        return PopScript() == 0 ? 0 : 1;
    case DOCUMENT_SCRIPT_END:
        return PopScript() == 0 ? 0 : 1;
    case DOCUMENT_RESTORE_STACK:
        if (SaveDataTable)
            RestoreScriptStack(*SaveDataTable);
        return 1;
    default:
        return 1;
    }
}

int32_t CVeskDoc::GetGameValue(size_t index)
{
    if (!m_current_state || index >= m_current_state->Values.size())
        return 0;
    return m_current_state->Values[index].Integer;
}

uint32_t CVeskDoc::GetEngineStateWord()
{
    // The game state belongs to the main thread; other threads (animation tasks asking for skip
    // mode) get the word as the main thread last read or wrote it.
    if (!platform::IsUserInterfaceThread())
        return m_published_engine_state.load();
    const uint32_t word = m_current_state ? m_current_state->EngineStateWord() : 0;
    m_published_engine_state = word;
    return word;
}

void CVeskDoc::SetEngineStateBits(uint32_t bits)
{
    if (m_current_state)
        m_current_state->SetEngineStateBits(bits);
    GetEngineStateWord();
}

void CVeskDoc::ClearEngineStateBits(uint32_t bits)
{
    if (m_current_state)
        m_current_state->ClearEngineStateBits(bits);
    GetEngineStateWord();
}

std::shared_ptr<CScript> CVeskDoc::AttachScript(const CStringUTF8& name)
{
    std::shared_ptr<CScript> script;
    if (!IsCreationFaultInjected("Failed to create the Script Object"))
        script = std::make_shared<CScript>();
    if (!script)
        throw CExecException("Failed to create the Script Object");
    // The shared archive closes with the last script, so the next attach opens it again.
    if (CScript::GetScriptArchive() == nullptr) {
        std::unique_ptr<CArchiveManager> archive;
        RequireArchives(FileInfoString("/GameFile/ScriptArchive/File", "script.arc"),
                        IsEncoded("/GameFile/ScriptArchive/Encode"));
        if (!IsCreationFaultInjected("Failed to create the Script Archive"))
            archive.reset(new (std::nothrow)
                              CArchiveManager(FileInfoString("/GameFile/ScriptArchive/File", "script.arc"),
                                              IsEncoded("/GameFile/ScriptArchive/Encode"), true));
        if (archive == nullptr)
            throw CExecException("Failed to create the Script Archive");
        CScript::SetScriptArchive(std::move(archive));
    }
    try {
        script->Load(name);
    } catch (const CString& message) {
        CScript::GetScriptArchive()->CloseEntry();
        throw CExecException(FormatScriptError(message));
    } catch (const CExecException&) {
        // Raised by the script's own error report, which has named the script already.
        CScript::GetScriptArchive()->CloseEntry();
        throw;
    }
    return script;
}

void CVeskDoc::ReplaceScript(const std::shared_ptr<CScript>& script)
{
    m_suspended_callers.clear();
    std::erase_if(m_script_stack, [](const std::shared_ptr<CScript>& s) { return !s->IsEnded(); });
    m_current_script = script;
    m_script_stack.push_back(script);
    // The game state names its script, so that a flag file saved from it restarts there.
    if (m_current_state)
        m_current_state->Name = script->GetName();
}

void CVeskDoc::CallScript(const std::shared_ptr<CScript>& script)
{
    m_suspended_callers.push_back(
        SuspendedScript{m_current_script ? m_current_script->GetPosition() : 0, m_current_script});
    m_current_script = script;
    script->ResetTables();
    if (!script->IsEnded()) {
        m_script_stack.push_back(script);
        if (m_current_state)
            m_current_state->Name = script->GetName();
    }
}

uint32_t CVeskDoc::PopScript()
{
    if (m_current_script && !m_current_script->IsEnded()) {
        m_current_script.reset();
        if (!m_script_stack.empty())
            m_script_stack.pop_back();
    }
    if (m_suspended_callers.empty())
        return 0;
    SuspendedScript caller = std::move(m_suspended_callers.back());
    m_suspended_callers.pop_back();
    m_current_script = std::move(caller.Script);
    if (!m_current_script)
        return 0;
    m_current_script->SetPosition(caller.Position);
    return 1;
}

void CVeskDoc::RunNestedFrames(CScript& script)
{
    // The script's first opcode is due at once, and so is the caller's next turn once it ends:
    // neither loop's rest may wait for a note the other loop's last step made.
    platform::NoteDueTime(timeGetTime());
    struct NoteEnd
    {
        ~NoteEnd() { platform::NoteDueTime(timeGetTime()); }
    } note_end;
    try {
        for (;;) {
            CWinApp* app = GetApp();
            if (app != nullptr && app->PumpMessage() == 0)
                return;
            Sleep(0);
            RunEventTick(m_event_manager.get());
            const uint32_t position = script.GetPosition();
            m_script_context->Step(script);
            // As a frame's step: a script that moved on has its next opcode due now.
            if (script.GetPosition() != position)
                platform::NoteDueTime(timeGetTime());
        }
    } catch (tagDOCUMENT_CODE code) {
        if (code != DOCUMENT_SCRIPT_END)
            throw;
    }
}

void CVeskDoc::AttachAndRunScript(const uint8_t* code, uint32_t size)
{
    auto script = std::make_shared<CScript>();
    script->LoadCode(std::span<const uint8_t>(code, size), "Attach Script");
    RunNestedFrames(*script);
}

void CVeskDoc::SaveScriptStack(ScriptValueTable& table)
{
    table.RemoveGroup(SCRIPT_STACK_GROUP);
    for (size_t i = 0; i < m_script_stack.size(); ++i) {
        const bool top = i + 1 == m_script_stack.size();
        ScriptValueArray record;
        record.SetKey(SCRIPT_STACK_KEY | static_cast<uint32_t>(i));
        record.Values.push_back(ScriptValue::FromText(m_script_stack[i]->GetName()));
        const int32_t position = top && m_current_state
                                     ? m_current_state->ResumePosition()
                                     : static_cast<int32_t>(m_script_stack[i]->GetPosition());
        record.Values.push_back(ScriptValue::FromInteger(position));
        record.Values.push_back(ScriptValue::FromInteger(top ? 1 : 0));
        table.Store(record);
    }
}

void CVeskDoc::RestoreScriptStack(ScriptValueTable& table)
{
    for (uint32_t i = 0;; ++i) {
        const ScriptValueArray* record = table.Find(SCRIPT_STACK_KEY | i);
        if (record == nullptr || record->Values.size() < 3)
            return;
        // The record may move while scripts load; keep what is needed.
        const CStringUTF8 name = record->Values[0].Text;
        const int32_t position = record->Values[1].Integer;
        const bool top = record->Values[2].Integer != 0;
        std::shared_ptr<CScript> script = AttachScript(name);
        if (i == 0)
            ReplaceScript(script);
        else
            CallScript(script);
        if (!top)
            script->SetPosition(static_cast<uint32_t>(position));
    }
}

CStringUTF8 CVeskDoc::CheckScriptStack(const ScriptValueTable& table)
{
    CStringUTF8 reason;
    for (uint32_t i = 0;; ++i) {
        const ScriptValueArray* record = table.Find(SCRIPT_STACK_KEY | i);
        if (record == nullptr || record->Values.size() < 3)
            return reason;
        const CStringUTF8 name = record->Values[0].Text;
        const auto position = static_cast<uint32_t>(record->Values[1].Integer);
        const bool top = record->Values[2].Integer != 0;
        std::shared_ptr<CScript> script;
        try {
            script = AttachScript(name);
        } catch (const CExecException&) {
            return reason.Format("スクリプト %s がありません", name.GetText());
        }
        // The top script starts from its beginning; the others go on where they called.
        if (!top && position > script->GetCodeSize())
            return reason.Format("%s の続きの位置 %u がスクリプトの外です", name.GetText(), position);
    }
}

void CVeskDoc::RestoreTopScriptPosition()
{
    if (!SaveDataTable || !m_current_script)
        return;
    for (size_t i = 0; i < SaveDataTable->GetCount(); ++i) {
        const ScriptValueArray& record = SaveDataTable->GetAt(i);
        if (record.Group != SCRIPT_STACK_GROUP || record.Values.size() < 3 || record.Values[2].Integer == 0)
            continue;
        m_current_script->JumpToTableA(static_cast<uint32_t>(record.Values[1].Integer));
    }
}

void CVeskDoc::PlayEffectSound(const CStringUTF8& name)
{
    // A group object for the one call, as the script library builds them.
    CFuncMusic().Play(name, 0, 1);
}

void CVeskDoc::ShowLanguageMessage(const CStringUTF8& text, int32_t id)
{
    if (GetConfigSceneSkip() || !m_script_context || !m_current_state)
        return;
    m_script_context->PrepareBacklogEntry();
    if (m_current_state->TestEngineState(ENGINE_STATE_RECORDING | ENGINE_STATE_ENTRY_OPEN)) {
        if (LogBuffer* record = m_script_context->Backlog.GetCurrentEntry())
            record->MessageId = static_cast<uint16_t>(id);
    }
    m_script_context->ShowMessageText(text);
}

CStringUTF8 CVeskDoc::FormatScriptError(CStringUTF8 message)
{
    CStringUTF8 text;
    if (m_current_script)
        text.Format("%s(%u)\n%s", m_current_script->GetName().GetText(), m_current_script->Line,
                    message.GetText());
    else
        text.Format("%s", message.GetText());
    return text;
}

void CVeskDoc::RegisterSpriteLayer(int32_t number, CSpriteLayer* layer)
{
    {
        ScopedLock lock(m_sprite_layer_lock);
        auto it = m_sprite_layers.find(number);
        if (it == m_sprite_layers.end()) {
            m_sprite_layers.emplace(number, std::unique_ptr<CSpriteLayer>(layer));
            return;
        }
        // The same layer again must not be freed under the caller.
        if (it->second.get() != layer)
            it->second.reset(layer);
    }
    // Told outside the lock: the box pumps messages while the tasks go on.
    CStringUTF8 text;
    text.Format("既に%u番のスプライトレイヤーは登録されています。", static_cast<uint32_t>(number));
    AppMessageBox(0, FormatScriptError(text));
}

void CVeskDoc::UnregisterSpriteLayer(int32_t number)
{
    ScopedLock lock(m_sprite_layer_lock);
    m_sprite_layers.erase(number);
}

CSpriteLayer* CVeskDoc::GetSpriteLayer(int32_t number)
{
    ScopedLock lock(m_sprite_layer_lock);
    auto it = m_sprite_layers.find(number);
    return it == m_sprite_layers.end() ? nullptr : it->second.get();
}

CSpriteLayer* CVeskDoc::FindSpriteLayer(int32_t number)
{
    auto it = m_sprite_layers.find(number);
    return it == m_sprite_layers.end() ? nullptr : it->second.get();
}
