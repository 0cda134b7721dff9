#pragma once
// The process entry: initialises COM, hands the start-up arguments to the application object
// (GetApp) and drives it: InitFramework, InitInstance, Run only after an initialisation result
// of exactly 1, then ExitInstance in every case. Always returns 0.

#include "platform/kernel/WinTypes.h"

int WinMain(HINSTANCE instance, HINSTANCE previous_instance, LPWSTR command_line, int show_command);
