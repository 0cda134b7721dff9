// The entry of every test executable: the headless environment is set here, before any test
// runs, so each test sees it however the executable was started (CTest, a debugger, by hand).
// A variable already set by the caller wins, so a run under Xvfb can choose the real drivers.

#include <cstdlib>

#include <gtest/gtest.h>

#include "screens/map/CCps.h"
#include "support/ThreadTest.h"

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("VESK_HEADLESS", "1", 0);
    setenv("VESK_SOURCE_DIR", VESK_SOURCE_DIR, 0);
    setenv("VESK_BINARY_DIR", VESK_BINARY_DIR, 0);
    // Every start-up makes the town map's two pictures; the game's size would cost 340 MB a test.
    CCps::SetMapPictureSize(480, 320);
    testing::InitGoogleTest(&argc, argv);
    InstallThreadTestCheck();
    return RUN_ALL_TESTS();
}
