#include "SoundTestSupport.h"

#include "platform/kernel/FileApi.h"
#include "platform/kernel/Unicode.h"
#include "platform/kernel/VirtualClock.h"
#include "sound/SoundSystem.h"

#include <cstdlib>
#include <fstream>

void SoundThreadTest::SetUp()
{
    setenv("VESK_HEADLESS", "1", 1);
    platform::VirtualClock::Enable(1000);
    ASSERT_EQ(CreateSoundSystem(nullptr), nullptr);
    m_null = platform::GetNullAudioDevice();
    ASSERT_NE(m_null, nullptr);
    m_null->SetClockDriven(false); // stepped by hand
    m_null->StartCapture();
}

void SoundThreadTest::TearDown()
{
    for (HANDLE file : m_files)
        CloseHandle(file);
    ReleaseSoundSystem();
    platform::VirtualClock::Disable();
}

HANDLE SoundThreadTest::OpenWav(const tools::WavContents& wav, uint32_t offset)
{
    const std::string path = m_dir.PathOf("sound" + std::to_string(m_files.size()) + ".wav");
    std::vector<uint8_t> bytes(offset, 0x5A);
    const std::vector<uint8_t> file_bytes = tools::WriteWav(wav);
    bytes.insert(bytes.end(), file_bytes.begin(), file_bytes.end());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const std::u16string wide = platform::Utf8ToUtf16(path);
    HANDLE file =
        CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    SetFilePointer(file, static_cast<LONG>(offset), nullptr, FILE_BEGIN);
    m_files.push_back(file);
    return file;
}

void SoundThreadTest::Settle(size_t threads)
{
    ASSERT_TRUE(platform::VirtualClock::WaitForParked(threads)) << "a sound thread did not go back to sleep";
}

void SoundThreadTest::Pass(uint32_t milliseconds, size_t threads)
{
    m_null->AdvanceMilliseconds(milliseconds);
    Settle(threads);
    platform::VirtualClock::Advance(milliseconds);
    Settle(threads);
}

std::vector<int16_t> QuietPattern(size_t frames, uint16_t channels, uint32_t seed)
{
    std::vector<int16_t> out(frames * channels);
    uint32_t state = seed * 2654435761u + 1;
    for (int16_t& s : out) {
        state = state * 1103515245u + 12345u;
        s = static_cast<int16_t>(static_cast<int>((state >> 16) % 6001) - 3000);
    }
    return out;
}

tools::WavContents StereoWav(const std::vector<int16_t>& samples)
{
    tools::WavContents wav;
    wav.samples = tools::Pcm16Bytes(samples);
    return wav;
}
