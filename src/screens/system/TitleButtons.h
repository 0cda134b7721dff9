#pragma once
// What the two title screens share: their buttons' places on the screen and in the sheet, the
// copying of a button's state picture, the page fades and the painting of the buttons into the
// background layer when a title closes.

#include <cstddef>
#include <cstdint>
#include <span>

#include "screens/base/ISelect.h"

class CSprite;
class CSpriteLayer;
class FlagBuffer;
class ScreenWork;

struct TitleButton
{
    int32_t y;
    int32_t width;
    int32_t height;
    int32_t sheet_x;
    int32_t sheet_y;
};

inline constexpr int32_t TITLE_BUTTON_X = 64;
inline constexpr int32_t TITLE_BUTTON_PRIORITY = 1;
inline constexpr int32_t TITLE_STATE_NORMAL = 0;
inline constexpr int32_t TITLE_STATE_HOVER = 1;
inline constexpr int32_t TITLE_STATE_PRESSED = 2;
inline constexpr int32_t TITLE_STATE_DISABLED = 3;
// Game-state fields of the titles.
inline constexpr size_t TITLE_QUICK_SAVE_VARIABLE = 57;
inline constexpr size_t TITLE_ANY_SAVE_VARIABLE = 53;
inline constexpr size_t TITLE_START_MODE_VALUE = 13;
inline constexpr size_t TITLE_PAGE_VALUE = 2;

// A variable's integer; 0 when there is no game state or no such variable.
int32_t TitleVariable(const FlagBuffer* state, size_t index);
// Stores an integer into a value, when the game state has it.
void SetTitleValue(FlagBuffer* state, size_t index, int32_t integer);

// Copies the button's state picture from the sheet into the button sprite's layer, and with
// present shows it at once. A missing sheet or button draws nothing.
void DrawTitleButton(CSprite* sheet, CSprite* button, const TitleButton& place, int32_t state,
                     int32_t present);

// Fades the first buttons in and the others out, together, and waits for the end. Missing
// sprites are left out.
void FadeTitleButtons(std::span<CSprite* const> fade_in, std::span<CSprite* const> fade_out, int32_t ticks);

// The item an arrow key (its scan code) leads to from the hovered id (-1 none), or -1 to stay:
// from none every key leads to item 0; up stops at item 0, down at the last item; left and right
// move only from none. The item is the id's low byte.
int32_t TitleArrowTarget(uint32_t scan_code, int32_t hovered, int32_t last_item);

// The hovered id after the cursor came over the id: the old item is drawn normal and the new one
// hovered, each shown at once.
template <typename DrawButton>
int32_t TrackTitleHover(int32_t hovered, int32_t id, DrawButton draw)
{
    if (id == hovered)
        return hovered;
    if (hovered != -1)
        draw(hovered & 0xFF, TITLE_STATE_NORMAL);
    if (id != -1)
        draw(id & 0xFF, TITLE_STATE_HOVER);
    return id;
}

// The item a decision takes: -1 when nothing is hovered or the hovered item is shut; otherwise
// the OK sound has played, the item shows pressed and the OK inputs are up.
template <typename IsOpen, typename DrawButton>
int32_t PressTitleItem(ISelect& title, int32_t hovered, IsOpen is_open, DrawButton draw)
{
    if (hovered == -1)
        return -1;
    const int32_t item = hovered & 0xFF;
    if (!is_open(item))
        return -1;
    title.PlayOkSound(SCREEN_SOUND_CHANNEL);
    draw(item, TITLE_STATE_PRESSED);
    title.ISelect::OnDecide();
    return item;
}

// Runs a title modally: into the active screens, its loop, its close. A document code thrown by
// Continue, a load or a confirmed exit passes straight through: the buttons go with the
// destroyed screen instead of being painted over the background, and the state just loaded keeps
// its values.
void RunTitleLoop(ScreenWork& work, ISelect& title);

// Continue: loads the continue slot and unwinds; returns only when the slot is refused.
void ContinueFromTitle(ScreenWork* work);
// Load: the load screen, without the snapshot of an earlier screen; returns when it was left.
void LoadFromTitle(ScreenWork* work);

// Paints each button over the background layer at its own position.
void PaintTitleButtons(CSpriteLayer* background, std::span<CSprite* const> buttons);
