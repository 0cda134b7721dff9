#pragma once
// The headless output. By default it follows the layer clock (real or virtual): a helper thread
// mixes as many frames as the clock has moved on, so sounds start, loop and end in a headless run
// as they would be heard. A test that steps by hand turns that off (SetClockDriven(false)); then
// Advance(frames) runs the mixer on the calling thread, moving every play cursor by exactly that
// many frames and signalling the notifications passed. The output can be captured for
// comparison. Tests reach the device of the current DirectSound object through GetNullAudioDevice.
// When the run names a file in VESK_SOUND_DUMP (as VESK_FRAME_DUMP names a folder for frames),
// everything mixed is written to it as a 44,100 Hz 16-bit stereo WAV file, kept valid as it grows,
// so a headless run can be listened to and checked. On the real clock, while no voice plays, the
// helper rests until one is about to start (or a quarter second passes) and counts the rest as
// the silence it was, so an idle game does not wake it two hundred times a second; while voices
// play, it rests until the next notification or end falls due, or a change brings one nearer (a
// look, a refill or a volume step does not: it would wake the helper for nothing). Following the
// clock, a change to a voice (a start, a volume step, a refill, a stop) or a look at its cursor
// first mixes up to the moment of the call, on the caller's thread: the recording holds each
// change where the game made it, and the game reads the cursor of its own time, however late
// the helper thread runs.

#include "platform/dsound/AudioDevice.h"

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <optional>
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
    // Whether the helper is resting while nothing plays, and how many rests a voice start ended
    // (the others ended at their limit): a test starts a voice inside a rest on purpose.
    bool IsResting() const;
    uint64_t RestsEndedByStart() const;
    // How many times the helper woke to follow the clock.
    uint64_t FollowWakes() const;
    // Whether the helper rests while voices play until the next event it planned for, no change
    // having cut the rest short.
    bool IsRestingWhilePlaying() const;
    // Starts writing everything mixed to a WAV file (replacing it); false when it cannot be made.
    bool StartDump(const std::string& path);

private:
    void FollowClock(std::stop_token stop);
    // Stops the mixer's calls before a change or look at a voice.
    void ForgetChanges();
    // Mixes what the layer clock has moved on since it was last followed.
    void CatchUp();
    // While nothing plays: waits for a voice to start, then advances silence up to its start.
    void RestWhileSilent(std::stop_token stop);
    // While voices play: waits until a notification or end falls due, or a voice changes.
    void RestWhilePlaying(std::stop_token stop);
    // Ends a rest while playing when a change brought the next event nearer than its end.
    void PokeIfNearer();
    // Milliseconds of layer time until the mixer's next event, when one is due.
    std::optional<uint64_t> MillisecondsToNextEvent();
    void OnVoiceStarting();
    // Advance's body; silent frames are zeros without running the mixer. Needs m_mutex.
    void AdvanceLocked(uint32_t frames, bool silent);
    void AdvanceMillisecondsLocked(uint64_t milliseconds, bool silent);
    // Appends the frames to the dump and brings its header's sizes up to date.
    void WriteDump(const int16_t* samples, uint32_t frames);

    mutable std::mutex m_mutex; // guards everything below; Advance holds it while mixing
    Mixer* m_mixer = nullptr;   // not owned: the DirectSound object owns its mixer
    bool m_capturing = false;
    std::vector<int16_t> m_capture;
    std::vector<int16_t> m_block;
    uint64_t m_frames_advanced = 0;
    uint64_t m_milliseconds_advanced = 0;
    bool m_clock_driven = true;
    uint64_t m_clock_seen = 0; // layer time up to which the clock has been followed
    std::FILE* m_dump = nullptr;
    uint64_t m_dump_bytes = 0;
    // The virtual clock's pace, and the longest rest while playing.
    static constexpr uint64_t FOLLOW_MS = 5;
    static constexpr uint64_t EVENTLESS_REST_MS = 1000;
    // Guards the members below; voice starts and changes take it on game threads. A leaf lock.
    mutable std::mutex m_rest_mutex;
    std::condition_variable_any m_rest_wake;
    bool m_rest_armed = false; // the helper is about to rest or resting
    bool m_start_seen = false; // a voice started since the rest was armed
    uint64_t m_start_time = 0; // layer time of that start
    bool m_resting = false;
    uint64_t m_rests_ended_by_start = 0;
    bool m_follow_armed = false; // resting while playing, or about to
    bool m_poked = false;        // a change brought an event nearer since
    uint64_t m_follow_until = 0; // layer time the rest lasts until; 0 while it is being planned
    uint64_t m_follow_wakes = 0;
    std::jthread m_follower; // last: stops before the members it uses go
};

// The null device of the newest live DirectSound object, or null when there is none.
NullAudioDevice* GetNullAudioDevice();

} // namespace platform
