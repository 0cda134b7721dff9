// The one writer of replaced files: the new bytes whole or the old file byte for byte, whatever
// step fails, never a temporary left behind, and the system's reason for a failure.

#include "foundation/WriteFileAtomically.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/kernel/FileFault.h"
#include "support/TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void PutBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class WriteFileAtomicallyTest : public ::testing::Test
{
protected:
    ~WriteFileAtomicallyTest() override { platform::ClearFileFault(); }

    bool Write(const Bytes& bytes, CStringUTF8* reason = nullptr)
    {
        return WriteFileAtomically(CStringUTF8(m_path.c_str()), bytes, reason);
    }
    void ExpectOnly(const Bytes& content)
    {
        EXPECT_EQ(ReadBytes(m_path), content);
        EXPECT_FALSE(std::filesystem::exists(m_path + ".tmp"));
    }

    TempDir m_dir;
    std::string m_path = m_dir.PathOf("FLAG000");
    const Bytes m_old = Bytes(100, 0x11);
    const Bytes m_new = Bytes(3000, 0x22);
};

} // namespace

TEST_F(WriteFileAtomicallyTest, CreatesAndReplaces)
{
    EXPECT_TRUE(Write(m_old));
    ExpectOnly(m_old);
    EXPECT_TRUE(Write(m_new));
    ExpectOnly(m_new);
    EXPECT_TRUE(Write({}));
    ExpectOnly({});
}

TEST_F(WriteFileAtomicallyTest, AFailureAtAnyStepKeepsTheOldFile)
{
    int failures = 0;
    for (int step = 0;; ++step) {
        SCOPED_TRACE("failing call " + std::to_string(step));
        PutBytes(m_path, m_old);
        platform::InjectFileFault(step, EIO);
        CStringUTF8 reason;
        const bool written = Write(m_new, &reason);
        if (platform::IsFileFaultPending()) {
            // Every call passed: the fault would strike after the writer was done.
            EXPECT_TRUE(written);
            ExpectOnly(m_new);
            break;
        }
        if (written) {
            // Only the folder flush after the rename may fail without failing the save.
            ExpectOnly(m_new);
            continue;
        }
        ++failures;
        ExpectOnly(m_old);
        EXPECT_STREQ(reason.GetText(), "Input/output error.");
    }
    EXPECT_EQ(failures, 5) << "create, write, flush, close and rename each fail the save";
}

// Kept aside first, the old bytes are on the disk under their new name before the file is
// replaced: a flush between that fails fails the write, and the old file stays.
TEST_F(WriteFileAtomicallyTest, AKeptCopyThatCannotBeFlushedKeepsTheOldFile)
{
    const CStringUTF8 keep(m_dir.PathOf("FLAG000.bad").c_str());
    int flush_failures = 0;
    for (int step = 0;; ++step) {
        PutBytes(m_path, m_old);
        platform::InjectFileFault(step, ENOSPC);
        const bool written = WriteFileAtomically(CStringUTF8(m_path.c_str()), m_new, nullptr, &keep);
        if (platform::IsFileFaultPending())
            break;
        if (platform::StruckFileCall() != platform::FileCall::FlushFolder)
            continue;
        ++flush_failures;
        if (flush_failures == 1) {
            EXPECT_FALSE(written) << step;
            EXPECT_EQ(ReadBytes(m_path), m_old) << step;
        }
    }
    platform::ClearFileFault();
    EXPECT_EQ(flush_failures, 2) << "before the rename and after it";
}

TEST_F(WriteFileAtomicallyTest, AFullDiskKeepsTheOldFileAndSaysWhy)
{
    PutBytes(m_path, m_old);
    platform::InjectFileFault(1, ENOSPC); // the write, after the create; half the bytes get through
    CStringUTF8 reason;
    EXPECT_FALSE(Write(m_new, &reason));
    ExpectOnly(m_old);
    EXPECT_STREQ(reason.GetText(), "No space left on device.");
}

TEST_F(WriteFileAtomicallyTest, AFolderThatCannotBeWrittenKeepsTheOldFile)
{
    PutBytes(m_path, m_old);
    CStringUTF8 reason;
    if (geteuid() == 0) {
        // Permissions do not stop root; the refusal the system would give stands in.
        platform::InjectFileFault(0, EACCES);
    } else {
        ASSERT_EQ(chmod(m_dir.Path().c_str(), 0555), 0);
    }
    EXPECT_FALSE(Write(m_new, &reason));
    chmod(m_dir.Path().c_str(), 0755);
    ExpectOnly(m_old);
    EXPECT_STREQ(reason.GetText(), "Permission denied.");
}

TEST_F(WriteFileAtomicallyTest, AMissingFolderIsReported)
{
    CStringUTF8 reason;
    EXPECT_FALSE(WriteFileAtomically(CStringUTF8(m_dir.PathOf("no/such/FLAG000").c_str()), m_new, &reason));
    EXPECT_STREQ(reason.GetText(), "The system cannot find the path specified.");
}

// The copy of the old file kept aside reaches the disk before the new file's rename: a folder
// flush lies between them, even while a group of writes defers its own flushes.
TEST_F(WriteFileAtomicallyTest, TheKeptCopyIsFlushedBeforeTheNewFileTakesItsPlace)
{
    PutBytes(m_path, m_old);
    std::vector<std::string> calls;
    platform::ObserveFolderCalls(
        [&](platform::FolderCall call, std::u16string_view from, std::u16string_view to) {
            const auto name = [](std::u16string_view path) {
                const std::string text = CStringUTF8(std::u16string(path)).GetStdString();
                return text.substr(text.find_last_of('/') + 1);
            };
            calls.push_back(call == platform::FolderCall::Flush    ? std::string("flush")
                            : call == platform::FolderCall::Rename ? name(from) + ">" + name(to)
                                                                   : "delete " + name(from));
        });
    const CStringUTF8 keep(m_dir.PathOf("FLAG000.bad").c_str());
    {
        DeferredFolderFlush group;
        EXPECT_TRUE(WriteFileAtomically(CStringUTF8(m_path.c_str()), m_new, nullptr, &keep));
        EXPECT_TRUE(group.Flush());
    }
    platform::ObserveFolderCalls(nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"FLAG000.bad.tmp>FLAG000.bad", "flush", "FLAG000.tmp>FLAG000",
                                               "flush"}));
    EXPECT_EQ(ReadBytes(m_dir.PathOf("FLAG000.bad")), m_old);
    ExpectOnly(m_new);
}
