#include "platform/user/MessageBoxApi.h"

#include <gtest/gtest.h>

#include "platform/user/ScriptedMessageBoxPolicy.h"

using platform::ScriptedMessageBoxPolicy;

TEST(MessageBoxApi, BoxesReachTheInstalledPolicyWithTheirTexts)
{
    ScriptedMessageBoxPolicy policy;
    policy.QueueAnswer(IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, u"本当に終了しますか？", u"asmr_system", MB_YESNO | MB_ICONQUESTION),
              IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, nullptr, nullptr, MB_OK), IDOK);
    const auto shown = policy.Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, u"本当に終了しますか？");
    EXPECT_EQ(shown[0].caption, u"asmr_system");
    EXPECT_EQ(shown[0].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(shown[1].text, u"");
    EXPECT_EQ(shown[1].caption, u"Error"); // Windows' caption for a null one
}

TEST(MessageBoxApi, AnUnscriptedBoxAnswersItsDefaultButton)
{
    ScriptedMessageBoxPolicy policy;
    EXPECT_EQ(MessageBoxW(nullptr, u"", u"", MB_OKCANCEL), IDOK);
    EXPECT_EQ(MessageBoxW(nullptr, u"", u"", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(MessageBoxW(nullptr, u"", u"", MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
    EXPECT_EQ(MessageBoxW(nullptr, u"", u"", MB_ABORTRETRYIGNORE | MB_DEFBUTTON2), IDRETRY);
    EXPECT_EQ(MessageBoxW(nullptr, u"", u"", MB_RETRYCANCEL), IDRETRY);
    // A default button past the group's last falls back to the first.
    EXPECT_EQ(MessageBoxW(nullptr, u"", u"", MB_YESNO | MB_DEFBUTTON3), IDYES);
}

TEST(MessageBoxApi, APolicyPutsThePreviousOneBackWhenItEnds)
{
    ScriptedMessageBoxPolicy outer;
    {
        ScriptedMessageBoxPolicy inner;
        MessageBoxW(nullptr, u"inner", u"", MB_OK);
        EXPECT_EQ(inner.Shown().size(), 1u);
    }
    MessageBoxW(nullptr, u"outer", u"", MB_OK);
    ASSERT_EQ(outer.Shown().size(), 1u);
    EXPECT_EQ(outer.Shown()[0].text, u"outer");
}
