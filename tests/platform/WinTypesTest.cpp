#include "platform/kernel/WinTypes.h"

#include <gtest/gtest.h>

TEST(WinTypes, ScalarsHaveWindowsWidths)
{
    static_assert(sizeof(DWORD) == 4 && sizeof(LONG) == 4 && sizeof(BOOL) == 4 && sizeof(WCHAR) == 2);
    static_assert(sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*));
    EXPECT_EQ(LOWORD(0x12345678u), 0x5678);
    EXPECT_EQ(HIWORD(0x12345678u), 0x1234);
    EXPECT_EQ(RGB(1, 2, 3), 0x030201u);
}
