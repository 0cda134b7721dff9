#include "screens/extras/CScMode.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "screens/extras/GalleryFixture.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/commands/CFuncFlag.h"
#include "script/save/SaveStore.h"
#include "sheetgen/SheetGenerator.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;

inline constexpr uint32_t SCENE_SHEET = 0x6000; // + 16 x group: a scene sheet's cells

class AnsweringList : public CScMode
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

GalleryStage SceneStage(bool dialog = true)
{
    GalleryStage stage;
    stage.dialog_sheet = dialog;
    for (const auto& [letter, group] : {std::pair{"R", 0}, {"K", 4}})
        stage.pictures.push_back({std::string("SC_") + letter + ".AKB",
                                  tools::EncodeAkb(tools::ThumbnailSheet(SCENE_SHEET + 16 * group), {})});
    return stage;
}

class CScModeThreadTest : public GalleryFixture
{
protected:
    explicit CScModeThreadTest(bool dialog = true)
        : GalleryFixture(SceneStage(dialog))
    {}
    std::vector<uint8_t>& Flags() { return GetScriptState().m_current_state->Flags; }
    void ShowPage(CScMode& list, int32_t level, int32_t group, int32_t page)
    {
        list.SetPosition(level, group, page, -1);
        list.DrawPage(group, page, 0);
        list.GetPageSprite()->SetAlpha(255);
        list.GetPageSprite()->SetVisibleFlag(1);
        Capture();
    }
    Cell At(std::pair<int, int> point) { return ShownCell(point.first, point.second); }
    Cell Unlock() { return ShownCell(1584 + 148, 12 + 41); }
};

TEST_F(CScModeThreadTest, SceneFlagTable)
{
    CScMode list;
    int32_t total = 0;
    for (int32_t g = 0; g < SCENE_HEROINES; ++g) {
        int32_t n = 0;
        while (list.GetScene(g, n) != -1) {
            if (n > 0) {
                EXPECT_EQ(list.GetScene(g, n), list.GetScene(g, n - 1) + 1) << g;
            }
            ++n;
        }
        EXPECT_LT(n, SCENES_PER_HEROINE) << "every row ends with -1";
        EXPECT_EQ(n, CScMode::GetSceneCount(g));
        total += n;
    }
    EXPECT_EQ(total, 123);
    EXPECT_EQ(list.GetScene(0, 0), 3101);
    EXPECT_EQ(list.GetScene(15, 0), 3220);
    EXPECT_EQ(list.GetScene(16, 9), 3219);
    EXPECT_EQ(list.GetScene(17, 0), -1);
}

TEST_F(CScModeThreadTest, PagesShowSeenScenesAndTheLockedPicture)
{
    Flags()[3101] = 1;
    Flags()[3109] = 1;
    CScMode list;
    ASSERT_EQ(list.CreateParts(), 1);
    ShowPage(list, 1, 0, 0);
    Capture("scene_list_page.png");
    EXPECT_EQ(At(CellCentre(0)), Cell(SCENE_SHEET + 0, 0));
    EXPECT_EQ(At(CellCentre(1)), Cell(tools::GALLERY_LOCKED, 0));
    EXPECT_TRUE(list.IsCellOpen(0));
    EXPECT_FALSE(list.IsCellOpen(1));
    ShowPage(list, 1, 0, 1);
    EXPECT_EQ(At(CellCentre(0)), Cell(SCENE_SHEET + 9, 0)) << "page 1 starts at the sheet's fourth row";
    EXPECT_TRUE(list.IsCellPresent(0));
    for (int32_t k = 1; k < OMAKE_CELLS; ++k)
        EXPECT_FALSE(list.IsCellPresent(k)) << k;
    Flags()[3110] = 1;
    ShowPage(list, 1, 1, 0);
    EXPECT_EQ(At(CellCentre(0)), Cell(tools::GALLERY_LOCKED, 0))
        << "no sheet for the group: the locked picture, not the sheet layer 5 still holds";
    EXPECT_TRUE(list.IsCellOpen(0));
}

