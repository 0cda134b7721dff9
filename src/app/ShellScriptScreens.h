#pragma once
// Fills the script's screen table with the screens the game work holds for the whole game, each
// reached through the work's pointer at the call, and with the screens area's own. Main thread only.

class CGameWork;

void RegisterShellScriptScreens(CGameWork& work);
// Removes every entry RegisterShellScriptScreens put in.
void UnregisterShellScriptScreens();
