#include "DemoPlayer.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <utility>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "DemoRun.h"
#include "GameProcess.h"

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// A game that draws nothing new for this long hangs, however busy the machine: the net under a
// wait whose own limit counts the frames that do not come.
constexpr auto HANG = 120s;

} // namespace

DemoPlayer::DemoPlayer(const HeadlessDemoHome& home, std::string keep_prefix)
    : m_home(home)
    , m_keep_prefix(std::move(keep_prefix))
{}

std::string DemoPlayer::Output() const
{
    return ReadWholeFile(m_home.Path() / "out.txt");
}

DemoPlayer::~DemoPlayer()
{
    if (!m_failure.empty() && ::testing::Test::HasFailure())
        std::fprintf(stderr, "The last wait that did not see its screen: %s\n", m_failure.c_str());
}

std::string DemoPlayer::Account()
{
    std::string account;
    if (const std::optional<int> status = ExitStatus(0s))
        account = "the game ended with status " + std::to_string(*status);
    else
        account = Ended() ? "the game ended" : "the game runs";
    account += m_kept.empty() ? "; no frame kept" : "; its last frame looked at: " + m_kept;
    const std::string output = Output();
    account += output.empty() ? "; it printed nothing" : "; its output:\n" + output;
    return account;
}

void DemoPlayer::Failed(const char* what, std::chrono::seconds limit)
{
    Note(std::string(what) + " in " + std::to_string(limit.count()) + " s of the game's time");
}

void DemoPlayer::Missed(const Frame& shown, const char* what)
{
    m_stuck = shown;
    Note(what);
}

void DemoPlayer::Note(const std::string& what)
{
    if (m_stuck) {
        Keep(*m_stuck, "stuck");
        m_kept = m_keep_prefix + "stuck.png";
    }
    m_failure = what + "; " + Account();
}

std::optional<DemoPlayer::Frame> DemoPlayer::WaitFor(const std::function<bool(const Frame&)>& shown,
                                                     std::chrono::seconds limit)
{
    std::optional<Frame> frame = Wait(shown, limit);
    if (!frame)
        Failed("a wait saw no screen it looked for", limit);
    return frame;
}

std::optional<DemoPlayer::Frame> DemoPlayer::Wait(const std::function<bool(const Frame&)>& shown,
                                                  std::chrono::seconds limit)
{
    m_stuck.reset();
    const uint64_t frames = static_cast<uint64_t>(limit.count()) * GAME_FPS;
    const uint64_t turns = static_cast<uint64_t>(limit.count()) * GAME_TPS;
    const uint64_t first_turn = Turn();
    // The frames count from the wait's start: a frame looked at first may be one grabbed before an
    // act that drew many more, and those would spend the wait's limit before it began.
    const uint64_t newest_at_start = NewestFrame();
    std::optional<uint64_t> first_frame;
    uint64_t looked_at = 0;
    uint64_t turn = first_turn;
    uint64_t looked_again = first_turn;
    std::optional<Frame> last;
    auto moved_at = std::chrono::steady_clock::now();
    for (;;) {
        // Asked before the frames: a game that ended has dumped its last one.
        const bool ended = Ended();
        std::optional<Frame> frame = Grab();
        if (frame && (!last || FrameNumber() != looked_at)) {
            looked_at = FrameNumber();
            first_frame = first_frame.value_or(std::max(looked_at, newest_at_start));
            moved_at = std::chrono::steady_clock::now();
            if (shown(*frame)) {
                if (std::getenv("VESK_STEP_TRACE") != nullptr)
                    std::fprintf(
                        stderr, "seen at frame %llu, turn %llu, %lld ms\n",
                        static_cast<unsigned long long>(looked_at), static_cast<unsigned long long>(Turn()),
                        static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                   std::chrono::steady_clock::now().time_since_epoch())
                                                   .count()));
                return frame;
            }
            last = std::move(frame);
            // A game that has ended draws no more (a real window's grabs are new frames all the
            // same, of a screen that stays as it is).
            if (ended)
                break;
            if (looked_at < *first_frame || looked_at - *first_frame < frames)
                continue;
            break;
        }
        // A screen that waits draws nothing: what `shown` looks for beside the frame (a file the
        // game writes) is looked at again as the game turns, and once more when it has ended.
        if (const uint64_t now = Turn(); ended || now - looked_again >= GAME_TPS / 4) {
            looked_again = now;
            if (last && shown(*last))
                return last;
        }
        if (ended)
            break;
        if (const uint64_t now = Turn(); now != turn) {
            turn = now;
            moved_at = std::chrono::steady_clock::now();
        }
        if (turn - first_turn >= turns || std::chrono::steady_clock::now() - moved_at > HANG)
            break;
        std::this_thread::sleep_for(20ms);
    }
    // The screen that did not show it, for the failure's reader.
    m_stuck = std::move(last);
    return std::nullopt;
}

