// The demo player's waits on a scripted game of its own: one screen a frame, each grab drawing the
// next frame, the player's look some frames behind the game's newest (as a headless player's is
// while it reads dumped frames), acts that change the screen when they land, and an end.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "DemoStoryRoute.h"
#include "sheetgen/SheetGenerator.h"

namespace {

using namespace std::chrono_literals;
using Frame = platform::PngPicture;

enum Screen : uint32_t
{
    FROM = 1,   // the screen an act leads from
    TARGET = 2, // the one it leads to, which the same act leaves
    LEFT = 3,   // the screen after the target
};

Screen ShownOn(const Frame& frame)
{
    return static_cast<Screen>(frame.pixels[0]);
}

// A player of a game of the test's own: the acts a test does not script do nothing.
class FakePlayer : public DemoPlayer
{
public:
    using DemoPlayer::DemoPlayer;
    void Move(int, int) override {}
    void Key(int) override {}
    void Type(const std::string&) override {}
    void HoldUp() override {}
    void StartGame() override {}
    void Close() override {}
};

class ScriptedPlayer final : public FakePlayer
{
public:
    ScriptedPlayer(const HeadlessDemoHome& home, uint64_t lag)
        : FakePlayer(home, "demo_player_test_")
        , m_lag(lag)
    {}

    // Every grab draws a frame; the one answered is `lag` frames old.
    std::optional<Frame> Grab() override
    {
        ++grabs;
        Draw();
        m_looked = m_screens.size() > m_lag ? m_screens.size() - 1 - m_lag : 0;
        return Frame{1, 1, {m_screens[m_looked]}};
    }
    uint64_t FrameNumber() const override { return m_looked; }
    uint64_t Turn() const override { return m_screens.size() * GAME_TPS / GAME_FPS; }
    // Asked, the game draws on too: a settle or a look at the newest sees it move.
    uint64_t NewestFrame() const override
    {
        const_cast<ScriptedPlayer*>(this)->Draw();
        return m_screens.size() - 1;
    }
    // Ended after `end_at` grabs; its window goes on showing its last screen, a new frame a grab.
    bool Ended() override { return end_at && grabs >= *end_at; }
    void Click(int, int, int = 1) override
    {
        ++acts;
        if (m_screen == TARGET)
            m_screen = LEFT;
    }
    std::optional<int> ExitStatus(std::chrono::seconds) override
    {
        return Ended() ? std::optional<int>(3) : std::nullopt;
    }

    // The target comes by itself `after` frames of the game past the first act.
    void TargetAfterTheFirstAct(uint64_t after) { m_target_after = after; }

    std::optional<int> end_at;
    int grabs = 0;
    int acts = 0;

private:
    void Draw()
    {
        if (acts > 0 && !m_first_act)
            m_first_act = m_screens.size();
        if (m_screen == FROM && m_first_act && m_screens.size() >= *m_first_act + m_target_after)
            m_screen = TARGET;
        m_screens.push_back(m_screen);
    }

    uint64_t m_lag;
    uint64_t m_target_after = 0;
    std::optional<uint64_t> m_first_act;
    Screen m_screen = FROM;
    std::vector<uint32_t> m_screens;
    uint64_t m_looked = 0;
};

bool TargetShown(const Frame& frame)
{
    return ShownOn(frame) == TARGET;
}

TEST(DemoPlayerTest, AWaitEndsWithTheGameThoughEveryGrabIsANewFrame)
{
    const HeadlessDemoHome home;
    ScriptedPlayer x(home, 0);
    x.end_at = 5;
    EXPECT_FALSE(x.WaitFor(TargetShown, 120s));
    // The game's last frame is looked at once more, not the wait's 3600 frames of a window that
    // goes on showing it.
    EXPECT_LE(x.grabs, 7);
    // The failure's reader is told how the game ended, what it showed last and what it said.
    const std::string account = x.Account();
    EXPECT_NE(account.find("status 3"), std::string::npos) << account;
    EXPECT_NE(account.find("demo_player_test_stuck.png"), std::string::npos) << account;
}

TEST(DemoPlayerTest, AnActIsNotRepeatedOnTheScreenItLeadsToBeforeThatIsSeen)
{
    // The target comes as the first try's wait runs out (its 300 frames of the game past the act),
    // while the player's look is still on frames before it: a repeated act would leave it unseen.
    const HeadlessDemoHome home;
    constexpr uint64_t LAG = 60;
    ScriptedPlayer x(home, LAG);
    x.TargetAfterTheFirstAct(10 * GAME_FPS + LAG / 2);
    const std::optional<Frame> frame = x.ActUntil([&x] { x.Click(0, 0); }, TargetShown);
    ASSERT_TRUE(frame) << "the target left unseen after " << x.acts << " acts";
    EXPECT_EQ(x.acts, 1);
}

TEST(DemoPlayerTest, AnActLedFromAScreenWaitsForIt)
{
    // The act leads from FROM; the game shows TARGET at once after it, and the player's look is
    // behind: no act is made until a frame as new as the game's shows FROM, and none at all here.
    const HeadlessDemoHome home;
    ScriptedPlayer x(home, 30);
    x.TargetAfterTheFirstAct(0);
    x.Click(0, 0);
    const auto from = [](const Frame& frame) { return ShownOn(frame) == FROM; };
    EXPECT_TRUE(x.ActUntil([&x] { x.Click(0, 0); }, TargetShown, from));
    EXPECT_EQ(x.acts, 1);
}

// A story line waiting on its moving prompt: every grab draws a frame, the one answered `lag`
// frames old, as a player slower than the game's frames reads them on a busy machine.
class PromptPlayer final : public FakePlayer
{
public:
    PromptPlayer(const HeadlessDemoHome& home, uint64_t lag)
        : FakePlayer(home, "demo_player_test_")
        , m_lag(lag)
        , m_prompt{1693, STORY_WINDOW_Y + 196, {}}
    {
        m_prompt.pixels.assign(static_cast<size_t>(m_prompt.width) * m_prompt.height,
                               tools::CellColour(tools::MESSAGE_SHEET_PROMPT, 0) & 0xFFFFFFu);
    }

