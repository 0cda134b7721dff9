#include "screens/base/CMesScreen.h"

#include <algorithm>

#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/IMouse.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/EffectClock.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "platform/kernel/IdleWait.h"
#include "screens/base/ScreenParts.h"
#include "screens/base/ScreenWork.h"
#include "script/FlagBuffer.h"
#include "script/vm/BacklogStore.h"
#include "script/vm/ScriptContext.h"

namespace {

inline constexpr int32_t SCREEN_DEPTH = 40;
inline constexpr int32_t SLIDE_TICKS = 128;
inline constexpr int32_t SLIDE_DISTANCE = 32;
inline constexpr int32_t CENTRE_WIDTH = 1980;
inline constexpr uint32_t MS_PER_UNIT = 90;
inline constexpr size_t VALUE_CELL_WIDTH = 30;

// Values[46..51] and [53]: the text box, the pen start and the text layer.
constexpr std::pair<size_t, int32_t> TEXT_BOX[] = {
    {46, 0}, {47, 470}, {48, 1320}, {49, 626}, {50, 0}, {51, 470}, {53, MESSAGE_SCREEN_TEXT_LAYER}};

// SkipAllowed back on however the run ends, a document code included.
class SkipOff
{
public:
    explicit SkipOff(IMesWnd& window)
        : m_window(window)
    {
        m_window.SkipAllowed = 0;
    }
    ~SkipOff() { m_window.SkipAllowed = 1; }
    SkipOff(const SkipOff&) = delete;
    SkipOff& operator=(const SkipOff&) = delete;

private:
    IMesWnd& m_window;
};

} // namespace

CMesScreen::~CMesScreen()
{
    m_screen.reset();
}

int32_t CMesScreen::CreateParts()
{
    if (CMesButton::CreateParts() == 0)
        return 0;
    m_screen = MakeMemorySprite(0, 0, 1920, 1080, SCREEN_DEPTH);
    if (!m_screen)
        return -1;
    ApplyWindowColor();
    return 1;
}

void CMesScreen::ReleaseParts()
{
    m_screen.reset();
    // CreateParts took a share of the family's shared parts: giving it back here keeps them
    // from outliving the last window that used them.
    CMesButton::ReleaseParts();
}

void CMesScreen::ResetTextArea()
{
    if (FlagBuffer* state = CurrentFlagBuffer()) {
        for (const auto& [index, value] : TEXT_BOX)
            if (index < state->Values.size())
                state->Values[index] = ScriptValue::FromInteger(value);
    }
    if (CSpriteLayer* text = FindSpriteLayer(MESSAGE_SCREEN_TEXT_LAYER)) {
        LiveDrawLock lock;
        text->FillRect(0, 0, 1920, 1080, 0, 1);
    }
}

int32_t CMesScreen::IsReplayMode()
{
    return IsReplayState();
}

int32_t CMesScreen::LongestLine(const CStringUTF8& text)
{
    int32_t longest = 0;
    int32_t line = 0;
    const std::string bytes = text.GetText();
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<uint8_t>(bytes[i]);
        size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        length = std::min(length, bytes.size() - i);
        const std::string character = bytes.substr(i, length);
        i += length;
        if (character == "\n") {
            longest = std::max(longest, line);
            line = 0;
            continue;
        }
        line += IsFullWidthChar(CStringUTF8(character.c_str())) != 0 ? 2 : 1;
    }
    return std::max(longest, line);
}

int32_t CMesScreen::TextLeft(int32_t cell_width, int32_t longest)
{
    const auto width = std::min(static_cast<int32_t>(cell_width * 0.5 * longest), MESSAGE_SCREEN_MAX_WIDTH);
    return (CENTRE_WIDTH - width) / 2;
}

void CMesScreen::DrawText()
{
    CSpriteLayer* text = FindSpriteLayer(MESSAGE_SCREEN_TEXT_LAYER);
    if (!m_screen)
        return;
    LiveDrawLock lock;
    m_screen->SetAlphaRect(0, 0, 1920, 1080, 0);
    if (text != nullptr)
        m_screen->Blt(m_text_x, 0, 1920 - m_text_x, 1080, text, 0, 0, 1);
    m_screen->Invalidate(1, *m_screen->GetRect());
}

void CMesScreen::Slide(bool show)
{
    if (!m_screen)
        return;
    CSpriteAnime anime(15);
    SpriteAnimRecord record(SLIDE_TICKS);
    record.SetVisible(show ? 1 : 0);
    if (show)
        record.SetRect(0, -SLIDE_DISTANCE, 0, 0);
    else
        record.SetRect(0, 0, 0, SLIDE_DISTANCE);
    record.SetAlpha(show ? 0 : 255, show ? 255 : 0);
    m_screen->AddAnimation(record);
    anime.AddSprite(m_screen.get());
    anime.PlayAndWait();
}

void CMesScreen::Show()
{
    Shown = 1;
    Slide(true);
}

void CMesScreen::Hide()
{
    Shown = 0;
    Slide(false);
}

int32_t CMesScreen::RunText(int32_t extra_ms, const CStringUTF8& text)
{
    const auto& active = GameWork->GetActiveScreens();
    if (std::find(active.begin(), active.end(), this) == active.end())
        GameWork->AddActiveScreen(this);
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
    m_kept_text = text;
    m_extra_time = extra_ms;
    Result = ScriptValue::FromInteger(0);
    SkipOff skip_off(*this);
    RunModal();
    return Result.Integer;
}

void CMesScreen::OnOpen()
{
    Running = 1;
    if (GetConfigSceneSkip())
        EndSceneSkip();
    m_message = MessageText{};
    m_message.Text = GetBacklogEntryString(CountBacklogEntries() - 1);
    m_message.Count = LongestLine(m_message.Text);
    const FlagBuffer* state = CurrentFlagBuffer();
    const int32_t cell = state != nullptr && VALUE_CELL_WIDTH < state->Values.size()
                             ? state->Values[VALUE_CELL_WIDTH].Integer
                             : 0;
    m_text_x = TextLeft(cell, m_message.Count);
    DrawText();
    Show();
    m_deadline = GetEffectTime() + static_cast<uint32_t>(m_message.Count) * MS_PER_UNIT +
                 static_cast<uint32_t>(m_extra_time);
}

void CMesScreen::Update()
{
    if (static_cast<int32_t>(m_deadline - GetEffectTime()) < 0)
        OnDecide();
    else
        platform::NoteDueTime(m_deadline + 1);
}

void CMesScreen::OnDecide()
{
    ISelect::OnDecide();
    Running = 0;
}

void CMesScreen::OnMouseWheel(int32_t count)
{
    IMouse* mouse = InputView->GetMouse();
    if (mouse != nullptr)
        mouse->SetWheel(0);
    if (count < 0)
        OnDecide();
    if (mouse != nullptr)
        mouse->SetWheel(0);
}

void CMesScreen::OnClose()
{
    ISelect::OnClose();
    SkipAllowed = 1;
    Hide();
    ResetTextArea();
    if (ScriptContext* context = GetScriptContext())
        context->m_text_area_word = 0;
}

void CMesScreen::BuildParts(int32_t)
{
    ResetTextArea();
    ClearEngineState(ENGINE_STATE_RECORDING);
    ScriptContext* context = GetScriptContext();
    if (context == nullptr || CountBacklogEntries() == 0)
        return;
    const int32_t newest = CountBacklogEntries() - 1;
    if (static_cast<size_t>(newest) < context->Backlog.Entries.size())
        RunScript(BacklogStore::MakeHandle(newest));
    DrawText();
    SetEngineState(ENGINE_STATE_RECORDING);
}
