#include "DemoRun.h"

std::string HeadlessDemoCommand(const std::filesystem::path& build, const std::string& home,
                                const std::string& extra_environment, int kill_seconds)
{
    return "cd '" + (build / "demo").string() +
           "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1 XDG_DATA_HOME='" + home +
           "' XDG_RUNTIME_DIR='" + home + "/run' VESK_FRAME_DUMP='" + home + "/frames' " + extra_environment +
           " exec timeout -s KILL " + std::to_string(kill_seconds) + " ./vesk >'" + home + "/out.txt' 2>&1";
}
