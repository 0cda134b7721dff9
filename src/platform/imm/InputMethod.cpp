#include "platform/imm/InputMethod.h"

#include <algorithm>
#include <cstring>

#include "platform/kernel/TimeApi.h"
#include "platform/user/MessageApi.h"
#include "platform/user/WindowManager.h"

namespace platform {

namespace {

// The one context's handle: an address no allocation can have.
HIMC const CONTEXT_HANDLE = reinterpret_cast<HIMC>(static_cast<uintptr_t>(0x1'1C00));

constexpr LPARAM COMPOSITION_CHANGE =
    GCS_COMPSTR | GCS_COMPATTR | GCS_COMPCLAUSE | GCS_CURSORPOS | GCS_DELTASTART;
constexpr LPARAM COMMITTED = GCS_RESULTSTR | GCS_RESULTCLAUSE;

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Copies the bytes of a table into the caller's buffer: the size needed when the buffer size is
// 0, else as many whole elements as fit, answering the bytes copied.
template <class T>
LONG CopyElements(const T* data, size_t count, void* buffer, DWORD buffer_size)
{
    const size_t needed = count * sizeof(T);
    if (buffer_size == 0)
        return static_cast<LONG>(needed);
    if (buffer == nullptr)
        return IMM_ERROR_GENERAL;
    const size_t fit = std::min<size_t>(count, buffer_size / sizeof(T));
    if (fit > 0)
        std::memcpy(buffer, data, fit * sizeof(T));
    return static_cast<LONG>(fit * sizeof(T));
}

bool HandleTextEvent(const NativeEvent& event, HWND target)
{
    return InputMethod::GetInstance().OnTextEvent(event, target);
}

} // namespace

uint32_t UnitsOfCodePoints(const std::u16string& text, int count)
{
    uint32_t units = 0;
    for (int i = 0; i < count && units < text.size(); ++i) {
        const bool pair =
            IsHighSurrogate(text[units]) && units + 1 < text.size() && IsLowSurrogate(text[units + 1]);
        units += pair ? 2 : 1;
    }
    return units;
}

InputMethod& InputMethod::GetInstance()
{
    static auto* s_input_method = new InputMethod; // never destroyed, like the window layer
    return *s_input_method;
}

InputMethod::InputMethod()
{
    WindowManager::GetInstance().SetTextEventSink(&HandleTextEvent);
}

HIMC InputMethod::Context(HWND window)
{
    if (window == nullptr || !WindowManager::GetInstance().IsWindow(window))
        return nullptr;
    m_window = window;
    return CONTEXT_HANDLE;
}

bool InputMethod::IsContext(HIMC context) const
{
    return context == CONTEXT_HANDLE;
}

HWND InputMethod::ContextWindow() const
{
    WindowManager& manager = WindowManager::GetInstance();
    if (m_window != nullptr && manager.IsWindow(m_window))
        return m_window;
    return manager.InputTarget();
}

bool InputMethod::SetEnabled(bool enabled)
{
    const bool previous = m_enabled;
    m_enabled = enabled;
    ApplyTextInput();
    return previous;
}

void InputMethod::SetOpen(bool open)
{
    if (m_open == open)
        return;
    m_open = open;
    ApplyTextInput();
    NotifyWindow(IMN_SETOPENSTATUS);
}

void InputMethod::SetModes(DWORD conversion, DWORD sentence)
{
    const bool conversion_changed = conversion != m_conversion;
    const bool sentence_changed = sentence != m_sentence;
    m_conversion = conversion;
    m_sentence = sentence;
    if (conversion_changed)
        NotifyWindow(IMN_SETCONVERSIONMODE);
    if (sentence_changed)
        NotifyWindow(IMN_SETSENTENCEMODE);
}

void InputMethod::ApplyTextInput()
{
    WindowManager& manager = WindowManager::GetInstance();
    if (manager.TextInputEnabled() != IsTextInputOn())
        manager.SetTextInput(IsTextInputOn());
}

void InputMethod::NotifyWindow(WPARAM command)
{
    const HWND window = ContextWindow();
    if (window != nullptr)
        WindowManager::GetInstance().Send(window, WM_IME_NOTIFY, command, 0);
}

void InputMethod::SetCandidateForm(const CANDIDATEFORM& form)
{
    m_candidate_forms[form.dwIndex % 4] = form;
    if (form.dwIndex != 0 || (form.dwStyle & CFS_CANDIDATEPOS) == 0)
        return;
    WindowManager& manager = WindowManager::GetInstance();
    const WindowObject* window = manager.Find(ContextWindow());
    VideoDevice* device = manager.Device();
    if (window == nullptr || device == nullptr)
        return;
    // The candidate list goes below the point, in pixels of the native window.
    const WindowObject* host = window;
    while (host != nullptr && host->native == 0)
        host = host->parent ? manager.Find(host->parent) : manager.Find(manager.MainWindow());
    if (host == nullptr)
        return;
    const POINT origin = manager.ClientOrigin(*window);
    const int x = origin.x - host->rect.left + form.ptCurrentPos.x;
    const int y = origin.y - host->rect.top + form.ptCurrentPos.y;
    device->SetTextInputRect(host->native, RECT{x, y, x + 1, y + 1});
}

LONG InputMethod::GetCompositionString(DWORD index, void* buffer, DWORD buffer_size) const
{
    switch (index) {
    case GCS_COMPSTR:
        return CopyElements(m_text.data(), m_text.size(), buffer, buffer_size);
    case GCS_COMPATTR:
        return CopyElements(m_attributes.data(), m_attributes.size(), buffer, buffer_size);
    case GCS_COMPCLAUSE:
        return CopyElements(m_clauses.data(), m_clauses.size(), buffer, buffer_size);
    case GCS_CURSORPOS:
        return static_cast<LONG>(m_cursor);
    case GCS_DELTASTART:
        return static_cast<LONG>(m_delta_start);
    case GCS_RESULTSTR:
        return CopyElements(m_result.data(), m_result.size(), buffer, buffer_size);
    case GCS_RESULTCLAUSE:
        return CopyElements(m_result_clauses.data(), m_result_clauses.size(), buffer, buffer_size);
    case GCS_COMPREADSTR:
    case GCS_COMPREADATTR:
    case GCS_COMPREADCLAUSE:
    case GCS_RESULTREADSTR:
    case GCS_RESULTREADCLAUSE:
        // The input methods here do not report the reading.
        return 0;
    default:
        return IMM_ERROR_GENERAL;
    }
}

void InputMethod::Queue(HWND target, UINT message, WPARAM w_param, LPARAM l_param)
{
    WindowManager& manager = WindowManager::GetInstance();
    manager.QueueInputMessage({target, message, w_param, l_param, timeGetTime(), manager.PointerPosition()});
}

void InputMethod::Compose(HWND target, const std::u16string& text, uint32_t cursor,
                          std::vector<uint32_t> clauses, int target_clause)
{
    if (text.empty()) {
        Cancel(target);
        return;
    }
    const uint32_t length = static_cast<uint32_t>(text.size());
    // Boundaries are kept only when they rise from 0 to the text's end.
    std::erase_if(clauses, [length](uint32_t offset) { return offset > length; });
    std::sort(clauses.begin(), clauses.end());
    clauses.erase(std::unique(clauses.begin(), clauses.end()), clauses.end());
    if (clauses.empty() || clauses.front() != 0)
        clauses.insert(clauses.begin(), 0);
    if (clauses.back() != length)
        clauses.push_back(length);
    if (target_clause >= static_cast<int>(clauses.size()) - 1)
        target_clause = -1;

    if (!m_composing) {
        m_composing = true;
        m_result.clear();
        m_result_clauses.clear();
        Queue(target, WM_IME_STARTCOMPOSITION, 0, 0);
    }
    uint32_t common = 0;
    while (common < m_text.size() && common < length && m_text[common] == text[common])
        ++common;
    m_delta_start = common;
    m_text = text;
    m_clauses = std::move(clauses);
    m_cursor = std::min(cursor, length);
    m_attributes.assign(length, target_clause >= 0 ? ATTR_CONVERTED : ATTR_INPUT);
    if (target_clause >= 0) {
        const size_t begin = m_clauses[static_cast<size_t>(target_clause)];
        const size_t end = m_clauses[static_cast<size_t>(target_clause) + 1];
        std::fill(m_attributes.begin() + static_cast<ptrdiff_t>(begin),
                  m_attributes.begin() + static_cast<ptrdiff_t>(end), ATTR_TARGET_CONVERTED);
    }
    Queue(target, WM_IME_COMPOSITION, text.back(), COMPOSITION_CHANGE);
}

void InputMethod::ComposeSpan(HWND target, const std::u16string& text, uint32_t cursor, uint32_t span_start,
                              uint32_t span_length)
{
    const uint32_t length = static_cast<uint32_t>(text.size());
    span_start = std::min(span_start, length);
    span_length = std::min(span_length, length - span_start);
    if (span_length == 0) {
        Compose(target, text, cursor, {}, -1);
        return;
    }
    std::vector<uint32_t> clauses{0};
    int target_clause = 0;
    if (span_start > 0) {
        clauses.push_back(span_start);
        target_clause = 1;
    }
    clauses.push_back(span_start + span_length);
    Compose(target, text, cursor, std::move(clauses), target_clause);
}

void InputMethod::Commit(HWND target, const std::u16string& text)
{
    if (text.empty()) {
        Cancel(target);
        return;
    }
    if (!m_composing)
        Queue(target, WM_IME_STARTCOMPOSITION, 0, 0);
    m_composing = false;
    m_text.clear();
    m_attributes.clear();
    m_clauses.clear();
    m_cursor = 0;
    m_delta_start = 0;
    m_result = text;
    m_result_clauses = {0, static_cast<uint32_t>(text.size())};
    Queue(target, WM_IME_COMPOSITION, text.front(), COMMITTED);
    Queue(target, WM_IME_ENDCOMPOSITION, 0, 0);
}

void InputMethod::Cancel(HWND target)
{
    if (!m_composing)
        return;
    m_composing = false;
    m_text.clear();
    m_attributes.clear();
    m_clauses.clear();
    m_cursor = 0;
    m_delta_start = 0;
    m_result.clear();
    m_result_clauses.clear();
    Queue(target, WM_IME_COMPOSITION, 0, 0);
    Queue(target, WM_IME_ENDCOMPOSITION, 0, 0);
}

bool InputMethod::OnTextEvent(const NativeEvent& event, HWND target)
{
    if (!IsTextInputOn())
        return false;
    if (target == nullptr)
        return true;
    if (event.type == NativeEvent::Type::Text) {
        // Without a composition (no input method installed) typed text is committed at once.
        Commit(target, event.text);
        return true;
    }
    const uint32_t start = UnitsOfCodePoints(event.text, std::max(event.edit_start, 0));
    const uint32_t end =
        UnitsOfCodePoints(event.text, std::max(event.edit_start, 0) + std::max(event.edit_length, 0));
    ComposeSpan(target, event.text, start, start, end - start);
    return true;
}

void InputMethod::Reset()
{
    m_enabled = true;
    m_open = false;
    m_conversion = IME_CMODE_ALPHANUMERIC;
    m_sentence = IME_SMODE_NONE;
    m_window = nullptr;
    m_composing = false;
    m_text.clear();
    m_attributes.clear();
    m_clauses.clear();
    m_cursor = 0;
    m_delta_start = 0;
    m_result.clear();
    m_result_clauses.clear();
    m_composition_form = {};
    m_candidate_forms = {};
    WindowManager::GetInstance().SetTextInput(false);
}

} // namespace platform
