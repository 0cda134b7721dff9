#include <csignal>
#include <functional>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include "arcpack/ArchiveWriter.h"
#include "foundation/CArchiveFile.h"
#include "foundation/CExecException.h"
#include "foundation/CString.h"
#include "foundation/NameScramble.h"
#include "lzss/LzssEncoder.h"
#include "platform/kernel/FileApi.h"
#include "support/WorkingDir.h"

namespace {

using Bytes = std::vector<uint8_t>;
using tools::ArchiveEncoding;
using tools::ArchiveEntry;

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

std::string ThrownText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const CString& error) {
        return error.GetText();
    }
    return "(nothing thrown)";
}

// Bytes of an archive index record, put together by hand.
Bytes Record(const std::string& name, uint32_t stored, uint32_t decoded, uint32_t offset)
{
    Bytes record = {static_cast<uint8_t>(name.size())};
    for (size_t k = 0; k < name.size(); ++k)
        record.push_back(ScrambleNameByte(static_cast<uint8_t>(name[k]), k));
    for (uint32_t value : {stored, decoded, offset}) {
        for (int shift = 24; shift >= 0; shift -= 8)
            record.push_back(static_cast<uint8_t>(value >> shift));
    }
    return record;
}

Bytes WithIndexLength(uint32_t length, const Bytes& rest)
{
    Bytes archive = {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                     static_cast<uint8_t>(length >> 16), static_cast<uint8_t>(length >> 24)};
    archive.insert(archive.end(), rest.begin(), rest.end());
    return archive;
}

Bytes ReadEntry(CArchiveFile& archive, const char* name)
{
    if (!archive.OpenRead(name))
        return Text("(not found)");
    Bytes bytes(archive.GetSize(), 0xEE);
    archive.ReadAll(bytes.data());
    archive.Close();
    return bytes;
}

} // namespace

class CArchiveFileTest : public ::testing::Test
{
protected:
    WorkingDir m_dir;
    const std::vector<ArchiveEntry> m_entries = {
        {"README.TXT", Text("read me, read me, read me again")},
        {"EMPTY.DAT", {}},
        {"ZEROS.BIN", Bytes(5000, 0)},
        {"lower.txt", Text("stored in lower case")},
    };
};

TEST_F(CArchiveFileTest, ReadsEntriesPlainAndCompressed)
{
    for (ArchiveEncoding encoding : {ArchiveEncoding::Plain, ArchiveEncoding::Lzss}) {
        m_dir.Write("test.arc", tools::BuildArchive(m_entries, encoding));
        CArchiveFile archive;
        ASSERT_EQ(archive.OpenArchive("test.arc", encoding == ArchiveEncoding::Lzss, true), 1);
        EXPECT_EQ(archive.GetArchivePath(), "test.arc");
        EXPECT_EQ(ReadEntry(archive, "README.TXT"), m_entries[0].data);
        EXPECT_EQ(ReadEntry(archive, "EMPTY.DAT"), m_entries[1].data);
        EXPECT_EQ(ReadEntry(archive, "ZEROS.BIN"), m_entries[2].data);
    }
}

TEST_F(CArchiveFileTest, CompressionIsTheOpenersChoice)
{
    m_dir.Write("test.arc", tools::BuildArchive(m_entries, ArchiveEncoding::Lzss));
    CArchiveFile plain;
    ASSERT_EQ(plain.OpenArchive("test.arc", false, true), 1);
    // Opened plain, the entry is its stored LZSS stream, of its stored size.
    EXPECT_EQ(ReadEntry(plain, "ZEROS.BIN"), tools::LzssEncode(m_entries[2].data));
    CArchiveFile compressed;
    ASSERT_EQ(compressed.OpenArchive("test.arc", true, true), 1);
    ASSERT_EQ(compressed.OpenRead("ZEROS.BIN"), 1);
    EXPECT_EQ(compressed.GetSize(), 5000u);
}

TEST_F(CArchiveFileTest, PositionAfterOpenReadIsTheDataOffset)
{
    m_dir.Write("test.arc", tools::BuildArchive(m_entries, ArchiveEncoding::Plain));
    CArchiveFile archive;
    ASSERT_EQ(archive.OpenArchive("test.arc", false, true), 1);
    // Index: 4 records of name + 13 bytes; data in index order after it.
    const DWORD index_end = 4 + (10 + 13) + (9 + 13) + (9 + 13) + (9 + 13);
    ASSERT_EQ(archive.OpenRead("ZEROS.BIN"), 1);
    EXPECT_EQ(archive.GetPosition(), index_end + 31);

    // A duplicate handle shares that position and reads the entry's bytes.
    ASSERT_EQ(archive.OpenRead("README.TXT"), 1);
    const HANDLE duplicate = archive.DuplicateEntryHandle();
    ASSERT_NE(duplicate, nullptr);
    EXPECT_EQ(SetFilePointer(duplicate, 0, nullptr, FILE_CURRENT), index_end);
    char first[4] = {};
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(duplicate, first, 4, &read, nullptr));
    EXPECT_EQ(std::string(first, 4), "read");
    CloseHandle(duplicate);
}

