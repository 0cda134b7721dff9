#include "screens/system/CIme.h"

#include <algorithm>
#include <string>

#include "foundation/CInputView.h"
#include "foundation/CLangTextTable.h"
#include "foundation/CStringUTF8.h"
#include "foundation/GameDocument.h"
#include "foundation/MainView.h"
#include "foundation/PlayerMessage.h"
#include "foundation/ScopedLock.h"
#include "foundation/ScreenSettings.h"
#include "foundation/WaitPass.h"
#include "graphics/CDirect3D.h"
#include "graphics/CFontDIB.h"
#include "graphics/FrameRedraw.h"
#include "graphics/ILayer.h"
#include "platform/imm/ImmApi.h"
#include "platform/user/MessageApi.h"

namespace {

// Conversion mode of simplified Chinese: no conversion, Roman input.
constexpr DWORD CHINESE_CONVERSION = IME_CMODE_NOCONVERSION | IME_CMODE_ROMAN;

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

// Units of the character starting at the index (2 for a surrogate pair).
size_t UnitsAt(const char16_t* text, size_t index)
{
    return IsHighSurrogate(text[index]) && text[index + 1] >= 0xDC00 && text[index + 1] <= 0xDFFF ? 2 : 1;
}

size_t Length(const char16_t* text, size_t limit)
{
    size_t length = 0;
    while (length < limit && text[length] != 0)
        ++length;
    return length;
}

// Characters (surrogate pairs counting once) in the first `units` units.
int32_t CharacterCount(const char16_t* text, size_t units)
{
    int32_t count = 0;
    for (size_t at = 0; at < units; at += UnitsAt(text, at))
        ++count;
    return count;
}

} // namespace

CIme::CIme()
{
    m_clauses.fill(-1);
}

CIme::~CIme()
{
    if (m_window != nullptr)
        GetMainView().RemoveWindowHook(this);
}

int32_t CIme::CreateCompositionFont()
{
    try {
        auto font = std::make_unique<CFontDIB>();
        font->Create(GetLanguageFontName());
        m_font = std::move(font);
    } catch (...) {
        // CFontDIB reports a failed surface by throwing its text; the player is told here.
        m_font.reset();
    }
    if (m_font == nullptr) {
        ShowPlayerMessage(0, "フォントの作成に失敗しました");
        return 0;
    }
    m_window = GetMainView().GetMainWindow();
    GetMainView().AddWindowHook(this);
    return 1;
}

void CIme::Open(ImeEntryArea* area)
{
    m_area = area;
    const HIMC context = ImmGetContext(m_window);
    if (!ImmGetOpenStatus(context))
        ImmSetOpenStatus(context, TRUE);
    switch (GetCurrentLanguage()) {
    case 0: {
        DWORD conversion = 0;
        DWORD sentence = 0;
        ImmGetConversionStatus(context, &conversion, &sentence);
        ImmSetConversionStatus(context, conversion, IME_SMODE_PHRASEPREDICT);
        break;
    }
    case 1:
        ImmSetConversionStatus(context, CHINESE_CONVERSION, IME_SMODE_NONE);
        break;
    default:
        ImmSetConversionStatus(context, IME_CMODE_NATIVE, IME_SMODE_NONE);
        break;
    }
    ImmReleaseContext(m_window, context);
    if (m_font != nullptr && area != nullptr)
        m_font->SetFontSize(area->font_width, area->font_height);
    {
        ScopedLock lock(m_lock);
        m_text.fill(0);
        m_attributes.fill(0);
        m_clauses.fill(-1);
        m_cursor = 0;
    }
    m_state = IME_STATE_IDLE;
    m_composing = 0;
    m_commit_held = false;
    // A commit that arrives whole, with no entry loop running, is cut to the area's space.
    m_caret_x = area != nullptr ? std::max(area->right_limit - area->band_left, 0) : 0;
    m_active = 1;
}

void CIme::Close()
{
    if (!m_active)
        return;
    const HIMC context = ImmGetContext(m_window);
    if (m_composing) {
        ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
        while (m_composing) {
            if (!RunWaitPass(GetGameDocument()))
                break;
        }
    }
    m_active = 0;
    if (ImmGetOpenStatus(context))
        ImmSetOpenStatus(context, FALSE);
    ImmReleaseContext(m_window, context);
    m_caret_in_text = 0;
    m_composing = 0;
}

