#include "screens/extras/CCGView.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "foundation/CInputView.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "screens/extras/CCGMode.h"
#include "screens/extras/CScrollView.h"
#include "screens/extras/GalleryFixture.h"
#include "sheetgen/SheetGenerator.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;

constexpr uint32_t HOLE = 0x00000000u;
constexpr uint32_t BASE = 0xFF204060u;
constexpr uint32_t KEY = 0xFF00FF00u;
constexpr uint32_t HALF_RED = 0x80FF0000u;
constexpr uint32_t OPAQUE_BLUE = 0xFF0000FFu;

// A 1920 x 1080 base with a transparent hole at (100..199, 100..199); an overlay of key colour
// with a half-transparent red square at (300, 300) and an opaque blue one at (500, 300); a
// 1920 x 2160 base whose rows below 1080 are lighter.
std::vector<tools::ArchiveEntry> Pictures()
{
    tools::AkbPicture base = tools::MakePicture(1920, 1080, BASE);
    for (int32_t y = 100; y < 200; ++y)
        for (int32_t x = 100; x < 200; ++x)
            base.At(x, y) = HOLE;
    tools::AkbPicture overlay = tools::MakePicture(1920, 1080, KEY);
    for (int32_t y = 300; y < 400; ++y)
        for (int32_t x = 300; x < 400; ++x) {
            overlay.At(x, y) = HALF_RED;
            overlay.At(x + 200, y) = OPAQUE_BLUE;
        }
    tools::AkbPicture tall = tools::MakePicture(1920, 2160, 0xFF101010u);
    for (int32_t y = 1080; y < 2160; ++y)
        for (int32_t x = 0; x < 1920; ++x)
            tall.At(x, y) = 0xFFE0E0E0u;
    return {{"BASE.AKB", tools::EncodeAkb(base, {})},
            {"OVER.AKB", tools::EncodeAkb(overlay, {})},
            {"TALL.AKB", tools::EncodeAkb(tall, {})}};
}

// Group 0: row 0 (variants 0..2), row 1 (3, then 927 out of order), row 2 (9 variants, 5..13),
// row 3 (10 variants, 14..23), row 4 (4 variants, 24..27). Group 1: row 5 (two: 28, 29).
// Group 2: row 6 base with overlay, row 7 the tall base, row 8 a base that does not load.
GalleryStage ViewerStage()
{
    GalleryStage stage;
    stage.rows = {{0, 3, "cg_a.akb"},  {0, 2, "cg_b.akb"}, {0, 9, "cg_c.akb"},
                  {0, 10, "cg_d.akb"}, {0, 4, "cg_e.akb"}, {1, 2, "cg_f.akb"},
                  {2, 1, "cg_g.akb"},  {2, 1, "cg_h.akb"}, {2, 1, "cg_i.akb"}};
    for (int32_t id = 0; id <= 3; ++id)
        stage.compose.push_back({id, "v.akb", {}});
    stage.compose.push_back({927, "v.akb", {}});
    for (int32_t id = 5; id <= 29; ++id)
        stage.compose.push_back({id, "v.akb", {}});
    stage.compose.push_back({30, "base.akb", {"over.akb", "missing_overlay.akb"}});
    stage.compose.push_back({31, "tall.akb", {}});
    stage.compose.push_back({32, "missing.akb", {}});
    stage.pictures = Pictures();
    return stage;
}

class CCGViewThreadTest : public GalleryFixture
{
protected:
    CCGViewThreadTest()
        : GalleryFixture(ViewerStage())
    {
        // The scripts make layer 1 large enough for the tallest picture.
        GetSpriteLayerRegistry().UnregisterSpriteLayer(1);
        auto layer = std::make_unique<CSpriteLayer>();
        layer->Create(0, 0, 1920, 2160, -1);
        GetSpriteLayerRegistry().RegisterSpriteLayer(1, layer.release());
    }

