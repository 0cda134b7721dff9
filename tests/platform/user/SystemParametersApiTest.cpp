#include "platform/user/SystemParametersApi.h"

#include <gtest/gtest.h>

namespace {

BOOL ScreenSaverActive()
{
    BOOL active = -1;
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0));
    return active;
}

} // namespace

TEST(SystemParametersApi, TheScreenSaverStateIsKeptUntilChanged)
{
    EXPECT_EQ(ScreenSaverActive(), TRUE);
    EXPECT_TRUE(SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, SPIF_UPDATEINIFILE));
    EXPECT_EQ(ScreenSaverActive(), FALSE);
    EXPECT_TRUE(SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_UPDATEINIFILE));
    EXPECT_EQ(ScreenSaverActive(), TRUE);
}

TEST(SystemParametersApi, UnknownActionsAndMissingResultPointersFail)
{
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, nullptr, 0));
    BOOL value = 0;
    EXPECT_FALSE(SystemParametersInfoW(0x0072 /* a font-smoothing query */, 0, &value, 0));
}
