#include "platform/user/MessageBoxModel.h"

#include <algorithm>

#include "platform/user/MessageApi.h"
#include "platform/user/MessageBoxPolicy.h"
#include "platform/user/UiCanvas.h"
#include "platform/user/UiFont.h"

namespace platform {

namespace {

constexpr int BOX_TEXT_SIZE = 14;
constexpr int BOX_CAPTION_HEIGHT = 26;
constexpr int BOX_PADDING = 18;
constexpr int BOX_LINE_HEIGHT = 20;
constexpr int BOX_MAX_TEXT_WIDTH = 520;
constexpr int BOX_BUTTON_WIDTH = 88;
constexpr int BOX_BUTTON_HEIGHT = 26;
constexpr int BOX_BUTTON_GAP = 8;

constexpr uint32_t BOX_BACKGROUND = 0xFFF0F0F0;
constexpr uint32_t BOX_CAPTION = 0xFF2B579A;
constexpr uint32_t BOX_CAPTION_TEXT = 0xFFFFFFFF;
constexpr uint32_t BOX_FRAME = 0xFF6E6E6E;
constexpr uint32_t BOX_TEXT = 0xFF000000;
constexpr uint32_t BOX_BUTTON = 0xFFE1E1E1;
constexpr uint32_t BOX_BUTTON_FRAME = 0xFFADADAD;
constexpr uint32_t BOX_BUTTON_FOCUS = 0xFF0078D7;
constexpr uint32_t BOX_BUTTON_PRESSED = 0xFFCCE4F7;
constexpr uint32_t BOX_SHADE = 0x60000000;

bool Contains(const RECT& rect, POINT point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

RECT Offset(RECT rect, POINT origin)
{
    return {rect.left + origin.x, rect.top + origin.y, rect.right + origin.x, rect.bottom + origin.y};
}

std::vector<int> ButtonIdsOf(UINT type)
{
    switch (type & 0x0F) {
    case 1: // MB_OKCANCEL
        return {1, 2};
    case 2: // MB_ABORTRETRYIGNORE
        return {3, 4, 5};
    case 3: // MB_YESNOCANCEL
        return {6, 7, 2};
    case 4: // MB_YESNO
        return {6, 7};
    case 5: // MB_RETRYCANCEL
        return {4, 2};
    case 6: // MB_CANCELTRYCONTINUE
        return {2, 10, 11};
    default: // MB_OK
        return {1};
    }
}

std::u16string ButtonText(int id)
{
    switch (id) {
    case 1:
        return u"OK";
    case 2:
        return u"キャンセル";
    case 3:
        return u"中止";
    case 4:
        return u"再試行";
    case 5:
        return u"無視";
    case 6:
        return u"はい";
    case 7:
        return u"いいえ";
    case 10:
        return u"再実行";
    default:
        return u"続行";
    }
}

// Where a line cut after `cut` units would put a mark the line-start table forbids at the next
// line's start: the mark, and one more behind it, hang past the edge as they do in the game's
// text; a longer run of marks takes the character before it down instead.
size_t KeepMarksOffLineStart(std::u16string_view paragraph, size_t cut)
{
    const auto forbidden = [&](size_t at) {
        return at < paragraph.size() && IsMessageBoxLineStartForbidden(paragraph[at]);
    };
    size_t hung = cut;
    while (hung < cut + 2 && forbidden(hung))
        ++hung;
    if (!forbidden(hung))
        return hung;
    while (cut > 1 && forbidden(cut))
        --cut;
    return forbidden(cut) ? hung : cut;
}

// Breaks the text at its line breaks and wherever a line would pass the width: at a space when
// there is one, else between any two characters (as Japanese text is broken), never before a
// character the line-start table forbids.
std::vector<std::u16string> WrapText(std::u16string_view text, int width)
{
    UiFont& font = UiFont::GetInstance();
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos)
            end = text.size();
        std::u16string paragraph(text.substr(start, end - start));
        if (!paragraph.empty() && paragraph.back() == u'\r')
            paragraph.pop_back();
        while (font.MeasureText(paragraph, BOX_TEXT_SIZE) > width && paragraph.size() > 1) {
            size_t cut = paragraph.size() - 1;
            while (cut > 1 &&
                   font.MeasureText(std::u16string_view(paragraph).substr(0, cut), BOX_TEXT_SIZE) > width)
                --cut;
            const size_t space = paragraph.rfind(u' ', cut);
            if (space != std::u16string::npos && space > 0)
                cut = space;
            else
                cut = KeepMarksOffLineStart(paragraph, cut);
            if (cut >= paragraph.size())
                break;
            lines.push_back(paragraph.substr(0, cut));
            paragraph.erase(0, cut);
            while (!paragraph.empty() && paragraph.front() == u' ')
                paragraph.erase(0, 1);
        }
        lines.push_back(paragraph);
        start = end + 1;
    }
    return lines;
}

} // namespace

void MessageBoxModel::Begin(std::u16string_view text, std::u16string caption, UINT type)
{
    *this = {};
    m_caption = std::move(caption);
    m_lines = WrapText(text, BOX_MAX_TEXT_WIDTH);
    for (int id : ButtonIdsOf(type))
        m_buttons.push_back({id, {}});
    m_focus = std::min<int>(static_cast<int>((type >> 8) & 0x0F), static_cast<int>(m_buttons.size()) - 1);
}

void MessageBoxModel::Show(HWND owner)
{
    m_active = true;
    m_owner = owner;
    Change();
}