void DemoPlayer::Settle()
{
    // Turns without a frame: the screen waits for input. Frames: it keeps moving.
    constexpr uint64_t IDLE_TURNS = 40;
    constexpr uint64_t MOVING_FRAMES = 20;
    const uint64_t first_frame = NewestFrame();
    uint64_t frame = first_frame;
    uint64_t turn = Turn();
    uint64_t idle_since = turn;
    auto moved_at = std::chrono::steady_clock::now();
    while (frame - first_frame < MOVING_FRAMES && turn - idle_since < IDLE_TURNS && !Ended() &&
           std::chrono::steady_clock::now() - moved_at < HANG) {
        std::this_thread::sleep_for(10ms);
        const uint64_t newest = NewestFrame();
        const uint64_t now = Turn();
        if (newest != frame || now != turn)
            moved_at = std::chrono::steady_clock::now();
        if (newest != frame)
            idle_since = now;
        frame = newest;
        turn = now;
    }
}

std::optional<DemoPlayer::Frame>
DemoPlayer::ClickUntil(int x, int y, const std::function<bool(const Frame&)>& shown, int button)
{
    return ActUntil([&] { Click(x, y, button); }, shown);
}

std::optional<DemoPlayer::Frame> DemoPlayer::ClickOftenUntil(int x, int y,
                                                             const std::function<bool(const Frame&)>& shown,
                                                             std::chrono::seconds limit)
{
    return ClickWhileWaiting(
        x, y, shown, [](const Frame&) { return true; }, GAME_TPS / 2, limit);
}

std::optional<DemoPlayer::Frame> DemoPlayer::ClickThroughTo(const std::function<bool(const Frame&)>& shown,
                                                            std::chrono::seconds limit)
{
    // A prompt is clicked only on a frame that shows the game as it is since the last click: the
    // newest, or one drawn after that click went in. A prompt drawn before it may be of the line
    // that click answered, and a second click could pick a choice come meanwhile. Counted from
    // the click too, since a player slower than the game's frames (a busy machine) seldom reads
    // the newest of a prompt that keeps moving.
    const auto waiting = [this](const Frame& frame) {
        return StoryPromptShown(frame) &&
               (FrameNumber() + 2 >= NewestFrame() || FrameNumber() >= m_clicked_frame.value_or(0) + 2);
    };
    return ClickWhileWaiting(700, 300, shown, waiting, GAME_TPS / 4 + 1, limit);
}

std::optional<DemoPlayer::Frame> DemoPlayer::ClickWhileWaiting(int x, int y,
                                                               const std::function<bool(const Frame&)>& shown,
                                                               const std::function<bool(const Frame&)>& ready,
                                                               uint64_t turns, std::chrono::seconds limit)
{
    std::optional<uint64_t> clicked;
    return WaitFor(
        [&](const Frame& frame) {
            if (shown(frame))
                return true;
            if (ready(frame) && (!clicked || Turn() - *clicked >= turns)) {
                Click(x, y);
                clicked = Turn();
                m_clicked_frame = NewestFrame();
            }
            return false;
        },
        limit);
}

std::optional<DemoPlayer::Frame> DemoPlayer::ActUntil(const std::function<void()>& act,
                                                      const std::function<bool(const Frame&)>& shown,
                                                      const std::function<bool(const Frame&)>& from)
{
    Settle();
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (attempt > 0 || from) {
            // The newest screen before the act: the frames the game drew before it are looked at
            // first, and a frame as new as its newest now (a headless player's screen may be
            // behind the game's).
            const uint64_t newest = NewestFrame();
            bool seen = false;
            std::optional<Frame> frame = Wait(
                [&](const Frame& frame) {
                    seen = shown(frame);
                    return seen || (FrameNumber() >= newest && (!from || from(frame)));
                },
                from ? 120s : 10s);
            if (seen)
                return frame;
            if (!frame && (from || Ended()))
                break;
        }
        if (std::getenv("VESK_STEP_TRACE") != nullptr)
            std::fprintf(stderr, "act %d at frame %llu, turn %llu, %lld ms\n", attempt,
                         static_cast<unsigned long long>(NewestFrame()),
                         static_cast<unsigned long long>(Turn()),
                         static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                    std::chrono::steady_clock::now().time_since_epoch())
                                                    .count()));
        act();
        if (std::optional<Frame> frame = Wait(shown, attempt < 4 ? 10s : 120s))
            return frame;
        if (Ended())
            break;
    }
    Failed(from ? "acts on the screen they lead from saw no screen they lead to"
                : "acts repeated saw no screen they lead to",
           160s);
    return std::nullopt;
}

