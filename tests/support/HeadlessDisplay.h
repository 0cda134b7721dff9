#pragma once
// A live display for tests that need texture layers or a draw pass: the null presenter, one
// simulated 1920 x 1080 monitor and a 1920 x 1080 main window. The settings it reads come from
// the application object the test already holds. Torn down with its owner.

#include "platform/kernel/WinTypes.h"

class CDirect3D;

class HeadlessDisplay
{
public:
    HeadlessDisplay();
    ~HeadlessDisplay();
    HeadlessDisplay(const HeadlessDisplay&) = delete;
    HeadlessDisplay& operator=(const HeadlessDisplay&) = delete;

    CDirect3D* Display() const { return m_display; }
    HWND Window() const { return m_window; }

private:
    CDirect3D* m_display = nullptr; // not owned: the display's singleton, deleted by the destructor
    HWND m_window = nullptr;
};
