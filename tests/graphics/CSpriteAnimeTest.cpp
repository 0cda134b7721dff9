// The sprite animation task on the virtual clock: steps played one task period at a time, delays,
// hidden sprites, loops ended by Stop and WaitForEnd, waited plays cut short by skip inputs, and
// the task taken out of the runner when the play or the task ends.

#include "graphics/CSpriteAnime.h"

#include <atomic>
#include <csignal>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "app/InputFakes.h"
#include "app/TestApp.h"
#include "foundation/CInputView.h"
#include "graphics/CAppTask.h"
#include "graphics/CSpriteLayer.h"
#include "platform/TerminationSignals.h"
#include "platform/kernel/IdleWait.h"
#include "platform/kernel/SyncApi.h"
#include "platform/kernel/TimeApi.h"
#include "platform/kernel/VirtualClock.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "support/ThreadTest.h"

namespace {

using platform::VirtualClock;

SpriteAnimRecord Move(int32_t from_x, int32_t to_x, int32_t duration)
{
    SpriteAnimRecord record(duration);
    record.SetRect(from_x, 0, to_x, 0);
    return record;
}

SpriteAnimRecord Jump(int32_t count, int32_t target)
{
    SpriteAnimRecord record;
    record.SetJump(count, target);
    return record;
}

class CSpriteAnimeThreadTest : public ThreadTest
{
protected:
    CSpriteAnimeThreadTest()
    {
        VirtualClock::Enable(1000);
        m_previous_runner = SetAppTask(&m_runner);
        m_input.SetKeyboard(&m_keyboard);
        m_input.SetMouse(&m_mouse);
        m_sprite.Create(0, 0, 10, 10, -1);
        m_sprite.SetVisibleFlag(1);
    }
    ~CSpriteAnimeThreadTest() override
    {
        SetAppTask(m_previous_runner);
        DeleteDocument();
        VirtualClock::Disable();
    }

    // A task bound to the test's input devices.
    void Bind(CSpriteAnime& anime)
    {
        anime.SetInputView(&m_input);
        anime.AddSprite(&m_sprite);
    }

    // One pass of the app-task thread one task period later.
    void Tick()
    {
        VirtualClock::Advance(16);
        m_runner.RunDueTasks();
    }

    int32_t X() { return m_sprite.GetPosition().x; }

    TestApp m_app;
    CAppTask m_runner;
    CAppTask* m_previous_runner = nullptr;
    CInputView m_input;
    ScriptedKeyboard m_keyboard;
    ScriptedMouse m_mouse;
    CSpriteLayer m_sprite;
};

TEST_F(CSpriteAnimeThreadTest, AStepIsUpdatedOncePerPeriodAndFinishedOnItsLastFrame)
{
    m_sprite.AddAnimation(Move(0, 100, 4));
    m_sprite.AddAnimation(Move(100, 200, 2));
    CSpriteAnime anime;
    Bind(anime);
    anime.Play(ANIME_NO_WAIT, 0, 0, 0);
    EXPECT_TRUE(m_runner.Contains(&anime));
    EXPECT_EQ(X(), 0);
    std::vector<int32_t> seen;
    for (int i = 0; i < 5; ++i) {
        Tick();
        seen.push_back(X());
    }
    // 100 x 1/4, 2/4, 3/4; then the first step ends at 100 and the second's first frame runs
    // (100 + 100 x 1/2); then the second ends.
    EXPECT_EQ(seen, (std::vector<int32_t>{25, 50, 75, 150, 200}));
    EXPECT_EQ(anime.IsRunning(), 1);
    Tick(); // nothing is animating any more
    EXPECT_EQ(anime.IsRunning(), 0);
}

TEST_F(CSpriteAnimeThreadTest, AnAlphaFadeWaitsOutItsDelayThenAdvancesTwiceInOneFrame)
{
    SpriteAnimRecord record(5);
    record.SetDelay(3);
    record.SetAlpha(0, 255);
    m_sprite.AddAnimation(record);
    CSpriteAnime anime;
    Bind(anime);
    anime.Play(ANIME_NO_WAIT, 0, 0, 0);
    std::vector<int32_t> seen;
    for (int i = 0; i < 5; ++i) {
        Tick();
        seen.push_back(m_sprite.GetAlpha());
    }
    // Three frames of delay at the start value; then 255 x 2/5 and 255 x 3/5.
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 0, 0, 102, 153}));
}