void DemoPlayer::Keep(const Frame& frame, const std::string& name) const
{
    platform::WritePngFile(m_home.Build() / (m_keep_prefix + name + ".png"), frame);
}

size_t PlayFrameSteps(DemoPlayer& player, const std::vector<FrameStep>& steps, std::chrono::seconds limit)
{
    size_t seen = 0;
    for (const FrameStep& step : steps) {
        const std::function<void()>& lead = seen > 0 ? steps[seen - 1].then : step.then;
        std::optional<platform::PngPicture> frame;
        if (seen > 0 && lead)
            frame = player.ActUntil(lead, step.matches,
                                    steps[seen - 1].then_only_here
                                        ? steps[seen - 1].matches
                                        : std::function<bool(const platform::PngPicture&)>());
        else
            frame = player.WaitFor(step.matches, limit);
        if (!frame)
            break;
        step.check(*frame);
        if (step.keep != nullptr)
            platform::WritePngFile(player.Home().Build() / step.keep, *frame);
        ++seen;
        if (std::getenv("VESK_STEP_TRACE") != nullptr)
            std::fprintf(stderr, "step %zu at frame %llu, %lld ms\n", seen,
                         static_cast<unsigned long long>(player.FrameNumber()),
                         static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                    std::chrono::steady_clock::now().time_since_epoch())
                                                    .count()));
    }
    if (seen == steps.size() && !steps.empty() && steps.back().then)
        steps.back().then();
    return seen;
}

HeadlessDemoPlayer::HeadlessDemoPlayer(const HeadlessDemoHome& home, Frames frames)
    : DemoPlayer(home, "demo_story_")
    , m_frames(frames)
    , m_input(home.Path() / "input.txt")
{}

HeadlessDemoPlayer::~HeadlessDemoPlayer()
{
    if (m_game)
        m_game->Kill();
}

std::vector<std::pair<uint64_t, fs::path>> HeadlessDemoPlayer::DumpedFrames() const
{
    std::vector<std::pair<uint64_t, fs::path>> frames;
    for (const auto& entry : fs::directory_iterator(Home().Path() / "frames")) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("frame") && name.ends_with(".png"))
            frames.emplace_back(std::stoull(name.substr(5, name.size() - 9)), entry.path());
    }
    std::sort(frames.begin(), frames.end());
    return frames;
}

std::optional<DemoPlayer::Frame> HeadlessDemoPlayer::GrabAsked()
{
    const fs::path ask = Home().Path() / "frames/ask";
    if (m_asking && !fs::exists(ask)) {
        // Answered: the frame is in place before the ask goes.
        m_asking = false;
        const auto frames = DumpedFrames();
        if (!frames.empty() && frames.back().first > m_number) {
            if (std::optional<Frame> frame = platform::ReadPngFile(frames.back().second)) {
                m_last = std::move(frame);
                m_number = frames.back().first;
            }
        }
        for (const auto& frame : frames)
            fs::remove(frame.second);
    }
    // Asked again once the game has drawn something new since the frame looked at.
    if (!m_asking && m_game && m_game->IsRunning() && (!m_last || DrawnCount() > m_number)) {
        std::ofstream(ask).flush();
        m_asking = true;
    }
    return m_last;
}

uint64_t HeadlessDemoPlayer::DrawnCount() const
{
    const std::string text = ReadWholeFile(m_input.string() + ".turn");
    const size_t space = text.find(' ', text.find_first_not_of(' '));
    return space == std::string::npos ? 0 : std::strtoull(text.c_str() + space, nullptr, 10);
}

void HeadlessDemoPlayer::WatchEveryFrame(bool every)
{
    if (m_frames != Frames::Asked || every == m_every)
        return;
    // Made before the act whose frames it is for: every frame drawn after it is dumped.
    const fs::path file = Home().Path() / "frames/every";
    if (every)
        std::ofstream(file).flush();
    else
        fs::remove(file);
    m_every = every;
}

std::optional<DemoPlayer::Frame> HeadlessDemoPlayer::Grab()
{
    if (m_frames == Frames::Asked && !m_every)
        return GrabAsked();
    const auto frames = DumpedFrames();
    // The frame to look at: the newest, or the first after the one looked at last.
    auto next = frames.end();
    if (m_frames == Frames::Newest) {
        if (!frames.empty())
            next = frames.end() - 1;
    } else {
        next = std::find_if(frames.begin(), frames.end(), [&](const auto& f) { return f.first > m_number; });
    }
    if (next == frames.end() || (m_last && next->first == m_number))
        return m_last;
    // Those before it were looked at or passed over.
    for (auto older = frames.begin(); older != next; ++older)
        fs::remove(older->second);
    // A frame unchanged from the one before is the same file (the dump links it): not read again.
    // The file is known by its inode, size and time together, since a removed file's inode may
    // be given to the next.
    struct stat info
    {};
    std::array<uint64_t, 4> file{};
    if (::stat(next->second.c_str(), &info) == 0)
        file = {info.st_ino, static_cast<uint64_t>(info.st_size), static_cast<uint64_t>(info.st_mtim.tv_sec),
                static_cast<uint64_t>(info.st_mtim.tv_nsec)};
    if (!m_last || file[0] == 0 || file != m_file)
        m_last = platform::ReadPngFile(next->second);
    m_file = file;
    m_number = next->first;
    return m_last;
}

