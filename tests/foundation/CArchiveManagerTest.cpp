#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "app/AppMessageBox.h"
#include "arcpack/ArchiveWriter.h"
#include "foundation/CArchiveManager.h"
#include "foundation/CExecException.h"
#include "foundation/CString.h"
#include "support/FakeDocumentLink.h"
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

Bytes ReadEntry(CArchiveManager& archives, const char* name)
{
    archives.OpenEntry(name);
    Bytes bytes(archives.GetSize(), 0xEE);
    archives.ReadAll(bytes.data());
    archives.CloseEntry();
    return bytes;
}

} // namespace

class CArchiveManagerTest : public ::testing::Test
{
protected:
    CArchiveManagerTest()
    {
        SetAppMessageBoxHook([this](UINT flags, const CStringUTF8& text) {
            m_messages.push_back(std::to_string(flags) + ":" + text.GetText());
            return 1;
        });
    }
    ~CArchiveManagerTest() override { SetAppMessageBoxHook(nullptr); }

    void WriteArchive(const std::string& name, const std::vector<ArchiveEntry>& entries,
                      ArchiveEncoding encoding)
    {
        m_dir.Write(name, tools::BuildArchive(entries, encoding));
    }

    WorkingDir m_dir;
    FakeDocumentLink m_document;
    std::vector<std::string> m_messages;
};

