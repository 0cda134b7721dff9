#include "platform/TestInput.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <unistd.h>

#include "platform/d3d/null/NullPresenter.h"
#include "platform/kernel/TimeApi.h"
#include "platform/user/InputInjection.h"
#include "platform/user/MessageApi.h"
#include "platform/user/WindowApi.h"

namespace platform {

namespace {

// Loops that poll the held state once a frame see a press this long, as they see a player's.
constexpr DWORD HOLD_MILLISECONDS = 100;
// ...and over at least this many counted turns, however long the game's frames take.
constexpr long HOLD_TURNS = 3;

std::atomic<bool (*)()> g_turn_gate{nullptr};

// A scripted release: due when both its time and its turn have come.
struct PendingRelease
{
    DWORD time;
    long turn;
    TestInputStep step;
};

bool ReadNumber(std::istringstream& in, long& value)
{
    std::string word;
    if (!(in >> word))
        return false;
    char* end = nullptr;
    value = std::strtol(word.c_str(), &end, 0);
    return end != word.c_str() && *end == '\0';
}

bool ReadInt(std::istringstream& in, int& value)
{
    long wide = 0;
    if (!ReadNumber(in, wide) || wide < -1000000 || wide > 1000000)
        return false;
    value = static_cast<int>(wide);
    return true;
}

bool ReadPoint(std::istringstream& in, POINT& at)
{
    int x = 0;
    int y = 0;
    if (!ReadInt(in, x) || !ReadInt(in, y))
        return false;
    at = POINT{x, y};
    return true;
}

bool ParseLine(std::string_view line, long previous_turn, std::vector<TestInputStep>& steps, std::string& why)
{
    std::istringstream in{std::string(line)};
    long turn = 0;
    std::string action;
    if (!ReadNumber(in, turn) || !(in >> action)) {
        why = "expected <turn> <action>";
        return false;
    }
    if (turn < previous_turn) {
        why = "turns must ascend";
        return false;
    }
    using Kind = TestInputStep::Kind;
    TestInputStep step;
    step.turn = turn;
    bool ok = true;
    if (action == "key" || action == "down" || action == "up") {
        ok = ReadInt(in, step.value);
        step.kind = action == "up" ? Kind::KeyUp : Kind::KeyDown;
        step.released = action == "key";
        // The buttons' virtual keys hold or let go of a button where the pointer last moved, so a
        // script can drag.
        if (ok && action != "key" && (step.value == VK_LBUTTON || step.value == VK_RBUTTON)) {
            step.kind = action == "up" ? Kind::ButtonUp : Kind::ButtonDown;
            step.value = step.value == VK_LBUTTON ? 1 : 3;
            const auto moved = std::find_if(steps.rbegin(), steps.rend(),
                                            [](const TestInputStep& s) { return s.kind == Kind::Move; });
            if (moved != steps.rend())
                step.at = moved->at;
        }
    } else if (action == "move") {
        ok = ReadPoint(in, step.at);
        step.kind = Kind::Move;
    } else if (action == "click" || action == "rclick") {
        ok = ReadPoint(in, step.at);
        step.kind = Kind::ButtonDown;
        step.value = action == "click" ? 1 : 3;
        step.released = true;
        steps.push_back(TestInputStep{turn, Kind::Move, 0, step.at, {}, false});
    } else if (action == "wheel") {
        ok = ReadInt(in, step.value);
        step.kind = Kind::Wheel;
    } else if (action == "text") {
        step.kind = Kind::Text;
        std::getline(in >> std::ws, step.text);
        ok = !step.text.empty();
    } else {
        why = "unknown action '" + action + "'";
        return false;
    }
    std::string extra;
    if (!ok || (step.kind != Kind::Text && (in >> extra))) {
        why = "bad arguments for '" + action + "'";
        return false;
    }
    steps.push_back(std::move(step));
    return true;
}

void Push(HWND window, const TestInputStep& step, const std::function<POINT(POINT)>& to_client)
{
    // SDL positions count from the native window's corner, above the menu bar.
    const auto native = [&](POINT logical) {
        POINT point = to_client(logical);
        ClientToScreen(window, &point);
        RECT frame{};
        GetWindowRect(window, &frame);
        return POINT{point.x - frame.left, point.y - frame.top};
    };
    using Kind = TestInputStep::Kind;
    switch (step.kind) {
    case Kind::KeyDown:
    case Kind::KeyUp:
        PushKey(window, step.value, step.kind == Kind::KeyDown);
        break;
    case Kind::Move: {
        const POINT at = native(step.at);
        PushMouseMove(window, at.x, at.y);
        break;
    }
    case Kind::ButtonDown:
    case Kind::ButtonUp: {
        const POINT at = native(step.at);
        PushMouseButton(window, step.value, step.kind == Kind::ButtonDown, at.x, at.y);
        break;
    }
    case Kind::Wheel:
        PushWheel(window, step.value);
        break;
    case Kind::Text:
        PushText(window, step.text.c_str());
        break;
    }
}

// The script file, read again whenever it has grown: a test may append lines while the game
// runs, as it sees the screens they answer. Only whole lines are read, so a line being written
// waits for its end; one whose turn has passed is due at once.
class ScriptFile
{
public:
    ScriptFile()
    {
        if (const char* path = std::getenv("VESK_INPUT_SCRIPT"); path != nullptr && *path != '\0')
            m_path = path;
    }

