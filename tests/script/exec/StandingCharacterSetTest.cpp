// The standing characters through exec command 13, with the play task stepped by hand: placing,
// entering and leaving, in-place changes and replacements, the draw order by size, instant mode,
// the commit, the motions, the face and part overlays, the flash-out and the hit test. Frames are
// read back at worked-out pixels and kept as PNGs in the build folder.

#include "script/exec/StandingCharacterSet.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "ExecStage.h"
#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "foundation/ConfigSettings.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteContainer.h"
#include "graphics/SpriteLayerRegistry.h"

namespace {

constexpr int32_t C = -64;
using XY = std::pair<int32_t, int32_t>; // the centring offset on the 1920-wide screen

class StandingCharacterThreadTest : public ExecStage
{
protected:
    // The start-up reports of the map screens, whose sheets this stage leaves out, are not what
    // these tests count.
    StandingCharacterThreadTest() { m_messages.clear(); }
    ~StandingCharacterThreadTest() override { SetConfigSceneSkip(0); }

    StandingCharacter& At(int32_t position)
    {
        StandingCharacter* record = Characters().At(position);
        EXPECT_NE(record, nullptr) << "no character at " << position;
        return *record;
    }
    CSpriteContainer& Container(int32_t position) { return *At(position).GetContainer(); }
    XY Where(int32_t position)
    {
        const POINT p = Container(position).GetPosition();
        return {p.x, p.y};
    }
    // Starts the queued steps without waiting; RunTasks then steps them.
    void StartPlay() { Characters().GetTask().Play(ANIME_NO_WAIT, 0, 0, 0); }
    void Fresh() { GetGameWork()->m_characters = std::make_unique<StandingCharacterSet>(); }
};

} // namespace

TEST_F(StandingCharacterThreadTest, ShowPlacesEachPositionAndEntersOnThePlay)
{
    struct Row
    {
        int32_t position;
        int32_t x;
        int32_t priority;
        int32_t slide; // where the enter step starts, relative to x
    };
    for (const Row& row :
         {Row{0, C, 8, 0}, Row{1, -600 + C, 7, -48}, Row{2, 600 + C, 6, 48}, Row{3, 600 + C, 5, 0}}) {
        SCOPED_TRACE(row.position);
        Fresh();
        Exec({13, 0, row.position, "a01.akb", 100, 4});
        ASSERT_EQ(Characters().Characters.size(), 1u);
        EXPECT_EQ(Where(row.position), (XY{row.x, 35}));
        EXPECT_EQ(Container(row.position).GetPriority(), row.priority);
        EXPECT_EQ(Container(row.position).IsVisible(), 0);
        EXPECT_EQ(Container(row.position).GetAnimationCount(), 1);

        StartPlay();
        RunTasks(1);
        EXPECT_EQ(Where(row.position), (XY{row.x + row.slide * 3 / 4, 35}));
        EXPECT_GT(Container(row.position).GetAlpha(), 0);
        EXPECT_LT(Container(row.position).GetAlpha(), 255);
        RunTasks(8);
        EXPECT_EQ(Where(row.position), (XY{row.x, 35}));
        EXPECT_EQ(Container(row.position).GetAlpha(), 255);
        EXPECT_EQ(Container(row.position).IsVisible(), 1);
    }
    Capture("standing_show.png");
    // Position 3's body box, picture (1024, 600) at the screen's (1024 + 600 - 64, 600 + 35).
    EXPECT_EQ(Shown(1560, 635), BODY_A1);
    EXPECT_EQ(Shown(900, 635), STAGE_BLACK);
}

TEST_F(StandingCharacterThreadTest, SameLetterCrossFadesInPlaceAndAnotherLetterReplaces)
{
    Exec({13, 0, 0, "a01.akb", 100, 4});
    Exec({13, 2});
    Capture();
    EXPECT_EQ(Shown(960, 635), BODY_A1);

    Exec({13, 0, 0, "a02.akb", 100, 4});
    ASSERT_EQ(Characters().Characters.size(), 1u);
    EXPECT_NE(At(0).GetNextPicture(), nullptr);
    EXPECT_EQ(At(0).GetPicture()->GetAnimationCount(), 1);
    Exec({13, 7, 0, 0, 30}); // a hop over the cross-fade moves the whole character
    Exec({13, 2});
    EXPECT_EQ(At(0).GetNextPicture(), nullptr); // released at the commit
    Capture("standing_crossfade.png");
    EXPECT_EQ(Shown(960, 635), BODY_A2);

    // "b" exits "a" at once (the play runs inside the show), then waits for the next play.
    Exec({13, 0, 0, "b01.akb", 100, 4});
    ASSERT_EQ(Characters().Characters.size(), 1u);
    EXPECT_EQ(At(0).m_character, 1);
    EXPECT_EQ(Container(0).IsVisible(), 0);
    EXPECT_EQ(Where(0), (XY{C, 55}));
    Exec({13, 2});
    Capture("standing_replaced.png");
    EXPECT_EQ(Shown(960, 655), BODY_B);
}