TEST_F(CScModeThreadTest, TheSceneSheetGoesThroughDocumentLayerFive)
{
    Flags()[3101] = 1;
    CScMode list;
    ASSERT_EQ(list.CreateParts(), 1);
    ShowPage(list, 1, 0, 0);
    auto* layer = GetSpriteLayerRegistry().FindSpriteLayer(5)->GetLayer();
    uint32_t id = 0;
    int32_t state = -1;
    const uint32_t pixel = *reinterpret_cast<const uint32_t*>(layer->GetPixelPtr(490 + 245, 275 + 137));
    ASSERT_TRUE(tools::DecodeCellColour(pixel | 0xFF000000u, id, state));
    EXPECT_EQ(id, SCENE_SHEET + 4) << "the sheet is loaded into the scripts' thumbnail layer";

    // Without that layer the cells keep the locked picture.
    GetSpriteLayerRegistry().UnregisterSpriteLayer(5);
    ShowPage(list, 1, 0, 0);
    EXPECT_EQ(At(CellCentre(0)), Cell(tools::GALLERY_LOCKED, 0));
    EXPECT_TRUE(list.IsCellOpen(0));
}

TEST_F(CScModeThreadTest, ChoosingASceneAndReturningToItsPage)
{
    Flags()[3133 + 8] = 1; // group 4's ninth scene
    CScMode list;
    ASSERT_EQ(list.CreateParts(), 1);
    ShowPage(list, 1, 4, 1);
    list.SetPosition(1, 4, 1, 0);
    list.OnDecide();
    EXPECT_EQ(list.Running, 0);
    EXPECT_EQ(list.Result.Integer, 0);
    EXPECT_EQ(Value(10), 4);
    EXPECT_EQ(Value(13), 8);
    EXPECT_EQ(Value(16), 0);
    list.ReleaseParts();

    struct Case
    {
        int32_t group_value, scene_value, group, page;
    } cases[] = {{4, 8, 4, 1}, {4, 7, 4, 0}, {-3, -20, 0, 0}, {40, 0, 16, 0}, {2, 99, 2, 0}, {16, 80, 16, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "values " << c.group_value << ", " << c.scene_value);
        SetValue(16, 1);
        SetValue(10, c.group_value);
        SetValue(13, c.scene_value);
        CScMode back;
        ASSERT_EQ(back.CreateParts(), 1);
        back.OnOpen();
        EXPECT_EQ(back.GetLevel(), 1);
        EXPECT_EQ(back.GetGroup(), c.group);
        EXPECT_EQ(back.GetPage(), c.page);
        back.OnClose();
        back.ReleaseParts();
    }
}

TEST_F(CScModeThreadTest, LockedTabsAndTheTabProtocol)
{
    struct Case
    {
        bool locked;
        uint8_t flag;
        int32_t id;
        bool leaves;
        int32_t tab;
    };
    const Case cases[] = {{true, 1, 256, false, 0},  {true, 1, 259, false, 0}, {false, 0, 256, false, 0},
                          {false, 1, 257, false, 0}, {false, 0, 259, true, 3}, {false, 1, 256, true, 0},
                          {false, 1, 258, true, 2}};
    for (const Case& c : cases) {
        Flags()[1898] = c.flag;
        SetValue(12, -5);
        CScMode list;
        ASSERT_EQ(list.CreateParts(), 1);
        list.SetTabsLocked(c.locked);
        ShowPage(list, 0, 0, 0);
        list.SetPosition(0, 0, 0, c.id);
        list.OnDecide();
        EXPECT_EQ(list.Running == 0, c.leaves) << c.id;
        EXPECT_EQ(Value(12), c.leaves ? c.tab : -5) << c.id;
        if (c.leaves) {
            EXPECT_EQ(list.Result.Integer, 100);
        }
    }
    SetValue(14, 1);
    CScMode list;
    ASSERT_EQ(list.CreateParts(), 1);
    SetValue(16, 0);
    OnPump([&](int pump) {
        m_keyboard.down = pump >= 30 && pump < 32 ? std::set<uint32_t>{1} : std::set<uint32_t>{};
    });
    EXPECT_EQ(list.RunScreen(), -1);
    OnPump(nullptr);
    EXPECT_TRUE(list.AreTabsLocked()) << "Values[14] = 1 locks the tabs";
}