TEST_F(CArchiveFileTest, NamesAreUpperCasedForOpenReadOnly)
{
    m_dir.Write("test.arc", tools::BuildArchive(m_entries, ArchiveEncoding::Plain));
    CArchiveFile archive;
    ASSERT_EQ(archive.OpenArchive("test.arc", false, true), 1);
    EXPECT_EQ(ReadEntry(archive, "readme.txt"), m_entries[0].data);
    EXPECT_EQ(archive.OpenRead("lower.txt"), 0); // looked up as LOWER.TXT
    EXPECT_TRUE(archive.Exists("README.TXT"));
    EXPECT_FALSE(archive.Exists("readme.txt"));
    EXPECT_TRUE(archive.Exists("lower.txt"));
    EXPECT_FALSE(archive.Exists("MISSING"));
}

TEST_F(CArchiveFileTest, LooseFileWinsOverTheEntry)
{
    m_dir.Write("test.arc", tools::BuildArchive(m_entries, ArchiveEncoding::Lzss));
    m_dir.Write("readme.txt", "loose");
    CArchiveFile archive;
    ASSERT_EQ(archive.OpenArchive("test.arc", true, true), 1);
    EXPECT_TRUE(archive.Exists("readme.txt"));
    EXPECT_EQ(ReadEntry(archive, "README.TXT"), Text("loose"));
    ASSERT_EQ(archive.OpenRead("README.TXT"), 1);
    EXPECT_EQ(archive.GetPosition(), 0u); // the loose file's own position
}

TEST_F(CArchiveFileTest, FirstOfTwoEqualNamesCounts)
{
    const std::vector<ArchiveEntry> entries = {{"SAME", Text("first")}, {"SAME", Text("second")}};
    m_dir.Write("test.arc", tools::BuildArchive(entries, ArchiveEncoding::Lzss));
    CArchiveFile archive;
    ASSERT_EQ(archive.OpenArchive("test.arc", true, true), 1);
    EXPECT_EQ(ReadEntry(archive, "SAME"), Text("first"));
}

TEST_F(CArchiveFileTest, MissingArchiveFileRaisesOnlyWhenAsked)
{
    CArchiveFile quiet;
    EXPECT_EQ(quiet.OpenArchive("missing.arc", false, false), 0);
    EXPECT_EQ(quiet.OpenRead("ANY"), 0);
    CArchiveFile loud;
    try {
        loud.OpenArchive("missing.arc", false, true);
        FAIL() << "no exception";
    } catch (const CExecException& error) {
        EXPECT_EQ(error.GetMessage(), "ファイルが見つかりません\nmissing.arc");
    }
}

TEST_F(CArchiveFileTest, UnreadableHeadersAndIndexesGiveTheirTexts)
{
    const Bytes good_record = Record("A", 1, 1, 4 + 14);
    struct Case
    {
        const char* what;
        Bytes archive;
        const char* text;
    };
    const char* header = "アーカイブのヘッダー情報が読み込めません\nbad.arc";
    const char* index = "ファイル情報の読み込みに失敗しました\nbad.arc";
    Bytes too_many;
    for (uint32_t k = 0; k <= ARCHIVE_MAX_ENTRIES; ++k) {
        const Bytes record = Record("N", 0, 0, 0);
        too_many.insert(too_many.end(), record.begin(), record.end());
    }
    const Case cases[] = {
        {"empty file", {}, header},
        {"index length cut short", {14, 0}, header},
        {"index longer than the file", WithIndexLength(14, Bytes(good_record.begin(), good_record.end() - 1)),
         index},
        {"index length near 4 GB", WithIndexLength(0xFFFFFFF0, good_record), index},
        {"record past the index", WithIndexLength(13, good_record), index},
        {"name past the index",
         WithIndexLength(15, Bytes{200, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}), index},
        {"data past the file", WithIndexLength(14, Record("A", 2, 2, 4 + 14)), index},
        {"offset past the file", WithIndexLength(14, Record("A", 0, 0, 0xFFFFFFFF)), index},
        {"decoded size no stream can reach", WithIndexLength(14, Record("A", 1, 10, 4 + 14)), index},
        {"more than 30000 records", WithIndexLength(static_cast<uint32_t>(too_many.size()), too_many), index},
    };
    for (const Case& c : cases) {
        Bytes bytes = c.archive;
        if (bytes.size() >= 18)
            bytes.push_back('x'); // the one data byte good_record points at
        m_dir.Write("bad.arc", bytes);
        CArchiveFile loud;
        EXPECT_EQ(ThrownText([&] { loud.OpenArchive("bad.arc", true, true); }), c.text) << c.what;
        CArchiveFile quiet;
        EXPECT_EQ(quiet.OpenArchive("bad.arc", true, false), 0) << c.what;
        EXPECT_EQ(quiet.OpenRead("A"), 0) << c.what;
        EXPECT_EQ(quiet.GetFlags() & CArchiveFile::INDEX_LOADED, 0u) << c.what;
    }
    // The same record in a well-formed archive opens: the cases above fail for their flaw only.
    Bytes good = WithIndexLength(14, good_record);
    good.push_back('x');
    m_dir.Write("good.arc", good);
    CArchiveFile archive;
    ASSERT_EQ(archive.OpenArchive("good.arc", false, true), 1);
    EXPECT_EQ(ReadEntry(archive, "A"), Text("x"));
}

