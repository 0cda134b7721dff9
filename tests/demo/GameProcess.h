#pragma once
// The built game started as a child of the test, in a process group of its own: the test ends it
// by its id and waits for it, so no run outlives its test. The destructor kills the group of a
// run that is still going. What the program started in its group (an X server under xvfb-run)
// is ended with a TERM first, so a server takes its lock file and socket with it.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

class GameProcess
{
public:
    // Runs `arguments` (the program first, found on PATH when it has no '/') in `folder`, with
    // the test's environment changed by `environment` ("NAME=value" sets, "NAME" alone removes),
    // standard output and error into `output`.
    GameProcess(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                const std::vector<std::string>& environment, const std::filesystem::path& output);
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    bool Signal(int signal_number) const;
    // The exit status, or 128 + the signal that ended it; none when it still runs after `limit`.
    std::optional<int> WaitForEnd(std::chrono::milliseconds limit);
    bool IsRunning();
    // Kills the program, ends the rest of its group and waits for both.
    void Kill();

private:
    pid_t m_pid = -1;
    std::optional<int> m_status;
};

// The headless settings of a demo run in `home` (its "run" and "frames" folders): dummy SDL
// drivers, the home as data and runtime folder, frames dumped.
std::vector<std::string> HeadlessGameEnvironment(const std::filesystem::path& home);

// A game in a real window loads the system's X and D-Bus libraries, which keep allocations past
// the exit; under the leak checker it would end with status 1 for them. The headless runs keep
// the check on the game's own memory.
inline constexpr const char* WINDOWED_LEAK_CHECK = "ASAN_OPTIONS=detect_leaks=0";

// The whole text of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

// Adds `lines` at the end of an input script the game reads as it runs. The file is replaced
// whole by a rename, so the game never reads a line half written by a test its machine starved.
void AppendToInputScript(const std::filesystem::path& path, const std::string& lines);
