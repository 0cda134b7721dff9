#pragma once
// The side menu that slides in from the right edge over the message window, the choice window
// and the town map: a tab and eight buttons on a 400-pixel panel. A mixin of those screens; all
// hosts share one set of sprites, made by the first and released with the last holder. The
// mixin draws, opens, closes and hit-tests the menu; the hosts react to the clicks. Slides play
// as a frame task and never block. Main thread only.

#include <array>
#include <cstddef>
#include <cstdint>

class CSpriteAnime;
class CSpriteLayer;

inline constexpr int32_t SIDE_MENU_SLOTS = 9;
inline constexpr int32_t SIDE_MENU_GROUP = 0xF00;
// Button states beyond those of the picture buttons.
inline constexpr int32_t SIDE_MENU_DISABLED = 3;
inline constexpr int32_t SIDE_MENU_HIDDEN = 4;
// Side-menu buttons.
inline constexpr int32_t SIDE_MENU_TAB = 0;
inline constexpr int32_t SIDE_MENU_SAVE = 1;
inline constexpr int32_t SIDE_MENU_LOAD = 2;
inline constexpr int32_t SIDE_MENU_SETTINGS = 3;
inline constexpr int32_t SIDE_MENU_BACKLOG = 4;
inline constexpr int32_t SIDE_MENU_SCREEN = 5;
inline constexpr int32_t SIDE_MENU_FLAGS = 6;
inline constexpr int32_t SIDE_MENU_TITLE = 7;
inline constexpr int32_t SIDE_MENU_EXIT = 8;
// While this flag byte is 1 the tab does not react and the show animation leaves the menu be.
inline constexpr uint32_t FLAG_SIDE_MENU_FROZEN = 7078;

class IRightMenu
{
public:
    IRightMenu();
    // Gives up this host's holds on the shared sprites.
    virtual ~IRightMenu();
    IRightMenu(const IRightMenu&) = delete;
    IRightMenu& operator=(const IRightMenu&) = delete;

    // Nonzero on success (the picture loaded).
    virtual int32_t CreateMenu() { return CreateSideMenu(); }
    virtual void ReleaseMenu() { ReleaseSideMenu(); }

    void RefreshButtons();
    void AddShowAnimation(CSpriteAnime& animation);
    void AddHideAnimation(CSpriteAnime& animation);
    virtual void ToggleMenu();
    virtual void OpenMenu();
    virtual void CloseMenu();
    // A side-menu area id (group 15) or -1.
    virtual int32_t HitTest(int32_t x, int32_t y);
    virtual void DrawButton(int32_t slot, int32_t state, int32_t present);
    virtual int32_t GetButtonState(int32_t button);
    // The button a slot shows, -1 for none.
    int32_t GetKindAt(int32_t slot) const
    {
        return slot >= 0 && slot < SIDE_MENU_SLOTS ? ButtonMap[static_cast<std::size_t>(slot)] : -1;
    }
    // The hosts' pointer rule, run each frame unless the menu is frozen.
    void FollowPointer(int32_t x, int32_t y);

    // Warps the pointer to the centre of the menu's area for an id (0xF00 the tab, 0xF00 + k
    // slot k); false when the menu has no such area.
    static bool MoveCursorToMenuArea(int32_t id);
    static bool IsMenuOpen();
    // A slide still playing ends at once, its sprites at its targets.
    static void FinishSlide();
    // 1 while the shared menu is open.
    virtual int32_t IsOpen() { return IsMenuOpen() ? 1 : 0; }
    static int32_t GetManualFlag();
    static void SetManualFlag(int32_t flag);
    static int32_t GetMenuHolders();
    // The shared slot sprites, null before the first CreateMenu.
    static CSpriteLayer* GetSlotSprite(int32_t slot);
    static CSpriteLayer* GetPanelSprite();

    int32_t MenuIndex = -1; // button 5 is shown only while this is 1
    std::array<int32_t, SIDE_MENU_SLOTS> ButtonMap;

protected:
    int32_t CreateSideMenu();
    void ReleaseSideMenu();

private:
    void Slide(bool open);
    int32_t m_holds = 0; // this host's share of the shared count
};
