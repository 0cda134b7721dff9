#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include "flagpack/FlagImageWriter.h"
#include "foundation/CFlagArc.h"
#include "foundation/NameScramble.h"
#include "platform/res/ResourceApi.h"
#include "support/WorkingDir.h"

namespace {

using Bytes = std::vector<uint8_t>;
using tools::ArchiveEntry;

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

void PutBigEndian(Bytes& image, size_t offset, uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        image[offset + k] = static_cast<uint8_t>(value >> (24 - 8 * k));
}

} // namespace

class CFlagArcTest : public ::testing::Test
{
protected:
    // Decodes entry index into a new file of that name; the result of ReadEntry.
    int Extract(CFlagArc& arc, size_t index, const std::string& file_name)
    {
        CFile file;
        EXPECT_TRUE(file.OpenWrite(file_name.c_str(), CREATE_ALWAYS));
        const int result = arc.ReadEntry(index, &file);
        file.Close();
        return result;
    }

    WorkingDir m_dir;
};

TEST_F(CFlagArcTest, ReadsBackWhatTheWriterPacked)
{
    const std::vector<ArchiveEntry> entries = {
        {"FLAG000", Bytes(3000, 7)}, {"config.xml", Text("<Config><Language>0</Language></Config>")}};
    const Bytes image = tools::BuildFlagImage(entries);
    CFlagArc arc(image.data(), static_cast<DWORD>(image.size()));
    ASSERT_EQ(arc.GetCount(), 2u);
    for (size_t k = 0; k < entries.size(); ++k) {
        EXPECT_STREQ(arc.GetName(k), entries[k].name.c_str());
        EXPECT_EQ(Extract(arc, k, entries[k].name), 1);
        EXPECT_EQ(m_dir.Read(entries[k].name), entries[k].data);
    }
}

TEST_F(CFlagArcTest, EmptyEntriesAndEmptyImages)
{
    const Bytes none = tools::BuildFlagImage({});
    EXPECT_EQ(CFlagArc(none.data(), static_cast<DWORD>(none.size())).GetCount(), 0u);
    EXPECT_EQ(CFlagArc(nullptr, 0).GetCount(), 0u);

    const std::vector<ArchiveEntry> entries = {{"EMPTY", {}}, {"CLAIMS_FIVE", {}}};
    Bytes image = tools::BuildFlagImage(entries);
    PutBigEndian(image, 4 + 272 + 264, 5); // decoded size 5 from a stream of 0 bytes
    CFlagArc arc(image.data(), static_cast<DWORD>(image.size()));
    EXPECT_EQ(Extract(arc, 0, "EMPTY"), 1);
    EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "EMPTY"));
    EXPECT_EQ(m_dir.Read("EMPTY"), Bytes());
    EXPECT_EQ(Extract(arc, 1, "CLAIMS_FIVE"), 0);
    EXPECT_EQ(m_dir.Read("CLAIMS_FIVE"), Bytes()); // nothing written
}

TEST_F(CFlagArcTest, BytesAfterTheNamesZeroDoNotCount)
{
    Bytes image = tools::BuildFlagImage(std::vector<ArchiveEntry>{{"NAME", Text("x")}});
    for (size_t k = 5; k < 260; ++k)
        image[4 + k] = 0xA5;
    CFlagArc arc(image.data(), static_cast<DWORD>(image.size()));
    EXPECT_STREQ(arc.GetName(0), "NAME");
}

