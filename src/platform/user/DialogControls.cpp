// The classes of the dialog toolkit, its drawing helpers and the system colours.
#include <algorithm>
#include <vector>

#include "platform/user/ControlsApi.h"
#include "platform/user/DialogApi.h"
#include "platform/user/DialogControls.h"
#include "platform/user/UiFont.h"
#include "platform/user/WindowManager.h"

namespace platform::dialog {

namespace {

struct ClassEntry
{
    const char16_t* name;
    WNDPROC procedure;
    int extra_bytes;
    ControlKind kind;
};

// Dialogs keep the Windows layout of their extra bytes: the message result at 0, then the dialog
// procedure and user data; the layer's record follows.
constexpr int DIALOG_EXTRA_BYTES = 32;

const ClassEntry CLASSES[] = {
    {DIALOG_CLASS, &DialogWindowProcedure, DIALOG_EXTRA_BYTES, ControlKind::Dialog},
    {WC_BUTTONW, &ButtonProcedure, 8, ControlKind::Button},
    {WC_STATICW, &StaticProcedure, 8, ControlKind::Static},
    {WC_TABCONTROLW, &TabProcedure, 8, ControlKind::Tab},
    {TRACKBAR_CLASSW, &TrackbarProcedure, 8, ControlKind::Trackbar},
    {PROGRESS_CLASSW, &ProgressProcedure, 8, ControlKind::Progress},
};

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

} // namespace

void RegisterClasses()
{
    WindowManager& manager = WindowManager::GetInstance();
    for (const ClassEntry& entry : CLASSES) {
        if (manager.FindClass(entry.name) != nullptr)
            continue;
        WNDCLASSW info{};
        info.lpfnWndProc = entry.procedure;
        info.cbWndExtra = entry.extra_bytes;
        info.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        info.lpszClassName = entry.name;
        manager.RegisterClass(info);
    }
}

ControlKind KindOf(HWND window)
{
    WindowManager& manager = WindowManager::GetInstance();
    const WindowObject* object = manager.Find(window);
    if (object == nullptr)
        return ControlKind::None;
    for (const ClassEntry& entry : CLASSES) {
        const WindowClassRecord* record = manager.FindClass(entry.name);
        if (record != nullptr && record->atom == object->class_atom)
            return entry.kind;
    }
    return ControlKind::None;
}

void PaintTree(HWND window, UiCanvas& canvas, POINT origin)
{
    WindowManager& manager = WindowManager::GetInstance();
    const WindowObject* object = manager.Find(window);
    if (object == nullptr || !object->visible)
        return;
    const RECT area{origin.x, origin.y, origin.x + (object->rect.right - object->rect.left),
                    origin.y + (object->rect.bottom - object->rect.top)};
    switch (KindOf(window)) {
    case ControlKind::Dialog:
        PaintDialog(window, canvas, area);
        break;
    case ControlKind::Button:
        PaintButton(window, canvas, area);
        break;
    case ControlKind::Static:
        PaintStatic(window, canvas, area);
        break;
    case ControlKind::Tab:
        PaintTab(window, canvas, area);
        break;
    case ControlKind::Trackbar:
        PaintTrackbar(window, canvas, area);
        break;
    case ControlKind::Progress:
        PaintProgress(window, canvas, area);
        break;
    case ControlKind::None:
        return; // not the toolkit's: the layer does not know how it looks
    }
    // Painting may have sent messages; the children are looked up afresh.
    for (HWND child : manager.Windows()) {
        const WindowObject* candidate = manager.Find(child);
        if (candidate == nullptr || candidate->parent != window || !(candidate->style & WS_CHILD))
            continue;
        PaintTree(child, canvas, {origin.x + candidate->rect.left, origin.y + candidate->rect.top});
    }
}

int MeasureLabel(std::u16string_view text)
{
    return UiFont::GetInstance().MeasureText(text, TEXT_SIZE);
}

void DrawLabel(UiCanvas& canvas, const RECT& area, std::u16string_view text, uint32_t colour, DWORD align,
               bool wrap)
{
    UiFont& font = UiFont::GetInstance();
    const int width = area.right - area.left;
    std::vector<std::u16string_view> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos)
            end = text.size();
        std::u16string_view paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == u'\r')
            paragraph.remove_suffix(1);
        while (wrap && paragraph.size() > 1 && font.MeasureText(paragraph, TEXT_SIZE) > width) {
            size_t cut = paragraph.size() - 1;
            while (cut > 1 && font.MeasureText(paragraph.substr(0, cut), TEXT_SIZE) > width)
                --cut;
            if (IsHighSurrogate(paragraph[cut - 1]) && cut > 1)
                --cut;
            const size_t space = paragraph.substr(0, cut).rfind(u' ');
            if (space != std::u16string_view::npos && space > 0)
                cut = space;
            lines.push_back(paragraph.substr(0, cut));
            paragraph.remove_prefix(cut);
            while (!paragraph.empty() && paragraph.front() == u' ')
                paragraph.remove_prefix(1);
        }
        lines.push_back(paragraph);
        start = end + 1;
    }
    const int line_height = TEXT_SIZE + 4;
    int baseline = area.top + font.Ascent(TEXT_SIZE) + 1;
    for (std::u16string_view line : lines) {
        const int line_width = font.MeasureText(line, TEXT_SIZE);
        int x = area.left;
        if ((align & SS_TYPEMASK) == SS_CENTER)
            x = area.left + (width - line_width) / 2;
        else if ((align & SS_TYPEMASK) == SS_RIGHT)
            x = area.right - line_width;
        canvas.DrawText(x, baseline, line, TEXT_SIZE, colour);
        baseline += line_height;
    }
}

