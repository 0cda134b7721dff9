#pragma once
// The side-menu part of a screen.
// FIXME: the least the game work and the area screens need until the side menu is in.

#include <cstdint>

#include "screens/base/CHitAreaTable.h"

class CSpriteAnime;

class IRightMenu
{
public:
    virtual ~IRightMenu() = default;
    // Nonzero on success.
    virtual int32_t CreateMenu() { return 1; }
    virtual void RefreshButtons() {}
    virtual int32_t IsOpen() { return 0; }
    // The item id under a screen point, or -1.
    virtual int32_t HitTest(int32_t x, int32_t y)
    {
        (void)x;
        (void)y;
        return -1;
    }
    virtual void DrawButton(int32_t id, int32_t state, int32_t present)
    {
        (void)id;
        (void)state;
        (void)present;
    }
    virtual void AddShowAnimation(CSpriteAnime* anime) { (void)anime; }
    virtual void AddHideAnimation(CSpriteAnime* anime) { (void)anime; }
    virtual void OpenMenu() {}
    virtual void CloseMenu() {}
    virtual void ToggleMenu() {}
    // The kind of button the menu shows at an item, -1 for none; a kind's state (0 normal, 4 hidden).
    virtual int32_t GetKindAt(int32_t item) { return item >= 0 && item <= 8 ? item : -1; }
    virtual int32_t GetButtonState(int32_t kind)
    {
        (void)kind;
        return 0;
    }
    CHitAreaTable MenuAreas;
};
