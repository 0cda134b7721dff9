#include "platform/dsound/AudioDevice.h"

#include "platform/Environment.h"

namespace platform {

bool IsHeadlessAudio()
{
    return IsNullBackend(Service::Audio);
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
