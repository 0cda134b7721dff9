#include "screens/base/ISelect.h"

#include <memory>

#include "foundation/AppLink.h"
#include "foundation/CArchiveManager.h"
#include "foundation/CCriticalSection.h"
#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "foundation/MainView.h"
#include "foundation/WaitPass.h"
#include "graphics/CDirect3D.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/EffectClock.h"
#include "graphics/SpriteLayerRegistry.h"
#include "platform/kernel/IdleWait.h"
#include "platform/kernel/TimeApi.h"
#include "platform/user/ClipboardApi.h"
#include "screens/base/ScreenWork.h"
#include "screens/map/CStatusPlate.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/commands/CFuncEffect.h"
#include "script/vm/ScriptContext.h"

namespace {

// A frame: how soon a wait for a release looks again.
constexpr uint32_t RELEASE_POLL_MS = 16;

inline constexpr int32_t SCREEN_WIDTH = 1920;
inline constexpr int32_t SCREEN_HEIGHT = 1080;

int32_t Clamp(int32_t value, int32_t low, int32_t high)
{
    return value < low ? low : (value > high ? high : value);
}

// Puts scene skip back and clears an engine bit when a script run for an answer ends, also when
// a document code passes through: a persisted setting must never be left off.
class AnswerRun
{
public:
    AnswerRun(ISelect& screen, uint32_t bit)
        : m_screen(screen)
        , m_bit(bit)
        , m_scene_skip(GetConfigSceneSkip())
    {
        SetConfigSceneSkip(0);
        m_screen.SetEngineState(m_bit);
    }
    ~AnswerRun()
    {
        m_screen.ClearEngineState(m_bit);
        SetConfigSceneSkip(m_scene_skip ? 1 : 0);
    }
    AnswerRun(const AnswerRun&) = delete;
    AnswerRun& operator=(const AnswerRun&) = delete;

private:
    ISelect& m_screen;
    uint32_t m_bit;
    bool m_scene_skip;
};

} // namespace

ISelect::ISelect()
    : Document(GetGameDocument())
    , InputView(GetInputView())
    , GameWork(GetScreenWork())
{}

ISelect::~ISelect()
{
    if (ScreenWork* work = GetScreenWork())
        work->RemoveActiveScreen(this);
}

FlagBuffer* ISelect::CurrentFlagBuffer()
{
    return GetScriptState().m_current_state.get();
}

ScriptContext* ISelect::GetScriptContext()
{
    return GetScriptState().m_script_context.get();
}

CLayerFile* ISelect::LayerFile()
{
    return GetDocumentLayerFile();
}

ScriptValue* ISelect::Run(ScriptValue* out)
{
    ListActive();
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
    return RunLoopAndClose(out);
}

void ISelect::ListActive()
{
    const auto& active = GameWork->GetActiveScreens();
    if (std::find(active.begin(), active.end(), this) == active.end())
        GameWork->AddActiveScreen(this);
}

ScriptValue* ISelect::RunLoopAndClose(ScriptValue* out,
                                      const std::function<void(bool unwinding)>& before_close)
{
    try {
        ModalLoop();
    } catch (GameDocument::tagDOCUMENT_CODE) {
        if (before_close)
            before_close(true);
        OnClose();
        throw;
    }
    if (before_close)
        before_close(false);
    OnClose();
    if (out != nullptr)
        *out = Result;
    return out;
}

void ISelect::OnClose()
{
    GameWork->RemoveActiveScreen(this);
}

void ISelect::MoveCursorBy(int32_t dx, int32_t dy)
{
    CursorX = Clamp(CursorX + dx, 0, SCREEN_WIDTH);
    CursorY = Clamp(CursorY + dy, 0, SCREEN_HEIGHT);
    const POINT window = CDirect3D::GetInstance()->LogicalToWindow(POINT{CursorX, CursorY});
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetPosition(window.x, window.y);
}

void ISelect::OnMouseWheel(int32_t)
{
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
}

void ISelect::ModalLoop()
{
    RunModalLoop(ModalChain::Screen);
}

