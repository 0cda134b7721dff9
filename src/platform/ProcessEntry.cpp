#include "platform/ProcessEntry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>

#include <SDL.h>

#include "platform/Environment.h"
#include "platform/kernel/ModuleApi.h"
#include "platform/kernel/Unicode.h"

namespace platform {

namespace {

constexpr int SHOW_NORMAL = 1; // SW_SHOWNORMAL

// Chooses SDL's video driver before anything starts it; false when the game would show nothing.
// Headless, the display list and the window layer still start SDL's video: with the dummy driver,
// unless SDL_VIDEODRIVER names one, as SDL's own choice would try Wayland and X first (and
// Wayland's client library prints an error line without a runtime folder). With a window and no
// driver named, SDL falls back to one that shows nothing when it finds no display: that is said,
// with the way to run headless.
bool ChooseVideoDriver()
{
    const char* named = std::getenv("SDL_VIDEODRIVER");
    if (named != nullptr && *named != '\0')
        return true;
    if (IsNullBackend(Service::Presenter)) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        return true;
    }
    // Left running for the window layer, which starts it again (SDL counts the starts).
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return true; // no driver at all: the window layer's own failure says so
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0))
        return true;
    std::fprintf(stderr,
                 "vesk: no display found (SDL's video fell back to its \"%s\" driver, which shows nothing); "
                 "run it in a desktop session, or without a window with VESK_HEADLESS=1\n",
                 driver);
    return false;
}

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
    if (!ChooseVideoDriver()) {
        SDL_Quit();
        return 1;
    }
    std::u16string command_line = JoinCommandLine(argc, argv);
    const int result = win_main(GetModuleHandleW(nullptr), nullptr, command_line.data(), SHOW_NORMAL);
    SDL_Quit();
    return result;
}

} // namespace platform
