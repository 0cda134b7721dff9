// demo_sound_check WAV: checks the recording of a headless run of the demo (the null device's
// VESK_SOUND_DUMP) against what the story's sound asks for: the music fades in from -5000 to its
// volume, its loop repeats sample for sample, and the chime and the two voiced lines follow in
// turn, each voice starting as its line is given. Prints what it measured; exit 1 on a failure.
#include "demosounds/DemoSounds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <numbers>
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

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WAV\n", argv[0]);
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    if (bytes.size() < 44) {
        std::printf("FAIL: %s holds no WAV file\n", argv[1]);
        return 1;
    }
    std::vector<int16_t> left((bytes.size() - 44) / 4);
    for (size_t i = 0; i < left.size(); ++i)
        left[i] = static_cast<int16_t>(bytes[44 + 4 * i] | bytes[45 + 4 * i] << 8);
    std::printf("recorded %.2f s\n", left.size() / RATE);
    Check(left.size() > static_cast<size_t>(8 * RATE), "at least eight seconds were recorded");

    size_t onset = 0;
    while (onset < left.size() && left[onset] == 0)
        ++onset;
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
    bool rising = true;
    for (size_t w = 1; w < gains.size(); ++w)
        rising = rising && gains[w] > gains[w - 1] - 0.3;
    Check(rising && gains[8] > gains[0] + 8.0 && gains[8] < gains.back() - 8.0,
          "the level rises step by step");

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
    return g_failures == 0 ? 0 : 1;
}
