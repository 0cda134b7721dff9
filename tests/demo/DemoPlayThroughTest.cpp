// The demo played as a player plays it: a virtual X server of its own (Xvfb), the game on SDL's
// x11 driver in full screen, pointer and keys delivered through the server (XTest, by xdotool),
// and every step driven by the frames read back from the server (xwd): each waits, however long
// the machine takes, until its screen shows, and is then checked for what must and must not be
// on it. One route in phases: the story to a quick save, Alt+F4 and Continue on a second start;
// the choice and the exec scene's question; the town's day through the area screens; the town,
// its sub map and door; the name entry, the notices, the train trip and the movies to the ending
// and the special title, where Alt+F4 ends the game with status 0; a last start shows the special
// title again and its back item the title. The extras are the title's, not the story's: their
// own tests open them there. Steps whose frames a reader may want to see
// are kept as build/demo_playthrough_<step>.png. Skipped where no X server can start.

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <sys/types.h>

#include "DemoOffRoute.h"
#include "DemoRun.h"
#include "DemoStoryRoute.h"
#include "GameProcess.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"

namespace {

namespace fs = std::filesystem;
using Frame = platform::PngPicture;
using namespace std::chrono_literals;

// Also the /proc files of a server that may end while they are read.
std::string ReadText(const fs::path& path)
{
    return ReadWholeFile(path);
}

uint32_t Be32(const std::string& bytes, size_t at)
{
    return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
           uint32_t(uint8_t(bytes[at + 2])) << 8 | uint8_t(bytes[at + 3]);
}

// A 24-bit TrueColor XWD dump (ZPixmap, 32 bits a pixel, either byte order) as a picture.
std::optional<Frame> DecodeXwd(const std::string& bytes)
{
    if (bytes.size() < 100 || Be32(bytes, 4) != 7 || Be32(bytes, 8) != 2 || Be32(bytes, 44) != 32)
        return std::nullopt;
    Frame frame{int32_t(Be32(bytes, 16)), int32_t(Be32(bytes, 20)), {}};
    const bool msb_first = Be32(bytes, 28) != 0;
    const size_t line = Be32(bytes, 48);
    const size_t data = Be32(bytes, 0) + size_t(Be32(bytes, 76)) * 12;
    if (data + line * frame.height > bytes.size())
        return std::nullopt;
    frame.pixels.resize(size_t(frame.width) * frame.height);
    for (int32_t y = 0; y < frame.height; ++y) {
        for (int32_t x = 0; x < frame.width; ++x) {
            const size_t at = data + y * line + size_t(x) * 4;
            const uint32_t pixel = msb_first ? Be32(bytes, at) : __builtin_bswap32(Be32(bytes, at));
            frame.pixels[size_t(y) * frame.width + x] = 0xFF000000u | (pixel & 0xFFFFFFu);
        }
    }
    return frame;
}

bool Installed(const char* tool)
{
    return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

// One X server for the test, on the first free display, and the game run under it.
class XPlay final : public DemoPlayer
{
public:
    explicit XPlay(const HeadlessDemoHome& home)
        : DemoPlayer(home, "demo_playthrough_")
        , m_home(home)
    {}
    ~XPlay() override
    {
        // A game still running (its status not written) and the server, by their own ids.
        if (!fs::exists(m_home.Path() / "status"))
            Kill("game.pid");
        WaitForTheShell();
        EndServer();
    }

    bool StartServer()
    {
        const std::string home = m_home.Path().string();
        // -noreset: a server resets as its last client leaves (a grab, a click), and a client
        // that connects meanwhile is closed with the others; the game's start then finds no x11.
        std::system(("Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>'" + home +
                     "/display' 2>'" + home + "/xvfb.txt' & echo $! >'" + home + "/xvfb.pid'")
                        .c_str());
        // Its display once it listens, however long a busy machine takes; none if it ends first.
        const auto started = std::chrono::steady_clock::now();
        while (m_display.empty() && std::chrono::steady_clock::now() - started < 5min) {
            std::this_thread::sleep_for(100ms);
            const std::string text = ReadText(m_home.Path() / "display");
            if (!text.empty() && text.back() == '\n')
                m_display = ":" + text.substr(0, text.size() - 1);
            else if (const std::string id = ReadText(m_home.Path() / "xvfb.pid");
                     !id.empty() && id.back() == '\n' && !Running(static_cast<pid_t>(std::stol(id))))
                break;
        }
        return !m_display.empty() && Grab().has_value();
    }

    // Starts the game in the background, windowed for real (not headless as the suite's own
    // process is); its exit status lands in "status".
    void StartGame() override
    {
        const std::string home = m_home.Path().string();
        fs::remove(m_home.Path() / "status");
        fs::remove(m_home.Path() / "game.pid");
        std::system(("cd '" + (m_home.Build() / "demo").string() +
                     "' && (env -u VESK_HEADLESS -u VESK_FRAME_DUMP DISPLAY=" + m_display +
                     " SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy " + std::string(WINDOWED_LEAK_CHECK) + " " +
                     environment + " XDG_DATA_HOME='" + home + "' XDG_RUNTIME_DIR='" + home +
                     "/run' ./vesk >>'" + home + "/out.txt' 2>&1 & echo $! >'" + home +
                     "/game.pid'; wait $!; echo $? >'" + home + "/status') >/dev/null 2>&1 &")
                        .c_str());
        // Its id known before the test goes on, so an early end can kill it and wait for its shell.
        for (const auto started = std::chrono::steady_clock::now();
             ReadText(m_home.Path() / "game.pid").find('\n') == std::string::npos &&
             std::chrono::steady_clock::now() - started < 5min;)
            std::this_thread::sleep_for(20ms);
    }

    std::optional<Frame> Grab() override
    {
        m_number = NewestFrame();
        const fs::path file = m_home.Path() / "screen.xwd";
        if (std::system(
                ("xwd -root -silent -display " + m_display + " -out '" + file.string() + "' 2>/dev/null")
                    .c_str()) != 0)
            return std::nullopt;
        return DecodeXwd(ReadText(file));
    }

    void Xdotool(const std::string& arguments) const
    {
        std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str());
    }

    void Click(int x, int y, int button = 1) override
    {
        const std::string b = std::to_string(button);
        Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.3 mousedown " + b +
                " sleep 0.12 mouseup " + b);
    }

