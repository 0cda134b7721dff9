// The drawn message box's own state: focus moves, presses and the closing answers.
#include "platform/user/MessageBoxModel.h"

#include <gtest/gtest.h>

#include "platform/user/MessageApi.h"

namespace {

using namespace platform;

TEST(MessageBoxModel, FocusWrapsBothWaysAndTheDefaultButtonIsClamped)
{
    MessageBoxModel box;
    box.Begin(u"text", u"caption", 0x3 | 0x200); // yes, no, cancel; third is the default
    EXPECT_EQ(box.FocusIndex(), 2);
    int result = -1;
    EXPECT_TRUE(box.OnKey(VK_TAB, false, result));
    EXPECT_EQ(box.FocusIndex(), 0);
    EXPECT_TRUE(box.OnKey(VK_LEFT, false, result));
    EXPECT_TRUE(box.OnKey(VK_TAB, true, result));
    EXPECT_EQ(box.FocusIndex(), 1);
    EXPECT_FALSE(box.OnKey(VK_RETURN, false, result));
    EXPECT_EQ(result, 7);

    box.Begin(u"text", u"caption", 0x0 | 0x300); // one OK button, default past the end
    EXPECT_EQ(box.FocusIndex(), 0);
}

TEST(MessageBoxModel, AButtonAnswersOnlyWhenPressedAndReleasedOnIt)
{
    MessageBoxModel box;
    box.Begin(u"text", u"caption", 0x4); // yes, no
    box.Layout(800, 600);
    const RECT yes = box.Buttons()[0].rect;
    const RECT no = box.Buttons()[1].rect;
    int result = 0;
    EXPECT_TRUE(box.OnLeftButton(true, {yes.left + 2, yes.top + 2}, result));
    EXPECT_TRUE(box.OnLeftButton(false, {no.left + 2, no.top + 2}, result));
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(box.OnLeftButton(true, {no.left + 2, no.top + 2}, result));
    EXPECT_EQ(box.FocusIndex(), 1);
    EXPECT_FALSE(box.OnLeftButton(false, {no.left + 2, no.top + 2}, result));
    EXPECT_EQ(result, 7);
}

TEST(MessageBoxModel, ClosingAnswersCancelTheLoneOkOrIsRefused)
{
    struct Case
    {
        UINT type;
        int result;
    } cases[] = {{0x0, 1}, {0x1, 2}, {0x3, 2}, {0x4, 0}, {0x2, 0}};
    for (const Case& c : cases) {
        MessageBoxModel box;
        box.Begin(u"text", u"caption", c.type);
        int result = -1;
        EXPECT_EQ(box.OnClose(result), c.result == 0) << c.type;
        EXPECT_EQ(result, c.result) << c.type;
    }
}

} // namespace
