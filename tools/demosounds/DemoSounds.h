#pragma once
// The demo game's sounds, made from nothing: music and effects as WAV entries, voices as Ogg
// Vorbis entries named by their speakers' character codes, each set packed into the archive the
// sound groups open ("music.arc", "effect.arc", "voice.arc"), entries stored uncompressed.
// Every sound has a tone of its own, so a recording of a run shows which one played when.

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

struct DemoSoundLayout
{
    static constexpr uint32_t MUSIC_INTRO_FRAMES = 22'050; // before the loop start
    static constexpr uint32_t MUSIC_LOOP_FRAMES = 88'200;  // the looped part
    static constexpr double EFFECT_HERTZ = 1200.0;
    static constexpr uint32_t EFFECT_FRAMES = 22'050;
    // The screens' OK and cancel sounds: short blips, the cancel one lower.
    static constexpr uint32_t BLIP_FRAMES = 4'410;
    static constexpr double OK_HERTZ = 1760.0;
    static constexpr double CANCEL_HERTZ = 660.0;
    static constexpr double FIRST_VOICE_HERTZ = 880.0;  // "r01_0001.ogg"
    static constexpr double SECOND_VOICE_HERTZ = 550.0; // "o01_0001.ogg"
    static constexpr uint32_t VOICE_FRAMES = 52'920;
    static constexpr uint32_t PAUSE_FRAMES = 132'300;
    // The slot machine: the pull's jingle on the music channel, the result's fanfare as an effect.
    static constexpr double SLOT_PULL_HERTZ = 990.0;
    static constexpr uint32_t SLOT_PULL_FRAMES = 22'050;
    static constexpr double SLOT_RESULT_HERTZ = 1320.0;
    static constexpr uint32_t SLOT_RESULT_FRAMES = 88'200;
    static constexpr uint32_t FADE_IN_MILLISECONDS = 1500; // the story's fade in: 100 steps of 15 ms
    // The music room's tracks: the first theme and one more track loop, one track of a second
    // ends; each has its tone (the first theme, the looped track, the ending one, the English song).
    static constexpr double TRACK_HERTZ[4] = {330.0, 392.0, 494.0, 587.0};
    static constexpr uint32_t TRACK_FRAMES = 44'100;
    static constexpr double TRACK_AMPLITUDE = 2500.0;
};

// The music entry's samples, stereo interleaved: the intro, then the looped part.
std::vector<int16_t> DemoMusicSamples();

// Writes the three archives into folder; false when one cannot be written.
bool WriteDemoSoundArchives(const std::string& folder);

} // namespace tools
