#pragma once
// A headless sound system for tests: the null audio device, the virtual clock, WAV files written
// by the project's own writer, and a way to let time pass deterministically: the audio is mixed
// for a number of milliseconds, the clock moves by as many, and the test waits until every sound
// thread has reacted and is asleep again.

#include "platform/dsound/DSoundApi.h"
#include "platform/dsound/null/NullAudioDevice.h"
#include "support/TempDir.h"
#include "support/ThreadTest.h"
#include "wavwriter/WavWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

inline constexpr WAVEFORMATEX STEREO_16 = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
inline constexpr DWORD WORK_SIZE = 1'048'576;

class SoundThreadTest : public ThreadTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a WAV file into the test's folder and opens it for reading at offset (the bytes
    // before it are filler, as for an entry inside an archive).
    HANDLE OpenWav(const tools::WavContents& wav, uint32_t offset = 0);
    // Mixes milliseconds of output, moves the clock as far, and waits until the given number of
    // sound threads are asleep again.
    void Pass(uint32_t milliseconds, size_t threads);
    // Waits until the given number of sound threads are asleep.
    static void Settle(size_t threads);
    // Everything mixed since the last call, as {left, right} frames interleaved.
    std::vector<int16_t> TakeOutput() { return m_null->TakeCapture(); }
    uint64_t FramesMixed() const { return m_null->FramesAdvanced(); }

    TempDir m_dir;
    platform::NullAudioDevice* m_null = nullptr;
    std::vector<HANDLE> m_files;
};

// Quiet, distinct samples (below the compressor's threshold): frames x channels values.
std::vector<int16_t> QuietPattern(size_t frames, uint16_t channels, uint32_t seed = 1);
tools::WavContents StereoWav(const std::vector<int16_t>& samples);
