#pragma once
// The frame that the CG gallery and the scene list share: the picture sheets, the page and
// highlight sprites, the area-id scheme and the layout of every control, the drawing states, the
// hover, the press sequence, the cursor keys and the fades. A screen gives its own page drawing
// and the few places where the two differ (its own tab, the arrows' and the unlock button's
// source columns, which clear flags count for the last group). Main thread only.

#include <array>
#include <cstdint>
#include <memory>

#include "screens/extras/IOmakeParts.h"

class CSprite;
class CSpriteLayer;

// Area ids, group x 256 + item.
inline constexpr int32_t OMAKE_TAB_FIRST = 256; // 256..259
inline constexpr int32_t OMAKE_TAB_LAST = 259;
inline constexpr int32_t OMAKE_RETURN = 512;
inline constexpr int32_t OMAKE_TIME_FIRST = 768; // 768..770
inline constexpr int32_t OMAKE_TIME_LAST = 770;
inline constexpr int32_t OMAKE_PREVIOUS_PAGE = 1024;
inline constexpr int32_t OMAKE_NEXT_PAGE = 1025;
inline constexpr int32_t OMAKE_UNLOCK = 1280;
inline constexpr int32_t OMAKE_HEROINES = 17;
inline constexpr int32_t OMAKE_CELLS = 8;
inline constexpr int32_t OMAKE_CELL_WIDTH = 490;
inline constexpr int32_t OMAKE_CELL_HEIGHT = 275;

enum class CursorKey
{
    Up,
    Down,
    Left,
    Right,
};

// Where each screen of the frame differs.
struct OmakeFrameStyle
{
    int32_t OwnTab = 0;          // drawn pressed always
    int32_t ArrowSourceX = 2087; // the page arrows' column
    int32_t UnlockSourceX = 296; // the unlock button's column
    int32_t ClearFlagsForLast = 16; // group 16 is cleared when any of these first flags is set
    bool GridOnly = false;          // only the heroine buttons and the return button are drawn
};

class OmakePageFrame : public IOmakeParts
{
public:
    explicit OmakePageFrame(const OmakeFrameStyle& style);
    ~OmakePageFrame() override;

    // Draws control id in state 0 normal, 1 hover, 2 pressed, 3 disabled under the frame's
    // rules; presents the frame when present is nonzero.
    void DrawItem(int32_t id, int32_t state, int32_t present);
    // Redraws the whole level.
    virtual void DrawPage(int32_t group, int32_t page, int32_t present) = 0;

    void Show() override;
    void Hide() override;
    void OnClose() override;
    // At page level back to the heroine buttons; at heroine level the screen ends with -1.
    void OnCancel() override;
    void Update() override;
    int32_t OnUpKey() override { return MoveByKey(CursorKey::Up); }
    int32_t OnDownKey() override { return MoveByKey(CursorKey::Down); }
    int32_t OnLeftKey() override { return MoveByKey(CursorKey::Left); }
    int32_t OnRightKey() override { return MoveByKey(CursorKey::Right); }

    // The area a cursor key moves to from the hover, or -1.
    virtual int32_t CursorTarget(CursorKey key) const;
    // The group's clear flag; the last group counts as cleared when any listed flag is set.
    bool IsGroupCleared(int32_t group);

    int32_t GetLevel() const { return Level; }
    int32_t GetGroup() const { return Group; }
    int32_t GetPage() const { return Page; }
    int32_t GetHover() const { return Hover; }
    bool IsCellPresent(int32_t k) const { return k >= 0 && k < OMAKE_CELLS && Present[static_cast<size_t>(k)]; }
    bool IsCellOpen(int32_t k) const { return k >= 0 && k < OMAKE_CELLS && Open[static_cast<size_t>(k)]; }
    CSpriteLayer* GetPageSprite() const { return PageSprite.get(); }

    // For tests: the level, group, page and hover as a key table's starting point.
    void SetPosition(int32_t level, int32_t group, int32_t page, int32_t hover)
    {
        Level = level, Group = group, Page = page, Hover = hover;
    }
    void SetCellPresent(int32_t k, bool present) { Present[static_cast<size_t>(k)] = present; }

protected:
    // Loads the sheets (with the cover sheet when asked) and makes the two sprites; false when a
    // sheet or sprite is missing.
    bool CreateFrameParts(bool with_cover);
    void ReleaseFrameParts();
    // Reloads the heroine and control sheets; false when one is missing.
    bool ReloadSheets();
    // The press sequence: the OK sound, the pressed picture, the wait for every OK input and,
    // unless pressed_only, the normal picture again.
    void PressSequence(int32_t id, int32_t channel, bool pressed_only);
    // The state heroine button i is drawn in; -1 draws nothing.
    virtual int32_t HeroineState(int32_t i, int32_t state) { (void)i; return state; }
    // Runs the confirmation dialog of the kind: 0 confirms, and a dialog the settings switch
    // off confirms too; one that cannot be built is reported and declines.
    int32_t AskConfirmation(int32_t kind);
    // The return button: back to heroine level, or at heroine level the end with -1.
    void PressReturn();
    // Leaves for another extras screen: result 100 with its tab in Values[12]; Values[16] and
    // [17] are cleared except for the comment mode's tab.
    void ChooseTab(int32_t tab);
    // Every control of the heroine level, and the hit areas, drawn normal and not presented.
    void DrawHeroineLevel();
    // The tabs, return, page arrows and unlock button of the page level, drawn normal and not
    // presented.
    void DrawPageControls();
    // The page arrows: one page on when there is one.
    void StepPage(int32_t id);
    void WaitOkRelease();
    void WaitCancelRelease();
    void PresentNow();
    // A Values entry of the game state, 0 when absent; the store types it integer.
    int32_t GetValue(size_t index);
    void SetValue(size_t index, int32_t value);
    // The cell's rectangle origin.
    static int32_t CellX(int32_t k) { return 388 + 498 * (k % 3); }
    static int32_t CellY(int32_t k) { return 108 + 283 * (k / 3); }
    // Copies from a sheet into the page sprite, skipped when the sheet is missing.
    void BltFromSheet(CSprite* sheet, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx, int32_t sy);
    CSpriteLayer* SheetLayer(CSprite* sheet) const;
    // Loads a page's thumbnail sheet into document sprite layer 5, the thumbnail sprite the
    // scripts make; null when that layer is missing or the sheet does not load.
    CSpriteLayer* LoadThumbnails(const CStringUTF8& name);

    OmakeFrameStyle Style;
    std::unique_ptr<CSprite> ListSheet;  // "modelist_p.akb"
    std::unique_ptr<CSprite> ModeSheet;  // "cgscenemode_p.akb"
    std::unique_ptr<CSprite> CoverSheet; // "modecover_p.akb"
    std::unique_ptr<CSpriteLayer> PageSprite;
    std::unique_ptr<CSpriteLayer> HighlightSprite;

    int32_t Level = 0; // 0 heroine buttons, 1 one group's cells
    int32_t Group = 0;
    int32_t Page = 0;
    int32_t PageCount = 1;
    int32_t Hover = -1;
    std::array<bool, OMAKE_CELLS> Present{};
    std::array<bool, OMAKE_CELLS> Open{};
    bool Shown = false;
    bool GroupComplete = false;

private:
    int32_t MoveByKey(CursorKey key);
    bool PageAvailable(int32_t id) const;
};
