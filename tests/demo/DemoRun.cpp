#include "DemoRun.h"

#include <cstdlib>

#include "demo/DemoSaveFolder.h"
#include "sheetgen/SheetGenerator.h"

HeadlessDemoHome::HeadlessDemoHome()
    : m_build(std::getenv("VESK_BINARY_DIR") != nullptr ? std::getenv("VESK_BINARY_DIR") : ".")
{
    std::filesystem::create_directories(m_home.Path() / "run");
    std::filesystem::create_directories(m_home.Path() / "frames");
    SeedDemoSaveFolder(m_home.Path(), m_build);
}

std::string HeadlessDemoHome::Command(const std::string& extra_environment, int kill_seconds) const
{
    const std::string home = m_home.Path().string();
    return "cd '" + (m_build / "demo").string() +
           "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1 XDG_DATA_HOME='" + home +
           "' XDG_RUNTIME_DIR='" + home + "/run' VESK_FRAME_DUMP='" + home + "/frames' " + extra_environment +
           " exec timeout -s KILL " + std::to_string(kill_seconds) + " ./vesk >'" + home + "/out.txt' 2>&1";
}

std::optional<uint32_t> FrameCellAt(const platform::PngPicture& picture, int x, int y)
{
    uint32_t id = 0;
    int32_t state = 0;
    if (!tools::DecodeCellColour(picture.pixels[static_cast<size_t>(y) * picture.width + x] | 0xFF000000u, id,
                                 state))
        return std::nullopt;
    return id;
}
