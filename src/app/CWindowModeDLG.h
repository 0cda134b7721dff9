#pragma once
// The window settings dialog (resource 111).
// FIXME: the least the game work needs until the dialogs are in: it closes as cancelled.

#include "platform/kernel/WinTypes.h"

#include <cstdint>

class CWindowModeDLG
{
public:
    virtual ~CWindowModeDLG() = default;
    // Runs modally over the parent; the button that closed it.
    virtual int32_t DoModal(HWND parent)
    {
        (void)parent;
        return 2;
    }
};