TEST_F(CSpriteAnimeThreadTest, AHiddenSpriteIsNotAdvancedAndThePlayEnds)
{
    m_sprite.AddAnimation(Move(0, 100, 4));
    CSpriteAnime anime;
    Bind(anime);
    anime.Play(ANIME_NO_WAIT, 0, 0, 0);
    m_sprite.SetVisibleFlag(0);
    Tick();
    EXPECT_EQ(X(), 0);
    EXPECT_EQ(anime.IsRunning(), 0);
}

TEST_F(CSpriteAnimeThreadTest, ReversePlayStartsAtTheLastRecord)
{
    m_sprite.AddAnimation(Move(0, 10, 1));
    m_sprite.AddAnimation(Move(500, 600, 2));
    CSpriteAnime anime;
    Bind(anime);
    anime.Play(ANIME_NO_WAIT, 0, 0, 1);
    EXPECT_EQ(X(), 500);
    Tick();
    EXPECT_EQ(X(), 550);
}

TEST_F(CSpriteAnimeThreadTest, AnEndlessLoopPlaysOnUntilStopFinishesItWithJumpsIgnored)
{
    m_sprite.AddAnimation(Move(0, 10, 2));
    m_sprite.AddAnimation(Move(10, 20, 2));
    m_sprite.AddAnimation(Jump(JUMP_FOREVER, 0));
    CSpriteAnime anime;
    Bind(anime);
    anime.Play(ANIME_NO_WAIT, 0, 0, 0);
    for (int i = 0; i < 40; ++i)
        Tick();
    EXPECT_EQ(anime.IsRunning(), 1);
    EXPECT_GT(m_sprite.GetAnimationCount(), 0);
    anime.Stop();
    EXPECT_EQ(anime.IsRunning(), 0);
    EXPECT_EQ(m_sprite.GetAnimationCount(), 0);
    EXPECT_EQ(X(), 20);
}

TEST_F(CSpriteAnimeThreadTest, TheTaskLeavesTheRunnerAndFinishesItsSpritesWhenDestroyed)
{
    m_sprite.AddAnimation(Move(0, 100, 50));
    {
        CSpriteAnime anime;
        Bind(anime);
        anime.Play(ANIME_NO_WAIT, 0, 0, 0);
        Tick();
        EXPECT_EQ(X(), 2);
    }
    EXPECT_EQ(m_runner.GetCount(), 0u);
    EXPECT_EQ(X(), 100);
}

TEST_F(CSpriteAnimeThreadTest, AWaitedPlayThatIsSkippedLeavesEveryStepFinal)
{
    // The skip inputs of PlayAndWait, each one alone; the play is endless, so only the skip
    // can end it.
    struct Input
    {
        const char* name;
        uint32_t scan_code; // 0: none
        bool left_button;
        bool extra;
    };
    const Input inputs[] = {{"Enter", 28, false, false},      {"keypad Enter", 156, false, false},
                            {"left Ctrl", 29, false, false},  {"right Ctrl", 157, false, false},
                            {"left Shift", 42, false, false}, {"right Shift", 54, false, false},
                            {"left button", 0, true, false},  {"extra input", 0, false, true}};
    for (const Input& input : inputs) {
        SCOPED_TRACE(input.name);
        m_sprite.ClearAnimations();
        m_sprite.AddAnimation(Move(0, 10, 2));
        m_sprite.AddAnimation(Jump(JUMP_FOREVER, 0));
        m_sprite.AddAnimation(Move(10, 300, 2));
        CSpriteAnime anime;
        Bind(anime);
        std::atomic<bool> stop{false};
        int passes = 0;
        // The app-task thread presses the input before its third pass; only it reads the
        // devices while the main thread waits.
        std::thread task_thread([&] {
            while (!stop) {
                VirtualClock::Advance(16);
                if (++passes == 3) {
                    if (input.scan_code != 0)
                        m_keyboard.down.insert(input.scan_code);
                    m_mouse.left_down = input.left_button ? 1 : 0;
                    m_input.SetExtraInput(1, input.extra ? 1 : 0);
                }
                m_runner.RunDueTasks();
            }
        });
        anime.PlayAndWait();
        stop = true;
        task_thread.join();
        EXPECT_EQ(anime.IsSkipped(), 1);
        EXPECT_EQ(anime.IsRunning(), 0);
        EXPECT_FALSE(m_runner.Contains(&anime));
        // Finished with jumps ignored: the list ran to its last record.
        EXPECT_EQ(X(), 300);
        EXPECT_EQ(m_sprite.GetAnimationCount(), 0);
        m_keyboard.down.clear();
        m_mouse.left_down = 0;
        m_input.SetExtraInput(1, 0);
    }
}

