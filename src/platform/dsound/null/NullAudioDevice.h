#pragma once
// The headless output: it has no thread and mixes only when told to. Advance(frames) runs the
// mixer on the calling thread, moving every play cursor by exactly that many frames and
// signalling the notifications passed; the output can be captured for comparison. Tests reach
// the device of the current DirectSound object through GetNullAudioDevice.

#include "platform/dsound/AudioDevice.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace platform {

class NullAudioDevice final : public AudioDevice
{
public:
    static constexpr uint32_t PERIOD_FRAMES = 441; // 10 ms: the write cursor's lead

    NullAudioDevice();
    ~NullAudioDevice() override;

    bool Start(Mixer& mixer) override;
    void Stop() override;
    uint32_t PeriodFrames() const override { return PERIOD_FRAMES; }

    // Mixes frames (at 44,100 Hz) now; nothing happens while the device is stopped.
    void Advance(uint32_t frames);
    // Milliseconds are turned into frames without drift across calls.
    void AdvanceMilliseconds(uint32_t milliseconds);
    // While capturing, every advanced frame is kept: interleaved left, right.
    void StartCapture();
    std::vector<int16_t> TakeCapture();
    uint64_t FramesAdvanced() const;

private:
    mutable std::mutex m_mutex; // guards everything below; Advance holds it while mixing
    Mixer* m_mixer = nullptr;   // not owned: the DirectSound object owns its mixer
    bool m_capturing = false;
    std::vector<int16_t> m_capture;
    std::vector<int16_t> m_block;
    uint64_t m_frames_advanced = 0;
    uint64_t m_milliseconds_advanced = 0;
};

// The null device of the newest live DirectSound object, or null when there is none.
NullAudioDevice* GetNullAudioDevice();

} // namespace platform
