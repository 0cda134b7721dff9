#pragma once
// Text entry through the system input method, drawn inside the game picture. A screen that edits
// a text (name entry, save note) makes one, opens it over a band of its own layer and hands it the
// window's messages through the view's hook list. While the player composes, the composition is
// drawn character by character with its own font, the clause being converted inverted, and frames
// are presented; the committed text goes into the screen's buffer. Main thread only; the lock
// keeps the text whole between the hook (inside message dispatch) and the entry loop.

#include <array>
#include <cstdint>
#include <memory>

#include "foundation/CCriticalSection.h"
#include "foundation/IWinHook.h"

class CFontDIB;
class ILayer;

// The caller's record of where and how the composition is drawn and where the text goes. Owned
// by the calling screen; the fields are in the order the screens fill them.
struct ImeEntryArea
{
    int32_t font_width;         // given to CFontDIB::SetFontSize
    int32_t font_height;        //
    int32_t cell_width;         // a full-width character's cell; half-width ones take half
    int32_t cell_height;        //
    uint32_t text_flags;        // CFontDIB::DrawText flags
    uint32_t text_colour;       //
    uint32_t background_colour; // the band behind the composition
    uint32_t reserved;          //
    uint32_t second_colour;     // outline or shadow colour
    int32_t band_left;          //
    int32_t band_top;           //
    int32_t right_limit;        // no cell passes it
    int32_t band_bottom;        //
    int32_t max_length;         // longest composition in bytes, also its width in half-width cells
    char16_t* buffer;           // the entered text goes here, ended by a 0 unit
    int32_t buffer_size;        // UTF-16 units of the buffer, the terminator included
    ILayer* target;             // the layer drawn into
};

// States of the composition.
inline constexpr uint32_t IME_STATE_IDLE = 0;
inline constexpr uint32_t IME_STATE_COMPOSING = 1;
inline constexpr uint32_t IME_STATE_COMMITTED = 2;
inline constexpr uint32_t IME_STATE_CANCELLED = 3;

inline constexpr int32_t IME_TEXT_UNITS = 1024;

class CIme : public IWinHook
{
public:
    CIme();
    ~CIme() override;
    CIme(const CIme&) = delete;
    CIme& operator=(const CIme&) = delete;

    // Makes the composition font in the interface language's face and joins the view's hook
    // list; 0 (after telling the player) when the font cannot be made.
    int32_t CreateCompositionFont();
    // Opens the input method over the area with the conversion mode of the document's language.
    void Open(ImeEntryArea* area);
    // Cancels a running composition and waits until the input method has ended it, then closes.
    void Close();
    // Draws and presents the composition until it ends or is committed. caret_x is the band's
    // width in pixels (it limits how many characters the committed text may have).
    void RunEntryLoop(int32_t x, int32_t y, int32_t caret_x, int32_t line);
    // Copies the text, cut to max_characters (-1: all) and to the destination's size (units,
    // terminator included); the count of units copied. changed (when given) tells whether the
    // destination held something else.
    int32_t CopyText(char16_t* destination, int32_t destination_units, int32_t max_characters,
                     int32_t* changed);

    int32_t HookProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override;

    uint32_t IsActive() const { return m_active; }
    uint32_t IsComposing() const { return m_composing; }
    uint32_t GetState() const { return m_state; }
    uint32_t IsCaretInText() const { return m_caret_in_text; }
    int32_t GetCursorPosition() const { return m_cursor; }
    // The clause the cursor stands in, -1 when none.
    int32_t FindCursorClause();
    // Draws the composition with its first cell at x (y: the glyphs' top).
    void DrawComposition(int32_t x, int32_t y);

private:
    bool UpdateComposition(WPARAM w_param, LPARAM l_param);
    void EndComposition();
    void WaitForInputRelease();
    int32_t HalfCell() const;

    std::unique_ptr<CFontDIB> m_font;
    HWND m_window = nullptr; // the main view's window
    uint32_t m_active = 0;
    uint32_t m_composing = 0;
    uint32_t m_caret_in_text = 0;
    uint32_t m_state = IME_STATE_IDLE;
    bool m_commit_held = false; // m_text holds committed text the screen has not taken since Open
    std::array<char16_t, IME_TEXT_UNITS> m_text{};
    std::array<int32_t, IME_TEXT_UNITS> m_clauses{};
    std::array<uint8_t, IME_TEXT_UNITS> m_attributes{}; // one per unit of m_text
    int32_t m_cursor = 0;
    ImeEntryArea* m_area = nullptr;          // not owned: the calling screen's record
    CCriticalSection m_lock{LOCK_LEVEL_IME}; // guards m_text, m_clauses, m_attributes, m_cursor
    int32_t m_caret_x = 0;
    int32_t m_line = 0;
};
