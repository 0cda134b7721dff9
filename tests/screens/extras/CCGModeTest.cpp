#include "screens/extras/CCGMode.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "foundation/ByteCursor.h"
#include "screens/extras/GalleryFixture.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/commands/CFuncFlag.h"
#include "script/save/SaveStore.h"
#include "sheetgen/SheetGenerator.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;

// A gallery whose unlock confirmation answers as told, without a dialog.
class AnsweringGallery : public CCGMode
{
public:
    int32_t answer = 0;
    int asked = 0;

protected:
    int32_t AskUnlock() override
    {
        ++asked;
        return answer;
    }
};

// Group 0: 23 rows, the first of three variants (0 to 2), the others one each (3 to 24).
// Group 2: 9 rows (25 to 33). Group 3: 8 rows (34 to 41).
GalleryStage MainStage()
{
    GalleryStage stage;
    stage.rows = {{0, 3, "cg_r01.akb"}};
    for (const auto& row : SimpleRows(0, 22))
        stage.rows.push_back(row);
    for (const auto& row : SimpleRows(2, 9))
        stage.rows.push_back(row);
    for (const auto& row : SimpleRows(3, 8))
        stage.rows.push_back(row);
    return stage;
}

class CCGModeThreadTest : public GalleryFixture
{
protected:
    CCGModeThreadTest()
        : GalleryFixture(MainStage())
    {}

    // Opens a group's page as the heroine button would, and captures it.
    void ShowPage(CCGMode& gallery, int32_t group, int32_t page, const std::string& png = {})
    {
        gallery.SetPosition(1, group, page, -1);
        gallery.DrawPage(group, page, 0);
        gallery.GetPageSprite()->SetAlpha(255);
        gallery.GetPageSprite()->SetVisibleFlag(1);
        Capture(png);
    }
    Cell At(std::pair<int, int> point) { return ShownCell(point.first, point.second); }
};

TEST_F(CCGModeThreadTest, CellsShowTheFirstSeenVariantOrStayLocked)
{
    Seen(2); // row 0: the third variant only
    Seen(4); // row 2: its first variant
    CCGMode gallery;
    ASSERT_EQ(gallery.CreateParts(), 1);
    ShowPage(gallery, 0, 0, "cg_gallery_page.png");
    EXPECT_EQ(At(CellCentre(0)), Cell(ROW_THUMBNAIL + 2, 0)) << "from the row's own sheet, position 2";
    EXPECT_EQ(At(CellCentre(1)), Cell(tools::GALLERY_LOCKED, 0));
    EXPECT_EQ(At(CellCentre(2)), Cell(PAGE_THUMBNAIL + 2, 0)) << "from the page sheet";
    EXPECT_EQ(ShownCell(388 + 100, 108 + 2), Cell(tools::GALLERY_FRAME, 0)) << "the frame over an open cell";
    EXPECT_TRUE(gallery.IsCellOpen(0));
    EXPECT_FALSE(gallery.IsCellOpen(1));
    EXPECT_TRUE(gallery.IsCellOpen(2));
    EXPECT_EQ(gallery.GetShownVariant(0), 2);
    EXPECT_EQ(At({1392 + 100, 809 + 58}), Cell(OMAKE_PREVIOUS_PAGE, 3)) << "first page";
    EXPECT_EQ(At({1392 + 100, 684 + 58}), Cell(OMAKE_NEXT_PAGE, 0));
    EXPECT_EQ(At({27 + 148, 216 + 87}), Cell(256, 2)) << "the gallery's own tab";

    // A locked cell is inert: deciding on it neither sounds nor runs anything.
    TakeOkCancelSounds();
    gallery.SetPosition(1, 0, 0, 1);
    gallery.OnDecide();
    EXPECT_TRUE(TakeOkCancelSounds().empty());
    EXPECT_EQ(gallery.Running, 1);
    gallery.ReleaseParts();
}

