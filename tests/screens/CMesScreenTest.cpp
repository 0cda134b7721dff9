#include "screens/base/CMesScreen.h"

#include <gtest/gtest.h>

#include "screens/ScreenFixture.h"

namespace {

class CMesScreenThreadTest : public ScreenFixture
{
protected:
    CMesScreenThreadTest()
        : ScreenFixture(MessageWindowDataEntries(), MessageWindowPictureEntries())
    {}
};

TEST_F(CMesScreenThreadTest, ReleasingGivesBackTheShareOfTheSharedParts)
{
    const int32_t before = CMesButton::GetPartsHolders();
    CMesScreen screen;
    ASSERT_EQ(screen.CreateParts(), 1);
    EXPECT_EQ(CMesButton::GetPartsHolders(), before + 1);
    screen.ReleaseParts();
    EXPECT_EQ(CMesButton::GetPartsHolders(), before);
    screen.ReleaseParts();
    EXPECT_EQ(CMesButton::GetPartsHolders(), before) << "a second release gives back nothing more";
}

} // namespace
