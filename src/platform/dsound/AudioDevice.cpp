#include "platform/dsound/AudioDevice.h"

#include <cstdlib>
#include <cstring>

namespace platform {

bool IsHeadlessAudio()
{
    const char* headless = std::getenv("VESK_HEADLESS");
    if (headless && std::strcmp(headless, "1") == 0)
        return true;
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    return driver && std::strcmp(driver, "dummy") == 0;
}

std::unique_ptr<AudioDevice> CreateAudioDevice()
{
    if (!IsHeadlessAudio()) {
        if (auto device = CreateSdlAudioDevice())
            return device;
    }
    // A machine without a sound output still runs the game, silently.
    return CreateNullAudioDevice();
}

} // namespace platform