TEST_F(CCGModeThreadTest, PagesFollowTheRowCounts)
{
    CCGMode gallery;
    ASSERT_EQ(gallery.CreateParts(), 1);
    struct Case
    {
        int32_t group, page, present, last_page;
    } cases[] = {{0, 0, 8, 2}, {0, 2, 7, 2}, {3, 0, 8, 0}, {2, 1, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "group " << c.group << " page " << c.page);
        ShowPage(gallery, c.group, c.page);
        int32_t present = 0;
        for (int32_t k = 0; k < OMAKE_CELLS; ++k)
            present += gallery.IsCellPresent(k) ? 1 : 0;
        EXPECT_EQ(present, c.present);
        EXPECT_EQ(At({1392 + 100, 684 + 58}).second, c.page == c.last_page ? 3 : 0) << "next arrow";
        EXPECT_EQ(At({1392 + 100, 809 + 58}).second, c.page == 0 ? 3 : 0) << "previous arrow";
    }
    // The arrows do nothing at either end.
    ShowPage(gallery, 3, 0);
    gallery.SetPosition(1, 3, 0, OMAKE_NEXT_PAGE);
    gallery.OnDecide();
    EXPECT_EQ(gallery.GetPage(), 0);
    ShowPage(gallery, 0, 0);
    gallery.SetPosition(1, 0, 0, OMAKE_PREVIOUS_PAGE);
    gallery.OnDecide();
    EXPECT_EQ(gallery.GetPage(), 0);
    gallery.SetPosition(1, 0, 0, OMAKE_NEXT_PAGE);
    gallery.OnDecide();
    EXPECT_EQ(gallery.GetPage(), 1);
    gallery.ReleaseParts();
}

TEST_F(CCGModeThreadTest, TheReturningStateIsClampedBothWays)
{
    struct Case
    {
        int32_t group_value, page_value, group, page;
    } cases[] = {{3, 2, 2, 1}, {0, 0, 0, 0}, {-4, -9, 0, 0}, {99, 9, 16, 0}, {1, 9, 0, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "values " << c.group_value << ", " << c.page_value);
        SetValue(16, 1);
        SetValue(17, c.page_value);
        SetValue(10, c.group_value);
        CCGMode gallery;
        ASSERT_EQ(gallery.CreateParts(), 1);
        gallery.OnOpen();
        EXPECT_EQ(gallery.GetLevel(), 1);
        EXPECT_EQ(gallery.GetGroup(), c.group);
        EXPECT_EQ(gallery.GetPage(), c.page);
        gallery.OnClose();
        gallery.ReleaseParts();
    }
    SetValue(16, 0);
    CCGMode fresh;
    ASSERT_EQ(fresh.CreateParts(), 1);
    fresh.OnOpen();
    EXPECT_EQ(fresh.GetLevel(), 0);
    Capture("cg_gallery_heroines.png");
    EXPECT_EQ(ShownCell(395 + 296 * 2 + 148, 109 + 208 + 104), Cell(7, 0)) << "heroine button 7";
    fresh.OnClose();
}

TEST_F(CCGModeThreadTest, TabsTimeOfDayAndTheirValues)
{
    CCGMode gallery;
    ASSERT_EQ(gallery.CreateParts(), 1);
    SetValue(19, 1000);
    SetValue(16, 0);
    gallery.OnOpen();
    EXPECT_EQ(gallery.GetTimeChoice(), 0);

    gallery.SetPosition(1, 0, 0, 768);
    gallery.OnDecide();
    EXPECT_EQ(Value(19), 1000) << "the current choice changes nothing";
    for (const auto& [id, time] : {std::pair{770, 1800}, std::pair{769, 1600}}) {
        gallery.SetPosition(1, 0, 0, id);
        gallery.OnDecide();
        EXPECT_EQ(Value(19), time);
        EXPECT_EQ(gallery.GetTimeChoice(), id - 768);
    }

    SetValue(16, 5);
    SetValue(17, 6);
    gallery.SetPosition(1, 0, 0, 257);
    gallery.OnDecide();
    EXPECT_EQ(gallery.Running, 1) << "flag 1898 is clear";
    gallery.SetPosition(1, 0, 0, 259);
    gallery.OnDecide();
    EXPECT_EQ(gallery.Running, 0);
    EXPECT_EQ(gallery.Result.Integer, 100);
    EXPECT_EQ(Value(12), 3);
    EXPECT_EQ(Value(16), 5) << "tab 259 leaves the returning state";

    gallery.Running = 1;
    GetScriptState().m_current_state->Flags[1898] = 1;
    gallery.SetPosition(1, 0, 0, 258);
    gallery.OnDecide();
    EXPECT_EQ(gallery.Running, 0);
    EXPECT_EQ(Value(12), 2);
    EXPECT_EQ(Value(16), 0);
    EXPECT_EQ(Value(17), 0);
    gallery.OnClose();
}

