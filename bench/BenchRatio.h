#pragma once
// A benchmark's figure against its baseline, both measured in this binary at the same moment: the
// subject's loop is timed, then the baseline runs for as long, so a loaded machine weighs on both
// alike and the ratio holds where the absolute times do not.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

namespace bench {

class RatioToBaseline
{
public:
    // Make it right before the subject's loop.
    explicit RatioToBaseline(benchmark::State& state)
        : m_state(state)
        , m_start(Clock::now())
    {}

    // Call right after the loop: stores "ratio_to_baseline", the subject's time per iteration over
    // one run of `baseline`.
    template <class Baseline>
    void Report(Baseline&& baseline)
    {
        const Clock::duration subject = Clock::now() - m_start;
        if (m_state.error_occurred() || m_state.iterations() == 0)
            return;
        int64_t runs = 0;
        const Clock::time_point start = Clock::now();
        Clock::duration spent{};
        while (runs < 3 || spent < subject) {
            baseline();
            ++runs;
            spent = Clock::now() - start;
        }
        const double subject_each = Seconds(subject) / static_cast<double>(m_state.iterations());
        const double baseline_each = Seconds(spent) / static_cast<double>(runs);
        m_state.counters["ratio_to_baseline"] = subject_each / baseline_each;
    }

private:
    using Clock = std::chrono::steady_clock;
    static double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

    benchmark::State& m_state;
    Clock::time_point m_start;
};

// The time of `first` over that of `second`, the two run in turns `rounds` times so that a change
// of load weighs on both alike; each runs once before, as first touches of fresh buffers are not
// what is measured.
template <class First, class Second>
double RatioInTurns(First&& first, Second&& second, int rounds)
{
    using Clock = std::chrono::steady_clock;
    first();
    second();
    Clock::duration spent_first{}, spent_second{};
    for (int round = 0; round < rounds; ++round) {
        Clock::time_point start = Clock::now();
        first();
        spent_first += Clock::now() - start;
        start = Clock::now();
        second();
        spent_second += Clock::now() - start;
    }
    return std::chrono::duration<double>(spent_first).count() /
           std::chrono::duration<double>(spent_second).count();
}

// Stores "floor_ratio": one run of `floor` (the least any way of doing the subject's job must do,
// such as its bytes moved as plain copies) over one run of `baseline`, the two run in turns. Call
// after the subject's loop; an aim below the floor cannot be met by the subject.
template <class Floor, class Baseline>
void ReportFloor(benchmark::State& state, Floor&& floor, Baseline&& baseline, int rounds = 100)
{
    if (state.error_occurred() || state.iterations() == 0)
        return;
    state.counters["floor_ratio"] = RatioInTurns(floor, baseline, rounds);
}

// Stores "ratio_to_floor": one run of the subject over one of its floor, the two run in turns, so
// that a change of load (a busy disk under a save's flushes) weighs on both alike. For a subject
// whose aim is written against its floor.
template <class Subject, class Floor>
void ReportRatioToFloor(benchmark::State& state, Subject&& subject, Floor&& floor, int rounds)
{
    if (state.error_occurred() || state.iterations() == 0)
        return;
    state.counters["ratio_to_floor"] = RatioInTurns(subject, floor, rounds);
}

// Stores a rate the aim is written in, per second of the subject's loop.
inline void ReportPerSecond(benchmark::State& state, double count)
{
    state.counters["per_second"] = benchmark::Counter(count, benchmark::Counter::kIsRate);
}

// The floor of anything that produces a frame: one 1920 x 1080 frame of 32-bit pixels copied.
class FrameCopy
{
public:
    static constexpr size_t BYTES = size_t{1920} * 1080 * 4;

    FrameCopy()
        : m_from(BYTES, 1)
        , m_to(BYTES)
    {}

    void operator()()
    {
        std::memcpy(m_to.data(), m_from.data(), BYTES);
        benchmark::DoNotOptimize(m_to.data());
        benchmark::ClobberMemory();
    }

private:
    std::vector<uint8_t> m_from;
    std::vector<uint8_t> m_to;
};

} // namespace bench
