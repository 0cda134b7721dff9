#pragma once
// The modal screen on which the player names the hero: an edit field, a palette of kana, kanji by
// reading or letters, and buttons. Typed text comes through the input method, or in language 1 as
// plain letters and digits through the window's hook list; Ctrl+V pastes. A confirmed name that is
// not reserved is written as UTF-8 with a 0 byte into the game state's bytes from 31500, where the
// story reads it. Built, set up, run and released by the script's command on its stack; there is
// no way out but a confirmed name. Main thread only.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "foundation/IWinHook.h"
#include "screens/base/CHitAreaTable.h"
#include "screens/base/ISelect.h"
#include "screens/system/CIme.h"
#include "script/exec/HeroName.h"

class CFontDIB;
class CSpriteLayer;

// The editing rules of the name, on code points. Width counts a character below U+0100 and the
// dash U+2014 as 1, any other as 2; the caret is a character index kept within 0..count.
int32_t NameWidth(const std::u32string& name);
void CutNameToWidth(std::u32string& name, int32_t width);
// A committed composition at the caret, cut to width 12.
void MergeCommitted(std::u32string& name, int32_t& caret, const std::u32string& incoming);
// Pasted text at the caret, cut to width 10 (the caret bound 5 for a replaced span).
void MergePasted(std::u32string& name, int32_t& caret, const std::u32string& incoming);
// Drops control characters; in language 0 keeps only the characters a romanised name may hold.
std::u32string FilterPasted(const std::u32string& text, int32_t language);
// 0 when the name is reserved, 1 when it may be taken.
int32_t IsNameAllowed(const CStringUTF8& name);

// Control ids of the screen.
inline constexpr int32_t NAME_JUMP = 0x000; // + 0..9
inline constexpr int32_t NAME_TAB = 0x100;  // + page
inline constexpr int32_t NAME_CARET_LEFT = 0x200;
inline constexpr int32_t NAME_CARET_RIGHT = 0x201;
inline constexpr int32_t NAME_DELETE = 0x202;
inline constexpr int32_t NAME_SCROLL_UP = 0x300;
inline constexpr int32_t NAME_SCROLL_DOWN = 0x301;
inline constexpr int32_t NAME_DEFAULT = 0x400;
inline constexpr int32_t NAME_CONFIRM = 0x500;
inline constexpr int32_t NAME_CELL = 0x1000; // + absolute row x 18 + column
// Palette pages.
inline constexpr int32_t NAME_PAGE_KANA = 0;
inline constexpr int32_t NAME_PAGE_KANJI = 1;
inline constexpr int32_t NAME_PAGE_LETTERS = 2;

class CNameInput : public ISelect, public IWinHook
{
public:
    CNameInput();
    ~CNameInput() override;

    // 1 when set up; -1 when a sprite, the font size or the input method's font cannot be made.
    int32_t Setup();
    void Release();

    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    void OnBackspaceKey() override;
    int32_t OnUpKey() override;
    int32_t OnDownKey() override;
    int32_t OnLeftKey() override;
    int32_t OnRightKey() override;
    void OnPaste() override;
    void OnDecide() override;
    // The name must be given: Escape and the right button do nothing.
    void OnCancel() override {}
    // Language 1: typed letters and digits, always appended. Never handles the message.
    int32_t HookProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override;

    // state 0 normal, 1 hover, 2 pressed, 3 disabled; present draws a frame at once.
    void DrawButton(int32_t id, int32_t state, int32_t present);
    void ShowPage(int32_t present);
    void DrawName(int32_t present);
    void DrawCaret();
    void DrawText(int32_t x, int32_t y, const CStringUTF8& text);
    // The grid position of a cell id on screen.
    bool FindCell(int32_t id, int32_t& column, int32_t& row) const;

    // The palette pages.
    void BuildKanaPage();
    void BuildLetterPage();
    void LoadKanjiRows();
    void DrawKanjiPage(int32_t present);

    CSpriteLayer* GetButtonLayer() const;
    CSpriteLayer* GetTextLayer() const;

    CStringUTF8 Name;
    CStringUTF8 Incoming;
    int32_t HoverId = -1;
    int32_t Page = NAME_PAGE_KANA;
    int32_t Caret = 0;
    int32_t Columns = 18;
    int32_t TopRow = 0;
    std::unique_ptr<CSprite> ButtonSprite;
    std::unique_ptr<CSprite> PartsSprite;
    std::unique_ptr<CSprite> TextSprite;
    std::unique_ptr<CFontDIB> Font;
    CIme Ime;
    std::vector<CStringUTF8> FullRows;
    std::vector<CStringUTF8> HalfRows;
    uint32_t CaretDeadline = 0;
    int32_t CaretVisible = 1;
    ImeEntryArea ImeSettings{};
    std::vector<HitArea> CellAreas;
    std::array<std::array<int32_t, 18>, 12> CellGrid{}; // [row][column]

private:
    int32_t Language() const;
    int32_t Limit() const;
    CSpriteLayer* PartsLayer() const;
    // Marks both layers for the next frame; Present also draws that frame at once.
    void MarkDrawn();
    void Present();
    // Clears the palette, lays out screen rows from the absolute row first, and types them.
    void LayOutRows(int32_t first, int32_t count, bool labels);
    void ClampCaret(const std::u32string& name);
    void SetName(const std::u32string& name);
    // The OK sound, the control pressed until the OK inputs are up, then drawn normal.
    void Feedback(int32_t id);
    void WaitOkRelease();
    void DecideCell(int32_t id);
    void Confirm();
    void TakeCommittedText();
    // Points the mouse at a control or cell, runs Update and waits for the key's release.
    int32_t MoveTo(int32_t target, uint32_t scan_code);
    int32_t LowestInColumn(int32_t column) const;
    int32_t NextInColumn(int32_t column, int32_t row, int32_t step) const;
    int32_t NextInRow(int32_t column, int32_t row, int32_t step) const;

    std::array<char16_t, IME_TEXT_UNITS> m_ime_text{};
    // The part of the name's strip on the button layer that caret pictures were drawn in since it
    // was last cleared; the strip holds nothing else.
    RECT m_caret_marks{};
    bool m_hooked = false;
};