TEST_F(StandingCharacterThreadTest, AnotherLetterFadesInOnANewRecordEvenBesideOneOfItsOwn)
{
    // "b" moved onto "a"'s position 0: a show of "b" there replaces "a" with a record of its own,
    // which enters hidden, instead of cross-fading the moved one.
    Exec({13, 0, 0, "a01.akb", 100, 4});
    Exec({13, 0, 1, "b01.akb", 100, 4});
    Exec({13, 2});
    Exec({13, 10, 1, 0, 4});
    Exec({13, 2});
    ASSERT_EQ(Characters().Characters.size(), 2u);
    Exec({13, 0, 0, "b01.akb", 100, 4});
    ASSERT_EQ(Characters().Characters.size(), 2u);
    const StandingCharacter& moved = *Characters().Characters[0];
    const StandingCharacter& shown = *Characters().Characters[1];
    EXPECT_EQ(moved.m_character, 1);
    EXPECT_EQ(moved.GetNextPicture(), nullptr);
    EXPECT_EQ(shown.m_position, 0);
    EXPECT_EQ(shown.m_character, 1);
    EXPECT_EQ(shown.GetContainer()->IsVisible(), 0);
}

TEST_F(StandingCharacterThreadTest, LargerCharactersDrawInFrontAfterNormalisation)
{
    struct Row
    {
        int32_t percent0, percent1;
        bool first_in_front;
    };
    for (const Row& row : {Row{100, 80, true}, Row{80, 100, false}, Row{100, 100, true}}) {
        SCOPED_TRACE(row.percent0 * 1000 + row.percent1);
        Fresh();
        Exec({13, 0, 0, "a01.akb", row.percent0, 2});
        Exec({13, 0, 1, "b01.akb", row.percent1, 2});
        EXPECT_EQ(Container(0).GetPriority() > Container(1).GetPriority(), row.first_in_front);
    }
    // At 80 %: y = trunc(0.2 x 100 + 0.8 x K), K 35 for "a" and 55 for "b".
    EXPECT_EQ(ApplyCharacterHeight(0, 0.8f), 48);
    EXPECT_EQ(ApplyCharacterHeight(1, 0.8f), 64);
    // Letters outside the table, and upper case, have no height offset.
    for (const char* name : {"l01", "t", "u", "v", "A01", "1", ""})
        EXPECT_EQ(CharacterIndexFromName(name), -1) << name;
    EXPECT_EQ(CharacterIndexFromName("z9"), 21);
    EXPECT_EQ(ApplyCharacterHeight(-1, 0.5f), 50);
}

TEST_F(StandingCharacterThreadTest, InstantModeAndTheCommitAndPositionsOutsideTheLayout)
{
    GetSpriteLayerRegistry().GetFadeSprite()->SetVisibleFlag(1);
    Exec({13, 12, 0, "a01.akb", 100, 30, 200});
    EXPECT_EQ(Container(0).IsVisible(), 1);
    EXPECT_EQ(Container(0).GetAlpha(), 200);
    EXPECT_EQ(Container(0).GetAnimationCount(), 0);
    Exec({13, 3, 0, 30});
    EXPECT_EQ(Container(0).IsVisible(), 0);
    Exec({13, 2});
    EXPECT_TRUE(Characters().Characters.empty());
    GetSpriteLayerRegistry().GetFadeSprite()->SetVisibleFlag(0);

    // The commit removes exactly the hidden ones.
    for (int32_t p = 0; p < 3; ++p)
        Exec({13, 0, p, p == 1 ? "b01.akb" : "a01.akb", 100, 2});
    Exec({13, 2});
    Exec({13, 3, 1, 2});
    Exec({13, 2});
    EXPECT_EQ(Characters().Characters.size(), 2u);
    EXPECT_EQ(Characters().At(1), nullptr);
    EXPECT_NE(Characters().At(2), nullptr);

    // No layout: nothing is made, nothing moves.
    for (int32_t position : {4, -1, 100}) {
        Exec({13, 0, position, "a01.akb", 100, 2});
        Exec({13, 10, 0, position, 2});
        Exec({13, 15, 100, 0, position, 2});
    }
    EXPECT_EQ(Characters().Characters.size(), 2u);
    EXPECT_EQ(At(0).m_position, 0);
    EXPECT_EQ(Container(0).GetAnimationCount(), 0);
}