    std::unique_ptr<CCGView> Viewer(int32_t row, CCGMode* gallery = nullptr)
    {
        const CGTables& tables = GetCGTables();
        const int32_t group = tables.GroupOfRow(row);
        auto view =
            std::make_unique<CCGView>(tables.BuildRows(), row, group, (row - tables.GroupFirstRow(group)) / 8,
                                      CStringUTF8("cgscenemode_p.akb"), gallery);
        EXPECT_TRUE(view->CreateSprites());
        return view;
    }
    static uint32_t Pixel(CSpriteLayer* layer, int x, int y) { return EffectPixel(*layer, x, y); }
};

TEST_F(CCGViewThreadTest, PagesAreLaidOutAroundTheCentre)
{
    struct Case
    {
        int32_t row, page, cells, page_count;
        std::vector<std::pair<int32_t, int32_t>> corners; // of cells 0, 3 (when present), last
    } cases[] = {
        {2, 0, 9, 1, {{184, 21}, {184, 334}, {1224, 647}}},
        {3, 0, 9, 2, {{184, 21}, {184, 334}, {1224, 647}}},
        {3, 1, 1, 2, {{704, 334}}},
        {4, 0, 4, 1, {{184, 178}, {184, 491}, {184, 491}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << " page " << c.page);
        auto view = Viewer(c.row);
        view->BuildPage(c.row, c.page);
        const auto& records = view->HitAreas.Records();
        const int32_t cells = static_cast<int32_t>(std::count_if(
            records.begin(), records.end(), [](const HitArea& a) { return a.Id < VIEW_CELLS; }));
        EXPECT_EQ(cells, c.cells);
        EXPECT_EQ(view->GetPageCount(), c.page_count);
        std::vector<std::pair<int32_t, int32_t>> corners{{records[0].Left, records[0].Top}};
        if (c.cells > 1) {
            corners.push_back({records[3].Left, records[3].Top});
            corners.push_back({records[static_cast<size_t>(c.cells - 1)].Left,
                               records[static_cast<size_t>(c.cells - 1)].Top});
        }
        EXPECT_EQ(corners, c.corners);
        const HitArea* next = view->HitAreas.Find(VIEW_NEXT_PAGE);
        EXPECT_EQ(next != nullptr, c.page_count > 1) << "page buttons";
        if (next != nullptr) {
            EXPECT_EQ(next->Right - next->Left, 202);
            EXPECT_EQ(view->HitAreas.Find(VIEW_PREVIOUS_PAGE)->Right -
                          view->HitAreas.Find(VIEW_PREVIOUS_PAGE)->Left,
                      202);
        }
        EXPECT_NE(view->HitAreas.Find(VIEW_BACK), nullptr);
    }
}

TEST_F(CCGViewThreadTest, LockedCellsAreInertAndSeenOnesShowTheirThumbnails)
{
    Seen(15);
    auto view = Viewer(3);
    view->BuildPage(3, 0);
    view->GetPageSprite()->SetVisibleFlag(1);
    Capture("cg_viewer_page.png");
    EXPECT_EQ(ShownCell(704 + 245, 21 + 137), Cell(ROW_THUMBNAIL + 14 + 1, 0)) << "variant 15 in cell 1";
    EXPECT_EQ(ShownCell(184 + 245, 21 + 137), Cell(tools::GALLERY_LOCKED, 0));
    EXPECT_FALSE(view->IsCellSeen(0));
    TakeOkCancelSounds();
    view->SetHover(0);
    view->OnDecide();
    EXPECT_EQ(view->GetMode(), 0);
    EXPECT_TRUE(TakeOkCancelSounds().empty());
    view->SetHover(-1);
    PointAt(184 + 10, 21 + 10);
    view->Update();
    EXPECT_EQ(view->GetHover(), 0);
    Capture();
    EXPECT_EQ(ShownCell(184 + 245, 21 + 137), Cell(tools::GALLERY_LOCKED, 0)) << "no hover frame";
}

TEST_F(CCGViewThreadTest, SteppingSkipsUnseenVariantsAcrossRowsAndGroups)
{
    for (const int32_t variant : {1, 927, 29})
        Seen(variant);
    CCGMode gallery;
    ASSERT_EQ(gallery.CreateParts(), 1);
    gallery.SetPosition(1, 0, 0, -1);
    gallery.DrawPage(0, 0, 0);
    auto view = Viewer(0, &gallery);
    view->BuildPage(0, 0);
    view->SetHover(1);
    view->OnDecide(); // cell 1: variant 1
    ASSERT_EQ(view->GetMode(), 1);
    struct Step
    {
        bool next;
        int32_t row, variant, mode, gallery_group;
    } steps[] = {
        {true, 1, 1, 1, 0},  // 927 at its row position
        {true, 5, 1, 1, 0},  // into group 1
        {true, 5, 1, 0, 1},  // the end: page mode of the last CG, the gallery behind at its group
        {false, 5, 1, 0, 1}, // (page mode: Left moves the cursor only)
    };
    for (const Step& step : steps) {
        if (step.next)
            view->OnRightKey();
        else
            view->OnLeftKey();
        EXPECT_EQ(view->GetRow(), step.row);
        EXPECT_EQ(view->GetMode(), step.mode);
        if (step.mode == 1) {
            EXPECT_EQ(view->GetVariant(), step.variant);
        }
        EXPECT_EQ(gallery.GetGroup(), step.gallery_group);
    }
    EXPECT_EQ(view->GetPage(), 0);
    // Back through the list to its beginning: page 0 of the first CG.
    view->SetHover(1);
    view->OnDecide();
    ASSERT_EQ(view->GetMode(), 1);
    for (const auto& [row, mode] : {std::pair{1, 1}, {0, 1}, {0, 0}}) {
        view->PreviousVariant();
        EXPECT_EQ(view->GetRow(), row);
        EXPECT_EQ(view->GetMode(), mode);
    }
    view->OnCancel();
    EXPECT_EQ(view->Running, 0);
    EXPECT_EQ(view->Result.Integer, 0);
    gallery.ReleaseParts();
}

TEST_F(CCGViewThreadTest, CancelAfterACrossingReturnsToTheNewCG)
{
    for (const int32_t variant : {2, 3})
        Seen(variant);
    auto view = Viewer(0);
    view->BuildPage(0, 0);
    view->SetHover(2);
    view->OnDecide();
    view->NextVariant();
    ASSERT_EQ(view->GetRow(), 1);
    view->OnCancel();
    EXPECT_EQ(view->GetMode(), 0);
    EXPECT_EQ(view->GetPage(), 0);
    view->OnCancel();
    EXPECT_EQ(view->Result.Integer, 256) << "row 1 x 256";
}

TEST_F(CCGViewThreadTest, CompositionThroughTheLayers)
{
    auto view = Viewer(6);
    view->ShowVariant(0);
    CSpriteLayer* picture = view->GetPictureSprite();
    EXPECT_EQ(Pixel(picture, 150, 150), 0xFF000000u) << "opaque black through the hole";
    EXPECT_EQ(Pixel(picture, 50, 50), BASE);
    EXPECT_EQ(Pixel(picture, 600, 600), BASE) << "key-coloured overlay pixels are skipped";
    EXPECT_EQ(Pixel(picture, 550, 350), OPAQUE_BLUE | 0xFF000000u);
    const uint32_t blended = Pixel(picture, 350, 350);
    EXPECT_NEAR(static_cast<int>((blended >> 16) & 0xFF), (0xFF * 0x80 + 0x20 * 0x7F) / 255, 2);
    EXPECT_NEAR(static_cast<int>(blended & 0xFF), (0x60 * 0x7F) / 255, 2);
}

TEST_F(CCGViewThreadTest, OnlyATallPictureRunsTheScrollViewAndCtrlSkipsIt)
{
    struct Case
    {
        int32_t row;
        bool ctrl;
        bool scrolled;
    } cases[] = {{7, false, true}, {7, true, false}, {6, false, false}, {8, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << (c.ctrl ? " with Ctrl" : ""));
        auto view = Viewer(c.row);
        OnPump([&](int pump) {
            m_keyboard.down.clear();
            if (c.ctrl)
                m_keyboard.down.insert(29);
            m_mouse.right_down = pump >= 40 && pump < 42 ? 1 : 0;
        });
        m_mouse.shapes.clear();
        view->ShowVariant(0);
        OnPump(nullptr);
        m_keyboard.down.clear();
        const bool scrolled =
            std::find(m_mouse.shapes.begin(), m_mouse.shapes.end(), CURSOR_OPEN_HAND) != m_mouse.shapes.end();
        EXPECT_EQ(scrolled, c.scrolled);
        if (c.row == 7) {
            EXPECT_EQ(Pixel(view->GetPictureSprite(), 960, 1000), 0xFF101010u) << "the top, from layer 1";
        }
    }
}

TEST_F(CCGViewThreadTest, TheOpeningPageComesFromTheSavedValue)
{
    struct Case
    {
        int32_t value, page;
    } cases[] = {{14, 0}, {15, 1}, {-30, 0}, {0, 0}};
    for (const Case& c : cases) {
        SetValue(17, c.value);
        auto view = Viewer(3);
        view->OnOpen();
        EXPECT_EQ(view->GetPage(), c.page) << c.value;
    }
    SetValue(17, 45);
    auto beyond = Viewer(3);
    beyond->OnOpen();
    EXPECT_EQ(beyond->GetPage(), 3);
    EXPECT_TRUE(std::none_of(beyond->HitAreas.Records().begin(), beyond->HitAreas.Records().end(),
                             [](const HitArea& a) { return a.Id < VIEW_CELLS; }))
        << "a page beyond the CG's shows no cells";
    EXPECT_NE(beyond->HitAreas.Find(VIEW_BACK), nullptr);
}

TEST_F(CCGViewThreadTest, CursorKeysOfThePage)
{
    auto full = Viewer(2); // one page of nine
    full->BuildPage(2, 0);
    auto paged = Viewer(3); // two pages
    paged->BuildPage(3, 0);
    for (int32_t k = 0; k < VIEW_CELLS; ++k) {
        full->SetHover(k);
        paged->SetHover(k);
        EXPECT_EQ(full->CursorTarget(SCAN_DOWN), k < 6 ? k + 3 : VIEW_BACK) << k;
        EXPECT_EQ(paged->CursorTarget(SCAN_DOWN), k < 6 ? k + 3 : VIEW_PREVIOUS_PAGE) << k;
        EXPECT_EQ(full->CursorTarget(SCAN_UP), k < 3 ? -1 : k - 3) << k;
        EXPECT_EQ(full->CursorTarget(SCAN_LEFT), k % 3 == 0 ? -1 : k - 1) << k;
        EXPECT_EQ(full->CursorTarget(SCAN_RIGHT), k % 3 == 2 ? -1 : k + 1) << k;
    }
    struct Case
    {
        int32_t hover;
        uint32_t key;
        int32_t target;
    } cases[] = {{-1, SCAN_LEFT, 0},     {256, SCAN_UP, 8},     {256, SCAN_DOWN, 257}, {256, SCAN_LEFT, -1},
                 {256, SCAN_RIGHT, 512}, {257, SCAN_UP, 256},   {257, SCAN_DOWN, -1},  {257, SCAN_RIGHT, 512},
                 {512, SCAN_UP, 8},      {512, SCAN_LEFT, 256}, {512, SCAN_RIGHT, -1}, {512, SCAN_DOWN, -1}};
    for (const Case& c : cases) {
        paged->SetHover(c.hover);
        EXPECT_EQ(paged->CursorTarget(c.key), c.target) << c.hover << " key " << c.key;
    }
    // Four variants: cell 1's line below has no cell under it.
    auto four = Viewer(4);
    four->BuildPage(4, 0);
    four->SetHover(1);
    EXPECT_EQ(four->CursorTarget(SCAN_DOWN), VIEW_BACK);
    four->SetHover(512);
    EXPECT_EQ(four->CursorTarget(SCAN_UP), 3);
}

TEST_F(CCGViewThreadTest, WithoutItsLayersTheViewerEndsAtOnce)
{
    GetSpriteLayerRegistry().UnregisterSpriteLayer(3);
    const CGTables& tables = GetCGTables();
    CCGView view(tables.BuildRows(), 4, 0, 0, CStringUTF8("cgscenemode_p.akb"), nullptr);
    ScriptValue out = ScriptValue::FromInteger(-5);
    view.Run(&out);
    EXPECT_EQ(out.Integer, 4 * 256);
    EXPECT_LT(Pumps(), 3);
}

} // namespace
