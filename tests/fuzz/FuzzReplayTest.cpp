// Replays every fuzz target's seed corpus (written at build time) and every input saved from a
// fuzzing run (fuzz/regressions/<target>/: crashes, hangs, out-of-memory cases) through the
// target, in the normal build. An input fails when it crashes or takes over a second of this
// thread's processor time (the targets run on the calling thread), or ten seconds asleep for a
// hang that sleeps: a loaded machine stretches the time a thread waits for a processor, not the
// work an input makes nor the time it sleeps.

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "FuzzTargets.h"
#include "support/ThreadTest.h"

// Names the target in test listings instead of dumping its bytes.
void PrintTo(const FuzzTarget& target, std::ostream* out)
{
    *out << target.name;
}

namespace {

namespace fs = std::filesystem;

#if defined(VESK_SANITIZE_BUILD)
constexpr auto HANG_LIMIT = std::chrono::seconds(5); // the sanitizers slow every input down
#else
constexpr auto HANG_LIMIT = std::chrono::seconds(1);
#endif
constexpr auto SLEEPING_HANG_LIMIT = std::chrono::seconds(10);

std::chrono::nanoseconds ThreadTime()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// The thread's time so far on a processor and waiting for one, from the scheduler's own count; a
// wall-clock stretch less this is time asleep. Zero where the kernel keeps no such count.
std::chrono::nanoseconds ThreadScheduledTime()
{
    std::ifstream stat("/proc/thread-self/schedstat");
    uint64_t on_cpu = 0;
    uint64_t waiting = 0;
    if (!(stat >> on_cpu >> waiting))
        return std::chrono::nanoseconds(0);
    return std::chrono::nanoseconds(on_cpu + waiting);
}

std::vector<fs::path> InputsOf(const char* target)
{
    std::vector<fs::path> inputs;
    for (const fs::path& folder : {fs::path(VESK_BINARY_DIR) / "fuzz-corpus" / target,
                                   fs::path(VESK_SOURCE_DIR) / "fuzz" / "regressions" / target}) {
        if (!fs::is_directory(folder))
            continue;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
                inputs.push_back(entry.path());
    }
    return inputs;
}

class FuzzReplayThreadTest : public ThreadTestOn<::testing::TestWithParam<FuzzTarget>>
{};

TEST_P(FuzzReplayThreadTest, EveryInputEndsWithinASecond)
{
    const FuzzTarget& target = GetParam();
    const std::vector<fs::path> inputs = InputsOf(target.name);
    ASSERT_FALSE(inputs.empty()) << "no seed corpus for " << target.name;
    for (const fs::path& path : inputs) {
        std::ifstream file(path, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                         std::istreambuf_iterator<char>());
        const auto start = std::chrono::steady_clock::now();
        const auto start_work = ThreadTime();
        const auto start_scheduled = ThreadScheduledTime();
        target.entry(bytes.data(), bytes.size());
        EXPECT_LT(ThreadTime() - start_work, HANG_LIMIT) << path;
        const auto asleep =
            (std::chrono::steady_clock::now() - start) - (ThreadScheduledTime() - start_scheduled);
        EXPECT_LT(asleep, SLEEPING_HANG_LIMIT) << path;
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplayThreadTest, ::testing::ValuesIn(FUZZ_TARGETS),
                         [](const ::testing::TestParamInfo<FuzzTarget>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
