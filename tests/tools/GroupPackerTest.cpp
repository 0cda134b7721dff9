#include <fstream>
#include <iterator>
#include <stdexcept>

#include <gtest/gtest.h>

#include "arcpack/ArchiveWriter.h"
#include "arcpack/GroupPacker.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

void Write(const fs::path& file, const std::string& text)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

Bytes Read(const fs::path& file)
{
    std::ifstream input(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(input), {});
}

// What arcpack makes of all the groups' files drawn into one folder.
Bytes OneFolderArchive(const fs::path& folder)
{
    std::vector<tools::ArchiveEntry> entries = tools::ReadFolderEntries(folder);
    for (tools::ArchiveEntry& entry : entries)
        entry.name = tools::UpperCaseName(entry.name);
    return tools::BuildArchive(entries, tools::ArchiveEncoding::Plain);
}

class GroupPacker : public ::testing::Test
{
protected:
    // Group a's and b's files, also drawn together into "all". "cg_r01" sorts before "cgmode" as
    // drawn and after it upper-cased: the archive keeps the drawn order.
    void Draw(const std::string& b_text)
    {
        for (const fs::path& folder : {m_all, m_a}) {
            Write(folder / "cgmode.akb", "mode");
            Write(folder / "Title.akb", "title sheet");
        }
        for (const fs::path& folder : {m_all, m_b}) {
            Write(folder / "cg_r01.akb", b_text);
            Write(folder / "z.akb", "");
        }
    }

    TempDir m_dir;
    const fs::path m_a = m_dir.Path() / "a";
    const fs::path m_b = m_dir.Path() / "b";
    const fs::path m_all = m_dir.Path() / "all";
    const fs::path m_archive = m_dir.Path() / "layer.arc";
};

TEST_F(GroupPacker, MovesTheGroupsIntoTheArchiveOneFolderWouldMake)
{
    Draw("first");
    tools::GroupPacker::Pack(m_archive, {m_a, m_b});
    EXPECT_EQ(Read(m_archive), OneFolderArchive(m_all));
    EXPECT_TRUE(fs::is_empty(m_a));
    EXPECT_TRUE(fs::is_empty(m_b));
    EXPECT_FALSE(fs::exists(m_dir.Path() / "layer.arc.part"));

    // Group b drawn again, a not: a's entries come from the archive being replaced.
    fs::remove_all(m_all);
    Draw("second, longer");
    fs::remove_all(m_a);
    fs::create_directories(m_a);
    tools::GroupPacker::Pack(m_archive, {m_a, m_b});
    EXPECT_EQ(Read(m_archive), OneFolderArchive(m_all));
    // Neither drawn again: the same archive.
    tools::GroupPacker::Pack(m_archive, {m_a, m_b});
    EXPECT_EQ(Read(m_archive), OneFolderArchive(m_all));
}

TEST_F(GroupPacker, AGroupInNeitherPlaceIsDrawnAgainAndANameGivenTwiceFails)
{
    Draw("first");
    tools::GroupPacker::Pack(m_archive, {m_a, m_b});
    fs::remove(m_archive);
    Write(m_dir.Path() / "a.drawn", "");
    Write(m_dir.Path() / "b.drawn", "");
    Write(m_b / "cg_r01.akb", "drawn again");
    try {
        tools::GroupPacker::Pack(m_archive, {m_a, m_b});
        FAIL() << "packed without group a's pictures";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(m_a.string() + " are neither drawn nor in"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_FALSE(fs::exists(m_dir.Path() / "a.drawn")); // so the next build draws it
    EXPECT_TRUE(fs::exists(m_dir.Path() / "b.drawn"));
    EXPECT_TRUE(fs::exists(m_b / "cg_r01.akb"));
    EXPECT_FALSE(fs::exists(m_archive));

    Write(m_a / "CG_R01.akb", "twice");
    EXPECT_THROW(tools::GroupPacker::Pack(m_archive, {m_a, m_b}), std::runtime_error);
}

} // namespace
