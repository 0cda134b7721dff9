// demo_sound_check WAV: checks the recording of a headless run of the demo (the null device's
// VESK_SOUND_DUMP) against what the story's sound asks for: the music fades in from -5000 to its
// volume, its loop repeats sample for sample, and the chime and the two voiced lines follow in
// turn, each voice starting as its line is given.
// demo_sound_check --music-room WAV VOLUME: checks the music room's run instead: its first listed
// track, then the next one, quieter after the slider's drag to VOLUME (the stored 0 to 100).
// Prints what it measured; exit 1 on a failure.
#include "demosounds/DemoSounds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double RATE = 44100.0;
int g_failures = 0;

void Check(bool ok, const char* what)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok)
        ++g_failures;
}

double Rms(const std::vector<int16_t>& left, size_t from, size_t count)
{
    double sum = 0;
    for (size_t i = from; i < from + count && i < left.size(); ++i)
        sum += static_cast<double>(left[i]) * left[i];
    return std::sqrt(sum / static_cast<double>(count));
}

double Decibels(double ratio)
{
    return 20.0 * std::log10(std::max(ratio, 1e-9));
}

// The strength of one frequency over a window (Goertzel), relative to full scale.
double ToneLevel(const std::vector<int16_t>& left, size_t from, size_t count, double hertz)
{
    const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hertz / RATE);
    double s1 = 0;
    double s2 = 0;
    for (size_t i = from; i < from + count && i < left.size(); ++i) {
        const double s0 = left[i] / 32768.0 + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - coefficient * s1 * s2)) / static_cast<double>(count);
}

// The first 20 ms window from which on the tone stands out, or SIZE_MAX.
size_t ToneStart(const std::vector<int16_t>& left, size_t from, double hertz)
{
    constexpr size_t WINDOW = 882;
    for (size_t at = from; at + WINDOW < left.size(); at += WINDOW / 2) {
        if (ToneLevel(left, at, WINDOW, hertz) > 0.005)
            return at;
    }
    return SIZE_MAX;
}

size_t ToneEnd(const std::vector<int16_t>& left, size_t from, double hertz)
{
    constexpr size_t WINDOW = 882;
    for (size_t at = from; at + WINDOW < left.size(); at += WINDOW / 2) {
        if (ToneLevel(left, at, WINDOW, hertz) < 0.001)
            return at;
    }
    return left.size();
}

// The first sample from which on the recording is not silent.
size_t FirstSound(const std::vector<int16_t>& left, size_t from)
{
    while (from < left.size() && left[from] == 0)
        ++from;
    return from;
}