TEST_F(CCGModeThreadTest, UnlockNeedsTheClearFlagAndMergesIntoFlagFileZero)
{
    // Flag file 0 is short and holds a bit of its own.
    FlagBuffer old;
    old.Flags.assign(10, 0);
    old.Flags[5] = 0x40;
    CFuncFlag flags;
    ASSERT_EQ(flags.SaveFlagFile(0, &old), 1);
    const std::filesystem::path file = m_dir.Path() / SaveStore::FlagFileName(0).GetStdString();
    const auto written = std::filesystem::last_write_time(file);
    const uint64_t size = std::filesystem::file_size(file);

    AnsweringGallery gallery;
    ASSERT_EQ(gallery.CreateParts(), 1);
    ShowPage(gallery, 2, 0);
    EXPECT_NE(At({1584 + 148, 12 + 41}).first, uint32_t(OMAKE_UNLOCK)) << "not drawn without the clear flag";
    gallery.SetPosition(1, 2, 0, OMAKE_UNLOCK);
    gallery.OnDecide();
    EXPECT_EQ(gallery.asked, 0);

    GetScriptState().m_current_state->Flags[1997] = 1; // group 2's clear flag
    ShowPage(gallery, 2, 0);
    EXPECT_EQ(At({1584 + 148, 12 + 41}), Cell(OMAKE_UNLOCK, 0));
    gallery.answer = 1;
    gallery.SetPosition(1, 2, 0, OMAKE_UNLOCK);
    gallery.OnDecide();
    EXPECT_EQ(gallery.asked, 1);
    EXPECT_FALSE(gallery.IsGroupComplete(2));
    EXPECT_EQ(GetScriptState().m_current_state->Flags[3001], 0);
    EXPECT_EQ(std::filesystem::file_size(file), size);
    EXPECT_EQ(std::filesystem::last_write_time(file), written) << "a declined unlock writes nothing";

    gallery.answer = 0;
    gallery.SetPosition(1, 2, 0, OMAKE_UNLOCK);
    gallery.OnDecide();
    EXPECT_TRUE(gallery.IsGroupComplete(2));
    Capture("cg_gallery_unlocked.png");
    EXPECT_EQ(At({1584 + 148, 12 + 41}), Cell(OMAKE_UNLOCK, 3)) << "the complete picture";
    FlagBuffer merged;
    ASSERT_EQ(flags.LoadFlagFile(0, &merged), 1);
    ASSERT_GE(merged.Flags.size(), 3305u) << "the short file grew";
    EXPECT_EQ(merged.Flags[5], 0x40) << "its own bits stay";
    // Variants 25 to 33: bit 1 of byte 3303 to bit 1 of byte 3304.
    EXPECT_EQ(merged.Flags[3303], 0xFE);
    EXPECT_EQ(merged.Flags[3304], 0x03);
    EXPECT_EQ(merged.Flags[3001], 1);
    gallery.ReleaseParts();
}

TEST_F(CCGModeThreadTest, GroupSixteenCountsAnyClearFlag)
{
    CCGMode gallery;
    for (const uint32_t flag : {1998u, 2010u}) {
        GetScriptState().m_current_state->Flags.assign(4000, 0);
        EXPECT_FALSE(gallery.IsGroupCleared(16));
        GetScriptState().m_current_state->Flags[flag] = 1;
        EXPECT_TRUE(gallery.IsGroupCleared(16)) << flag;
    }
}

