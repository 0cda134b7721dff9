#pragma once
// The headless output. By default it follows the layer clock (real or virtual): a helper thread
// mixes as many frames as the clock has moved on, so sounds start, loop and end in a headless run
// as they would be heard. A test that steps by hand turns that off (SetClockDriven(false)); then
// Advance(frames) runs the mixer on the calling thread, moving every play cursor by exactly that
// many frames and signalling the notifications passed. The output can be captured for
// comparison; with VESK_AUDIO_DUMP set to a path, everything the device mixed is written there as
// a WAV file when it is destroyed. Tests reach the device of the current DirectSound object
// through GetNullAudioDevice.

#include "platform/dsound/AudioDevice.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
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
    // Whether the device mixes by itself as the layer clock moves (the default).
    void SetClockDriven(bool clock_driven);

private:
    void FollowClock(std::stop_token stop);
    void WriteDump();

    mutable std::mutex m_mutex; // guards everything below; Advance holds it while mixing
    Mixer* m_mixer = nullptr;   // not owned: the DirectSound object owns its mixer
    bool m_capturing = false;
    std::vector<int16_t> m_capture;
    std::vector<int16_t> m_block;
    uint64_t m_frames_advanced = 0;
    uint64_t m_milliseconds_advanced = 0;
    bool m_clock_driven = true;
    uint64_t m_clock_seen = 0; // layer time up to which the clock has been followed
    std::string m_dump_path;   // VESK_AUDIO_DUMP; emptied once written
    std::jthread m_follower;   // last: stops before the members it uses go
};

// The null device of the newest live DirectSound object, or null when there is none.
NullAudioDevice* GetNullAudioDevice();

} // namespace platform
