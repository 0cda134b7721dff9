// Opening addresses with the desktop's handler; headless runs only say what they would open.
#include "platform/shell/ShellExecuteApi.h"

#include <gtest/gtest.h>

#include "support/ScopedEnv.h"

namespace {

intptr_t Code(HINSTANCE result)
{
    return reinterpret_cast<intptr_t>(result);
}

TEST(ShellExecute, AnswersAsWindowsDoes)
{
    ScopedEnv headless("VESK_HEADLESS", "1");
    // Above 32 is success.
    EXPECT_GT(Code(ShellExecuteW(nullptr, u"open", u"https://example.invalid/", nullptr, nullptr, 1)), 32);
    EXPECT_GT(Code(ShellExecuteW(nullptr, nullptr, u"C:\\manual\\man_01.html", nullptr, nullptr, 1)), 32);
    EXPECT_EQ(Code(ShellExecuteW(nullptr, u"edit", u"notes.txt", nullptr, nullptr, 1)), SE_ERR_NOASSOC);
    EXPECT_EQ(Code(ShellExecuteW(nullptr, u"open", nullptr, nullptr, nullptr, 1)), SE_ERR_FNF);
    EXPECT_EQ(Code(ShellExecuteW(nullptr, u"open", u"", nullptr, nullptr, 1)), SE_ERR_FNF);
}

} // namespace
