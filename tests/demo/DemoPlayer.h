#pragma once
// A player of the demo as the route tests drive it: what the screen shows now, and a player's
// hands (the pointer, the keyboard, the window's close box). Two kinds play the same route: one
// in a real window under an X server of its own, one headless, whose screen is the newest frame
// the game has dumped and whose hands are lines appended to its input script. Every step waits
// until its screen shows, however long the machine takes.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/gdi/PngCodec.h"

class HeadlessDemoHome;
class GameProcess;

class DemoPlayer
{
public:
    using Frame = platform::PngPicture;

    // `keep_prefix` names the frames kept in the build folder (<prefix><step>.png).
    DemoPlayer(const HeadlessDemoHome& home, std::string keep_prefix);
    virtual ~DemoPlayer() = default;
    DemoPlayer(const DemoPlayer&) = delete;
    DemoPlayer& operator=(const DemoPlayer&) = delete;

    virtual std::optional<Frame> Grab() = 0;
    // As a player clicks: the pointer rests on the spot, then the button (1 left, 3 right) is
    // held a moment.
    virtual void Click(int x, int y, int button = 1) = 0;
    // The pointer moved to the spot, nothing pressed.
    virtual void Move(int x, int y) = 0;
    // One key (a Windows virtual-key code) pressed and let go.
    virtual void Key(int virtual_key) = 0;
    virtual void Type(const std::string& text) = 0;
    // The up arrow held for a second: the town's walk.
    virtual void HoldUp() = 0;
    // Starts the game on the home; its output goes to home/out.txt.
    virtual void StartGame() = 0;
    // The window's close box (Alt+F4).
    virtual void Close() = 0;
    // The exit status once the game has ended, waiting for it.
    virtual std::optional<int> ExitStatus(std::chrono::seconds limit = std::chrono::seconds(60)) = 0;

    const HeadlessDemoHome& Home() const { return m_home; }
    std::string Output() const;

    // Polls the screen until it shows what `shown` looks for; answers that frame.
    std::optional<Frame> WaitFor(const std::function<bool(const Frame&)>& shown,
                                 std::chrono::seconds limit = std::chrono::seconds(120));
    // Clicks until the screen shows what the click leads to; a click that lands once is not
    // repeated, so a repeat only covers a click the game never saw.
    std::optional<Frame> ClickUntil(int x, int y, const std::function<bool(const Frame&)>& shown,
                                    int button = 1);
    std::optional<Frame> ActUntil(const std::function<void()>& act,
                                  const std::function<bool(const Frame&)>& shown);
    // A step's frame kept in the build folder for a reader.
    void Keep(const Frame& frame, const std::string& name) const;

private:
    const HeadlessDemoHome& m_home;
    std::string m_keep_prefix;
};

// The headless player: the game without a window (frames dumped into home/frames), fed through
// home/input.txt, which it reads again as it grows.
class HeadlessDemoPlayer final : public DemoPlayer
{
public:
    explicit HeadlessDemoPlayer(const HeadlessDemoHome& home);
    ~HeadlessDemoPlayer() override;

    std::optional<Frame> Grab() override;
    void Click(int x, int y, int button = 1) override;
    void Move(int x, int y) override;
    void Key(int virtual_key) override;
    void Type(const std::string& text) override;
    void HoldUp() override;
    void StartGame() override;
    void Close() override;
    std::optional<int> ExitStatus(std::chrono::seconds limit = std::chrono::seconds(60)) override;

private:
    void Append(const std::string& line) const;

    std::filesystem::path m_input;
    std::unique_ptr<GameProcess> m_game;
    std::filesystem::path m_newest;
    std::optional<Frame> m_last;
};
