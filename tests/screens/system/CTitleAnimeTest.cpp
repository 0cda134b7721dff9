#include "screens/system/CTitleAnime.h"

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "demopics/DemoPictures.h"
#include "graphics/CSpriteTexture.h"
#include "screens/system/TitleFixture.h"

namespace {

class CTitleAnimeThreadTest : public TitleFixture
{
protected:
    CSpriteTexture* Flower(CTitleAnime& anime) { return dynamic_cast<CSpriteTexture*>(anime.m_flower.get()); }

    void ExpectBackgroundOnLayerZero()
    {
        EXPECT_EQ(EffectPixel(*m_layer_zero, 100, 100), tools::TITLE_BACKGROUND);
        EXPECT_EQ(EffectPixel(*m_layer_zero, 1400, 300), tools::TITLE_PLATE);
    }
};

TEST_F(CTitleAnimeThreadTest, TheFlowerFollowsItsPathTurnsAndFlipsTickByTick)
{
    CTitleAnime anime;
    anime.LoadImages();
    CSpriteTexture* flower = Flower(anime);
    ASSERT_NE(flower, nullptr);
    anime.Begin();
    EXPECT_EQ(flower->IsVisible(), 1);
    EXPECT_FLOAT_EQ(anime.GetRotation(), 60.0f);
    EXPECT_NEAR(flower->GetRotation(), 60.0f * 3.14159265f / 180.0f, 1e-5f) << "the sprite keeps radians";

    struct Seen
    {
        float x, y, rotation, width, height;
    };
    std::vector<Seen> seen(TITLE_ANIME_TICKS + 1);
    for (int32_t tick = 1; tick <= TITLE_ANIME_TICKS; ++tick) {
        anime.Update(tick, TITLE_ANIME_TICKS);
        seen[tick] = {anime.GetX(), anime.GetY(), anime.GetRotation(), flower->GetScale().x,
                      flower->GetScale().y};
    }
    EXPECT_NEAR(seen[1].x, 375.0f, 1e-3f);
    EXPECT_NEAR(seen[1].y, -128.0f, 1e-3f);
    EXPECT_NEAR(seen[319].x, 1294.0f, 30.0f);
    EXPECT_NEAR(seen[319].y, 816.0f, 30.0f);
    EXPECT_FLOAT_EQ(seen[320].x, 1294.0f);
    EXPECT_FLOAT_EQ(seen[320].y, 816.0f);

    struct Angle
    {
        int32_t tick;
        float degrees;
    };
    for (const Angle a : {Angle{19, 60}, Angle{30, 50}, Angle{40, 40}, Angle{50, 35}, Angle{280, -95},
                          Angle{290, -95}, Angle{299, -95}, Angle{300, -105}, Angle{320, -110}})
        EXPECT_FLOAT_EQ(seen[a.tick].rotation, a.degrees) << "tick " << a.tick;

    // Edge-on at 50, back to full width at 60; the height keeps the current scale.
    EXPECT_FLOAT_EQ(seen[50].width, 0.0f);
    EXPECT_GT(seen[45].width, 0.0f);
    EXPECT_FLOAT_EQ(seen[60].width, seen[60].height);
    EXPECT_NEAR(seen[60].height, 1.5f - 40 * 0.29999995f / 80, 1e-5f);
    EXPECT_FLOAT_EQ(seen[100].width, seen[100].height) << "a flip's start shows the full width";
    EXPECT_NEAR(seen[105].width, seen[105].height / 2, 1e-5f);
    EXPECT_NEAR(seen[320].height, 0.5f, 1e-5f);
}

TEST_F(CTitleAnimeThreadTest, PlayLeavesTheBackgroundOnLayerZeroAfterASkipOrAnUnwind)
{
    struct Case
    {
        const char* what;
        int press;   // pump of a click, or 0
        int release; // pump from which the click's button is up again
        int unwind;  // pump of a document code, or 0
    };
    for (const Case c : {Case{"played out", 0, 0, 0}, Case{"skipped", 10, 11, 0}, Case{"held", 10, 40, 0},
                         Case{"unwound", 0, 0, 20}}) {
        SCOPED_TRACE(c.what);
        m_layer_zero->FillRect(0, 0, 1920, 1080, TITLE_TEST_LAYER_COLOUR, 1);
        CTitleAnime anime;
        anime.LoadImages();
        OnPump([&](int pump) {
            m_mouse.left_down = c.press != 0 && pump >= c.press && pump < c.release ? 1 : 0;
            if (pump == c.unwind)
                throw CVeskDoc::DOCUMENT_RETURN_TO_TITLE;
        });
        bool unwound = false;
        try {
            anime.Play();
        } catch (CVeskDoc::tagDOCUMENT_CODE code) {
            unwound = code == CVeskDoc::DOCUMENT_RETURN_TO_TITLE;
        }
        const int pumps = Pumps();
        OnPump(nullptr);
        m_mouse.left_down = 0;
        EXPECT_EQ(unwound, c.unwind != 0);
        EXPECT_TRUE(m_messages.empty()) << m_messages.front();
        ExpectBackgroundOnLayerZero();
        EXPECT_EQ(anime.m_flower->IsVisible(), 0);
        if (c.press != 0) {
            // Phase 1 ends at the click; phase 2 still fades the flower out, and a button held
            // down ends neither it nor, at the return, the title's wait for a click.
            EXPECT_GE(pumps, c.release + TITLE_ANIME_FADE_TICKS);
            EXPECT_LT(pumps, TITLE_ANIME_TICKS);
        } else if (c.unwind == 0) {
            EXPECT_GE(pumps, TITLE_ANIME_TICKS + TITLE_ANIME_FADE_TICKS);
        }
    }
}

TEST_F(CTitleAnimeThreadTest, MissingPicturesOrLayerSkipTheAnimation)
{
    CTitleAnime no_flower;
    no_flower.LoadImages();
    no_flower.m_flower.reset();
    OnPump([](int) {});
    no_flower.Play();
    EXPECT_EQ(Pumps(), 0) << "nothing moved";
    ExpectBackgroundOnLayerZero();

    CTitleAnime no_layer;
    no_layer.LoadImages();
    GetDocument()->UnregisterSpriteLayer(0);
    m_layer_zero = nullptr;
    no_layer.Play();
    EXPECT_EQ(Pumps(), 0);
    OnPump(nullptr);

    CTitleAnime nothing; // no pictures loaded at all
    nothing.Begin();
    nothing.Update(1, TITLE_ANIME_TICKS);
    nothing.Play();
}

} // namespace
