#pragma once
// A player of the demo as the demo tests drive it: what the screen shows now, and a player's
// hands (the pointer, the keyboard, the window's close box). Two kinds play: one in a real window
// under an X server of its own, one headless, whose screen is the game's dumped frames and whose
// hands are lines appended to its input script. Every step waits until its screen shows, however
// long the machine takes: a wait's limit is the game's own time, the frames it draws (GAME_FPS a
// second of it) and the turns of its loop (GAME_TPS a second), which go on while a screen waits
// for input and draws nothing; a busy machine that turns fewer a second waits longer, not less.
// A player acts on a screen once it has settled: the game has turned a while without drawing (it
// waits for input), or has drawn a few frames more of a screen that keeps moving. With
// VESK_STEP_TRACE in the environment each screen found is told on standard error with its frame,
// the game's turn and the time, for a reader of a slow run.

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/PngCodec.h"

class HeadlessDemoHome;
class GameProcess;

// Frames and loop turns of the game a second of a wait's limit stands for.
inline constexpr uint64_t GAME_FPS = 30;
inline constexpr uint64_t GAME_TPS = 1000;

class DemoPlayer
{
public:
    using Frame = platform::PngPicture;

    // `keep_prefix` names the frames kept in the build folder (<prefix><step>.png).
    DemoPlayer(const HeadlessDemoHome& home, std::string keep_prefix);
    // A test that failed is told, on standard error, the account of the last wait that did not
    // see its screen (Account).
    virtual ~DemoPlayer();
    DemoPlayer(const DemoPlayer&) = delete;
    DemoPlayer& operator=(const DemoPlayer&) = delete;

    // The screen: the newest frame, or for a headless player that walks every frame the next
    // one in order.
    virtual std::optional<Frame> Grab() = 0;
    // The game's count of frames drawn up to the one Grab answered last, and of its loop's turns
    // now, and the newest frame's number: a wait's clocks.
    virtual uint64_t FrameNumber() const = 0;
    virtual uint64_t Turn() const = 0;
    virtual uint64_t NewestFrame() const = 0;
    // Whether the game has ended and every frame it drew has been grabbed.
    virtual bool Ended() = 0;
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
    // For the reader of a screen that did not show: the game's exit status (or that it runs), the
    // frame the last failed wait kept and the game's output, as they stand now.
    std::string Account();

    // Looks at the screen until it shows what `shown` looks for; answers that frame. None once
    // `limit` of the game's time has passed without it (GAME_FPS frames or GAME_TPS turns a
    // second), the game has ended, or it has neither drawn nor turned for two minutes (a hang).
    // `shown` sees each new frame, and the newest again a few times a second of the game's turns
    // while no new one comes (so it may look at a file the game writes).
    std::optional<Frame> WaitFor(const std::function<bool(const Frame&)>& shown,
                                 std::chrono::seconds limit = std::chrono::seconds(120));
    // Clicks until the screen shows what the click leads to; a click that lands once is not
    // repeated, so a repeat only covers a click the game never saw.
    std::optional<Frame> ClickUntil(int x, int y, const std::function<bool(const Frame&)>& shown,
                                    int button = 1);
    // Clicks every half second of the game's turns until the screen shows what the clicks lead
    // to: for a screen that takes no click until it has begun (a movie starting), where a first
    // click may be lost. Only where a further click does nothing on the screen it leads to.
    std::optional<Frame> ClickOftenUntil(int x, int y, const std::function<bool(const Frame&)>& shown,
                                         std::chrono::seconds limit = std::chrono::seconds(120));
    // Reads the story on: a click on a line once it waits (its prompt up on the newest frame, a
    // quarter second of the game's turns after the last click), until the screen shows what
    // `shown` looks for.
    std::optional<Frame> ClickThroughTo(const std::function<bool(const Frame&)>& shown,
                                        std::chrono::seconds limit = std::chrono::seconds(120));
    // Acts once the screen has settled, and again after every 10 s of the game's time without
    // the screen showing what the act leads to, each time once a frame as new as the game's
    // newest does not show it either: a screen that came as the wait ran out is not acted on.
    // With `from`, each act waits until the newest screen shows what the act leads from, and is
    // not done on another: for an act that also leaves the screen it leads to (a right click that
    // opens a sub map and closes it).
    std::optional<Frame> ActUntil(const std::function<void()>& act,
                                  const std::function<bool(const Frame&)>& shown,
                                  const std::function<bool(const Frame&)>& from = {});
    // Until the screen has settled: the game has turned a while without drawing a frame, or has
    // drawn a few more (a screen that keeps moving), or has ended.
    void Settle();
    // A step's frame kept in the build folder for a reader.
    void Keep(const Frame& frame, const std::string& name) const;
    // A screen that came where another was looked for (one passed unseen): kept and told as a
    // wait's failure is.
    void Missed(const Frame& shown, const char* what);

private:
    // WaitFor without the account of a failure: a wait that may fail on the way (an act's try).
    std::optional<Frame> Wait(const std::function<bool(const Frame&)>& shown, std::chrono::seconds limit);
    // Clicks on the spot while a frame is `ready` for it, at most once in `turns` of the game's
    // turns, until the screen shows what `shown` looks for.
    std::optional<Frame> ClickWhileWaiting(int x, int y, const std::function<bool(const Frame&)>& shown,
                                           const std::function<bool(const Frame&)>& ready, uint64_t turns,
                                           std::chrono::seconds limit);

