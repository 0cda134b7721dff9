#pragma once
// The base of the place, area and character-area screens. They share one set of parts (side
// menu, fixed buttons, help bar and line, sheet and font) under a reference count, one hit-area
// table reloaded per mode and one id picture; the base slides the parts in and out, layers the
// hit test (shared areas, plate, side menu, characters, id picture, own table), draws the fixed
// buttons and lays out the help line. Main thread only.

#include <array>
#include <cstdint>
#include <memory>

#include "screens/base/ISelect.h"

class CFontDIB;
class CSprite;
class HitMap;
class ILayer;
class IRightMenu;

// Area ids: the side menu's items, the fixed buttons and the plate's button.
inline constexpr int32_t AREA_ID_MENU_FIRST = 0xF00;
inline constexpr int32_t AREA_ID_MENU_LAST = 0xFFF;
inline constexpr int32_t AREA_ID_FIXED_FIRST = 0xFF00;
inline constexpr int32_t AREA_ID_FIXED_LAST = 0xFFFF;
inline constexpr int32_t AREA_ID_BACK = 0xFF00;
inline constexpr int32_t AREA_ID_AREASELECT = 0xFF01;
inline constexpr int32_t AREA_ID_DECIDE = 0xFF02;
inline constexpr int32_t AREA_ID_QUICKSAVE = 0xFF03;
inline constexpr int32_t AREA_ID_QUICKLOAD = 0xFF04;
inline constexpr int32_t AREA_ID_PLATE = 0xFF0F;

// Game-state fields the area screens read.
inline constexpr uint32_t AREA_HIDE_DECIDE_FLAG = 1940;
inline constexpr size_t AREA_QUICK_SAVED_VARIABLE = 57;
inline constexpr size_t AREA_REPLAY_VARIABLE = 69;
inline constexpr size_t AREA_TEXT_STYLE_VALUE = 29;

inline constexpr int32_t AREA_BUTTON_COUNT = 6;
inline constexpr int32_t AREA_BUTTON_WIDTH = 122;
inline constexpr int32_t AREA_BUTTON_HEIGHT = 125;
inline constexpr int32_t AREA_HELP_X = 409;
inline constexpr int32_t AREA_HELP_Y = 952;
inline constexpr int32_t AREA_HELP_WIDTH = 1102;
inline constexpr int32_t AREA_HELP_HEIGHT = 80;

struct AreaSelectPartSet
{
    uint32_t References = 0;
    std::unique_ptr<IRightMenu> Menu;
    std::unique_ptr<CFontDIB> Font;
    std::unique_ptr<CSprite> Sheet;
    std::unique_ptr<CSprite> HelpBar;
    std::unique_ptr<CSprite> HelpLine;
    std::array<std::unique_ptr<CSprite>, AREA_BUTTON_COUNT> Buttons;

    void Free();
};

AreaSelectPartSet& AreaSelectParts();
CHitAreaTable& AreaSelectHitAreas();
HitMap& AreaSelectIdPicture();
// Reloads the shared hit areas for a mode; a failed read keeps what they held.
void LoadAreaSelectAreas(int32_t mode);

class IAreaSelect : public ISystemParts
{
public:
    ~IAreaSelect() override;

    // Takes a reference on the shared parts, building them when none exist; 0 on failure, which
    // frees again whatever the failed build made.
    int32_t CreateParts() override;
    // Gives one reference back (at most the ones taken); the last frees the parts.
    virtual void ReleaseParts();
    // Slide the mode's buttons and the help bar in or out; nothing when already there.
    virtual void OpenTransition(int32_t with_menus);
    virtual void CloseTransition(int32_t with_menus);
    virtual ScriptValue* RunWithMode(ScriptValue* out, int32_t mode);
    void OnOpen() override;
    int32_t HitTestCursor() override;

    // A fixed button (0xFF00..) or side-menu item (0xF00..) in a state; -1 draws nothing.
    void DrawFixedButton(int32_t id, int32_t state, int32_t present);
    void ShowHelpText(const CStringUTF8& text, int32_t size, int32_t show);
    void DrawTextWrapped(const CStringUTF8& text, ILayer* layer, uint32_t colour, int32_t size, const RECT& box);

    int32_t AreaSelectMode = 0;

protected:
    // The area id under a screen point through the layers of the base.
    int32_t HitTestPoint(int32_t x, int32_t y);
    // The font that draws the help text; tests may record its calls.
    virtual CFontDIB* HelpFont();

private:
    void Slide(bool in, int32_t with_menus);
    int32_t m_references = 0;
};