    bool Given() const { return !m_path.empty(); }
    const std::vector<TestInputStep>& Steps() const { return m_steps; }

    void Refresh()
    {
        std::error_code error;
        const uintmax_t size = std::filesystem::file_size(m_path, error);
        if (error) {
            if (!m_reported)
                std::fprintf(stderr, "input script %s: cannot be read\n", m_path.c_str());
            m_reported = true;
            return;
        }
        if (size == m_size || m_broken)
            return;
        std::ifstream file(m_path, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        std::string whole = text.str();
        // A last line without its end is taken once the file has stayed the same for a turn.
        const bool settled = size == m_looked_size;
        m_looked_size = size;
        if (!whole.empty() && whole.back() != '\n' && !settled)
            return;
        m_size = size;
        std::vector<TestInputStep> steps;
        std::string why;
        if (!ParseTestInputScript(whole, steps, why)) {
            std::fprintf(stderr, "input script %s: %s\n", m_path.c_str(), why.c_str());
            m_broken = true;
            return;
        }
        // Lines already read parse to the same steps: the ones taken stay taken.
        if (steps.size() >= m_steps.size())
            m_steps = std::move(steps);
    }

private:
    std::string m_path;
    uintmax_t m_size = 0;
    uintmax_t m_looked_size = 0;
    std::vector<TestInputStep> m_steps;
    bool m_reported = false;
    bool m_broken = false;
};

// The headless presenter when it dumps frames only as asked, else null.
NullPresenter* AskedPresenter()
{
    static const bool asked = std::getenv("VESK_FRAME_DUMP_ASKED") != nullptr;
    if (!asked)
        return nullptr;
    NullPresenter* presenter = GetNullPresenter();
    return presenter != nullptr && presenter->DumpsAsked() ? presenter : nullptr;
}

// The count of turns, written beside the script (<script>.turn) every few turns: a test that
// feeds the game as it sees its screens measures its waits in the game's turns, which go on while
// a screen waits for input and draws nothing.
class TurnReport
{
public:
    TurnReport()
    {
        if (const char* path = std::getenv("VESK_INPUT_SCRIPT"); path != nullptr && *path != '\0')
            m_fd =
                ::open((std::string(path) + ".turn").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    }
    ~TurnReport()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TurnReport(const TurnReport&) = delete;
    TurnReport& operator=(const TurnReport&) = delete;

    void Note(long turn) const
    {
        if (m_fd < 0 || turn % EVERY != 0)
            return;
        // One write of a fixed width at the start: a reader sees the old numbers or the new ones.
        // Frames dumped only when asked for are counted here, for the asker's waits.
        char text[48];
        int length = 0;
        if (NullPresenter* presenter = AskedPresenter())
            length = std::snprintf(text, sizeof(text), "%20ld %20llu\n", turn,
                                   static_cast<unsigned long long>(presenter->GetFrameCount()));
        else
            length = std::snprintf(text, sizeof(text), "%20ld\n", turn);
        [[maybe_unused]] const ssize_t written = ::pwrite(m_fd, text, static_cast<size_t>(length), 0);
    }

private:
    static constexpr long EVERY = 8;
    int m_fd = -1;
};

// Where the steps taken are told (VESK_INPUT_TAKEN), rewritten whole so a reader never sees half
// a line.
class TakenFile
{
public:
    TakenFile()
    {
        if (const char* path = std::getenv("VESK_INPUT_TAKEN"); path != nullptr && *path != '\0')
            m_path = path;
    }