    // The game's exit status once it has ended, waiting for it.
    std::optional<int> ExitStatus(std::chrono::seconds limit = 60s) override
    {
        for (const auto end = std::chrono::steady_clock::now() + limit;;) {
            if (const std::string text = ReadText(m_home.Path() / "status"); !text.empty())
                return std::stoi(text);
            if (std::chrono::steady_clock::now() >= end)
                return std::nullopt;
            std::this_thread::sleep_for(200ms);
        }
    }

    uint64_t FrameNumber() const override { return m_number; }
    // The game in the window turns and draws as it runs: both counted by the clock.
    uint64_t Turn() const override { return Elapsed() * GAME_TPS / 1000; }
    uint64_t NewestFrame() const override { return Elapsed() * GAME_FPS / 1000; }
    bool Ended() override { return !ReadText(m_home.Path() / "status").empty(); }

    void Move(int x, int y) override { Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y)); }
    void Key(int virtual_key) override
    {
        // The few keys the routes press, by their X names.
        const char* name = virtual_key == 0x0D ? "Return" : virtual_key == 0x28 ? "Down" : "Escape";
        Xdotool(std::string("key ") + name);
    }
    void Type(const std::string& text) override { Xdotool("type --delay 200 " + text); }
    void HoldUp() override { Xdotool("keydown Up sleep 1 keyup Up"); }
    void Close() override { Xdotool("key alt+F4"); }

    const std::string& Display() const { return m_display; }
    // More of the game's environment (NAME=VALUE, space-separated), for the next start.
    std::string environment;

