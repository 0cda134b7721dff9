// Who frees a texture sprite's layer: the one it made or adopted goes with it, exactly once; a
// borrowed one is never touched, whatever order the layer is replaced, dropped or adopted again.

#include "graphics/CSpriteTexture.h"

#include "app/TestApp.h"
#include "support/HeadlessDisplay.h"
#include "support/ResidentPages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

class CountedTexture : public CTextureLayer
{
public:
    explicit CountedTexture(int* freed)
        : m_freed(freed)
    {}
    ~CountedTexture() override { ++*m_freed; }

private:
    int* m_freed;
};

class CSpriteTextureTest : public ::testing::Test
{
protected:
    TestApp m_app;
    HeadlessDisplay m_display;
};

TEST_F(CSpriteTextureTest, FreesWhatItOwnsOnceAndNeverWhatItBorrows)
{
    int adopted_freed = 0;
    int borrowed_freed = 0;
    auto borrowed = std::make_unique<CountedTexture>(&borrowed_freed);
    {
        CSpriteTexture sprite;
        auto* adopted = new CountedTexture(&adopted_freed);
        sprite.AdoptTexture(std::unique_ptr<CTextureLayer>(adopted));
        // Adopting what it already owns changes nothing.
        sprite.AdoptTexture(std::unique_ptr<CTextureLayer>(adopted));
        EXPECT_EQ(sprite.GetTextureLayer(), adopted);
        EXPECT_EQ(adopted_freed, 0);

        // Replaced by a borrowed layer: the owned one goes now, the borrowed one stays.
        sprite.SetTexture(borrowed.get());
        EXPECT_EQ(adopted_freed, 1);
        sprite.ResetDrawParams();
        EXPECT_EQ(sprite.GetTextureLayer(), nullptr);

        // A layer the sprite makes itself is freed by Destroy, and a second Destroy finds nothing.
        sprite.Create(nullptr, 0, 0, RECT{0, 0, 8, 8}, -1, 0);
        ASSERT_NE(sprite.GetTextureLayer(), nullptr);
        sprite.Destroy();
        EXPECT_EQ(sprite.GetTextureLayer(), nullptr);

        // Adopting a borrowed layer it already shows makes it the owner.
        auto* shown = new CountedTexture(&adopted_freed);
        sprite.AttachTexture(shown, 0, 0, RECT{0, 0, 0, 0}, -1);
        sprite.AdoptTexture(std::unique_ptr<CTextureLayer>(shown));
    }
    EXPECT_EQ(adopted_freed, 2);
    EXPECT_EQ(borrowed_freed, 0);
}

} // namespace

namespace {

// A screen-sized texture sprite drawn over, then cleared whole through the sprite itself: the
// layer it fronts gives its pages back and reads clear.
TEST_F(CSpriteTextureTest, AClearThroughTheSpriteGivesTheLayersPagesBack)
{
    CSpriteTexture sprite;
    sprite.Create(nullptr, 0, 0, RECT{0, 0, 1920, 1080}, -1, 0);
    ILayer* layer = sprite.GetTextureLayer();
    ASSERT_NE(layer, nullptr);
    sprite.FillRect(0, 0, 1920, 1080, 0xFF102030u, 1);
    ASSERT_GT(ResidentBytes(layer), size_t{1920} * 1000 * 4);
    sprite.FillRect(0, 0, 1920, 1080, 0, 1);
    EXPECT_LT(ResidentBytes(layer), size_t{1920} * 1080 * 4 / 100);
    uint32_t pixel = 1;
    std::memcpy(&pixel, layer->GetPixelPtr(960, 540), 4);
    EXPECT_EQ(pixel, 0u);
}

} // namespace