    void Write(size_t taken, size_t held, long turn) const
    {
        if (m_path.empty())
            return;
        const std::string part = m_path + ".part";
        if (FILE* file = std::fopen(part.c_str(), "w")) {
            std::fprintf(file, "%zu %zu %ld\n", taken, held, turn);
            if (std::fclose(file) == 0)
                std::rename(part.c_str(), m_path.c_str());
        }
    }

private:
    std::string m_path;
};

} // namespace

bool ParseTestInputScript(std::string_view script, std::vector<TestInputStep>& steps, std::string& error)
{
    steps.clear();
    long previous_turn = 0;
    int number = 0;
    while (!script.empty()) {
        const size_t end = std::min(script.find('\n'), script.size());
        std::string_view line = script.substr(0, end);
        script.remove_prefix(std::min(end + 1, script.size()));
        ++number;
        if (const size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        if (line.find_first_not_of(" \t\r") == std::string_view::npos)
            continue;
        std::string why;
        if (!ParseLine(line, previous_turn, steps, why)) {
            error = "line " + std::to_string(number) + ": " + why;
            steps.clear();
            return false;
        }
        previous_turn = steps.back().turn;
    }
    return true;
}

void SetTestTurnGate(bool (*caught_up)())
{
    g_turn_gate = caught_up;
}

bool IsTestTurnCounted()
{
    bool (*const gate)() = g_turn_gate.load();
    return gate == nullptr || gate();
}

namespace {

// The mapping the game's pump gave, for the layer's own modal loops.
std::function<POINT(POINT)>& PumpMapping()
{
    static std::function<POINT(POINT)> s_mapping;
    return s_mapping;
}

} // namespace

bool PushDueTestInputInModalLoop(HWND window)
{
    if (!PumpMapping())
        return false;
    PushDueTestInput(window, PumpMapping());
    return true;
}

void PushDueTestInput(HWND window, const std::function<POINT(POINT)>& to_client)
{
    static ScriptFile s_file;
    static TurnReport s_report;
    static const TakenFile s_taken;
    static size_t s_next = 0;
    static long s_turn = 0;
    static std::vector<PendingRelease> s_releases;
    if (!PumpMapping() && s_file.Given())
        PumpMapping() = to_client;
    if (!s_file.Given())
        return;
    // An asked-for frame is answered whatever the gate says: it shows what is drawn now.
    if (NullPresenter* presenter = AskedPresenter())
        presenter->ServeAsk();
    if (!IsTestTurnCounted())
        return;
    s_file.Refresh();
    const std::vector<TestInputStep>& s_steps = s_file.Steps();
    ++s_turn;
    s_report.Note(s_turn);
    const DWORD now = timeGetTime();
    const size_t next_before = s_next;
    const size_t held_before = s_releases.size();
    for (auto release = s_releases.begin(); release != s_releases.end();) {
        if (static_cast<int32_t>(now - release->time) >= 0 && s_turn >= release->turn) {
            Push(window, release->step, to_client);
            release = s_releases.erase(release);
        } else {
            ++release;
        }
    }
    for (; s_next < s_steps.size() && s_steps[s_next].turn <= s_turn; ++s_next) {
        const TestInputStep& step = s_steps[s_next];
        Push(window, step, to_client);
        if (step.released) {
            TestInputStep release = step;
            release.kind = step.kind == TestInputStep::Kind::KeyDown ? TestInputStep::Kind::KeyUp
                                                                     : TestInputStep::Kind::ButtonUp;
            s_releases.push_back(PendingRelease{now + HOLD_MILLISECONDS, s_turn + HOLD_TURNS, release});
        }
    }
    if (s_next != next_before || s_releases.size() != held_before)
        s_taken.Write(s_next, s_releases.size(), s_turn);
}

} // namespace platform