void CheckStory(const std::vector<int16_t>& left)
{
    Check(left.size() > static_cast<size_t>(8 * RATE), "at least eight seconds were recorded");

    size_t onset = FirstSound(left, 0);
    // The story's voiced message may come before the music: the music follows a silence after it.
    const size_t story_voice = ToneStart(left, onset, tools::DemoSoundLayout::FIRST_VOICE_HERTZ);
    if (onset < left.size() && story_voice <= onset + static_cast<size_t>(0.05 * RATE)) {
        size_t silence = 0;
        size_t at = onset;
        for (; at < left.size() && silence < static_cast<size_t>(0.2 * RATE); ++at)
            silence = left[at] == 0 ? silence + 1 : 0;
        onset = FirstSound(left, at);
        std::printf("the story's voice at %.3f s\n", story_voice / RATE);
    }
    // The music's first sample is 0, its second is not.
    const size_t music_start = onset > 0 ? onset - 1 : 0;
    std::printf("music starts at %.3f s\n", music_start / RATE);

    // The fade in: the recording's level against the music's own, 100 ms at a time.
    const std::vector<int16_t> music = tools::DemoMusicSamples();
    // The music as it plays: the intro, then the loop again and again.
    std::vector<int16_t> music_left(static_cast<size_t>(4 * RATE));
    for (size_t i = 0, frame = 0; i < music_left.size(); ++i) {
        music_left[i] = music[2 * frame];
        if (++frame == music.size() / 2)
            frame = tools::DemoSoundLayout::MUSIC_INTRO_FRAMES;
    }
    const size_t tenth = static_cast<size_t>(RATE / 10);
    std::vector<double> gains;
    // The pause lasts three seconds: the fade (1.5 s) is over well before the chime, even when a
    // busy machine wakes the fade timer late.
    for (size_t w = 0; w < 28; ++w)
        gains.push_back(
            Decibels(Rms(left, music_start + w * tenth, tenth) / Rms(music_left, w * tenth, tenth)));
    std::printf("fade in, dB per 100 ms:");
    for (double g : gains)
        std::printf(" %.1f", g);
    std::printf("\n");
    // -5000 is -50 dB; the default music volume (65) under a fresh installation's master volume
    // (100) gives -1750, -17.5 dB.
    Check(std::abs(gains.front() - (-50.0)) < 3.0, "the fade in starts near -50 dB");
    Check(std::abs(gains.back() - (-17.5)) < 1.0, "the fade in ends at the music volume, -17.5 dB");
    // Its steps are the music channel's timer ticks, which a busy machine may hold back: the fade
    // is judged by its shape, not its pace. Rising, and through half a second or more of levels
    // between its ends (1.5 s when every tick comes on time; a jump passes none).
    bool rising = true;
    size_t between = 0;
    for (size_t w = 1; w < gains.size(); ++w) {
        rising = rising && gains[w] > gains[w - 1] - 0.3;
        between += gains[w] > gains.front() + 3.0 && gains[w] < gains.back() - 3.0 ? 1 : 0;
    }
    Check(rising && between >= 5, "the level rises step by step");

    // The chime after the two-second pause, then each voice in its turn.
    const size_t chime = ToneStart(left, music_start, tools::DemoSoundLayout::EFFECT_HERTZ);
    const size_t first = ToneStart(left, music_start, tools::DemoSoundLayout::FIRST_VOICE_HERTZ);
    const size_t first_end =
        first == SIZE_MAX ? SIZE_MAX : ToneEnd(left, first, tools::DemoSoundLayout::FIRST_VOICE_HERTZ);
    const size_t second = ToneStart(left, music_start, tools::DemoSoundLayout::SECOND_VOICE_HERTZ);
    std::printf("chime at %.3f s, first voice %.3f-%.3f s, second voice at %.3f s\n", chime / RATE,
                first / RATE, first_end / RATE, second / RATE);
    Check(chime != SIZE_MAX && first != SIZE_MAX && second != SIZE_MAX,
          "the chime and both voices are heard");
    if (chime != SIZE_MAX && first != SIZE_MAX && second != SIZE_MAX) {
        Check(chime > music_start + static_cast<size_t>(2.9 * RATE), "the chime follows the pause");
        const double voice_seconds = tools::DemoSoundLayout::VOICE_FRAMES / RATE;
        Check(first > chime && first - chime < static_cast<size_t>(0.8 * RATE),
              "the first voice starts with its line, once the chime has rung");
        Check(std::abs((first_end - first) / RATE - voice_seconds) < 0.1, "the first voice plays whole");
        // The tone detector's windows are 20 ms wide: the ends blur by as much.
        const auto blur = static_cast<size_t>(0.03 * RATE);
        Check(second + blur >= first_end && second < first_end + static_cast<size_t>(0.2 * RATE),
              "the second voice starts with its line, once the first has ended");
    }

    // The music's loop: once the story has spoken, every sample repeats one loop later, over
    // the two loops before the next scene's background voices may join in.
    const size_t loop = tools::DemoSoundLayout::MUSIC_LOOP_FRAMES;
    const size_t from =
        second == SIZE_MAX ? left.size() : second + tools::DemoSoundLayout::VOICE_FRAMES + tenth;
    // The exec scene lets the music play alone for seven seconds: three loops of it.
    const size_t until = std::min(left.size(), from + 3 * loop);
    size_t compared = 0;
    size_t differing = 0;
    for (size_t i = from; i + loop < until; ++i, ++compared)
        differing += left[i] != left[i + loop] ? 1 : 0;
    std::printf("loop seam: %zu samples compared one loop apart, %zu differ\n", compared, differing);
    Check(compared > static_cast<size_t>(RATE) && differing == 0, "the music loops sample for sample");
}

// The level of one track's tone per 100 ms window (33 and 39.2 cycles of the first two), in dB
// against the track played at full volume.
std::vector<double> TrackLevels(const std::vector<int16_t>& left, double hertz)
{
    constexpr size_t WINDOW = 4410;
    const double full = tools::DemoSoundLayout::TRACK_AMPLITUDE / 32768.0 / 2.0;
    std::vector<double> levels;
    for (size_t at = 0; at + WINDOW <= left.size(); at += WINDOW)
        levels.push_back(Decibels(ToneLevel(left, at, WINDOW, hertz) / full));
    return levels;
}