private:
    uint64_t Elapsed() const
    {
        return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - m_started)
                                         .count());
    }

    void Kill(const char* pid_file) const
    {
        if (const std::string id = ReadText(m_home.Path() / pid_file); !id.empty())
            std::system(("kill -9 " + id + " 2>/dev/null").c_str());
    }

    // The shell that started the game writes its status once the game has ended: a write after
    // the home was emptied would keep the home. Its whole line is its last act.
    void WaitForTheShell() const
    {
        if (!fs::exists(m_home.Path() / "game.pid"))
            return;
        for (const auto started = std::chrono::steady_clock::now();
             std::chrono::steady_clock::now() - started < 5min;) {
            const std::string status = ReadText(m_home.Path() / "status");
            if (!status.empty() && status.back() == '\n')
                return;
            std::this_thread::sleep_for(20ms);
        }
    }

    // Asked to end, the server removes its lock file and socket; one that lingers is killed, and
    // what it leaves of its own (the lock names its id) is removed.
    void EndServer() const
    {
        const std::string id = ReadText(m_home.Path() / "xvfb.pid");
        if (id.empty())
            return;
        const pid_t pid = static_cast<pid_t>(std::stol(id));
        ::kill(pid, SIGTERM);
        for (const auto asked = std::chrono::steady_clock::now();
             Running(pid) && std::chrono::steady_clock::now() - asked < 1min;)
            std::this_thread::sleep_for(20ms);
        ::kill(pid, SIGKILL);
        if (m_display.empty())
            return;
        const std::string number = m_display.substr(1);
        const fs::path lock = "/tmp/.X" + number + "-lock";
        if (const std::string owner = ReadText(lock);
            owner.find_first_not_of(' ') != std::string::npos && std::stol(owner) == static_cast<long>(pid)) {
            fs::remove(lock);
            fs::remove("/tmp/.X11-unix/X" + number);
        }
    }

    // Ended or a zombie waiting for its reaper: the server was started in the background of a
    // shell that has gone, so the test cannot wait for it.
    static bool Running(pid_t pid)
    {
        const std::string stat = ReadText("/proc/" + std::to_string(pid) + "/stat");
        const size_t close = stat.rfind(')');
        return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
    }

    const HeadlessDemoHome& m_home;
    std::string m_display;
    const std::chrono::steady_clock::time_point m_started = std::chrono::steady_clock::now();
    uint64_t m_number = 0;
};

constexpr const char* NO_WINDOW = "no X server for the play-through: scripts/install-deps.sh installs xvfb, "
                                  "xdotool and x11-apps";

// Each test's own X server, started before the test (which is skipped where none can run here),
// and ended with its game after it.
class DemoPlayThroughTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!Installed("Xvfb") || !Installed("xdotool") || !Installed("xwd") || !m_x.StartServer())
            GTEST_SKIP() << NO_WINDOW << ReadText(m_home.Path() / "xvfb.txt");
    }

    // A new player's game in the window: full screen so the game's pixels are the server's (and
    // so no menu bar), the exit question off: Alt+F4 ends the game.
    void StartANewPlayersGame()
    {
        ASSERT_TRUE(fs::exists(m_home.Build() / "demo/vesk")) << "build the demo target first";
        setenv("DISPLAY", m_x.Display().c_str(), 1); // for xdotool
        m_home.EditConfig([](CXMLDocument& config) {
            config.SetInt("/Config/Demo/SkipTitle", 0);
            config.SetInt("/Config/AutoRead", 0);
            config.SetInt("/Screen/Status", 2);
        });
        m_x.StartGame();
    }

    const HeadlessDemoHome m_home;
    XPlay m_x{m_home};
};

