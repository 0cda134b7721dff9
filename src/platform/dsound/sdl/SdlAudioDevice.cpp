#include "platform/dsound/AudioDevice.h"
#include "platform/dsound/Mixer.h"

#include <SDL.h>

namespace platform {

namespace {

// The SDL output. SDL converts to whatever the hardware wants, so the mixer always runs at
// 44,100 Hz 16-bit stereo. The callback runs on SDL's audio thread.
class SdlAudioDevice final : public AudioDevice
{
public:
    ~SdlAudioDevice() override
    {
        Stop();
        if (m_initialised)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool Open()
    {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        m_initialised = true;
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(Mixer::RATE);
        want.format = AUDIO_S16SYS;
        want.channels = Mixer::CHANNELS;
        want.samples = 1024;
        want.callback = &SdlAudioDevice::Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (m_device == 0)
            return false;
        m_period = have.samples;
        return true;
    }

    bool Start(Mixer& mixer) override
    {
        if (m_device == 0)
            return false;
        SDL_LockAudioDevice(m_device);
        m_mixer = &mixer;
        SDL_UnlockAudioDevice(m_device);
        mixer.SetLeadFrames(m_period);
        SDL_PauseAudioDevice(m_device, 0);
        return true;
    }

    void Stop() override
    {
        if (m_device != 0) {
            SDL_CloseAudioDevice(m_device);
            m_device = 0;
        }
        m_mixer = nullptr;
    }

    uint32_t PeriodFrames() const override { return m_period; }

private:
    static void Callback(void* user, Uint8* stream, int length)
    {
        auto* self = static_cast<SdlAudioDevice*>(user);
        auto* out = reinterpret_cast<int16_t*>(stream);
        const uint32_t frames = static_cast<uint32_t>(length) / (Mixer::CHANNELS * sizeof(int16_t));
        if (self->m_mixer) {
            self->m_mixer->Mix(out, frames);
        } else {
            SDL_memset(stream, 0, static_cast<size_t>(length));
        }
    }

    bool m_initialised = false;
    SDL_AudioDeviceID m_device = 0;
    uint32_t m_period = 1024;
    Mixer* m_mixer = nullptr; // not owned; set under SDL's device lock
};

} // namespace

std::unique_ptr<AudioDevice> CreateSdlAudioDevice()
{
    auto device = std::make_unique<SdlAudioDevice>();
    if (!device->Open())
        return nullptr;
    return device;
}

} // namespace platform