TEST_F(CArchiveManagerTest, FolderPackedPlainOrCompressedReadsBackByteForByte)
{
    std::filesystem::create_directory(m_dir.Path() / "data");
    std::vector<Bytes> contents;
    for (int k = 0; k < 12; ++k) {
        Bytes bytes;
        for (int i = 0; i < k * 997; ++i)
            bytes.push_back(static_cast<uint8_t>(i % (k + 3) == 0 ? i * 31 : k)); // runs and noise
        contents.push_back(bytes);
        m_dir.Write("data/file" + std::to_string(k) + ".bin", bytes);
    }
    std::vector<ArchiveEntry> entries = tools::ReadFolderEntries(m_dir.Path() / "data");
    for (ArchiveEntry& entry : entries)
        entry.name = tools::UpperCaseName(entry.name);
    std::filesystem::remove_all(m_dir.Path() / "data"); // no loose files to fall back on
    for (ArchiveEncoding encoding : {ArchiveEncoding::Plain, ArchiveEncoding::Lzss}) {
        WriteArchive("data.arc", entries, encoding);
        CArchiveManager archives("data.arc", encoding == ArchiveEncoding::Lzss, true);
        for (int k = 0; k < 12; ++k) {
            const std::string name = "file" + std::to_string(k) + ".bin";
            EXPECT_EQ(ReadEntry(archives, name.c_str()), contents[k]) << name;
        }
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(CArchiveManagerTest, LooseFileThenUpdateArchiveThenListOrder)
{
    WriteArchive("first.arc", {{"SHARED", Text("first")}, {"ONLY1", Text("one")}}, ArchiveEncoding::Lzss);
    WriteArchive("second.arc", {{"SHARED", Text("second")}, {"ONLY2", Text("two")}}, ArchiveEncoding::Lzss);
    CArchiveManager archives("first.arc;second.arc", true, true);
    EXPECT_EQ(ReadEntry(archives, "SHARED"), Text("first"));
    EXPECT_EQ(ReadEntry(archives, "ONLY2"), Text("two"));

    // The update archive is read plain, whatever the set's own archives are.
    WriteArchive("update.arc", {{"SHARED", Text("update")}}, ArchiveEncoding::Plain);
    CArchiveFile update;
    ASSERT_EQ(update.OpenArchive("update.arc", false, false), 1);
    m_document.m_update_archive = &update;
    EXPECT_EQ(ReadEntry(archives, "SHARED"), Text("update"));
    EXPECT_EQ(ReadEntry(archives, "ONLY1"), Text("one"));

    m_dir.Write("shared", "loose");
    EXPECT_EQ(ReadEntry(archives, "shared"), Text("loose"));
    m_document.m_update_archive = nullptr;
}

TEST_F(CArchiveManagerTest, ExistsAsksUpdateArchiveAndList)
{
    WriteArchive("a.arc", {{"IN_A", {}}}, ArchiveEncoding::Plain);
    WriteArchive("update.arc", {{"IN_UPDATE", {}}}, ArchiveEncoding::Plain);
    CArchiveFile update;
    ASSERT_EQ(update.OpenArchive("update.arc", false, false), 1);
    CArchiveManager archives("a.arc", false, true);
    EXPECT_EQ(archives.Exists("IN_UPDATE"), 0);
    m_document.m_update_archive = &update;
    EXPECT_EQ(archives.Exists("IN_UPDATE"), 1);
    EXPECT_EQ(archives.Exists("IN_A"), 1);
    EXPECT_EQ(archives.Exists("in_a"), 0); // compared as given
    EXPECT_EQ(archives.Exists("NOWHERE"), 0);
    m_document.m_update_archive = nullptr;
}

TEST_F(CArchiveManagerTest, MissingEntryRaisesTheOpenError)
{
    WriteArchive("a.arc", {{"THERE", {}}}, ArchiveEncoding::Plain);
    CArchiveManager archives("a.arc", false, true);
    EXPECT_EQ(ThrownText([&] { archives.OpenEntry("absent.txt"); }), "ファイルオープンエラー\nabsent.txt");
    EXPECT_EQ(archives.GetCurrentArchive(), nullptr);
    EXPECT_EQ(archives.CloseEntry(), 0);
    EXPECT_EQ(archives.GetSize(), 0u);
    EXPECT_EQ(archives.GetPosition(), 0u);
    EXPECT_EQ(archives.ReadAll(nullptr), 0);
    EXPECT_EQ(archives.DuplicateEntryHandle(), nullptr);
}

TEST_F(CArchiveManagerTest, ListPiecesIncludeEmptyOnes)
{
    WriteArchive("a.arc", {{"X", Text("x")}}, ArchiveEncoding::Plain);
    // The empty piece after ";" is a path of its own: opened quietly it answers as empty.
    CArchiveManager quiet("a.arc;", false, false);
    EXPECT_EQ(ReadEntry(quiet, "X"), Text("x"));
    // Opened with errors raised, the empty path is a missing file.
    try {
        CArchiveManager loud("a.arc;", false, true);
        FAIL() << "no exception";
    } catch (const CExecException& error) {
        EXPECT_EQ(error.GetMessage(), "ファイルが見つかりません\n");
    }
}

TEST_F(CArchiveManagerTest, ASecondOpenReopensTheWholeList)
{
    WriteArchive("a.arc", {{"ENTRY", Text("old")}}, ArchiveEncoding::Plain);
    CArchiveManager archives("a.arc", false, true);
    EXPECT_EQ(ReadEntry(archives, "ENTRY"), Text("old"));
    WriteArchive("a.arc", {{"ENTRY", Text("new")}}, ArchiveEncoding::Plain);
    WriteArchive("c.arc", {{"IN_C", Text("c")}}, ArchiveEncoding::Plain);
    EXPECT_EQ(archives.Open("c.arc", false, true), 1);
    EXPECT_EQ(ReadEntry(archives, "ENTRY"), Text("new"));
    EXPECT_EQ(ReadEntry(archives, "IN_C"), Text("c"));
}

TEST_F(CArchiveManagerTest, UnreadableArchiveIsShownAndStopsTheList)
{
    WriteArchive("a.arc", {{"IN_A", Text("a")}}, ArchiveEncoding::Plain);
    m_dir.Write("broken.arc", Bytes{1, 2}); // no whole index length
    WriteArchive("c.arc", {{"IN_C", Text("c")}}, ArchiveEncoding::Plain);
    CArchiveManager archives("a.arc", false, false);
    EXPECT_EQ(archives.Open("broken.arc;c.arc", false, true), 0);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "0:script(1)\nアーカイブのヘッダー情報が読み込めません\nbroken.arc");
    EXPECT_EQ(ReadEntry(archives, "IN_A"), Text("a"));
    EXPECT_EQ(ThrownText([&] { archives.OpenEntry("IN_C"); }), "ファイルオープンエラー\nIN_C");
}

TEST_F(CArchiveManagerTest, WithoutADocumentTheMessageIsShownUnchanged)
{
    m_dir.Write("broken.arc", Bytes{});
    SetDocumentLink(nullptr);
    CArchiveManager archives("broken.arc", false, true);
    SetDocumentLink(&m_document);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "0:アーカイブのヘッダー情報が読み込めません\nbroken.arc");
}

TEST_F(CArchiveManagerTest, CloseAllForgetsTheCurrentArchive)
{
    WriteArchive("a.arc", {{"X", Text("x")}}, ArchiveEncoding::Plain);
    CArchiveManager archives("a.arc", false, true);
    ASSERT_EQ(archives.OpenEntry("X"), 1);
    EXPECT_NE(archives.GetCurrentArchive(), nullptr);
    archives.CloseAll();
    EXPECT_EQ(archives.GetCurrentArchive(), nullptr);
    EXPECT_EQ(ThrownText([&] { archives.OpenEntry("X"); }), "ファイルオープンエラー\nX");
}