void ISelect::RunModalLoop(ModalChain chain)
{
    const bool message_window = chain == ModalChain::MessageWindow;
    // Screens that glide a pointer test the arrows after the chain; they have no paste either.
    const bool arrows_in_chain = !ArrowsApart || message_window;
    OnOpen();
    if (InputMode == 1)
        InputModeFrames = 1;
    while (PumpFrame() != 0) {
        Update();
        if (Running == 0)
            break;
        if (IsInputTriggered(INPUT_CTRL))
            OnCtrlKey();
        if (IsInputTriggered(INPUT_SHIFT))
            OnShiftKey();
        if (Running == 0)
            break;

        IMouse* mouse = InputView->GetMouse();
        if (IsInputTriggered(SCAN_ENTER) || IsInputTriggered(SCAN_KEYPAD_ENTER))
            OnEnterKey();
        else if (message_window && IsInputTriggered(INPUT_LEFT))
            OnLButton();
        else if (IsInputTriggered(SCAN_ESCAPE) || IsInputTriggered(SCAN_KEYPAD_0))
            OnEscapeKey();
        else if (message_window && IsInputTriggered(INPUT_RIGHT))
            OnRButton();
        else if (IsInputTriggered(SCAN_DELETE))
            OnDeleteKey();
        else if (message_window && OnSkipInput()) {
            // the advance has run
        } else if (IsInputTriggered(SCAN_BACKSPACE))
            OnBackspaceKey();
        else if (IsInputTriggered(SCAN_SPACE))
            OnSpaceKey();
        else if (IsInputTriggered(SCAN_TAB))
            OnTabKey();
        else if (IsInputTriggered(SCAN_HOME))
            OnHomeKey();
        else if (IsInputTriggered(SCAN_END))
            OnEndKey();
        else if (IsInputTriggered(SCAN_PAGE_UP))
            OnPageUpKey();
        else if (IsInputTriggered(SCAN_PAGE_DOWN))
            OnPageDownKey();
        else if (arrows_in_chain && IsInputTriggered(SCAN_UP))
            OnUpKey();
        else if (arrows_in_chain && IsInputTriggered(SCAN_DOWN))
            OnDownKey();
        else if (arrows_in_chain && IsInputTriggered(SCAN_LEFT))
            OnLeftKey();
        else if (arrows_in_chain && IsInputTriggered(SCAN_RIGHT))
            OnRightKey();
        else if (!message_window && IsInputTriggered(INPUT_LEFT))
            OnLButton();
        else if (!message_window && IsInputTriggered(INPUT_RIGHT))
            OnRButton();
        else if (IsInputTriggered(INPUT_MIDDLE))
            OnMButton();
        else if (!message_window && arrows_in_chain && IsInputTriggered(SCAN_V)) {
            // V alone ends the chain too, so the wheel and drag tests wait for the next pass.
            if (IsInputTriggered(INPUT_CTRL))
                OnPaste();
        } else if (mouse != nullptr && mouse->GetWheel() != 0)
            OnMouseWheel(mouse->GetWheel());
        else if (IsInputTriggered(INPUT_DRAG))
            OnDrag();
        else if (message_window)
            OnIdlePass();
        else
            IdleSleep();
        if (!arrows_in_chain) {
            if (IsInputTriggered(SCAN_UP))
                OnUpKey();
            if (IsInputTriggered(SCAN_DOWN))
                OnDownKey();
            if (IsInputTriggered(SCAN_LEFT))
                OnLeftKey();
            if (IsInputTriggered(SCAN_RIGHT))
                OnRightKey();
        }

        if (InputMode != 0) {
            if (InputModeFrames != 0) {
                if (--InputModeFrames == 0)
                    InputMode = 0;
            } else if (message_window) {
                // An InputMode raised during the pass lasts one more pass.
                InputModeFrames = 1;
            }
        }
    }
    if (!GetConfigSceneSkip()) {
        // A millisecond, not a quiet screen's rest until the next input.
        platform::NoteDueTime(timeGetTime() + 1);
        Sleep(1);
    }
    if (IMouse* mouse = InputView->GetMouse())
        mouse->ClearClicks();
}

void ISelect::IdleSleep()
{
    if (!TestEngineState(ENGINE_STATE_NO_IDLE_SLEEP))
        Sleep(1);
}

void ISelect::OnDecide()
{
    for (int32_t code : OkInputs)
        WaitInputRelease(static_cast<uint32_t>(code));
}

int32_t ISelect::IsDecideHeld()
{
    for (int32_t code : OkInputs)
        if (IsInputHeld(static_cast<uint32_t>(code)))
            return 1;
    return 0;
}

void ISelect::OnCancel()
{
    for (int32_t code : CancelInputs)
        WaitInputRelease(static_cast<uint32_t>(code));
}

void ISelect::PlayOkSound(int32_t channel)
{
    AppLink* app = GetAppLink();
    const CStringUTF8 name = app ? app->GetConfigString("/Config/Sound/OK", "ses_001.wav", 0) : "ses_001.wav";
    CFuncEffect effect;
    effect.Play(name, channel, 1);
}

void ISelect::PlayCancelSound(int32_t channel)
{
    AppLink* app = GetAppLink();
    const CStringUTF8 name =
        app ? app->GetConfigString("/Config/Sound/Cancel", "ses_002.wav", 0) : "ses_002.wav";
    CFuncEffect effect;
    effect.Play(name, channel, 1);
}

