// Byte-code animation slots, with programs built by the animeasm writer and ticked by hand.

#include "graphics/CAnimeManager.h"

#include "animeasm/AnimeProgramWriter.h"
#include "app/CVeskDoc.h"
#include "foundation/DocumentLink.h"
#include "foundation/ScopedLock.h"
#include "graphics/CAppTask.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/LayerTestSupport.h"
#include "graphics/SpriteLayerRegistry.h"
#include "platform/kernel/SyncApi.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "support/ThreadTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

using tools::AnimeCode;
using tools::AnimeCommand;
using tools::AnimeProgramWriter;

namespace {

// Counts the commands it is asked to carry out, then carries them out.
class CountingManager : public CAnimeManager
{
public:
    void CopyPicture(int32_t group, int32_t slot, const AnimeCommandRecord& command) override
    {
        ++copies;
        last_source_x = command.source_x;
        CAnimeManager::CopyPicture(group, slot, command);
    }
    std::atomic<int> copies{0}; // the task thread counts, the test thread waits on it
    uint32_t last_source_x = 0;
};

std::unique_ptr<CSpriteLayer> Layer(int w, int h, uint32_t fill)
{
    auto layer = std::make_unique<CSpriteLayer>();
    layer->Create(0, 0, w, h, -1);
    layer->FillRect(0, 0, w, h, fill, 1);
    return layer;
}

class CAnimeManagerThreadTest : public ThreadTest
{
protected:
    CAnimeManagerThreadTest()
    {
        // Two commands: copy column 0 or column 1 of the source to (0, 0) of the destination.
        m_writer.AddCommand(AnimeCommand{0, 0, 0, 1, 1, 0, 0});
        m_writer.AddCommand(AnimeCommand{0, 1, 0, 1, 1, 0, 0});
    }
    ~CAnimeManagerThreadTest() override
    {
        for (int32_t number : {0, 2, 4, 5})
            GetSpriteLayerRegistry().UnregisterSpriteLayer(number);
    }

    void Load(int group, int slot, const AnimeCode& code)
    {
        m_writer.SetSlotCode(group, slot, code);
        m_program = m_writer.Build();
        m_manager.SetProgramData(m_program.data(), m_program.size());
        m_manager.ArmSlot(group, slot);
        m_manager.StartSlot(group, slot);
    }

    // The command counts after each of n ticks.
    std::vector<int> Ticks(int n, int group = 0, int slot = 0)
    {
        std::vector<int> counts;
        for (int i = 0; i < n; ++i) {
            m_manager.TickSlot(group, slot);
            counts.push_back(m_manager.copies.load());
        }
        return counts;
    }

    uint32_t State(int group = 0, int slot = 0) { return m_manager.GetSlot(group, slot).state; }

    AnimeProgramWriter m_writer;
    std::vector<uint8_t> m_program;
    CountingManager m_manager;
};

} // namespace

TEST_F(CAnimeManagerThreadTest, LoopRunsItsBodyCountTimesThenGoesOn)
{
    Load(0, 0, AnimeCode().LoopA(3).Command(0).EndLoopA().Command(1).End());
    // Loop start, then the command on every second tick (the loop end takes a tick of its own).
    EXPECT_EQ(Ticks(8), (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 4}));
    EXPECT_EQ(m_manager.last_source_x, 1u); // the command after the loop
    EXPECT_EQ(State(), ANIME_RUNNING);
    m_manager.TickSlot(0, 0);
    EXPECT_EQ(State(), ANIME_STOPPED);
}

TEST_F(CAnimeManagerThreadTest, LoopCountZeroRepeatsForEver)
{
    Load(1, 2, AnimeCode().LoopB(0).Command(0).EndLoopB().End());
    const std::vector<int> counts = Ticks(1001, 1, 2);
    EXPECT_EQ(counts.back(), 500);
    EXPECT_EQ(State(1, 2), ANIME_RUNNING);
}