TEST_F(DemoPlayThroughTest, APlayerPlaysTheRouteInARealWindow)
{
    ASSERT_NO_FATAL_FAILURE(StartANewPlayersGame());
    ASSERT_NO_FATAL_FAILURE(PlayToContinue(m_x));
    ASSERT_NO_FATAL_FAILURE(PlayTheChoice(m_x));
    ASSERT_NO_FATAL_FAILURE(PlayTheDay(m_x));
    ASSERT_NO_FATAL_FAILURE(PlayTheTown(m_x));
    ASSERT_NO_FATAL_FAILURE(PlayToTheEnd(m_x));
    ASSERT_NO_FATAL_FAILURE(PlayTheNextStart(m_x));
}

// The game starts while the player grabs the screen and clicks: short clients, each leaving the
// server with none. One that connects as another leaves is taken all the same (a server that
// resets as its last client leaves closed it, and the game's start found no x11).
TEST_F(DemoPlayThroughTest, TheServerTakesAClientThatConnectsAsAnotherLeaves)
{
    // Two shells, each connecting 250 clients one after the other; each answers the screen's size.
    const fs::path answers = m_home.Path() / "answers";
    const std::string clients = "for i in $(seq 250); do DISPLAY=" + m_x.Display() +
                                " xdotool getdisplaygeometry >>'" + answers.string() + "' 2>/dev/null; done";
    std::system(("(" + clients + ") & (" + clients + "); wait").c_str());
    const std::string text = ReadText(answers);
    size_t answered = 0;
    for (size_t at = text.find("1920 1080\n"); at != std::string::npos; at = text.find("1920 1080\n", at + 1))
        ++answered;
    EXPECT_EQ(answered, 500u) << "clients answered, of 500";
}

// Off the route in a real window: a save into the first slot, Alt+F4, and the slot loaded on the
// next start.
TEST_F(DemoPlayThroughTest, ASaveInTheFirstSlotIsLoadedOnTheNextStartInARealWindow)
{
    ASSERT_NO_FATAL_FAILURE(StartANewPlayersGame());
    SaveInTheFirstSlotAndLoadItOnTheNextStart(m_x);
}

// The side menu's Return to title in a real window (full screen has no menu bar).
TEST_F(DemoPlayThroughTest, TheSideMenuReturnsToTheTitleInARealWindow)
{
    ASSERT_NO_FATAL_FAILURE(StartANewPlayersGame());
    ReturnToTheTitleBothWays(m_x, false);
}

// The boxes about damaged save files take their OK click at the load screen.
TEST_F(DemoPlayThroughTest, DamagedSaveBoxesCloseOnAClickInARealWindow)
{
    ASSERT_NO_FATAL_FAILURE(StartANewPlayersGame());
    DamagedSaveBoxesCloseOnAClick(m_x);
}

// The game's counts of its window thread's rests (all their endings) and of the pictures it
// showed, from the newest line it wrote with VESK_IDLE_STATS set; none before the first.
struct RestCounts
{
    uint64_t rests = 0;
    uint64_t presents = 0;
};

std::optional<RestCounts> NewestRestCounts(const fs::path& output)
{
    const std::string text = ReadText(output);
    const size_t line = text.rfind("idle-stats:");
    if (line == std::string::npos || text.find('\n', line) == std::string::npos)
        return std::nullopt;
    std::istringstream fields(text.substr(line, text.find('\n', line) - line));
    RestCounts counts;
    for (std::string field; fields >> field;) {
        const size_t equals = field.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string name = field.substr(0, equals);
        const uint64_t value = std::stoull(field.substr(equals + 1));
        if (name == "pending" || name == "input" || name == "posted" || name == "frame" || name == "timeout")
            counts.rests += value;
        else if (name == "presents")
            counts.presents = value;
    }
    return counts;
}

