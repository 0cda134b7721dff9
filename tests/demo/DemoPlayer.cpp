#include "DemoPlayer.h"

#include <algorithm>
#include <csignal>
#include <fstream>
#include <thread>
#include <utility>
#include <vector>

#include "DemoRun.h"
#include "GameProcess.h"

using namespace std::chrono_literals;
namespace fs = std::filesystem;

DemoPlayer::DemoPlayer(const HeadlessDemoHome& home, std::string keep_prefix)
    : m_home(home)
    , m_keep_prefix(std::move(keep_prefix))
{}

std::string DemoPlayer::Output() const
{
    return ReadWholeFile(m_home.Path() / "out.txt");
}

std::optional<DemoPlayer::Frame> DemoPlayer::WaitFor(const std::function<bool(const Frame&)>& shown,
                                                     std::chrono::seconds limit)
{
    std::optional<Frame> last;
    for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
        std::optional<Frame> frame = Grab();
        if (frame && shown(*frame))
            return frame;
        if (frame)
            last = std::move(frame);
        std::this_thread::sleep_for(200ms);
    }
    // The screen that did not show it, for the failure's reader.
    if (last)
        Keep(*last, "stuck");
    return std::nullopt;
}

std::optional<DemoPlayer::Frame>
DemoPlayer::ClickUntil(int x, int y, const std::function<bool(const Frame&)>& shown, int button)
{
    return ActUntil([&] { Click(x, y, button); }, shown);
}

std::optional<DemoPlayer::Frame> DemoPlayer::ActUntil(const std::function<void()>& act,
                                                      const std::function<bool(const Frame&)>& shown)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        act();
        if (std::optional<Frame> frame = WaitFor(shown, attempt < 4 ? 20s : 120s))
            return frame;
    }
    return std::nullopt;
}

void DemoPlayer::Keep(const Frame& frame, const std::string& name) const
{
    platform::WritePngFile(m_home.Build() / (m_keep_prefix + name + ".png"), frame);
}

HeadlessDemoPlayer::HeadlessDemoPlayer(const HeadlessDemoHome& home)
    : DemoPlayer(home, "demo_story_")
    , m_input(home.Path() / "input.txt")
{}

HeadlessDemoPlayer::~HeadlessDemoPlayer()
{
    if (m_game)
        m_game->Kill();
}

std::optional<DemoPlayer::Frame> HeadlessDemoPlayer::Grab()
{
    // Frames are dumped only when the picture changes: the newest is the screen. The older ones
    // go, so a long play leaves no pile of them.
    std::vector<fs::path> frames;
    for (const auto& entry : fs::directory_iterator(Home().Path() / "frames"))
        frames.push_back(entry.path());
    if (frames.empty())
        return std::nullopt;
    const auto newer = [](const fs::path& a, const fs::path& b) {
        const std::string x = a.filename().string(), y = b.filename().string();
        return x.size() != y.size() ? x.size() < y.size() : x < y;
    };
    std::sort(frames.begin(), frames.end(), newer);
    for (size_t i = 0; i + 1 < frames.size(); ++i)
        fs::remove(frames[i]);
    if (frames.back() == m_newest && m_last)
        return m_last;
    m_newest = frames.back();
    m_last = platform::ReadPngFile(m_newest);
    return m_last;
}

void HeadlessDemoPlayer::Click(int x, int y, int button)
{
    const std::string at = " " + std::to_string(x) + " " + std::to_string(y);
    Append("0 move" + at);
    std::this_thread::sleep_for(300ms);
    Append(std::string("0 ") + (button == 3 ? "rclick" : "click") + at);
}

void HeadlessDemoPlayer::Move(int x, int y)
{
    Append("0 move " + std::to_string(x) + " " + std::to_string(y));
}

void HeadlessDemoPlayer::Key(int virtual_key)
{
    Append("0 key " + std::to_string(virtual_key));
}

void HeadlessDemoPlayer::Type(const std::string& text)
{
    Append("0 text " + text);
}

void HeadlessDemoPlayer::HoldUp()
{
    Append("0 down 0x26");
    std::this_thread::sleep_for(1s);
    Append("0 up 0x26");
}

void HeadlessDemoPlayer::StartGame()
{
    // A new start reads its script from the first line: the old one's steps are not replayed.
    std::ofstream(m_input, std::ios::trunc).flush();
    for (const auto& entry : fs::directory_iterator(Home().Path() / "frames"))
        fs::remove(entry.path());
    m_newest.clear();
    m_last.reset();
    std::vector<std::string> environment = HeadlessGameEnvironment(Home().Path());
    environment.push_back("VESK_INPUT_SCRIPT=" + m_input.string());
    m_game = std::make_unique<GameProcess>(Home().Build() / "demo", std::vector<std::string>{"./vesk"},
                                           environment, Home().Path() / "out.txt");
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

void HeadlessDemoPlayer::Append(const std::string& line) const
{
    std::ofstream(m_input, std::ios::app) << line << '\n';
}