TEST_F(CScModeThreadTest, UnlockButtonOfGroupSixteenAndCompleteGroups)
{
    CScMode list;
    ASSERT_EQ(list.CreateParts(), 1);
    Flags()[2010] = 1;
    ShowPage(list, 1, 16, 0);
    EXPECT_NE(Unlock().first, uint32_t(OMAKE_UNLOCK)) << "flag 2010 alone does not count for group 16";
    Flags()[1988] = 1; // group 14
    ShowPage(list, 1, 16, 0);
    EXPECT_EQ(Unlock(), Cell(OMAKE_UNLOCK, 0));
    for (int32_t f = 3205; f <= 3209; ++f)
        Flags()[static_cast<size_t>(f)] = 1;
    ShowPage(list, 1, 14, 0);
    EXPECT_EQ(Unlock(), Cell(OMAKE_UNLOCK, 3)) << "group 14 complete";
}

TEST_F(CScModeThreadTest, UnlockIsAskedSetsTheFlagsAndMergesIntoFlagFileZero)
{
    FlagBuffer old;
    old.Flags.assign(10, 0);
    old.Flags[5] = 0x40;
    CFuncFlag flags;
    ASSERT_EQ(flags.SaveFlagFile(0, &old), 1);
    const std::filesystem::path file = m_dir.Path() / SaveStore::FlagFileName(0).GetStdString();
    const auto written = std::filesystem::last_write_time(file);

    Flags()[1997] = 1; // group 2 cleared
    AnsweringList list;
    ASSERT_EQ(list.CreateParts(), 1);
    ShowPage(list, 1, 2, 0);
    list.answer = 1;
    list.SetPosition(1, 2, 0, OMAKE_UNLOCK);
    list.OnDecide();
    EXPECT_EQ(list.asked, 1);
    EXPECT_EQ(Flags()[3119], 0);
    EXPECT_EQ(std::filesystem::last_write_time(file), written) << "a declined unlock writes nothing";

    list.SetTabsLocked(true);
    list.answer = 0;
    list.OnDecide();
    EXPECT_EQ(list.asked, 1) << "locked tabs lock the unlock too";
    list.SetTabsLocked(false);

    list.OnDecide();
    EXPECT_EQ(list.asked, 2);
    for (int32_t f = 3119; f <= 3125; ++f)
        EXPECT_EQ(Flags()[static_cast<size_t>(f)], 1) << f;
    EXPECT_EQ(Flags()[3126], 0) << "the next group's flags stay";
    FlagBuffer merged;
    ASSERT_EQ(flags.LoadFlagFile(0, &merged), 1);
    ASSERT_GT(merged.Flags.size(), 3125u);
    EXPECT_EQ(merged.Flags[5], 0x40) << "its own bits stay";
    EXPECT_EQ(merged.Flags[3119], 1);
    list.SetPosition(1, 2, 0, OMAKE_UNLOCK);
    list.OnDecide();
    EXPECT_EQ(list.asked, 2) << "a complete group's unlock does nothing";
}

class CScModeNoDialogThreadTest : public CScModeThreadTest
{
protected:
    CScModeNoDialogThreadTest()
        : CScModeThreadTest(false)
    {}
};

TEST_F(CScModeNoDialogThreadTest, AnUnbuildableConfirmationDeclines)
{
    Flags()[1997] = 1;
    CScMode list;
    ASSERT_EQ(list.CreateParts(), 1);
    list.SetPosition(1, 2, 0, OMAKE_UNLOCK);
    list.DrawPage(2, 0, 0);
    list.OnDecide();
    EXPECT_FALSE(list.IsGroupComplete(2));
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / SaveStore::FlagFileName(0).GetStdString()));
}

} // namespace
