#include "script/exec/CFuncExec.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "app/CGameWork.h"
#include "app/CMouse.h"
#include "app/CVeskDoc.h"
#include "foundation/CLangTextFile.h"
#include "foundation/CStringBase.h"
#include "foundation/ConfigSettings.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CAnimeManager.h"
#include "graphics/CDirect3D.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CSakuraEffect.h"
#include "graphics/CSnowEffect.h"
#include "graphics/CSnowFirstOne.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/TrainMapContext.h"
#include "script/FlagBuffer.h"
#include "script/IScriptMessageScreen.h"
#include "script/IScriptMessageWindow.h"
#include "script/commands/CFuncScreen.h"
#include "script/exec/HeroName.h"
#include "script/exec/IBGVPlay.h"
#include "script/save/SaveStore.h"
#include "script/vm/ScriptContext.h"
#include "script/vm/ScriptError.h"

// Rows of month 1 to 12, day 1 first; 0 past the month's last day.
const uint8_t CALENDAR_TABLE[12][31] = {
    {12, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 12, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6},
    {7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 11, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6},
    {7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 14, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2},
    {2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 10, 3},
    {4, 5, 14, 15, 9, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6},
    {7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1},
    {2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4},
    {5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7},
    {1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 9, 2, 3, 4, 5, 6, 7, 1, 10, 3, 4, 5, 6, 7, 1, 2},
    {3, 4, 5, 6, 7, 1, 2, 3, 4, 13, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5},
    {6, 7, 9, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 15, 9, 2, 3, 4, 5, 6, 7, 0},
    {1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 10, 3, 4, 5, 6, 7, 1, 2, 3},
};

namespace {

// The command table's last code; the dispatch indexes it with code + 1, taken unsigned.
constexpr uint32_t LAST_CODE = 108;

constexpr int32_t TRAIN_FADE_TICKS = 12;

constexpr uint32_t ENGINE_STATE_NO_BACKLOG_TEXT = 0x400;

bool IsFlagIndex(const FlagBuffer& state, int64_t index)
{
    return index >= 0 && static_cast<uint64_t>(index) < state.Flags.size();
}

} // namespace

CFuncExec::CFuncExec()
    : m_task(std::make_unique<CSpriteAnime>())
    , m_stash(std::make_unique<FlagBuffer>())
{}

CFuncExec::~CFuncExec()
{
    m_snow.reset();
    m_petals.reset();
    m_snowball.reset();
    m_train.reset();
    m_task.reset();
    m_message_screen.reset();
    m_stash.reset();
}

void CFuncExec::PushResult(int32_t result)
{
    Context->PushInteger(result);
}

void CFuncExec::PushScreenResult(ScriptScreen screen, int32_t preset, std::vector<ScriptValue> arguments)
{
    ScriptValue result = ScriptValue::FromInteger(preset);
    RunScriptScreen(screen, &result, ScriptScreenCall{std::move(arguments)});
    PushResult(result.Integer);
}