    // Notes a wait that did not see its screen, for Account.
    void Failed(const char* what, std::chrono::seconds limit);
    // Notes a failure, with the screen it stuck on kept.
    void Note(const std::string& what);

    const HeadlessDemoHome& m_home;
    std::string m_keep_prefix;
    std::optional<Frame> m_stuck;            // the last frame a failed wait looked at
    std::optional<uint64_t> m_clicked_frame; // the game's newest frame as a waiting click went in
    std::string m_failure;
    std::string m_kept;
};

// A frame a demo test waits for: the first frame that matches, after the earlier steps' frames,
// is checked and kept under the name in the build folder (unless the name is null). `then` is what the player
// does once the step is seen, to lead to the next step; it is done again while the next does not show (a
// press a screen missed as it faded in), so it must do nothing on the screens it does not lead
// from.
struct FrameStep
{
    const char* keep;
    std::function<bool(const platform::PngPicture&)> matches;
    std::function<void(const platform::PngPicture&)> check;
    std::function<void()> then = {};
    // `then` is done, the first time too, only while the newest frame shows this step's screen:
    // for an act that also leaves the next step's screen, which a repeat landing on it unseen
    // would leave for good.
    bool then_only_here = false;
};

// Plays the steps in order on the player's screens; answers how many were seen. Each waits at
// most `limit` of the game's time.
size_t PlayFrameSteps(DemoPlayer& player, const std::vector<FrameStep>& steps,
                      std::chrono::seconds limit = std::chrono::seconds(120));

// The headless player: the game without a window (frames dumped into home/frames), fed through
// home/input.txt, which it reads again as it grows. It looks at the newest frame only, or, to
// catch what a screen shows for a moment, at every frame in order. Frames it has looked past are
// removed, so a long play leaves no pile of them. Asked, it looks at the newest frame too, but
// the game dumps a frame only when the player asks for one (VESK_FRAME_DUMP_ASKED): a long play
// is not slowed by encoding and reading every frame, which on a busy machine is most of its work;
// over a moment where a flash must be caught, it may ask for every frame (WatchEveryFrame).
class HeadlessDemoPlayer final : public DemoPlayer
{
public:
    enum class Frames
    {
        Newest,
        Every,
        Asked,
    };

    explicit HeadlessDemoPlayer(const HeadlessDemoHome& home, Frames frames = Frames::Newest);
    ~HeadlessDemoPlayer() override;

    std::optional<Frame> Grab() override;
    uint64_t FrameNumber() const override { return m_number; }
    uint64_t Turn() const override;
    uint64_t NewestFrame() const override;
    bool Ended() override;
    void Click(int x, int y, int button = 1) override;
    void Move(int x, int y) override;
    void Key(int virtual_key) override;
    void Type(const std::string& text) override;
    void HoldUp() override;
    // Starts the game with the home's settings and, added to the headless environment,
    // `environment` ("NAME=value"); the game's own input script comes first.
    void StartGame() override { StartGame({}); }
    void StartGame(const std::vector<std::string>& environment);
    // Every start from now on runs the game's clock `rate` times as fast (VESK_CLOCK_RATE): its
    // fades, typed text and timed waits pass sooner, the frames and turns between them unchanged;
    // or, `slower` times as slow, later, each over more frames.
    void SetClockRate(int rate) { m_clock_rate = std::to_string(rate); }
    void SlowClock(int slower) { m_clock_rate = "1/" + std::to_string(slower); }
    void Close() override;
    std::optional<int> ExitStatus(std::chrono::seconds limit = std::chrono::seconds(60)) override;

    // A line of the input script, due at once ("key 0x1B", "wheel 1", "down 0x26" ...).
    void Send(const std::string& step);
    // The left button pressed on the spot and held over `frames` of the game's frames.
    void Press(int x, int y, uint64_t frames = 4);
    // Until the game has drawn `frames` more frames (or has ended).
    void WaitFrames(uint64_t frames);
    // The game's process, for its status and signals.
    GameProcess& Game() { return *m_game; }
    // A player of frames as asked looks at every frame the game draws from now on, in order, or
    // again only at the newest it asks for: every frame of a short moment is seen at the cost of
    // that moment's frames alone.
    void WatchEveryFrame(bool every);

private:
    void Append(const std::string& line) const;
    // The dumped frames by their numbers.
    std::vector<std::pair<uint64_t, std::filesystem::path>> DumpedFrames() const;
    std::optional<Frame> GrabAsked();
    // The game's count of frames drawn, as it tells it beside the turns when it dumps only as asked.
    uint64_t DrawnCount() const;

    Frames m_frames;
    std::filesystem::path m_input;
    std::unique_ptr<GameProcess> m_game;
    uint64_t m_number = 0;
    std::array<uint64_t, 4> m_file{}; // the newest frame read: its inode, size and time
    std::optional<Frame> m_last;
    bool m_asking = false;
    bool m_every = false; // as asked, every frame for now
    std::string m_clock_rate = "1";
};
