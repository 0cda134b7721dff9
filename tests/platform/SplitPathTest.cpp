#include "platform/kernel/FileApi.h"

#include <string>

#include <gtest/gtest.h>

namespace {

constexpr int OK = 0;
constexpr int INVALID = 22; // EINVAL
constexpr int RANGE = 34;   // ERANGE

struct Parts
{
    char16_t drive[8];
    char16_t dir[64];
    char16_t fname[64];
    char16_t ext[16];

    Parts() { Fill(); }
    void Fill()
    {
        // Garbage that a failing split must overwrite.
        std::u16string(7, u'#').copy(drive, 7);
        drive[7] = dir[63] = fname[63] = ext[15] = 0;
        std::u16string(63, u'#').copy(dir, 63);
        std::u16string(63, u'#').copy(fname, 63);
        std::u16string(15, u'#').copy(ext, 15);
    }
    int Split(const char16_t* path, size_t fname_size = 64)
    {
        return _wsplitpath_s(path, drive, 8, dir, 64, fname, fname_size, ext, 16);
    }
    void ExpectParts(const std::u16string& d, const std::u16string& f, const std::u16string& n,
                     const std::u16string& e) const
    {
        EXPECT_EQ(std::u16string(drive), d);
        EXPECT_EQ(std::u16string(dir), f);
        EXPECT_EQ(std::u16string(fname), n);
        EXPECT_EQ(std::u16string(ext), e);
    }
};

} // namespace

TEST(SplitPath, SplitsAtTheLastSeparatorAndTheLastDot)
{
    Parts parts;
    ASSERT_EQ(parts.Split(u"C:\\Games/sub\\archive.tar.gz"), OK);
    parts.ExpectParts(u"C:", u"\\Games/sub\\", u"archive.tar", u".gz");
    ASSERT_EQ(parts.Split(u"dir.d/README"), OK); // a dot in a folder is no extension
    parts.ExpectParts(u"", u"dir.d/", u"README", u"");
    ASSERT_EQ(parts.Split(u"save/.hidden"), OK);
    parts.ExpectParts(u"", u"save/", u"", u".hidden");
    ASSERT_EQ(parts.Split(u"D:name"), OK);
    parts.ExpectParts(u"D:", u"", u"name", u"");
    ASSERT_EQ(parts.Split(u"ab:c"), OK); // a colon elsewhere is no drive
    parts.ExpectParts(u"", u"", u"ab:c", u"");
    ASSERT_EQ(parts.Split(u"/"), OK);
    parts.ExpectParts(u"", u"/", u"", u"");
    ASSERT_EQ(parts.Split(u""), OK);
    parts.ExpectParts(u"", u"", u"", u"");
}

TEST(SplitPath, APartThatDoesNotFitEmptiesEveryPart)
{
    Parts parts;
    // The size counts the NUL: "abcd" needs 5.
    ASSERT_EQ(parts.Split(u"C:\\x\\abcd.txt", 5), OK);
    parts.ExpectParts(u"C:", u"\\x\\", u"abcd", u".txt");
    parts.Fill();
    ASSERT_EQ(parts.Split(u"C:\\x\\abcd.txt", 4), RANGE);
    parts.ExpectParts(u"", u"", u"", u"");
    parts.Fill();
    EXPECT_EQ(parts.Split(u"C:\\x\\a.extension-too-long"), RANGE);
    parts.ExpectParts(u"", u"", u"", u"");
}

TEST(SplitPath, SkipsPartsWithoutABuffer)
{
    char16_t dir[16];
    ASSERT_EQ(_wsplitpath_s(u"C:\\a\\b.c", nullptr, 0, dir, 16, nullptr, 0, nullptr, 0), OK);
    EXPECT_EQ(std::u16string(dir), u"\\a\\");
}

TEST(SplitPath, RejectsInconsistentArguments)
{
    Parts parts;
    EXPECT_EQ(_wsplitpath_s(nullptr, parts.drive, 8, parts.dir, 64, parts.fname, 64, parts.ext, 16), INVALID);
    parts.ExpectParts(u"", u"", u"", u"");
    char16_t dir[4];
    EXPECT_EQ(_wsplitpath_s(u"a\\b", nullptr, 3, dir, 4, nullptr, 0, nullptr, 0), INVALID);
    EXPECT_EQ(_wsplitpath_s(u"a\\b", nullptr, 0, dir, 0, nullptr, 0, nullptr, 0), INVALID);
}
