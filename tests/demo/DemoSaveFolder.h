#pragma once
// The demo's save folder under a test home, seeded with the initial save set as a first start
// would extract it, with the exit confirmation off (so the close box ends the game), the title
// skipped and auto mode on at full speed (so the story runs without input).

#include <filesystem>
#include <stdexcept>

#include "foundation/CXMLDocument.h"

inline void SeedDemoSaveFolder(const std::filesystem::path& home, const std::filesystem::path& build)
{
    const std::filesystem::path save = home / "vesk/demo/Save";
    std::filesystem::create_directories(save);
    for (const auto& entry : std::filesystem::directory_iterator(build / "resources/initial_save"))
        std::filesystem::copy_file(entry.path(), save / entry.path().filename(),
                                   std::filesystem::copy_options::overwrite_existing);
    CXMLDocument config(CStringUTF8((save / "config.xml").string().c_str()));
    config.Load();
    // The story's own language, whose lines the tests read by their cells; a test of another sets it.
    config.SetInt("/Config/Language", 3);
    config.SetInt("/Config/Dialog/02/Enable", 0);
    config.SetInt("/Config/Demo/SkipTitle", 1);
    config.SetInt("/Config/AutoRead", 1);
    config.SetInt("/Config/AutoMesSpeed", 100);
    config.SetInt("/Config/AutoVoiceWait", 1);
    config.SetInt("/Config/MesWnd/Speed", 100);
    if (config.Save() != 1)
        throw std::runtime_error("the demo's settings could not be written");
}
