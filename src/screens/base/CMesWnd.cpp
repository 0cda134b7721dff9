#include "screens/base/CMesWnd.h"

#include <algorithm>
#include <cmath>

#include "foundation/CInputView.h"
#include "foundation/CLangTextFile.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "foundation/TextLayout.h"
#include "graphics/CAppTask.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerOf.h"
#include "platform/kernel/IdleWait.h"
#include "screens/base/CFaceVoice.h"
#include "screens/base/ScreenParts.h"
#include "screens/base/ScreenWork.h"
#include "screens/map/CStatusPlate.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/commands/CFuncOneMes.h"
#include "script/commands/CFuncVoice.h"
#include "script/vm/ScriptContext.h"
#include "sound/IWaveManager.h"

namespace {

inline constexpr int32_t PLATE_DEPTH = 36;
inline constexpr int32_t TEXT_DEPTH = 38;
inline constexpr int32_t PROMPT_DEPTH = 40;
inline constexpr int32_t FACE_DEPTH = 38;
inline constexpr int32_t FACE_SIZE = 144;
inline constexpr uint32_t PROMPT_PERIOD_MS = 150;
inline constexpr uint32_t FADE_PERIOD_MS = 15;
inline constexpr int32_t FADE_STEPS = 12;
// In the parts picture: the plate's shape, its frame and the name plate's background.
inline constexpr POINT PLATE_SHAPE{0, 0};
inline constexpr POINT PLATE_FRAME{0, 280};

int32_t Utf8Count(const CStringUTF8& text)
{
    int32_t count = 0;
    for (const char c : std::string(text.GetText()))
        if ((static_cast<uint8_t>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

} // namespace

int32_t CMesWnd::IsReplayMode()
{
    return IsReplayState();
}

bool CMesWnd::IsCurrentMessageRead()
{
    if (IsReplayMode() != 0)
        return true;
    CFuncOneMes read;
    return read.IsRead(static_cast<int32_t>(CurrentMessageNumber)) == 1;
}

void CMesWnd::OnClose()
{
    ISelect::OnClose();
    if (m_scene_skip_ended == 0) {
        CFuncOneMes read;
        read.MarkRead(static_cast<int32_t>(CurrentMessageNumber));
    }
    m_scene_skip_ended = 0;
    ShowHoverHelp(-1, 0);
    // The line is answered: its prompt leaves now, not with whatever draws next, which a script
    // that waits or types into its own sprite after the line may not do for a while.
    if (StopPrompt())
        RedrawFrameNow();
    m_prompt_shown = 0;
    GameWork->ClearStatusBits(STATUS_SNAPSHOT_TAKEN);
    if (CFaceVoice* face = GameWork->GetFaceVoice()) {
        if (CAppTask* runner = GetAppTask())
            runner->RemoveTask(face);
        face->Clear();
    }
    GameWork->ClearStatusBits(STATUS_SNAPSHOT_WANTED);
}

void CMesWnd::LoadMessageText(MessageText& text, int32_t index)
{
    text = MessageText{};
    text.Text = GetBacklogEntryString(index);
    ScriptContext* context = GetScriptState().m_script_context.get();
    const LogBuffer* entry = nullptr;
    if (context != nullptr && index >= 0 && static_cast<size_t>(index) < context->Backlog.Entries.size())
        entry = context->Backlog.Entries[static_cast<size_t>(index)].get();
    if (entry != nullptr && entry->MessageId >= 0)
        text.TextId = static_cast<uint32_t>(entry->MessageId);
    if (text.TextId == MESSAGE_TEXT_NO_ID) {
        text.Count = Utf8Count(text.Text);
        return;
    }
    text.Text = "";
    CLangTextFile file;
    file.Open(entry->TextTable);
    text.Count = file.SplitText(static_cast<int>(text.TextId & 0xFFFF), text.Pieces);
}

namespace {

inline constexpr size_t WORD_MESSAGE_NUMBER = 111;

} // namespace

bool CMesWnd::ChannelPlays(int32_t channel)
{
    CFuncVoice voice;
    IWaveManager* manager = voice.GetManager(channel);
    return manager != nullptr && manager->IsPlaying();
}

float CMesWnd::Unit(float value)
{
    return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
}

void CMesWnd::RunMessage(ScriptValue& out, int32_t mode, int32_t number)
{
    const auto& active = GameWork->GetActiveScreens();
    if (std::find(active.begin(), active.end(), this) == active.end())
        GameWork->AddActiveScreen(this);
    if (IsReplayMode() == 0)
        GameWork->SetStatusBits(STATUS_SNAPSHOT_WANTED);
    else
        GameWork->ClearStatusBits(STATUS_SNAPSHOT_WANTED);
    if (FlagBuffer* state = CurrentFlagBuffer();
        state != nullptr && WORD_MESSAGE_NUMBER < state->Words.size())
        state->Words[WORD_MESSAGE_NUMBER] = static_cast<uint16_t>(number);
    IMesWnd::RunMessage(out, mode, number);
}

void CMesWnd::OnOpen()
{
    if (GetConfigSceneSkip()) {
        if (IsCurrentMessageRead()) {
            Running = 0;
            return;
        }
        EndSceneSkip();
    }
    Running = 1;
    m_prompt_shown = 0;
    m_dragging = 0;
    HoverId = -1;
    m_window_y = ConfiguredWindowY();
    ReadSkipOn = GetConfigOneMes() ? 1 : 0;
    AutoReadOn = GetConfigAutoRead() ? 1 : 0;
    m_auto_deadline = 0;
    m_voice_present = 0;
    if (const FlagBuffer* state = CurrentFlagBuffer(); state != nullptr && state->Values.size() > 51) {
        m_saved_pen_x = state->Values[50].Integer;
        m_saved_pen_y = state->Values[51].Integer;
    }
    if (m_page_reset != 0)
        ClearTextSprite();
    RefreshWindowButtons(0);
    const bool audible = IsMessageAudible();
    DrawNamePlate();
    InputView->SetExtraInput(MESWND_READ_SKIP_WORD, 0);

    const int32_t newest = CountBacklogEntries() - 1;
    LoadMessageText(m_message, newest);
    m_reveal_end = m_message.Count;
    if (m_reveal_index < 0)
        m_reveal_index = 0;

    const bool read = ReadSkipOn != 0 && IsCurrentMessageRead();
    const bool skipping = SkipHonoured() && InputView->GetExtraInput(0) != 0;
    if (read || skipping) {
        if (read)
            InputView->SetExtraInput(MESWND_READ_SKIP_WORD, 1);
        CompletePage(false);
        RestoreWindow(0);
    } else {
        for (int32_t code : OkInputs)
            WaitInputRelease(static_cast<uint32_t>(code));
        for (int32_t code : CancelInputs)
            WaitInputRelease(static_cast<uint32_t>(code));
        // The timing starts once the keys are up: a key held into the message must not eat its
        // auto-mode time.
        const uint32_t now = GetEffectTime();
        if (audible)
            m_voice_present = 1;
        const int32_t count = m_reveal_end - m_reveal_index;
        m_auto_deadline = AutoModeDeadline(now, count, GetConfigAutoMesSpeed());
        StartReveal(m_message, now, CharacterWait(GetConfigMesWndSpeed()));
        RestoreWindow(0);
        if ((GetConfigMesWndSpeed() == 1.0f || !GetConfigMesWndShowSpeedEnable()) && m_typing != 0)
            CompletePage(true);
        if (CFaceVoice* face = GameWork->GetFaceVoice(); face != nullptr && face->IsActive() != 0) {
            face->m_base_time = now;
            if (CAppTask* runner = GetAppTask())
                runner->AddTask(face);
        }
        UpdateVoiceState();
        if (IsMessageVoicePlaying() != 0 && m_prompt_shown == 0)
            ShowPagePrompt();
    }
    if (newest >= 0)
        RunScriptForList(BacklogStore::MakeHandle(newest), m_result_list);
    AutoDeadline = ReadSkipDeadline(GetEffectTime(), GetConfigOneMesSpeed());
    if (read || skipping)
        InputMode = 1;
    m_buttons_hidden = 0;
}

void CMesWnd::Update()
{
    POINT position{};
    if (IMouse* mouse = InputView->GetMouse())
        mouse->GetPosition(&position);
    const POINT screen = CDirect3D::GetInstance()->WindowToLogical(position);
    m_present = 0;
    if (m_typing != 0 && StepTypewriter() == 1)
        m_present = 1;
    // One character a turn: the loop's rests end in time for the next.
    if (m_typing != 0)
        platform::NoteDueTime(m_next_char_time);
    if (GetConfigAutoRead() != (AutoReadOn != 0)) {
        AutoReadOn = GetConfigAutoRead() ? 1 : 0;
        RefreshWindowButtons(0);
        HoverId = MESWND_ADVANCE;
        if (m_typing != 0) {
            CompletePage(true);
            m_present = 1;
        }
    }
    if (GetConfigOneMes() != (ReadSkipOn != 0)) {
        SyncReadSkip(0);
        HoverId = MESWND_ADVANCE;
        if (m_typing != 0) {
            CompletePage(false);
            m_present = 1;
        }
        OnDecide();
    }
    if (m_dragging != 0 && DragStep())
        return;
    if (AutoReadOn == 0)
        VoiceStep();
    else if (AutoModeStep())
        return;
    if (MessageMode == 2 && !IsVoicePlaying() && m_typing == 0) {
        AdvanceNow();
        return;
    }
    if (PromptModeStep())
        m_present = 1;
    HoverId = UpdateHover(HoverId, 0);
    if ((HoverId == -1 || HoverId == MESWND_BODY) && GetFlag(FLAG_SIDE_MENU_FROZEN) == 0)
        FollowPointer(screen.x, screen.y);
    if (m_present != 0)
        RedrawFrameNow();
}

void CMesWnd::StopFaceTask(bool apply)
{
    CFaceVoice* face = GameWork->GetFaceVoice();
    CAppTask* runner = GetAppTask();
    if (face == nullptr || runner == nullptr || !runner->Contains(face))
        return;
    runner->RemoveTask(face);
    // A click that ends the line applies the newest entry only: the click's handling decides
    // this, where the face task's own account would apply every entry (ApplyAllItems).
    if (apply) {
        const size_t count = face->GetItems().size();
        if (count > 0)
            face->ApplyFaceItem(count - 1);
    }
    face->Clear();
}

void CMesWnd::PageEnd()
{
    if (IsMenuOpen()) {
        if (HoverId != MESWND_ADVANCE)
            return;
        CloseMenu();
    }
    if (HoverId == -1 && SkipHonoured() && InputView->GetExtraInput(0) != 0) {
        InputView->SetExtraInput(0, 0);
        DrawWindowButton(MESBUTTON_SKIP, 0, 1);
    }
    StopFaceTask(true);
    StopVoiceOnClick();
    switch (MessageMode) {
    case 0:
        SetConfigVoiceLoop(0);
        ISelect::OnDecide();
        ResetTextArea();
        m_page_reset = 1;
        break;
    case 1:
        if (FlagBuffer* state = CurrentFlagBuffer(); state != nullptr && state->Values.size() > 51) {
            state->Values[50] = ScriptValue::FromInteger(m_saved_pen_x);
            state->Values[51] = ScriptValue::FromInteger(m_saved_pen_y);
        }
        --m_reveal_index;
        m_pen_start_x = m_saved_pen_x;
        m_pen_start_y = m_saved_pen_y;
        m_page_reset = 0;
        break;
    case 2:
        ISelect::OnDecide();
        ResetTextArea();
        m_page_reset = 1;
        break;
    default:
        break;
    }
    if (ScriptContext* context = GetScriptContext())
        context->m_text_area_word = 0;
    Running = 0;
}

bool CMesWnd::CompleteOrRestore(bool read_skip_off)
{
    if (m_typing != 0 && HoverId < 0) {
        CompletePage(true);
        RedrawFrameNow();
        // Esc or the right button with the completing click ends read-skip too.
        if (read_skip_off && (IsInputTriggered(SCAN_ESCAPE) || IsInputTriggered(SCAN_KEYPAD_0) ||
                              IsInputTriggered(INPUT_RIGHT))) {
            ReadSkipOn = 0;
            InputView->SetExtraInput(MESWND_READ_SKIP_WORD, 0);
            SetConfigOneMes(0);
        }
        ISelect::OnDecide();
        return true;
    }
    if (IsShown() == 0) {
        ISelect::OnDecide();
        RestoreWindow(0);
        HoverId = -1;
        return true;
    }
    return false;
}

void CMesWnd::OnDecide()
{
    if (m_dragging != 0 || CompleteOrRestore(true))
        return;
    if (HoverId >= 0) {
        const int32_t group = HoverId / 256;
        const int32_t item = HoverId % 256;
        if (group == 15) {
            const int32_t button = item < SIDE_MENU_SLOTS ? ButtonMap[static_cast<size_t>(item)] : -1;
            if (button >= 0 && GetButtonState(button) == 0) {
                OnSideMenuButton(item);
                // The tab only slides the menu; every other action ends with the keys up.
                if (button != SIDE_MENU_TAB)
                    ISelect::OnDecide();
                HoverId = -1;
                return;
            }
            HoverId = -1;
        } else if (group == 14) {
            if (GameWork->GetStatusPlate())
                PressGameModeButton();
        } else if (group == 0) {
            OnWindowButton(HoverId, 0);
            if (HoverId == MESBUTTON_EDGE) {
                CSpriteLayer* edge = GetButtonSprite(MESBUTTON_EDGE);
                if (edge != nullptr && edge->IsVisible() != 0) {
                    if (m_typing != 0)
                        CompletePage(true);
                    ShowHoverHelp(-1, 0);
                    Hide();
                    HoverId = MESWND_ADVANCE;
                }
                return;
            }
        }
    }
    if (HoverId < 0)
        PageEnd();
    ISelect::OnDecide();
    HoverId = -1;
}

void CMesWnd::OnLButton()
{
    if (m_dragging != 0 || CompleteOrRestore(false))
        return;
    if (SkipHonoured() && InputView->GetExtraInput(0) != 0) {
        InputView->SetExtraInput(0, 0);
        RefreshWindowButtons(0);
        RedrawFrameNow();
        StopFaceTask(true);
        InputMode = 0;
        return;
    }
    if (HoverId == MESWND_BODY) {
        StartDrag();
        return;
    }
    OnDecide();
}

void CMesWnd::OnEnterKey()
{
    if (HoverId == MESWND_BODY)
        HoverId = -1;
    OnDecide();
}

void CMesWnd::OnCtrlKey()
{
    if (IsShown() == 0)
        RestoreWindow(0);
    if (m_typing != 0) {
        CompletePage(false);
        RedrawFrameNow();
    }
    if (SkipHonoured())
        AdvanceNow();
}

namespace {

void WaitCancelRelease(ISelect& screen)
{
    screen.ISelect::OnCancel();
}

} // namespace

void CMesWnd::OnCancel()
{
    const bool read = ReadSkipOn != 0 && IsCurrentMessageRead();
    if (read || AutoReadOn != 0 || (SkipHonoured() && InputView->GetExtraInput(0) != 0)) {
        if (ReadSkipOn != 0) {
            SetConfigOneMes(0);
            ReadSkipOn = 0;
            InputView->SetExtraInput(MESWND_READ_SKIP_WORD, 0);
            RefreshWindowButtons(0);
            HoverId = -1;
        } else if (AutoReadOn != 0) {
            SetConfigAutoRead(0);
            AutoReadOn = 0;
            RefreshWindowButtons(0);
        }
        InputMode = 0;
        RedrawFrameNow();
        WaitCancelRelease(*this);
        return;
    }
    if (IsShown() == 0) {
        WaitCancelRelease(*this);
        RestoreWindow(0);
        HoverId = -1;
        return;
    }
    WaitCancelRelease(*this);
    const FlagBuffer* state = CurrentFlagBuffer();
    const int32_t replay =
        state != nullptr && state->Variables.size() > 69 ? state->Variables[69].Integer : 0;
    if (replay == 1) {
        try {
            GameWork->ConfirmReturnTo(RETURN_TO_SCENE_SELECT, 0);
        } catch (GameDocument::tagDOCUMENT_CODE code) {
            if (code != GameDocument::DOCUMENT_RETURN_TO_TITLE)
                throw;
            Result = ScriptValue::FromInteger(1);
            HoverId = -1;
            Running = 0;
        }
    } else if (replay == 0) {
        switch (GetConfigSystem()) {
        case 0:
            if (IsShown() != 0) {
                if (m_typing != 0)
                    CompletePage(true);
                ShowHoverHelp(-1, 0);
                Hide();
                HoverId = MESWND_ADVANCE;
            }
            break;
        case 1:
            ShowHoverHelp(-1, 0);
            SetConfigAutoRead(GetConfigAutoRead() ? 0 : 1);
            AutoReadOn = GetConfigAutoRead() ? 1 : 0;
            RefreshWindowButtons(0);
            RedrawFrameNow();
            break;
        case 2:
            ShowHoverHelp(-1, 0);
            if (IMouse* mouse = InputView->GetMouse())
                mouse->SetWheel(0);
            GameWork->RunTopPage();
            RestoreWindow(0);
            break;
        case 3:
            ShowHoverHelp(-1, 0);
            if (!GetConfigOneMes()) {
                SetConfigOneMes(1);
                ReadSkipOn = 1;
                RefreshWindowButtons(0);
                AdvanceNow();
            } else {
                SetConfigOneMes(0);
                ReadSkipOn = 0;
                InputView->SetExtraInput(MESWND_READ_SKIP_WORD, 0);
                RefreshWindowButtons(0);
                RedrawFrameNow();
            }
            break;
        case 4:
            ShowHoverHelp(-1, 0);
            if (state != nullptr && state->Variables.size() > 53 && state->Variables[53].Integer == 1) {
                GameWork->ClearStatusBits(STATUS_SNAPSHOT_TAKEN);
                GameWork->RunSaveLoad(SYSTEM_PAGE_LOAD);
            } else {
                GameWork->RunTopPage();
            }
            RestoreWindow(0);
            break;
        case 5:
            ShowHoverHelp(-1, 0);
            if ((GameWork->GetStatus() & STATUS_SNAPSHOT_WANTED) != 0)
                GameWork->RunSaveLoad(SYSTEM_PAGE_SAVE);
            else
                GameWork->RunTopPage();
            RestoreWindow(0);
            break;
        default:
            break;
        }
    }
    WaitCancelRelease(*this);
}

void CMesWnd::OpenBacklog()
{
    ShowHoverHelp(-1, 0);
    Hide();
    GameWork->TakeScreenSnapshot();
    GameWork->RunSystemMenu(SYSTEM_PAGE_BACKLOG);
    GameWork->ClearStatusBits(STATUS_SNAPSHOT_TAKEN);
}

CMesWnd::~CMesWnd()
{
    ReleaseParts();
}

int32_t CMesWnd::CreateParts()
{
    if (m_text_area_sprite)
        return 1;
    if (CMesButton::CreateParts() == 0)
        return 0;
    m_face_sheet = LoadSheet("icon_p.akb");
    m_prompt_sprite =
        MakeMemorySprite(MESWND_PROMPT_X, MESWND_PROMPT_Y, PROMPT_SIZE, PROMPT_SIZE, PROMPT_DEPTH);
    m_window_sprite = MakeMemorySprite(MESWND_PLATE_X, 0, MESWND_PLATE_WIDTH, MESWND_HEIGHT, PLATE_DEPTH);
    m_text_area_sprite = MakeMemorySprite(0, 0, 1920, MESWND_HEIGHT, TEXT_DEPTH);
    m_face_sprite = MakeMemorySprite(0, 0, FACE_SIZE, FACE_SIZE, FACE_DEPTH);
    if (!m_face_sheet || !m_prompt_sprite || !m_window_sprite || !m_text_area_sprite || !m_face_sprite) {
        ReleaseParts();
        return 0;
    }
    m_prompt_animation = std::make_unique<CSpriteAnime>(PROMPT_PERIOD_MS);
    m_prompt_animation->AddSprite(m_prompt_sprite.get());
    m_prompt_anime.m_picture = GetPartsPicture();
    m_prompt_anime.m_prompt = m_prompt_sprite.get();
    m_prompt_anime.m_frame_count = MESWND_PROMPT_FRAMES;
    for (size_t n = 0; n < m_shared_sprites.size(); ++n)
        m_shared_sprites[n] = GetButtonSprite(static_cast<int32_t>(n));
    m_window_y = ConfiguredWindowY();
    PaintWindowColor(false);
    return 1;
}

void CMesWnd::ReleaseParts()
{
    // The animation finishes its sprites as it goes, so it goes before them.
    m_prompt_animation.reset();
    m_prompt_sprite.reset();
    m_window_sprite.reset();
    m_text_area_sprite.reset();
    m_face_sheet.reset();
    m_face_sprite.reset();
    m_shared_sprites.fill(nullptr);
    CMesButton::ReleaseParts();
}

void CMesWnd::BuildParts(int32_t mode)
{
    (void)mode;
    ClearTextSprite();
    ResetTextArea();
    ClearEngineState(ENGINE_STATE_RECORDING);
    const int32_t count = CountBacklogEntries();
    if (count <= 0)
        return;
    RunScript(BacklogStore::MakeHandle(count - 1));
    DrawNamePlate();
    CopyPage();
    if (m_typing != 0) {
        m_typing = 0;
        if (m_prompt_shown == 0)
            ShowPagePrompt();
    }
    SetEngineState(ENGINE_STATE_RECORDING);
    HoverId = -1;
}

std::vector<CSprite*> CMesWnd::OwnSprites(bool face)
{
    std::vector<CSprite*> sprites;
    if (face && m_face_shown == 1 && m_face_sprite)
        sprites.push_back(m_face_sprite.get());
    for (CSprite* sprite : {m_window_sprite.get(), m_text_area_sprite.get()})
        if (sprite != nullptr)
            sprites.push_back(sprite);
    return sprites;
}

void CMesWnd::PlaceSprites()
{
    if (m_window_sprite)
        m_window_sprite->SetPosition(MESWND_PLATE_X, m_window_y);
    if (m_text_area_sprite)
        m_text_area_sprite->SetPosition(0, m_window_y);
    if (m_prompt_sprite)
        m_prompt_sprite->SetPosition(m_prompt_sprite->GetPosition().x, m_window_y + MESWND_PROMPT_Y);
    if (CSpriteLayer* edge = GetButtonSprite(MESBUTTON_EDGE))
        edge->SetPosition(edge->GetPosition().x, m_window_y);
    if (m_face_shown == 1 && m_face_sprite)
        m_face_sprite->SetPosition(MESWND_FACE_X, m_window_y + MESWND_FACE_Y);
}

void CMesWnd::AddFade(CSpriteAnime& animation, CSprite* sprite, bool in)
{
    if (sprite == nullptr)
        return;
    SpriteAnimRecord record(FADE_STEPS);
    record.SetVisible(in ? 1 : 0);
    record.SetAlpha(in ? 0x00 : 0xFF, in ? 0xFF : 0x00);
    sprite->AddAnimation(record);
    animation.AddSprite(sprite);
}

void CMesWnd::Hide()
{
    CSpriteAnime animation(FADE_PERIOD_MS);
    if (IsShown() != 0) {
        if (m_typing != 0)
            CompletePage(true);
        // The prompt's loop would show it again over a hidden window; ShowWindow restarts it.
        StopPrompt();
        LiveDrawLock lock;
        PlaceSprites();
        for (CSprite* sprite : OwnSprites(true))
            AddFade(animation, sprite, false);
    }
    if (GetFlag(FLAG_KEEP_STATUS_PLATE_HIDDEN) == 0)
        if (CStatusPlate* plate = GameWork->GetStatusPlate())
            plate->HideAnimated(&animation);
    if (m_buttons_hidden == 0)
        HideWindowButtons(animation);
    animation.PlayAndWait();
    Shown = 0;
    RedrawFrameNow();
}

void CMesWnd::RestoreWindow(int32_t flag)
{
    if (GetConfigSceneSkip())
        return;
    CSpriteAnime animation(FADE_PERIOD_MS);
    if (IsShown() != 0) {
        if (!m_window_sprite || m_window_sprite->IsVisible() != 0)
            return;
        {
            LiveDrawLock lock;
            PlaceSprites();
            const bool keep_hidden = flag == 1 && GetFlag(FLAG_KEEP_WINDOW_HIDDEN) != 0;
            for (CSprite* sprite : OwnSprites(true))
                if (!keep_hidden || sprite == m_face_sprite.get())
                    AddFade(animation, sprite, true);
            if (!keep_hidden)
                AddFade(animation, GetButtonSprite(MESBUTTON_EDGE), true);
        }
        animation.PlayAndWait();
    }
    ShowWindow(animation, flag);
}

void CMesWnd::ShowWindow(CSpriteAnime& animation, int32_t flag)
{
    if (GetConfigSceneSkip() || IsShown() != 0)
        return;
    {
        LiveDrawLock lock;
        PlaceSprites();
        if (flag == 0) {
            for (CSprite* sprite : OwnSprites(true))
                AddFade(animation, sprite, true);
        } else {
            std::vector<CSprite*> sprites;
            if (GetFlag(FLAG_KEEP_WINDOW_HIDDEN) == 0) {
                sprites = OwnSprites(false);
                sprites.push_back(GetButtonSprite(MESBUTTON_EDGE));
            }
            if (m_face_shown == 1)
                sprites.push_back(m_face_sprite.get());
            for (CSprite* sprite : sprites) {
                if (sprite == nullptr)
                    continue;
                sprite->SetAlpha(255);
                sprite->SetVisibleFlag(1);
            }
        }
    }
    if (GetFlag(FLAG_KEEP_STATUS_PLATE_HIDDEN) == 0)
        if (CStatusPlate* plate = GameWork->GetStatusPlate())
            plate->ShowAnimated(&animation);
    if (m_buttons_hidden == 0)
        ShowWindowButtons(animation, flag);
    animation.PlayAndWait();
    if (m_prompt_shown == 1)
        ShowPagePrompt();
    Shown = 1;
}

void CMesWnd::PaintWindowColor(bool present)
{
    ILayer* plate = SpriteLayerOf(m_window_sprite.get());
    if (plate == nullptr)
        return;
    const auto byte = [](float value) { return static_cast<uint32_t>(Unit(value) * 255.0f); };
    const uint32_t alpha = byte(GetConfigMesWndAlpha());
    const uint32_t colour =
        byte(GetConfigMesWndRed()) << 16 | byte(GetConfigMesWndGreen()) << 8 | byte(GetConfigMesWndBlue());
    {
        LiveDrawLock lock;
        plate->FillRect(0, 0, MESWND_PLATE_WIDTH, MESWND_HEIGHT, colour, 1);
        if (CSpriteLayer* parts = GetPartsPicture()) {
            plate->AddAlphaScaled(0, 0, MESWND_PLATE_WIDTH, MESWND_HEIGHT, parts, PLATE_SHAPE.x,
                                  PLATE_SHAPE.y, static_cast<int32_t>(255 - alpha));
            plate->BltOver(0, 0, MESWND_PLATE_WIDTH, MESWND_HEIGHT, parts, PLATE_FRAME.x, PLATE_FRAME.y);
        }
        m_window_sprite->Invalidate(1, *m_window_sprite->GetRect());
    }
    if (present)
        RedrawFrameNow();
}

void CMesWnd::SetWindowVisible(int32_t flag)
{
    if (IsShown() == 0)
        return;
    for (CSprite* sprite : {m_text_area_sprite.get(), m_window_sprite.get()})
        if (sprite != nullptr)
            sprite->SetVisibleFlag(flag);
}

namespace {

bool VoiceNameEnabled(const CStringUTF8& name)
{
    return GetConfigVoiceEnable() && !GetEnabledVoiceName(name).IsEmpty();
}

} // namespace

void CMesWnd::VoiceStep()
{
    if (MessageVoicePlaying == 0)
        return;
    const bool enabled = VoiceNameEnabled(VoiceName);
    if (!GetConfigVoiceLoop() || (ReadSkipOn != 0 && IsCurrentMessageRead())) {
        if (!enabled) {
            StopFaceTask(true);
            StopChannelVoice(0, 1);
        }
        return;
    }
    if (!ChannelPlays(0) && enabled && !IsInputTriggered(INPUT_CTRL)) {
        CFuncVoice voice;
        voice.Play(VoiceName, 0, 1);
    }
}