TEST_F(CFlagArcTest, RefusesNamesThatLeaveTheFolder)
{
    const std::vector<ArchiveEntry> entries = {{"../ESCAPE", Text("x")},
                                               {"a\\b", Text("x")},
                                               {"sub/file", Text("x")},
                                               {"..", Text("x")},
                                               {"OK", Text("x")}};
    Bytes image = tools::BuildFlagImage(entries);
    // A name field with no terminating zero in its 260 bytes.
    Bytes unterminated = tools::BuildFlagImage(std::vector<ArchiveEntry>{{std::string(259, 'N'), Text("x")}});
    unterminated[4 + 259] = ScrambleNameByte('N', 259);
    for (const Bytes* bytes : {&image, &unterminated}) {
        CFlagArc arc(bytes->data(), static_cast<DWORD>(bytes->size()));
        for (size_t k = 0; k < arc.GetCount(); ++k) {
            if (std::string(arc.GetName(k)) == "OK")
                continue;
            EXPECT_STREQ(arc.GetName(k), "") << k;
            CFile file;
            ASSERT_TRUE(file.OpenWrite("target", CREATE_ALWAYS));
            EXPECT_EQ(arc.ReadEntry(k, &file), 0) << k;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path().parent_path() / "ESCAPE"));
}

TEST_F(CFlagArcTest, MalformedImagesReadNothingOutside)
{
    const std::vector<ArchiveEntry> entries = {{"A", Bytes(100, 'a')}, {"B", Bytes(100, 'b')}};
    const Bytes image = tools::BuildFlagImage(entries);

    // A count larger than the records present: only the records that are there.
    Bytes more = image;
    more[0] = 200;
    EXPECT_EQ(CFlagArc(more.data(), 4 + 272 * 2).GetCount(), 2u);
    // Records cut off by the end of the image are not read.
    EXPECT_EQ(CFlagArc(image.data(), 4 + 272 + 100).GetCount(), 1u);

    // Data past the end, a stream that decodes short, an index past the count.
    Bytes past = image;
    PutBigEndian(past, 4 + 268, static_cast<uint32_t>(image.size()));
    Bytes short_stream = image;
    PutBigEndian(short_stream, 4 + 264, 101);
    for (Bytes* bytes : {&past, &short_stream}) {
        CFlagArc arc(bytes->data(), static_cast<DWORD>(bytes->size()));
        EXPECT_EQ(Extract(arc, 0, "A"), 0);
        EXPECT_EQ(Extract(arc, 1, "B"), 1);
        EXPECT_EQ(arc.ReadEntry(2, nullptr), 0);
    }
}

TEST_F(CFlagArcTest, ReportsAShortWrite)
{
    const Bytes image = tools::BuildFlagImage(std::vector<ArchiveEntry>{{"BIG", Bytes(4096, 'b')}});
    CFlagArc arc(image.data(), static_cast<DWORD>(image.size()));
    CFile file;
    ASSERT_TRUE(file.OpenWrite("BIG", CREATE_ALWAYS));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    const int result = arc.ReadEntry(0, &file);
    setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_EQ(result, 0);
}

TEST_F(CFlagArcTest, EmbeddedImage144HoldsTheInitialSaveSet)
{
    const HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(144), u"FLAG");
    ASSERT_NE(resource, nullptr);
    const HGLOBAL loaded = LoadResource(nullptr, resource);
    CFlagArc arc(LockResource(loaded), SizeofResource(nullptr, resource));
    ASSERT_EQ(arc.GetCount(), 2u);
    std::set<std::string> names{arc.GetName(0), arc.GetName(1)};
    EXPECT_EQ(names, (std::set<std::string>{"FLAG000", "config.xml"}));
    const size_t config = std::string(arc.GetName(0)) == "config.xml" ? 0 : 1;
    EXPECT_EQ(Extract(arc, config, "config.xml"), 1);
    // The file the build packed as it is, from the source tree the test main names.
    const std::filesystem::path source_dir = std::getenv("VESK_SOURCE_DIR");
    std::ifstream original(source_dir / "resources/initial_save/config.xml", std::ios::binary);
    const Bytes expected((std::istreambuf_iterator<char>(original)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(m_dir.Read("config.xml"), expected);

    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(152), u"FLAG"), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, u"#144", u"flag"), resource); // "#144" is id 144; types ignore case
}
