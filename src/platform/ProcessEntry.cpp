#include "platform/ProcessEntry.h"

#include <malloc.h>

#include <SDL.h>

#include "platform/kernel/ModuleApi.h"
#include "platform/kernel/Unicode.h"

namespace platform {

namespace {

constexpr int SHOW_NORMAL = 1; // SW_SHOWNORMAL

} // namespace

std::u16string JoinCommandLine(int argc, const char* const* argv)
{
    std::string joined;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            joined += ' ';
        joined += argv[i];
    }
    return Utf8ToUtf16(joined);
}

int RunWinMain(int argc, char** argv, WinMainFunction win_main)
{
    // Without this SDL switches the screen saver off by itself when its video starts, and the
    // program's own reading of the screen-saver state would always say "off".
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // Layers and pictures of a screen come and go with it. A fixed threshold keeps every large
    // block in its own mapping: freed, it goes back to the system at once, and a new one starts
    // as untouched zero pages instead of being cleared over a reused part of the heap (glibc
    // would otherwise raise the threshold to the size of the largest block freed so far).
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    std::u16string command_line = JoinCommandLine(argc, argv);
    const int result = win_main(GetModuleHandleW(nullptr), nullptr, command_line.data(), SHOW_NORMAL);
    SDL_Quit();
    return result;
}

} // namespace platform
