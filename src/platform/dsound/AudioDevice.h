#pragma once
// An output for the mixer: pulls 44,100 Hz 16-bit stereo from it. The real one is an SDL audio
// device; headless runs (VESK_HEADLESS=1 or SDL_AUDIODRIVER=dummy) get the null device, which
// mixes only when a test advances it.

#include <cstdint>
#include <memory>

namespace platform {

class Mixer;

class AudioDevice
{
public:
    virtual ~AudioDevice() = default;
    // Starts pulling from mixer, which must outlive the device or its Stop.
    virtual bool Start(Mixer& mixer) = 0;
    virtual void Stop() = 0;
    // Frames the device reads at once: how far the mixer runs ahead of what is heard.
    virtual uint32_t PeriodFrames() const = 0;
};

std::unique_ptr<AudioDevice> CreateSdlAudioDevice();
std::unique_ptr<AudioDevice> CreateNullAudioDevice();
// The device the environment asks for; the null device when headless or when no real output opens.
std::unique_ptr<AudioDevice> CreateAudioDevice();
// True when the environment asks for the null device.
bool IsHeadlessAudio();

} // namespace platform