void CheckMusicRoom(const std::vector<int16_t>& left, int stored_volume)
{
    // The slider's floor is -50 dB; the run plays its music at -40 dB or louder.
    constexpr double HEARD = -45.0;
    const std::vector<double> theme = TrackLevels(left, tools::DemoSoundLayout::TRACK_HERTZ[0]);
    const std::vector<double> next = TrackLevels(left, tools::DemoSoundLayout::TRACK_HERTZ[1]);
    // A window holds one track when its tone stands out, well above the other's (each leaks into
    // the other's filter some 30 dB down).
    size_t from[2] = {SIZE_MAX, SIZE_MAX};
    size_t to[2] = {0, 0};
    for (size_t w = 0; w < theme.size(); ++w) {
        if (std::max(theme[w], next[w]) < HEARD || std::abs(theme[w] - next[w]) < 20.0)
            continue;
        const int t = theme[w] > next[w] ? 0 : 1;
        from[t] = std::min(from[t], w);
        to[t] = w;
    }
    Check(from[0] != SIZE_MAX, "the first listed track is heard");
    Check(from[1] != SIZE_MAX, "the next listed track is heard");
    if (from[0] == SIZE_MAX || from[1] == SIZE_MAX)
        return;
    std::printf("first track %.1f-%.1f s, next track %.1f-%.1f s\n", from[0] / 10.0, (to[0] + 1) / 10.0,
                from[1] / 10.0, (to[1] + 1) / 10.0);
    Check(to[0] > from[0] + 5 && to[0] < from[1] && to[1] > from[1] + 15,
          "stepping on replaces the first track");
    if (to[0] <= from[0] + 5 || to[1] <= from[1] + 15)
        return;
    // Levels, the edge windows left out: the first track over its stretch, the next one over its
    // first second (still at the room's volume) and its last 0.4 s before the stop (the dragged one).
    const auto median = [](const std::vector<double>& levels, size_t begin, size_t end) {
        std::vector<double> part(levels.begin() + static_cast<ptrdiff_t>(begin),
                                 levels.begin() + static_cast<ptrdiff_t>(end));
        std::nth_element(part.begin(), part.begin() + static_cast<ptrdiff_t>(part.size() / 2), part.end());
        return part[part.size() / 2];
    };
    const double room = median(theme, from[0] + 1, to[0]);
    const double before = median(next, from[1] + 1, std::min(to[1], from[1] + 11));
    const double after = median(next, to[1] - 4, to[1]);
    // The master volume stays at 100: the music's level runs from -50 dB at 0 to 0 dB at 100.
    const double expected = -50.0 * (1.0 - stored_volume / 100.0);
    std::printf("levels: first track %.1f dB, next track %.1f dB, after the drag %.1f dB (stored %d: "
                "%.1f dB)\n",
                room, before, after, stored_volume, expected);
    Check(std::abs(before - room) < 1.0, "both tracks play at the room's volume");
    Check(before - after > 6.0, "the slider's drag makes the music quieter");
    Check(std::abs(after - expected) < 1.5, "the music plays at the stored volume after the drag");
}

} // namespace

int main(int argc, char** argv)
{
    const bool music_room = argc == 4 && std::string(argv[1]) == "--music-room";
    if (argc != 2 && !music_room) {
        std::fprintf(stderr, "usage: %s WAV | --music-room WAV VOLUME\n", argv[0]);
        return 2;
    }
    const char* path = argv[music_room ? 2 : 1];
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    if (bytes.size() < 44) {
        std::printf("FAIL: %s holds no WAV file\n", path);
        return 1;
    }
    std::vector<int16_t> left((bytes.size() - 44) / 4);
    for (size_t i = 0; i < left.size(); ++i)
        left[i] = static_cast<int16_t>(bytes[44 + 4 * i] | bytes[45 + 4 * i] << 8);
    std::printf("recorded %.2f s\n", left.size() / RATE);
    if (music_room)
        CheckMusicRoom(left, std::atoi(argv[3]));
    else
        CheckStory(left);
    return g_failures == 0 ? 0 : 1;
}
