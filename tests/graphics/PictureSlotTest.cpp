// The picture slots: naming a slot, composing the base and the overlays into the target with
// the colour key and with alpha, overlays cut at every edge of the view (past the right and
// bottom edges, from a negative position, under a view offset), cleared and missing slots, a
// work layer registered again, and the fade and the rule transition of layer 6 into layer 0.

#include "graphics/PictureSlot.h"

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "foundation/CArchiveManager.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/EffectFixture.h"
#include "graphics/SpriteLayerRegistry.h"
#include "rulegen/RuleImageWriter.h"
#include "support/FakeDocumentLink.h"

namespace {

constexpr uint32_t BASE_LEFT = 0xFF204060;  // x below 960 of the base picture
constexpr uint32_t BASE_RIGHT = 0xFF406020; // from 960 on
constexpr uint32_t RED = 0xFFE02020;
constexpr uint32_t BLUE = 0xFF2020E0;
constexpr uint32_t KEY = 0xFF00FF00;
constexpr uint32_t SCENE = 0xFF000000;

// 400 x 300, red, with the key colour over (0, 0)-(100, 100) and blue over (300, 200)-(400, 300).
tools::AkbPicture Overlay()
{
    tools::AkbPicture picture = PictureWithBox(400, 300, RED, 0, 0, 100, 100, KEY);
    for (int y = 200; y < 300; ++y)
        for (int x = 300; x < 400; ++x)
            picture.At(x, y) = BLUE;
    return picture;
}

class PictureSlotThreadTest : public EffectFixture
{
protected:
    PictureSlotThreadTest()
    {
        // Layers 1 and 3 never reach the archive's size limit; the big one stays out of layer 2.
        tools::AkbPicture half = PictureWithBox(200, 100, 0x80FF0000, 100, 0, 200, 100, 0x00FFFFFF);
        OpenLayerArchive({{"OVER.AKB", tools::EncodeAkb(Overlay(), {})},
                          {"HALF.AKB", tools::EncodeAkb(half, {})},
                          {"HUGE.AKB", tools::EncodeAkb(tools::MakePicture(2000, 8, RED), {})}},
                         false);
        for (int32_t number :
             {PICTURE_LAYER_SCENE, PICTURE_LAYER_BASE, PICTURE_LAYER_WORK, PICTURE_LAYER_FADE})
            Register(number, 1920, 1080);
        Layer(PICTURE_LAYER_BASE).FillRect(0, 0, 960, 1080, BASE_LEFT, 1);
        Layer(PICTURE_LAYER_BASE).FillRect(960, 0, 960, 1080, BASE_RIGHT, 1);
        Layer(PICTURE_LAYER_SCENE).FillRect(0, 0, 1920, 1080, SCENE, 1);
        ClearPictureSlots();
    }
    ~PictureSlotThreadTest() override { ClearPictureSlots(); }

    CSpriteLayer& Register(int32_t number, int w, int h)
    {
        auto* layer = new CSpriteLayer;
        layer->Create(0, 0, w, h, -1);
        GetSpriteLayerRegistry().RegisterSpriteLayer(number, layer);
        return *layer;
    }
    CSpriteLayer& Layer(int32_t number) { return *GetSpriteLayerRegistry().GetSpriteLayer(number); }
    uint32_t At(int x, int y, int32_t number = PICTURE_LAYER_FADE)
    {
        return EffectPixel(Layer(number), x, y);
    }

    void Place(int index, const char* name, uint32_t mode, int x, int y)
    {
        SetPictureSlotName(name, mode, index);
        GetPictureSlot(index).m_x = x;
        GetPictureSlot(index).m_y = y;
    }
    void DrawFullScreen() { DrawPictureSlot(GetPictureTargetLayer(), 0, 0, 1920, 1080, 0, 0); }
};

} // namespace

