#include "platform/kernel/VersionApi.h"

#include <gtest/gtest.h>

#include "platform/kernel/ErrorApi.h"

namespace {

BOOL Check(DWORD major, DWORD minor, BYTE condition)
{
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    info.dwMajorVersion = major;
    info.dwMinorVersion = minor;
    const ULONGLONG mask =
        VerSetConditionMask(VerSetConditionMask(0, VER_MAJORVERSION, condition), VER_MINORVERSION, condition);
    return VerifyVersionInfoW(&info, VER_MAJORVERSION | VER_MINORVERSION, mask);
}

} // namespace

class Version : public ::testing::Test
{
protected:
    ~Version() override { platform::ResetReportedWindowsVersion(); }
};

TEST_F(Version, ConditionMaskHoldsThreeBitsPerField)
{
    // VER_MINORVERSION is field 0, VER_MAJORVERSION field 1, VER_SERVICEPACKMAJOR field 5.
    EXPECT_EQ(VerSetConditionMask(0, VER_MINORVERSION, VER_GREATER_EQUAL), 0x3u);
    EXPECT_EQ(VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL), 0x18u);
    EXPECT_EQ(VerSetConditionMask(0, VER_SERVICEPACKMAJOR, VER_EQUAL), 0x8000u);
    EXPECT_EQ(VerSetConditionMask(0x18, VER_MAJORVERSION, VER_LESS), 0x20u); // replaces
}

TEST_F(Version, ReportsWindows10)
{
    EXPECT_TRUE(Check(10, 0, VER_EQUAL));
    EXPECT_TRUE(Check(6, 2, VER_GREATER_EQUAL));
    EXPECT_TRUE(Check(6, 3, VER_GREATER));
    EXPECT_FALSE(Check(10, 0, VER_GREATER));
    EXPECT_EQ(GetLastError(), ERROR_OLD_WIN_VERSION);
    EXPECT_TRUE(Check(11, 0, VER_LESS));
    EXPECT_TRUE(Check(10, 1, VER_LESS_EQUAL));
}

TEST_F(Version, TestsCanReportAnOlderSystem)
{
    platform::SetReportedWindowsVersion(6, 1);
    EXPECT_TRUE(Check(6, 1, VER_EQUAL));
    EXPECT_FALSE(Check(6, 2, VER_GREATER_EQUAL));
    platform::ResetReportedWindowsVersion();
    EXPECT_TRUE(Check(6, 2, VER_GREATER_EQUAL));
}