    std::optional<Frame> Grab() override
    {
        ++m_drawn;
        m_looked = m_drawn > m_lag ? m_drawn - m_lag : 0;
        return m_prompt;
    }
    uint64_t FrameNumber() const override { return m_looked; }
    uint64_t Turn() const override { return m_drawn * GAME_TPS / GAME_FPS; }
    uint64_t NewestFrame() const override { return m_drawn; }
    bool Ended() override { return false; }
    void Click(int, int, int = 1) override
    {
        if (clicks > 0 && m_looked <= m_clicked_at)
            ++clicks_on_old_frames;
        ++clicks;
        m_clicked_at = m_drawn;
    }
    std::optional<int> ExitStatus(std::chrono::seconds) override { return std::nullopt; }

    int clicks = 0;
    int clicks_on_old_frames = 0;

private:
    uint64_t m_lag;
    Frame m_prompt;
    uint64_t m_drawn = 0;
    uint64_t m_looked = 0;
    uint64_t m_clicked_at = 0;
};

TEST(DemoPlayerTest, AReaderBehindAMovingPromptClicksThroughOnlyOnFramesAfterItsLastClick)
{
    const HeadlessDemoHome home;
    PromptPlayer x(home, 5);
    ASSERT_TRUE(x.ClickThroughTo([&x](const Frame&) { return x.clicks >= 3; }, 10s))
        << "clicks on a prompt read 5 frames late: " << x.clicks;
    EXPECT_EQ(x.clicks_on_old_frames, 0);
}

// The train trip's end as a busy machine's window shows it: the movies (the trip's corner lamp
// still lit, no prompt), then the ending's CG with its closing line, held 45 frames, then until a
// click or 285 frames have passed, then the special title. Each grab comes two seconds of the game
// after the one before and shows the game as it was two seconds earlier.
class TripEndPlayer final : public FakePlayer
{
public:
    static constexpr uint64_t GRAB = 60; // frames of the game a grab takes, and its picture's age
    static constexpr uint64_t ENDING = 610, HOLD = 45, ENDING_ALONE = 285;

    explicit TripEndPlayer(const HeadlessDemoHome& home)
        : FakePlayer(home, "demo_player_test_")
    {
        // A dark slate no cell has, the trip's lamp (checkpoint 67) in the corner.
        for (Frame* frame : {&m_movie, &m_ending, &m_special}) {
            *frame = Frame{1920, 1080, std::vector<uint32_t>(size_t(1920) * 1080, 0xFF101010u)};
            frame->pixels[0] = 0xFF4300FFu;
        }
        Fill(m_ending, 0, 200, 1920, 400, tools::CellColour(tools::DEMO_CG_BASE + 2, 0));
        Fill(m_ending, 160, 830, 1160, 845, 0xFFFFFFFFu);
        for (const auto& [id, y, state] :
             {std::tuple{0u, 717, 0}, std::tuple{1u, 804, 3}, std::tuple{2u, 891, 3},
              std::tuple{tools::TITLE_SHEET_BACK, 986, 0}})
            Fill(m_special, 290, y - 10, 310, y + 10, tools::CellColour(id, state));
    }

    std::optional<Frame> Grab() override
    {
        m_now += GRAB;
        m_looked = m_now - GRAB;
        return m_looked < ENDING ? m_movie : m_looked < m_ending_end ? m_ending : m_special;
    }
    uint64_t FrameNumber() const override { return m_looked; }
    uint64_t Turn() const override { return m_now * GAME_TPS / GAME_FPS; }
    uint64_t NewestFrame() const override { return ++m_now; }
    bool Ended() override { return false; }
    void Click(int, int, int = 1) override
    {
        if (m_now >= ENDING + HOLD && m_now < m_ending_end)
            m_ending_end = m_now;
    }
    std::optional<int> ExitStatus(std::chrono::seconds) override { return std::nullopt; }

private:
    static void Fill(Frame& frame, int x0, int y0, int x1, int y1, uint32_t colour)
    {
        for (int y = y0; y < y1; ++y)
            std::fill_n(frame.pixels.begin() + y * frame.width + x0, x1 - x0, colour);
    }

    Frame m_movie, m_ending, m_special;
    mutable uint64_t m_now = 0;
    uint64_t m_looked = 0;
    uint64_t m_ending_end = ENDING + HOLD + ENDING_ALONE;
};

TEST(DemoPlayerTest, TheTripsEndIsWatchedUntilTheEndingShowsAndClickedOnlyThen)
{
    // A click every ten seconds through the movies would fall on the ending past its hold, between
    // two grabs, and end it unseen.
    const HeadlessDemoHome home;
    TripEndPlayer x(home);
    EXPECT_NO_FATAL_FAILURE(PlayTheTripToTheSpecialTitle(x));
}

} // namespace
