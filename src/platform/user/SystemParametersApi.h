#pragma once
// The one system setting the program changes: whether the screen saver may start. The state lasts
// as long as the process; SDL carries it to the desktop once the video subsystem is up.

#include "platform/kernel/WinTypes.h"

inline constexpr UINT SPI_GETSCREENSAVEACTIVE = 0x0010;
inline constexpr UINT SPI_SETSCREENSAVEACTIVE = 0x0011;
inline constexpr UINT SPIF_UPDATEINIFILE = 0x01;
inline constexpr UINT SPIF_SENDCHANGE = 0x02;

// SPI_GETSCREENSAVEACTIVE stores a BOOL at param_pointer; SPI_SETSCREENSAVEACTIVE takes the new
// state in param. Any other action gives FALSE.
BOOL SystemParametersInfoW(UINT action, UINT param, LPVOID param_pointer, UINT win_ini);

namespace platform {

// Hands the current state to SDL; the window layer calls it after it starts SDL's video.
void ApplyScreenSaverState();

} // namespace platform