// Cursor keys, both levels: from the hover, with the present cells, to the target.
TEST_F(CCGModeThreadTest, CursorKeyTables)
{
    CCGMode gallery;
    struct Case
    {
        int32_t level, hover, present_cells;
        CursorKey key;
        int32_t target;
    } cases[] = {
        {0, -1, 8, CursorKey::Left, 0},       {0, 7, 8, CursorKey::Up, 2},
        {0, 3, 8, CursorKey::Up, -1},         {0, 11, 8, CursorKey::Down, 16},
        {0, 12, 8, CursorKey::Down, -1},      {0, 10, 8, CursorKey::Left, 257},
        {0, 6, 8, CursorKey::Left, 5},        {0, 9, 8, CursorKey::Right, -1},
        {0, 8, 8, CursorKey::Right, 9},       {1, 4, 8, CursorKey::Up, 1},
        {1, 1, 8, CursorKey::Up, -1},         {1, 1, 8, CursorKey::Down, 4},
        {1, 1, 4, CursorKey::Down, 1025},     {1, 5, 8, CursorKey::Down, 1025},
        {1, 6, 8, CursorKey::Down, -1},       {1, 3, 8, CursorKey::Left, 257},
        {1, 4, 8, CursorKey::Left, 3},        {1, 2, 8, CursorKey::Right, -1},
        {1, 6, 8, CursorKey::Right, 7},       {1, 7, 8, CursorKey::Right, 1024},
        {1, 6, 7, CursorKey::Right, 1024},    {1, 0, 1, CursorKey::Right, -1},
        {1, 256, 8, CursorKey::Up, -1},       {1, 257, 8, CursorKey::Up, 256},
        {1, 258, 8, CursorKey::Down, 259},    {1, 259, 8, CursorKey::Down, 512},
        {1, 258, 8, CursorKey::Left, -1},     {1, 258, 8, CursorKey::Right, 0},
        {1, 512, 8, CursorKey::Up, 259},      {1, 512, 8, CursorKey::Right, 768},
        {0, 512, 8, CursorKey::Right, 10},    {1, 512, 8, CursorKey::Down, -1},
        {1, 769, 8, CursorKey::Right, 770},   {1, 770, 8, CursorKey::Right, 1024},
        {1, 768, 8, CursorKey::Up, -1},       {1, 1025, 8, CursorKey::Up, 5},
        {1, 1025, 3, CursorKey::Up, 2},       {1, 1025, 1, CursorKey::Up, 0},
        {1, 1025, 8, CursorKey::Down, 1024},  {1, 1025, 8, CursorKey::Left, 7},
        {1, 1025, 7, CursorKey::Left, 6},     {1, 1025, 6, CursorKey::Left, 259},
        {1, 1025, 8, CursorKey::Right, 1025}, {1, 1024, 8, CursorKey::Up, 1025},
        {1, 1024, 8, CursorKey::Down, -1},    {1, 1024, 7, CursorKey::Left, 6},
        {1, 1024, 8, CursorKey::Right, 1025}, {1, 1280, 8, CursorKey::Up, 0},
        {1, 1280, 8, CursorKey::Down, -1},    {1, 1280, 8, CursorKey::Left, 512},
        {1, 1280, 8, CursorKey::Right, 768},
    };
    for (const Case& c : cases) {
        gallery.SetPosition(c.level, 2, 0, c.hover);
        for (int32_t k = 0; k < OMAKE_CELLS; ++k)
            gallery.SetCellPresent(k, k < c.present_cells);
        EXPECT_EQ(gallery.CursorTarget(c.key), c.target)
            << "level " << c.level << " hover " << c.hover << " key " << static_cast<int>(c.key);
    }
    GetScriptState().m_current_state->Flags[1997] = 1;
    gallery.SetPosition(1, 2, 0, OMAKE_RETURN);
    EXPECT_EQ(gallery.CursorTarget(CursorKey::Right), OMAKE_UNLOCK) << "with the group's clear flag";
}

