#include "platform/ProcessEntry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <string>

#include <SDL.h>

#include "platform/Environment.h"
#include "platform/kernel/ModuleApi.h"
#include "platform/kernel/Unicode.h"

namespace platform {

namespace {

constexpr int SHOW_NORMAL = 1; // SW_SHOWNORMAL

// Whether Wayland's client library could find a compositor's socket: without an absolute
// WAYLAND_DISPLAY or XDG_RUNTIME_DIR it cannot, and says so on standard error when SDL asks it.
bool WaylandReachable()
{
    const char* named = std::getenv("WAYLAND_DISPLAY");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return (named != nullptr && named[0] == '/') || (runtime != nullptr && runtime[0] == '/');
}

// A list of video drivers as SDL takes it (names apart by commas), without Wayland's.
std::string WithoutWayland(const std::string& drivers)
{
    std::string list;
    for (size_t start = 0; start <= drivers.size();) {
        size_t end = drivers.find(',', start);
        if (end == std::string::npos)
            end = drivers.size();
        const std::string driver = drivers.substr(start, end - start);
        start = end + 1;
        if (driver.empty() || SDL_strcasecmp(driver.c_str(), "wayland") == 0)
            continue;
        if (!list.empty())
            list += ',';
        list += driver;
    }
    return list;
}

// SDL's own order of its video drivers.
std::string AllDrivers()
{
    std::string list;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        if (const char* driver = SDL_GetVideoDriver(i)) {
            if (!list.empty())
                list += ',';
            list += driver;
        }
    }
    return list;
}

// Chooses SDL's video driver before anything starts it; false (said in one line on standard
// error) when the game would show nothing. Headless, the display list and the window layer
// still start SDL's video: with the dummy driver, unless SDL_VIDEODRIVER names one, as SDL's own
// choice would try Wayland and X first. With a window and no driver named, SDL falls back to one
// that shows nothing when it finds no display: that is said, with the way to run headless. A
// named driver that cannot start is said too, before the window layer fails on its own terms.
bool ChooseVideoDriver()
{
    const bool headless = IsNullBackend(Service::Presenter);
    const char* way = headless ? "run it in a desktop session, or leave SDL_VIDEODRIVER unset"
                               : "run it in a desktop session, or without a window with VESK_HEADLESS=1";
    const char* named = std::getenv("SDL_VIDEODRIVER");
    if (named != nullptr && *named != '\0') {
        // Wayland's library prints an error line of its own when it has no runtime folder to look
        // in: it is left out of the list, and what the player reads is this program's one line.
        if (!WaylandReachable()) {
            const std::string others = WithoutWayland(named);
            if (others.empty()) {
                // A relative folder is as good as none to Wayland's library; said as it is.
                const char* runtime = std::getenv("XDG_RUNTIME_DIR");
                const std::string why =
                    runtime != nullptr && *runtime != '\0'
                        ? ": XDG_RUNTIME_DIR (\"" + std::string(runtime) + "\") is a relative path"
                        : " without XDG_RUNTIME_DIR";
                std::fprintf(stderr,
                             "vesk: SDL's video driver \"%s\" (SDL_VIDEODRIVER) cannot start: no Wayland "
                             "display can be found%s; %s\n",
                             named, why.c_str(), way);
                return false;
            }
            // The variable outweighs a hint of normal priority.
            SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, others.c_str(), SDL_HINT_OVERRIDE);
        }
        // Left running for the window layer, which starts it again (SDL counts the starts).
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0)
            return true;
        std::fprintf(stderr, "vesk: SDL's video driver \"%s\" (SDL_VIDEODRIVER) cannot start: %s; %s\n",
                     named, SDL_GetError(), way);
        return false;
    }
    if (headless) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        return true;
    }
    // Wayland's library prints an error line of its own when it has no runtime folder to look in.
    if (!WaylandReachable())
        SDL_SetHint(SDL_HINT_VIDEODRIVER, WithoutWayland(AllDrivers()).c_str());
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "vesk: no display found (%s); %s\n", SDL_GetError(), way);
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0))
        return true;
    std::fprintf(
        stderr,
        "vesk: no display found (SDL's video fell back to its \"%s\" driver, which shows nothing); %s\n",
        driver, way);
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
