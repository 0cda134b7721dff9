// The main thread's rest between loop turns: input, posts and frames from other threads end it
// at once, and Sleep(0) on the window thread rests in it.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/TerminationSignals.h"
#include "platform/dsound/MixerVoice.h"
#include "platform/kernel/IdleWait.h"
#include "platform/kernel/SyncApi.h"
#include "platform/kernel/TimeApi.h"
#include "platform/kernel/VirtualClock.h"
#include "platform/user/InputInjection.h"
#include "platform/user/MessageApi.h"
#include "platform/user/RecordingWindow.h"
#include "platform/user/WindowFrame.h"
#include "platform/user/WindowManager.h"
#include "support/ThreadTest.h"

namespace {

using namespace platform;
using test::RecordingWindow;
using IdleWake = WindowManager::IdleWake;

constexpr uint32_t LONG_WAIT_MS = 60'000; // far longer than any test runs: only the event ends it

class IdleWaitThreadTest : public ThreadTest
{
protected:
    void SetUp() override
    {
        m_view = m_window.Create(WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 320, 240);
        ASSERT_NE(m_view, nullptr);
        // Settle: the window's first pictures and anything else pending are handled first.
        for (int turn = 0; turn < 1000; ++turn) {
            RecordingWindow::PumpAll();
            if (WindowManager::GetInstance().IdleWait(1) == IdleWake::Timeout)
                break;
        }
        m_window.Clear();
    }

    // Runs `act` on another thread once the main thread is inside the wait, and waits.
    IdleWake WaitWhile(std::function<void()> act)
    {
        WindowManager& manager = WindowManager::GetInstance();
        std::atomic<bool> done{false};
        std::thread other([&] {
            while (!manager.IsIdleWaiting() && !done)
                std::this_thread::yield();
            act();
        });
        // A native event that is no input (the window's own, on a loaded machine late) may end a
        // wait early as a timeout: only the act's wake counts.
        IdleWake wake;
        do
            wake = manager.IdleWait(LONG_WAIT_MS);
        while (wake == IdleWake::Timeout);
        done = true;
        other.join();
        return wake;
    }

    // The rests (whatever ended them) of a loop that turns with Sleep(0) until `due`.
    static uint64_t RestsUntil(uint32_t due)
    {
        const auto& counts = WindowManager::GetInstance().IdleStatistics();
        uint64_t rests = 0;
        for (const auto& count : counts.wakes)
            rests -= count;
        while (static_cast<int32_t>(timeGetTime() - due) < 0)
            Sleep(0);
        for (const auto& count : counts.wakes)
            rests += count;
        return rests;
    }

