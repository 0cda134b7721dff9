#include "screens/map/CCommentMode.h"

#include <gtest/gtest.h>

#include "screens/map/CharacterFixture.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;
constexpr int OPEN = 40; // pumps the sixteen-step opening may take
constexpr int BUDGET = OPEN + 40;
constexpr uint32_t NONE = 0xFFFFFFFFu;

POINT Centre(uint32_t id)
{
    for (const tools::AreaRecord& area : tools::CommentModeAreas())
        if (area.id == id)
            return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    return {-1, -1};
}

class CCommentModeThreadTest : public CharacterFixture
{
protected:
    // Runs a fresh screen with the step; answers the result.
    int32_t Run(std::function<void(int)> step)
    {
        m_screen = std::make_unique<CCommentMode>();
        EXPECT_EQ(m_screen->CreateParts(), 1);
        m_screen->StateWord = 7;
        int32_t result = 0;
        RunUntil(*m_screen, std::move(step), BUDGET, [&] { result = m_screen->RunScreen(); });
        return result;
    }
    std::function<void(int)> Click(uint32_t id, int at)
    {
        return [this, id, at](int pump) {
            if (pump == at - 4)
                PointAt(Centre(id).x, Centre(id).y);
            m_mouse.left_down = pump >= at && pump < at + 2 ? 1 : 0;
        };
    }
    // The tab's cell and the unlock button's, sampled where the page does not lie under them.
    Cell Tab(int32_t i) { return ShownCell(1875, 110 + 93 * i); }
    Cell Unlock() { return ShownCell(1880, 1000); }
    Cell Page() { return ShownCell(1000, 500); }

    std::unique_ptr<CCommentMode> m_screen;
};

} // namespace

