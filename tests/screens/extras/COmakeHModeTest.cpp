#include "screens/extras/COmakeHMode.h"

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "graphics/CSpriteLayer.h"
#include "screens/extras/GalleryFixture.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "sound/SoundChannels.h"
#include "support/FakeWaveManager.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;

class COmakeHModeThreadTest : public GalleryFixture
{
protected:
    COmakeHModeThreadTest()
        : GalleryFixture(GalleryStage{})
    {
        Flags()[1998] = 1; // heroine 0
        Flags()[2010] = 1; // heroine 15
        Flags()[1999] = 0; // heroine 10
    }
    std::vector<uint8_t>& Flags() { return GetScriptState().m_current_state->Flags; }
    void Open(COmakeHMode& grid)
    {
        ASSERT_EQ(grid.CreateParts(), 1);
        grid.DrawPage(0, 0, 0);
        grid.GetPageSprite()->SetAlpha(255);
        grid.GetPageSprite()->SetVisibleFlag(1);
    }
    Cell Button(int32_t i)
    {
        Capture();
        return ShownCell(395 + 296 * (i % 5) + 148, 109 + 208 * (i / 5) + 104);
    }
    void Decide(COmakeHMode& grid, int32_t id)
    {
        grid.SetPosition(0, 0, 0, id);
        grid.OnDecide();
    }
    std::vector<std::string> Channel3()
    {
        auto* channel =
            dynamic_cast<FakeWaveManager*>(GetGameSoundChannels()[SOUND_GROUP_EFFECT][3].get());
        return channel != nullptr ? channel->Calls() : std::vector<std::string>{};
    }
};

TEST_F(COmakeHModeThreadTest, ALockedHeroineShowsTheDisabledLookInEveryState)
{
    COmakeHMode grid;
    Open(grid);
    Capture("scene_heroine_grid.png");
    for (const int32_t state : {0, 1, 2}) {
        grid.DrawItem(0, state, 0);
        grid.DrawItem(10, state, 0);
        EXPECT_EQ(Button(0), Cell(0, state));
        EXPECT_EQ(Button(10), Cell(10, 3)) << state;
    }
    EXPECT_EQ(Button(15), Cell(15, 0)) << "heroine 15 opens with flag 2010";
    EXPECT_EQ(Button(16).first, 0xFFFFFFFFu) << "the 17th cell is never drawn";
}

TEST_F(COmakeHModeThreadTest, ChoosingCancellingAndDeadIds)
{
    struct Case
    {
        int32_t id;
        bool ends;
        int32_t result;
        int32_t group;
    };
    const Case cases[] = {
        {10, false, 0, -7}, {16, false, 0, -7}, {15, true, 0, 15}, {0, true, 0, 0}, {512, true, -1, -7}};
    for (const Case& c : cases) {
        SetValue(10, -7);
        SetValue(16, 1);
        COmakeHMode grid;
        Open(grid);
        Decide(grid, c.id);
        EXPECT_EQ(grid.Running == 0, c.ends) << c.id;
        EXPECT_EQ(grid.Result.Integer, c.result) << c.id;
        EXPECT_EQ(Value(10), c.group) << c.id;
        EXPECT_EQ(Value(16), c.ends && c.result == 0 ? 0 : 1) << c.id;
    }
    COmakeHMode grid;
    Open(grid);
    const size_t before = Channel3().size();
    grid.OnCancel();
    EXPECT_EQ(grid.Running, 0);
    EXPECT_EQ(grid.Result.Integer, -1);
    EXPECT_GT(Channel3().size(), before) << "the cancel sound on channel 3";
}

TEST_F(COmakeHModeThreadTest, TheGalleryTabsAreNeverDrawnAndOkOnThemWaitsForItsRelease)
{
    COmakeHMode grid;
    Open(grid);
    for (const int32_t tab : {256, 257, 258, 259}) {
        grid.SetPosition(0, 0, 0, -1);
        PointAt(27 + 148, tab == 259 ? 762 + 64 : 216 + 182 * (tab - 256) + 87);
        grid.Update();
        grid.DrawItem(tab, 2, 0);
        PointAt(1900, 1060);
        grid.Update();
        Capture();
        EXPECT_EQ(ShownCell(27 + 148, 216 + 87).first, 0xFFFFFFFFu) << tab;
        EXPECT_EQ(ShownCell(27 + 148, 762 + 64).first, 0xFFFFFFFFu) << tab;
        EXPECT_EQ(ShownCell(27 + 148, 216 + 182 * 2 + 87).first, 0xFFFFFFFFu) << tab;
    }
    m_keyboard.down = {28};
    OnPump([&](int pump) {
        if (pump >= 6)
            m_keyboard.down.clear();
    });
    grid.Running = 1;
    Decide(grid, 257);
    EXPECT_GE(Pumps(), 6) << "OK on a tab waits for the key's release";
    EXPECT_NE(grid.Running, 0) << "and does nothing else";
}

TEST_F(COmakeHModeThreadTest, CursorKeysReachTheTabsButNotPastTheGrid)
{
    COmakeHMode grid;
    Open(grid);
    struct Case
    {
        int32_t from;
        CursorKey key;
        int32_t to;
    };
    const Case cases[] = {
        {-1, CursorKey::Up, 0},     {0, CursorKey::Left, 256},   {5, CursorKey::Left, 256},
        {9, CursorKey::Down, 14},   {10, CursorKey::Down, -1},   {14, CursorKey::Right, -1},
        {3, CursorKey::Right, 4},   {256, CursorKey::Up, -1},    {259, CursorKey::Down, 512},
        {256, CursorKey::Right, 0}, {512, CursorKey::Right, 10}, {512, CursorKey::Up, 259}};
    for (const Case& c : cases) {
        grid.SetPosition(0, 0, 0, c.from);
        EXPECT_EQ(grid.CursorTarget(c.key), c.to) << c.from;
    }
}

} // namespace