void CFuncExec::Call(CScript& script)
{
    if (Context == nullptr)
        return;
    const int32_t code = Context->PopInteger();
    if (static_cast<uint32_t>(code) + 1 > LAST_CODE + 1)
        return;
    switch (code) {
    case -1:
        return WriteThumbnail();
    case 5:
        return ShowHeroName();
    case 10:
        return MessageWindow();
    case 12:
        return Picture();
    case 13:
        return StandingCharacter();
    case 14:
        return AutoSave();
    case 15:
        return BackgroundVoice();
    case 16: {
        const int32_t mode = Context->PopInteger();
        return PushScreenResult(ScriptScreen::AreaBase, 0, {ScriptValue::FromInteger(mode)});
    }
    case 17:
        return AreaSelect();
    case 18:
        return NameInput();
    case 19:
        return SetDefaultHeroName();
    case 20:
        RunScriptScreen(ScriptScreen::TownMap, nullptr, ScriptScreenCall{{}, &script});
        return;
    case 21:
        return SetBacklogText();
    case 22:
        return SetBacklogHeroName();
    case 23: {
        ScriptValue result = ScriptValue::FromText(MakeLanguageFileName(Context->PopValue().Text));
        result.Integer = 0;
        return Context->Push(result);
    }
    case 24:
        return LanguageText();
    case 25:
        return WriteCalendar();
    case 26:
        return CopyFlags();
    case 27:
        return GameCursor();
    case 28:
        return Title();
    case 29: {
        const int32_t mode = Context->PopInteger();
        return PushScreenResult(ScriptScreen::TimeSelect, 0, {ScriptValue::FromInteger(mode)});
    }
    case 30:
    case 48: {
        const int32_t number = Context->PopInteger();
        RunScriptScreen(code == 30 ? ScriptScreen::MiniDialog : ScriptScreen::MiniDialog2, nullptr,
                        ScriptScreenCall{{ScriptValue::FromInteger(number)}});
        return;
    }
    case 31:
        return TitleAnimation();
    case 32:
        return ArmAndStepSlot();
    case 33:
        return Pan();
    case 34:
        return RestartSlot();
    case 35:
        return FaceVoice();
    case 36: {
        const int32_t kind = Context->PopInteger();
        return PushScreenResult(ScriptScreen::CharSelect, -1, {ScriptValue::FromInteger(kind)});
    }
    case 37: {
        const int32_t index = Context->PopInteger();
        RunScriptScreen(ScriptScreen::Comment, nullptr, ScriptScreenCall{{ScriptValue::FromInteger(index)}});
        return;
    }
    case 38:
        return Stash();
    case 39:
        return Train();
    case 40:
        return PushScreenResult(ScriptScreen::CharAreaSelect, 0);
    case 41:
        return TrainLineMap();
    case 42:
        return ZoomFlash();
    case 43:
        return Snow();
    case 44:
        return Snowball();
    case 45:
        return PictureSet(script);
    case 46:
        return MessageScreen();
    case 47:
        return Extras(4);
    case 49:
        return MarkHeroineSeen();
    case 50:
    case 51:
    case 52:
    case 53:
        return Extras(code - 50);
    case 55:
        return Petals();
    case 56:
        return EpiloguePicture(script);
    case 54:
        // No confirmation to ask answers as cancelled.
        return PushScreenResult(ScriptScreen::ConfirmDialog, -1);
    case 108:
        return MiniGame();
    default:
        return;
    }
}

