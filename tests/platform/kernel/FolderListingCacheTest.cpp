#include "platform/kernel/FolderListingCache.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/kernel/FileApi.h"
#include "platform/kernel/PosixPath.h"
#include "platform/kernel/Unicode.h"
#include "support/TempDir.h"

namespace {

class FolderListingCacheTest : public ::testing::Test
{
protected:
    // The name a case-blind lookup of name in the test folder finds; empty when none.
    std::string Found(const std::string& name) const
    {
        return platform::FolderListingCache::GetInstance()
            .FindIgnoringCase(m_dir.Path().string(), name)
            .value_or("");
    }

    void Touch(const std::string& name) const { std::ofstream(m_dir.PathOf(name)) << name; }

    bool Move(const std::string& from, const std::string& to) const
    {
        return MoveFileExW(platform::Utf8ToUtf16(m_dir.PathOf(from)).c_str(),
                           platform::Utf8ToUtf16(m_dir.PathOf(to)).c_str(),
                           MOVEFILE_REPLACE_EXISTING) != FALSE;
    }

    TempDir m_dir;
};

TEST_F(FolderListingCacheTest, FollowsRenamesByTheLayerAndChangesMadeAroundIt)
{
    Touch("Alpha.txt");
    Touch("ALPHA.TXT");
    EXPECT_EQ(Found("alpha.txt"), "ALPHA.TXT"); // the first in byte order
    EXPECT_EQ(Found("beta.txt"), "");

    // Renames through the layer, as a save makes them, one after another.
    ASSERT_TRUE(Move("ALPHA.TXT", "Beta.txt"));
    EXPECT_EQ(Found("alpha.txt"), "Alpha.txt");
    EXPECT_EQ(Found("BETA.TXT"), "Beta.txt");
    ASSERT_TRUE(Move("Alpha.txt", "beta.TXT")); // replaces "Beta.txt", keeping its name
    EXPECT_EQ(Found("ALPHA.txt"), "");
    EXPECT_EQ(Found("Beta.Txt"), "Beta.txt");

    // Files made and removed behind the layer's back.
    Touch("Gamma.dat");
    std::filesystem::remove(m_dir.Path() / "Beta.txt");
    EXPECT_EQ(Found("GAMMA.DAT"), "Gamma.dat");
    EXPECT_EQ(Found("beta.txt"), "");

    // Another process, which starts from the listing it inherited.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool seen = Found("gamma.DAT") == "Gamma.dat";
        std::ofstream(m_dir.PathOf("Delta")) << "child";
        const bool renamed = Move("Gamma.dat", "Epsilon.dat");
        _exit(seen && renamed && Found("gamma.dat").empty() && Found("DELTA") == "Delta" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Found("delta"), "Delta");
    EXPECT_EQ(Found("gamma.dat"), "");
    EXPECT_EQ(Found("EPSILON.DAT"), "Epsilon.dat");
}

TEST_F(FolderListingCacheTest, ChangesPastOneReadOfTheQueueAreAllFollowed)
{
    // Several reads' worth of events (each some 80 bytes), the last made and the first removed
    // both seen, through the case-blind resolver that hands its look at the folder on.
    EXPECT_EQ(Found("none"), "");
    const std::string stem(56, 'n');
    for (int i = 0; i < 600; ++i)
        Touch(stem + std::to_string(i));
    std::filesystem::remove(m_dir.Path() / (stem + "0"));
    EXPECT_EQ(Found("N" + stem.substr(1) + "599"), stem + "599");
    EXPECT_EQ(Found(stem + "0"), "");
    EXPECT_EQ(platform::ResolveCaseInsensitive(m_dir.PathOf("N" + stem.substr(1) + "598")),
              m_dir.PathOf(stem + "598"));
}

TEST_F(FolderListingCacheTest, AFolderReplacedUnderTheSameNameIsReadAgain)
{
    std::filesystem::create_directory(m_dir.Path() / "Save");
    Touch("Save/Old");
    const std::string folder = m_dir.PathOf("Save");
    auto& cache = platform::FolderListingCache::GetInstance();
    EXPECT_EQ(cache.FindIgnoringCase(folder, "OLD").value_or(""), "Old");

    std::filesystem::rename(folder, m_dir.PathOf("Kept"));
    std::filesystem::create_directory(folder);
    Touch("Save/New");
    EXPECT_EQ(cache.FindIgnoringCase(folder, "OLD").value_or(""), "");
    EXPECT_EQ(cache.FindIgnoringCase(folder, "new").value_or(""), "New");
    // The moved folder is the same folder under its new name.
    EXPECT_EQ(cache.FindIgnoringCase(m_dir.PathOf("Kept"), "old").value_or(""), "Old");

    std::filesystem::remove_all(folder);
    EXPECT_FALSE(cache.FindIgnoringCase(folder, "new"));
}

} // namespace
