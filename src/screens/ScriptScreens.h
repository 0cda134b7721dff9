#pragma once
// Fills the script's screen table with the screens a command builds, runs and destroys itself,
// and with the message screen's factory. The shell calls it once it exists. Main thread only.

void RegisterScriptScreens();
// Removes what RegisterScriptScreens put in.
void UnregisterScriptScreens();