void MessageBoxModel::Layout(int area_width, int area_height)
{
    UiFont& font = UiFont::GetInstance();
    int text_width = font.MeasureText(m_caption, BOX_TEXT_SIZE);
    for (const std::u16string& line : m_lines)
        text_width = std::max(text_width, font.MeasureText(line, BOX_TEXT_SIZE));
    const int buttons_width =
        static_cast<int>(m_buttons.size()) * (BOX_BUTTON_WIDTH + BOX_BUTTON_GAP) - BOX_BUTTON_GAP;
    const int width = std::max(text_width, buttons_width) + 2 * BOX_PADDING;
    const int height = BOX_CAPTION_HEIGHT + BOX_PADDING + static_cast<int>(m_lines.size()) * BOX_LINE_HEIGHT +
                       BOX_PADDING + BOX_BUTTON_HEIGHT + BOX_PADDING;
    if (area_width == 0 && area_height == 0) {
        area_width = width;
        area_height = height;
    }
    const int left = std::max((area_width - width) / 2, 0);
    const int top = std::max((area_height - height) / 2, 0);
    m_frame = {left, top, left + width, top + height};
    int x = m_frame.right - BOX_PADDING - buttons_width;
    const int y = m_frame.bottom - BOX_PADDING - BOX_BUTTON_HEIGHT;
    for (Button& button : m_buttons) {
        button.rect = {x, y, x + BOX_BUTTON_WIDTH, y + BOX_BUTTON_HEIGHT};
        x += BOX_BUTTON_WIDTH + BOX_BUTTON_GAP;
    }
    Change();
}

SIZE MessageBoxModel::FrameSize() const
{
    return {m_frame.right - m_frame.left, m_frame.bottom - m_frame.top};
}

void MessageBoxModel::Paint(UiCanvas& canvas, POINT origin) const
{
    // A box over a bigger window shades what it covers.
    if (m_frame.left > 0 || m_frame.top > 0)
        canvas.FillRect({0, 0, canvas.Width(), canvas.Height()}, BOX_SHADE);
    const RECT frame = Offset(m_frame, origin);
    canvas.FillRect(frame, BOX_BACKGROUND);
    canvas.FillRect({frame.left, frame.top, frame.right, frame.top + BOX_CAPTION_HEIGHT}, BOX_CAPTION);
    canvas.FrameRect(frame, BOX_FRAME);
    const int caption_baseline = frame.top + (BOX_CAPTION_HEIGHT - BOX_TEXT_SIZE) / 2 + BOX_TEXT_SIZE * 7 / 8;
    canvas.DrawText(frame.left + BOX_PADDING / 2, caption_baseline, m_caption, BOX_TEXT_SIZE,
                    BOX_CAPTION_TEXT);
    int baseline = frame.top + BOX_CAPTION_HEIGHT + BOX_PADDING + BOX_TEXT_SIZE;
    for (const std::u16string& line : m_lines) {
        canvas.DrawText(frame.left + BOX_PADDING, baseline, line, BOX_TEXT_SIZE, BOX_TEXT);
        baseline += BOX_LINE_HEIGHT;
    }
    UiFont& font = UiFont::GetInstance();
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        const RECT rect = Offset(m_buttons[i].rect, origin);
        canvas.FillRect(rect, static_cast<int>(i) == m_pressed ? BOX_BUTTON_PRESSED : BOX_BUTTON);
        canvas.FrameRect(rect, static_cast<int>(i) == m_focus ? BOX_BUTTON_FOCUS : BOX_BUTTON_FRAME);
        const std::u16string label = ButtonText(m_buttons[i].id);
        const int label_width = font.MeasureText(label, BOX_TEXT_SIZE);
        canvas.DrawText((rect.left + rect.right - label_width) / 2,
                        rect.top + (BOX_BUTTON_HEIGHT - BOX_TEXT_SIZE) / 2 + BOX_TEXT_SIZE * 7 / 8, label,
                        BOX_TEXT_SIZE, BOX_TEXT);
    }
}

int MessageBoxModel::CancelResult() const
{
    for (const Button& button : m_buttons) {
        if (button.id == 2)
            return 2;
    }
    return m_buttons.size() == 1 && m_buttons[0].id == 1 ? 1 : 0;
}

bool MessageBoxModel::OnKey(UINT virtual_key, bool shift, int& result)
{
    switch (virtual_key) {
    case VK_ESCAPE:
        return OnClose(result);
    case VK_RETURN:
    case VK_SPACE:
        result = m_buttons[static_cast<size_t>(m_focus)].id;
        return false;
    case VK_TAB:
    case VK_RIGHT:
    case VK_LEFT: {
        const int count = static_cast<int>(m_buttons.size());
        const bool back = virtual_key == VK_LEFT || shift;
        m_focus = (m_focus + (back ? count - 1 : 1)) % count;
        Change();
        return true;
    }
    default:
        return true;
    }
}

bool MessageBoxModel::OnLeftButton(bool down, POINT point, int& result)
{
    int under = -1;
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        if (Contains(m_buttons[i].rect, point))
            under = static_cast<int>(i);
    }
    Change();
    if (down) {
        m_pressed = under;
        if (under >= 0)
            m_focus = under;
        return true;
    }
    const int pressed = m_pressed;
    m_pressed = -1;
    if (under >= 0 && under == pressed) {
        result = m_buttons[static_cast<size_t>(under)].id;
        return false;
    }
    return true;
}

bool MessageBoxModel::OnClose(int& result)
{
    result = CancelResult();
    return result == 0;
}

bool MessageBoxModel::TakeChanged()
{
    const bool changed = m_changed;
    m_changed = false;
    return changed;
}

} // namespace platform