bool ISelect::PumpOnce()
{
    return GetAppLink() != nullptr && RunWaitPass(Document);
}

int32_t ISelect::PumpFrame()
{
    // A screen that a handler ended leaves at this pump: its rest waits for nothing, where a
    // quiet screen's would last until the next input.
    if (Running == 0)
        platform::NoteDueTime(timeGetTime());
    return PumpOnce() ? Running : 0;
}

int32_t ISelect::HitTestCursor()
{
    IMouse* mouse = InputView->GetMouse();
    if (mouse == nullptr)
        return -1;
    POINT position{};
    mouse->GetPosition(&position);
    const POINT screen = CDirect3D::GetInstance()->WindowToLogical(position);
    const HitArea* area = HitAreas.HitTest(screen.x, screen.y);
    return area != nullptr ? static_cast<int32_t>(area->Id) : -1;
}

void ISelect::PushValue(const ScriptValue& value)
{
    if (ScriptContext* context = GetScriptContext())
        context->ValueStack.push_back(value);
}

ScriptValue* ISelect::PopValue(ScriptValue* out)
{
    if (ScriptContext* context = GetScriptContext(); context != nullptr && out != nullptr)
        context->PopValue(*out);
    return out;
}

void ISelect::RunScript(int32_t handle)
{
    ScriptContext* context = GetScriptContext();
    if (context == nullptr)
        return;
    const std::vector<uint8_t>* code = context->Backlog.FindCode(handle);
    if (code == nullptr)
        return;
    // The record may be recycled while its code runs.
    const std::vector<uint8_t> copy = *code;
    GetScriptState().AttachAndRunScript(copy.data(), static_cast<uint32_t>(copy.size()));
}

void ISelect::RunScriptForAnswer(int32_t handle, uint32_t bit)
{
    AnswerRun run(*this, bit);
    GetScriptState().ScriptResult = 0;
    GetScriptState().ScriptResultList.clear();
    RunScript(handle);
}

void ISelect::RunScriptForList(int32_t handle, std::vector<int32_t>& out)
{
    RunScriptForAnswer(handle, ENGINE_STATE_LIST_ANSWER);
    out = GetScriptState().ScriptResultList;
}

int32_t ISelect::RunScriptForValue(int32_t handle)
{
    RunScriptForAnswer(handle, ENGINE_STATE_VALUE_ANSWER);
    return GetScriptState().ScriptResult;
}

void ISelect::RunCode(const uint8_t* code, uint32_t size)
{
    if (code != nullptr && size != 0)
        GetScriptState().AttachAndRunScript(code, size);
}

int32_t ISelect::RunCodeForValue(const uint8_t* code, uint32_t size)
{
    AnswerRun run(*this, ENGINE_STATE_VALUE_ANSWER);
    GetScriptState().ScriptResult = 0;
    GetScriptState().MeasuredWidthTotal = 0;
    GetScriptState().MeasuredLineWidths.clear();
    RunCode(code, size);
    return GetScriptState().ScriptResult != 0 ? GetScriptState().ScriptResult
                                              : GetScriptState().MeasuredWidthTotal;
}

void ISelect::ReadFile(const CStringUTF8& name, std::vector<uint8_t>& out)
{
    CArchiveManager* archive = Document->GetDataArchive();
    if (archive == nullptr)
        return;
    archive->OpenEntry(name);
    out.assign(archive->GetSize(), 0);
    archive->ReadAll(out.data());
    archive->CloseEntry();
}

bool ISelect::TestEngineState(uint32_t mask)
{
    const FlagBuffer* state = CurrentFlagBuffer();
    return state != nullptr && (state->EngineStateWord() & mask) != 0;
}

void ISelect::SetEngineState(uint32_t mask)
{
    if (FlagBuffer* state = CurrentFlagBuffer())
        state->SetEngineStateBits(mask);
}

void ISelect::ClearEngineState(uint32_t mask)
{
    if (FlagBuffer* state = CurrentFlagBuffer())
        state->ClearEngineStateBits(mask);
}

uint8_t ISelect::GetFlag(uint32_t n)
{
    const FlagBuffer* state = CurrentFlagBuffer();
    return state != nullptr && n < state->Flags.size() ? state->Flags[n] : 0;
}

void ISelect::SetFlag(uint32_t n, uint8_t value)
{
    FlagBuffer* state = CurrentFlagBuffer();
    if (state != nullptr && n < state->Flags.size())
        state->Flags[n] = value;
}

int32_t ISelect::IsInputTriggered(uint32_t code)
{
    return InputView->IsActionTriggered(code, InputMode);
}

void ISelect::WaitInputRelease(uint32_t code)
{
    do {
        // The state it polls changes without an input to end the rest (a press the input view
        // still counts): look again within a frame.
        platform::NoteDueTime(timeGetTime() + RELEASE_POLL_MS);
        if (!PumpOnce())
            return;
    } while (IsInputTriggered(code));
}

