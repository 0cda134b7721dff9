// The exec group's animation-slot commands over a started game (which builds the exec group):
// code 34 leaves a running slot alone and restarts any other after stopping its whole group;
// code 32 arms a slot and runs it up to its first command at once.

#include <string>
#include <vector>

#include "../commands/GroupTestFixture.h"
#include "animeasm/AnimeProgramWriter.h"
#include "graphics/CAnimeManager.h"
#include "graphics/SpriteLayerRegistry.h"
#include "support/ThreadTest.h"

namespace {

std::vector<uint8_t> Program()
{
    tools::AnimeProgramWriter writer;
    writer.SetSlotCode(0, 0, tools::AnimeCode().Hold(2).Restart());
    writer.SetSlotCode(0, 1, tools::AnimeCode().Hold(2).Restart());
    writer.SetSlotCode(1, 0, tools::AnimeCode().Hold(2).Restart());
    return writer.Build();
}

class CFuncExecSlotThreadTest : public ThreadTestOn<GroupTest>
{
protected:
    CFuncExecSlotThreadTest()
    {
        GameFiles files;
        files.data = {{"A.BIN", Program()}};
        StartGame(std::move(files));
        RunSource("lib 13, 0, \"A.BIN\"\nlib 13, 1, 0, 0\nlib 13, 1, 0, 1\nlib 13, 1, 1, 0\nend");
    }
    CAnimeManager& Manager() { return *GetSpriteLayerRegistry().GetAnimeManager(); }
    void Put(int32_t group, int32_t slot, uint32_t state)
    {
        Manager().ChangeSlotState(group, slot, Manager().GetSlot(group, slot).state, state);
    }
    std::vector<uint32_t> States()
    {
        return {Manager().GetSlot(0, 0).state, Manager().GetSlot(0, 1).state, Manager().GetSlot(1, 0).state};
    }
};

} // namespace

TEST_F(CFuncExecSlotThreadTest, RestartLeavesARunningSlotAndStopsTheGroupOtherwise)
{
    ASSERT_NE(Context().GetExecGroup(), nullptr);
    Put(0, 0, ANIME_RUNNING);
    Put(0, 1, ANIME_RUNNING);
    Put(1, 0, ANIME_RUNNING);
    RunSource("push 1\nlib 29, 34, \"ignored\", 0, 0\nend");
    EXPECT_EQ(States(), (std::vector<uint32_t>{ANIME_RUNNING, ANIME_RUNNING, ANIME_RUNNING}));
    EXPECT_EQ(StackIntegers(), std::vector<int32_t>{1});

    for (uint32_t state : {ANIME_STOPPED, ANIME_FINISHED, ANIME_PAUSING}) {
        Put(0, 0, state);
        Put(0, 1, ANIME_RUNNING);
        RunSource("lib 29, 34, \"\", 0, 0\nend");
        EXPECT_EQ(States(), (std::vector<uint32_t>{ANIME_RUNNING, ANIME_STOPPED, ANIME_RUNNING})) << state;
    }
    Put(0, 1, ANIME_RUNNING);
    RunSource("lib 29, 34, \"\", 10, 0\nlib 29, 34, \"\", 0, 32\nend");
    EXPECT_EQ(States(), (std::vector<uint32_t>{ANIME_RUNNING, ANIME_RUNNING, ANIME_RUNNING}));
    EXPECT_TRUE(TakeMessageBoxes().empty());
}

TEST_F(CFuncExecSlotThreadTest, ArmAndStepLeavesTheSlotArmedAndStopped)
{
    Put(0, 1, ANIME_RUNNING);
    RunSource("lib 29, 32, 0, 1\nlib 29, 32, -1, 0\nend");
    const AnimeSlot slot = Manager().GetSlot(0, 1);
    EXPECT_TRUE(slot.armed);
    EXPECT_EQ(slot.state, ANIME_STOPPED);
}
