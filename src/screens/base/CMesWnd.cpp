#include "screens/base/CMesWnd.h"

#include <algorithm>
#include <cmath>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "foundation/CInputView.h"
#include "foundation/CLangTextFile.h"
#include "foundation/ConfigAccess.h"
#include "foundation/ConfigSettings.h"
#include "foundation/IMouse.h"
#include "foundation/LineBreakRules.h"
#include "foundation/ScreenSettings.h"
#include "foundation/TextLayout.h"
#include "graphics/CAppTask.h"
#include "graphics/CDirect3D.h"
#include "graphics/CFontDIB.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/EffectClock.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/PixelRows.h"
#include "graphics/SpriteLayerOf.h"
#include "platform/kernel/IdleWait.h"
#include "platform/user/RectApi.h"
#include "screens/base/CFaceVoice.h"
#include "screens/base/ScreenParts.h"
#include "screens/map/CStatusPlate.h"
#include "script/FlagBuffer.h"
#include "script/commands/CFuncOneMes.h"
#include "script/commands/CFuncString.h"
#include "script/commands/CFuncVoice.h"
#include "script/vm/ScriptContext.h"
#include "sound/IWaveManager.h"

namespace {

inline constexpr float CHARACTER_WAIT_SCALE = 150.0f;
inline constexpr double AUTO_STEP_SCALE = 250.0;
inline constexpr uint32_t AUTO_BASE_MS = 500;
inline constexpr float READ_SKIP_SCALE = 500.0f;

inline constexpr uint32_t KUTOUTEN_WAIT_MS = 300;
inline constexpr int32_t TEXT_SPRITE_HEIGHT = 280;
inline constexpr char16_t EM_DASH = 0x2014;

inline constexpr int32_t PLATE_DEPTH = 36;
inline constexpr int32_t TEXT_DEPTH = 38;
inline constexpr int32_t PROMPT_DEPTH = 40;
inline constexpr int32_t FACE_DEPTH = 38;
inline constexpr int32_t FACE_SIZE = 144;
inline constexpr uint32_t PROMPT_PERIOD_MS = 150;
inline constexpr int32_t PROMPT_STEP_DURATION = 39;
inline constexpr int32_t PROMPT_FRAMES = 3;
inline constexpr uint32_t FADE_PERIOD_MS = 15;
inline constexpr int32_t FADE_STEPS = 12;
// In the parts picture: the plate's shape, its frame and the name plate's background.
inline constexpr POINT PLATE_SHAPE{0, 0};
inline constexpr POINT PLATE_FRAME{0, 280};
inline constexpr POINT NAME_PLATE_BACKGROUND{600, 560};
inline constexpr int32_t NAME_CELL = 20;
inline constexpr int32_t NAME_LINE = 40;
// Bold and outlined. The name lies on the plate's opaque background: its glyph cells are blended
// over it, not copied whole, which would cut a transparent box around each glyph.
inline constexpr uint32_t NAME_DRAW_STYLE = FONT_BOLD | FONT_OUTLINE | FONT_BLEND;
// Values[46..51] and [53] after a reset: the text box, the pen start and the text layer.
constexpr std::pair<size_t, int32_t> TEXT_BOX[] = {{46, 440}, {47, 70}, {48, 1440}, {49, 250},
                                                   {50, 440}, {51, 70}, {53, 8}};

float Unit(float value)
{
    return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
}

// The message window's text sprite is at most this wide.
inline constexpr int32_t INK_WIDTH = 1920;

bool IsBlank(const uint8_t* row, int32_t from, int32_t to)
{
    return graphics::BlankRunLength(row + static_cast<size_t>(from) * 4, to - from) == to - from;
}

// The first pixel from `from` on that is not blank, or limit.
int32_t FirstInk(const uint8_t* row, int32_t from, int32_t limit)
{
    return from + graphics::BlankRunLength(row + static_cast<size_t>(from) * 4, limit - from);
}

// One past the last pixel before `to` that is not blank, or limit.
int32_t LastInk(const uint8_t* row, int32_t to, int32_t limit)
{
    return to - graphics::BlankTailLength(row + static_cast<size_t>(limit) * 4, to - limit);
}

// The smallest rectangle within the layer's top-left width x height holding all its pixels that
// are not blank; empty when there are none. Reads whole rows only where they are blank, so a page
// of text costs the margins around it rather than the page.
RECT InkBounds(ILayer& layer, int32_t width, int32_t height)
{
    width = std::min({width, layer.GetWidth(), INK_WIDTH});
    height = std::min(height, layer.GetHeight());
    // A layer without pixels is left to the whole operation, which passes over it.
    if (layer.GetBits() == nullptr)
        return RECT{0, 0, std::max(width, 0), std::max(height, 0)};
    const auto row = [&layer](int32_t y) { return static_cast<const uint8_t*>(layer.GetPixelPtr(0, y)); };
    int32_t top = 0;
    while (top < height && IsBlank(row(top), 0, width))
        ++top;
    if (top == height)
        return RECT{0, 0, 0, 0};
    int32_t bottom = height;
    while (IsBlank(row(bottom - 1), 0, width))
        --bottom;
    int32_t left = width;
    int32_t right = 0;
    for (int32_t y = top; y < bottom; ++y) {
        const uint8_t* pixels = row(y);
        left = FirstInk(pixels, 0, left);
        right = LastInk(pixels, width, right);
    }
    return RECT{left, top, right, bottom};
}

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
    StopPrompt();
    m_prompt_shown = 0;
    GameWork->ClearStatusBits(STATUS_SNAPSHOT_TAKEN);
    if (CFaceVoice* face = GameWork->m_face_voice.get()) {
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
    ScriptContext* context = GetDocument()->m_script_context.get();
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

uint32_t CMesWnd::CharacterWait(float speed)
{
    return static_cast<uint32_t>((1.0f - Unit(speed)) * CHARACTER_WAIT_SCALE);
}

uint32_t CMesWnd::AutoModeDeadline(uint32_t now, int32_t count, float auto_speed)
{
    const auto step = static_cast<uint32_t>((1.0 - static_cast<double>(Unit(auto_speed))) * AUTO_STEP_SCALE);
    if (step == 0)
        return now;
    return now + static_cast<uint32_t>((count - 1) / 2) * step + AUTO_BASE_MS;
}

uint32_t CMesWnd::ReadSkipDeadline(uint32_t now, float one_mes_speed)
{
    return now + static_cast<uint32_t>((1.0f - Unit(one_mes_speed)) * READ_SKIP_SCALE);
}

int32_t CMesWnd::ConfiguredWindowY()
{
    return std::clamp(GetConfigMesWndPosY(), MESWND_MIN_Y, MESWND_MAX_Y);
}

CMesWnd::Box CMesWnd::ReadBox()
{
    const FlagBuffer* state = CurrentFlagBuffer();
    auto value = [state](size_t index) {
        return state != nullptr && index < state->Values.size() ? state->Values[index].Integer : 0;
    };
    return Box{value(30), value(31), value(46), value(47), value(48), value(49)};
}

void CMesWnd::ResetTextArea()
{
    if (GetConfigSceneSkip())
        return;
    if (FlagBuffer* state = CurrentFlagBuffer()) {
        for (const auto& [index, value] : TEXT_BOX)
            if (index < state->Values.size())
                state->Values[index] = ScriptValue::FromInteger(value);
    }
    m_pen_start_x = 440;
    m_pen_start_y = 70;
    m_reveal_index = -1;
    if (CSpriteLayer* text = FindSpriteLayer(8)) {
        LiveDrawLock lock;
        // Only the ink needs clearing: the rest of the page is blank already.
        const RECT ink = InkBounds(*text, 1920, TEXT_SPRITE_HEIGHT);
        if (!IsRectEmpty(&ink))
            text->FillRect(ink.left, ink.top, ink.right - ink.left, ink.bottom - ink.top, 0, 1);
    }
    WindowOpen() = GetConfigMesWndWndOpen();
}

void CMesWnd::StartReveal(const MessageText& text, uint32_t now, uint32_t wait)
{
    m_message = text;
    m_reveal_end = text.Count;
    if (m_reveal_index < 0)
        m_reveal_index = 0;
    m_char_wait = wait;
    m_typing = 1;
    m_next_char_time = now;
    m_pen_x = m_pen_start_x;
    m_pen_y = m_pen_start_y;
    m_hang_flag = 0;
    m_hanging = false;
}

CSpriteLayer* CMesWnd::PageLayer()
{
    const FlagBuffer* state = CurrentFlagBuffer();
    const int32_t number = state != nullptr && state->Values.size() > 53 ? state->Values[53].Integer : 8;
    return FindSpriteLayer(number);
}

RECT& CMesWnd::TextSpriteInk(ILayer& target)
{
    // A sprite put in place by someone else may hold anything.
    if (m_ink_sprite != m_text_area_sprite.get()) {
        m_ink_sprite = m_text_area_sprite.get();
        m_text_sprite_ink = RECT{0, 0, target.GetWidth(), target.GetHeight()};
    }
    return m_text_sprite_ink;
}

void CMesWnd::AddTextSpriteInk(ILayer& target, int32_t x, int32_t y, int32_t w, int32_t h)
{
    RECT& ink = TextSpriteInk(target);
    const RECT cell{std::max(x, 0), std::max(y, 0), std::min(x + w, target.GetWidth()),
                    std::min(y + h, target.GetHeight())};
    if (cell.left < cell.right && cell.top < cell.bottom)
        UnionRect(&ink, &ink, &cell);
}

void CMesWnd::ClearTextSprite()
{
    ILayer* target = SpriteLayerOf(m_text_area_sprite.get());
    if (target == nullptr)
        return;
    LiveDrawLock lock;
    RECT& ink = TextSpriteInk(*target);
    if (!IsRectEmpty(&ink))
        target->FillRect(ink.left, ink.top, ink.right - ink.left, ink.bottom - ink.top, 0, 1);
    SetRectEmpty(&ink);
}

void CMesWnd::CopyCell(int32_t x, int32_t y, int32_t w, int32_t h)
{
    ILayer* target = m_text_area_sprite ? SpriteLayerOf(m_text_area_sprite.get()) : nullptr;
    if (target == nullptr)
        return;
    CSpriteLayer* source = PageLayer();
    if (source == nullptr)
        return;
    LiveDrawLock lock;
    target->Blt(x, y, w, h, source, x, y, 1);
    AddTextSpriteInk(*target, x, y, w, h);
    m_text_area_sprite->Invalidate(1, *m_text_area_sprite->GetRect());
}

void CMesWnd::CopyPage()
{
    ILayer* target = m_text_area_sprite ? SpriteLayerOf(m_text_area_sprite.get()) : nullptr;
    CSpriteLayer* source = target != nullptr ? PageLayer() : nullptr;
    if (source == nullptr)
        return;
    const bool whole = source->GetWidth() >= 1920 && source->GetHeight() >= TEXT_SPRITE_HEIGHT &&
                       target->GetWidth() <= 1920 && target->GetHeight() <= TEXT_SPRITE_HEIGHT;
    if (!whole) {
        CopyCell(0, 0, 1920, TEXT_SPRITE_HEIGHT);
        return;
    }
    // The sprite becomes the page: where both are blank nothing needs copying.
    LiveDrawLock lock;
    RECT& ink = TextSpriteInk(*target);
    const RECT page = InkBounds(*source, 1920, TEXT_SPRITE_HEIGHT);
    RECT both{};
    UnionRect(&both, &ink, &page);
    if (!IsRectEmpty(&both))
        target->Blt(both.left, both.top, both.right - both.left, both.bottom - both.top, source, both.left,
                    both.top, 1);
    ink = page;
    m_text_area_sprite->Invalidate(1, *m_text_area_sprite->GetRect());
}

void CMesWnd::CompletePage(bool prompt)
{
    CopyPage();
    m_typing = 0;
    if (prompt && m_prompt_shown == 0)
        ShowPagePrompt();
}

void CMesWnd::ShowPagePrompt()
{
    if (m_prompt_sprite && m_prompt_animation) {
        // A prompt shown again (after a hide) starts over rather than stacking a second loop.
        StopPrompt();
        m_prompt_sprite->ClearAnimations();
        SpriteAnimRecord step(PROMPT_STEP_DURATION);
        step.SetUserAnime(&m_prompt_anime);
        m_prompt_sprite->AddAnimation(step);
        SpriteAnimRecord loop(1);
        loop.SetJump(JUMP_FOREVER, 0);
        m_prompt_sprite->AddAnimation(loop);
        m_prompt_anime.m_frame = 0;
        m_prompt_anime.m_mode = IsVoicePlaying() && IsMessageVoicePlaying() != 0 ? 0 : 1;
        m_prompt_anime.m_picture = GetPartsPicture();
        m_prompt_anime.m_prompt = m_prompt_sprite.get();
        m_prompt_anime.m_frame_count = PROMPT_FRAMES;
        m_prompt_animation->Play(ANIME_NO_WAIT, 0, ANIME_REQUEST_MASK, 0);
    }
    m_prompt_shown = 1;
}

void CMesWnd::StopPrompt()
{
    if (m_prompt_animation)
        m_prompt_animation->Stop();
    if (m_prompt_sprite)
        m_prompt_sprite->SetVisibleFlag(0);
}

bool CMesWnd::PromptModeStep()
{
    if (m_prompt_shown == 0)
        return false;
    const int32_t wanted = !IsVoicePlaying() || IsMessageVoicePlaying() == 0 ? 1 : 0;
    if (m_prompt_anime.m_mode == wanted)
        return false;
    m_prompt_anime.m_mode = wanted;
    m_prompt_anime.m_frame = 0;
    m_prompt_anime.m_drawn = 1;
    m_prompt_anime.m_frame_count = PROMPT_FRAMES;
    return true;
}

uint32_t CMesWnd::RevealUtf8Char(const CStringUTF8& text, const Box& box)
{
    const CStringUTF8 c = text.CharAt(m_reveal_index);
    if (c.IsEmpty())
        return 0;
    ++m_reveal_index;
    if (IsFullWidthChar(c) != 0) {
        uint32_t extra = 0;
        if ((c == "。" || c == "、" || c == "・" || c == "\xE3\x80\x80") && GetConfigMesWndKutoutenWait())
            extra = KUTOUTEN_WAIT_MS;
        ApplyLineBreakRules(c, m_pen_x, m_pen_y, box.cell, box.line,
                            LineBreakBox{box.left, box.top, box.right, box.bottom}, 0, m_hang_flag);
        if (m_pen_y + box.line > box.bottom)
            return 0;
        CopyCell(m_pen_x, m_pen_y, box.cell, box.line);
        m_pen_x += box.cell;
        return extra;
    }
    if (c == "\n") {
        m_pen_y += box.line;
        m_pen_x = box.left;
        return 0;
    }
    const auto offset = static_cast<size_t>(text.GetCharOffset(m_reveal_index - 1));
    BreakBeforeWord(WordLettersAt(text, offset), box);
    CopyCell(m_pen_x, m_pen_y, box.cell / 2, box.line);
    m_pen_x += box.cell / 2;
    return 0;
}

bool CMesWnd::TakeEscape(char16_t c, const std::vector<char16_t>& pieces, const Box& box)
{
    if (c != u'\\' || static_cast<size_t>(m_reveal_index) >= pieces.size())
        return false;
    const char16_t next = pieces[static_cast<size_t>(m_reveal_index)];
    if (next == u'n') {
        ++m_reveal_index;
        m_pen_y += box.line;
        m_pen_x = box.left;
        return true;
    }
    if (next == u'i') {
        ++m_reveal_index;
        return true;
    }
    return false;
}

void CMesWnd::BreakBeforeWord(int32_t letters, const Box& box)
{
    // The page's typesetter moves the same words, so the cells copied stay where it drew them.
    if (::BreaksBeforeWord(m_pen_x, letters, box.cell / 2,
                           LineBreakBox{box.left, box.top, box.right, box.bottom})) {
        m_pen_x = box.left;
        m_pen_y += box.line;
    }
}

void CMesWnd::RevealPieceChar(const std::vector<char16_t>& pieces, const Box& box)
{
    if (m_reveal_index < 0 || static_cast<size_t>(m_reveal_index) >= pieces.size())
        return;
    const char16_t c = pieces[static_cast<size_t>(m_reveal_index++)];
    if (c < 256 || c == EM_DASH) {
        if (TakeEscape(c, pieces, box))
            return;
        BreakBeforeWord(WordLettersAt(pieces.data(), pieces.size(), static_cast<size_t>(m_reveal_index - 1)),
                        box);
        CopyCell(m_pen_x, m_pen_y, box.cell / 2, box.line);
        m_pen_x += box.cell / 2;
        return;
    }
    LONG x = m_pen_x;
    LONG y = m_pen_y;
    WrapTextLine(c, x, y, box.cell, box.line, RECT{box.left, box.top, box.right, box.bottom}, m_hanging);
    m_pen_x = static_cast<int32_t>(x);
    m_pen_y = static_cast<int32_t>(y);
    if (box.bottom < m_pen_y + box.line)
        return;
    CopyCell(m_pen_x, m_pen_y, box.cell, box.line);
    m_pen_x += box.cell;
}

void CMesWnd::RevealFixedCell(const std::vector<char16_t>& pieces, const Box& box)
{
    if (m_reveal_index < 0 || static_cast<size_t>(m_reveal_index) >= pieces.size())
        return;
    const char16_t c = pieces[static_cast<size_t>(m_reveal_index++)];
    if (TakeEscape(c, pieces, box))
        return;
    const FlagBuffer* state = CurrentFlagBuffer();
    const int32_t fixed = state != nullptr && state->Values.size() > 34 ? state->Values[34].Integer / 2 : 0;
    CopyCell(m_pen_x, m_pen_y, fixed, box.line);
    m_pen_x += fixed;
}

int32_t CMesWnd::StepTypewriterAt(uint32_t now)
{
    if (m_typing == 0 || static_cast<int32_t>(now - m_next_char_time) < 0)
        return 0;
    const Box box = ReadBox();
    if (box.bottom < m_pen_y + box.line)
        return 0;
    uint32_t extra = 0;
    const int32_t before = m_reveal_index;
    if (!m_message.Text.IsEmpty())
        extra = RevealUtf8Char(m_message.Text, box);
    else if (GetConfigLanguage() == LANGUAGE_SIMPLIFIED_CHINESE)
        RevealFixedCell(m_message.Pieces, box);
    else
        RevealPieceChar(m_message.Pieces, box);
    // A text shorter than its count has nothing more to reveal: the page is complete.
    if (m_reveal_index < m_reveal_end - 1 && m_reveal_index != before) {
        if (box.bottom < m_pen_y + box.line)
            CompletePage(true);
        else
            m_next_char_time = now + m_char_wait + extra;
    } else {
        CompletePage(true);
    }
    return 1;
}

namespace {

inline constexpr size_t WORD_MESSAGE_NUMBER = 111;
inline constexpr size_t VARIABLE_NO_VOICE_WAIT = 71;
inline constexpr int32_t READ_SKIP_WORD = 1;

bool ChannelPlays(int32_t channel)
{
    CFuncVoice voice;
    IWaveManager* manager = voice.GetManager(channel);
    return manager != nullptr && manager->IsPlaying();
}

} // namespace

bool CMesWnd::SkipHonoured()
{
    return !TestEngineState(ENGINE_STATE_SKIP_MODE);
}

void CMesWnd::RunMessage(ScriptValue& out, int32_t mode, int32_t number)
{
    EnsureParts();
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
    InputView->SetExtraInput(READ_SKIP_WORD, 0);

    const int32_t newest = CountBacklogEntries() - 1;
    LoadMessageText(m_message, newest);
    m_reveal_end = m_message.Count;
    if (m_reveal_index < 0)
        m_reveal_index = 0;

    const uint32_t now = GetEffectTime();
    const bool read = ReadSkipOn != 0 && IsCurrentMessageRead();
    const bool skipping = SkipHonoured() && InputView->GetExtraInput(0) != 0;
    if (read || skipping) {
        if (read)
            InputView->SetExtraInput(READ_SKIP_WORD, 1);
        CompletePage(false);
        RestoreWindow(0);
    } else {
        for (int32_t code : OkInputs)
            WaitInputRelease(static_cast<uint32_t>(code));
        for (int32_t code : CancelInputs)
            WaitInputRelease(static_cast<uint32_t>(code));
        if (audible)
            m_voice_present = 1;
        const int32_t count = m_reveal_end - m_reveal_index;
        m_auto_deadline = AutoModeDeadline(now, count, GetConfigAutoMesSpeed());
        StartReveal(m_message, now, CharacterWait(GetConfigMesWndSpeed()));
        RestoreWindow(0);
        if ((GetConfigMesWndSpeed() == 1.0f || !GetConfigMesWndShowSpeedEnable()) && m_typing != 0)
            CompletePage(true);
        if (CFaceVoice* face = GameWork->m_face_voice.get(); face != nullptr && face->IsActive() != 0) {
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
    AutoDeadline = ReadSkipDeadline(now, GetConfigOneMesSpeed());
    if (read || skipping)
        InputMode = 1;
    m_buttons_hidden = 0;
}

void CMesWnd::AdvanceNow()
{
    HoverId = MESWND_ADVANCE;
    OnDecide();
}

// Auto mode's test for this frame; true when it advanced the message.
bool CMesWnd::AutoModeStep()
{
    if ((SkipHonoured() && InputView->GetExtraInput(0) != 0) || (ReadSkipOn != 0 && IsCurrentMessageRead())) {
        VoiceStep();
        return false;
    }
    if (IsShown() == 0 || IsMenuOpen())
        return false;
    const FlagBuffer* state = CurrentFlagBuffer();
    const bool no_wait = state != nullptr && VARIABLE_NO_VOICE_WAIT < state->Variables.size() &&
                         state->Variables[VARIABLE_NO_VOICE_WAIT].Integer != 0;
    bool test_deadline = false;
    if (m_voice_present != 0) {
        if (IsVoicePlaying())
            return false;
        const bool others = ChannelPlays(1) || ChannelPlays(2);
        if (GetConfigAutoVoiceWait()) {
            if (!no_wait && others)
                return false;
            test_deadline = true;
        } else {
            if (no_wait || !others) {
                AdvanceNow();
                return true;
            }
            return false;
        }
    } else {
        if (m_typing != 0)
            return false;
        test_deadline = true;
    }
    if (test_deadline && static_cast<int32_t>(GetEffectTime() - m_auto_deadline) > 0) {
        AdvanceNow();
        return true;
    }
    if (test_deadline)
        platform::NoteDueTime(m_auto_deadline + 1);
    return false;
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
    CFaceVoice* face = GameWork->m_face_voice.get();
    CAppTask* runner = GetAppTask();
    if (face == nullptr || runner == nullptr || !runner->Contains(face))
        return;
    runner->RemoveTask(face);
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
        if (read_skip_off && (IsInputTriggered(1) || IsInputTriggered(82) || IsInputTriggered(INPUT_RIGHT))) {
            ReadSkipOn = 0;
            InputView->SetExtraInput(READ_SKIP_WORD, 0);
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
                HoverId = -1;
                return;
            }
            HoverId = -1;
        } else if (group == 14) {
            if (GameWork->m_status_plate)
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

int32_t PointerY(CInputView* input)
{
    POINT position{};
    if (IMouse* mouse = input->GetMouse())
        mouse->GetPosition(&position);
    return CDirect3D::GetInstance()->WindowToLogical(position).y;
}

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
            InputView->SetExtraInput(READ_SKIP_WORD, 0);
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
        } catch (CVeskDoc::tagDOCUMENT_CODE code) {
            if (code != CVeskDoc::DOCUMENT_RETURN_TO_TITLE)
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
                InputView->SetExtraInput(READ_SKIP_WORD, 0);
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

void CMesWnd::OnBackspaceKey()
{
    IMouse* mouse = InputView->GetMouse();
    // With nothing to look back on the window stays as it is, hidden plate and text included.
    const bool nothing_back = IsShown() != 0 && CountBacklogEntries() == 0;
    if (IsShown() != 0) {
        if (mouse != nullptr)
            mouse->SetWheel(0);
        if (!nothing_back)
            OpenBacklog();
    }
    if (!nothing_back)
        RestoreWindow(0);
    if (mouse != nullptr)
        mouse->SetWheel(0);
    if (!(SkipHonoured() && InputView->GetExtraInput(0) != 0))
        WaitInputRelease(14);
}

void CMesWnd::OnMouseWheel(int32_t count)
{
    IMouse* mouse = InputView->GetMouse();
    if (mouse != nullptr)
        mouse->SetWheel(0);
    if (count > 0 && CountBacklogEntries() != 0) {
        OpenBacklog();
        RestoreWindow(0);
    } else if (count < 0) {
        if (IsMenuOpen()) {
            CloseMenu();
            SetManualFlag(1);
        }
        AdvanceNow();
    }
    if (mouse != nullptr)
        mouse->SetWheel(0);
}

void CMesWnd::StartDrag()
{
    m_dragging = 1;
    m_last_pointer_y = m_drag_start_y = PointerY(InputView);
    m_window_y = ConfiguredWindowY();
}

void CMesWnd::OnDrag()
{
    if (m_dragging == 0 && !GetConfigMesWndIsMove())
        StartDrag();
}

bool CMesWnd::DragStep()
{
    if ((IsInputTriggered(INPUT_LEFT) || IsInputTriggered(INPUT_DRAG)) && !GetConfigMesWndIsMove()) {
        const int32_t pointer = PointerY(InputView);
        const int32_t moved =
            std::clamp(m_window_y + (pointer - m_last_pointer_y), MESWND_MIN_Y, MESWND_MAX_Y);
        const int32_t delta = moved - m_window_y;
        m_window_y = moved;
        {
            LiveDrawLock lock;
            if (m_window_sprite)
                m_window_sprite->SetPosition(m_window_sprite->GetPosition().x, m_window_y);
            if (m_text_area_sprite)
                m_text_area_sprite->SetPosition(0, m_window_y);
            if (CSpriteLayer* edge = GetButtonSprite(MESBUTTON_EDGE))
                edge->SetPosition(edge->GetPosition().x, m_window_y);
            if (m_prompt_sprite)
                m_prompt_sprite->SetPosition(m_prompt_sprite->GetPosition().x, m_window_y + MESWND_PROMPT_Y);
        }
        ShiftWindowAreas(delta);
        m_last_pointer_y = pointer;
        return true;
    }
    HoverId = -1;
    m_dragging = 0;
    if (m_last_pointer_y == m_drag_start_y)
        OnDecide();
    foundation::WriteConfigInt(foundation::NumberedKey(foundation::KEY_MES_WND_POS_Y, 0), m_window_y);
    return false;
}

namespace {

// The screen point the keys send the pointer to from the row.
inline constexpr POINT KEY_CENTRE{1540, 933};

void WarpToCentre()
{
    const POINT window = CDirect3D::GetInstance()->LogicalToWindow(KEY_CENTRE);
    if (IMouse* mouse = GetInputView()->GetMouse())
        mouse->SetPosition(window.x, window.y);
}

} // namespace

void CMesWnd::MoveByCursorKey(uint32_t key)
{
    const int32_t hovered = HoverId;
    if (hovered == -1) {
        MoveCursorToWindowArea(0);
        return;
    }
    if (hovered == MESWND_BODY) {
        MoveCursorToWindowArea(key == SCAN_UP ? 6 : key == SCAN_LEFT ? 5 : 4);
        return;
    }
    if ((hovered & ~0xFF) == SIDE_MENU_GROUP) {
        if (!IsMenuOpen()) {
            if (key == SCAN_DOWN)
                MoveCursorToWindowArea(MESBUTTON_EDGE);
            else
                MoveCursorToMenuArea(SIDE_MENU_GROUP);
            return;
        }
        const int32_t item = hovered & 0xFF;
        const auto at = [this](int32_t i) {
            return i >= 0 && i < SIDE_MENU_SLOTS ? ButtonMap[static_cast<size_t>(i)] : -1;
        };
        if (key == SCAN_UP) {
            if (at(item) == -1)
                MoveCursorToMenuArea(SIDE_MENU_GROUP + 1);
            else if (item > 1)
                MoveCursorToMenuArea(SIDE_MENU_GROUP + item - 1);
        } else if (key == SCAN_DOWN) {
            if (at(item) == -1)
                MoveCursorToMenuArea(SIDE_MENU_GROUP + 1);
            else if (at(item + 1) == -1)
                CloseMenu();
            else
                MoveCursorToMenuArea(SIDE_MENU_GROUP + item + 1);
        } else if (key == SCAN_LEFT) {
            CloseMenu();
        }
        return;
    }
    const int32_t item = hovered & 0xFF;
    if (key == SCAN_UP) {
        if (hovered == MESBUTTON_EDGE) {
            if (!IsMenuOpen())
                MoveCursorToMenuArea(SIDE_MENU_GROUP);
            return;
        }
        WarpToCentre();
    } else if (key == SCAN_DOWN) {
        if (item == MESBUTTON_EDGE)
            WarpToCentre();
    } else if (key == SCAN_LEFT) {
        if (item == 0)
            WarpToCentre();
        else if (item == 1)
            MoveCursorToWindowArea(0);
        else if (item >= 2 && item <= 5)
            MoveCursorToWindowArea(item - 1);
    } else if (key == SCAN_RIGHT) {
        if (item >= 0 && item <= 4)
            MoveCursorToWindowArea(item + 1);
    }
}

int32_t CMesWnd::OnCursorKey(uint32_t scan_code)
{
    if (IsShown() == 0)
        return 0;
    MoveByCursorKey(scan_code);
    Update();
    if (!(SkipHonoured() && InputView->GetExtraInput(0) != 0))
        WaitInputRelease(scan_code);
    return 0;
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
    m_face_sheet.reset(LoadSprite("icon_p.akb", nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
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
    m_prompt_anime.m_frame_count = PROMPT_FRAMES;
    for (size_t n = 0; n < m_shared_sprites.size(); ++n)
        m_shared_sprites[n] = GetButtonSprite(static_cast<int32_t>(n));
    m_window_y = ConfiguredWindowY();
    PaintWindowColor(false);
    return 1;
}

bool CMesWnd::HasRequiredParts()
{
    CLayerFile* file = GetDocumentLayerFile();
    if (file == nullptr)
        return false;
    for (const char* name : {"MESSAGE_P.AKB", "SIDEMENU_P.AKB", "ICON_P.AKB"})
        if (file->Exists(name) == 0)
            return false;
    return true;
}

void CMesWnd::Show()
{
    EnsureParts();
    CMesButton::Show();
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
    EnsureParts();
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
        if (CStatusPlate* plate = GameWork->m_status_plate.get())
            plate->HideAnimated(&animation);
    if (m_buttons_hidden == 0)
        HideWindowButtons(animation);
    animation.PlayAndWait();
    Shown = 0;
    RedrawFrameNow();
}

void CMesWnd::RestoreWindow(int32_t flag)
{
    EnsureParts();
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
    EnsureParts();
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
        if (CStatusPlate* plate = GameWork->m_status_plate.get())
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

CFontDIB* CMesWnd::NameFont()
{
    // Kept from message to message with the glyphs it rendered; the language may change.
    const CStringUTF8 name = GetLanguageFontName();
    if (!m_name_font || !(name == m_name_font_name)) {
        m_name_font.reset();
        auto font = std::make_unique<CFontDIB>();
        font->Create(name);
        if (font->SetFontSize(NAME_LINE, NAME_LINE) == 0)
            return nullptr;
        m_name_font = std::move(font);
        m_name_font_name = name;
    }
    return m_name_font.get();
}

bool CMesWnd::NamePlateKey::operator==(const NamePlateKey& other) const
{
    return Name == other.Name && Colour == other.Colour && Outline == other.Outline && Font == other.Font &&
           Parts == other.Parts;
}

void CMesWnd::TypesetName(TextBox& text, CSpriteLayer& layer, bool plate_whole)
{
    const RECT& strip = MESWND_NAME_PLATE;
    const int32_t width = strip.right - strip.left;
    const int32_t height = strip.bottom - strip.top;
    // On a whole plate a name of one line makes the same strip every time: it is kept and copied.
    const bool keep =
        plate_whole && !GetConfigSceneSkip() && GetConfigLanguage() != LANGUAGE_SIMPLIFIED_CHINESE;
    NamePlateKey key{text.Text, text.DrawWord1, text.DrawWord2, GetLanguageFontName(), GetPartsPicture()};
    if (keep) {
        for (const NamePlate& plate : m_name_plates) {
            if (plate.Key == key) {
                layer.Blt(strip.left, strip.top, width, height, plate.Strip.get(), 0, 0, 1);
                return;
            }
        }
    }
    try {
        CFontDIB* font = NameFont();
        if (font == nullptr)
            return;
        CFuncString typesetter;
        typesetter.TypesetText(text, font);
    } catch (...) {
        // Without the face the plate stays empty; the message still shows.
        return;
    }
    if (!keep || text.CursorY != MESWND_NAME_BOX.top)
        return;
    if (m_name_plates.size() >= MESWND_KEPT_NAME_PLATES)
        m_name_plates.clear();
    auto kept = std::make_unique<CSpriteLayer>();
    kept->Create(0, 0, width, height, -1);
    kept->Blt(0, 0, width, height, &layer, strip.left, strip.top, 1);
    m_name_plates.push_back(NamePlate{std::move(key), std::move(kept)});
}

void CMesWnd::DrawNamePlate()
{
    ScriptContext* context = GetDocument()->m_script_context.get();
    FlagBuffer* state = CurrentFlagBuffer();
    const int32_t newest = CountBacklogEntries() - 1;
    // A message without a record has no speaker: the box must not move for it.
    if (context == nullptr || state == nullptr || newest < 0 ||
        static_cast<size_t>(newest) >= context->Backlog.Entries.size() ||
        state->Values.size() <= VALUE_ENGINE_STATE)
        return;
    const LogBuffer& entry = *context->Backlog.Entries[static_cast<size_t>(newest)];
    const CStringUTF8 name = entry.HeadText;
    const int32_t name_id = entry.HeadTextId;
    if (name.IsEmpty() && name_id == -1)
        return;
    std::vector<ScriptValue>& values = state->Values;
    CSpriteLayer* layer = FindSpriteLayer(values[53].Integer);
    const RECT& strip = MESWND_NAME_PLATE;
    const int32_t strip_width = strip.right - strip.left;
    const int32_t strip_height = strip.bottom - strip.top;
    // Whether the plate covers the whole strip, so that what was under it no longer shows.
    bool plate_whole = false;
    if (layer != nullptr) {
        if (CSpriteLayer* parts = GetPartsPicture()) {
            LiveDrawLock lock;
            layer->Blt(strip.left, strip.top, strip_width, strip_height, parts, NAME_PLATE_BACKGROUND.x,
                       NAME_PLATE_BACKGROUND.y, 1);
            plate_whole = parts->GetWidth() >= NAME_PLATE_BACKGROUND.x + strip_width &&
                          parts->GetHeight() >= NAME_PLATE_BACKGROUND.y + strip_height &&
                          layer->GetWidth() >= strip.right && layer->GetHeight() >= strip.bottom;
        }
    }
    std::array<ScriptValue, 7> saved;
    for (size_t k = 0; k < 6; ++k)
        saved[k] = values[46 + k];
    saved[6] = values[VALUE_ENGINE_STATE];
    values[VALUE_ENGINE_STATE] = ScriptValue::FromInteger(values[VALUE_ENGINE_STATE].Integer & ~0x80);
    values[VALUE_ENGINE_STATE] = ScriptValue::FromInteger(values[VALUE_ENGINE_STATE].Integer & ~0x100);
    const RECT& box = MESWND_NAME_BOX;
    values[46] = ScriptValue::FromInteger(box.left);
    values[47] = ScriptValue::FromInteger(box.top);
    values[48] = ScriptValue::FromInteger(box.right);
    values[49] = ScriptValue::FromInteger(box.bottom);
    TextBox text;
    text.Text = name;
    text.CursorX = box.left;
    text.CursorY = box.top;
    text.CellWidth = NAME_CELL;
    text.LineHeight = NAME_LINE;
    text.DrawWord1 = static_cast<uint32_t>(values[33].Integer);
    text.DrawWord2 = static_cast<uint32_t>(values[32].Integer);
    text.DrawWord3 = NAME_DRAW_STYLE;
    text.Left = box.left;
    text.Top = box.top;
    text.Right = box.right;
    text.Bottom = box.bottom;
    text.UseLineBreakRules = 0;
    text.DrawWord4 = layer;
    if (layer != nullptr) {
        LiveDrawLock lock;
        if (name_id != -1) {
            DrawLangText(name_id, text);
        } else if (GetConfigLanguage() != LANGUAGE_SIMPLIFIED_CHINESE || DrawTextString(text) == 0) {
            TypesetName(text, *layer, plate_whole);
        }
    }
    for (size_t index : {size_t{46}, size_t{48}, size_t{49}, size_t{50}})
        values[index] = saved[index - 46];
    values[VALUE_ENGINE_STATE] = saved[6];
    values[47] = ScriptValue::FromInteger(saved[1].Integer + MESWND_NAME_SHIFT);
    values[51] = ScriptValue::FromInteger(saved[5].Integer + MESWND_NAME_SHIFT);
    ILayer* target = SpriteLayerOf(m_text_area_sprite.get());
    if (target != nullptr && layer != nullptr) {
        LiveDrawLock lock;
        target->Blt(strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top, layer,
                    strip.left, strip.top, 1);
        AddTextSpriteInk(*target, strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top);
        m_text_area_sprite->Invalidate(1, *m_text_area_sprite->GetRect());
    }
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
