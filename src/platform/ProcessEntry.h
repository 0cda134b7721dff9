#pragma once
// What main does before and after the program's WinMain: prepares SDL (hints first, then the
// video driver: the dummy one headless; with a window asked for and no display found, a line
// saying so and status 1 without WinMain), builds the one command-line text from argv, calls
// WinMain with the show mode of a normal start, and shuts SDL down when it returns. The file layer
// stays usable afterwards, because the application object writes the configuration while static
// objects are destroyed.

#include <string>

#include "platform/kernel/WinTypes.h"

namespace platform {

using WinMainFunction = int (*)(HINSTANCE instance, HINSTANCE previous_instance, LPWSTR command_line,
                                int show_command);

// argv[1..] joined with single spaces, as UTF-16; empty without arguments.
std::u16string JoinCommandLine(int argc, const char* const* argv);

int RunWinMain(int argc, char** argv, WinMainFunction win_main);

} // namespace platform