TEST_F(CArchiveFileTest, CorruptStreamsAreReadErrors)
{
    // "A": a stream that stops one byte short; "B": a stream that runs one byte long.
    const Bytes short_stream = {0x03, 'a', 'b'};     // two literals for three bytes
    const Bytes long_stream = {0x07, 'a', 'b', 'c'}; // three literals for two bytes
    const Bytes cut_match = {0x01, 'a', 0xEE};       // a match cut after its first byte
    Bytes rest = Record("A", 3, 3, 4 + 42);
    for (const Bytes& record : {Record("B", 4, 2, 4 + 42 + 3), Record("C", 3, 4, 4 + 42 + 7)})
        rest.insert(rest.end(), record.begin(), record.end());
    for (const Bytes& stream : {short_stream, long_stream, cut_match})
        rest.insert(rest.end(), stream.begin(), stream.end());
    m_dir.Write("corrupt.arc", WithIndexLength(42, rest));
    CArchiveFile archive;
    ASSERT_EQ(archive.OpenArchive("corrupt.arc", true, true), 1);
    for (const char* name : {"A", "B", "C"}) {
        ASSERT_EQ(archive.OpenRead(name), 1) << name;
        Bytes buffer(archive.GetSize()); // exactly the decoded size: the sanitizers see any overrun
        EXPECT_EQ(ThrownText([&] { archive.ReadAll(buffer.data()); }),
                  std::string("ファイルの読み込みに失敗しました\n") + name);
    }
}

TEST_F(CArchiveFileTest, EntryQueriesWithoutAnEntryRaiseTheirTexts)
{
    CArchiveFile empty;
    EXPECT_EQ(empty.OpenRead("NOTHING"), 0);
    Bytes untouched(4, 0x5A);
    EXPECT_EQ(ThrownText([&] { empty.ReadAll(untouched.data()); }), "ファイルの読み込みに失敗しました\nNOTHING");
    EXPECT_EQ(untouched, Bytes(4, 0x5A));
    EXPECT_EQ(ThrownText([&] { empty.GetSize(); }), "ファイルサイズの取得に失敗しました\nNOTHING");
    EXPECT_EQ(ThrownText([&] { empty.GetPosition(); }), "ファイルポインタの取得に失敗しました\nNOTHING");
    EXPECT_EQ(ThrownText([&] { empty.DuplicateEntryHandle(); }),
              "ファイルハンドルの取得に失敗しました\nNOTHING");

    m_dir.Write("test.arc", tools::BuildArchive(m_entries, ArchiveEncoding::Plain));
    CArchiveFile archive;
    ASSERT_EQ(archive.OpenArchive("test.arc", false, false), 1);
    EXPECT_EQ(archive.OpenRead("MISSING"), 0);
    EXPECT_EQ(ThrownText([&] { archive.ReadAll(untouched.data()); }),
              "ファイルの読み込みに失敗しました\nMISSING");
    EXPECT_EQ(ThrownText([&] { archive.GetSize(); }), "ファイルサイズの取得に失敗しました\nMISSING");
}

TEST_F(CArchiveFileTest, CloseArchiveLeavesAnEmptyArchive)
{
    m_dir.Write("test.arc", tools::BuildArchive(m_entries, ArchiveEncoding::Plain));
    CArchiveFile archive;
    ASSERT_EQ(archive.OpenArchive("test.arc", false, true), 1);
    archive.CloseArchive();
    EXPECT_EQ(archive.OpenRead("README.TXT"), 0);
    EXPECT_FALSE(archive.Exists("README.TXT"));
}