TEST_F(CCommentModeThreadTest, OnlyTheValueOneUnlocksAndTheUnlockButtonOpensAllOnce)
{
    State().Flags[COMMENT_ENTRY_FLAG] = 1;
    State().Flags[COMMENT_ENTRY_FLAG + 1] = 2;
    std::vector<Cell> before, after;
    Cell unlock_before, unlock_after, page_after;
    Run([&](int pump) {
        if (pump == 1)
            PointAt(10, 10);
        if (pump == OPEN - 2) {
            Capture("commentmode_locked.png");
            for (int32_t i = 0; i < 4; ++i)
                before.push_back(Tab(i));
            unlock_before = Unlock();
        }
    });
    EXPECT_EQ(before, (std::vector<Cell>{{0, 0}, {1, 3}, {2, 3}, {3, 3}}));
    EXPECT_EQ(unlock_before.first, NONE) << "no unlock flag: no unlock button";

    for (const uint32_t flag : {2010u, 1998u, 1988u}) {
        SCOPED_TRACE(flag);
        for (uint32_t i = 0; i < 4; ++i)
            State().Flags[COMMENT_ENTRY_FLAG + i] = i == 1 ? 2 : 0;
        State().Flags[flag] = 1;
        std::vector<std::string> second_click;
        after.clear();
        Run([&](int pump) {
            if (pump == 1)
                PointAt(10, 10);
            if (pump == OPEN - 6) {
                Capture();
                unlock_before = Unlock();
            }
            Click(COMMENT_UNLOCK, OPEN)(pump);
            if (pump == OPEN + 15) {
                Capture("commentmode_unlocked.png");
                for (int32_t i = 0; i < 4; ++i)
                    after.push_back(Tab(i));
                unlock_after = Unlock();
                page_after = Page();
                TakeSounds(3);
            }
            if (pump >= OPEN + 20 && pump < OPEN + 22)
                m_mouse.left_down = 1;
            if (pump == OPEN + 30)
                second_click = TakeSounds(3);
        });
        EXPECT_EQ(unlock_before, Cell(COMMENT_UNLOCK, 0));
        for (uint32_t i = 0; i < 4; ++i)
            EXPECT_EQ(State().Flags[COMMENT_ENTRY_FLAG + i], 1);
        EXPECT_EQ(after, (std::vector<Cell>{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
        EXPECT_EQ(unlock_after, Cell(COMMENT_UNLOCK, 3)) << "the all-unlocked look";
        EXPECT_EQ(page_after, Cell(tools::DIARY_SHEET, 0));
        EXPECT_TRUE(second_click.empty()) << "a further click does nothing";
        EXPECT_EQ(m_screen->AllUnlocked, 1);
        State().Flags[flag] = 0;
    }
}

TEST_F(CCommentModeThreadTest, ALockedTabBecomesTheSelectionWithoutChangingThePage)
{
    State().Flags[COMMENT_ENTRY_FLAG] = 1;
    State().Flags[COMMENT_ENTRY_FLAG + 3] = 1;
    Cell first, locked, open;
    Run([&](int pump) {
        Click(2, OPEN)(pump);
        if (pump == OPEN - 2) {
            Capture();
            first = Page();
        }
        if (pump == OPEN + 10) {
            Capture();
            locked = Page();
            EXPECT_EQ(m_screen->SelectedEntry, 2);
            // A stray group-0 id is ignored.
            PointAt(Centre(tools::COMMENT_MODE_STRAY_ID).x, Centre(tools::COMMENT_MODE_STRAY_ID).y);
            TakeSounds(3);
        }
        if (pump >= OPEN + 14 && pump < OPEN + 16)
            m_mouse.left_down = 1;
        if (pump == OPEN + 20) {
            EXPECT_TRUE(TakeSounds(3).empty()) << "the stray id";
            EXPECT_EQ(m_screen->SelectedEntry, 2);
            PointAt(Centre(3).x, Centre(3).y);
        }
        if (pump >= OPEN + 24 && pump < OPEN + 26)
            m_mouse.left_down = 1;
        if (pump == OPEN + 35) {
            Capture();
            open = Page();
        }
    });
    EXPECT_EQ(first, Cell(tools::DIARY_SHEET, 0));
    EXPECT_EQ(locked, Cell(tools::DIARY_SHEET, 0));
    EXPECT_EQ(open, Cell(tools::DIARY_SHEET + 3, 0));
}

TEST_F(CCommentModeThreadTest, ExitsWriteTheSwitchRecordAndClearTheStateWord)
{
    struct Case
    {
        const char* what;
        uint32_t id; // 0: escape instead of a click
        uint8_t modes_open;
        int32_t result;
        const char* sound;
    };
    const Case cases[] = {
        {"mode 0", 256, 1, 100, "ses_001.wav"},   {"mode 1", 257, 1, 100, "ses_001.wav"},
        {"mode 2", 258, 1, 100, "ses_001.wav"},   {"mode 1 closed", 257, 0, 99, nullptr},
        {"label", COMMENT_LABEL, 1, 99, nullptr}, {"back", COMMENT_BACK, 0, -1, "ses_001.wav"},
        {"escape", 0, 0, -1, "ses_002.wav"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        State().Flags[COMMENT_MODES_OPEN_FLAG] = c.modes_open;
        State().Values[12] = ScriptValue::FromInteger(5000); // the money during play
        State().Values[16] = ScriptValue::FromInteger(3);
        State().Values[17] = ScriptValue::FromInteger(4);
        TakeSounds(3);
        const int32_t result = Run(c.id == 0 ? KeyAt(1, OPEN) : Click(c.id, OPEN));
        EXPECT_EQ(result, c.result);
        const std::vector<std::string> sounds = TakeSounds(3);
        if (c.sound != nullptr) {
            EXPECT_TRUE(Played(sounds, c.sound));
            EXPECT_EQ(m_screen->StateWord, 0);
        } else {
            EXPECT_TRUE(sounds.empty());
        }
        const bool switched = c.result == 100;
        EXPECT_EQ(State().Values[12].Integer, switched ? static_cast<int32_t>(c.id - 256) : 5000);
        EXPECT_EQ(State().Values[16].Integer, switched ? 0 : 3);
        EXPECT_EQ(State().Values[17].Integer, switched ? 0 : 4);
    }
}

TEST_F(CCommentModeThreadTest, CursorKeysFollowTheTable)
{
    const struct
    {
        int32_t from;
        uint32_t key;
        int32_t to;
    } cases[] = {{-1, 205, 0},  {0, 200, 0},     {3, 208, 1280},   {2, 203, 256},  {259, 208, 512},
                 {258, 205, 0}, {512, 200, 259}, {512, 205, 1280}, {1280, 200, 3}, {1280, 203, 512}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " key " << c.key);
        Run([&](int pump) {
            if (pump == 1)
                PointAt(c.from == -1 ? 1000 : Centre(static_cast<uint32_t>(c.from)).x,
                        c.from == -1 ? 1070 : Centre(static_cast<uint32_t>(c.from)).y);
            KeyAt(c.key, OPEN)(pump);
        });
        EXPECT_EQ(m_screen->HoverId, c.to);
    }
}

TEST_F(CCommentModeThreadTest, AScreenWithoutItsPartsIsRefusedAndReleasesTwice)
{
    class NoSprites : public CCommentMode
    {
    public:
        CSprite* CreateSprite(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override
        {
            return nullptr;
        }
    };
    NoSprites screen;
    EXPECT_EQ(screen.CreateParts(), 0);
    EXPECT_FALSE(screen.IsComplete());
    screen.Refresh(1); // draws nothing from missing sprites
    screen.ReleaseParts();
    screen.ReleaseParts();
    EXPECT_EQ(IOmakeParts::GetOpenCount(), 0);
}
