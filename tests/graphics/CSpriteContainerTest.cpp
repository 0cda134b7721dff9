#include "graphics/CSpriteContainer.h"

#include "graphics/LayerTestSupport.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<CSpriteLayer> Child(int x, int y, int w, int h, int priority, uint32_t fill)
{
    auto child = std::make_unique<CSpriteLayer>();
    child->Create(x, y, w, h, priority);
    child->SetVisibleFlag(1);
    child->FillRect(0, 0, w, h, fill, 1);
    return child;
}

// A visible container composing into a 4 x 4 picture that starts opaque grey.
class CSpriteContainerTest : public ::testing::Test
{
protected:
    CSpriteContainerTest()
    {
        m_container.AttachLayer(MakeLayer(4, 4, 0xFF808080).release(), 0, 0, 5);
        m_container.SetVisibleFlag(1);
    }

    uint32_t At(int x, int y) { return PixelAt(*m_container.GetLayer(), x, y); }

    CSpriteContainer m_container;
};

} // namespace

TEST_F(CSpriteContainerTest, ComposesChangedChildrenInPriorityOrder)
{
    auto red = Child(0, 0, 2, 2, 2, 0xFFFF0000);
    auto blue = Child(1, 1, 2, 2, 1, 0xFF0000FF);
    m_container.AddSprite(red.get());
    m_container.AddSprite(blue.get());
    ASSERT_TRUE(m_container.Compose());
    EXPECT_EQ(At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(At(1, 1), 0xFFFF0000u); // the higher priority is drawn last, whatever the adding order
    EXPECT_EQ(At(2, 2), 0xFF0000FFu);
    EXPECT_EQ(At(3, 3), 0xFF808080u); // outside every child: untouched
    // Inside the dirty area but under no child: alpha cleared.
    EXPECT_EQ(At(2, 0) >> 24, 0u);
    // Composing cleans the children, so the next pass draws nothing.
    EXPECT_EQ(red->IsLayerModified(), 0);
    EXPECT_FALSE(m_container.Compose());
    // A changed child recomposes only its own area.
    blue->FillRect(0, 0, 1, 1, 0xFF00FF00, 1);
    blue->Invalidate(1, *blue->GetRect());
    ASSERT_TRUE(m_container.Compose());
    EXPECT_EQ(At(2, 2), 0xFF0000FFu);
    EXPECT_EQ(At(1, 1), 0xFFFF0000u);
}

TEST_F(CSpriteContainerTest, RefusesUnregisteredAndRepeatedChildren)
{
    auto hidden = Child(0, 0, 1, 1, -1, 0xFFFFFFFF);
    auto child = Child(0, 0, 1, 1, 3, 0xFFFFFFFF);
    m_container.AddSprite(hidden.get());
    m_container.AddSprite(child.get());
    m_container.AddSprite(child.get());
    EXPECT_EQ(m_container.GetChildren().size(), 1u);
}

TEST_F(CSpriteContainerTest, EqualPrioritiesKeepTheirOrder)
{
    auto a = Child(0, 0, 1, 1, 4, 0xFF000001);
    auto b = Child(0, 0, 1, 1, 4, 0xFF000002);
    auto c = Child(0, 0, 1, 1, 1, 0xFF000003);
    m_container.AddSprite(a.get());
    m_container.AddSprite(b.get());
    m_container.AddSprite(c.get());
    const auto& children = m_container.GetChildren();
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(children[0], c.get());
    EXPECT_EQ(children[1], a.get());
    EXPECT_EQ(children[2], b.get());
    m_container.Compose();
    EXPECT_EQ(At(0, 0), 0xFF000002u);
}

TEST_F(CSpriteContainerTest, HiddenContainerDoesNotCompose)
{
    auto child = Child(0, 0, 1, 1, 3, 0xFFFFFFFF);
    m_container.AddSprite(child.get());
    m_container.SetVisibleFlag(0);
    EXPECT_FALSE(m_container.Compose());
    EXPECT_EQ(child->IsLayerModified(), 1);
}