TEST_F(CAnimeManagerThreadTest, WaitHoldsTheNextOpcodeForItsTicks)
{
    Load(0, 0, AnimeCode().Wait(10).Command(0).End());
    const std::vector<int> counts = Ticks(12);
    EXPECT_EQ(counts[10], 0); // the wait itself, then ten ticks of waiting
    EXPECT_EQ(counts[11], 1);
}

TEST_F(CAnimeManagerThreadTest, RestartGoesBackToTheSlotsFirstOpcode)
{
    Load(0, 1, AnimeCode().Command(0).Restart());
    EXPECT_EQ(Ticks(6, 0, 1), (std::vector<int>{1, 1, 2, 2, 3, 3}));
}

TEST_F(CAnimeManagerThreadTest, PausingAndFinishingSlotsStopAtTheirNextHold)
{
    Load(0, 0, AnimeCode().LoopA(0).Command(0).Hold(2).EndLoopA());
    Ticks(2); // loop start, command
    m_manager.PauseSlot(0, 0);
    EXPECT_EQ(State(), ANIME_PAUSING);
    m_manager.TickSlot(0, 0); // the hold opcode
    EXPECT_EQ(State(), ANIME_STOPPED);

    Load(0, 0, AnimeCode().LoopA(0).Command(0).Hold(2).EndLoopA());
    Ticks(2);
    EXPECT_FALSE(m_manager.IsAllFinished());
    EXPECT_EQ(State(), ANIME_FINISHING);
    m_manager.TickSlot(0, 0);
    EXPECT_EQ(State(), ANIME_FINISHED);
    EXPECT_TRUE(m_manager.IsAllFinished());
}

TEST_F(CAnimeManagerThreadTest, CommandsCopyBetweenRegisteredLayers)
{
    GetSpriteLayerRegistry().RegisterSpriteLayer(0, Layer(2, 2, 0x11000000).release());
    auto source = Layer(2, 1, 0xFF000000);
    SetPixel(*source->GetLayer(), 0, 0, 0xEE123456);
    SetPixel(*source->GetLayer(), 1, 0, 0xEE00FF00); // pure green: skipped by the colour key
    GetSpriteLayerRegistry().RegisterSpriteLayer(5, source.release());
    m_writer.AddCommand(AnimeCommand{1, 1, 0, 1, 1, 1, 1}); // colour-key copy of the green pixel
    Load(0, 0, AnimeCode().Command(0).Command(2).End());
    Ticks(2);
    ILayer* dest = GetSpriteLayerRegistry().GetSpriteLayer(0)->GetLayer();
    EXPECT_EQ(PixelAt(*dest, 0, 0), 0x11123456u); // colour copied, destination alpha kept
    EXPECT_EQ(PixelAt(*dest, 1, 1), 0x11000000u);
}

TEST_F(CAnimeManagerThreadTest, ComposeRestoresTheBackgroundThenBlendsThePicture)
{
    GetSpriteLayerRegistry().RegisterSpriteLayer(0, Layer(1, 1, 0xFF000000).release());
    GetSpriteLayerRegistry().RegisterSpriteLayer(2, Layer(1, 1, 0).release());
    GetSpriteLayerRegistry().RegisterSpriteLayer(4, Layer(1, 1, 0xFF0000C8).release()); // background blue 200
    GetSpriteLayerRegistry().RegisterSpriteLayer(5, Layer(1, 1, 0x80000064).release()); // picture blue 100 at 128
    m_writer.AddCommand(AnimeCommand{3, 0, 0, 1, 1, 0, 0});
    Load(0, 0, AnimeCode().Command(2).End());
    m_manager.TickSlot(0, 0);
    // T[128][100] + T[127][200] = 50 + 99 over the restored background.
    EXPECT_EQ(PixelAt(*GetSpriteLayerRegistry().GetSpriteLayer(0)->GetLayer(), 0, 0), 0xFF000095u);
}

