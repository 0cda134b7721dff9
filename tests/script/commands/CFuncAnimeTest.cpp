// The animation group driven by assembled scripts over a started game whose task runner plays the
// slots as the waits pump: the slot states each sub-function leaves, the waits ending by the
// slots, by Escape, Delete, the right button or a touch (stopping the slot), by the application
// quitting (leaving it), and numbers outside the slot table ignored.

#include <string>
#include <vector>

#include "GroupTestFixture.h"
#include "animeasm/AnimeProgramWriter.h"
#include "foundation/CInputView.h"
#include "graphics/CAnimeManager.h"
#include "graphics/SpriteLayerRegistry.h"
#include "support/ThreadTest.h"

namespace {

// Slot (0, 0) waits a few ticks and stops; slot (0, 1) holds and restarts for ever.
std::vector<uint8_t> Program()
{
    tools::AnimeProgramWriter writer;
    writer.SetSlotCode(0, 0, tools::AnimeCode().Wait(3).Stop());
    writer.SetSlotCode(0, 1, tools::AnimeCode().Hold(2).Restart());
    return writer.Build();
}

class CFuncAnimeThreadTest : public ThreadTestOn<GroupTest>
{
protected:
    CFuncAnimeThreadTest()
    {
        GameFiles files;
        files.data = {{"A.BIN", Program()}};
        StartGame(std::move(files));
        RunSource("lib 13, 0, \"A.BIN\"\nlib 13, 1, 0, 0\nlib 13, 1, 0, 1\nend");
    }
    uint32_t SlotState(int32_t group, int32_t slot) { return Manager().GetSlot(group, slot).state; }
    CAnimeManager& Manager() { return *GetSpriteLayerRegistry().GetAnimeManager(); }
};

TEST_F(CFuncAnimeThreadTest, SubFunctionsLeaveTheSlotStates)
{
    struct Case
    {
        const char* source;
        uint32_t before; // the state slot (0, 1) is put in first
        uint32_t after;
    };
    const Case cases[] = {
        {"lib 13, 2, 0, 1", ANIME_STOPPED, ANIME_RUNNING},
        {"lib 13, 3, 0, 1", ANIME_RUNNING, ANIME_PAUSING},
        {"lib 13, 4, 0, 1", ANIME_RUNNING, ANIME_STOPPED},
        {"lib 13, 9, 0, 1", ANIME_FINISHED, ANIME_RUNNING},
        {"lib 13, 9, 0, 1", ANIME_RUNNING, ANIME_RUNNING},
        {"lib 13, 9, 0, 1", ANIME_PAUSING, ANIME_PAUSING},
        {"lib 13, 11", ANIME_FINISHED, ANIME_RUNNING},
        {"lib 13, 11", ANIME_PAUSING, ANIME_PAUSING},
        {"lib 13, 6", ANIME_RUNNING, ANIME_PAUSING},
        {"lib 13, 7", ANIME_RUNNING, ANIME_STOPPED},
        {"lib 13, 13, 0, 5", ANIME_RUNNING, ANIME_STOPPED},
        {"lib 13, 13, 1, 0", ANIME_RUNNING, ANIME_RUNNING},
        {"lib 13, 2, 0, 32", ANIME_STOPPED, ANIME_STOPPED},
        {"lib 13, 4, 10, 1", ANIME_RUNNING, ANIME_RUNNING},
        {"lib 13, 13, -1, 0", ANIME_RUNNING, ANIME_RUNNING},
        {"lib 13, 9, 0, 32", ANIME_FINISHED, ANIME_FINISHED},
    };
    for (const Case& c : cases) {
        const uint32_t current = SlotState(0, 1);
        Manager().ChangeSlotState(0, 1, current, c.before);
        RunSource(std::string("push 1\n") + c.source + "\nend");
        EXPECT_EQ(SlotState(0, 1), c.after) << c.source;
        EXPECT_EQ(StackIntegers(), std::vector<int32_t>{1}) << c.source;
        Stack().clear();
    }
    EXPECT_TRUE(TakeMessageBoxes().empty());
}

TEST_F(CFuncAnimeThreadTest, PlayOnAnUnarmedSlotPopsThreeAndReturns)
{
    const int pumps = Pumps();
    RunSource("push 1\nlib 13, 5, 0, 7, 99\nlib 13, 12, 0, 7\nend");
    EXPECT_EQ(StackIntegers(), std::vector<int32_t>{1});
    EXPECT_EQ(Pumps(), pumps);
}

TEST_F(CFuncAnimeThreadTest, SlotWaitsEndByTheSlotByCancelInputsOrByQuitting)
{
    auto escape = [](ScriptedKeyboard& k, ScriptedMouse&) { k.down.insert(SCAN_ESCAPE); };
    auto del = [](ScriptedKeyboard& k, ScriptedMouse&) { k.down.insert(SCAN_DELETE); };
    auto right = [](ScriptedKeyboard&, ScriptedMouse& m) { m.right_down = 1; };
    auto touch = [](ScriptedKeyboard&, ScriptedMouse& m) { m.long_press = 1; };
    struct InputCase
    {
        const char* name;
        const char* source;
        int32_t slot;
        std::function<void(ScriptedKeyboard&, ScriptedMouse&)> press; // at pump 30 of the wait
        bool quit;
        uint32_t after;
    };
    const InputCase cases[] = {
        {"5 runs the slot to its stop", "lib 13, 5, 0, 0, 0", 0, nullptr, false, ANIME_STOPPED},
        {"5 cut by Escape", "lib 13, 5, 0, 1, 0", 1, escape, false, ANIME_STOPPED},
        {"12 cut by Delete", "lib 13, 2, 0, 1\nlib 13, 12, 0, 1", 1, del, false, ANIME_STOPPED},
        {"12 cut by the right button", "lib 13, 2, 0, 1\nlib 13, 12, 0, 1", 1, right, false, ANIME_STOPPED},
        {"12 cut by a touch", "lib 13, 2, 0, 1\nlib 13, 12, 0, 1", 1, touch, false, ANIME_STOPPED},
        {"12 left by quitting", "lib 13, 2, 0, 1\nlib 13, 12, 0, 1", 1, nullptr, true, ANIME_RUNNING},
    };
    for (const InputCase& c : cases) {
        const int start = Pumps();
        m_app.on_pump = [&, start](int pumps) {
            if (pumps - start != 30)
                return;
            if (c.press)
                c.press(m_keyboard, m_mouse);
            m_app.quitting = c.quit;
        };
        RunSource(std::string(c.source) + "\nend");
        EXPECT_EQ(SlotState(0, c.slot), c.after) << c.name;
        EXPECT_LT(Pumps() - start, 1000) << c.name;
        m_keyboard.down.clear();
        m_mouse.right_down = 0;
        m_mouse.long_press = 0;
        m_app.quitting = false;
        Manager().StopSlot(0, 1);
        RunSource("lib 13, 1, 0, 0\nlib 13, 1, 0, 1\nend");
    }
    m_app.on_pump = nullptr;
}

TEST_F(CFuncAnimeThreadTest, FinishWaitsEndWhenEverySlotHasFinished)
{
    for (const char* source : {"lib 13, 2, 0, 1\nlib 13, 8, 0, 1", "lib 13, 2, 0, 1\nlib 13, 10"}) {
        const int start = Pumps();
        RunSource(std::string(source) + "\nend");
        EXPECT_EQ(SlotState(0, 1), ANIME_FINISHED) << source;
        EXPECT_LT(Pumps() - start, 1000) << source;
    }
    // A paused slot is left as it is (with the ticks off, so the manager leaves it too); the
    // wait still asks the manager.
    Document().ClearEngineStateBits(ENGINE_ANIME_TICKS);
    Manager().ChangeSlotState(0, 1, ANIME_FINISHED, ANIME_PAUSING);
    RunSource("lib 13, 8, 0, 1\nend");
    EXPECT_EQ(SlotState(0, 1), ANIME_PAUSING);
}

} // namespace