uint32_t ArgbOf(COLORREF colour)
{
    return 0xFF000000u | (static_cast<uint32_t>(GetRValue(colour)) << 16) |
           (static_cast<uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

std::u16string TextOf(HWND window)
{
    const WindowObject* object = WindowManager::GetInstance().Find(window);
    return object != nullptr ? object->text : std::u16string();
}

void Redraw(HWND window)
{
    WindowManager::GetInstance().Invalidate(window);
}

void NotifyParent(HWND control, WORD code)
{
    const HWND parent = GetParent(control);
    if (parent != nullptr)
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), code),
                     reinterpret_cast<LPARAM>(control));
}

} // namespace platform::dialog

DWORD GetSysColor(int index)
{
    switch (index) {
    case COLOR_WINDOW:
    case COLOR_BTNHIGHLIGHT:
        return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
        return RGB(0, 0, 0);
    case COLOR_HIGHLIGHT:
        return RGB(0, 120, 215);
    case COLOR_BTNFACE:
        return RGB(240, 240, 240);
    case COLOR_BTNSHADOW:
        return RGB(160, 160, 160);
    case COLOR_GRAYTEXT:
        return RGB(109, 109, 109);
    case COLOR_HOTLIGHT:
        return RGB(0, 102, 204);
    default:
        return 0;
    }
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init)
{
    return init != nullptr ? TRUE : FALSE;
}

namespace platform::dialog {

void PaintDialog(HWND window, UiCanvas& canvas, const RECT& area)
{
    const DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    canvas.FillRect(area, FACE);
    if ((style & WS_CHILD) || (style & WS_CAPTION) != WS_CAPTION)
        return;
    const RECT caption{area.left, area.top, area.right, area.top + CAPTION_HEIGHT};
    canvas.FillRect(caption, CAPTION);
    DrawLabel(
        canvas,
        {area.left + 8, area.top + (CAPTION_HEIGHT - TEXT_SIZE - 4) / 2, area.right - 8, caption.bottom},
        TextOf(window), CAPTION_TEXT, SS_LEFT, false);
    canvas.FrameRect(area, FRAME);
}

} // namespace platform::dialog