    RecordingWindow m_window;
    HWND m_view = nullptr;
};

TEST_F(IdleWaitThreadTest, InputPostsAndFramesFromAnotherThreadEndTheWaitAndSayWhich)
{
    EXPECT_EQ(WaitWhile([&] { PushKey(m_view, 'A', true); }), IdleWake::Input);
    RecordingWindow::PumpAll(false);
    ASSERT_EQ(m_window.Of(WM_KEYDOWN).size(), 1u);

    EXPECT_EQ(WaitWhile([&] { PostMessageW(m_view, WM_APP + 7, 0, 0); }), IdleWake::Posted);
    RecordingWindow::PumpAll(false);
    EXPECT_EQ(m_window.Of(WM_APP + 7).size(), 1u);

    auto frame = std::make_shared<WindowFrame>();
    EXPECT_EQ(WaitWhile([&] {
                  WindowManager::GetInstance().PublishFrame(m_view, frame);
                  NoteFramePresented();
              }),
              IdleWake::Frame);
}

// A frame presented on another thread (the click prompt's, from the task thread) ends the rest
// once; the loop's next rest shows it and rests on. A present noted after the loop had left its
// rest ended that next rest too, for nothing.
TEST_F(IdleWaitThreadTest, AFrameFromAnotherThreadEndsOneRestAndTheNextShowsItAndRests)
{
    WindowManager& manager = WindowManager::GetInstance();
    const auto& counts = manager.IdleStatistics();
    auto frame = std::make_shared<WindowFrame>();
    EXPECT_EQ(WaitWhile([&] {
                  manager.PublishFrame(m_view, frame);
                  // The present notes its frame once the loop has left its rest (a bound for a
                  // frame that woke no rest).
                  const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
                  while (manager.IsIdleWaiting() && std::chrono::steady_clock::now() < limit)
                      std::this_thread::yield();
                  NoteFramePresented();
              }),
              IdleWake::Frame);
    const uint64_t presents = counts.presents.load();
    IdleWake wake = manager.IdleWait(20);
    if (wake == IdleWake::Frame) // the display's refresh held the frame first
        wake = manager.IdleWait(20);
    EXPECT_EQ(wake, IdleWake::Timeout);
    EXPECT_EQ(counts.presents.load(), presents + 1);

    // The rest ended for something else, and the present is noted only once the loop turns: the
    // loop's next rest shows the frame and rests on all the same.
    EXPECT_EQ(WaitWhile([&] {
                  manager.PublishFrame(m_view, frame);
                  PostMessageW(m_view, WM_APP + 9, 0, 0);
              }),
              IdleWake::Posted);
    std::thread([] { NoteFramePresented(); }).join();
    RecordingWindow::PumpAll(false);
    wake = manager.IdleWait(20);
    if (wake == IdleWake::Frame)
        wake = manager.IdleWait(20);
    EXPECT_EQ(wake, IdleWake::Timeout);
    EXPECT_EQ(counts.presents.load(), presents + 2);
}

TEST_F(IdleWaitThreadTest, WorkAlreadyWaitingEndsItBeforeItStarts)
{
    PostMessageW(m_view, WM_APP + 8, 0, 0);
    EXPECT_EQ(WindowManager::GetInstance().IdleWait(LONG_WAIT_MS), IdleWake::Pending);
    RecordingWindow::PumpAll(false);
    EXPECT_EQ(WindowManager::GetInstance().IdleWait(1), IdleWake::Timeout);
}

TEST_F(IdleWaitThreadTest, AWakeBeforeTheRestEndsItAtOnceAndOnlyOnce)
{
    // A task changed what the loop polls after the loop looked: the rest must not outlast it.
    WindowManager& manager = WindowManager::GetInstance();
    manager.WakeIdle();
    EXPECT_EQ(manager.IdleWait(LONG_WAIT_MS), IdleWake::Pending);
    EXPECT_EQ(manager.IdleWait(1), IdleWake::Timeout);
    // During the rest it ends it too (else the test would wait a minute), and is not kept for
    // the next one.
    std::thread other([&] {
        while (!manager.IsIdleWaiting())
            std::this_thread::yield();
        manager.WakeIdle();
    });
    manager.IdleWait(LONG_WAIT_MS);
    other.join();
    EXPECT_EQ(manager.IdleWait(1), IdleWake::Timeout);
}

TEST_F(IdleWaitThreadTest, SleepZeroRestsOnTheWindowThreadOnlyOnTheRealClock)
{
    const auto& counts = WindowManager::GetInstance().IdleStatistics();
    auto waits = [&] {
        uint64_t total = 0;
        for (const auto& count : counts.wakes)
            total += count;
        return total;
    };
    const uint64_t before = waits();
    Sleep(0);
    EXPECT_EQ(waits(), before + 1);

    std::thread([&] { Sleep(0); }).join(); // another thread keeps the yield
    EXPECT_EQ(waits(), before + 1);

    VirtualClock::Enable(1000);
    Sleep(0);
    VirtualClock::Disable();
    EXPECT_EQ(waits(), before + 1);
}

TEST_F(IdleWaitThreadTest, ANoteMadeAfterTheHeldOneFellDueFollowsItInsteadOfBeingLost)
{
    // A loop woke at its note and noted its next step before its rest took the old one.
    while (TakeDueTime())
        Sleep(1);
    const uint32_t now = timeGetTime();
    NoteDueTime(now);
    NoteDueTime(now + 600);
    NoteDueTime(now + 300); // the earlier of the later two
    EXPECT_EQ(TakeDueTime(), std::optional<uint32_t>(now));
    EXPECT_EQ(TakeDueTime(), std::optional<uint32_t>(now + 300));
    NoteDueTime(now + 400);
    EXPECT_EQ(TakeDueTime(), std::optional<uint32_t>(now + 300)) << "a later note keeps the earlier one";
    while (TakeDueTime())
        Sleep(1);
}

// A loop that pumps (Sleep(0)), steps when its noted time has come and notes the next, then rests
// (Sleep(1)), as the screens' loops do: from its first step on it is woken once a step. A rest
// that lasted until the note is followed by the step; answering the old note again after it cost
// a millisecond's rest more each step.
TEST_F(IdleWaitThreadTest, ALoopSteppingAtItsNotesRestsOnceAStep)
{
    constexpr uint32_t INTERVAL_MS = 30;
    constexpr int STEPS = 12;
    while (TakeDueTime())
        Sleep(1);
    RecordingWindow::PumpAll(false);
    // The pace of a frame runs out (rests of 1, 2, 4, 8 and 16 ms), so the first note falls due
    // in the pump's rest, and the rest before each later step has been that one.
    NoteFramePresented();
    for (int pace = 0; pace < 5; ++pace)
        Sleep(1);
    // Rests are counted from the second step.
    int steps = -1;
    int rests = 0; // the calls that did rest, whatever ended them
    uint32_t last_step = timeGetTime();
    NoteDueTime(last_step + INTERVAL_MS + 1);
    const auto rest = [&](DWORD ms) {
        const uint64_t start = RealMicroseconds();
        Sleep(ms);
        if (steps >= 1 && RealMicroseconds() - start >= 200)
            ++rests;
    };
    while (steps < STEPS) {
        rest(0);
        RecordingWindow::PumpAll(false);
        const uint32_t now = timeGetTime();
        if (now - last_step > INTERVAL_MS) {
            last_step = now;
            ++steps;
        }
        NoteDueTime(last_step + INTERVAL_MS + 1);
        rest(1);
    }
    // A native event of the window's, or a turn preempted on a loaded machine, may add a rest.
    EXPECT_LE(rests, STEPS + 2);
    while (TakeDueTime())
        Sleep(1);
}

TEST_F(IdleWaitThreadTest, AFrameThatIsANotedStepRestsUntilTheNextStepAndAPolledOneKeepsTheFramesPace)
{
    // Rests of a loop that presented one frame and then only turns until its noted time.
    auto rests_until = [&](bool step) {
        RecordingWindow::PumpAll(false);
        const uint32_t due = timeGetTime() + 400;
        if (step)
            NoteNextStep(due);
        else
            NoteDueTime(due);
        NoteFramePresented();
        return RestsUntil(due);
    };
    // A polled animation is looked at again within a frame's time: 1, 2, 4, 8 and 16 ms.
    EXPECT_GE(rests_until(false), 4u);
    // A step waits for its note alone (a native event of the window's may end one rest early).
    EXPECT_LE(rests_until(true), 2u);
    // And the pace comes back for the next frame that is no step.
    EXPECT_GE(rests_until(false), 4u);
    // A step whose time has come when it is noted (the settings' sample at full speed types a
    // character each frame) wants the next turn at once: the frames' pace, not a rest until
    // some later note. It rested the full long bound, a character a second.
    RecordingWindow::PumpAll(false);
    NoteNextStep(timeGetTime());
    NoteFramePresented();
    Sleep(1);
    const uint32_t due = timeGetTime() + 400;
    NoteDueTime(due);
    EXPECT_GE(RestsUntil(due), 4u);
}

// The settings' sample at full speed: a character each turn, its step noted already due. A turn
// costs the millisecond of the sleep after its step; the pump's rest before the next step only
// yields (it rested a frame's pace more, a millisecond and up).
TEST_F(IdleWaitThreadTest, ALoopSteppingAtOnceRestsOnlyItsSleepsMinimumATurn)
{
    while (TakeDueTime())
        Sleep(1);
    RecordingWindow::PumpAll(false);
    constexpr int STEPS = 20;
    int pump_rests = 0;
    for (int step = 0; step < STEPS; ++step) {
        const uint64_t start = RealMicroseconds();
        Sleep(0);
        if (step > 0 && RealMicroseconds() - start >= 500)
            ++pump_rests;
        NoteFramePresented();
        NoteNextStep(timeGetTime());
        Sleep(1);
    }
    // A turn preempted on a loaded machine may look like a rest.
    EXPECT_LE(pump_rests, STEPS / 4);
    while (TakeDueTime())
        Sleep(1);
}

// Music loops for as long as a screen stays open: a playing sound sets no pace of its own. A loop
// whose next turn is noted well ahead rests until then, as in silence (the loops that wait for a
// sound poll whether it plays, and its stop wakes the rest).
TEST_F(IdleWaitThreadTest, APlayingSoundKeepsNoPaceOfItsOwn)
{
    const WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
    MixerVoice music(format, 44100 * 4, 0);
    music.Play(true);
    while (TakeDueTime())
        Sleep(1);
    RecordingWindow::PumpAll(false);
    // The rests of a loop that turns until its noted time.
    const auto rests_until = [](uint32_t due) {
        NoteDueTime(due);
        return RestsUntil(due);
    };
    // The pace after the window's last picture (rests of 1, 2, 4, 8 and 16 ms) runs out first.
    rests_until(timeGetTime() + 100);
    // A native event of the window's may end one rest early.
    EXPECT_LE(rests_until(timeGetTime() + 400), 2u);
    music.Stop();
    while (TakeDueTime())
        Sleep(1);
}

// A game asked to end by a signal does not rest again before it ends: once its wake is spent, a
// rest ends at once. (In a child: a request cannot be taken back.)
TEST_F(IdleWaitThreadTest, NoRestOnceASignalAskedTheGameToEnd)
{
    const pid_t child = fork();
    if (child == 0) {
        InstallTerminationHandlers();
        raise(SIGTERM);
        WindowManager& manager = WindowManager::GetInstance();
        manager.IdleWait(LONG_WAIT_MS); // the signal's wake
        _exit(manager.IdleWait(LONG_WAIT_MS / 12) == IdleWake::Pending ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

} // namespace
