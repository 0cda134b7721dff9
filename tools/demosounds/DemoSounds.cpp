#include "demosounds/DemoSounds.h"

#include "arcpack/ArchiveWriter.h"
#include "oggwriter/OggWriter.h"
#include "wavwriter/WavWriter.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>

namespace tools {

namespace {

// A tone with a short attack and release, as a spoken or struck sound.
std::vector<int16_t> Tone(uint32_t frames, uint16_t channels, double hertz, double amplitude)
{
    std::vector<int16_t> out;
    out.reserve(static_cast<size_t>(frames) * channels);
    for (uint32_t i = 0; i < frames; ++i) {
        const double edge = std::min({1.0, i / 441.0, (frames - i) / 441.0});
        const double value = amplitude * edge * std::sin(2.0 * std::numbers::pi * hertz * i / 44100.0);
        for (uint16_t c = 0; c < channels; ++c)
            out.push_back(static_cast<int16_t>(std::lround(value)));
    }
    return out;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace

// A quiet chord whose loudness swells once per loop, so that the loop's seam is easy to find.
std::vector<int16_t> DemoMusicSamples()
{
    constexpr uint32_t FRAMES = DemoSoundLayout::MUSIC_INTRO_FRAMES + DemoSoundLayout::MUSIC_LOOP_FRAMES;
    std::vector<int16_t> out;
    out.reserve(FRAMES * 2);
    for (uint32_t i = 0; i < FRAMES; ++i) {
        const double t = i / 44100.0;
        const double swell = 0.6 + 0.4 * std::sin(2.0 * std::numbers::pi * t / 2.0);
        const double value =
            900.0 * swell *
            (std::sin(2.0 * std::numbers::pi * 220.0 * t) + std::sin(2.0 * std::numbers::pi * 277.2 * t) +
             std::sin(2.0 * std::numbers::pi * 329.6 * t));
        out.push_back(static_cast<int16_t>(std::lround(value)));
        out.push_back(static_cast<int16_t>(std::lround(value * 0.8)));
    }
    return out;
}

bool WriteDemoSoundArchives(const std::string& folder)
{
    WavContents music;
    music.samples = Pcm16Bytes(DemoMusicSamples());
    music.loop = WavLoop{.start = DemoSoundLayout::MUSIC_INTRO_FRAMES,
                         .end = DemoSoundLayout::MUSIC_INTRO_FRAMES + DemoSoundLayout::MUSIC_LOOP_FRAMES};
    WavContents effect;
    effect.samples =
        Pcm16Bytes(Tone(DemoSoundLayout::EFFECT_FRAMES, 2, DemoSoundLayout::EFFECT_HERTZ, 2500.0));
    OggContents first;
    first.samples = Tone(DemoSoundLayout::VOICE_FRAMES, 1, DemoSoundLayout::FIRST_VOICE_HERTZ, 2500.0);
    OggContents second;
    second.samples = Tone(DemoSoundLayout::VOICE_FRAMES, 1, DemoSoundLayout::SECOND_VOICE_HERTZ, 2500.0);

    WavContents pull;
    pull.samples = Pcm16Bytes(Tone(DemoSoundLayout::SLOT_PULL_FRAMES, 2, DemoSoundLayout::SLOT_PULL_HERTZ, 2500.0));
    WavContents result;
    result.samples =
        Pcm16Bytes(Tone(DemoSoundLayout::SLOT_RESULT_FRAMES, 2, DemoSoundLayout::SLOT_RESULT_HERTZ, 2500.0));
    std::vector<ArchiveEntry> musics = {{"BGM01.WAV", WriteWav(music)}, {"COMICAL.WAV", WriteWav(pull)}};
    const char* const tracks[] = {"THEME01.WAV", "_AKOGARE.WAV", "BUKIMI.WAV", "SWEET_EN.WAV"};
    for (size_t t = 0; t < 4; ++t) {
        WavContents track;
        track.samples = Pcm16Bytes(Tone(DemoSoundLayout::TRACK_FRAMES, 2, DemoSoundLayout::TRACK_HERTZ[t],
                                        DemoSoundLayout::TRACK_AMPLITUDE));
        if (t != 2)
            track.loop = WavLoop{.start = 0, .end = DemoSoundLayout::TRACK_FRAMES};
        musics.push_back({tracks[t], WriteWav(track)});
    }
    // A pause the story waits out by playing it (three seconds of silence on the H-effect channel).
    WavContents pause;
    pause.samples.assign(static_cast<size_t>(DemoSoundLayout::PAUSE_FRAMES) * 4, 0);
    WavContents ok;
    ok.samples = Pcm16Bytes(Tone(DemoSoundLayout::BLIP_FRAMES, 2, DemoSoundLayout::OK_HERTZ, 2500.0));
    WavContents cancel;
    cancel.samples = Pcm16Bytes(Tone(DemoSoundLayout::BLIP_FRAMES, 2, DemoSoundLayout::CANCEL_HERTZ, 2500.0));
    const std::vector<ArchiveEntry> effects = {{"SE01.WAV", WriteWav(effect)},
                                               {"PAUSE.WAV", WriteWav(pause)},
                                               {"SES_001.WAV", WriteWav(ok)},
                                               {"SES_002.WAV", WriteWav(cancel)},
                                               {"SLOT_WIN.WAV", WriteWav(result)}};
    // The first three letters are the speakers' codes: "r" and "o".
    const std::vector<ArchiveEntry> voices = {{"R01_0001.OGG", WriteOgg(first)},
                                              {"O01_0001.OGG", WriteOgg(second)}};
    return WriteFile(folder + "/music.arc", BuildArchive(musics, ArchiveEncoding::Plain)) &&
           WriteFile(folder + "/effect.arc", BuildArchive(effects, ArchiveEncoding::Plain)) &&
           WriteFile(folder + "/voice.arc", BuildArchive(voices, ArchiveEncoding::Plain));
}

} // namespace tools