TEST_F(StandingCharacterThreadTest, JumpShakeSwayAndMoves)
{
    Exec({13, 0, 1, "a01.akb", 100, 1});
    Exec({13, 2});
    const XY home = Where(1);
    ASSERT_EQ(home, (XY{-600 + C, 35}));
    struct Row
    {
        int32_t mode, amplitude;
        POINT trace[4];
    };
    for (const Row& row :
         {Row{0, 30, {{0, 0}, {0, -15}, {0, -30}, {0, -15}}}, Row{1, 10, {{0, 0}, {-10, 0}, {10, 0}, {0, 0}}},
          Row{0, 0, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}}}) {
        SCOPED_TRACE(row.amplitude);
        Exec({13, 7, 1, row.mode, row.amplitude});
        StartPlay(); // tick 0
        for (const POINT offset : row.trace) {
            EXPECT_EQ(Where(1), (XY{home.first + offset.x, home.second + offset.y}));
            RunTasks(1);
        }
        EXPECT_EQ(Where(1), home);
        Characters().Commit();
    }

    // Four legs of 5 ticks: right and up, back, left and up, back.
    Exec({13, 11, 1, 20, 10, 5});
    EXPECT_EQ(Container(1).GetAnimationCount(), 4);
    StartPlay();
    std::vector<XY> trace;
    while (Container(1).IsAnimating() && trace.size() < 40) {
        RunTasks(1);
        trace.push_back(Where(1));
    }
    EXPECT_GE(trace.size(), 16u);
    EXPECT_LE(trace.size(), 20u);
    EXPECT_EQ(trace.back(), home);
    const auto passes = [&](XY point) { return std::find(trace.begin(), trace.end(), point) != trace.end(); };
    EXPECT_TRUE(passes(XY{home.first + 16, home.second - 8}));
    EXPECT_TRUE(passes(XY{home.first - 16, home.second - 8}));
    for (const XY& p : trace) {
        EXPECT_LE(std::abs(p.first - home.first), 20);
        EXPECT_LE(home.second - p.second, 10);
    }
    Characters().Commit();

    Exec({13, 10, 1, 2, 4});
    EXPECT_EQ(At(2).m_x, 536);
    EXPECT_EQ(At(2).m_y, 35);
    Exec({13, 2});
    EXPECT_EQ(Where(2), (XY{536, 35}));

    // Move to position 0 zoomed to 80 %: y from the height rule, the zoom about (1024, 0).
    Exec({13, 15, 80, 2, 0, 4});
    Exec({13, 2});
    EXPECT_EQ(Where(0), (XY{C, 48}));
    EXPECT_FLOAT_EQ(Container(0).GetScale().x, 0.8f);
    // Nudged at once, priority set at once.
    Exec({13, 8, 0, 10, -5});
    Exec({13, 9, 0, 3});
    EXPECT_EQ(Where(0), (XY{C + 10, 43}));
    EXPECT_EQ(Container(0).GetPriority(), 3);
}