TEST_F(CAnimeManagerThreadTest, StepSlotRunsToTheFirstCommandAtOnce)
{
    Load(0, 0, AnimeCode().Nop().Wait(3).LoopA(2).Command(1).Hold(5).Command(0));
    EXPECT_EQ(m_manager.StepSlot(0, 0), 1);
    EXPECT_EQ(m_manager.copies.load(), 1);
    EXPECT_EQ(m_manager.last_source_x, 1u);
    EXPECT_EQ(m_manager.GetSlot(0, 0).pc, 0u);
    Load(0, 3, AnimeCode().Stop().Command(0));
    EXPECT_EQ(m_manager.StepSlot(0, 3), 0);
    EXPECT_EQ(m_manager.copies.load(), 1);
}

TEST_F(CAnimeManagerThreadTest, WithoutAProgramOnlyPauseAndStopAct)
{
    m_manager.ArmSlot(0, 0);
    m_manager.StartSlot(0, 0);
    EXPECT_EQ(State(), ANIME_STOPPED);
    EXPECT_FALSE(m_manager.GetSlot(0, 0).armed);
    m_manager.PauseSlot(0, 0);
    EXPECT_EQ(State(), ANIME_PAUSING);
    m_manager.TickSlot(0, 0);
    EXPECT_EQ(m_manager.StepSlot(0, 0), 0);
    m_manager.StopAll();
    EXPECT_EQ(State(), ANIME_STOPPED);
    // Out-of-range slots are ignored.
    m_manager.StartSlot(10, 0);
    m_manager.PauseSlot(-1, 40);
    m_manager.TickSlot(3, 32);
}

TEST_F(CAnimeManagerThreadTest, UnloadingDisarmsTheSlots)
{
    Load(0, 0, AnimeCode().LoopA(0).Command(0).EndLoopA());
    Ticks(2);
    m_manager.UnloadProgram();
    EXPECT_FALSE(m_manager.HasProgram());
    EXPECT_EQ(State(), ANIME_STOPPED);
    m_manager.StartSlot(0, 0);
    m_manager.TickSlot(0, 0);
    EXPECT_EQ(m_manager.copies.load(), 1);
}

// Programs are data: every way of leaving the program stops the slot instead of reading past it.
TEST_F(CAnimeManagerThreadTest, SlotsThatLeaveTheirProgramStop)
{
    struct Case
    {
        const char* name;
        AnimeCode code;
        int ticks;
    };
    const Case cases[] = {
        {"no terminator", AnimeCode().Command(0), 2},
        {"cut operand", AnimeCode().Byte(2).Byte(1).Byte(0), 1},
        {"command past the table", AnimeCode().Command(0xFFFFFFF0u), 1},
        {"command index just past the table", AnimeCode().Command(2), 1},
    };
    for (const Case& c : cases) {
        AnimeProgramWriter writer;
        writer.AddCommand(AnimeCommand{});
        writer.AddCommand(AnimeCommand{});
        writer.SetSlotCode(0, 0, c.code);
        const std::vector<uint8_t> program = writer.Build();
        CAnimeManager manager;
        manager.SetProgramData(program.data(), program.size());
        manager.ArmSlot(0, 0);
        manager.StartSlot(0, 0);
        for (int i = 0; i < c.ticks; ++i)
            manager.TickSlot(0, 0);
        EXPECT_EQ(manager.GetSlot(0, 0).state, ANIME_STOPPED) << c.name;
        manager.StartSlot(0, 0);
        EXPECT_EQ(manager.StepSlot(0, 0), 0) << c.name;
    }
}

TEST_F(CAnimeManagerThreadTest, OffsetsOutsideTheProgramArmNothing)
{
    for (uint32_t offset : {0u, 1279u, 0xFFFFFFFFu}) {
        AnimeProgramWriter writer;
        writer.SetSlotOffset(0, 0, offset);
        const std::vector<uint8_t> program = writer.Build();
        CAnimeManager manager;
        manager.SetProgramData(program.data(), program.size());
        manager.ArmSlot(0, 0);
        manager.StartSlot(0, 0);
        EXPECT_FALSE(manager.GetSlot(0, 0).armed) << offset;
        EXPECT_EQ(manager.GetSlot(0, 0).state, ANIME_STOPPED) << offset;
    }
    // A file too short to hold the offset table arms nothing either.
    const uint8_t tiny[8] = {};
    CAnimeManager manager;
    manager.SetProgramData(tiny, sizeof(tiny));
    manager.ArmSlot(0, 0);
    EXPECT_FALSE(manager.GetSlot(0, 0).armed);
}