TEST_F(PictureSlotThreadTest, NamingASlotPutsItInUseAtTheOrigin)
{
    GetPictureSlot(3).m_x = 40;
    SetPictureSlotName("OVER.akb", 1, 3);
    const PictureSlot& slot = GetPictureSlot(3);
    EXPECT_EQ(slot.m_in_use, 1u);
    EXPECT_EQ(slot.m_mode, 1u);
    EXPECT_EQ(slot.m_x, 0);
    EXPECT_EQ(slot.m_name, CStringUTF8("OVER.akb"));
    EXPECT_EQ(GetShownPictureName(3), CStringUTF8("OVER.akb"));

    SetPictureSlotName("HALF.akb", 0, 7); // no slot 7: nothing changes
    SetPictureSlotName("HALF.akb", 0, -1);
    for (int index = 0; index < PICTURE_SLOT_COUNT; ++index) {
        if (index != 3) {
            EXPECT_EQ(GetPictureSlot(index).m_in_use, 0u) << index;
            EXPECT_NE(GetShownPictureName(index), CStringUTF8("HALF.akb")) << index;
        }
    }
    ClearPictureSlots();
    EXPECT_EQ(GetPictureSlot(3).m_in_use, 0u);
    EXPECT_EQ(GetPictureSlot(3).m_mode, 0u);
    EXPECT_EQ(GetPictureSlot(3).m_name, CStringUTF8("OVER.akb")); // names stay
}

TEST_F(PictureSlotThreadTest, WithoutAFadeTheTargetIsLayerSix)
{
    EXPECT_EQ(GetPictureTargetLayer(), &Layer(PICTURE_LAYER_FADE));
    GetSpriteLayerRegistry().UnregisterSpriteLayer(PICTURE_LAYER_FADE);
    EXPECT_EQ(GetPictureTargetLayer(), nullptr);
}

TEST_F(PictureSlotThreadTest, AKeyedOverlayPastTheRightAndBottomEdgesIsCut)
{
    Place(0, "OVER.akb", 0, 1800, 900);
    DrawFullScreen();
    EXPECT_EQ(At(0, 0), BASE_LEFT);
    EXPECT_EQ(At(1799, 899), BASE_RIGHT);
    EXPECT_EQ(At(1850, 950), BASE_RIGHT); // the key colour lets the base through
    EXPECT_EQ(At(1900, 1000), RED);       // overlay (100, 100)
    EXPECT_EQ(At(1919, 1079), RED);       // overlay (119, 179): 120 columns and 180 rows shown
}

TEST_F(PictureSlotThreadTest, AnOverlayAtANegativePositionShowsItsLowerRightPart)
{
    Place(0, "OVER.akb", 0, -100, -50);
    DrawFullScreen();
    EXPECT_EQ(At(0, 0), RED);      // overlay (100, 50), just outside the key box
    EXPECT_EQ(At(0, 49), RED);     // overlay (100, 99)
    EXPECT_EQ(At(250, 200), BLUE); // overlay (350, 250)
    EXPECT_EQ(At(299, 249), BLUE); // overlay (399, 299), its last pixel
    EXPECT_EQ(At(300, 200), BASE_LEFT);
    EXPECT_EQ(At(200, 250), BASE_LEFT);
}

TEST_F(PictureSlotThreadTest, AViewOffsetMovesTheBaseAndTheOverlaysTogether)
{
    Place(1, "OVER.akb", 0, 500, 0);
    DrawPictureSlot(GetPictureTargetLayer(), 0, 0, 1920, 1080, 100, 0);
    EXPECT_EQ(At(859, 500), BASE_LEFT); // base x 959
    EXPECT_EQ(At(860, 500), BASE_RIGHT);
    EXPECT_EQ(At(399, 150), BASE_LEFT); // composed x 499, left of the overlay
    EXPECT_EQ(At(400, 150), RED);       // composed x 500: the overlay's first column
    EXPECT_EQ(At(450, 50), BASE_LEFT);  // its key box over base x 550
    EXPECT_EQ(At(750, 250), BLUE);      // overlay (350, 250)
    EXPECT_EQ(At(1819, 1079), BASE_RIGHT);
}

TEST_F(PictureSlotThreadTest, AlphaOverlaysBlendAndLaterSlotsLieOnTop)
{
    Place(0, "OVER.akb", 0, 0, 0);
    Place(4, "HALF.akb", 1, 350, 250);
    DrawFullScreen();
    // Half red (0x80 of 0xFF, 0, 0) over the blue box (0x20, 0x20, 0xE0): within a step of
    // rounding, 0x20 + (0xFF - 0x20) / 2, 0x20 / 2 and 0xE0 / 2.
    const uint32_t blended = At(360, 260);
    EXPECT_NEAR(int((blended >> 16) & 0xFF), 0x8F, 1);
    EXPECT_NEAR(int((blended >> 8) & 0xFF), 0x10, 1);
    EXPECT_NEAR(int(blended & 0xFF), 0x70, 1);
    EXPECT_EQ(blended >> 24, 0xFFu);
    EXPECT_EQ(At(460, 260), BASE_LEFT); // its clear half leaves what was there
    EXPECT_EQ(At(349, 299), BLUE);
}

