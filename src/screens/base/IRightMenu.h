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
};
