#pragma once
// How code below the application shell tells the player something: the application installs
// its message box (AppMessageBox, captioned with the game title) when it is linked in; until
// then a plain box captioned with the executable's path is shown. Any thread.

#include "foundation/CStringUTF8.h"
#include "platform/kernel/WinTypes.h"

using PlayerMessageSink = int (*)(UINT flags, CStringUTF8 text);

// Returns the previous sink; null puts the plain box back.
PlayerMessageSink SetPlayerMessageSink(PlayerMessageSink sink);
// Shows text with flags (0 or MB_ICONERROR) and returns the pressed button.
int ShowPlayerMessage(UINT flags, CStringUTF8 text);
