// The demo tests' process helper: a file whose read fails reads as nothing, as the /proc files of
// a process that ends between their open and their read do while the helper scans for a group's
// processes.

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "GameProcess.h"
#include "support/TempDir.h"

namespace {

TEST(GameProcessTest, AFileWhoseReadFailsReadsAsNothing)
{
    const TempDir folder;
    // Both open and then fail their first read (EISDIR, EIO).
    EXPECT_EQ(ReadWholeFile(folder.Path()), "");
    EXPECT_EQ(ReadWholeFile("/proc/self/mem"), "");
    EXPECT_EQ(ReadWholeFile(folder.Path() / "missing"), "");
}

} // namespace
