#include "GameProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Whether a process other than `leader` stands in the group and has not ended (a zombie has).
bool GroupHasOthers(pid_t leader)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos || name == std::to_string(leader))
            continue;
        const std::string stat = ReadWholeFile(entry.path() / "stat");
        // "pid (name) state ppid pgrp ...": the name may hold spaces and parentheses.
        const size_t close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream fields(stat.substr(close + 1));
        char state = 0;
        long parent = 0;
        long group = 0;
        if (fields >> state >> parent >> group && group == leader && state != 'Z')
            return true;
    }
    return false;
}

// Ends what the leader started in its group (an X server under xvfb-run): asked with a TERM
// first, so a server removes its lock file and socket on the way out; killed if it lingers a
// minute, which a busy machine's slow exit does not.
// Called while the ended leader stands as a zombie, so the group's id names no other group.
void EndTheRestOfTheGroup(pid_t leader)
{
    if (!GroupHasOthers(leader))
        return;
    ::kill(-leader, SIGTERM);
    for (const auto asked = std::chrono::steady_clock::now();
         GroupHasOthers(leader) && std::chrono::steady_clock::now() - asked < std::chrono::minutes(1);)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::kill(-leader, SIGKILL);
}

} // namespace

GameProcess::GameProcess(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment, const std::filesystem::path& output)
{
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const size_t equals = text.find('=');
        if (equals != std::string::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const std::string& change : environment) {
        const size_t equals = change.find('=');
        if (equals == std::string::npos)
            variables.erase(change);
        else
            variables[change.substr(0, equals)] = change.substr(equals + 1);
    }
    std::vector<std::string> texts;
    for (const auto& [name, value] : variables)
        texts.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& text : texts)
        envp.push_back(text.data());
    envp.push_back(nullptr);
    std::vector<std::string> argument_texts = arguments;
    std::vector<char*> argv;
    for (std::string& text : argument_texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    // The game's handlers are its own; what the test ignores or blocks is not passed on.
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const int failed = posix_spawnp(&m_pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        m_pid = -1;
}

GameProcess::~GameProcess()
{
    if (IsRunning())
        Kill();
}

bool GameProcess::Signal(int signal_number) const
{
    return m_pid > 0 && ::kill(m_pid, signal_number) == 0;
}

std::optional<int> GameProcess::WaitForEnd(std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (IsRunning()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return m_status;
}

bool GameProcess::IsRunning()
{
    if (m_pid <= 0 || m_status)
        return false;
    // Looked at without reaping: while the zombie stands, its id cannot name another group.
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
        info.si_pid == 0)
        return true;
    // Whatever it started in its group ends with it.
    EndTheRestOfTheGroup(m_pid);
    int status = 0;
    if (::waitpid(m_pid, &status, 0) == m_pid)
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    else
        m_status = -1; // not ours to wait for any more
    return false;
}

void GameProcess::Kill()
{
    if (m_pid <= 0 || m_status)
        return;
    ::kill(m_pid, SIGKILL);
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
    }
    EndTheRestOfTheGroup(m_pid);
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_status = 128 + SIGKILL;
}

std::vector<std::string> HeadlessGameEnvironment(const std::filesystem::path& home)
{
    return {"SDL_VIDEODRIVER=dummy",
            "SDL_AUDIODRIVER=dummy",
            "VESK_HEADLESS=1",
            "XDG_DATA_HOME=" + home.string(),
            "XDG_RUNTIME_DIR=" + (home / "run").string(),
            "VESK_FRAME_DUMP=" + (home / "frames").string()};
}

std::string ReadWholeFile(const std::filesystem::path& path)
{
    // Plain reads: a stream's buffer throws when a read fails, as it does on the /proc files of
    // a process that ended after the open.
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return {};
    std::string text;
    char block[4096];
    for (;;) {
        const ssize_t got = ::read(file, block, sizeof(block));
        if (got > 0) {
            text.append(block, static_cast<size_t>(got));
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            text.clear();
            break;
        }
    }
    ::close(file);
    return text;
}

void AppendToInputScript(const std::filesystem::path& path, const std::string& lines)
{
    const std::filesystem::path part = path.string() + ".part";
    {
        std::ofstream file(part, std::ios::trunc | std::ios::binary);
        file << ReadWholeFile(path) << lines;
    }
    std::filesystem::rename(part, path);
}
