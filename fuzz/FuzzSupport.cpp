#include "FuzzSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "app/AppMessageBox.h"

void PrepareFuzzProcess()
{
    static const bool prepared = [] {
        setenv("VESK_HEADLESS", "1", 1);
        SetAppMessageBoxHook([](UINT, const CStringUTF8&) { return 1; });
        return true;
    }();
    (void)prepared;
}

std::string FuzzScratchFolder()
{
    // Never destroyed: the exit handler that removes the folder runs after static destruction.
    static const std::string* folder = [] {
        std::random_device random;
        // Memory-backed when the system has it: every run writes and renames files.
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        const std::filesystem::path path = base / ("vesk-fuzz-" + std::to_string(random()));
        std::filesystem::create_directories(path);
        auto* made = new std::string(path.string());
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(FuzzScratchFolder(), ignored);
        });
        return made;
    }();
    return *folder;
}

CStringUTF8 WriteFuzzFile(const std::string& name, const uint8_t* data, size_t size)
{
    const std::string path = FuzzScratchFolder() + "/" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return CStringUTF8(path);
}

FuzzApp& FuzzApplication()
{
    static FuzzApp* app = new FuzzApp;
    return *app;
}