TEST_F(CArchiveFileTest, AFailedReopenLeavesTheArchiveClosedAndEmpty)
{
    m_dir.Write("test.arc", tools::BuildArchive(m_entries, ArchiveEncoding::Plain));
    m_dir.Write("broken.arc", Bytes{0xFF, 0, 0, 0, 1});
    for (const char* other : {"missing.arc", "broken.arc"}) {
        SCOPED_TRACE(other);
        CArchiveFile archive;
        ASSERT_EQ(archive.OpenArchive("test.arc", false, false), 1);
        EXPECT_EQ(archive.OpenArchive(other, false, false), 0);
        EXPECT_EQ(archive.GetHandle(), nullptr);
        const char* name = m_entries[0].name.c_str();
        EXPECT_FALSE(archive.Exists(name));
        EXPECT_EQ(archive.OpenRead(name), 0);
        Bytes untouched(4, 0x5A);
        EXPECT_EQ(ThrownText([&] { archive.ReadAll(untouched.data()); }).rfind("ファイルの読み込みに失敗しました", 0),
                  0u);
    }
}

TEST_F(CArchiveFileTest, ExtractionStopsAtANameOpenReadCannotFind)
{
    // "ABC.TXT" sorts first and is written; "abc.txt" would land on the same file on a
    // case-insensitive disk and can never be opened: extraction stops there and says so.
    const std::vector<ArchiveEntry> entries = {{"abc.txt", Text("lower")}, {"ABC.TXT", Text("upper")}};
    m_dir.Write("cases.arc", tools::BuildArchive(entries, ArchiveEncoding::Lzss));
    std::filesystem::create_directory(m_dir.Path() / "out");
    CArchiveFile archive;
    ASSERT_EQ(archive.OpenArchive("cases.arc", true, true), 1);
    m_dir.Write("ABC.TXT", Text("loose")); // a loose file does not stand in for the entry
    bool extracted = true;
    EXPECT_EQ(ThrownText([&] { extracted = archive.ExtractEntry("out"); }), "(nothing thrown)");
    EXPECT_FALSE(extracted);
    EXPECT_EQ(m_dir.Read("out/ABC.TXT"), Text("upper"));
}

TEST_F(CArchiveFileTest, ExtractsEveryEntryIntoAFolder)
{
    const std::vector<ArchiveEntry> entries = {{"B.DAT", Text("bee")}, {"A.TXT", Text("ay")}, {"E", {}}};
    m_dir.Write("test.arc", tools::BuildArchive(entries, ArchiveEncoding::Lzss));
    std::filesystem::create_directory(m_dir.Path() / "out");
    CArchiveFile archive;
    ASSERT_EQ(archive.OpenArchive("test.arc", true, true), 1);
    EXPECT_TRUE(archive.ExtractEntry("out"));
    EXPECT_EQ(m_dir.Read("out/A.TXT"), Text("ay"));
    EXPECT_EQ(m_dir.Read("out/B.DAT"), Text("bee"));
    EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "out/E"));
    EXPECT_FALSE(archive.ExtractEntry("no_such_folder"));
}

TEST_F(CArchiveFileTest, ExtractionRefusesNamesThatLeaveTheFolder)
{
    std::filesystem::create_directory(m_dir.Path() / "out");
    std::filesystem::create_directory(m_dir.Path() / "out" / "SUB");
    for (const char* name : {"../ESCAPE", "..\\ESCAPE", "SUB/INNER", "SUB\\INNER", ".."}) {
        const std::vector<ArchiveEntry> entries = {{name, Text("x")}};
        m_dir.Write("test.arc", tools::BuildArchive(entries, ArchiveEncoding::Plain));
        CArchiveFile archive;
        ASSERT_EQ(archive.OpenArchive("test.arc", false, true), 1);
        EXPECT_FALSE(archive.ExtractEntry("out")) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "ESCAPE"));
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "out" / "SUB" / "INNER"));
}

TEST_F(CArchiveFileTest, ExtractionReportsAShortWrite)
{
    const std::vector<ArchiveEntry> entries = {{"BIG", Bytes(4096, 'b')}};
    m_dir.Write("test.arc", tools::BuildArchive(entries, ArchiveEncoding::Plain));
    CArchiveFile archive;
    ASSERT_EQ(archive.OpenArchive("test.arc", false, true), 1);
    // Files may not grow past 1000 bytes while the entry is written.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool extracted = archive.ExtractEntry(m_dir.Path().string());
    setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_FALSE(extracted);
}
