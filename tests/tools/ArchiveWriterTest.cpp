#include <fstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "arcpack/ArchiveWriter.h"
#include "foundation/NameScramble.h"
#include "support/TempDir.h"

using Bytes = std::vector<uint8_t>;

TEST(NameScramble, RotatesEachByteByItsPosition)
{
    // Byte 0 rotates left by 1, byte 6 by 7, byte 7 by 1 again.
    EXPECT_EQ(ScrambleNameByte(0x81, 0), 0x03);
    EXPECT_EQ(ScrambleNameByte(0x01, 6), 0x80);
    EXPECT_EQ(ScrambleNameByte(0x81, 7), 0x03);
    for (size_t index = 0; index < 14; ++index) {
        EXPECT_EQ(ScrambleNameByte(0, index), 0);
        for (int b = 1; b < 256; ++b) {
            const uint8_t stored = ScrambleNameByte(static_cast<uint8_t>(b), index);
            EXPECT_NE(stored, 0); // a stored name still ends at its first zero
            EXPECT_EQ(UnscrambleNameByte(stored, index), b);
        }
    }
}

TEST(ArchiveWriter, LaysOutIndexAndDataAsTheFormatSays)
{
    const tools::ArchiveEntry entries[] = {{"AB", {1, 2, 3}}, {"C", {9}}};
    const Bytes archive = tools::BuildArchive(entries, tools::ArchiveEncoding::Plain);
    const Bytes expected = {29,
                            0,
                            0,
                            0, // index length, little-endian: (2 + 13) + (1 + 13)
                            2,
                            ScrambleNameByte('A', 0),
                            ScrambleNameByte('B', 1), // name length, scrambled name
                            0,
                            0,
                            0,
                            3,
                            0,
                            0,
                            0,
                            3,
                            0,
                            0,
                            0,
                            33, // stored, decoded, offset 4 + 29: big-endian
                            1,
                            ScrambleNameByte('C', 0), //
                            0,
                            0,
                            0,
                            1,
                            0,
                            0,
                            0,
                            1,
                            0,
                            0,
                            0,
                            36, //
                            1,
                            2,
                            3,
                            9}; // data in index order
    EXPECT_EQ(archive, expected);
}

TEST(ArchiveWriter, RefusesNamesTheIndexCannotHold)
{
    for (const std::string& name : {std::string(), std::string(256, 'A'), std::string("A\0B", 3)}) {
        const tools::ArchiveEntry entries[] = {{name, {}}};
        EXPECT_THROW(tools::BuildArchive(entries, tools::ArchiveEncoding::Plain), std::invalid_argument);
    }
}

TEST(ArchiveWriter, ReadsAFolderInNameOrder)
{
    TempDir dir;
    for (const char* name : {"b.txt", "A.DAT", "a.txt"})
        std::ofstream(dir.PathOf(name)) << name;
    std::filesystem::create_directory(dir.Path() / "sub");
    const std::vector<tools::ArchiveEntry> entries = tools::ReadFolderEntries(dir.Path());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "A.DAT");
    EXPECT_EQ(entries[1].name, "a.txt");
    EXPECT_EQ(entries[2].name, "b.txt");
    EXPECT_EQ(entries[2].data, (Bytes{'b', '.', 't', 'x', 't'}));
    EXPECT_EQ(tools::UpperCaseName("a.txt"), "A.TXT");
}