// The message's click prompt (a frame every 150 ms, drawn on the task thread) in a real window:
// the window thread rests once a frame. It rested twice a frame: the end of an SDL poll left the
// frame's wake queued for the next rest, and the present's second wake ended that rest.
TEST_F(DemoPlayThroughTest, TheClickPromptCostsTheWindowThreadOneRestAFrame)
{
    ASSERT_TRUE(fs::exists(m_home.Build() / "demo/vesk")) << "build the demo target first";
    m_home.EditConfig([](CXMLDocument& config) {
        config.SetInt("/Config/AutoRead", 0);
        config.SetString("/GameFile/Script/StartUp", "story_wait_alone.mes");
    });
    m_x.environment = "VESK_IDLE_STATS=1";
    m_x.StartGame();
    const fs::path output = m_home.Path() / "out.txt";
    // Counts once the prompt has shown `frames` more pictures than `from` (a bound of minutes).
    const auto counts_after = [&](uint64_t from, uint64_t frames) -> std::optional<RestCounts> {
        for (const auto started = std::chrono::steady_clock::now();
             std::chrono::steady_clock::now() - started < 2min && !m_x.Ended();) {
            if (const std::optional<RestCounts> counts = NewestRestCounts(output);
                counts && counts->presents >= from + frames)
                return counts;
            std::this_thread::sleep_for(200ms);
        }
        return std::nullopt;
    };
    // The message typed and its prompt up: pictures come on at the prompt's pace.
    std::optional<RestCounts> start = counts_after(0, 40);
    ASSERT_TRUE(start.has_value()) << m_x.Output();
    start = counts_after(start->presents, 1);
    ASSERT_TRUE(start.has_value()) << m_x.Output();
    const std::optional<RestCounts> end = counts_after(start->presents, 30);
    ASSERT_TRUE(end.has_value()) << m_x.Output();
    const uint64_t rests = end->rests - start->rests;
    const uint64_t presents = end->presents - start->presents;
    // A rest at the long bound, or one a native event ended, may come between frames.
    EXPECT_LE(rests * 4, presents * 5) << rests << " rests for " << presents << " pictures";
}

// The game's share of a core and its threads' wakes (context switches: each wake of a sleeping
// thread is one) over a stretch of real time, read from /proc.
class ProcessRest
{
public:
    explicit ProcessRest(pid_t pid)
        : m_pid(pid)
    {}

    // Prints the figures of `seconds` of the game's rest on `label`'s screen, after `settle`
    // seconds for its fades.
    void Measure(const std::string& label, int settle = 3)
    {
        static const int seconds = [] {
            const char* value = std::getenv("VESK_REST_SECONDS");
            return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : 10;
        }();
        std::this_thread::sleep_for(std::chrono::seconds(settle));
        const std::map<std::string, Thread> before = Threads();
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        const std::map<std::string, Thread> after = Threads();
        double cpu = 0;
        double wakes = 0;
        std::ostringstream threads;
        for (const auto& [id, end] : after) {
            const auto start = before.find(id);
            if (start == before.end())
                continue;
            const double thread_wakes = double(end.switches - start->second.switches) / seconds;
            const double thread_cpu = double(end.ns - start->second.ns) / 1e7 / seconds;
            cpu += thread_cpu;
            wakes += thread_wakes;
            if (thread_wakes >= 1 || id == std::to_string(m_pid))
                threads << "    thread " << id << (id == std::to_string(m_pid) ? " (main)" : " " + end.name) << ": "
                        << thread_wakes << " wakes/s, " << thread_cpu << " % of a core\n";
        }
        double load = 0;
        if (FILE* file = std::fopen("/proc/loadavg", "r")) {
            if (std::fscanf(file, "%lf", &load) != 1)
                load = 0;
            std::fclose(file);
        }
        std::printf("rest: %-44s %6.2f %% of a core  %6.1f wakes/s  (load %.1f)\n%s", label.c_str(), cpu,
                    wakes, load, threads.str().c_str());
        std::fflush(stdout);
    }

private:
    struct Thread
    {
        uint64_t ns = 0;
        uint64_t switches = 0;
        std::string name;
    };
    std::map<std::string, Thread> Threads() const
    {
        std::map<std::string, Thread> threads;
        const fs::path tasks = "/proc/" + std::to_string(m_pid) + "/task";
        std::error_code error;
        for (const auto& task : fs::directory_iterator(tasks, error)) {
            Thread thread;
            std::istringstream(ReadText(task.path() / "schedstat")) >> thread.ns;
            std::istringstream(ReadText(task.path() / "comm")) >> thread.name;
            std::istringstream status(ReadText(task.path() / "status"));
            for (std::string line; std::getline(status, line);)
                if (line.find("ctxt_switches:") != std::string::npos)
                    thread.switches += std::stoull(line.substr(line.find(':') + 1));
            threads[task.path().filename().string()] = thread;
        }
        return threads;
    }