TEST_F(CCGModeThreadTest, OpeningACellRunsTheViewerAndTakesThePageOfTheRowShown)
{
    Seen(20);
    CCGMode gallery;
    ASSERT_EQ(gallery.CreateParts(), 1);
    ShowPage(gallery, 0, 2);
    ASSERT_TRUE(gallery.IsCellOpen(2)); // row 18, variant 20
    SetValue(16, 0);
    SetValue(17, 7);
    TakeOkCancelSounds();
    // The viewer opens in page mode; the right button ends it on its row.
    OnPump([&](int pump) { m_mouse.right_down = pump >= 30 && pump < 32 ? 1 : 0; });
    gallery.SetPosition(1, 0, 2, 2);
    gallery.OnDecide();
    OnPump(nullptr);
    EXPECT_EQ(gallery.GetPage(), 2);
    EXPECT_EQ(Value(17), 0);
    const std::vector<std::string> sounds = TakeOkCancelSounds();
    ASSERT_FALSE(sounds.empty());
    EXPECT_EQ(sounds[1], "play ses_001.wav") << "the OK sound on channel 4";
    gallery.ReleaseParts();
}

// The variant ids of row "cg_k11.akb" run 293 to 302, 927, 303 in table order.
GalleryStage OutOfOrderStage()
{
    GalleryStage stage;
    stage.rows = {{0, 293, "cg_big.akb"}, {4, 12, "cg_k11.akb"}};
    for (int32_t id = 0; id <= 302; ++id)
        stage.compose.push_back({id, "v" + std::to_string(id) + ".akb", {}});
    stage.compose.push_back({927, "k11.akb", {"k11e.akb"}});
    stage.compose.push_back({303, "v303.akb", {}});
    return stage;
}

class CCGModeOrderThreadTest : public GalleryFixture
{
protected:
    CCGModeOrderThreadTest()
        : GalleryFixture(OutOfOrderStage())
    {}
};

TEST_F(CCGModeOrderThreadTest, TheOutOfOrderVariantTakesItsRowPosition)
{
    Seen(927);
    CCGMode gallery;
    ASSERT_EQ(gallery.CreateParts(), 1);
    gallery.SetPosition(1, 4, 0, -1);
    gallery.DrawPage(4, 0, 0);
    gallery.GetPageSprite()->SetAlpha(255);
    gallery.GetPageSprite()->SetVisibleFlag(1);
    Capture();
    const auto [x, y] = CellCentre(0);
    EXPECT_EQ(ShownCell(x, y), Cell(ROW_THUMBNAIL + 293 + 10, 0)) << "position 10 of the row sheet";
    EXPECT_EQ(gallery.GetShownVariant(0), 927);
    for (int32_t id = 293; id <= 303; ++id)
        Seen(id);
    EXPECT_TRUE(CCGMode().IsGroupComplete(4));
    GetScriptState().m_current_state->Flags[3300 + 927 / 8] = 0;
    EXPECT_FALSE(CCGMode().IsGroupComplete(4)) << "variant 927 counts";
    gallery.ReleaseParts();
}

class CCGModeNoDialogThreadTest : public GalleryFixture
{
protected:
    CCGModeNoDialogThreadTest()
        : GalleryFixture([] {
            GalleryStage stage = MainStage();
            stage.dialog_sheet = false;
            return stage;
        }())
    {}
};

TEST_F(CCGModeNoDialogThreadTest, AnUnbuildableConfirmationDeclines)
{
    GetScriptState().m_current_state->Flags[1997] = 1;
    CCGMode gallery;
    ASSERT_EQ(gallery.CreateParts(), 1);
    gallery.SetPosition(1, 2, 0, OMAKE_UNLOCK);
    gallery.DrawPage(2, 0, 0);
    gallery.OnDecide();
    EXPECT_FALSE(gallery.IsGroupComplete(2));
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / SaveStore::FlagFileName(0).GetStdString()));
    gallery.ReleaseParts();
}

class CCGModeNoSheetsThreadTest : public GalleryFixture
{
protected:
    CCGModeNoSheetsThreadTest()
        : GalleryFixture([] {
            GalleryStage stage = MainStage();
            stage.sheets = false;
            return stage;
        }())
    {}
};

TEST_F(CCGModeNoSheetsThreadTest, WithoutItsSheetsTheGalleryIsNotBuilt)
{
    IOmakeParts::ResetOpenCount();
    CCGMode gallery;
    EXPECT_EQ(gallery.CreateParts(), 0);
    EXPECT_EQ(IOmakeParts::GetOpenCount(), 1);
    gallery.ReleaseParts();
    EXPECT_EQ(IOmakeParts::GetOpenCount(), 0);
}

} // namespace