int32_t ISelect::StepCursorTo(int32_t target, uint32_t scan_code)
{
    if (target != -1)
        HitAreas.MoveCursorToArea(static_cast<uint32_t>(target));
    Update();
    WaitInputRelease(scan_code);
    return 0;
}

void ISelect::PressGameModeButton()
{
    PlayOkSound(SCREEN_SOUND_CHANNEL);
    CStatusPlate* plate = GameWork != nullptr ? GameWork->GetStatusPlate() : nullptr;
    if (plate != nullptr)
        plate->DrawButton(2, 1);
    ISelect::OnDecide();
    SetConfigGameMode(GetConfigGameMode() == 0 ? 1 : 0);
    if (plate != nullptr)
        plate->DrawButton(0, 1);
}

std::optional<std::u16string> ISelect::ClipboardText()
{
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(GetMainView().GetMainWindow()))
        return std::nullopt;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text =
        data != nullptr ? static_cast<const char16_t*>(GlobalLock(reinterpret_cast<HGLOBAL>(data))) : nullptr;
    std::optional<std::u16string> copy;
    if (text != nullptr) {
        copy = std::u16string(text);
        GlobalUnlock(reinterpret_cast<HGLOBAL>(data));
    }
    CloseClipboard();
    return copy;
}

int32_t ISelect::IsInputHeld(uint32_t code)
{
    const uint32_t deadline = GetEffectTime() + LongPressTime;
    for (;;) {
        if (!PumpOnce())
            return 1;
        if (static_cast<int32_t>(GetEffectTime() - deadline) >= 0)
            return 1;
        if (!IsInputTriggered(code))
            return 0;
        platform::NoteDueTime(deadline);
    }
}

CSprite* ISelect::CreateTextureSprite(CTextureLayer* layer, int32_t x, int32_t y, int32_t src_x,
                                      int32_t src_y, int32_t width, int32_t height, int32_t priority,
                                      int32_t format)
{
    auto sprite = std::make_unique<CSpriteTexture>();
    const RECT source{src_x, src_y, src_x + width, src_y + height};
    sprite->Create(layer, static_cast<float>(x), static_cast<float>(y), source, priority, format);
    return sprite.release();
}

CSprite* ISelect::CreateSprite(int32_t x, int32_t y, int32_t width, int32_t height, int32_t priority,
                               int32_t type, int32_t format)
{
    if (type == LAYER_KIND_TEXTURE)
        return CreateTextureSprite(nullptr, x, y, 0, 0, width, height, priority, format);
    return CreateSpriteOfType(x, y, width, height, priority, type).release(); // the caller owns it
}

CSprite* ISelect::LoadSprite(const CStringUTF8& name, CSprite* sprite, int32_t kind, int32_t texture_argument,
                             int32_t priority, RECT* out, int32_t x, int32_t y, int32_t fill_mode)
{
    CLayerFile* file = LayerFile();
    return file ? file->LoadSprite(name, sprite, kind, texture_argument, priority, out, x, y, fill_mode)
                : nullptr;
}

CSprite* ISelect::LoadSpriteAlt(const CStringUTF8& name, CSprite* sprite, int32_t kind,
                                int32_t texture_argument, int32_t priority, RECT* out, int32_t x, int32_t y,
                                int32_t fill_mode)
{
    return AltLayerFile ? AltLayerFile->LoadSprite(name, sprite, kind, texture_argument, priority, out, x, y,
                                                   fill_mode)
                        : nullptr;
}

CSprite* ISelect::LoadPictureSprite(const CStringUTF8& name, int32_t n)
{
    return LoadSprite(name, nullptr, LAYER_KIND_TEXTURE, n, 0, nullptr, -1, -1, 0);
}

std::shared_ptr<CSprite> ISelect::LoadSheet(const CStringUTF8& name)
{
    CLayerFile* file = LayerFile();
    if (file != nullptr)
        if (std::shared_ptr<CSprite> held = file->FindSheet(name))
            return held;
    std::shared_ptr<CSprite> sheet(LoadSprite(name, nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    if (file != nullptr && sheet != nullptr)
        file->KeepSheet(name, sheet);
    return sheet;
}

CSpriteLayer* ISelect::FindSpriteLayer(int32_t number)
{
    return GetSpriteLayerRegistry().FindSpriteLayer(number);
}

void ISelect::LockDraw()
{
    if (CDirect3D::GetInstance()->IsLive())
        g_draw_lock.Lock();
}

void ISelect::UnlockDraw()
{
    if (CDirect3D::GetInstance()->IsLive())
        g_draw_lock.Unlock();
}
