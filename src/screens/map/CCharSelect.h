#pragma once
// The character selection screen: 18 character cells in a grid of five columns over a dimmed
// scene, four save and load buttons that act on the spot, a help line and, by list kind, a back
// button. The list kind picks the cell order, the name column, the help texts, the hit-area file
// and the back button's look; whether a cell can be chosen comes from flag byte i of the game
// state. Answers the chosen cell + 1, or -1 for back. Main thread only.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "screens/base/ISelect.h"

class CFontDIB;
class ILayer;

inline constexpr int32_t CHAR_SELECT_CELLS = 18;
inline constexpr int32_t CHAR_SELECT_SIDE_FIRST = 256; // + 0 save, 1 quick save, 2 load, 3 quick load
inline constexpr int32_t CHAR_SELECT_BACK = 512;

class CCharSelect : public ISelect
{
public:
    CCharSelect();
    ~CCharSelect() override;

    // Loads the sheets and makes the sprites and the help font; false at the first failure
    // (what was made stays owned until Release).
    bool Setup();
    // Registers the screen, runs it in the list kind and answers its result.
    ScriptValue RunWithMode(int32_t kind);

    void Show() override;
    void Hide() override;
    // Swaps the first character sheet for the full one and redraws everything.
    void BuildParts(int32_t mode) override;
    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    int32_t OnArrowKey(uint32_t scan_code) override;
    void OnDecide() override;
    void OnCancel() override;

    void RefreshAll();
    void DrawItem(int32_t id, int32_t visual, int32_t present);
    void DrawHelpText(const CStringUTF8& text, int32_t size, int32_t draw);
    // Lays the text out from the rectangle's left, wrapping at its width, its lines centred on
    // the rectangle's height.
    void DrawTextWrapped(const CStringUTF8& text, ILayer* layer, uint32_t colour, int32_t size,
                         const RECT& box);
    // Leaves the active list and frees the sprites and the font; safe to run twice.
    void Release();

    // Whether side button k (0..3) is drawn enabled and may act.
    bool IsSideButtonEnabled(int32_t k);
    // The id a cursor key moves to from an item; from itself when there is no move.
    static int32_t KeyTarget(int32_t from, uint32_t scan_code);
    // The back button's kind of a list kind: 0 none, 1..3 the wide look, 4 the square one.
    static int32_t ButtonKindOf(int32_t list_kind);
    // Whether every part exists, so the screen may be drawn.
    bool IsComplete() const;

    int32_t HoverId = -1;
    int32_t ListKind = 0;
    std::array<int32_t, CHAR_SELECT_CELLS> CellState{};
    int32_t ButtonKind = 0;
    std::vector<int32_t> CellOrder;

protected:
    // The font the help line is drawn with; tests may record its calls.
    virtual CFontDIB* HelpFont() { return m_help_font.get(); }
    virtual CStringUTF8 HelpText(int32_t id);

private:
    void Fade(bool appear);
    void Press(int32_t id);
    void TakeSnapshot();
    bool IsCell(int32_t id) const { return id >= 0 && id < CHAR_SELECT_CELLS; }

    std::unique_ptr<CSprite> m_select_sheet;
    std::unique_ptr<CSprite> m_character_sheet;
    std::unique_ptr<CSprite> m_dim;
    std::unique_ptr<CSprite> m_canvas;
    std::unique_ptr<CSprite> m_name_sheet;
    std::unique_ptr<CSprite> m_help_background;
    std::unique_ptr<CSprite> m_help_text;
    std::unique_ptr<CFontDIB> m_help_font;
    bool m_registered = false;
};