int32_t CIme::HalfCell() const
{
    // A cell of 0 or 1 pixel has no half; one pixel keeps every division defined.
    const int32_t cell = m_area != nullptr ? m_area->cell_width : 0;
    return std::max(cell / 2, 1);
}

int32_t CIme::CopyText(char16_t* destination, int32_t destination_units, int32_t max_characters,
                       int32_t* changed)
{
    if (destination == nullptr || destination_units <= 0) {
        if (changed != nullptr)
            *changed = 0;
        return 0;
    }
    ScopedLock lock(m_lock);
    const size_t length = Length(m_text.data(), m_text.size());
    // Whole characters only, within the maximum and the destination with its terminator.
    size_t units = 0;
    int32_t characters = 0;
    while (units < length && (max_characters < 0 || characters < max_characters)) {
        const size_t next = units + UnitsAt(m_text.data(), units);
        if (next > static_cast<size_t>(destination_units) - 1)
            break;
        units = next;
        ++characters;
    }
    if (changed != nullptr) {
        const size_t held = Length(destination, static_cast<size_t>(destination_units));
        *changed = held != units || !std::equal(m_text.begin(),
                                                m_text.begin() + static_cast<ptrdiff_t>(units), destination)
                       ? 1
                       : 0;
    }
    std::copy_n(m_text.begin(), units, destination);
    destination[units] = 0;
    return static_cast<int32_t>(units);
}

int32_t CIme::HookProc(HWND, UINT message, WPARAM w_param, LPARAM l_param)
{
    if (!m_active)
        return 0;
    switch (message) {
    case WM_IME_NOTIFY:
        if (w_param == IMN_SETOPENSTATUS) {
            // The player switched the input method off; entry needs it on.
            const HIMC context = ImmGetContext(m_window);
            if (!ImmGetOpenStatus(context))
                ImmSetOpenStatus(context, TRUE);
            ImmReleaseContext(m_window, context);
        }
        return 0;
    case WM_IME_STARTCOMPOSITION: {
        // The composition is drawn in the picture: the system's windows stay at their defaults.
        const HIMC context = ImmGetContext(m_window);
        COMPOSITIONFORM composition{CFS_DEFAULT, {0, 0}, {0, 0, 0, 0}};
        ImmSetCompositionWindow(context, &composition);
        for (DWORD index = 0; index < 4; ++index) {
            CANDIDATEFORM candidate{index, CFS_CANDIDATEPOS, {0, 0}, {0, 0, 0, 0}};
            ImmSetCandidateWindow(context, &candidate);
        }
        ImmReleaseContext(m_window, context);
        m_composing = 1;
        return 1;
    }
    case WM_IME_COMPOSITION:
        return UpdateComposition(w_param, l_param) ? 1 : 0;
    case WM_IME_ENDCOMPOSITION:
        EndComposition();
        return 1;
    default:
        return 0;
    }
}