uint64_t HeadlessDemoPlayer::Turn() const
{
    const std::string text = ReadWholeFile(m_input.string() + ".turn");
    const size_t digit = text.find_first_not_of(' ');
    return digit == std::string::npos ? 0 : std::strtoull(text.c_str() + digit, nullptr, 10);
}

uint64_t HeadlessDemoPlayer::NewestFrame() const
{
    if (m_frames == Frames::Asked)
        return DrawnCount();
    const auto frames = DumpedFrames();
    return frames.empty() ? 0 : frames.back().first;
}

bool HeadlessDemoPlayer::Ended()
{
    if (!m_game)
        return true;
    if (m_game->IsRunning())
        return false;
    if (m_frames == Frames::Asked && !m_every)
        return !m_asking || fs::exists(Home().Path() / "frames/ask");
    const auto frames = DumpedFrames();
    return frames.empty() || frames.back().first <= m_number;
}

void HeadlessDemoPlayer::Click(int x, int y, int button)
{
    Move(x, y);
    Send(std::string(button == 3 ? "rclick " : "click ") + std::to_string(x) + " " + std::to_string(y));
}

void HeadlessDemoPlayer::Move(int x, int y)
{
    Send("move " + std::to_string(x) + " " + std::to_string(y));
    WaitFrames(2);
}

void HeadlessDemoPlayer::Press(int x, int y, uint64_t frames)
{
    Move(x, y);
    Send("down 1");
    WaitFrames(frames);
    Send("up 1");
}

void HeadlessDemoPlayer::Key(int virtual_key)
{
    Send("key " + std::to_string(virtual_key));
}

void HeadlessDemoPlayer::Type(const std::string& text)
{
    Send("text " + text);
}

void HeadlessDemoPlayer::HoldUp()
{
    Send("down 0x26");
    WaitFrames(GAME_FPS);
    Send("up 0x26");
}

void HeadlessDemoPlayer::WaitFrames(uint64_t frames)
{
    // A screen that waits for input draws nothing: its turns stand in for frames, GAME_TPS to
    // GAME_FPS.
    const uint64_t frame_until = NewestFrame() + frames;
    const uint64_t turn_until = Turn() + frames * GAME_TPS / GAME_FPS;
    for (auto start = std::chrono::steady_clock::now(); NewestFrame() < frame_until && Turn() < turn_until;) {
        if (!m_game || !m_game->IsRunning() || std::chrono::steady_clock::now() - start > HANG)
            return;
        std::this_thread::sleep_for(10ms);
    }
}

void HeadlessDemoPlayer::StartGame(const std::vector<std::string>& environment)
{
    // A new start reads its script from the first line: the old one's steps are not replayed.
    std::ofstream(m_input, std::ios::trunc).flush();
    fs::remove(m_input.string() + ".turn");
    for (const auto& entry : fs::directory_iterator(Home().Path() / "frames"))
        fs::remove(entry.path());
    m_number = 0;
    m_file = {};
    m_last.reset();
    m_asking = false;
    m_every = false;
    std::vector<std::string> variables = HeadlessGameEnvironment(Home().Path());
    variables.push_back("VESK_INPUT_SCRIPT=" + m_input.string());
    if (m_frames == Frames::Asked)
        variables.push_back("VESK_FRAME_DUMP_ASKED=1");
    if (m_clock_rate != "1")
        variables.push_back("VESK_CLOCK_RATE=" + m_clock_rate);
    variables.insert(variables.end(), environment.begin(), environment.end());
    m_game = std::make_unique<GameProcess>(Home().Build() / "demo", std::vector<std::string>{"./vesk"},
                                           variables, Home().Path() / "out.txt");
}

void HeadlessDemoPlayer::Close()
{
    // Asked to end as the window's close box asks.
    if (m_game)
        m_game->Signal(SIGTERM);
}

std::optional<int> HeadlessDemoPlayer::ExitStatus(std::chrono::seconds limit)
{
    if (!m_game)
        return std::nullopt;
    return m_game->WaitForEnd(limit);
}

void HeadlessDemoPlayer::Send(const std::string& step)
{
    Append("0 " + step);
}

void HeadlessDemoPlayer::Append(const std::string& line) const
{
    AppendToInputScript(m_input, line + '\n');
}
