#pragma once
// The small window in which the player types the comment of a manual save before it is written.
// It doubles as the confirmation of the new save and of the overwrite: while the confirmation of
// that kind is switched off, Setup answers 0 and the caller saves at once with no comment. Text
// comes through the input method, or in language 1 as typed characters through the view's hooks;
// the comment never passes width 30 (half-width units). Built on the caller's stack for one run.
// Main thread only.

#include <array>
#include <cstdint>
#include <memory>

#include "screens/base/ISelect.h"
#include "screens/system/CIme.h"

class CFontDIB;
class CSprite;
class CSpriteContainer;
class CSpriteLayer;

// Control ids of "savenote.area".
inline constexpr int32_t NOTE_SAVE = 0;
inline constexpr int32_t NOTE_CANCEL = 1;
inline constexpr int32_t NOTE_SHOW_AGAIN = 0x100;
inline constexpr int32_t NOTE_CLEAR = 0x200;
// The note's kinds: a new save and an overwrite.
inline constexpr int32_t NOTE_KIND_NEW = 0;
inline constexpr int32_t NOTE_KIND_OVERWRITE = 4;
inline constexpr int32_t NOTE_WIDTH_LIMIT = 30;

class CSaveNote : public ISelect, public IWinHook
{
public:
    CSaveNote();
    ~CSaveNote() override;

    // 0: the confirmation of this kind is off, save at once; 1: built, run it; -1: it cannot be
    // built, save nothing.
    int32_t Setup(const CStringUTF8& comment, uint8_t used);

    void Show() override;
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
    void OnCancel() override;
    int32_t HookProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override;

    // Clears the text sprite, draws the text and the caret; presents when asked.
    void DrawNoteText(bool present);
    void DrawButton(int32_t id, int32_t state, bool present);

    const CStringUTF8& GetText() const { return Text; }
    int32_t GetCaret() const { return Caret; }
    int32_t GetKind() const { return DialogKind; }
    int32_t GetHovered() const { return Hovered; }
    CSpriteLayer* GetTextLayer() const { return TextLayer.get(); }

    CStringUTF8 Text;
    int32_t Caret = 0; // the text's width in half-width units

private:
    bool UsesHook() const;
    int32_t DialogNumber() const;
    // Appends (or, replacing, sets) text cut to the width limit, and redraws.
    void Take(const CStringUTF8& text, bool replace);
    void DrawCaret();
    void ReopenIme(int32_t remaining);
    void ReleaseParts();

    int32_t DialogKind = NOTE_KIND_NEW;
    int32_t Hovered = -1;
    uint32_t BlinkDeadline = 0;
    int32_t CaretShown = 1;
    bool m_hooked = false;
    std::unique_ptr<CSprite> PartsSprite;
    std::unique_ptr<CSpriteContainer> Group;
    std::unique_ptr<CSpriteLayer> ShadeLayer;
    std::unique_ptr<CSpriteLayer> WindowLayer;
    std::unique_ptr<CSpriteLayer> ButtonLayer;
    std::unique_ptr<CSpriteLayer> TextLayer;
    std::unique_ptr<CFontDIB> Font;
    CIme Ime;
    ImeEntryArea ImeSettings{};
    std::array<char16_t, IME_TEXT_UNITS> m_ime_text{};
};