TEST_F(CSpriteAnimeThreadTest, CancelInputsDoNotSkipAWaitedPlay)
{
    m_sprite.AddAnimation(Move(0, 30, 3));
    m_keyboard.down.insert(1); // Esc
    m_mouse.right_down = 1;
    CSpriteAnime anime;
    Bind(anime);
    std::atomic<bool> stop{false};
    std::thread task_thread([&] {
        while (!stop) {
            VirtualClock::Advance(16);
            m_runner.RunDueTasks();
        }
    });
    anime.PlayAndWait();
    stop = true;
    task_thread.join();
    EXPECT_EQ(anime.IsSkipped(), 0);
    EXPECT_EQ(X(), 30);
}

TEST_F(CSpriteAnimeThreadTest, SkipKeysAreIgnoredInSkipMode)
{
    GetScriptState().m_current_state = std::make_unique<FlagBuffer>(); // the engine-state word lives there
    GetDocument()->SetEngineStateBits(ENGINE_STATE_SKIP_MODE);
    m_keyboard.down.insert(29); // Ctrl
    m_sprite.AddAnimation(Move(0, 30, 3));
    CSpriteAnime anime;
    Bind(anime);
    anime.Play(ANIME_NO_WAIT, ANIME_SKIP_FLAGS, ANIME_REQUEST_MASK, 0);
    Tick();
    EXPECT_EQ(anime.IsSkipped(), 0);
    EXPECT_EQ(X(), 10);
}

TEST_F(CSpriteAnimeThreadTest, WaitForEndLetsALoopRunToItsNextMarker)
{
    m_sprite.AddAnimation(Move(0, 10, 2));
    SpriteAnimRecord marker;
    marker.SetMarker();
    m_sprite.AddAnimation(marker);
    m_sprite.AddAnimation(Jump(JUMP_FOREVER, 0));
    m_sprite.AddAnimation(Move(10, 500, 2)); // after the marker: never played
    CSpriteAnime anime;
    Bind(anime);
    anime.Play(ANIME_NO_WAIT, 0, 0, 0);
    std::atomic<bool> stop{false};
    std::thread task_thread([&] {
        while (!stop) {
            VirtualClock::Advance(16);
            m_runner.RunDueTasks();
        }
    });
    anime.WaitForEnd();
    stop = true;
    task_thread.join();
    EXPECT_EQ(X(), 10);
    EXPECT_EQ(m_sprite.GetAnimationCount(), 0);
    EXPECT_FALSE(m_runner.Contains(&anime));
}

TEST_F(CSpriteAnimeThreadTest, CtrlEndsWaitForEndEarlyWithTheListFinished)
{
    m_sprite.AddAnimation(Move(0, 10, 2));
    m_sprite.AddAnimation(Jump(JUMP_FOREVER, 0));
    m_sprite.AddAnimation(Move(10, 70, 2));
    m_keyboard.down.insert(157); // right Ctrl
    CSpriteAnime anime;
    Bind(anime);
    anime.Play(ANIME_NO_WAIT, 0, 0, 0);
    anime.WaitForEnd();
    EXPECT_EQ(X(), 70);
    EXPECT_EQ(m_sprite.GetAnimationCount(), 0);
}