namespace {

// Checks every command the ticks hand over against the one command of the program.
class CheckingManager final : public CAnimeManager
{
public:
    void RunCommand(int32_t, int32_t, const AnimeCommandRecord& command) override
    {
        const bool expected = command.kind == 2 && command.dest_x == 0 && command.width == 0;
        (expected ? good : bad)++;
    }
    std::atomic<int> good{0};
    std::atomic<int> bad{0};
};

} // namespace

TEST_F(CAnimeManagerThreadTest, SlotTableIsSafeBetweenTwoThreads)
{
    // The task thread ticks every slot while the main thread swaps programs and re-arms slots.
    AnimeProgramWriter writer;
    writer.AddCommand(AnimeCommand{2, 0, 0, 0, 0, 0, 0});
    for (int group = 0; group < 10; ++group)
        writer.SetSlotCode(group, 0, AnimeCode().LoopA(0).Command(0).Wait(1).EndLoopA());
    CheckingManager manager;
    std::atomic<bool> done{false};
    std::atomic<int> passes{0};
    std::thread task([&] {
        while (!done) {
            for (int group = 0; group < 10; ++group)
                manager.TickSlot(group, 0);
            ++passes;
        }
    });
    // Each round scribbles over the program the manager used before and frees it, so a tick
    // still reading it would hand over a command that is not in the program.
    auto program = std::make_unique<std::vector<uint8_t>>(writer.Build());
    for (int round = 0; round < 20000 || passes < 100; ++round) {
        auto next = std::make_unique<std::vector<uint8_t>>(writer.Build());
        if (round % 3 == 0)
            manager.UnloadProgram();
        manager.SetProgramData(next->data(), next->size());
        std::fill(program->begin(), program->end(), uint8_t{0x5A});
        program = std::move(next);
        for (int group = 0; group < 10; ++group) {
            manager.ArmSlot(group, 0);
            manager.StartSlot(group, 0);
        }
    }
    done = true;
    task.join();
    EXPECT_GT(manager.good.load(), 0);
    EXPECT_EQ(manager.bad.load(), 0);
    for (int group = 0; group < 10; ++group) {
        EXPECT_TRUE(manager.GetSlot(group, 0).armed) << group;
        EXPECT_EQ(manager.GetSlot(group, 0).state, ANIME_RUNNING) << group;
    }
    manager.UnloadProgram();
}