TEST_F(PictureSlotThreadTest, ClearedSlotsLeaveOnlyTheBase)
{
    Place(0, "OVER.akb", 0, 0, 0);
    DrawFullScreen();
    EXPECT_EQ(At(200, 200), RED);
    ClearPictureSlots();
    DrawFullScreen();
    EXPECT_EQ(At(200, 200), BASE_LEFT);
}

TEST_F(PictureSlotThreadTest, AMissingOrOversizedOverlayDrawsNothingOfItself)
{
    Place(0, "GONE.akb", 0, 0, 0);
    Place(1, "HUGE.akb", 1, 0, 500); // wider than the work layer
    Place(2, "OVER.akb", 0, 1000, 0);
    DrawFullScreen();
    EXPECT_EQ(At(10, 10), BASE_LEFT);
    EXPECT_EQ(At(10, 502), BASE_LEFT);
    EXPECT_EQ(At(1200, 150), RED);
    ASSERT_EQ(m_messages.size(), 2u); // the missing entry, then the range error
    EXPECT_NE(m_messages[0].find("GONE.akb"), std::string::npos);
    EXPECT_NE(m_messages[1].find("HUGE.akb"), std::string::npos);
}

TEST_F(PictureSlotThreadTest, AWorkLayerRegisteredAgainIsTheOneDrawnThrough)
{
    Place(2, "OVER.akb", 0, 1000, 0);
    DrawFullScreen();
    EXPECT_EQ(At(1200, 150), RED);
    // Registered again, the old layer is freed; the slots must not hold on to it.
    CSpriteLayer& work = Register(PICTURE_LAYER_WORK, 1000, 400);
    Layer(PICTURE_LAYER_FADE).FillRect(0, 0, 1920, 1080, SCENE, 1);
    DrawFullScreen();
    EXPECT_EQ(At(1200, 150), RED);
    EXPECT_EQ(EffectPixel(work, 200, 150), RED); // decoded into the new layer
}

TEST_F(PictureSlotThreadTest, AFadeBringsLayerSixIntoTheScene)
{
    Place(0, "OVER.akb", 0, 100, 100);
    DrawFullScreen();
    FadeInPictureSlot(10);
    // Ten ticks: nine updates, the end on the tenth, and an eleventh that finds nothing to play.
    EXPECT_EQ(m_runner.GetPasses(), 11);
    EXPECT_EQ(At(300, 300, PICTURE_LAYER_SCENE), RED);
    EXPECT_EQ(At(10, 10, PICTURE_LAYER_SCENE), BASE_LEFT);
    EXPECT_EQ(Layer(PICTURE_LAYER_FADE).IsVisible(), 0);
    EXPECT_EQ(Layer(PICTURE_LAYER_FADE).GetAlpha(), 255);

    FadeInPictureSlot(0); // a length of 0 still plays one tick
    EXPECT_EQ(m_runner.GetPasses(), 13);
}

TEST_F(PictureSlotThreadTest, ARuleTransitionBringsLayerSixIntoTheScene)
{
    std::vector<tools::ArchiveEntry> rules{
        {"03.BIN", tools::MakeRuleImage(tools::RulePattern::WipeRight, 1920, 1080)}};
    m_dir.Write("data.arc", tools::BuildArchive(rules, tools::ArchiveEncoding::Plain));
    CArchiveManager data("data.arc", false, false);
    FakeDocumentLink link;
    link.m_data_archive = &data;

    Place(0, "OVER.akb", 0, 1500, 700);
    DrawFullScreen();
    TransitionPictureSlot(3, 8);
    EXPECT_EQ(m_runner.GetPasses(), 9);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(At(1700, 900, PICTURE_LAYER_SCENE), RED);
    EXPECT_EQ(At(5, 5, PICTURE_LAYER_SCENE), BASE_LEFT); // whole pixels, alpha back at its end
    EXPECT_EQ(Layer(PICTURE_LAYER_FADE).IsVisible(), 0);
}