bool CIme::UpdateComposition(WPARAM w_param, LPARAM l_param)
{
    if (m_state == IME_STATE_COMMITTED || !m_composing)
        return false;
    ScopedLock lock(m_lock);
    const HIMC context = ImmGetContext(m_window);
    const int32_t max_bytes = m_area != nullptr ? std::max(m_area->max_length, 0) : 0;
    // The text buffer keeps its terminator whatever the maximum says.
    const int32_t max_units = std::min(max_bytes / 2, IME_TEXT_UNITS - 1);
    bool read = false;
    if (l_param & GCS_COMPCLAUSE) {
        m_clauses.fill(-1);
        const LONG bytes =
            ImmGetCompositionStringW(context, GCS_COMPCLAUSE, m_clauses.data(),
                                     static_cast<DWORD>((m_clauses.size() - 1) * sizeof(int32_t)));
        for (size_t i = 0; bytes > 0 && i < static_cast<size_t>(bytes) / sizeof(int32_t); ++i) {
            if (m_clauses[i] > max_units) {
                m_clauses[i] = max_units;
                break;
            }
        }
        read = true;
    }
    if (l_param & GCS_RESULTCLAUSE) {
        m_state = IME_STATE_COMMITTED;
        m_caret_in_text = 0;
        read = true;
    } else if (l_param & (GCS_COMPSTR | GCS_CURSORPOS)) {
        std::array<char16_t, IME_TEXT_UNITS> units{};
        const LONG bytes = ImmGetCompositionStringW(context, GCS_COMPSTR, units.data(),
                                                    static_cast<DWORD>(max_units * sizeof(char16_t)));
        const size_t count = bytes > 0 ? std::min<size_t>(static_cast<size_t>(bytes) / 2, max_units) : 0;
        // A pair cut in half by the maximum goes whole.
        size_t kept = count;
        if (kept > 0 && IsHighSurrogate(units[kept - 1]))
            --kept;
        CStringUTF8 text(std::u16string(units.data(), kept));
        text.TruncateToWidth(max_bytes);
        const std::u16string wide = text.ToWide();
        const size_t stored = std::min<size_t>(wide.size(), IME_TEXT_UNITS - 1);
        // The composition takes the text's place: a commit still held there would be read as
        // part of it, and the next commit would join it.
        m_commit_held = false;
        m_text.fill(0);
        std::copy_n(wide.begin(), stored, m_text.begin());
        m_attributes.fill(0);
        ImmGetCompositionStringW(context, GCS_COMPATTR, m_attributes.data(), static_cast<DWORD>(stored));
        const int32_t characters = CharacterCount(m_text.data(), stored);
        const int32_t cursor = std::clamp<int32_t>(
            ImmGetCompositionStringW(context, GCS_CURSORPOS, nullptr, 0), 0, static_cast<int32_t>(stored));
        const int32_t delta = std::clamp<int32_t>(
            ImmGetCompositionStringW(context, GCS_DELTASTART, nullptr, 0), 0, static_cast<int32_t>(stored));
        m_cursor = cursor;
        const bool at_end = CharacterCount(m_text.data(), static_cast<size_t>(cursor)) >= characters;
        // Once inside the text, the caret counts as back at the end only when nothing before
        // the end changed.
        const bool changed_before_end = delta < static_cast<int32_t>(stored);
        m_caret_in_text = at_end && !(m_caret_in_text && changed_before_end) ? 0 : 1;
        m_state = IME_STATE_COMPOSING;
        read = true;
    }
    if (w_param == 0 && l_param == 0) {
        m_state = IME_STATE_CANCELLED;
        m_text.fill(0);
        m_attributes.fill(0);
        m_cursor = 0;
        read = true;
    }
    ImmReleaseContext(m_window, context);
    return read;
}

void CIme::EndComposition()
{
    {
        ScopedLock lock(m_lock);
        const HIMC context = ImmGetContext(m_window);
        // Keys typed faster than the screen's turns commit several times before it takes the
        // text: each commit joins the ones not yet taken instead of replacing them.
        const size_t held = m_commit_held ? Length(m_text.data(), m_text.size()) : 0;
        std::array<char16_t, IME_TEXT_UNITS> result{};
        const LONG bytes =
            ImmGetCompositionStringW(context, GCS_RESULTSTR, result.data(),
                                     static_cast<DWORD>((IME_TEXT_UNITS - 1 - held) * sizeof(char16_t)));
        const size_t units = bytes > 0 ? Length(result.data(), static_cast<size_t>(bytes) / 2) : 0;
        if (!m_commit_held)
            m_text.fill(0);
        std::copy_n(result.begin(), units, m_text.begin() + static_cast<ptrdiff_t>(held));
        m_commit_held = m_commit_held || units > 0;
        ImmReleaseContext(m_window, context);
    }
    if (m_area != nullptr)
        CopyText(m_area->buffer, m_area->buffer_size, m_caret_x / HalfCell(), nullptr);
    WaitForInputRelease();
    m_composing = 0;
}

void CIme::WaitForInputRelease()
{
    // The key or button that committed must not also act on the screen.
    CInputView* input = GetInputView();
    while (input->IsActionTriggered(INPUT_OK, 0) || input->IsActionTriggered(INPUT_CANCEL, 0)) {
        if (!RunWaitPass(GetGameDocument()))
            break;
    }
}

