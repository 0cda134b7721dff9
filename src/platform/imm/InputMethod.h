#pragma once
// The program's one input context behind the IMM calls: open status, modes, the composition with
// its attributes, clauses and cursor, and the last committed text. Compositions come from SDL's
// text editing events (or from a test) and are queued to the window as WM_IME_* messages, in the
// order the input arrived. Layer-internal; main thread only.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/imm/ImmApi.h"

namespace platform {

struct NativeEvent;

class InputMethod final
{
public:
    // Made on first use, when it also starts taking the text events of the window layer.
    static InputMethod& GetInstance();

    // The context, associated with the window; null for no window.
    HIMC Context(HWND window);
    bool IsContext(HIMC context) const;
    // The window the context was last asked for, while it exists; else the input target.
    HWND ContextWindow() const;

    // WINNLSEnableIME: returns the previous state.
    bool SetEnabled(bool enabled);
    bool IsEnabled() const { return m_enabled; }
    void SetOpen(bool open);
    bool IsOpen() const { return m_open; }
    void SetModes(DWORD conversion, DWORD sentence);
    DWORD Conversion() const { return m_conversion; }
    DWORD Sentence() const { return m_sentence; }
    // Text input reaches the input method only while it is both enabled and open.
    bool IsTextInputOn() const { return m_enabled && m_open; }

    LONG GetCompositionString(DWORD index, void* buffer, DWORD buffer_size) const;
    void SetCompositionForm(const COMPOSITIONFORM& form) { m_composition_form = form; }
    const COMPOSITIONFORM& CompositionForm() const { return m_composition_form; }
    void SetCandidateForm(const CANDIDATEFORM& form);
    const CANDIDATEFORM& CandidateForm(size_t index) const { return m_candidate_forms[index % 4]; }

    bool IsComposing() const { return m_composing; }
    const std::u16string& CompositionText() const { return m_text; }
    const std::u16string& ResultText() const { return m_result; }

    // What an input method reports, each turned into the messages Windows sends for it and
    // queued for `target`. Offsets and the cursor count UTF-16 units. `clauses` holds the clause
    // boundaries from 0 to the text's length (empty: one clause); `target_clause` is the clause
    // being converted, -1 for none. An empty text while composing cancels.
    void Compose(HWND target, const std::u16string& text, uint32_t cursor, std::vector<uint32_t> clauses,
                 int target_clause);
    // The same from a selected span, as SDL reports it: the text before, the span and the text
    // after are the clauses, the span the one being converted.
    void ComposeSpan(HWND target, const std::u16string& text, uint32_t cursor, uint32_t span_start,
                     uint32_t span_length);
    void Commit(HWND target, const std::u16string& text);
    void Cancel(HWND target);

    // An SDL text or editing event; false when it is not the input method's (text input off).
    bool OnTextEvent(const NativeEvent& event, HWND target);

    // Tests only: closed, enabled, modes 0, nothing composed, no window.
    void Reset();

private:
    InputMethod();

    void Queue(HWND target, UINT message, WPARAM w_param, LPARAM l_param);
    void ApplyTextInput();
    void NotifyWindow(WPARAM command);

    bool m_enabled = true;
    bool m_open = false;
    DWORD m_conversion = IME_CMODE_ALPHANUMERIC;
    DWORD m_sentence = IME_SMODE_NONE;
    HWND m_window = nullptr;

    bool m_composing = false;
    std::u16string m_text;
    std::vector<uint8_t> m_attributes; // one per unit of m_text
    std::vector<uint32_t> m_clauses;   // 0, ..., m_text.size(); empty with no text
    uint32_t m_cursor = 0;
    uint32_t m_delta_start = 0;
    std::u16string m_result;
    std::vector<uint32_t> m_result_clauses;

    COMPOSITIONFORM m_composition_form{};
    std::array<CANDIDATEFORM, 4> m_candidate_forms{};
};

// UTF-16 units of the first `count` code points of the text (all of it when it has fewer).
uint32_t UnitsOfCodePoints(const std::u16string& text, int count);

} // namespace platform