TEST_F(StandingCharacterThreadTest, FacesPartsAndFlashOut)
{
    Exec({13, 0, 0, "a01.akb", 100, 2});
    Exec({13, 2});
    // Two changes before one play: the first cross-fade goes with its composite.
    Exec({13, 1, "a_face.akb", 0, 4});
    Exec({13, 1, "a_face.akb", 0, 4});
    EXPECT_EQ(At(0).GetPicture()->GetAnimationCount(), 1);
    Exec({13, 7, 0, 0, 30}); // a hop over the cross-fade moves the whole character
    Exec({13, 2});
    Capture("standing_face.png");
    // The face box, picture (1024, 300); the body below it.
    EXPECT_EQ(Shown(960, 335), FACE);
    EXPECT_EQ(Shown(960, 635), BODY_A1);
    // The face box's edges, picture rows 250 and 349, at the container's y of 35.
    EXPECT_EQ(Shown(960, 35 + 250), FACE);
    EXPECT_EQ(Shown(960, 35 + 349), FACE);
    EXPECT_EQ(Shown(960, 35 + 351), BODY_A1);
    EXPECT_EQ(Shown(960, 35 + 248), BODY_A1);

    // A face before an in-place change and one after it: the first fade goes with its composite,
    // the change's fade stays, and the new picture gets the face.
    Exec({13, 1, "a_face.akb", 0, 4});
    Exec({13, 0, 0, "a02.akb", 100, 4});
    EXPECT_EQ(At(0).GetPicture()->GetAnimationCount(), 2);
    Exec({13, 1, "a_face.akb", 0, 4});
    EXPECT_EQ(At(0).GetPicture()->GetAnimationCount(), 1);
    Exec({13, 2});
    Capture();
    EXPECT_EQ(Shown(960, 335), FACE);
    EXPECT_EQ(Shown(960, 635), BODY_A2);

    // A part over the picture while the fade covers the screen: (544, 100) of the picture.
    GetSpriteLayerRegistry().GetFadeSprite()->SetVisibleFlag(1);
    Exec({13, 5, 0, "a_part.akb"});
    GetSpriteLayerRegistry().GetFadeSprite()->SetVisibleFlag(0);
    Capture();
    EXPECT_EQ(Shown(544 + C + 50, 135 + 50), PART);

    // No character: the message; no loading surface: nothing.
    Exec({13, 1, "a_face.akb", 3, 4});
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "The specified standing character position is incorrect.");
    GetSpriteLayerRegistry().UnregisterSpriteLayer(5);
    Exec({13, 1, "a_face.akb", 0, 4});
    EXPECT_EQ(At(0).GetFaceComposite(), nullptr);

    // The flash-out picture goes above every position, fades in and out, and both go.
    Exec({13, 13, "b01.akb", 0, 2});
    ASSERT_NE(Characters().Pending, nullptr);
    EXPECT_EQ(Characters().Pending->GetContainer()->GetPriority(), 10);
    EXPECT_EQ(Characters().Pending->GetContainer()->GetAnimationCount(), 2);
    Exec({13, 13, "b01.akb", 0, 2}); // replaced before the play
    Exec({13, 2});
    EXPECT_EQ(Characters().Pending, nullptr);
    EXPECT_TRUE(Characters().Characters.empty());
    Exec({13, 13, "b01.akb", 0, 2}); // nobody there: nothing, no message
    EXPECT_EQ(Characters().Pending, nullptr);
    EXPECT_EQ(m_messages.size(), 1u);
}

TEST_F(StandingCharacterThreadTest, HitTestTriesPositionsInOrder)
{
    Exec({13, 0, 0, "a01.akb", 100, 2});
    Exec({13, 0, 1, "c01.akb", 100, 2});
    Exec({13, 2});
    Exec({13, 14, "a_hit.akb", 1});
    // Position 0 has no hit picture: -1 wherever the point is.
    for (POINT p : {POINT{960, 635}, POINT{360, 635}, POINT{0, 0}})
        EXPECT_EQ(HitTestStandingCharacters(p.x, p.y), -1);
    // Loaded also under scene skip.
    SetConfigSceneSkip(1);
    Exec({13, 14, "a_hit.akb", 0});
    SetConfigSceneSkip(0);
    EXPECT_EQ(HitTestStandingCharacters(960, 635), BODY_HIT_ID);     // position 0's body
    EXPECT_EQ(HitTestStandingCharacters(360 + 0, 635), BODY_HIT_ID); // position 1's body
    EXPECT_EQ(HitTestStandingCharacters(1700, 100), 0);
    // A nudge moves the hit map with the container.
    Exec({13, 8, 0, 500, 0});
    EXPECT_EQ(HitTestStandingCharacters(1460, 635), BODY_HIT_ID);
}

TEST_F(StandingCharacterThreadTest, SceneSkipPopsEveryArgumentAndDoesNothing)
{
    SetConfigSceneSkip(1);
    const std::vector<std::vector<ExecArg>> calls = {
        {13, 0, 0, "a01.akb", 100, 2},
        {13, 1, "a_face.akb", 0, 2},
        {13, 2},
        {13, 3, 0, 2},
        {13, 4, 2},
        {13, 5, 0, "a_part.akb"},
        {13, 6, "a_part.akb", 0},
        {13, 7, 0, 0, 30},
        {13, 8, 0, 1, 1},
        {13, 9, 0, 1},
        {13, 10, 0, 1, 2},
        {13, 11, 0, 1, 1, 2},
        {13, 12, 0, "a01.akb", 100, 2, 255},
        {13, 13, "a01.akb", 0, 2},
        {13, 14, "a_hit.akb", 0},
        {13, 15, 100, 0, 1, 2},
        {13, 16},
        {13, -1},
    };
    for (const std::vector<ExecArg>& call : calls) {
        Exec(call);
        EXPECT_EQ(StackSize(), 0u) << "sub-command " << std::get<int32_t>(call[1]);
    }
    EXPECT_TRUE(Characters().Characters.empty());
    EXPECT_TRUE(m_messages.empty());
}
