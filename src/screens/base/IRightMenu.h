#pragma once
// The side-menu part of a screen.
// FIXME: the least the game work needs until the side menu is in.

#include <cstdint>

class IRightMenu
{
public:
    virtual ~IRightMenu() = default;
    // Nonzero on success.
    virtual int32_t CreateMenu() { return 1; }
    // FIXME: least forms the town map drives until the side menu is in (none hit, all enabled).
    virtual void ReleaseMenu() {}
    virtual int32_t HitTest(int32_t, int32_t) { return -1; }
    virtual void OpenMenu() {}
    virtual void CloseMenu() {}
    virtual void ToggleMenu() {}
    virtual void RefreshButtons() {}
    virtual int32_t GetButtonCode(int32_t button) { return button; }
    virtual int32_t GetButtonState(int32_t) { return 0; }
    virtual void DrawButton(int32_t, int32_t, int32_t) {}
};