TEST_F(CSpriteAnimeThreadTest, WaitForEndReturnsWhenTheTaskNoLongerPlaysTheRecordsLeft)
{
    // A record without kinds stops the sprite's play with records left; the task then stops,
    // and nothing would ever use those records up.
    m_sprite.AddAnimation(SpriteAnimRecord(1));
    m_sprite.AddAnimation(Move(0, 40, 2));
    CSpriteAnime anime;
    Bind(anime);
    anime.Play(ANIME_NO_WAIT, 0, 0, 0);
    Tick();
    ASSERT_EQ(anime.IsRunning(), 0);
    ASSERT_GT(m_sprite.GetAnimationCount(), 0);
    anime.WaitForEnd();
    EXPECT_EQ(X(), 40);
    EXPECT_EQ(m_sprite.GetAnimationCount(), 0);
}

TEST_F(CSpriteAnimeThreadTest, AWaitedPlayWithoutATaskRunnerEndsAtOnceWithItsStepsFinal)
{
    // Nothing would ever play the steps; waiting for them would never end.
    SetAppTask(nullptr);
    m_sprite.AddAnimation(Move(0, 60, 30));
    CSpriteAnime anime;
    Bind(anime);
    anime.PlayAndWait();
    EXPECT_EQ(X(), 60);
    EXPECT_EQ(anime.IsRunning(), 0);
}

// Once a signal asked the game to end, a waited play (a screen sliding out as the end unwinds
// it) ends at once with its steps final, though no task runs them. A signal's request cannot be
// taken back: the case runs in a child, whose hang the alarm ends.
TEST_F(CSpriteAnimeThreadTest, AWaitedPlayEndsAtOnceWhileASignalEndsTheGame)
{
    m_sprite.AddAnimation(Move(0, 60, 30));
    const pid_t child = fork();
    if (child == 0) {
        alarm(60);
        platform::InstallTerminationHandlers();
        raise(SIGTERM);
        CSpriteAnime anime;
        Bind(anime);
        anime.PlayAndWait();
        _exit(X() == 60 && anime.IsRunning() == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

// The main thread's wait for a play rests between its turns: the task's end wakes it, and an end
// that came during one rest leaves the next rest of the same turn nothing to wait for.
TEST_F(CSpriteAnimeThreadTest, APlaysEndWakesTheWaitAndItsNextTurnIsDueAtOnce)
{
    static int wakes;
    wakes = 0;
    platform::SetIdleWake(+[] { ++wakes; });
    m_sprite.AddAnimation(Move(0, 100, 2));
    CSpriteAnime anime;
    Bind(anime);
    anime.Play(ANIME_NO_WAIT, 0, 0, 0);
    for (int i = 0; i < 3; ++i)
        Tick();
    EXPECT_EQ(anime.IsRunning(), 0);
    EXPECT_EQ(wakes, 1); // at its end only
    platform::SetIdleWake(nullptr);

    // On the real clock the rests call the window layer's wait; the play ends during the first
    // 1 ms rest, as the task's wake would end it.
    static CSpriteAnime* playing;
    static std::vector<std::pair<uint32_t, bool>> rests; // minimum, due at once
    rests.clear();
    m_sprite.AddAnimation(Move(0, 10, 2));
    m_sprite.AddAnimation(Jump(JUMP_FOREVER, 0));
    CSpriteAnime endless;
    Bind(endless);
    playing = &endless;
    VirtualClock::Disable();
    platform::SetIdleWait(+[](uint32_t min_ms) {
        const std::optional<uint32_t> due = platform::TakeDueTime();
        rests.emplace_back(min_ms, due.has_value() && static_cast<int32_t>(*due - timeGetTime()) <= 0);
        if (min_ms == 1)
            playing->Stop();
        return false;
    });
    endless.Play(ANIME_WAIT, 0, 0, 0);
    platform::SetIdleWait(nullptr);
    ASSERT_EQ(rests.size(), 3u); // the first turn's two rests, then the turn that sees the end
    EXPECT_EQ(rests[2], std::make_pair(0u, true));
}

TEST_F(CSpriteAnimeThreadTest, AddingASpriteTwiceListsItOnce)
{
    m_sprite.AddAnimation(Move(0, 100, 4));
    CSpriteAnime anime;
    Bind(anime);
    anime.AddSprite(&m_sprite);
    anime.Play(ANIME_NO_WAIT, 0, 0, 0);
    Tick();
    EXPECT_EQ(X(), 25); // one update per period, not two
}

} // namespace
