#include "app/WinMain.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/CWinApp.h"
#include "platform/com/ComApi.h"
#include "platform/user/MessageBoxApi.h"
#include "platform/user/ScriptedMessageBoxPolicy.h"

namespace {

// Records the order in which the entry drives the application object.
class RecordingApp final : public CWinApp
{
public:
    explicit RecordingApp(int init_result, int run_result = 1)
        : m_init_result(init_result)
        , m_run_result(run_result)
    {}

    void InitFramework() override { Record("InitFramework"); }
    int InitInstance() override
    {
        Record("InitInstance");
        return m_init_result;
    }
    int Run() override
    {
        Record("Run");
        return m_run_result;
    }
    int ExitInstance() override
    {
        Record("ExitInstance");
        return 1;
    }

    std::vector<std::string> m_calls;
    std::vector<int> m_com_counts; // the thread's COM use count at each call

private:
    void Record(const char* call)
    {
        m_calls.push_back(call);
        m_com_counts.push_back(platform::ComInitCount());
    }

    int m_init_result;
    int m_run_result;
};

int Enter(const char16_t* command_line)
{
    std::u16string text = command_line;
    return WinMain(reinterpret_cast<HINSTANCE>(0x400000), nullptr, text.data(), 1);
}

} // namespace

TEST(WinMain, RunsOnlyAfterAnInitialisationOfExactlyOne)
{
    using Calls = std::vector<std::string>;
    for (int init_result : {1, 0, 2, -1}) {
        RecordingApp app(init_result);
        EXPECT_EQ(Enter(u""), init_result == 1 ? 0 : 1) << "a failed start-up is a failed run";
        if (init_result == 1)
            EXPECT_EQ(app.m_calls, (Calls{"InitFramework", "InitInstance", "Run", "ExitInstance"}));
        else
            EXPECT_EQ(app.m_calls, (Calls{"InitFramework", "InitInstance", "ExitInstance"})) << init_result;
    }
}

TEST(WinMain, ARunThatEndsOnAFailureGivesANonZeroStatus)
{
    RecordingApp app(1, 0);
    EXPECT_EQ(Enter(u""), 1);
}

TEST(WinMain, HandsTheStartupArgumentsOverBeforeStarting)
{
    RecordingApp app(1);
    EXPECT_EQ(WinMain(reinterpret_cast<HINSTANCE>(0x400000), nullptr, nullptr, 3), 0);
    EXPECT_EQ(app.GetInstanceHandle(), reinterpret_cast<HINSTANCE>(0x400000));
    EXPECT_EQ(app.GetShowCommand(), 3);
    EXPECT_STREQ(app.GetCommandLineText().GetText(), "");
    Enter(u"rotate ＠");
    EXPECT_STREQ(app.GetCommandLineText().GetText(), "rotate ＠");
}

TEST(WinMain, ComIsHeldWhileTheApplicationRunsAndReleasedAfterwards)
{
    RecordingApp app(1);
    Enter(u"");
    EXPECT_EQ(app.m_com_counts, (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(platform::ComInitCount(), 0);
}

TEST(WinMain, AComFailureIsShownAndStartUpGoesOnWithoutReleasingCom)
{
    platform::ScriptedMessageBoxPolicy boxes;
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK); // someone else's use
    platform::FailNextCoInitialize(E_FAIL);
    RecordingApp app(1);
    Enter(u"");
    EXPECT_EQ(app.m_calls.size(), 4u);
    const auto shown = boxes.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, u"ＣＯＭの初期化に失敗しました。");
    EXPECT_EQ(shown[0].type, MB_ICONERROR);
    EXPECT_EQ(platform::ComInitCount(), 1); // the entry did not uninitialise what it never set up
    CoUninitialize();
}