    pid_t m_pid;
};

// Not a check, a measure (scripts/measure-idle.sh runs it): the game at rest on the screens a
// player opens over the town map and the area screens, in a real window, as the route reaches
// them with the music playing on.
TEST_F(DemoPlayThroughTest, DISABLED_MeasuresTheRestOverTheTown)
{
    ASSERT_NO_FATAL_FAILURE(StartANewPlayersGame());
    ASSERT_NO_FATAL_FAILURE(PlayToContinue(m_x));
    ProcessRest rest(static_cast<pid_t>(std::stol(ReadText(m_home.Path() / "game.pid"))));
    const auto pause = [&](const char* name) {
        if (std::getenv("VESK_REST_PAUSE") == nullptr)
            return;
        std::printf("paused at %s on display %s, game %s; touch %s/go to go on\n", name,
                    m_x.Display().c_str(), ReadText(m_home.Path() / "game.pid").c_str(),
                    m_home.Path().c_str());
        std::fflush(stdout);
        while (!fs::exists(m_home.Path() / "go"))
            std::this_thread::sleep_for(200ms);
        fs::remove(m_home.Path() / "go");
    };
    // Each screen measured once it settled, its frame kept (build/demo_playthrough_rest_*.png).
    const auto measure = [&](const char* name, const char* label) {
        m_x.Move(700, 1000); // off the controls: no help line or hover changes
        m_x.Settle();
        if (const auto frame = m_x.Grab())
            m_x.Keep(*frame, std::string("rest_") + name);
        rest.Measure(label);
        pause(name);
    };
    const auto act = [&](int x, int y) {
        m_x.Click(x, y);
        m_x.Settle();
    };
    const auto side_menu = [&](int y) {
        m_x.Move(1900, 540);
        m_x.Settle();
        act(1768, y);
    };
    ASSERT_NO_FATAL_FAILURE(PlayTheChoice(m_x));
    ASSERT_NO_FATAL_FAILURE(PlayTheDayToTheCharacterArea(m_x));
    measure("character_area", "character-area screen");
    ASSERT_NO_FATAL_FAILURE(PlayTheDayFromTheCharacterArea(m_x));
    ASSERT_NO_FATAL_FAILURE(PlayTheTownAndItsSubMap(m_x));
    measure("town", "town map");
    side_menu(195);
    measure("save", "save screen over the town");
    act(400, 175); // a new save: the question with its note field
    measure("save_note", "save note over the town");
    act(1089, 580); // no
    // Each screen closed with Escape: a button still held as the town comes back would steer its
    // leader away from the door.
    const auto escape = [&] {
        m_x.Key(0x1B);
        m_x.Settle();
    };
    escape();
    side_menu(488);
    measure("backlog", "backlog over the town");
    escape();
    side_menu(390);
    measure("settings", "settings over the town");
    act(1799, 580); // the sound page
    measure("sound_settings", "sound settings over the town");
    escape();
    m_x.Move(900, 700);
    m_x.Settle();
    ASSERT_NO_FATAL_FAILURE(WalkToTheDoor(m_x));
    measure("door", "door message");
}

} // namespace
