#pragma once
// The layer's dialog toolkit inside: the window classes of dialogs and their controls, their
// drawing into the layer's picture, and the user actions on them (also what tests and the
// keyboard perform). Layer-internal; main thread only.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/kernel/WinTypes.h"
#include "platform/user/MessageApi.h"
#include "platform/user/UiCanvas.h"
#include "platform/user/WindowApi.h"

namespace platform::dialog {

// Dialog units to pixels: the base units of an 8-point dialog font.
inline constexpr int BASE_UNIT_X = 6;
inline constexpr int BASE_UNIT_Y = 13;
inline constexpr int TEXT_SIZE = 12;
// The caption bar a top-level dialog draws inside its own rectangle.
inline constexpr int CAPTION_HEIGHT = 22;

inline constexpr uint32_t FACE = 0xFFF0F0F0;
inline constexpr uint32_t TEXT = 0xFF000000;
inline constexpr uint32_t GREY_TEXT = 0xFF6D6D6D;
inline constexpr uint32_t FRAME = 0xFF6E6E6E;
inline constexpr uint32_t LIGHT_FRAME = 0xFFADADAD;
inline constexpr uint32_t ACCENT = 0xFF0078D7;
inline constexpr uint32_t CAPTION = 0xFF2B579A;
inline constexpr uint32_t CAPTION_TEXT = 0xFFFFFFFF;
inline constexpr uint32_t WHITE = 0xFFFFFFFF;

enum class ControlKind
{
    None,
    Dialog,
    Button,
    Static,
    Tab,
    Trackbar,
    Progress,
};

inline constexpr const char16_t* DIALOG_CLASS = u"#32770";

// Registers the dialog and control classes that the window layer does not know (again, after a
// test reset it).
void RegisterClasses();
ControlKind KindOf(HWND window);

// Window procedures of the classes.
LRESULT DialogWindowProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param);
LRESULT ButtonProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param);
LRESULT StaticProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param);
LRESULT TabProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param);
LRESULT TrackbarProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param);
LRESULT ProgressProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param);

// Drawing: `area` is the window's rectangle in canvas pixels.
void PaintDialog(HWND window, UiCanvas& canvas, const RECT& area);
void PaintButton(HWND window, UiCanvas& canvas, const RECT& area);
void PaintStatic(HWND window, UiCanvas& canvas, const RECT& area);
void PaintTab(HWND window, UiCanvas& canvas, const RECT& area);
void PaintTrackbar(HWND window, UiCanvas& canvas, const RECT& area);
void PaintProgress(HWND window, UiCanvas& canvas, const RECT& area);
// The window and its visible children, children over their parent in creation order.
void PaintTree(HWND window, UiCanvas& canvas, POINT origin);

// What the user does, also for the keyboard handling and the test driver. Each returns false when
// the control is not of that kind, hidden or disabled.
bool ClickButton(HWND button);
bool SelectTabAsUser(HWND tab, int index);
// Drags the thumb to the position: WM_HSCROLL with TB_THUMBTRACK, TB_THUMBPOSITION, TB_ENDTRACK.
bool DragTrackbarAsUser(HWND trackbar, int position);
// One keyboard or click step (TB_LINEUP ... TB_BOTTOM), then TB_ENDTRACK.
bool StepTrackbarAsUser(HWND trackbar, WORD code);

// Text in a rectangle: SS_LEFT, SS_CENTER or SS_RIGHT alignment, broken into lines at the width
// when `wrap` (at spaces where there are any, else between characters); vertically at the top.
void DrawLabel(UiCanvas& canvas, const RECT& area, std::u16string_view text, uint32_t colour, DWORD align,
               bool wrap);
int MeasureLabel(std::u16string_view text);
uint32_t ArgbOf(COLORREF colour);
std::u16string TextOf(HWND window);
// Invalidates the window so the layer redraws it.
void Redraw(HWND window);
// Sends WM_COMMAND with the control's id and a notification code to its parent.
void NotifyParent(HWND control, WORD code);

// The control's own state, kept behind its first extra bytes; made at WM_NCCREATE, freed at
// WM_NCDESTROY by the class procedure.
template <class State>
State* StateOf(HWND window)
{
    return reinterpret_cast<State*>(GetWindowLongPtrW(window, 0));
}

// Makes the state at WM_NCCREATE and frees it at WM_NCDESTROY; call first in a class procedure.
template <class State>
void KeepState(HWND window, UINT message)
{
    if (message == WM_NCCREATE && StateOf<State>(window) == nullptr)
        SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(new State));
    else if (message == WM_NCDESTROY) {
        delete StateOf<State>(window);
        SetWindowLongPtrW(window, 0, 0);
    }
}

} // namespace platform::dialog