int32_t CIme::FindCursorClause()
{
    ScopedLock lock(m_lock);
    for (size_t i = 0; i + 1 < m_clauses.size() && m_clauses[i + 1] >= 0; ++i) {
        if (m_cursor >= m_clauses[i] && m_cursor < m_clauses[i + 1])
            return static_cast<int32_t>(i);
    }
    return -1;
}

void CIme::DrawComposition(int32_t x, int32_t y)
{
    if (m_area == nullptr || m_area->target == nullptr || m_font == nullptr)
        return;
    ScopedLock lock(m_lock);
    const ImeEntryArea& area = *m_area;
    const int32_t full = area.cell_width;
    const int32_t half = HalfCell();
    // Layer operations do not clip: cells and glyphs stay inside the layer whatever the area says.
    const int32_t right = std::min(area.right_limit, area.target->GetWidth());
    const int32_t top = std::max(area.band_top, 0);
    const int32_t bottom = std::min(area.band_bottom, area.target->GetHeight());
    if (x < 0 || y < 0 || y + area.font_height > area.target->GetHeight())
        return;
    const size_t length = Length(m_text.data(), m_text.size());
    for (size_t at = 0; at < length;) {
        const size_t units = UnitsAt(m_text.data(), at);
        const CStringUTF8 character(std::u16string(m_text.data() + at, units));
        const int32_t width = IsFullWidthChar(character) ? full : half;
        if (width <= 0 || x + width > right || x + area.font_width > area.target->GetWidth())
            break;
        // The clause being converted shows inverted.
        const bool target = m_attributes[at] == ATTR_TARGET_CONVERTED;
        const uint32_t back = target ? area.text_colour : area.background_colour;
        const uint32_t fore = target ? area.background_colour : area.text_colour;
        if (bottom > top)
            area.target->FillRect(x, top, width, bottom - top, back | 0xFF000000u, 1);
        m_font->DrawText(character, x, y, fore, area.second_colour, area.target, area.text_flags);
        x += width;
        at += units;
    }
}

void CIme::RunEntryLoop(int32_t x, int32_t y, int32_t caret_x, int32_t line)
{
    m_caret_x = caret_x;
    m_line = line;
    std::u16string drawn_text;
    int32_t drawn_clause = -2;
    int32_t drawn_cursor = -1;
    while (true) {
        if (!RunWaitPass(GetGameDocument()))
            break;
        if (!m_composing || m_state == IME_STATE_COMMITTED) {
            // A commit that came before the loop, with the caller's buffer cleared since, is
            // handed over again.
            if (m_state == IME_STATE_COMMITTED && m_area != nullptr)
                CopyText(m_area->buffer, m_area->buffer_size, m_caret_x / HalfCell(), nullptr);
            break;
        }
        if (m_area == nullptr)
            continue;
        bool redraw = false;
        std::u16string text;
        {
            ScopedLock lock(m_lock);
            text.assign(m_text.data(), Length(m_text.data(), m_text.size()));
        }
        int32_t changed = 0;
        if (!m_caret_in_text) {
            CopyText(m_area->buffer, m_area->buffer_size, -1, &changed);
            redraw = changed != 0;
        } else {
            const int32_t clause = FindCursorClause();
            if (clause != drawn_clause || m_cursor != drawn_cursor || text != drawn_text) {
                CopyText(m_area->buffer, m_area->buffer_size, -1, nullptr);
                redraw = true;
            }
            drawn_clause = clause;
            drawn_cursor = m_cursor;
        }
        drawn_text = text;
        if (redraw && m_area->target != nullptr) {
            ScopedLock draw(g_draw_lock);
            ILayer* target = m_area->target;
            const int32_t left = std::max(x, 0);
            const int32_t top = std::max(m_area->band_top, 0);
            const int32_t width = std::min(x + caret_x, target->GetWidth()) - left;
            const int32_t height = std::min(m_area->band_bottom, target->GetHeight()) - top;
            if (width > 0 && height > 0)
                target->SetAlphaRect(left, top, width, height, 0);
            DrawComposition(x, y);
        }
        RedrawFrameNow();
    }
}