void CFuncExec::WriteThumbnail()
{
    const int32_t slot = Context->PopInteger();
    const int32_t width = Context->PopInteger();
    const int32_t height = Context->PopInteger();
    if (slot < 0 || width < 0 || height < 0)
        return;
    // No thumbnail is larger than the screen it is taken from; a larger size is a script's fault.
    CStringUTF8 text;
    if (width > LOGICAL_WIDTH || height > LOGICAL_HEIGHT) {
        ReportScriptError(text.Format("サムネイルの大きさ %d x %d は画面を超えています", width, height));
        return;
    }
    const std::vector<uint8_t> bytes(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    (void)SaveStore::WriteThumbnail(static_cast<uint32_t>(slot), bytes, ThumbnailFailure::Report);
}

CStringUTF8 CFuncExec::GetHeroName() const
{
    std::string name;
    const std::vector<uint8_t>& bytes = CurrentState->Bytes;
    for (size_t i = HERO_NAME_BYTE; i < bytes.size() && i < HERO_NAME_BYTE + HERO_NAME_MAX_BYTES; ++i) {
        if (bytes[i] == 0)
            break;
        name.push_back(static_cast<char>(bytes[i]));
    }
    return CStringUTF8(name.c_str());
}

void CFuncExec::ShowHeroName()
{
    Context->PrepareBacklogEntry();
    Context->ShowMessageText(GetHeroName());
}

void CFuncExec::MessageWindow()
{
    const int32_t sub = Context->PopInteger();
    IScriptMessageWindow* window = FindScriptMessageWindow();
    switch (sub) {
    case 10:
        if (window != nullptr)
            window->ClearTextArea();
        return;
    case 11:
        if (window != nullptr)
            window->Hide();
        return;
    case 14:
        if (window != nullptr)
            window->HideSprites();
        return;
    case 15: {
        const int32_t face = std::max(Context->PopInteger() - 1, 0);
        if (window != nullptr)
            window->ShowFace(face);
        return;
    }
    case 16:
        if (window != nullptr)
            window->HideFace();
        return;
    case 28:
        RunScriptScreen(ScriptScreen::StatusPlateShow, nullptr);
        return;
    case 29:
        RunScriptScreen(ScriptScreen::StatusPlateHide, nullptr);
        return;
    case 30:
        RunScriptScreen(ScriptScreen::StatusPlateCalendar, nullptr);
        return;
    default:
        return;
    }
}

void CFuncExec::AutoSave()
{
    FlagBuffer& state = *CurrentState;
    if (state.Variables.size() <= AUTO_SAVE_GUARD_VARIABLE)
        return;
    ScriptValue& guard = state.Variables[AUTO_SAVE_GUARD_VARIABLE];
    if (guard.Integer == 0) {
        CGameWork* work = GetGameWork();
        work->SetStatusBits(STATUS_SNAPSHOT_WANTED);
        guard = ScriptValue::FromInteger(1);
        work->ClearStatusBits(STATUS_SNAPSHOT_TAKEN);
        if ((work->GetStatus() & (STATUS_SNAPSHOT_WANTED | STATUS_SNAPSHOT_TAKEN)) ==
            STATUS_SNAPSHOT_WANTED) {
            CDirect3D* display = CDirect3D::GetInstance();
            // The thumbnail is made from the layer every other snapshot goes to.
            if (display->IsLive() && Document->GetStackLayer() != nullptr)
                display->CaptureScreen(Document->GetStackLayer());
            work->SetStatusBits(STATUS_SNAPSHOT_TAKEN);
        }
        RunScriptScreen(ScriptScreen::AutoSave, nullptr);
        work->ClearStatusBits(STATUS_SNAPSHOT_WANTED);
    }
    // The saved game holds the guard at 1, so reaching this command again after a load saves
    // nothing a second time.
    state.Variables[AUTO_SAVE_GUARD_VARIABLE] = ScriptValue::FromInteger(0);
}

void CFuncExec::BackgroundVoice()
{
    const int32_t sub = Context->PopInteger();
    if (sub < 0 || sub > 4)
        return;
    CStringUTF8 name;
    if (sub == 0 || sub == 2)
        name = Context->PopValue().Text;
    const int32_t player = Context->PopInteger();
    auto* players = GetGameWork()->m_bgv_players.get();
    if (players == nullptr || player < 0 || static_cast<size_t>(player) >= players->size())
        return;
    IBGVPlay& bgv = *(*players)[static_cast<size_t>(player)];
    switch (sub) {
    case 0:
        return bgv.Start(name);
    case 1:
        return bgv.Stop();
    case 2:
        return bgv.AddFile(name);
    case 3:
        return bgv.Restart();
    default:
        return bgv.FadeOut();
    }
}

void CFuncExec::AreaSelect()
{
    const int32_t sub = Context->PopInteger();
    switch (sub) {
    case 0: {
        const CStringUTF8 name = Context->PopValue().Text;
        RunScriptScreen(ScriptScreen::AreaSelectSource, nullptr,
                        ScriptScreenCall{{ScriptValue::FromText(name)}});
        return;
    }
    case 1:
        return PushScreenResult(ScriptScreen::AreaSelect, 0);
    case 2:
        RunScriptScreen(ScriptScreen::AreaSelectClear, nullptr);
        return;
    default:
        return;
    }
}

void CFuncExec::SetDefaultHeroName()
{
    const CStringUTF8 name = GetDefaultHeroName(GetConfigLanguage());
    std::vector<uint8_t>& bytes = CurrentState->Bytes;
    const size_t length = static_cast<size_t>(name.GetLength());
    if (HERO_NAME_BYTE + length + 1 > bytes.size())
        return;
    std::memcpy(bytes.data() + HERO_NAME_BYTE, name.GetText(), length);
    bytes[HERO_NAME_BYTE + length] = 0;
}

LogBuffer* CFuncExec::GetBacklogTarget()
{
    const uint32_t word = Document->GetEngineStateWord();
    if ((word & ENGINE_STATE_MEASURE) != 0 || (word & ENGINE_STATE_NO_BACKLOG_TEXT) != 0)
        return nullptr;
    const int32_t count = Context->Backlog.CountEntries();
    if (count <= 0 || static_cast<size_t>(count) > Context->Backlog.Entries.size())
        return nullptr;
    return Context->Backlog.Entries[static_cast<size_t>(count - 1)].get();
}

void CFuncExec::SetBacklogText()
{
    const CStringUTF8 text = Context->PopValue().Text;
    if (LogBuffer* entry = GetBacklogTarget())
        entry->HeadText = CStringUTF8(WideToUtf8(AnsiToWide(text.GetText())).c_str());
}

void CFuncExec::SetBacklogHeroName()
{
    const CStringUTF8 request = Context->PopValue().Text;
    CStringUTF8 name = GetHeroName();
    std::string suffix;
    if (!request.IsEmpty()) {
        switch (GetConfigLanguage()) {
        case 0:
            suffix = " Jr.";
            break;
        case 1:
        case 2:
        case 3:
            suffix = "二世";
            break;
        default:
            suffix = request.GetText();
            break;
        }
    }
    // The suffix stands after the name in the game state while the command runs, as far as the
    // array reaches, and is cleared again before it returns.
    std::vector<uint8_t>& bytes = CurrentState->Bytes;
    const size_t start = HERO_NAME_BYTE + static_cast<size_t>(name.GetLength());
    const size_t end = std::min(start + suffix.size(), bytes.size());
    for (size_t i = start; i < end; ++i)
        bytes[i] = static_cast<uint8_t>(suffix[i - start]);
    if (LogBuffer* entry = GetBacklogTarget())
        entry->HeadText = CStringUTF8((std::string(name.GetText()) + suffix).c_str());
    for (size_t i = start; i < end; ++i)
        bytes[i] = 0;
}

void CFuncExec::LanguageText()
{
    const int32_t sub = Context->PopInteger();
    if (sub < 0 || sub > 2)
        return;
    const ScriptValue argument = Context->PopValue();
    const uint32_t word = Document->GetEngineStateWord();
    CGameWork* work = GetGameWork();
    if (work->m_text_file == nullptr)
        work->m_text_file = std::make_unique<CLangTextFile>();
    CLangTextFile& file = *work->m_text_file;
    switch (sub) {
    case 0: {
        if ((word & (ENGINE_STATE_MEASURE | ENGINE_STATE_MEASURE_LINES)) != 0)
            return;
        if ((word & ENGINE_STATE_NO_BACKLOG_TEXT) == 0) {
            const int32_t count = Context->Backlog.CountEntries();
            if (count > 0 && static_cast<size_t>(count) <= Context->Backlog.Entries.size())
                Context->Backlog.Entries[static_cast<size_t>(count - 1)]->TextTable = m_language_file;
        }
        file.Open(m_language_file);
        file.ShowMessage(static_cast<uint16_t>(argument.Integer));
        return;
    }
    case 1:
        if ((word & ENGINE_STATE_MEASURE) != 0 || (word & ENGINE_STATE_NO_BACKLOG_TEXT) != 0)
            return;
        if (const int32_t count = Context->Backlog.CountEntries();
            count > 0 && static_cast<size_t>(count) <= Context->Backlog.Entries.size())
            Context->Backlog.Entries[static_cast<size_t>(count - 1)]->MessageId = argument.Integer;
        return;
    default:
        m_language_file = argument.Text;
        file.Open(m_language_file);
        return;
    }
}

void CFuncExec::WriteCalendar()
{
    std::vector<uint8_t>& bytes = CurrentState->Bytes;
    if (CALENDAR_BYTE + CALENDAR_BYTES > bytes.size())
        return;
    std::fill_n(bytes.begin() + CALENDAR_BYTE, CALENDAR_BYTES, 0);
    for (size_t month = 0; month < 12; ++month)
        std::copy_n(CALENDAR_TABLE[month], 31, bytes.begin() + CALENDAR_BYTE + month * 32);
}

void CFuncExec::CopyFlags()
{
    const int32_t count = Context->PopInteger();
    FlagBuffer& state = *CurrentState;
    const int64_t base =
        state.Values.size() > FLAG_COPY_BASE_VALUE ? state.Values[FLAG_COPY_BASE_VALUE].Integer : 0;
    // A count beyond the stack cannot have its indices: only what is there is popped.
    const int32_t available = static_cast<int32_t>(std::min<size_t>(Context->ValueStack.size(), INT32_MAX));
    for (int32_t i = 0; i < std::min(count, available); ++i) {
        const int64_t source = static_cast<int64_t>(Context->PopInteger()) + 2;
        const int64_t target = base + i;
        if (IsFlagIndex(state, source) && IsFlagIndex(state, target))
            state.Flags[static_cast<size_t>(target)] = state.Flags[static_cast<size_t>(source)];
    }
}

void CFuncExec::GameCursor()
{
    const int32_t change = Context->PopInteger();
    if (change == 0)
        GetMouse()->TurnOn();
    else if (change == 1)
        GetMouse()->HideGameCursor();
}

void CFuncExec::ArmAndStepSlot()
{
    const int32_t group = Context->PopInteger();
    const int32_t slot = Context->PopInteger();
    CAnimeManager* anime = Document->GetAnimeManager();
    if (anime == nullptr || !CAnimeBase::IsSlot(group, slot))
        return;
    anime->ArmSlot(group, slot);
    anime->StepSlot(group, slot);
}

void CFuncExec::RestartSlot()
{
    Context->PopValue();
    const int32_t group = Context->PopInteger();
    const int32_t slot = Context->PopInteger();
    CAnimeManager* anime = Document->GetAnimeManager();
    if (anime == nullptr || !CAnimeBase::IsSlot(group, slot))
        return;
    if (anime->GetSlot(group, slot).state == ANIME_RUNNING)
        return;
    anime->StopGroup(group);
    anime->ArmSlot(group, slot);
    anime->StartSlot(group, slot);
}

void CFuncExec::FaceVoice()
{
    // Scene skip leaves the sub-command and its argument on the stack.
    if (GetConfigSceneSkip())
        return;
    const int32_t sub = Context->PopInteger();
    if (sub == 0) {
        const CStringUTF8 name = Context->PopValue().Text;
        RunScriptScreen(ScriptScreen::FaceVoiceStart, nullptr,
                        ScriptScreenCall{{ScriptValue::FromText(name)}});
    } else if (sub == 1) {
        RunScriptScreen(ScriptScreen::FaceVoiceStop, nullptr);
    }
}

void CFuncExec::Stash()
{
    const int32_t which = Context->PopInteger();
    if (which == 0)
        m_stash->Assign(*CurrentState);
    else
        CurrentState = m_stash.get();
}

void CFuncExec::TrainLineMap()
{
    const int32_t direction = Context->PopInteger();
    TrainMapContext train;
    CreateTrainMap(train, direction);
    PlayTrainMap(train, [](int32_t ticks) { CFuncScreen().RunTransition(ticks); });
    if (!GetConfigSceneSkip()) {
        if (CFadeSprite* fade = Document->GetFadeSprite())
            fade->FadeToColor(0, TRAIN_FADE_TICKS);
    }
    FinishTrainAnimation(train);
}

void CFuncExec::MessageScreen()
{
    const int32_t sub = Context->PopInteger();
    switch (sub) {
    case 0:
        m_message_screen.reset();
        m_message_screen = MakeScriptMessageScreen();
        return;
    case 1:
        if (m_message_screen != nullptr)
            m_message_screen->ResetTextArea();
        return;
    case 2:
        if (m_message_screen != nullptr)
            m_message_screen->Show();
        return;
    case 3: {
        const int32_t mode = Context->PopInteger();
        const CStringUTF8 text = Context->PopValue().Text;
        return PushResult(m_message_screen != nullptr ? m_message_screen->RunText(mode, text) : 0);
    }
    case 4:
        m_message_screen.reset();
        return;
    default:
        return;
    }
}
