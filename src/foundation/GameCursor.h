#pragma once
// What the screens and script commands switch of the game cursor, which lives in app/ with the
// main view: its mode (the sheet's row), on, and back to the system cursor. The cursor installs
// its source before main; without one (no cursor in this program) there is nothing to switch.
// Main thread only.

#include <cstdint>

class GameCursor
{
public:
    virtual ~GameCursor() = default;

    // -1 none, 0 turns the game cursor off, others choose the sheet's row.
    virtual void SetCursorMode(int32_t mode) = 0;
    // The game cursor on again in its current mode; with no mode (-1) it ends off.
    virtual void TurnOn() = 0;
    // The same, by the name the area pickers call it.
    void ShowGameCursor() { TurnOn(); }
    // Back to the system cursor with no mode.
    virtual void HideGameCursor() = 0;
};

// The cursor, made on first use by its source; null while no source is installed.
GameCursor* GetGameCursor();
void SetGameCursorSource(GameCursor* (*source)());
