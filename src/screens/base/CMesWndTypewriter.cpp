// The message window's typewriter: the timing rules, the text box, the reveal of a page cell by
// cell from the text layer the script typeset, the whole-page copy and the click-wait prompt.

#include "screens/base/CMesWnd.h"

#include <algorithm>

#include "foundation/ConfigSettings.h"
#include "foundation/LineBreakRules.h"
#include "foundation/TextLayout.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/PixelRows.h"
#include "graphics/SpriteLayerOf.h"
#include "platform/user/RectApi.h"
#include "script/FlagBuffer.h"
#include "script/vm/ScriptContext.h"

namespace {

inline constexpr float CHARACTER_WAIT_SCALE = 150.0f;
inline constexpr double AUTO_STEP_SCALE = 250.0;
inline constexpr uint32_t AUTO_BASE_MS = 500;
inline constexpr float READ_SKIP_SCALE = 500.0f;
inline constexpr uint32_t KUTOUTEN_WAIT_MS = 300;
inline constexpr int32_t TEXT_SPRITE_HEIGHT = 280;
inline constexpr char16_t EM_DASH = 0x2014;
inline constexpr int32_t PROMPT_STEP_DURATION = 39;
// Values[46..51] and [53] after a reset: the text box, the pen start and the text layer.
constexpr std::pair<size_t, int32_t> TEXT_BOX[] = {{46, 440}, {47, 70}, {48, 1440}, {49, 250},
                                                   {50, 440}, {51, 70}, {53, 8}};

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

} // namespace

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
        m_prompt_anime.m_frame_count = MESWND_PROMPT_FRAMES;
        m_prompt_animation->Play(ANIME_NO_WAIT, 0, ANIME_REQUEST_MASK, 0);
    }
    m_prompt_shown = 1;
}

bool CMesWnd::StopPrompt()
{
    const bool shown = m_prompt_sprite && m_prompt_sprite->IsVisible();
    if (m_prompt_animation)
        m_prompt_animation->Stop();
    if (m_prompt_sprite)
        m_prompt_sprite->SetVisibleFlag(0);
    return shown;
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
    m_prompt_anime.m_frame_count = MESWND_PROMPT_FRAMES;
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
        // The page's typesetter placed the character so: the cell copied is the one it drew.
        ApplyLineBreakRules(c, m_pen_x, m_pen_y, box.cell, box.line,
                            LineBreakBox{box.left, box.top, box.right, box.bottom}, 1, m_hang_flag);
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
    // Half-width characters never wrap: a line that runs past the edge shows whole with the page.
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

void CMesWnd::RevealPieceChar(const std::vector<char16_t>& pieces, const Box& box)
{
    if (m_reveal_index < 0 || static_cast<size_t>(m_reveal_index) >= pieces.size())
        return;
    const char16_t c = pieces[static_cast<size_t>(m_reveal_index++)];
    if (c < 256 || c == EM_DASH) {
        if (TakeEscape(c, pieces, box))
            return;
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