TEST_F(CAnimeManagerThreadTest, LayersComeAndGoWhileATaskCopiesBetweenThem)
{
    // Each tick copies pixel (0, 0) of layer 5 into layer 0 while the main thread registers and
    // frees both layers. Every source is one colour, so the destination can only ever hold its
    // own fill or a copied source colour.
    Load(0, 0, AnimeCode().LoopA(0).Command(0).EndLoopA());
    GetDocument(); // made on the main thread before the task starts, as the game does
    std::atomic<bool> done{false};
    std::thread task([&] {
        while (!done)
            m_manager.TickSlot(0, 0);
    });
    constexpr uint32_t DEST_FILL = 0xFF000000;
    constexpr uint32_t SOURCE_FILL = 0xFF2040C0;
    int copied_rounds = 0;
    for (int round = 0; round < 3000 || (copied_rounds < 20 && round < 200'000); ++round) {
        if (round % 2 == 0) {
            GetSpriteLayerRegistry().RegisterSpriteLayer(0, Layer(64, 64, DEST_FILL).release());
            GetSpriteLayerRegistry().RegisterSpriteLayer(5, Layer(64, 64, SOURCE_FILL).release());
            // A busy machine may not run the task between two rounds: give it a few copies.
            const int before = m_manager.copies;
            for (int spin = 0; spin < 100'000 && m_manager.copies < before + 2; ++spin)
                std::this_thread::yield();
        } else {
            {
                ScopedLock lock(GetSpriteLayerRegistry().GetSpriteLayerLock());
                const uint32_t pixel = PixelAt(*GetSpriteLayerRegistry().GetSpriteLayer(0)->GetLayer(), 0, 0);
                EXPECT_TRUE(pixel == DEST_FILL || pixel == SOURCE_FILL) << std::hex << pixel;
                copied_rounds += pixel == SOURCE_FILL ? 1 : 0;
            }
            GetSpriteLayerRegistry().UnregisterSpriteLayer(round % 4 == 1 ? 0 : 5);
            GetSpriteLayerRegistry().UnregisterSpriteLayer(round % 4 == 1 ? 5 : 0);
        }
    }
    done = true;
    task.join();
    EXPECT_GT(m_manager.copies.load(), 0);
    EXPECT_GT(copied_rounds, 0);
}

TEST_F(CAnimeManagerThreadTest, AssembledProgramLoopsWaitsAndHolds)
{
    std::string error;
    const auto program = tools::AssembleAnimeProgram(R"(
        command copy 0 0 1 1 0 0
        slot 4 7
            loop 2      ; twice: copy, wait two ticks, hold one
            cmd 0
            wait 2
            hold 1
            endloop
            end
    )",
                                                     error);
    ASSERT_TRUE(program) << error;
    m_manager.SetProgramData(program->data(), program->size());
    m_manager.ArmSlot(4, 7);
    m_manager.StartSlot(4, 7);
    // loop, cmd, wait, 2 waiting, hold, 1 holding, endloop; cmd, wait, 2 waiting, hold, 1 holding,
    // endloop (done), end.
    EXPECT_EQ(Ticks(16, 4, 7), (std::vector<int>{0, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2}));
    EXPECT_EQ(State(4, 7), ANIME_STOPPED);
}

TEST_F(CAnimeManagerThreadTest, WithNothingToTickTheTaskRestsUntilAStartWakesItAndTicksAPeriodLater)
{
    CAppTask runner;
    CAppTask* previous = SetAppTask(&runner);
    GetScriptState().m_current_state = std::make_unique<FlagBuffer>(); // holds the engine-state word
    GetDocument()->SetEngineStateBits(ENGINE_ANIME_TICKS);
    SetDocumentLink(GetDocument()); // as a started game has it: the ticks read the word through it
    Load(0, 0, AnimeCode().Command(0).Command(0).Command(0).Restart());
    EXPECT_EQ(m_manager.GetQuietTime(0), 0u);
    m_manager.StopSlot(0, 0);
    EXPECT_EQ(m_manager.GetQuietTime(0), INFINITE);
    WaitForSingleObject(runner.GetWakeEvent(), 0); // what the load left

    // The start ends the runner's rest; the run it wakes only restarts the period, so slots
    // started one after another in the same frame tick together from the next run on.
    m_manager.StartSlot(0, 0);
    EXPECT_EQ(WaitForSingleObject(runner.GetWakeEvent(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(m_manager.GetQuietTime(0), 0u);
    m_manager.Execute();
    EXPECT_EQ(m_manager.copies.load(), 0);
    m_manager.Execute();
    EXPECT_EQ(m_manager.copies.load(), 1);
    // A slot started while others run keeps their period: no wake, no skipped run.
    m_manager.PauseSlot(1, 0);
    EXPECT_EQ(WaitForSingleObject(runner.GetWakeEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    m_manager.Execute();
    EXPECT_EQ(m_manager.copies.load(), 2);

    SetDocumentLink(nullptr);
    GetScriptState().m_current_state.reset();
    GetDocument()->GetEngineStateWord();
    SetAppTask(previous);
}
